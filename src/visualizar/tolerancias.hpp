#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

// How far a value read from the file may be from the one it stands for: what
// the printed decimals explain, plus, for the path's coordinates, the float
// the generator stored them in. Nothing more, so that a point moved 0.05 mm
// shows.

// Half a unit of the last printed decimal: 0.005 for "%.2f".
inline double meia_unidade(int decimais) {
    if (decimais < 0) return std::numeric_limits<double>::infinity();
    return 0.5 * std::pow(10.0, -decimais);
}

// Half the spacing of floats at `v`'s magnitude: the rounding of a float field.
inline double meio_ulp(double v) {
    const float f = static_cast<float>(std::fabs(v));
    if (!std::isfinite(f)) return std::numeric_limits<double>::infinity();
    return 0.5 * (static_cast<double>(std::nextafter(f, std::numeric_limits<float>::infinity())) -
                  static_cast<double>(f));
}

// A coordinate or depth printed with "%0.3f" from a float of about this magnitude.
inline double erro_coordenada(double magnitude) { return meia_unidade(3) + meio_ulp(magnitude) + 1e-9; }

// A value read from the file as the generator's float field held it; beyond
// a float's range, the largest float (a NaN stays one).
inline float como_float(double v) {
    constexpr double maior = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(v, -maior, maior));
}

// Room left for the arithmetic of the comparisons themselves.
inline constexpr double folga_calculo = 1e-9;

inline constexpr double pi = 3.14159265358979323846;
inline constexpr double graus_por_radiano = 180 / pi;

// One degree, as consecutive moves advance.
inline const double cos_grau = std::cos(pi / 180);
inline const double sen_grau = std::sin(pi / 180);
