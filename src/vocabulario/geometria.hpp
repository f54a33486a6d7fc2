#pragma once

#include <algorithm>

// The fixed numbers of the tool path: what the generator writes and the
// viewer expects.
namespace vocabulario {

// One-degree moves: a helix turn is this many of them.
inline constexpr int passos_por_volta = 360;
// The arcs into and out of a helix along its tangent, and the approach to
// one along the same circle, are quarter circles: as one-degree moves, this
// many; as helical arcs, one.
inline constexpr int passos_arco_guia = passos_por_volta / 4;

// Heights above the top of the part (Z0), in mm: the approach before the
// first pass and the rise after each pass.
inline constexpr float altura_aproximacao = 3.0f;
inline constexpr float altura_retracao_interna = 5.0f;
inline constexpr float altura_retracao_externa = 5.0f;
// Beyond an external pass's path radius, the corner it retracts to.
inline constexpr float folga_retracao = 3.0f;

// The machined diameter of an internal thread may pass the final diameter by
// this much before the bore counts as too big. Held as the double nearest
// 0.1: in float the check would let through diameters that pass the final
// one by a hair more than the tolerance.
inline constexpr double tolerancia_furo = 0.1;

// A rapid move below the face goes only where the cutter certainly cuts
// nothing: inside the drilled hole, or outside the blank, by this much (mm).
inline constexpr double folga_rapido = 0.1;

// The blank of an external thread. Made in one pass, its diameter is not
// answered: no thread of the common forms is deeper than one pitch on the
// radius, so the blank is taken as the root's diameter and two pitches.
inline double diametro_blank(double diametro_inicial, double diametro_final, double passo) {
    return diametro_inicial > 0 ? diametro_inicial : diametro_final + 2 * passo;
}

// The space where the cutter's centre may go at rapid below the face: a
// disc about the axis inside a hole, everything outside a disc round a blank.
// The hole or blank is taken as a cone from its diameter at the face, for a
// tapered thread (a straight hole or blank is no smaller inside, no larger
// outside). An internal thread made in one pass gives no hole's diameter:
// only the axis is certain, the hole taking at least the cutter.
struct EspacoLivre {
    bool interna = true;
    double diametro = 0;    // the hole's or the blank's at the face; 0: a hole of unknown size
    double conicidade = 0;  // that diameter's change per mm of depth
    double ferramenta = 0;  // the cutter's diameter

    double diametro_em(double profundidade) const { return diametro + conicidade * std::max(0.0, profundidade); }
    // How far the cutting edge goes into the material with the cutter's
    // centre `raio` from the axis at `profundidade` (positive below the
    // face); negative when it is clear by that much. Without a hole's
    // diameter, the centre's distance from the axis.
    double invasao(double raio, double profundidade) const {
        if (interna && diametro <= 0) return raio;
        const double parede = diametro_em(profundidade) / 2;
        return interna ? raio + ferramenta / 2 - parede : parede - (raio - ferramenta / 2);
    }
    // Whether the centre may stand there: clear by `folga_rapido`, or on the
    // axis of a hole (which takes the cutter, or it could not be threaded).
    bool livre(double raio, double profundidade, double tolerancia = 0) const {
        if (interna && raio <= tolerancia) return true;
        if (interna && diametro <= 0) return false;
        return invasao(raio, profundidade) <= -folga_rapido + tolerancia;
    }
    // The farthest from the axis (inside) or the nearest (outside) the centre may stand.
    double raio_limite(double profundidade) const {
        if (interna) return diametro <= 0 ? 0.0 : std::max(0.0, (diametro_em(profundidade) - ferramenta) / 2 - folga_rapido);
        return (diametro_em(profundidade) + ferramenta) / 2 + folga_rapido;
    }
};

// Where an external pass retracts to: the corner of the square of half-side
// `rc` (path radius plus clearance) in the quadrant of its last point. A
// coordinate of exactly 0 counts as negative X or positive Y. False only when
// a coordinate is not a number, and the point has no quadrant.
struct Canto {
    double x = 0, y = 0;
};
inline bool canto_retracao(double x, double y, double rc, Canto& canto) {
    if (x <= 0 && y >= 0) {
        canto = {-rc, rc};
    } else if (x <= 0 && y < 0) {
        canto = {-rc, -rc};
    } else if (x > 0 && y >= 0) {
        canto = {rc, rc};
    } else if (x > 0 && y < 0) {
        canto = {rc, -rc};
    } else {
        return false;
    }
    return true;
}

}  // namespace vocabulario
