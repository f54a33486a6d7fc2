#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "visualizar/fonte.hpp"

// One line of the file, as the blocks cut it.
struct LinhaTexto {
    std::uint64_t numero = 0;  // 1 for the first line
    // The line without its line end ("\n" or "\r\n"); for a line longer than
    // `LeitorLinhas::max_linha`, only its first `max_texto_guardado` bytes.
    // A line end or a NUL follows it (numero.hpp).
    std::string_view texto;
    bool longa = false;
    std::uint64_t bytes = 0;  // the line's whole length, "\r" included
    // The last line of the file did not end with a line break.
    bool sem_fim_de_linha = false;
};

// Cuts the file into lines from fixed-size blocks, so memory does not depend
// on the file's size. Nothing is kept per line: a line is valid until the
// next call.
class LeitorLinhas {
public:
    static constexpr std::size_t bloco_padrao = std::size_t{1} << 19;
    // A longer line is not G-code anyone writes; it is skipped, not held.
    static constexpr std::size_t max_linha = 4096;
    static constexpr std::size_t max_texto_guardado = 120;
    // Bytes after the data that may be read, zeros.
    static constexpr std::size_t folga = 16;

    // `tamanho_bloco` may be as small as 1 (the tests cross every boundary).
    explicit LeitorLinhas(Fonte& fonte, std::size_t tamanho_bloco = bloco_padrao);

    inline bool proxima(LinhaTexto& linha);

    bool erro_leitura() const { return erro_; }
    std::uint64_t linhas() const { return numero_; }

private:
    // A line the unread bytes do not hold whole: more blocks, the end of the
    // file, or a line too long to hold.
    bool proxima_depois_do_bloco(LinhaTexto& linha);
    // Appends the next block after the unread bytes; false at the end.
    bool encher();
    bool pular_linha_longa(LinhaTexto& linha);

    Fonte& fonte_;
    std::size_t tamanho_bloco_;
    // Room for a line's start that a block cut, then the block.
    std::unique_ptr<char[]> dados_;
    const char* p_ = nullptr;
    char* fim_ = nullptr;
    bool eof_ = false;
    bool erro_ = false;
    std::uint64_t numero_ = 0;
    std::string longa_;
};

inline bool LeitorLinhas::proxima(LinhaTexto& l) {
    const char* const inicio = p_;
    const char* const e =
        inicio < fim_ ? static_cast<const char*>(std::memchr(inicio, '\n', static_cast<std::size_t>(fim_ - inicio)))
                      : nullptr;
    if (e == nullptr) return proxima_depois_do_bloco(l);
    auto tamanho = static_cast<std::size_t>(e - inicio);
    p_ = e + 1;
    l.numero = ++numero_;
    l.sem_fim_de_linha = false;
    l.bytes = tamanho;
    l.longa = tamanho > max_linha;
    if (l.longa) {
        l.texto = std::string_view(inicio, max_texto_guardado);
        return true;
    }
    if (tamanho > 0 && inicio[tamanho - 1] == '\r') --tamanho;
    l.texto = std::string_view(inicio, tamanho);
    return true;
}
