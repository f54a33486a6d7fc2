#pragma once

#include <cstdint>

#include "medidas/tabelas.hpp"

// Basic dimensions of a parallel thread, in thousandths of a millimetre,
// each worked out exactly and rounded once, halves up, as the tables are.
struct Perfil {
    std::int64_t maior = 0;
    std::int64_t passo = 0;
    // The pitch to a millionth: the helix adds it up turn after turn, so an
    // inch pitch such as 25.4 / 13 is typed with more than three decimals.
    std::int64_t passo_milionesimos = 0;
    std::int64_t altura_triangulo = 0;  // H, of the sharp-V triangle
    std::int64_t flanco = 0;            // pitch diameter
    std::int64_t menor_furo = 0;        // internal minor diameter
    std::int64_t menor_parafuso = 0;    // external root diameter
    std::int64_t altura_furo = 0;       // thread depth of the nut
    std::int64_t altura_parafuso = 0;   // thread depth of the screw
    std::int64_t broca = 0;             // drill for the hole
};

// The 60-degree profile: ISO 68-1 for metric, the same basic form for Unified
// but for the screw's root, the rounded UNR one of ASME B1.1.
// Sizes from 1 to 1000 mm and pitches from 0.1 mm to a quarter of the size
// keep every integer of the calculation far from overflow.
Perfil perfil_metrico(std::int64_t diametro_um, std::int64_t passo_um);
Perfil perfil_unificado(std::int64_t diametro_upol, std::int64_t fios_decimos);

// The 55-degree Whitworth form of ISO 228-1, with its tabulated diameters.
Perfil perfil_iso228(const MedidaIso228& medida);
