#pragma once

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>

// A number as G-code writes it: an optional sign, digits with an optional
// point, at least one digit ("5", "5.", ".5", "+5", "-0.000"); no exponent,
// no "inf" or "nan"; at most 30 digits. Returns the pointer past it, or null
// when the text at `p` is not one.
//
// The text must be followed by a byte that is neither a digit nor a point
// (a line end, or a string's NUL), which ends the number: the digits are
// read without looking for the end of the line. Three more bytes after it
// must be readable: three decimals are looked at together.
inline constexpr std::size_t folga_numero = 4;

namespace numero_detalhe {

inline constexpr double potencias[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Through std::from_chars, for what does not fit the shortcut: long numbers.
inline const char* ler_longo(const char* p, const char* inicio_sinal, double& valor) {
    const bool negativo = *inicio_sinal == '-';
    const char* const inicio = p;
    std::size_t digitos = 0;
    while (static_cast<unsigned char>(*p - '0') < 10) ++p, ++digitos;
    if (*p == '.') {
        ++p;
        while (static_cast<unsigned char>(*p - '0') < 10) ++p, ++digitos;
    }
    if (digitos == 0 || digitos > 30) return nullptr;
    double v = 0;
    const auto r = std::from_chars(inicio, p, v, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != p) return nullptr;
    valor = negativo ? -v : v;
    return p;
}

}  // namespace numero_detalhe

// Up to 15 digits are gathered as an integer, exact in a double, and divided
// once by an exact power of ten: one correctly rounded operation, the same
// double std::from_chars gives. Longer numbers go to std::from_chars itself.
inline const char* ler_numero(const char* p, double& valor) {
    const char* const sinal = p;
    p += (*p == '-') | (*p == '+');
    const char* const inicio = p;
    auto digito = [](char c) { return static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'}; };
    // Unsigned, so that a long run of digits wraps instead of overflowing;
    // past 15 digits the integer is not used.
    std::uint64_t m = 0;
    for (unsigned d; (d = digito(*p)) < 10; ++p) m = m * 10 + d;
    const auto inteiros = static_cast<unsigned>(p - inicio);
    unsigned decimais = 0;
    if (*p == '.') {
        ++p;
        // Three decimals, the most common, looked at together: each of the
        // first three bytes a digit (its XOR with '0' below 10, so that
        // adding 6 leaves the high half 0), the fourth not.
        std::uint32_t w;
        std::memcpy(&w, p, sizeof w);
        if constexpr (std::endian::native == std::endian::little) {
            const std::uint32_t x = w ^ 0x30303030u;
            if (((x | (x + 0x00060606u)) & 0x00F0F0F0u) == 0 && (x >> 24) >= 10) [[likely]] {
                m = m * 1000 + (x & 0xFF) * 100 + ((x >> 8) & 0xFF) * 10 + ((x >> 16) & 0xFF);
                decimais = 3;
                p += 3;
            }
        }
        if (decimais == 0) {
            const char* const fracao = p;
            for (unsigned d; (d = digito(*p)) < 10; ++p) m = m * 10 + d;
            decimais = static_cast<unsigned>(p - fracao);
        }
    }
    if (inteiros + decimais - 1 >= 15) [[unlikely]] {
        if (inteiros + decimais == 0) return nullptr;
        return numero_detalhe::ler_longo(inicio, sinal, valor);
    }
    const double v = static_cast<double>(static_cast<std::int64_t>(m)) / numero_detalhe::potencias[decimais];
    valor = *sinal == '-' ? -v : v;
    return p;
}
