#include "visualizar/mensagem.hpp"

#include <cstdarg>
#include <cstdio>

std::string formatar(const char* formato, ...) {
    char texto[512];
    va_list args;
    va_start(args, formato);
    const int n = std::vsnprintf(texto, sizeof texto, formato, args);
    va_end(args);
    if (n < 0) return {};
    return std::string(texto, static_cast<std::size_t>(n) < sizeof texto ? static_cast<std::size_t>(n) : sizeof texto - 1);
}

std::string texto_visivel(std::string_view texto, std::size_t max) {
    std::string r;
    for (char c : texto) {
        if (r.size() >= max) {
            r += "...";
            break;
        }
        const auto b = static_cast<unsigned char>(c);
        r += (b >= 0x20 && b < 0x7f) ? c : (c == '\t' ? ' ' : '?');
    }
    return r;
}
