// The whole program with the plain writer in place of the fast one: one
// formatted write per line and a sine and a cosine per point. The bytes are
// the same; bench/executar.sh times both.
#include "driver/programa.hpp"
#include "nucleo/console.hpp"

int main() {
    auto console = Console::padrao();
    return executar_programa(*console, abrir_arquivo_disco, {}, OpcoesEmissao{.escrita_simples = true});
}
