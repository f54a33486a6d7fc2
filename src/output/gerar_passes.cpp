#include "output/gerar_passes.hpp"

void gerar_passes(DadosRosca&, SaidaArquivo&) {}
