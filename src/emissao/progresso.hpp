#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "nucleo/terminal.hpp"

class Console;

// One line on standard error while a long tool path is written: how far the
// file has got, in percent and lines. Only on a terminal, so a redirected
// standard error gets nothing, and standard output is never touched.
//
// When standard output writes to the same terminal, the console's last line
// is still open (the next console piece starts by ending it), so the progress
// line goes on the line below it; erasing it blanks that line and moves the
// cursor back up, and the console text that follows lands where it would have
// without it. On a terminal of its own the line is drawn where the cursor is
// and blanked, never moving off that line: the lines above are someone
// else's (the command that started the run).
class Progresso {
public:
    // Shorter jobs are written before a progress line could be read.
    static constexpr double linhas_minimas = 1e6;
    // Redrawn at most this often; the clock is read once per `avancar`.
    static constexpr std::chrono::milliseconds intervalo_padrao{250};

    // Standard error, when it is a terminal that can show it and more than
    // `linhas_minimas` lines are expected; otherwise it shows nothing.
    // `console`, when given, has its pending text sent out before a line is
    // drawn below it.
    explicit Progresso(double linhas_previstas, Console* console = nullptr);
    // Shows on `saida` as it would on a standard error `onde` (nothing for
    // `nenhum`), redrawn at most every `intervalo`.
    Progresso(double linhas_previstas, std::FILE* saida, std::chrono::milliseconds intervalo,
              TerminalErros onde = TerminalErros::mesmo_da_saida);
    // Erases the line, also when a critical stop unwinds past it.
    ~Progresso();
    Progresso(const Progresso&) = delete;
    Progresso& operator=(const Progresso&) = delete;

    // `n` more lines are in the file. Meant to be called once per turn, so
    // the clock is read once per few hundred lines.
    void avancar(std::uint64_t n) {
        feitas_ += n;
        if (saida_ != nullptr) talvez_redesenhar();
    }

    // Takes the line off the terminal; nothing is shown afterwards.
    void apagar();

private:
    void iniciar(std::FILE* saida, TerminalErros onde);
    void talvez_redesenhar();
    void desenhar(const char* inicio);

    Console* console_ = nullptr;
    std::FILE* saida_ = nullptr;
    bool terminal_erros_ = false;  // standard error was readied and must be given back
    bool abaixo_da_console_ = false;  // erasing moves back up to the console's line
    double previstas_;
    std::uint64_t feitas_ = 0;
    std::chrono::steady_clock::duration intervalo_;
    std::chrono::steady_clock::time_point proximo_desenho_;
    std::size_t largura_ = 0;  // the longest text shown, blanked when erasing
};
