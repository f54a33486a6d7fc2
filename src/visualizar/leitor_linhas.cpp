#include "visualizar/leitor_linhas.hpp"

#include <algorithm>
#include <cstring>

#include "visualizar/numero.hpp"

static_assert(LeitorLinhas::folga > folga_numero, "the number reader looks past a line's end");

LeitorLinhas::LeitorLinhas(Fonte& fonte, std::size_t tamanho_bloco)
    : fonte_(fonte), tamanho_bloco_(std::max<std::size_t>(tamanho_bloco, 1)) {
    longa_.reserve(max_texto_guardado);
    // Not cleared: only what a block brings is ever read, and the few bytes
    // after it, cleared at each block.
    dados_.reset(new char[max_linha + 1 + tamanho_bloco_ + folga]);
    p_ = fim_ = dados_.get();
    std::memset(dados_.get(), 0, folga);
}

bool LeitorLinhas::encher() {
    if (eof_) return false;
    const auto resto = static_cast<std::size_t>(fim_ - p_);
    char* inicio = dados_.get();
    if (resto > 0 && p_ != inicio) std::memmove(inicio, p_, resto);
    p_ = inicio;
    const std::size_t n = fonte_.ler(inicio + resto, tamanho_bloco_);
    fim_ = inicio + resto + n;
    // A NUL ends the last line for the number reader, which may look a few
    // bytes past a line's end.
    std::memset(fim_, 0, folga);
    if (n < tamanho_bloco_) {
        eof_ = true;
        erro_ = fonte_.erro();
    }
    return n > 0;
}

bool LeitorLinhas::proxima_depois_do_bloco(LinhaTexto& l) {
    for (;;) {
        const auto disponivel = static_cast<std::size_t>(fim_ - p_);
        const char* e = disponivel > 0 ? static_cast<const char*>(std::memchr(p_, '\n', disponivel)) : nullptr;
        if (e != nullptr || (eof_ && disponivel > 0)) {
            const char* inicio = p_;
            const auto tamanho = static_cast<std::size_t>((e != nullptr ? e : fim_) - p_);
            p_ = e != nullptr ? e + 1 : fim_;
            l.numero = ++numero_;
            l.sem_fim_de_linha = e == nullptr;
            l.bytes = tamanho;
            l.longa = tamanho > max_linha;
            if (l.longa) {
                l.texto = std::string_view(inicio, max_texto_guardado);
            } else {
                std::size_t n = tamanho;
                if (n > 0 && inicio[n - 1] == '\r') --n;
                l.texto = std::string_view(inicio, n);
            }
            return true;
        }
        if (eof_) return false;
        // No line end among the unread bytes: a line too long to hold is
        // skipped block by block, whatever its length.
        if (disponivel > max_linha) return pular_linha_longa(l);
        encher();
    }
}

bool LeitorLinhas::pular_linha_longa(LinhaTexto& l) {
    longa_.assign(p_, max_texto_guardado);
    std::uint64_t total = static_cast<std::uint64_t>(fim_ - p_);
    p_ = fim_;
    l.sem_fim_de_linha = false;
    for (;;) {
        encher();
        const auto n = static_cast<std::size_t>(fim_ - p_);
        const char* e = n > 0 ? static_cast<const char*>(std::memchr(p_, '\n', n)) : nullptr;
        if (e != nullptr) {
            total += static_cast<std::uint64_t>(e - p_);
            p_ = e + 1;
            break;
        }
        total += n;
        p_ = fim_;
        if (eof_) {
            l.sem_fim_de_linha = true;
            break;
        }
    }
    l.numero = ++numero_;
    l.texto = longa_;
    l.longa = true;
    l.bytes = total;
    return true;
}
