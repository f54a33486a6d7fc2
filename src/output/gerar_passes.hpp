#pragma once

#include "driver/dados_rosca.hpp"
#include "output/saida_arquivo.hpp"

// The pass blocks of the tool path; widens the extents in the record.
void gerar_passes(DadosRosca& d, SaidaArquivo& arquivo);
