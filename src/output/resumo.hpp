#pragma once

#include "nucleo/console.hpp"
#include "trabalho/dados_rosca.hpp"
#include "emissao/escrita.hpp"

// The job summary on the console, with its checks and stops.
void imprimir_resumo(const DadosRosca& d, Console& console);

// The same summary as the G-code file's comment header; no checks.
void gravar_resumo(const DadosRosca& d, Escrita& arquivo);
