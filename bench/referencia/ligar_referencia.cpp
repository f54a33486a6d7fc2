// Puts the straightforward generator in the program's place, for the
// reference build of the whole program.
#include "output/gerar_passes.hpp"
#include "referencia/gerar_passes_referencia.hpp"

void gerar_passes(DadosRosca& d, SaidaArquivo& arquivo, Console&) { referencia::gerar_passes(d, arquivo); }
