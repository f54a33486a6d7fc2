#pragma once

#include "driver/dados_rosca.hpp"
#include "output/saida_arquivo.hpp"

namespace referencia {

// The pass blocks written the straightforward way (same bytes, same record).
void gerar_passes(DadosRosca& d, SaidaArquivo& arquivo);

}  // namespace referencia
