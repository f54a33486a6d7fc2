#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "percurso/percurso.hpp"
#include "percurso/ponto_helice.hpp"
#include "vocabulario/helices.hpp"

// A pass as the moves the machine makes: its way in, its helix and its way
// out, every point decided here, once. The text of the file is another
// matter (src/emissao): a dialect spells these moves, and a linearisation
// turns the arcs and the helix into one-degree chords or arcs of at most
// half a turn.
//
// Angles of the helix are the generator's (ponto_helice.hpp): a point at
// angle t is (r cos t, s r sin t), s = -1 for a right hand. Depths are
// positive below the face; Z is minus the depth.

namespace gerador {

// The extents of the cutter centre in X and Y. They start at 0, so they
// always include the axis. In the generator's own namespace: the viewer has
// extents of its own, and both are linked into one test program.
struct Extremos {
    float x_max = 0, x_min = 0, y_max = 0, y_min = 0;
    void alargar(float x, float y) {
        if (x > x_max) x_max = x;
        if (x < x_min) x_min = x;
        if (y > y_max) y_max = y;
        if (y < y_min) y_min = y;
    }
    void juntar(const Extremos& e) {
        alargar(e.x_max, e.y_max);
        alargar(e.x_min, e.y_min);
    }
};

}  // namespace gerador

struct Ponto {
    double x = 0, y = 0;
};

// Where a move goes, as the file programs it (the cutting edge, under the
// control's compensation): X and Y, Z, or both. The axis and the fixed
// heights are whole numbers in the file; every other coordinate has three
// decimals.
struct Alvo {
    bool tem_xy = false, tem_z = false;
    Ponto xy;
    double profundidade = 0;
    int casas_xy = 3, casas_z = 3;
    // Where the final diameter is a variable at the control: how X and Y
    // change per mm of it (the finishing pass); zero elsewhere.
    Ponto variacao;
};

enum class TipoSegmento : std::uint8_t {
    rapido,  // to the target
    reta,    // at feed to the target
    arco,    // at feed along a circle, Z changing evenly (the ways in and out)
    helice,  // the pass's helix, whole (PasseTrajeto::helice)
    volta,   // the turn comments, where the pass's cutting begins
};

enum class Parte : std::uint8_t { entrada, helice, saida };

// The control's cutter compensation, turned on or off by a straight move.
enum class Compensacao : std::uint8_t { nenhuma, liga, desliga };

// A circle's arc in the plane: from `angulo_de` by `varredura` degrees
// (counter-clockwise positive, from X+), its end the target.
struct Arco {
    Ponto centro;
    double raio = 0;          // as programmed
    double raio_centro = 0;   // the cutter centre's, about the same centre
    double angulo_de = 0, varredura = 0;
    double prof_de = 0, prof_ate = 0;
    int giro = 1;  // +1 counter-clockwise (G3), -1 clockwise (G2)
};

struct Segmento {
    TipoSegmento tipo = TipoSegmento::rapido;
    Parte parte = Parte::entrada;
    // A helix: the pass's own (-1), or one of its revolutions.
    int indice_helice = -1;
    // The turn comments: which turn (or revolution) begins.
    std::int64_t numero = 1;
    Alvo alvo;
    // A rapid that leaves the pass: today's file spells it apart ("g0").
    bool saindo = false;
    Compensacao compensacao = Compensacao::nenhuma;
    Arco arco;
};

// The helix between its two ends, as travelled. As one-degree chords it
// visits the whole degrees after the start angle, each at the depth the
// plan's numbers give it, and ends at the first chord at or past L; as arcs
// it ends exactly at L.
struct TrechoHelice {
    Helice helice;
    // A part of the helix between any two of its points (a revolution of a
    // mill with several profiles): as chords, the whole degrees between its
    // ends and a last one to its end, Z along the helix.
    bool generico = false;
    double deslocamento = 0;  // the programmed radius less the centre's (the compensation)
    bool subindo = false;
    bool arcos = false;
    double t_ini = 0, prof_ini = 0, t_fim = 0, prof_fim = 0;
    std::int64_t indice_ultimo = 0;  // of the last chord, from 0, 360 a turn
    float prof_ultimo = 0;

    double raio_programado(double profundidade) const { return helice.raio_em(profundidade) + deslocamento; }
};

struct PasseTrajeto {
    PassePercurso passe;
    bool interna = true;
    // Of the thread's: its turn comments name the start (passe.entrada) where there are several.
    int entradas = 1;
    // Today's shape of pass: from the face down, in chords, with no way in
    // but the rapid to the start and no way out but the retract. The file
    // lays it out as it always has.
    bool hoje = true;
    int giro = 1;                // of the helix as travelled: +1 counter-clockwise
    int lado_compensacao = 0;    // 41 or 42, with the control's compensation
    std::int64_t corretor = -1;  // its D word
    TrechoHelice helice;
    std::vector<TrechoHelice> voltas;
    std::vector<Segmento> segmentos;
    gerador::Extremos extremos;
    // The points of the helix's first turn (at most 360), where its radius
    // is the same in every turn (no taper, no compensation): the extents
    // and the chords of every turn come from them.
    std::array<PontoHelice, 360> pontos{};
    int quantos_pontos = 0;
};

// How many revolutions a mill of several profiles takes (helices.hpp).
using vocabulario::voltas_por_passe;

// The pass's moves, into `t` (its vectors reused from one pass to the next).
void tracar_passe(const Percurso& percurso, const PassePercurso& passe, PasseTrajeto& t);

// The moves after the last pass: outside a blank, back over the axis.
void tracar_fim(const Percurso& percurso, std::vector<Segmento>& segmentos);
