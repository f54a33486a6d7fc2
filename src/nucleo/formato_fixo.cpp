#include "nucleo/formato_fixo.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace formato_fixo_detalhe {

std::size_t formatar_geral(char* destino, float valor) {
    // The GNU C library's texts, sign of a NaN included, on every platform.
    if (!std::isfinite(valor)) {
        const char* texto = std::isnan(valor) ? (std::signbit(valor) ? "-nan" : "nan")
                                              : (std::signbit(valor) ? "-inf" : "inf");
        const std::size_t n = std::strlen(texto);
        std::memcpy(destino, texto, n);
        return n;
    }
    char texto[max_fixo3 + 16];
    const int n = std::snprintf(texto, sizeof texto, "%0.3f", static_cast<double>(valor));
    // A float never needs more than the buffer; the guard only bounds the copy.
    const std::size_t tamanho = n < 0 ? 0 : std::min(static_cast<std::size_t>(n), sizeof texto - 1);
    std::memcpy(destino, texto, tamanho);
    return tamanho;
}

}  // namespace formato_fixo_detalhe
