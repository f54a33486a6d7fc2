#pragma once

#include <cmath>

#include "visualizar/movimento.hpp"
#include "visualizar/tolerancias.hpp"

// An arc move's degrees, and the points along it.

inline double graus_do_arco(const Movimento& m) { return std::fabs(m.varredura) * graus_por_radiano; }

// The sweep from a to b about the origin, in the sense given: a whole turn
// where they coincide; none where the coordinates are too large to subtract.
inline double varredura(double ax, double ay, double bx, double by, bool horario) {
    double v = std::atan2(ax * by - ay * bx, ax * bx + ay * by);
    if (!horario && v <= 0) v += 2 * pi;
    if (horario && v >= 0) v -= 2 * pi;
    return std::isfinite(v) ? v : 0;
}

// A straight move's length, from `de` to (x, y, z).
inline double comprimento_corda(const Ponto3& de, double x, double y, double z) {
    const double dx = x - de.x, dy = y - de.y, dz = z - de.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The length the tool travels along a move: a line's, or a helical arc's
// (its turn about the centre and its rise together).
inline double comprimento_do_movimento(const Movimento& m) {
    if (m.tipo == TipoMovimento::arco) {
        const double arco = std::hypot(m.de.x - m.centro_x, m.de.y - m.centro_y) * std::fabs(m.varredura);
        return std::hypot(arco, m.para.z - m.de.z);
    }
    return comprimento_corda(m.de, m.para.x, m.para.y, m.para.z);
}

// Calls usar(k, x, y) for the points that split the arc into `pontos` equal
// steps, k from 1 (the first step on) to `pontos` (its end, as computed):
// the radius turned step by step, one sine and cosine per arc.
template <typename F>
void pontos_do_arco(const Movimento& m, int pontos, F&& usar) {
    const double c = std::cos(m.varredura / pontos), s = std::sin(m.varredura / pontos);
    double rx = m.de.x - m.centro_x, ry = m.de.y - m.centro_y;
    for (int k = 1; k <= pontos; ++k) {
        const double nx = rx * c - ry * s;
        ry = rx * s + ry * c;
        rx = nx;
        usar(k, m.centro_x + rx, m.centro_y + ry);
    }
}
