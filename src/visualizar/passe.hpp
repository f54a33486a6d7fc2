#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "visualizar/movimento.hpp"
#include "vocabulario/comentarios.hpp"

// One pass of the cutter: a run of feed moves between rapid moves, folded
// into a summary as its moves go by.

struct PontoPlano {
    float a = 0, b = 0;  // x, y (top view) or x, z (side view)
};

struct MovimentoRapido {
    Ponto3 de, para;
};

struct Passe {
    std::uint64_t ordem = 0;  // 0 for the first pass of the file
    // From its turn comments: pass number (-1 without them), the line of the
    // first, the turns met, the diameter.
    std::int64_t numero = -1;
    bool tem_volta = false;
    std::uint64_t linha_volta = 0;
    std::int64_t voltas = 0;
    Valor diametro;
    std::uint64_t linha_inicio = 0, linha_fim = 0;
    std::uint64_t movimentos = 0;
    double r2_min = 0, r2_max = 0;
    double z_min = 0, z_max = 0;
    Ponto3 antes;             // where the cutter stood before the first move
    bool tem_inicio = false;  // a rapid move placed it in X and Y
    Ponto3 primeiro, ultimo;
    Ponto3 penultimo;         // where the last move started
    bool ultimo_arco = false; // the last move was an arc
    std::uint64_t arcos = 0;  // arcs among its moves
    // The ways in and out of the helix (files with ways of cutting): feed
    // moves off the helix before and after it.
    std::uint64_t caminhos = 0;
    std::vector<PontoPlano> guia_entrada, guia_saida;  // their points, top view, bounded
    double graus = 0;              // turned about the axis by its arcs
    bool tem_avanco = false;
    double avanco = 0;             // the feed in force at the helix's first move
    std::uint64_t linha_avanco = 0;
    double comprimento = 0;   // of its feed moves, the first one from `antes` included
    double erro = 0;          // tolerance of its coordinates
    int sinal_giro = 0;       // +1 counter-clockwise seen from above, -1 clockwise

    // For the picture: the first turn in X and Y, and the points in X and Z
    // every `amostra` moves, the first ones and the last ones (`lado_fim`
    // is a ring) with `lado_omitidos` between them not kept.
    std::vector<PontoPlano> topo;
    std::vector<PontoPlano> lado_inicio, lado_fim;
    std::size_t lado_fim_proximo = 0;
    std::uint64_t lado_omitidos = 0;
    int amostra = 1;
    std::vector<MovimentoRapido> entrada, saida;

    // Turns of the pass: of its arcs, or one per 360 chords.
    double voltas_feitas() const { return arcos > 0 ? graus / 360 : static_cast<double>(movimentos) / 360; }
    double raio() const { return (std::sqrt(r2_min) + std::sqrt(r2_max)) / 2; }
    double espalhamento() const { return std::sqrt(r2_max) - std::sqrt(r2_min); }
};
