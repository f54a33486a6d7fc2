#include "output/progresso.hpp"

#include <windows.h>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

// The console window outlives the run: a mode switched on for the progress
// line is switched off again afterwards.
DWORD modo_original = 0;
bool modo_mudado = false;

}  // namespace

bool preparar_terminal_erros() {
    HANDLE erros = GetStdHandle(STD_ERROR_HANDLE);
    DWORD modo;
    // Only a real console answers; a file, a pipe or the NUL device does not.
    if (erros == INVALID_HANDLE_VALUE || GetConsoleMode(erros, &modo) == 0) return false;
    if ((modo & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
    // Consoles too old for the cursor sequence get no progress line.
    if (SetConsoleMode(erros, modo | ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0) return false;
    modo_original = modo;
    modo_mudado = true;
    return true;
}

void devolver_terminal_erros() {
    if (!modo_mudado) return;
    SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), modo_original);
    modo_mudado = false;
}
