#pragma once

// The fixed numbers of the tool path: what the generator writes and the
// viewer expects.
namespace vocabulario {

// One-degree moves: a helix turn is this many of them.
inline constexpr int passos_por_volta = 360;

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
