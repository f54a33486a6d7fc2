#pragma once

#include "nucleo/console.hpp"
#include "trabalho/dados_rosca.hpp"
#include "emissao/escrita.hpp"

// What the file's options add to the summary: the time the path takes at
// its feeds, after the estimate, and the passes of equal area in the list.
// Without options, nothing.
struct ExtrasResumo {
    bool tempo = false;
    double minutos_percurso = 0;
    bool area_igual = false;
    // Several holes: how many, the time above being all of them.
    long long furos = 0;
    double minutos_por_furo = 0;
};

// The job summary on the console, with its checks and stops.
void imprimir_resumo(const DadosRosca& d, Console& console, const ExtrasResumo& extras = {});

// The same summary as the G-code file's comment header; no checks.
void gravar_resumo(const DadosRosca& d, Escrita& arquivo, const ExtrasResumo& extras = {});
