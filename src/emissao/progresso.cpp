#include "emissao/progresso.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "nucleo/console.hpp"

Progresso::Progresso(double linhas_previstas, Console* console)
    : console_(console), previstas_(linhas_previstas), intervalo_(intervalo_padrao) {
    // NaN or infinite estimates (impossible plans) count as long.
    if (!(linhas_previstas <= linhas_minimas)) {
        const TerminalErros onde = preparar_terminal_erros();
        if (onde != TerminalErros::nenhum) {
            terminal_erros_ = true;
            iniciar(stderr, onde);
        }
    }
}

Progresso::Progresso(double linhas_previstas, std::FILE* saida, std::chrono::milliseconds intervalo,
                     TerminalErros onde)
    : previstas_(linhas_previstas), intervalo_(intervalo) {
    if (onde != TerminalErros::nenhum) iniciar(saida, onde);
}

Progresso::~Progresso() { apagar(); }

void Progresso::iniciar(std::FILE* saida, TerminalErros onde) {
    saida_ = saida;
    abaixo_da_console_ = onde == TerminalErros::mesmo_da_saida;
    if (abaixo_da_console_) {
        // Console text still buffered would otherwise land after the progress line.
        if (console_ != nullptr) console_->descarregar();
        desenhar("\n");
    } else {
        desenhar("\r");
    }
    proximo_desenho_ = std::chrono::steady_clock::now() + intervalo_;
}

void Progresso::talvez_redesenhar() {
    const auto agora = std::chrono::steady_clock::now();
    if (agora < proximo_desenho_) return;
    proximo_desenho_ = agora + intervalo_;
    desenhar("\r");
}

void Progresso::desenhar(const char* inicio) {
    // The estimate may fall a turn short; the line never claims more than 99%.
    const double total = std::max(previstas_, static_cast<double>(feitas_));
    double por_cento = total > 0 ? std::floor(static_cast<double>(feitas_) * 100 / total) : 0;
    if (!(por_cento <= 99)) por_cento = 99;
    char texto[128];
    int n;
    if (std::isfinite(total) && total < 1e19)
        n = std::snprintf(texto, sizeof texto, "Gravando o percurso: %3.0f%% (%llu de %.0f linhas)",
                          por_cento, static_cast<unsigned long long>(feitas_), total);
    else
        n = std::snprintf(texto, sizeof texto, "Gravando o percurso: %llu linhas",
                          static_cast<unsigned long long>(feitas_));
    if (n < 0) return;
    const std::size_t tamanho = std::min(static_cast<std::size_t>(n), sizeof texto - 1);
    // Blanks over what a longer earlier text left.
    std::string linha = inicio;
    linha.append(texto, tamanho);
    if (largura_ > tamanho) linha.append(largura_ - tamanho, ' ');
    largura_ = std::max(largura_, tamanho);
    std::fwrite(linha.data(), 1, linha.size(), saida_);
    std::fflush(saida_);
}

void Progresso::apagar() {
    if (saida_ == nullptr) return;
    std::string linha = "\r";
    linha.append(largura_, ' ');
    linha += abaixo_da_console_ ? "\r\033[A" : "\r";
    std::fwrite(linha.data(), 1, linha.size(), saida_);
    std::fflush(saida_);
    saida_ = nullptr;
    if (terminal_erros_) {
        devolver_terminal_erros();
        terminal_erros_ = false;
    }
}
