#pragma once

#include "nucleo/console.hpp"
#include "emissao/emissor.hpp"
#include "emissao/saida_arquivo.hpp"

// One whole run, from the banner to the final pause. Returns the exit status:
// 0 after a written file, 1 after a critical stop.
// `emissao` chooses how the file's text is formed (the bytes are the same).
int executar_programa(Console& console, const AbridorArquivo& abrir = abrir_arquivo_disco,
                      OpcoesEmissao emissao = {});
