#pragma once

#include <string>

#include "nucleo/console.hpp"
#include "visualizar/analise.hpp"

// The console report: what was read, each check with OK or what differs, the
// lines that do not read. ASCII, lines within 80 columns.
void imprimir_relatorio(Console& console, const Analise& analise, const std::string& arquivo);

// The closing lines: where the picture went (or why it did not) and the verdict.
void imprimir_conclusao(Console& console, const Analise& analise, const std::string& imagem, bool gravada);
