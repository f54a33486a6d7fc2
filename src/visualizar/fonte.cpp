#include "visualizar/fonte.hpp"

#include <algorithm>
#include <cstring>

std::size_t FonteArquivo::ler(char* destino, std::size_t n) { return std::fread(destino, 1, n, arquivo_); }

bool FonteArquivo::erro() const { return std::ferror(arquivo_) != 0; }

std::size_t FonteMemoria::ler(char* destino, std::size_t n) {
    const std::size_t k = std::min(n, resto_.size());
    if (k > 0) std::memcpy(destino, resto_.data(), k);
    resto_.remove_prefix(k);
    return k;
}
