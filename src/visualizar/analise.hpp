#pragma once

#include <cstddef>
#include <cstdio>

#include "visualizar/fonte.hpp"
#include "visualizar/leitor_linhas.hpp"
#include "visualizar/modelo.hpp"
#include "visualizar/verificacoes.hpp"

// What the viewer makes of a file: the model and the checks' results.
struct Analise {
    Modelo modelo;
    Verificacoes verificacoes;
};

// Reads the whole file into the model with every check observing it.
// `tamanho_bloco` only changes how the bytes are fetched, never the result.
void analisar(Fonte& fonte, Analise& analise, std::size_t tamanho_bloco = LeitorLinhas::bloco_padrao);
