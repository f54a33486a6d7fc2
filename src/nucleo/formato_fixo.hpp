#pragma once

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "nucleo/numerico.hpp"

// Three-decimal fixed point, byte for byte as printf "%0.3f" prints a float
// widened to double, without a printf call: the tool path prints three such
// numbers per line and hundreds of thousands of lines per job.

// Longest text a float can give: sign, 39 digits, the point and 3 decimals.
inline constexpr std::size_t max_fixo3 = 48;

namespace formato_fixo_detalhe {

constexpr std::array<std::array<char, 4>, 1000> montar_decimais() {
    std::array<std::array<char, 4>, 1000> t{};
    for (int i = 0; i < 1000; ++i) {
        t[i] = {'.', static_cast<char>('0' + i / 100), static_cast<char>('0' + i / 10 % 10),
                static_cast<char>('0' + i % 10)};
    }
    return t;
}

// ".000" to ".999", four bytes each, so a fraction is one 4-byte copy.
inline constexpr auto decimais = montar_decimais();

constexpr std::array<std::array<char, 2>, 100> montar_pares() {
    std::array<std::array<char, 2>, 100> t{};
    for (int i = 0; i < 100; ++i) t[i] = {static_cast<char>('0' + i / 10), static_cast<char>('0' + i % 10)};
    return t;
}

// "00" to "99", for two digits of the whole part at a time.
inline constexpr auto pares = montar_pares();

// Below this magnitude the value times 1000 is an integer-valued double
// under 2^52, where the rounding trick below is exact (double arithmetic in
// double precision: numerico.hpp checks it).
inline constexpr double limite_exato = 4294967296.0;

// The general formatter, for what the shortcut does not cover (huge
// magnitudes, infinities, NaN).
std::size_t formatar_geral(char* destino, float valor);

}  // namespace formato_fixo_detalhe

// Writes `valor` as printf("%0.3f", (double)valor) does, with no terminating
// NUL; returns the number of bytes. `destino` needs `max_fixo3` bytes.
inline std::size_t formatar_fixo3(char* destino, float valor) {
    using namespace formato_fixo_detalhe;
    const double v = valor;
    const double magnitude = std::fabs(v);
    if (!(magnitude < limite_exato)) return formatar_geral(destino, valor);

    char* p = destino;
    // printf shows the sign of every negative value, -0.000 included.
    if (std::signbit(v)) *p++ = '-';
    // A float has 24 significant bits, so times 1000 it is exact in double.
    // Adding and removing 2^52 leaves an integer rounded in the current mode,
    // to nearest with ties to even: what printf does with the exact value.
    const double milesimos = magnitude * 1000.0;
    const double arredondado = (milesimos + 0x1p52) - 0x1p52;
    const auto n = static_cast<std::uint64_t>(arredondado);
    const std::uint64_t inteiro = n / 1000;
    const auto fracao = static_cast<unsigned>(n % 1000);
    // Depths and coordinates mostly have one to four digits before the point.
    if (inteiro < 10) {
        *p++ = static_cast<char>('0' + inteiro);
    } else if (inteiro < 100) {
        std::memcpy(p, pares[inteiro].data(), 2);
        p += 2;
    } else if (inteiro < 1000) {
        *p = static_cast<char>('0' + inteiro / 100);
        std::memcpy(p + 1, pares[inteiro % 100].data(), 2);
        p += 3;
    } else if (inteiro < 10000) {
        std::memcpy(p, pares[inteiro / 100].data(), 2);
        std::memcpy(p + 2, pares[inteiro % 100].data(), 2);
        p += 4;
    } else {
        p = std::to_chars(p, p + 20, inteiro).ptr;
    }
    std::memcpy(p, decimais[fracao].data(), 4);
    return static_cast<std::size_t>(p + 4 - destino);
}
