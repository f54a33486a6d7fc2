#include "nucleo/console.hpp"

#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <vector>

#include "nucleo/formatar.hpp"
#include "nucleo/parada.hpp"
#include "nucleo/terminal.hpp"

int EntradaBytes::ler() {
    int c = espiar(0);
    if (c >= 0) consumir();
    return c;
}

namespace {

// Standard input, read in blocks; a terminal's pending line can be dropped.
class EntradaPadrao final : public EntradaBytes {
public:
    EntradaPadrao() : terminal_(entrada_terminal()) {}

    int espiar(std::size_t adiante) override {
        while (pendentes() <= adiante) {
            if (!encher()) return -1;
        }
        return static_cast<unsigned char>(buffer_[inicio_ + adiante]);
    }
    void descartar_pendente() override {
        buffer_.clear();
        inicio_ = 0;
        if (terminal_) descartar_digitado();
    }
    bool terminal() const override { return terminal_; }

protected:
    void consumir() override { ++inicio_; }

private:
    std::size_t pendentes() const { return buffer_.size() - inicio_; }
    bool encher() {
        if (fim_) return false;
        if (inicio_ > 0) {
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(inicio_));
            inicio_ = 0;
        }
        // Our buffer is the only read-ahead, so a terminal's line can be dropped whole.
        char bloco[4096];
        std::size_t lidos = ler_entrada(bloco, sizeof bloco);
        if (lidos == 0) {
            // A terminal's end-of-file (Ctrl-D, Ctrl-Z) is not sticky; a pipe's is.
            if (!terminal_) fim_ = true;
            return false;
        }
        buffer_.insert(buffer_.end(), bloco, bloco + lidos);
        return true;
    }

    bool terminal_;
    bool fim_ = false;
    std::vector<char> buffer_;
    std::size_t inicio_ = 0;
};

class EntradaTexto final : public EntradaBytes {
public:
    explicit EntradaTexto(std::string texto) : texto_(std::move(texto)) {}
    int espiar(std::size_t adiante) override {
        std::size_t i = posicao_ + adiante;
        return i < texto_.size() ? static_cast<unsigned char>(texto_[i]) : -1;
    }

protected:
    void consumir() override { ++posicao_; }

private:
    std::string texto_;
    std::size_t posicao_ = 0;
};

bool eh_branco(int c) { return c == ' ' || c == '\t'; }
bool eh_espaco(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool eh_digito(char c) { return c >= '0' && c <= '9'; }

// sign, digits, optional point and digits (at least one digit in all), optional exponent
bool forma_decimal(const std::string& t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digitos = 0;
    while (i < t.size() && eh_digito(t[i])) ++i, ++digitos;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && eh_digito(t[i])) ++i, ++digitos;
    }
    if (digitos == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expoente = 0;
        while (i < t.size() && eh_digito(t[i])) ++i, ++expoente;
        if (expoente == 0) return false;
    }
    return i == t.size();
}

}  // namespace

bool interpretar_numero(std::string token, float& valor) {
    // Machinists here write decimals with a comma: "2,5" means 2.5.
    if (token.find('.') == std::string::npos) {
        auto virgula = token.find(',');
        if (virgula != std::string::npos && token.find(',', virgula + 1) == std::string::npos)
            token[virgula] = '.';
    }
    if (!forma_decimal(token)) return false;
    // Straight to single precision: going through double could round twice.
    float lido = std::strtof(token.c_str(), nullptr);
    if (!std::isfinite(lido)) return false;
    valor = lido;
    return true;
}

std::unique_ptr<Console> Console::padrao() {
    preparar_console();
    return std::make_unique<Console>(std::make_unique<EntradaPadrao>(), stdout, saida_terminal_utf8());
}

std::unique_ptr<Console> Console::em_memoria(std::string respostas, std::size_t capacidade) {
    auto console = std::make_unique<Console>(std::make_unique<EntradaTexto>(std::move(respostas)), nullptr, false);
    console->capacidade_ = capacidade;
    return console;
}

Console::Console(std::unique_ptr<EntradaBytes> entrada, std::FILE* saida, bool utf8)
    : entrada_(std::move(entrada)), saida_(saida), utf8_(utf8) {}

Console::~Console() { descarregar(); }

void Console::escrever(std::string_view texto) {
    if (saida_ == nullptr) {
        if (texto.size() > capacidade_ - capturado_.size()) throw ConsoleCheia{};
        capturado_.append(texto);
        return;
    }
    if (!utf8_) {
        std::fwrite(texto.data(), 1, texto.size(), saida_);
        return;
    }
    for (char c : texto) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            std::fputc(b, saida_);
        } else {  // Latin-1 to UTF-8
            std::fputc(0xC0 | (b >> 6), saida_);
            std::fputc(0x80 | (b & 0x3F), saida_);
        }
    }
}

void Console::imprimir(const char* formato, ...) {
    va_list args;
    va_start(args, formato);
    Formatado formatar;
    escrever(formatar(formato, args));
    va_end(args);
}

void Console::descarregar() {
    if (saida_ != nullptr) std::fflush(saida_);
}

void Console::pular_fim_da_resposta() {
    while (eh_branco(entrada_->espiar())) entrada_->ler();
    if (entrada_->espiar() == '\n') {
        entrada_->ler();
    } else if (entrada_->espiar() == '\r' && entrada_->espiar(1) == '\n') {
        entrada_->ler();
        entrada_->ler();
    }
}

char Console::ler_tecla() {
    descarregar();
    int c;
    if (entrada_->terminal()) {
        // Whatever is left of the previous line is not a key press.
        entrada_->descartar_pendente();
        c = ler_tecla_terminal(true);
        if (c == '\n') c = '\r';
    } else {
        if (apos_resposta_) pular_fim_da_resposta();
        c = entrada_->ler();
        if (c == '\r' && entrada_->espiar() == '\n') entrada_->ler();
        if (c == '\n') c = '\r';
    }
    if (c < 0) parada_critica(msg_entrada_encerrada);
    apos_resposta_ = c != '\r';
    return static_cast<char>(c);
}

bool Console::ler_numero(float& campo) {
    descarregar();
    while (eh_espaco(entrada_->espiar())) entrada_->ler();
    if (entrada_->espiar() < 0) parada_critica(msg_entrada_encerrada);
    std::string token;
    while (token.size() <= maior_token_numerico && entrada_->espiar() >= 0 && !eh_espaco(entrada_->espiar()))
        token.push_back(static_cast<char>(entrada_->ler()));
    apos_resposta_ = true;
    // A longer token is no number; it is dropped with its line, not held.
    if (token.size() <= maior_token_numerico && interpretar_numero(token, campo)) return true;
    for (int c = entrada_->ler(); c >= 0 && c != '\n'; c = entrada_->ler()) {
    }
    escrever(msg_valor_invalido);
    return false;
}

void Console::pausa() {
    // The host's own pause command prints the prompt and the line end itself.
    const bool aviso_do_host = entrada_->terminal() && pausa_terminal_com_aviso;
    if (!aviso_do_host) escrever(texto_pausa);
    descarregar();
    if (entrada_->terminal()) {
        entrada_->descartar_pendente();
        pausa_terminal();
    }
    if (!aviso_do_host) escrever("\n");
    descarregar();
}
