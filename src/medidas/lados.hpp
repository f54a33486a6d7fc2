#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "medidas/consulta.hpp"
#include "medidas/faixas.hpp"

// One side of a thread with its limits: metric and pipe ones in
// micrometres, Unified ones in ten-thousandths of an inch (`polegadas`).
struct Lado {
    std::string classe;  // "6H", "2B", "A"; empty for the pipe nut's single class
    bool interna = false;
    bool polegadas = false;
    Faixas faixas;
};

// The sides a report shows: those of the classes typed, else the common
// ones (6H/6g, 2B/2A; the pipe nut and screws A and B). Returns false, with
// one line in `erro`, where the standard has no figures for the thread.
bool lados_da_consulta(const Consulta& c, std::vector<Lado>& lados, std::string& erro);

// The nut whose minor diameter the drill is chosen for: the internal class
// typed, else the common one. None for taper threads and where the
// standard has no figures.
std::optional<Lado> furo_da_broca(const Consulta& c);

// A limit in thousandths of a millimetre: 2.54 um to the ten-thousandth of an inch.
std::int64_t mm_de(const Lado& l, std::int64_t limite);

// A limit in ten-thousandths of a micrometre, exact in either unit: the
// common ground of inch and metric drills and bands.
std::int64_t exato(const Lado& l, std::int64_t limite);
