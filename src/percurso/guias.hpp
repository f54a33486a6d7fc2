#pragma once

#include <cstdint>

#include "percurso/percurso.hpp"
#include "vocabulario/geometria.hpp"

// The geometry around a pass's helix that the ways of cutting add: the arcs
// into and out of it, the space the cutter may cross at rapid, and how deep
// the whole path goes.

// Where a rapid move below the face may take the cutter's centre: inside the
// drilled hole, outside the blank (vocabulario/geometria.hpp).
vocabulario::EspacoLivre espaco_livre(const Percurso& percurso);

// The quarter circles into and out of the helix, for the cutter's centre:
// their radius at `profundidade` (half the path radius inside a bore; outside
// a blank, wide enough that the far end clears the blank) and how far Z goes
// along one, at the helix's slope.
double raio_arco_guia(const Percurso& percurso, const PassePercurso& passe, double profundidade);
double desnivel_arco_guia(const Percurso& percurso, const PassePercurso& passe, double profundidade);

// The last one-degree chord of a helix written as chords: the first whose
// depth reaches the thread length (indices from 0, 360 a turn), and its depth.
struct UltimaCorda {
    std::int64_t indice = 0;
    float profundidade = 0;
};
UltimaCorda ultima_corda(const Helice& helice);

// The deepest the path takes the cutter, as a positive depth: the thread
// length, the last chord past it, and the arcs into or out of the helix at
// the bottom below that.
double profundidade_maxima(const Percurso& percurso, bool arcos);
