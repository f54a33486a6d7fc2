#include "output/gravar_percurso.hpp"

#include "trabalho/parada_critica.hpp"
#include "emissao/emissor.hpp"
#include "emissao/nome_programa.hpp"
#include "output/opcoes_percurso.hpp"
#include "output/relatorio_diametro_usinado.hpp"
#include "output/resumo.hpp"
#include "percurso/construir.hpp"

void gravar_percurso(DadosRosca& d, const OpcoesGeracao& opcoes, const AbridorArquivo& abrir, Console& console,
                     OpcoesEmissao emissao, const ExtrasResumo& extras) {
    const std::string nome_arquivo = nome_do_arquivo(opcoes);
    auto destino = abrir(nome_arquivo.c_str());
    if (!destino) parada_critica(msg_abrir_arquivo);
    SaidaArquivo arquivo(std::move(destino));
    Percurso percurso;
    emissao.arquivo = nome_arquivo;
    try {
        Emissor emissor(*opcoes.dialeto, arquivo, emissao);
        percurso = construir_percurso(d, opcoes);

        emissor.inicio(percurso);
        gravar_resumo(d, emissor.escrita(), extras);
        gravar_opcoes_percurso(percurso, opcoes.alguma, emissor.escrita());
        emissor.preambulo(percurso);
        emissor.passes(percurso, &console);
        const gerador::Extremos& e = emissor.extremos();
        d.x_max = e.x_max;
        d.x_min = e.x_min;
        d.y_max = e.y_max;
        d.y_min = e.y_min;
        relatorio_diametro_usinado(d, emissor.escrita(), console);
        emissor.final(percurso);
        // Only a file that reached the disk whole is reported as saved.
        arquivo.fechar();
    } catch (ParadaCritica& parada) {
        // A program cut short looks runnable to a control: none is left.
        if (arquivo.descartar()) parada.mensagem += msg_nenhum_arquivo;
        throw;
    }

    imprimir_opcoes_percurso(percurso, opcoes.alguma, console);
    // A name the control would not take, and the one it would.
    if (const std::string aviso = aviso_nome_programa(*opcoes.dialeto, nome_arquivo); !aviso.empty())
        console.escrever("\n" + aviso);
    console.escrever("\n\n-------------------------------------------------------------");
    // The file may be elsewhere than the current directory once it is named.
    if (opcoes.alguma)
        console.imprimir("\nO PERCURSO da ferramenta foi salvo no arquivo: %s - com sucesso!\n\n\n",
                         nome_arquivo.c_str());
    else
        console.imprimir(
            "\nO PERCURSO da ferramenta foi salvo no diretorio atual, no arquivo: %s - com sucesso!\n\n\n",
            nome_arquivo.c_str());
}
