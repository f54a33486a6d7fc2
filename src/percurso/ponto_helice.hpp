#pragma once

#include <cmath>
#include <cstdint>

#include "nucleo/numerico.hpp"
#include "percurso/percurso.hpp"

struct PontoHelice {
    float x;
    float y;
};

// The point of the path at `graus` degrees (not reduced to one turn), as the
// coordinates are stored. The right hand negates the radius rather than the
// product, so a sine of exactly 0 gives -0 and the file shows "-0.000".
inline PontoHelice ponto_helice(double raio, double graus, bool mao_direita) {
    const double radianos = graus * grau_para_radiano;
    const estendido r = raio;
    const estendido r_y = mao_direita ? -r : r;
    return {armazenar(static_cast<estendido>(std::cos(radianos)) * r),
            armazenar(static_cast<estendido>(std::sin(radianos)) * r_y)};
}

// The first whole degree a turn visits.
inline std::int32_t angulo_primeiro(const Helice& h) {
    return static_cast<std::int32_t>(estender(h.angulo_inicial) + 1);
}

// How far past the start angle the helix's whole degree `passo` (1 to 360)
// of a turn lies: `passo` itself, less the start angle's fraction where
// each chord ends at the helix's own depth.
inline estendido graus_da_corda(const Helice& h, int passo) {
    const estendido a = estender(h.angulo_inicial);
    return h.profundidade_no_fim ? static_cast<estendido>(passo) - (a - std::floor(a)) : static_cast<estendido>(passo);
}

// Depth of move `passo` (1 to 360) of turn `fio` (from 0).
inline float profundidade_corda(const Helice& h, std::int64_t fio, int passo) {
    return armazenar(graus_da_corda(h, passo) * estender(h.passo_z_grau) +
                     static_cast<estendido>(fio) * estender(h.passo_rosca));
}
