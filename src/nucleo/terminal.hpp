#pragma once

#include <cstddef>

// The only place that knows about terminal modes and the host's console.
// Everything else asks the console layer, which asks this. One side per
// platform, chosen when building: terminal_posix.cpp, terminal_windows.cpp.

// Readies standard input and output once, before the first byte goes either
// way. On Windows: standard input in binary mode, so that an answer file reads
// as it does on Linux ("\r\n" and a Ctrl-Z byte are bytes like any other), and
// the console's output code page set to Windows-1252 for the run, so that the
// two accented letters display; the old page comes back at exit. On 32-bit
// Windows also the x87 precision that long double arithmetic needs.
void preparar_console();

// True when standard input is an interactive terminal (a console on Windows;
// the null device is not one).
bool entrada_terminal();

// True when standard output is a terminal whose locale encodes text in UTF-8, so
// that the console's two Latin-1 letters must be sent as UTF-8 to display.
bool saida_terminal_utf8();

// Reads what standard input has at hand, at most `n` bytes, without waiting
// for more: from a terminal, the line typed so far. 0 at the end of input.
std::size_t ler_entrada(char* destino, std::size_t n);

// Drops keys typed ahead on the terminal, so leftover input is not taken as an answer.
void descartar_digitado();

// One key press from the terminal, no Enter needed, echoed when `eco`; -1 at
// the end of input. Terminal settings are as before when it returns, also when
// a signal ends the process meanwhile and while Ctrl-Z has it stopped; after
// `fg` the key is still awaited as before.
int ler_tecla_terminal(bool eco);

// True when the console window is the program's own: started from the file
// manager (a double click, a file dropped on it) rather than from a command
// window, so the window closes as soon as the program ends. Never on POSIX.
bool janela_console_propria();

// Waits at the terminal for one key press, for the pause.
void pausa_terminal();

// True where `pausa_terminal` is the host's own "pause" command, which prints
// its prompt and its line end itself.
extern const bool pausa_terminal_com_aviso;

// Where standard error can show the progress line of long jobs.
enum class TerminalErros {
    // A file, a pipe, the null device, or a terminal not known to take "\r"
    // and "\033[A" (POSIX: TERM unset or "dumb"; Windows: a console that
    // cannot be switched to virtual-terminal processing).
    nenhum,
    // A terminal standard output does not write to (redirected, or another
    // terminal): the line has the cursor's line to itself and is erased
    // without moving up.
    proprio,
    // The terminal standard output writes to. POSIX: both descriptors are
    // terminals of the same device. Windows: both are console handles of the
    // same screen buffer (same size, cursor and window).
    mesmo_da_saida,
};

// Readies standard error for the progress line. On Windows it switches the
// console to take the sequences; `devolver_terminal_erros` switches it back.
TerminalErros preparar_terminal_erros();
void devolver_terminal_erros();
