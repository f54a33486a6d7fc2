#pragma once

#include "trabalho/dados_rosca.hpp"
#include "emissao/emissor.hpp"
#include "emissao/saida_arquivo.hpp"
#include "nucleo/console.hpp"
#include "vocabulario/dialeto.hpp"

// Writes the G-code file: comment header, preamble, pass blocks, extents
// comments, trailer; then the success lines on the console.
void gravar_percurso(DadosRosca& d, const char* nome_arquivo, const AbridorArquivo& abrir, Console& console,
                     const vocabulario::Dialeto& dialeto = vocabulario::padrao, OpcoesEmissao opcoes = {});
