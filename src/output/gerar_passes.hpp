#pragma once

#include "nucleo/console.hpp"
#include "driver/dados_rosca.hpp"
#include "output/saida_arquivo.hpp"

// The pass blocks of the tool path; widens the extents in the record. Each
// pass is a start move, turns of up to 360 one-degree moves down to the
// thread length, and a retract. On a terminal, a long job shows its progress
// on standard error meanwhile, after what `console` holds has gone out.
void gerar_passes(DadosRosca& d, SaidaArquivo& arquivo, Console& console);
// The same with no console text pending.
void gerar_passes(DadosRosca& d, SaidaArquivo& arquivo);

// About how many lines `gerar_passes` will write for the planned job.
double linhas_previstas(const DadosRosca& d);

// The diagonal move off an external thread, to the corner of the square of
// half-side `raio` + clearance in the quadrant of the last point; code #011
// when that point has no quadrant.
void retracao_externa(const DadosRosca& d, SaidaArquivo& arquivo, double raio);
