#pragma once

// The only place that knows about terminal modes. Everything else asks the
// console layer, which asks this.

// True when the descriptor is an interactive terminal.
bool eh_terminal(int descritor);

// True when standard output is a terminal whose locale encodes text in UTF-8, so
// that the console's two Latin-1 letters must be sent as UTF-8 to display.
bool saida_terminal_utf8();

// Drops keys typed ahead on the terminal, so leftover input is not taken as an answer.
void descartar_digitado(int descritor);

// Puts the terminal into single-key mode (no Enter needed; echo as asked) for
// its lifetime. The original settings come back on destruction and also when
// SIGINT, SIGTERM or SIGHUP ends the process meanwhile.
class ModoTecla {
public:
    ModoTecla(int descritor, bool eco);
    ~ModoTecla();
    ModoTecla(const ModoTecla&) = delete;
    ModoTecla& operator=(const ModoTecla&) = delete;

private:
    bool ativo_ = false;
};

// Reads one byte straight from the descriptor; -1 at end of input or on error.
int ler_byte_cru(int descritor);
