#include "medidas/tolerancia_unificada.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr long double dez_milesimos = 10000;

// The tables round every tolerance, allowance and limit to a ten-thousandth.
std::int64_t arredondado(long double polegadas) { return std::llround(polegadas * dez_milesimos); }

long double raiz_cubica(long double x) { return std::cbrt(x); }

}  // namespace

FaixasUnificadas faixas_unificadas(std::int64_t diametro_upol, std::int64_t fios_decimos, bool engate_pelo_diametro,
                                   int classe, bool interna) {
    const long double d = static_cast<long double>(diametro_upol) / 1000000;
    const long double p = 10 / static_cast<long double>(fios_decimos);
    const long double p23 = std::pow(p, 2.0L / 3);
    const long double engate = engate_pelo_diametro ? d : 9 * p;
    // The basic profile: H = sqrt(3)/2 P; flanks 3/8 H below the major
    // diameter, the nut's crest 5/8 H, the screw's rounded root 17/24 H.
    const long double h = std::sqrt(3.0L) / 2 * p;
    const long double flanco = d - 0.75L * h;
    const long double menor_furo = d - 1.25L * h;

    // Class 2A's pitch diameter tolerance, the base of every class, is
    // carried to the millionth before the others are taken from it: 1/4-20
    // 2B is 1.3 x 0.003731 = 0.0049, where the unrounded figure gives 0.0048.
    const long double td2_2a =
        std::llround(1000000 * 0.0015L * (raiz_cubica(d) + std::sqrt(engate) + 10 * p23)) / 1000000.0L;
    const long double fator = classe == 1 ? 1.5L : classe == 3 ? 0.75L : 1.0L;
    const std::int64_t folga = classe == 3 ? 0 : arredondado(0.3L * td2_2a);

    FaixasUnificadas r;
    Faixas& f = r.faixas;
    if (interna) {
        const std::int64_t td2 = arredondado(1.3L * fator * td2_2a);
        f.maior = {arredondado(d), 0, true, false};
        f.flanco.minimo = arredondado(flanco);
        f.flanco.maximo = f.flanco.minimo + td2;
        // Minor diameter tolerance: class 3B and sizes below 1/4 inch by the
        // formula, kept between its bounds; 1B and 2B from 1/4 inch on by the
        // pitch alone.
        const long double formula = 0.05L * p23 + 0.03L * p / d - 0.002L;
        const long double classe2 = 0.25L * p - 0.4L * p * p;
        long double td1 = 0;
        if (classe == 3)
            td1 = std::clamp(formula, 0.23L * p - 1.5L * p * p, 0.394L * p);
        else
            td1 = d < 0.25L ? std::clamp(formula, classe2, 0.394L * p) : classe2;
        f.menor.minimo = arredondado(menor_furo);
        f.menor.maximo = arredondado(menor_furo + td1);
        if (classe != 3) {
            // Worked to ten-thousandths, printed to thousandths.
            r.menor_em_milesimos = true;
            f.menor.minimo = (f.menor.minimo + 5) / 10 * 10;
            f.menor.maximo = (f.menor.maximo + 5) / 10 * 10;
        }
        return r;
    }
    const std::int64_t td2 = arredondado(fator * td2_2a);
    const std::int64_t td = arredondado((classe == 1 ? 0.090L : 0.060L) * p23);
    f.maior.maximo = arredondado(d) - folga;
    f.maior.minimo = f.maior.maximo - td;
    f.flanco.maximo = arredondado(flanco - static_cast<long double>(folga) / dez_milesimos);
    f.flanco.minimo = f.flanco.maximo - td2;
    // The UNR root, a reference figure of the tables: the largest pitch
    // diameter less 2/3 H.
    f.menor = {0, arredondado(static_cast<long double>(f.flanco.maximo) / dez_milesimos - 2 * h / 3), false, true};
    return r;
}
