#include "medidas/tolerancia_iso228.hpp"

#include <iterator>

namespace {

// ISO 228-1, Table 1, by threads per inch and, at 11, by size: the nut's
// pitch diameter tolerance TD2 (the class A screw's Td2 too; class B's and
// the screw's major diameter tolerance are twice it) and its minor diameter
// tolerance TD1, micrometres.
struct Tolerancia {
    int fios;
    std::int64_t ate_upol;  // sizes up to this one
    std::int64_t td2, td1;
};
constexpr Tolerancia tolerancias[] = {
    {28, 125000, 107, 282}, {19, 375000, 125, 445}, {14, 875000, 142, 541},
    {11, 2000000, 180, 640}, {11, 6000000, 217, 640},
};

const Tolerancia& tolerancia(const MedidaIso228& m) {
    for (const auto& t : tolerancias)
        if (t.fios == m.fios_por_polegada && m.medida_upol <= t.ate_upol) return t;
    return tolerancias[std::size(tolerancias) - 1];
}

}  // namespace

Faixas faixas_iso228(const MedidaIso228& m, char classe) {
    const Tolerancia& t = tolerancia(m);
    Faixas f;
    if (classe == 0) {
        f.maior = {m.maior_um, 0, true, false};
        f.flanco = {m.flanco_um, m.flanco_um + t.td2, true, true};
        f.menor = {m.menor_um, m.menor_um + t.td1, true, true};
        return f;
    }
    f.maior = {m.maior_um - 2 * t.td2, m.maior_um, true, true};
    f.flanco = {m.flanco_um - (classe == 'A' ? t.td2 : 2 * t.td2), m.flanco_um, true, true};
    f.menor = {0, m.menor_um, false, true};
    return f;
}
