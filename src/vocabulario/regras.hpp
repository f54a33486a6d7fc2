#pragma once

// What the header's numbers mean for the path: the rules the generator
// builds a pass by and the viewer checks it against, written once.
namespace vocabulario {

// Radius of the cutter centre's path for a pass of diameter `diametro`: the
// cutting edge reaches the diameter, inside it for an internal thread and
// outside for an external one. In double: rounding it to float would move
// every point of a pass.
inline double raio_percurso(float diametro, float ferramenta, bool interna) {
    const double meio_passe = static_cast<double>(diametro) / 2;
    const double meia_ferramenta = static_cast<double>(ferramenta) / 2;
    return interna ? meio_passe - meia_ferramenta : meio_passe + meia_ferramenta;
}

// Where the file programs a path whose cutter centre runs at `raio_centro`:
// there, or with the control's compensation on the cutting edge, the
// thread's own radius.
inline double raio_programado(double raio_centro, double ferramenta, bool interna, bool compensacao) {
    if (!compensacao) return raio_centro;
    return interna ? raio_centro + ferramenta / 2 : raio_centro - ferramenta / 2;
}

// Which way the cutter goes round seen from above: +1 counter-clockwise,
// -1 clockwise. Face down a right-hand helix turns clockwise; a pass run up
// from the thread length turns the other way.
inline int giro(bool mao_direita, bool subindo) { return (mao_direita ? -1 : 1) * (subindo ? -1 : 1); }

// Climb milling with the spindle turning clockwise (M3): counter-clockwise
// round an internal thread, clockwise round an external one.
inline bool concordante(bool interna, int giro) { return interna ? giro > 0 : giro < 0; }

// The control's compensation keeps the cutter left of its travel (G41) for
// climb milling, right (G42) for conventional.
inline int lado_compensacao(bool interna, int giro) { return concordante(interna, giro) ? 41 : 42; }

// The feed of the cutter's centre when `avanco` is the cutting edge's, for a
// pass of diameter `diametro`: F x (D - Dt) / D inside, F x (D + Dt) / D outside.
inline double avanco_no_centro(double avanco, double diametro, double ferramenta, bool interna) {
    return avanco * (interna ? diametro - ferramenta : diametro + ferramenta) / diametro;
}

// The change of a pass's radius per mm of depth for a taper 1:N on the
// diameter: inside a bore it narrows downward, on a pipe it grows (the
// small end is at the face).
inline double conicidade_raio(int n, bool interna) { return (interna ? -0.5 : 0.5) * (1.0 / n); }

}  // namespace vocabulario
