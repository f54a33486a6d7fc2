#include "output/relatorio_diametro_usinado.hpp"

void relatorio_diametro_usinado(const DadosRosca&, SaidaArquivo&, Console&) {}
