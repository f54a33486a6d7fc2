#include "output/progresso.hpp"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

bool preparar_terminal_erros() {
    if (isatty(STDERR_FILENO) != 1) return false;
    // A dumb terminal would print the cursor movement as text.
    const char* tipo = std::getenv("TERM");
    return tipo == nullptr || std::strcmp(tipo, "dumb") != 0;
}

void devolver_terminal_erros() {}
