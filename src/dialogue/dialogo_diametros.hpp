#pragma once

#include "nucleo/console.hpp"
#include "trabalho/dados_rosca.hpp"

// Thread kind, final and initial diameters, radial steps and cutter.
void dialogo_diametros(DadosRosca& d, Console& console);
