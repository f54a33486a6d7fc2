#include "planning/planejar_passes.hpp"

void planejar_passes(DadosRosca&, Console&) {}
