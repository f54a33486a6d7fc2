#pragma once

#include "emissao/cordas.hpp"
#include "percurso/percurso.hpp"

// A pass of another shape than today's (run up from the thread length,
// tangent entry and exit, programmed for cutter compensation, or as helical
// arcs): its moves worked out and written. With `arcos`, the helix and the
// arcs into and out of it as G2/G3 blocks of at most 180 degrees; otherwise
// today's one-degree chords.
void escrever_passe_geral(const Percurso& percurso, const PassePercurso& passe, ContextoCordas& c, bool arcos);
