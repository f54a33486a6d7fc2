#include "planning/calcular_estimativas.hpp"

void calcular_estimativas(DadosRosca&) {}
