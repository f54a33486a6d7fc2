#pragma once

#include <string>

// Writes `conteudo` to `caminho` whole or not at all: into a temporary file
// beside it, renamed over it once written and closed. False when it could
// not; then nothing is left behind and an older file of that name is intact.
bool gravar_inteiro(const std::string& caminho, const std::string& conteudo);
