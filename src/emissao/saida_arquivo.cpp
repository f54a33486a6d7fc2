#include "emissao/saida_arquivo.hpp"

#include <cstdarg>
#include <cstring>
#include <string>

#include "nucleo/formatar.hpp"
#include "trabalho/parada_critica.hpp"

namespace {

class ArquivoDisco final : public DestinoArquivo {
public:
    explicit ArquivoDisco(std::FILE* f) : f_(f) {}
    ~ArquivoDisco() override {
        if (f_ != nullptr) std::fclose(f_);
    }
    bool gravar(const char* dados, std::size_t n) override {
        return std::fwrite(dados, 1, n, f_) == n;
    }
    bool fechar() override {
        std::FILE* f = f_;
        f_ = nullptr;
        return std::fclose(f) == 0;
    }

private:
    std::FILE* f_;
};

}  // namespace

std::unique_ptr<DestinoArquivo> abrir_arquivo_disco(const char* nome) {
    std::FILE* f = std::fopen(nome, "wb");
    if (f == nullptr) return nullptr;
    // SaidaArquivo already writes in large blocks; a second buffer only copies.
    std::setvbuf(f, nullptr, _IONBF, 0);
    return std::make_unique<ArquivoDisco>(f);
}

std::string em_linhas_do_arquivo(std::string_view texto) {
    std::string r;
    r.reserve(texto.size() + 8);
    for (char c : texto) {
        if (c == '\n')
            r.append(fim_de_linha);
        else
            r.push_back(c);
    }
    return r;
}

SaidaArquivo::SaidaArquivo(std::unique_ptr<DestinoArquivo> destino)
    : destino_(std::move(destino)), buffer_(new char[capacidade]) {}

SaidaArquivo::~SaidaArquivo() {
    if (!destino_) return;
    if (usado_ > 0) destino_->gravar(buffer_.get(), usado_);
    destino_->fechar();
}

void SaidaArquivo::descarregar() {
    if (usado_ == 0) return;
    std::size_t n = usado_;
    usado_ = 0;
    if (!destino_->gravar(buffer_.get(), n)) parada_critica(msg_gravar_arquivo);
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
    std::size_t inicio = 0;
    for (std::size_t i = 0; i < pedaco.size(); ++i) {
        if (pedaco[i] != '\n') continue;
        bruto(pedaco.data() + inicio, i - inicio);
        bruto(fim_de_linha.data(), fim_de_linha.size());
        inicio = i + 1;
    }
    bruto(pedaco.data() + inicio, pedaco.size() - inicio);
}

void SaidaArquivo::imprimir(const char* formato, ...) {
    va_list args;
    va_start(args, formato);
    Formatado formatar;
    texto(formatar(formato, args));
    va_end(args);
}

void SaidaArquivo::fechar() {
    descarregar();
    auto destino = std::move(destino_);
    if (!destino->fechar()) parada_critica(msg_gravar_arquivo);
}
