#pragma once

#include <cstdio>
#include <string>

// The G-code file the viewer reads: a regular file or a pipe, opened for
// reading in binary mode; anything else (a directory, a device that never
// ends, like /dev/zero) is refused with the reason, one line.
struct Entrada {
    std::FILE* arquivo = nullptr;  // null when refused; the caller closes it
    std::string erro;
};
Entrada abrir_entrada(const std::string& caminho);

// True when `imagem` exists and is the file `arquivo` itself, whatever the
// spelling of the two names (a link, an absolute path, "./").
bool mesmo_arquivo(const std::string& arquivo, const std::string& imagem);
