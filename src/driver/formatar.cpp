#include "driver/formatar.hpp"

#include <cstdio>

std::string_view Formatado::operator()(const char* formato, va_list args) {
    va_list copia;
    va_copy(copia, args);
    int n = std::vsnprintf(local_, sizeof local_, formato, args);
    if (n < 0) {
        va_end(copia);
        return {};
    }
    auto tamanho = static_cast<std::size_t>(n);
    if (tamanho < sizeof local_) {
        va_end(copia);
        return {local_, tamanho};
    }
    grande_.assign(tamanho + 1, '\0');
    std::vsnprintf(grande_.data(), grande_.size(), formato, copia);
    va_end(copia);
    return {grande_.data(), tamanho};
}
