#include <cstdio>
#include <string>

#include "nucleo/arquivo.hpp"
#include "nucleo/console.hpp"
#include "driver/opcoes.hpp"
#include "driver/programa.hpp"
#include "nucleo/terminal.hpp"

int main(int argc, char** argv) {
    const Pedido pedido = ler_opcoes(argc, argv);
    std::string saida, erros;
    int status = 0;
    if (pedido.tipo == Pedido::Tipo::dialogo) {
        // A file that cannot be written is said before the first question,
        // not after the last. Without options the run stays as it always was.
        const std::string nome = nome_do_arquivo(pedido.geracao);
        const std::string motivo = pedido.geracao.alguma ? motivo_sem_gravacao(nome.c_str()) : std::string();
        OpcoesGeracao geracao = pedido.geracao;
        std::string erro_furos;
        if (!motivo.empty()) {
            erros = "rosca-helicoidal: nao e possivel gravar '" + nome + "': " + motivo + "\n";
            status = 2;
        } else if (!geracao.arquivo_furos.empty() && !ler_furos(geracao.arquivo_furos, geracao.furos, erro_furos)) {
            // A list of holes that does not read is said before the first question.
            erros = "rosca-helicoidal: " + erro_furos + "\n";
            status = 2;
        } else {
            auto console = Console::padrao();
            return executar_programa(*console, abrir_arquivo_disco, geracao);
        }
    } else {
        status = responder_opcao(pedido, saida, erros);
    }
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
