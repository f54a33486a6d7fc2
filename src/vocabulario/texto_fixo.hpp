#pragma once

#include <cstddef>

// A text joined from string literals at compile time, so that a format kept
// in a table can be built from the vocabulary's pieces and still be checked
// against its values when compiling.
template <std::size_t N>
struct TextoFixo {
    char c[N + 1] = {};
    constexpr const char* texto() const { return c; }
};

template <std::size_t... N>
consteval auto juntar_fixo(const char (&... partes)[N]) {
    TextoFixo<(0 + ... + (N - 1))> t;
    std::size_t i = 0;
    auto copiar = [&](const char* p, std::size_t n) {
        for (std::size_t k = 0; k + 1 < n; ++k) t.c[i++] = p[k];
    };
    (copiar(partes, N), ...);
    return t;
}
