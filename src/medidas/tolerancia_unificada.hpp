#pragma once

#include <cstdint>

#include "medidas/faixas.hpp"

// ASME B1.1 limits, in ten-thousandths of an inch, of a Unified thread of
// class 1, 2 or 3 (A outside, B inside), from its formulas for the normal
// length of engagement: the size for the coarse and fine series, nine
// pitches for the others (`engate_pelo_diametro` false).
struct FaixasUnificadas {
    Faixas faixas;
    // The tables give the nut's minor diameter of classes 1B and 2B in
    // thousandths; the limits are then whole tens.
    bool menor_em_milesimos = false;
};

FaixasUnificadas faixas_unificadas(std::int64_t diametro_upol, std::int64_t fios_decimos, bool engate_pelo_diametro,
                                   int classe, bool interna);
