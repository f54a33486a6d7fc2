#include "medidas/perfil.hpp"

#include "medidas/decimal.hpp"

namespace {

// Multiples of the pitch P, in millionths, of the basic profiles.
constexpr std::int64_t um = 1000000;
constexpr std::int64_t altura_60 = 866025;             // H = sqrt(3) / 2 P
constexpr std::int64_t profundidade_flanco = 649519;   // 3/4 H, off the diameter
constexpr std::int64_t profundidade_furo = 1082532;    // 2 x 5/8 H
constexpr std::int64_t profundidade_parafuso = 1226869;  // 2 x 17/24 H
constexpr std::int64_t altura_filete_furo = 541266;    // 5/8 H
constexpr std::int64_t altura_filete_parafuso = 613435;  // 17/24 H
// The Unified screw's rounded (UNR) root of ASME B1.1: 1.19078493 P below
// the major diameter, shallower than the metric 17/24 H.
constexpr std::int64_t profundidade_unr = 1190785;
constexpr std::int64_t altura_filete_unr = 595392;
constexpr std::int64_t altura_55 = 960491;             // H of the Whitworth triangle
constexpr std::int64_t altura_filete_55 = 640327;      // h = 2/3 H

// A length of the profile in thousandths of a mm is (k_maior - c k_passo) /
// divisor, with c in millionths of P. Metric sizes and pitches are exact in
// micrometres; inch ones in micro-inches and tenths of a thread per inch, so
// that no value is rounded before the last step.
struct Forma {
    std::int64_t k_maior;
    std::int64_t k_passo;
    std::int64_t divisor;

    std::int64_t maior_menos(std::int64_t c) const { return arredondar(k_maior - c * k_passo, divisor); }
    std::int64_t vezes_passo(std::int64_t c) const { return arredondar(c * k_passo, divisor); }
};

constexpr Forma forma_metrica(std::int64_t diametro_um, std::int64_t passo_um) {
    return {diametro_um * um, passo_um, um};
}

// 25.4 mm to the inch: the major diameter is 254 D / 10^4 thousandths, the
// pitch 254000 / n; both over the divisor 10^4 n.
constexpr Forma forma_polegadas(std::int64_t diametro_upol, std::int64_t fios_decimos) {
    return {254 * diametro_upol * fios_decimos, 2540, 10000 * fios_decimos};
}

// The 60-degree profile; the screw's root `raiz` (double height) and its
// thread depth `altura_raiz` differ between the metric and the Unified forms.
Perfil perfil_60(const Forma& f, std::int64_t raiz, std::int64_t altura_raiz) {
    Perfil p;
    p.maior = f.maior_menos(0);
    p.passo = f.vezes_passo(um);
    p.passo_milionesimos = f.vezes_passo(um * 1000);
    p.altura_triangulo = f.vezes_passo(altura_60);
    p.flanco = f.maior_menos(profundidade_flanco);
    p.menor_furo = f.maior_menos(profundidade_furo);
    p.menor_parafuso = f.maior_menos(raiz);
    p.altura_furo = f.vezes_passo(altura_filete_furo);
    p.altura_parafuso = f.vezes_passo(altura_raiz);
    // The common rule: a drill of the size less one pitch.
    p.broca = f.maior_menos(um);
    return p;
}

}  // namespace

Perfil perfil_metrico(std::int64_t diametro_um, std::int64_t passo_um) {
    return perfil_60(forma_metrica(diametro_um, passo_um), profundidade_parafuso, altura_filete_parafuso);
}

Perfil perfil_unificado(std::int64_t diametro_upol, std::int64_t fios_decimos) {
    return perfil_60(forma_polegadas(diametro_upol, fios_decimos), profundidade_unr, altura_filete_unr);
}

Perfil perfil_iso228(const MedidaIso228& medida) {
    const Forma f = forma_polegadas(0, 10 * medida.fios_por_polegada);
    Perfil p;
    p.maior = medida.maior_um;
    p.passo = f.vezes_passo(um);
    p.passo_milionesimos = f.vezes_passo(um * 1000);
    p.altura_triangulo = f.vezes_passo(altura_55);
    p.flanco = medida.flanco_um;
    // The rounded Whitworth form is symmetric: nut and screw share the minor
    // diameter and the depth.
    p.menor_furo = medida.menor_um;
    p.menor_parafuso = medida.menor_um;
    p.altura_furo = f.vezes_passo(altura_filete_55);
    p.altura_parafuso = p.altura_furo;
    // The minor diameter rounded up to the next tenth of a millimetre.
    p.broca = (medida.menor_um + 99) / 100 * 100;
    return p;
}
