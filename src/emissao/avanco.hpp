#pragma once

#include <charconv>

// The feeds as every dialect writes them: the answered one, in the
// preamble, with no decimals, as the file has always had it; a pass's own
// (the centre's share of the edge's feed), with one.
inline constexpr int casas_avanco = 0;
inline constexpr int casas_avanco_passe = 1;

// The feed a control runs: `avanco` rounded to `casas` decimals as the file
// prints it (printf's rounding of the exact binary value). At a low feed the
// rounding is a few percent: F14 for 14.2.
inline double avanco_escrito(double avanco, int casas) {
    char texto[400];
    const auto r = std::to_chars(texto, texto + sizeof texto, avanco, std::chars_format::fixed, casas);
    if (r.ec != std::errc()) return avanco;
    double v = avanco;
    std::from_chars(texto, r.ptr, v);
    return v;
}
