#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Numbers of a designation and of the report held as integers scaled by a
// power of ten (2.5 mm is 2500 thousandths), so that table look-ups compare
// exactly and every printed figure is rounded once, in decimal.

// At most this many significant digits before the point: a typed number
// never overflows, whatever its length.
inline constexpr int max_algarismos = 9;

// Reads digits at `pos`, then, when `casas` > 0, an optional decimal point or
// comma and more digits; `valor` is the number times 10^casas. Decimals beyond
// `casas` may only be zeros. On success `pos` is past the number; on failure
// `erro` says why (in Portuguese) and `pos` is unspecified.
bool ler_decimal(std::string_view texto, std::size_t& pos, int casas, std::int64_t& valor,
                 std::string& erro);

// `valor` / 10^casas with exactly `casas` decimals: (17500, 3) -> "17.500".
std::string texto_fixo(std::int64_t valor, int casas);

// The same without trailing zeros, nor the point when nothing follows it:
// (17500, 3) -> "17.5", (20000, 3) -> "20". A number as one types it.
std::string texto_enxuto(std::int64_t valor, int casas);

// Rounds numerador / denominador to the nearest integer, halves away from
// zero, as the standards round their tables. denominador > 0.
std::int64_t arredondar(std::int64_t numerador, std::int64_t denominador);
