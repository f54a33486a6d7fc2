#pragma once

#include "nucleo/console.hpp"
#include "trabalho/dados_rosca.hpp"

// The finishing shift, the pass count and the even radial step, with the
// diagnostic blocks "DEBUG #0" to "DEBUG #3".
void planejar_passes(DadosRosca& d, Console& console);
