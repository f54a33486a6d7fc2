#pragma once

#include "nucleo/console.hpp"
#include "trabalho/dados_rosca.hpp"

// Length, pitch, hand, start angle, spindle speed and feed.
void dialogo_helice_corte(DadosRosca& d, Console& console);
