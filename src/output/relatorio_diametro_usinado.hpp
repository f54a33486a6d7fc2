#pragma once

#include "nucleo/console.hpp"
#include "trabalho/dados_rosca.hpp"
#include "emissao/escrita.hpp"

// Extents comments, machined-diameter line and bore check (internal threads only).
void relatorio_diametro_usinado(const DadosRosca& d, Escrita& arquivo, Console& console);
