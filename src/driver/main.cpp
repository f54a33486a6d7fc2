#include <cstdio>
#include <string>

#include "nucleo/console.hpp"
#include "driver/opcoes.hpp"
#include "driver/programa.hpp"
#include "nucleo/terminal.hpp"

int main(int argc, char** argv) {
    const Pedido pedido = ler_opcoes(argc, argv);
    if (pedido.tipo == Pedido::Tipo::dialogo) {
        auto console = Console::padrao();
        return executar_programa(*console, abrir_arquivo_disco, pedido.geracao);
    }

    std::string saida, erros;
    int status = responder_opcao(pedido, saida, erros);
    std::fwrite(saida.data(), 1, saida.size(), stdout);
    // A text that did not reach its reader (a full disk, a closed pipe) is no success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        erros += "rosca-helicoidal: falha ao escrever na saida padrao\n";
        status = 1;
    }
    std::fwrite(erros.data(), 1, erros.size(), stderr);
    // Started by a double click or a file dropped on it, the window would
    // close before the text could be read.
    if (janela_console_propria()) Console::padrao()->pausa();
    return status;
}
