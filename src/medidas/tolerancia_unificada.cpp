#include "medidas/tolerancia_unificada.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr long double dez_milesimos = 10000;

// The tables round every tolerance, allowance and limit to a ten-thousandth;
// the thread heights 2h, and the minor diameter worked from them, to a
// millionth. A figure that is a half exactly, 0.060 x (1/64)^(2/3) = 0.00375,
// goes up as the tables have it, not down for a last binary digit.
std::int64_t arredondado(long double polegadas) {
    return std::llround(static_cast<long double>(std::llround(polegadas * 1e9L)) / 1e5L);
}
long double milionesimos(long double polegadas) { return std::llround(polegadas * 1000000) / 1000000.0L; }
long double em_dez_milesimos(long double polegadas) {
    return static_cast<long double>(arredondado(polegadas)) / dez_milesimos;
}

// A limit of the minor diameter printed to thousandths, as the tables give
// those of the sizes from #6 (0.138 inch) on: worked to ten-thousandths first.
std::int64_t em_milesimos(std::int64_t dez_mil) { return (dez_mil + 5) / 10 * 10; }

constexpr std::int64_t menor_com_tres_casas_upol = 138000;
constexpr std::int64_t doze_fios_decimos = 120;

// Where the published table parts from 0.300 Td2(2A) the table holds:
// 5/8-11 UNC has 0.0016, the formula 0.0017.
struct FolgaTabelada {
    std::int64_t diametro_upol, fios_decimos, folga;
};
constexpr FolgaTabelada folgas_tabeladas[] = {{625000, 110, 16}};

std::int64_t folga_2a(std::int64_t diametro_upol, std::int64_t fios_decimos, long double td2_2a) {
    for (const auto& f : folgas_tabeladas)
        if (f.diametro_upol == diametro_upol && f.fios_decimos == fios_decimos) return f.folga;
    return arredondado(0.3L * td2_2a);
}

}  // namespace

bool engate_pelo_diametro(std::int64_t fios_decimos, bool graduada_grossa_ou_fina, bool uns) {
    if (uns) return false;
    return graduada_grossa_ou_fina || fios_decimos == 40 || fios_decimos == 60 || fios_decimos == 80;
}

FaixasUnificadas faixas_unificadas(std::int64_t diametro_upol, std::int64_t fios_decimos, bool pelo_diametro,
                                   int classe, bool interna) {
    const long double d = static_cast<long double>(diametro_upol) / 1000000;
    const long double p = 10 / static_cast<long double>(fios_decimos);
    const long double p23 = std::pow(p, 2.0L / 3);
    const long double engate = pelo_diametro ? d : 9 * p;
    // The basic profile: H = sqrt(3)/2 P; flanks 3/8 H below the major
    // diameter, the nut's crest 5/8 H.
    const long double h = std::sqrt(3.0L) / 2 * p;
    const long double flanco = d - 0.75L * h;

    // Class 2A's pitch diameter tolerance, the base of every class, is
    // carried to the millionth before the others are taken from it: 1/4-20
    // 2B is 1.3 x 0.003731 = 0.0049, where the unrounded figure gives 0.0048.
    const long double td2_2a =
        std::llround(1000000 * 0.0015L * (std::cbrt(d) + std::sqrt(engate) + 10 * p23)) / 1000000.0L;
    const long double fator = classe == 1 ? 1.5L : classe == 3 ? 0.75L : 1.0L;
    const std::int64_t folga = classe == 3 ? 0 : folga_2a(diametro_upol, fios_decimos, td2_2a);

    FaixasUnificadas r;
    Faixas& f = r.faixas;
    if (interna) {
        const std::int64_t td2 = arredondado(1.3L * fator * td2_2a);
        f.maior = {arredondado(d), 0, true, false};
        f.flanco.minimo = arredondado(flanco);
        f.flanco.maximo = f.flanco.minimo + td2;
        // Minor diameter tolerance: class 3B and sizes below 1/4 inch by the
        // formula, kept between its bounds (3B's floor is 0.120 P from 12
        // threads per inch down); 1B and 2B from 1/4 inch on by the pitch alone.
        const long double formula = 0.05L * p23 + 0.03L * p / d - 0.002L;
        const long double classe2 = 0.25L * p - 0.4L * p * p;
        long double td1 = 0;
        if (classe == 3) {
            const long double piso = fios_decimos <= doze_fios_decimos ? 0.120L * p : 0.23L * p - 1.5L * p * p;
            td1 = std::clamp(formula, piso, 0.394L * p);
        } else {
            td1 = d < 0.25L ? std::clamp(formula, classe2, 0.394L * p) : classe2;
        }
        const long double menor = d - milionesimos(1.08253175L * p);
        const bool tres_casas = diametro_upol >= menor_com_tres_casas_upol;
        f.menor.minimo = arredondado(menor);
        // The largest from the basic minor diameter and the tolerance as
        // tabulated, each to its own decimals: #1-64 2B is 0.0623, not 0.0622.
        f.menor.maximo = arredondado(menor + em_dez_milesimos(td1));
        if (tres_casas) {
            f.menor.minimo = em_milesimos(f.menor.minimo);
            if (classe != 3) f.menor.maximo = em_milesimos(f.menor.maximo);
        }
        return r;
    }
    const std::int64_t td2 = arredondado(fator * td2_2a);
    const std::int64_t td = arredondado((classe == 1 ? 0.090L : 0.060L) * p23);
    f.maior.maximo = arredondado(d) - folga;
    f.maior.minimo = f.maior.maximo - td;
    f.flanco.maximo = arredondado(flanco - static_cast<long double>(folga) / dez_milesimos);
    f.flanco.minimo = f.flanco.maximo - td2;
    // The UNR root, a reference figure of the tables: the largest major
    // diameter less the rounded root's double height, 1.19078493 P.
    f.menor = {0, arredondado(static_cast<long double>(f.maior.maximo) / dez_milesimos - milionesimos(1.19078493L * p)),
               false, true};
    return r;
}
