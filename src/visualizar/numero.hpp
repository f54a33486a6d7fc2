#pragma once

#include <charconv>
#include <cstdint>

// A number as G-code writes it: an optional sign, digits with an optional
// point, at least one digit ("5", "5.", ".5", "+5", "-0.000"); no exponent,
// no "inf" or "nan". Returns the pointer past it, or null when the text at
// `p` is not one.
//
// Up to 15 digits the digits are gathered as an integer, exact in a double,
// and divided once by an exact power of ten: one correctly rounded
// operation, the same double std::from_chars gives. Longer numbers go to
// std::from_chars itself.
inline const char* ler_numero(const char* p, const char* fim, double& valor) {
    static constexpr double potencias[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                           1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    bool negativo = false;
    if (p < fim && (*p == '-' || *p == '+')) {
        negativo = *p == '-';
        ++p;
    }
    const char* const inicio = p;
    // Unsigned, so that a long run of digits wraps instead of overflowing;
    // past 15 digits the integer is not used.
    std::uint64_t inteiro = 0;
    while (p < fim && static_cast<unsigned char>(*p - '0') < 10) {
        inteiro = inteiro * 10 + static_cast<unsigned>(*p - '0');
        ++p;
    }
    auto digitos = static_cast<std::size_t>(p - inicio);
    std::size_t decimais = 0;
    if (p < fim && *p == '.') {
        const char* const fracao = ++p;
        while (p < fim && static_cast<unsigned char>(*p - '0') < 10) {
            inteiro = inteiro * 10 + static_cast<unsigned>(*p - '0');
            ++p;
        }
        decimais = static_cast<std::size_t>(p - fracao);
        digitos += decimais;
    }
    if (digitos == 0 || digitos > 30) return nullptr;
    double v;
    if (digitos <= 15) {
        v = static_cast<double>(inteiro) / potencias[decimais];
    } else {
        const auto r = std::from_chars(inicio, p, v, std::chars_format::fixed);
        if (r.ec != std::errc() || r.ptr != p) return nullptr;
    }
    valor = negativo ? -v : v;
    return p;
}
