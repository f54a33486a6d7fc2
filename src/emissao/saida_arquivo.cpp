#include "emissao/saida_arquivo.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstring>
#include <string>

#include "nucleo/arquivo.hpp"
#include "nucleo/formatar.hpp"
#include "trabalho/parada_critica.hpp"

namespace {

// A device or a pipe, written as it is.
class ArquivoDireto final : public DestinoArquivo {
public:
    explicit ArquivoDireto(std::FILE* f) : f_(f) {}
    ~ArquivoDireto() override {
        if (f_ != nullptr) std::fclose(f_);
    }
    bool gravar(const char* dados, std::size_t n) override { return gravar_bytes(f_, dados, n); }
    bool fechar() override {
        std::FILE* f = f_;
        f_ = nullptr;
        return std::fclose(f) == 0;
    }
    bool descartar() override {
        if (f_ != nullptr) fechar();
        return false;
    }

private:
    std::FILE* f_;
};

// A regular file, written under a temporary name and moved over the target.
// Where the system allows, the file has no name while it is written
// (`sem_nome`) and takes its temporary name only once whole, just before the
// move: what ends the process before leaves nothing, SIGKILL included.
// Else it has its temporary name from the start, removed by the watch on
// the signals that end the process.
class ArquivoTemporario final : public DestinoArquivo {
public:
    ArquivoTemporario(std::FILE* f, bool sem_nome, std::string temporario, std::string alvo, bool substitui)
        : f_(f), sem_nome_(sem_nome), temporario_(std::move(temporario)), alvo_(std::move(alvo)) {
        if (substitui) copiar_permissoes(alvo_, f_);
        if (!sem_nome_) vigiar_temporario(temporario_);
    }
    ~ArquivoTemporario() override { descartar(); }
    bool gravar(const char* dados, std::size_t n) override { return std::fwrite(dados, 1, n, f_) == n; }
    bool fechar() override {
        std::FILE* f = f_;
        f_ = nullptr;
        if (sem_nome_ && !nomear(f)) {
            std::fclose(f);
            return false;
        }
        if (std::fclose(f) != 0 || !substituir_arquivo(temporario_, alvo_)) {
            remover();
            return false;
        }
        vigiar_temporario("");
        return true;
    }
    bool descartar() override {
        if (f_ != nullptr) {
            std::fclose(f_);
            f_ = nullptr;
            if (!sem_nome_) remover();
        }
        return true;
    }
    bool espaco_livre(std::uint64_t& bytes) const override { return ::espaco_livre(alvo_, bytes); }

private:
    void remover() {
        remover_arquivo(temporario_);
        vigiar_temporario("");
    }
    // The file without a name gets a temporary one nobody has, a breath
    // before the move, watched meanwhile.
    bool nomear(std::FILE* f) {
        for (int n = 0; n < 100; ++n) {
            temporario_ = nome_temporario(alvo_, n);
            vigiar_temporario(temporario_);
            if (dar_nome(f, temporario_)) return true;
            if (errno != EEXIST) break;
        }
        vigiar_temporario("");
        return false;
    }

    std::FILE* f_;
    bool sem_nome_;
    std::string temporario_, alvo_;
};

}  // namespace

std::unique_ptr<DestinoArquivo> abrir_arquivo_disco(const char* nome) {
    const AlvoGravacao alvo = resolver_alvo(nome);
    switch (alvo.tipo) {
        case TipoAlvo::impossivel: return nullptr;
        case TipoAlvo::direto: {
            std::FILE* f = abrir_para_gravar(alvo.caminho, false);
            if (f == nullptr) return nullptr;
            return std::make_unique<ArquivoDireto>(f);
        }
        case TipoAlvo::novo:
        case TipoAlvo::regular: break;
    }
    const bool substitui = alvo.tipo == TipoAlvo::regular;
    if (std::FILE* f = abrir_sem_nome(alvo.caminho))
        return std::make_unique<ArquivoTemporario>(f, true, std::string(), alvo.caminho, substitui);
    // A name nobody has: another run in the same folder may be writing too.
    for (int n = 0; n < 100; ++n) {
        const std::string temporario = nome_temporario(alvo.caminho, n);
        bool ja_existe = false;
        if (std::FILE* f = abrir_para_gravar(temporario, true, &ja_existe))
            return std::make_unique<ArquivoTemporario>(f, false, temporario, alvo.caminho, substitui);
        if (!ja_existe) break;
    }
    return nullptr;
}

std::string SaidaArquivo::em_linhas(std::string_view texto) const {
    std::string r;
    r.reserve(texto.size() + 8);
    for (char c : texto) {
        if (c == '\n')
            r.append(fim_de_linha_);
        else
            r.push_back(c);
    }
    return r;
}

SaidaArquivo::SaidaArquivo(std::unique_ptr<DestinoArquivo> destino)
    : destino_(std::move(destino)), buffer_(new char[capacidade]) {}

SaidaArquivo::~SaidaArquivo() { descartar(); }

bool SaidaArquivo::descartar() {
    if (!destino_) return descartado_;
    auto destino = std::move(destino_);
    // A device keeps what it was sent, as it always has.
    if (usado_ > 0) destino->gravar(buffer_.get(), usado_);
    usado_ = 0;
    descartado_ = destino->descartar();
    return descartado_;
}

void SaidaArquivo::descarregar(bool tudo) {
    const std::size_t n = tudo ? usado_ : usado_ / peca * peca;
    if (n == 0) return;
    const std::size_t resto = usado_ - n;
    usado_ = 0;
    if (!destino_->gravar(buffer_.get(), n)) parada_critica(msg_gravar_arquivo);
    std::memmove(buffer_.get(), buffer_.get() + n, resto);
    usado_ = resto;
}

void SaidaArquivo::bruto(const char* dados, std::size_t n) {
    while (n > 0) {
        if (usado_ == capacidade) descarregar();
        std::size_t parte = capacidade - usado_ < n ? capacidade - usado_ : n;
        std::memcpy(buffer_.get() + usado_, dados, parte);
        usado_ += parte;
        dados += parte;
        n -= parte;
    }
}

void SaidaArquivo::texto(std::string_view pedaco) {
    if (numerar_) {
        texto_numerado(pedaco);
        return;
    }
    std::size_t inicio = 0;
    for (std::size_t i = 0; i < pedaco.size(); ++i) {
        if (pedaco[i] != '\n') continue;
        bruto(pedaco.data() + inicio, i - inicio);
        bruto(fim_de_linha_.data(), fim_de_linha_.size());
        inicio = i + 1;
    }
    bruto(pedaco.data() + inicio, pedaco.size() - inicio);
}

void SaidaArquivo::texto_numerado(std::string_view pedaco) {
    while (!pedaco.empty()) {
        const std::size_t fim = std::min(pedaco.find('\n'), pedaco.size());
        if (fim > 0) {
            if (!linha_aberta_) {
                char numero[24];
                char* p = std::to_chars(numero, numero + sizeof numero - 1, bloco_++).ptr;
                *p++ = ' ';
                bruto(numero, static_cast<std::size_t>(p - numero));
                linha_aberta_ = true;
            }
            bruto(pedaco.data(), fim);
        }
        if (fim == pedaco.size()) break;
        // A line break after nothing would leave a blank line: none.
        if (linha_aberta_) bruto(fim_de_linha_.data(), fim_de_linha_.size());
        linha_aberta_ = false;
        pedaco.remove_prefix(fim + 1);
    }
}

void SaidaArquivo::imprimir(const char* formato, ...) {
    va_list args;
    va_start(args, formato);
    Formatado formatar;
    texto(formatar(formato, args));
    va_end(args);
}

void SaidaArquivo::fechar() {
    descarregar(true);
    auto destino = std::move(destino_);
    if (!destino->fechar()) {
        descartado_ = destino->descartar();
        parada_critica(msg_gravar_arquivo);
    }
}
