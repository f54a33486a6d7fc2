#pragma once

#include <cstdint>

#include "medidas/faixas.hpp"

// ASME B1.1 limits, in ten-thousandths of an inch, of a Unified thread of
// class 1, 2 or 3 (A outside, B inside), from its formulas for the normal
// length of engagement: the size (`engate_pelo_diametro`) or nine pitches.
// The screw's minor diameter is the UNR one, the root rounded.
struct FaixasUnificadas {
    Faixas faixas;
};

FaixasUnificadas faixas_unificadas(std::int64_t diametro_upol, std::int64_t fios_decimos, bool engate_pelo_diametro,
                                   int classe, bool interna);

// The length of engagement the standard takes for a series: the size for
// UNC, UNF and the 4-, 6- and 8-thread series; nine pitches for UNEF, the
// other constant-pitch series and UNS. `graduada_grossa_ou_fina` says the
// pitch is the size's UNC or UNF one (or was typed so); `uns` that UNS was typed.
bool engate_pelo_diametro(std::int64_t fios_decimos, bool graduada_grossa_ou_fina, bool uns);
