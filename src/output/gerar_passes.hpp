#pragma once

#include "driver/dados_rosca.hpp"
#include "output/saida_arquivo.hpp"

// The pass blocks of the tool path; widens the extents in the record.
void gerar_passes(DadosRosca& d, SaidaArquivo& arquivo);

// One pass at `diametro_passe`: start move, turns down to the thread length, retract.
void gerar_passe(DadosRosca& d, SaidaArquivo& arquivo);

// One turn of up to 360 one-degree moves; ends early once the depth reaches the length.
void gerar_fio(DadosRosca& d, SaidaArquivo& arquivo, double raio);

// The diagonal move off an external thread, to the corner of the square of
// half-side `raio` + clearance in the quadrant of the last point; code #011
// when that point has no quadrant.
void retracao_externa(const DadosRosca& d, SaidaArquivo& arquivo, double raio);
