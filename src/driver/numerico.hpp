#pragma once

#include <limits>

// Every formula is evaluated with a 64-bit significand and rounded once to float
// where it is stored; pass counts and printed digits depend on it.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the numeric rule needs a long double with a 64-bit significand");

using estendido = long double;

// Widening helper so that formulas read like the text: x(d.campo) - x(d.outro).
inline constexpr estendido x(float v) { return static_cast<estendido>(v); }

// Rounds an extended result once, to the single precision of a field.
inline constexpr float armazenar(estendido v) { return static_cast<float>(v); }

// Pi as the program has always used it: the double nearest 3.14159265, not M_PI.
inline constexpr double pi_aproximado = 3.14159265;

// Degree-to-radian factor of every sine and cosine, slightly below pi / 180.
inline constexpr double grau_para_radiano = 3.14159265 / 180;
