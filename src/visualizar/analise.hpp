#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

#include "visualizar/fonte.hpp"
#include "visualizar/furos.hpp"
#include "visualizar/leitor_linhas.hpp"
#include "visualizar/modelo.hpp"
#include "visualizar/verificacoes.hpp"

// What the viewer makes of a file: the model and the checks' results.
struct Analise {
    Modelo modelo;
    Verificacoes verificacoes;
    // The header's holes, where it lists several, and what the path made of each.
    std::vector<FuroVisto> furos;
};

// Reads the whole file into the model with every check observing it; a
// file with subprograms, variables or shifts is run (execucao.hpp), a file
// of several holes seen hole by hole (furos.hpp). `tamanho_bloco` only
// changes how the bytes are fetched, never the result.
void analisar(Fonte& fonte, Analise& analise, std::size_t tamanho_bloco = LeitorLinhas::bloco_padrao);
