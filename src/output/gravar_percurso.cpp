#include "output/gravar_percurso.hpp"

#include "driver/parada_critica.hpp"
#include "output/gerar_passes.hpp"
#include "output/relatorio_diametro_usinado.hpp"
#include "output/resumo.hpp"

void gravar_percurso(DadosRosca& d, const char* nome_arquivo, const AbridorArquivo& abrir,
                     Console& console) {
    auto destino = abrir(nome_arquivo);
    if (!destino) parada_critica(msg_abrir_arquivo);
    SaidaArquivo arquivo(std::move(destino));

    gravar_resumo(d, arquivo);

    arquivo.imprimir("\n\ng00 z%.0f", static_cast<double>(d.altura_aproximacao));
    arquivo.texto("\ng00 x0 y0");
    arquivo.texto("\n\nM3");
    arquivo.imprimir("\nS%.0f", static_cast<double>(d.rotacao_spindle));
    arquivo.texto("\nG04 P3");
    arquivo.imprimir("\nf%.0f", static_cast<double>(d.feed_rate));
    arquivo.texto("\n\ng51 x1.00 y1.00");
    arquivo.texto("\n");

    gerar_passes(d, arquivo, console);
    relatorio_diametro_usinado(d, arquivo, console);

    arquivo.texto("\n\ng50");
    arquivo.texto("\n\nM5");
    arquivo.texto("\n\nM30\n");
    // Only a file that reached the disk whole is reported as saved.
    arquivo.fechar();

    console.escrever("\n\n-------------------------------------------------------------");
    console.imprimir(
        "\nO PERCURSO da ferramenta foi salvo no diretorio atual, no arquivo: %s - com sucesso!\n\n\n",
        nome_arquivo);
}
