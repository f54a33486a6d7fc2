#pragma once

#include "percurso/percurso.hpp"

// How long the path takes at its feeds: every feed move's length at the feed
// it is written with (each pass's own, where the feed is the cutting edge's),
// measured on the moves as the file has them (arcs by their length, a
// tapered helix point by point). Rapid moves are not counted.
double minutos_de_corte(const Percurso& percurso);
