#pragma once

#include "nucleo/console.hpp"
#include "driver/dados_rosca.hpp"
#include "output/saida_arquivo.hpp"

// Writes the G-code file: comment header, preamble, pass blocks, extents
// comments, trailer; then the success lines on the console.
void gravar_percurso(DadosRosca& d, const char* nome_arquivo, const AbridorArquivo& abrir,
                     Console& console);
