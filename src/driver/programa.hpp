#pragma once

#include "nucleo/console.hpp"
#include "emissao/emissor.hpp"
#include "emissao/saida_arquivo.hpp"
#include "trabalho/opcoes_geracao.hpp"

// One whole run, from the banner to the final pause. Returns the exit status:
// 0 after a written file, 1 after a critical stop.
// `opcoes`: the command line's choices for the file; `emissao` how its text
// is formed (the bytes are the same).
int executar_programa(Console& console, const AbridorArquivo& abrir = abrir_arquivo_disco,
                      const OpcoesGeracao& opcoes = {}, OpcoesEmissao emissao = {});
