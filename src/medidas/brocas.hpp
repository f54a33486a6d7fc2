#pragma once

#include <cstdint>
#include <string>

// A standard twist drill: its name as the drill index shows it ("8.5",
// "27/64", "#7", "Q") and its size.
struct Broca {
    std::string nome;
    std::int64_t milesimos_mm = 0;
    std::int64_t upol = 0;  // inch drills: micro-inches; metric ones: 0
};

// The metric drill nearest to `alvo_meio_um` / 2 micrometres (given doubled,
// so a band's middle is exact), from the series in steps of 0.1 mm, of
// 0.05 mm below 3 mm. Between two as near, the smaller: it leaves metal for
// the cutter, not a hole too big.
Broca broca_metrica_perto(std::int64_t alvo_meio_um);

// The same among the fractional (1/64 inch), number (#1 to #80) and letter
// (A to Z) drills; the target in micro-inches, doubled.
Broca broca_polegada_perto(std::int64_t alvo_meio_upol);

// The largest drill not above the limit: a straight hole under a taper
// thread must clear the thread's smallest minor diameter.
Broca broca_metrica_ate(std::int64_t maximo_um);
Broca broca_polegada_ate(std::int64_t maximo_upol);
