#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "emissao/escrita.hpp"
#include "nucleo/numerico.hpp"
#include "emissao/progresso.hpp"
#include "percurso/percurso.hpp"
#include "percurso/ponto_helice.hpp"
#include "vocabulario/geometria.hpp"

// A helix written as straight moves of one degree: the linearisation of
// today's file. A turn visits the whole degrees after the start angle; the
// depth of each move is stored as the plan's numbers give it; the pass ends
// at the first move that reaches the thread length, written with its own
// depth.
//
// Two writers give the same bytes: a plain one, point by point with a
// formatted write per line, and a fast one (cordas_rapidas.cpp) that forms
// each point's text once per pass. The plain one is the reference the fast
// one is tested and measured against.

// The extents of the cutter centre in X and Y. They start at 0, so they
// always include the axis.
struct Extremos {
    float x_max = 0, x_min = 0, y_max = 0, y_min = 0;
    void alargar(float x, float y) {
        if (x > x_max) x_max = x;
        if (x < x_min) x_min = x;
        if (y > y_max) y_max = y;
        if (y < y_min) y_min = y;
    }
};

// The two comments before every turn, split around the turn number, with the
// file's line ends.
struct TextosVolta {
    std::string abertura;    // line break and the first comment up to the turn number
    std::string fechamento;  // the rest: the first comment's end, the diameter comment, a line break
};
TextosVolta textos_volta(const Escrita& escrita, const PassePercurso& passe, bool interna);

// What both writers share while a path is written.
struct ContextoCordas {
    Escrita& escrita;
    Extremos& extremos;
    Progresso& progresso;
    bool interna = true;
    // 0 before the first pass and exactly the length after each: the loop of
    // turns runs while it does not pass the length, so every pass cuts.
    float z_atual = 0;
};

// Each writes the pass's turns; `ultimo` becomes the last point written (it
// is left as it is when no turn is written).
void escrever_cordas_simples(const PassePercurso& passe, ContextoCordas& c, PontoHelice& ultimo);

class CordasRapidas {
public:
    explicit CordasRapidas(const vocabulario::Dialeto& dialeto);
    ~CordasRapidas();
    void escrever(const PassePercurso& passe, ContextoCordas& c, PontoHelice& ultimo);

private:
    struct Volta;
    std::unique_ptr<Volta> volta_;
};
