#include "output/resumo.hpp"

void imprimir_resumo(const DadosRosca&, Console&) {}

void gravar_resumo(const DadosRosca&, SaidaArquivo&) {}
