#pragma once

#include "trabalho/dados_rosca.hpp"
#include "emissao/emissor.hpp"
#include "emissao/saida_arquivo.hpp"
#include "nucleo/console.hpp"
#include "output/resumo.hpp"
#include "trabalho/opcoes_geracao.hpp"

// Writes the G-code file: framing, comment header, preamble, pass blocks,
// extents comments, trailer; then the success lines on the console.
void gravar_percurso(DadosRosca& d, const OpcoesGeracao& opcoes, const AbridorArquivo& abrir, Console& console,
                     OpcoesEmissao emissao = {}, const ExtrasResumo& extras = {});

// An upper bound of the bytes of the file written with options, known
// without writing it (each pass's moves counted, none formed); past
// `limite` it is only known to be past it.
double cota_do_arquivo(const DadosRosca& d, const OpcoesGeracao& opcoes, double limite);
