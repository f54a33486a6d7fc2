#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// Concatenates the pieces of a message or a report line in one allocation.
// It also keeps away from operator+(const char*, std::string&&), whose inlined
// insert makes GCC 12 report a false -Wrestrict at -O2.
inline std::string juntar(std::initializer_list<std::string_view> partes) {
    std::size_t tamanho = 0;
    for (auto p : partes) tamanho += p.size();
    std::string texto;
    texto.reserve(tamanho);
    for (auto p : partes) texto.append(p);
    return texto;
}
