#pragma once

#include <cstdint>

#include "percurso/percurso.hpp"

// How long the path takes at its feeds: every feed move's length at the feed
// as it is written (each pass's own, where the feed is the cutting edge's),
// measured on the moves as the file has them (arcs by their length, a
// tapered helix point by point). Rapid moves are not counted.
//
// Not a number for a path of more than `max_movimentos_medidos` moves: a
// file of billions of lines is written until the disk stops taking it, but
// measuring it first would keep the program from ever starting to write.
inline constexpr std::uint64_t max_movimentos_medidos = 50'000'000;
double minutos_de_corte(const Percurso& percurso);
