#pragma once

#include "visualizar/cabecalho.hpp"

// What each pass of a file is made of, as its header says: a helix between
// the face and the thread length, run face down or from the thread length
// up, and with tangent ways in and out, quarter circles into and out of it.
struct FormaPasse {
    bool sobe = false;   // from the thread length up to the face
    bool guias = false;  // tangent ways in and out
    bool arcos = false;  // helical arcs rather than one-degree chords
    // A mill of several profiles: each pass a number of revolutions, each a
    // whole turn of the helix at its own depth, reached and left beside it.
    bool voltas = false;
    // The moves of a quarter circle: one arc, or one-degree chords.
    int movimentos_quarto = 1;
    // Where a face-down helix ends: the thread length, and how far from it
    // its printing may put the last move.
    bool tem_L = false;
    double L = 0, tolerancia_L = 0;
    // A pass's radius change per mm of depth: 0 for a parallel thread.
    double conicidade_raio = 0;
};

FormaPasse forma_do_cabecalho(const Cabecalho& c);
