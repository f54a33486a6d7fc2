#pragma once

#include "trabalho/dados_rosca.hpp"

// Machining time, number of turns, end angle and step precision.
void calcular_estimativas(DadosRosca& d);
