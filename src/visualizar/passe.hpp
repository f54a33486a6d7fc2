#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "visualizar/arco.hpp"
#include "visualizar/movimento.hpp"
#include "vocabulario/comentarios.hpp"

// One pass of the cutter: its way in, its helix and its way out, folded into
// a summary as its moves go by. The summary is the helix's; the ways add
// their length and, for the picture, their points.

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
    std::int64_t numero_entrada = 0;  // its start, where its turn comment names one
    Valor diametro;

    // The helix: the lines of its first and last moves, how many moves, how
    // many of them arcs and the degrees these turn about their centres.
    std::uint64_t linha_inicio = 0, linha_fim = 0;
    std::uint64_t movimentos = 0;
    std::uint64_t arcos = 0;
    double graus = 0;
    bool sobe = false;     // from the thread length up to the face
    int sinal_giro = 0;    // +1 counter-clockwise seen from above, -1 clockwise
    // Where it starts: the cutter before its first move, known when every
    // axis was given, and the line of the move that put it there.
    Ponto3 antes;
    bool tem_inicio = false;
    std::uint64_t linha_antes = 0;
    Ponto3 primeiro, ultimo;  // the ends of its first and last moves
    Ponto3 penultimo;         // where the last move started
    bool ultimo_arco = false;
    // Squared distance of its points from the axis, at the face along a taper.
    double r2_min = 0, r2_max = 0;
    double z_min = 0, z_max = 0;
    double erro = 0;  // tolerance of its coordinates

    bool tem_avanco = false;
    double avanco = 0;  // the feed in force at the helix's first move
    std::uint64_t linha_avanco = 0;
    double comprimento = 0;  // of all its feed moves, ways included

    // For the picture: the first turn in X and Y, and the points in X and Z
    // every `amostra` moves, the first ones and the last ones (`lado_fim`
    // is a ring) with `lado_omitidos` between them not kept; the ways' points
    // in X and Y; the rapid moves before it and after it.
    std::vector<PontoPlano> topo;
    std::vector<PontoPlano> lado_inicio, lado_fim;
    std::size_t lado_fim_proximo = 0;
    std::uint64_t lado_omitidos = 0;
    int amostra = 1;
    std::vector<PontoPlano> guia_entrada, guia_saida;
    std::vector<MovimentoRapido> entrada, saida;

    // Starts the summary with the helix's first move; `conicidade_raio` is
    // the radius's change per mm of depth (0 for a parallel thread).
    void iniciar(const Movimento& m, double conicidade_raio);
    // Takes in each later move of the helix.
    void somar(const Movimento& m, double conicidade_raio) {
        const double x = m.para.x, y = m.para.y, z = m.para.z;
        double r2 = x * x + y * y;
        if (conicidade_raio != 0) [[unlikely]] {
            const double r = std::hypot(x, y) + conicidade_raio * z;
            r2 = r * r;
        }
        r2_min = std::min(r2_min, r2);
        r2_max = std::max(r2_max, r2);
        z_min = std::min(z_min, z);
        z_max = std::max(z_max, z);
        penultimo = m.de;
        ultimo = m.para;
        ultimo_arco = m.tipo == TipoMovimento::arco;
        if (ultimo_arco) [[unlikely]] {
            ++arcos;
            graus += graus_do_arco(m);
        }
        ++movimentos;
        linha_fim = m.linha;
    }

    // Turns of the pass: of its arcs, or one per 360 chords.
    double voltas_feitas() const { return arcos > 0 ? graus / 360 : static_cast<double>(movimentos) / 360; }
    double raio() const { return (std::sqrt(r2_min) + std::sqrt(r2_max)) / 2; }
};
