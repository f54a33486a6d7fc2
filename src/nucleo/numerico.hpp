#pragma once

#include <cfloat>
#include <limits>

// Every formula is evaluated with a 64-bit significand and rounded once to float
// where it is stored; pass counts and printed digits depend on it.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the numeric rule needs a long double with a 64-bit significand");
// float and double expressions in their own precision (SSE2, not x87): a
// wider intermediate would round some coordinates twice, and the
// three-decimal formatter's rounding trick needs exact double arithmetic.
static_assert(FLT_EVAL_METHOD == 0,
              "float and double must be evaluated in their own precision (build with -msse2 -mfpmath=sse)");
#ifdef __FAST_MATH__
#error "fast-math breaks the numeric rule: reassociated or contracted formulas print other digits"
#endif

using estendido = long double;

// Widens a stored field to the extended precision a formula is evaluated in,
// so that formulas read like the text: estender(d.campo) - estender(d.outro).
inline constexpr estendido estender(float v) { return static_cast<estendido>(v); }

// Rounds an extended result once, to the single precision of a field.
inline constexpr float armazenar(estendido v) { return static_cast<float>(v); }

// Pi as the program has always used it: the double nearest 3.14159265, not M_PI.
inline constexpr double pi_aproximado = 3.14159265;

// Degree-to-radian factor of every sine and cosine, slightly below pi / 180.
inline constexpr double grau_para_radiano = 3.14159265 / 180;
