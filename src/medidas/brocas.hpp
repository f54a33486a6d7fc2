#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A standard twist drill: its name as the drill index shows it ("8.5",
// "27/64", "#7", "Q") and its size.
struct Broca {
    std::string nome;
    std::int64_t milesimos_mm = 0;
    std::int64_t upol = 0;  // inch drills: micro-inches; metric ones: 0
};

// The drill series: metric in steps of 0.05 mm below 3 mm and of 0.1 mm from
// 3 mm to 1000 mm; inch ones the number (#80 to #1) and letter (A to Z)
// drills and the fractions in 1/64 inch up to 4 1/2 inches.

// Every inch drill of the series, fractional first.
const std::vector<Broca>& brocas_em_polegada();

// A drill's size in ten-thousandths of a micrometre, exact for both
// systems: the unit bands are compared in.
std::int64_t tamanho_exato(const Broca& broca);

// The drill of one system inside [minimo, maximo] (ten-thousandths of a
// micrometre) nearest to its middle; between two as near, the smaller: it
// leaves metal for the cutter, not a hole too big. None when no drill of
// the system lies inside.
std::optional<Broca> broca_na_faixa(bool polegada, std::int64_t minimo, std::int64_t maximo);

// The largest drill of one system below `limite` (ten-thousandths of a
// micrometre), to drill before reaming; none when even the smallest is not.
std::optional<Broca> broca_abaixo(bool polegada, std::int64_t limite);

// The largest drill not above the limit: a straight hole under a taper
// thread must clear the thread's smallest minor diameter.
Broca broca_metrica_ate(std::int64_t maximo_um);
Broca broca_polegada_ate(std::int64_t maximo_upol);
