#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// Where the answers come from: standard input or, in tests, a string.
class EntradaBytes {
public:
    virtual ~EntradaBytes() = default;
    // The byte `adiante` places ahead of the next one, without taking it; -1 past the end.
    virtual int espiar(std::size_t adiante = 0) = 0;
    // Takes the next byte; -1 at the end of input.
    int ler();
    // Drops whatever has been read ahead, for a terminal key read.
    virtual void descartar_pendente() {}
    virtual bool terminal() const { return false; }

protected:
    virtual void consumir() = 0;
};

// The console layer: every phase prints and asks through it, so a test can
// drive the whole dialogue with a string of answers and read the bytes back.
//
// Rules for answers that do not come from a terminal (piped or redirected):
// a key is the next byte, after skipping the blanks and the one line end that
// follow the previous answer; a line end read as a key is one Enter. A number
// is the next whitespace-delimited token, which must be wholly a finite
// decimal number (a lone decimal comma counts as a point) of at most
// `maior_token_numerico` bytes.
class Console {
public:
    // Standard input and output of the process.
    static std::unique_ptr<Console> padrao();
    // Answers from a string; what is printed is kept in `capturado()`. Past
    // `capacidade` bytes of it, printing throws `ConsoleCheia`.
    static std::unique_ptr<Console> em_memoria(std::string respostas,
                                               std::size_t capacidade = static_cast<std::size_t>(-1));

    Console(std::unique_ptr<EntradaBytes> entrada, std::FILE* saida, bool utf8);
    ~Console();

    // Console text is Latin-1; it is re-encoded when the terminal wants UTF-8.
    void escrever(std::string_view texto);
    void imprimir(const char* formato, ...) __attribute__((format(printf, 2, 3)));
    void descarregar();

    // One key, echoed on a terminal, no Enter needed. Enter reads as '\r'.
    // The end of input takes the end-of-input critical stop.
    char ler_tecla();

    // Reads one number into `campo`. False when the answer was not a number:
    // its line is dropped, the message is printed, and `campo` keeps its value.
    // The end of input takes the end-of-input critical stop.
    bool ler_numero(float& campo);

    // "Press any key"; waits only when the answers come from a terminal.
    void pausa();

    const std::string& capturado() const { return capturado_; }

private:
    void pular_fim_da_resposta();

    std::unique_ptr<EntradaBytes> entrada_;
    std::FILE* saida_;  // null: capture into `capturado_`
    bool utf8_;
    bool apos_resposta_ = false;
    std::string capturado_;
    std::size_t capacidade_ = static_cast<std::size_t>(-1);
};

// Thrown by an in-memory console whose capacity is used up. The program never
// catches it: a harness that bounds its runs ends the run there.
struct ConsoleCheia {};

// Longest answer token read as a number. Far beyond any number worth typing,
// and it bounds what an answer of any length costs in memory.
inline constexpr std::size_t maior_token_numerico = 4096;

// Parses one answer token as the dialogue accepts it; false when it is not a
// finite decimal number. Exposed for the tests of the token rules.
bool interpretar_numero(std::string token, float& valor);

inline constexpr const char* msg_valor_invalido =
    "\aERRO! Valor invalido (digite apenas numeros)... --- tente novamente!\n";
inline constexpr const char* texto_pausa = "Pressione qualquer tecla para continuar. . . ";
