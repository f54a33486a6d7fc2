#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "visualizar/movimento.hpp"

// The shape of a feed move's line: every byte but the digits of its X, Y
// and Z numbers and of a leading block number. Nearly every line of a file
// is a chord of the same shape as the line before, in any dialect's
// spelling ("g01 x.. y.. z..", "G1 X.. Y.. Z..", "12 L X+.. Y+.. Z-.."): it
// then holds the same words, and only its three numbers need reading, at
// their places. The reader takes a shape from a line it read in full and
// whose move it knows (LeitorGcode::interpretar).
class FormaLinha {
public:
    static constexpr std::size_t max_bytes = 64;

    // Takes the shape of `texto`, whose move went to `para`; false (and no
    // shape) when its numbers cannot be found there as written.
    bool tomar(std::string_view texto, const Ponto3& para, bool bloco_numerado);

    // The point of `texto` when it has the shape taken; false otherwise.
    // Up to 7 bytes after the text must be readable.
    bool ler(std::string_view texto, Ponto3& para) const {
        if (!valida_ || texto.size() != tamanho_) return false;
        for (std::size_t k = 0; k * 8 < tamanho_; ++k) {
            std::uint64_t x;
            std::memcpy(&x, texto.data() + k * 8, 8);
            x &= resto_[k];
            const std::uint64_t v = variavel_[k];
            // Bytes '0' to '9': their high bit after the two sums (7-bit bytes only).
            const std::uint64_t baixos = x & 0x7F7F7F7F7F7F7F7FULL;
            const std::uint64_t digitos = (baixos + 0x5050505050505050ULL) & ~(baixos + 0x4646464646464646ULL) & ~x &
                                          0x8080808080808080ULL;
            if (((digitos >> 7) * 0xFF & v) != v || ((x & ~v) | (0x3030303030303030ULL & v)) != mascara_[k])
                return false;
        }
        // As the full reader reads a number: its digits one integer, divided
        // once by an exact power of ten; X and Y in one pair of lanes, each
        // rounded as alone.
        using Par = double __attribute__((vector_size(16)));
        double inteiro[3];
        for (std::size_t k = 0; k < 3; ++k) {
            const Campo& c = campos_[k];
            std::uint64_t m = 0;
            for (std::size_t i = c.inicio; i < c.ponto; ++i) m = m * 10 + static_cast<unsigned>(texto[i] - '0');
            for (std::size_t i = c.ponto + 1; i < c.fim; ++i) m = m * 10 + static_cast<unsigned>(texto[i] - '0');
            inteiro[k] = static_cast<double>(static_cast<std::int64_t>(m));
        }
        const Par xy = Par{inteiro[0], inteiro[1]} / Par{potencias_[campos_[0].decimais], potencias_[campos_[1].decimais]};
        const double z = inteiro[2] / potencias_[campos_[2].decimais];
        para = Ponto3{campos_[0].negativo ? -xy[0] : xy[0], campos_[1].negativo ? -xy[1] : xy[1],
                      campos_[2].negativo ? -z : z};
        return true;
    }

private:
    // A number's bytes, from its first digit: its point's (or `fim`), by axis.
    struct Campo {
        std::uint8_t inicio = 0, ponto = 0, fim = 0, decimais = 0;
        bool negativo = false;
    };
    static constexpr double potencias_[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    bool valida_ = false;
    std::size_t tamanho_ = 0;
    std::array<Campo, 3> campos_{};
    // By 8-byte piece: the line with those digits as '0', which of its bytes
    // they are, and which bytes are the line's at all.
    static constexpr std::size_t pedacos = max_bytes / 8;
    std::array<std::uint64_t, pedacos> mascara_{}, variavel_{}, resto_{};
};
