#include "visualizar/leitor_linhas.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "visualizar/numero.hpp"

static_assert(LeitorLinhas::folga > folga_numero, "the number reader looks past a line's end");

// The blocks go into two buffers in turn, in the file's order. Whichever
// thread reads a block takes `ocupado` first, so that one reads at a time,
// and fills the next buffer only once the lines' thread has let it go. (More
// buffers measured slower: the bytes are out of both threads' caches by the
// time their lines are cut.)
struct LeitorLinhas::Antecipacao {
    static constexpr std::size_t quantos = 2;
    struct Buffer {
        // Room for a line's start that the block before cut, the block, `folga`.
        std::unique_ptr<char[]> dados;
        std::atomic<bool> cheio{false};  // read, and not yet let go
        std::size_t n = 0;
        bool erro = false;
        char* bloco() const { return dados.get() + max_linha + 1; }
    };
    std::array<Buffer, quantos> buffers;
    std::atomic<bool> ocupado{false};
    // Under `ocupado`: the buffer the next block goes into; a block came
    // short, and there is nothing more to read.
    std::size_t proximo = 1;
    bool esgotado = false;
    std::size_t atual = 0;  // the lines' thread's own: the buffer its bytes are in

    // The next block read, when its buffer is free and no other thread is
    // reading; never waits.
    bool ler_um(Fonte& fonte, std::size_t tamanho) {
        bool outro = false;
        if (!ocupado.compare_exchange_strong(outro, true, std::memory_order_acquire, std::memory_order_relaxed))
            return false;
        Buffer& b = buffers[proximo];
        const bool ler = !esgotado && !b.cheio.load(std::memory_order_acquire);
        if (ler) {
            b.n = fonte.ler(b.bloco(), tamanho);
            std::memset(b.bloco() + b.n, 0, folga);
            if (b.n < tamanho) {
                b.erro = fonte.erro();
                esgotado = true;
            }
            proximo = (proximo + 1) % quantos;
            b.cheio.store(true, std::memory_order_release);
        }
        ocupado.store(false, std::memory_order_release);
        return ler;
    }
};

LeitorLinhas::LeitorLinhas(Fonte& fonte, std::size_t tamanho_bloco, bool antecipavel)
    : fonte_(fonte), tamanho_bloco_(std::max<std::size_t>(tamanho_bloco, 1)) {
    longa_.reserve(max_texto_guardado);
    if (antecipavel) {
        antecipacao_ = std::make_unique<Antecipacao>();
        for (auto& b : antecipacao_->buffers) b.dados.reset(new char[max_linha + 1 + tamanho_bloco_ + folga]);
        // The first buffer stands for the empty block before the file.
        Antecipacao::Buffer& primeiro = antecipacao_->buffers[0];
        primeiro.cheio.store(true, std::memory_order_relaxed);
        p_ = fim_ = primeiro.bloco();
        std::memset(fim_, 0, folga);
        return;
    }
    // Not cleared: only what a block brings is ever read, and the few bytes
    // after it, cleared at each block.
    dados_.reset(new char[max_linha + 1 + tamanho_bloco_ + folga]);
    p_ = fim_ = dados_.get();
    std::memset(dados_.get(), 0, folga);
}

LeitorLinhas::~LeitorLinhas() = default;

bool LeitorLinhas::antecipar() { return antecipacao_ && antecipacao_->ler_um(fonte_, tamanho_bloco_); }

bool LeitorLinhas::encher_antecipado() {
    Antecipacao& a = *antecipacao_;
    Antecipacao::Buffer& proximo = a.buffers[(a.atual + 1) % Antecipacao::quantos];
    // Read ahead, being read by the other thread, or to be read here.
    while (!proximo.cheio.load(std::memory_order_acquire)) a.ler_um(fonte_, tamanho_bloco_);
    // The cut line's start (no longer than max_linha: a longer one is
    // skipped, not held) goes right before the new block; then the old
    // buffer is free to be read into.
    const auto resto = static_cast<std::size_t>(fim_ - p_);
    char* inicio = proximo.bloco() - resto;
    if (resto > 0) std::memcpy(inicio, p_, resto);
    a.buffers[a.atual].cheio.store(false, std::memory_order_release);
    a.atual = (a.atual + 1) % Antecipacao::quantos;
    p_ = inicio;
    fim_ = proximo.bloco() + proximo.n;
    if (proximo.n < tamanho_bloco_) {
        eof_ = true;
        erro_ = proximo.erro;
    }
    return proximo.n > 0;
}

bool LeitorLinhas::encher() {
    if (eof_) return false;
    if (antecipacao_) return encher_antecipado();
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
