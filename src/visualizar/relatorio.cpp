#include "visualizar/relatorio.hpp"

#include <algorithm>

#include "nucleo/texto.hpp"
#include "nucleo/versao.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/quadro.hpp"
#include "vocabulario/modos_corte.hpp"

namespace {

std::string preencher(std::string texto, std::size_t largura, bool direita) {
    if (texto.size() >= largura) return texto;
    const std::string brancos(largura - texto.size(), ' ');
    return direita ? brancos + texto : texto + brancos;
}

}  // namespace

void imprimir_relatorio(Console& console, const Analise& a, const std::string& arquivo) {
    const Modelo& m = a.modelo;
    const Quadro q = montar_quadro(m);
    console.imprimir("rosca-visualizar %s\n", versao_programa);
    console.escrever(quebrar("Arquivo: " + arquivo, 0));
    console.escrever(quebrar("Comando: " + m.dialeto.nome(), 0));
    const std::string modos = vocabulario::descrever_modos(m.cabecalho.modos);
    if (!modos.empty()) console.escrever(quebrar("Modos de cortar: " + modos, 0));
    console.escrever(quebrar(formatar("Lidas %llu linhas: %llu passe(s), %llu movimentos de corte, %llu rapidos.",
                                      static_cast<unsigned long long>(m.linhas),
                                      static_cast<unsigned long long>(m.passes),
                                      static_cast<unsigned long long>(m.movimentos),
                                      static_cast<unsigned long long>(m.rapidos)),
                             0));
    console.escrever(q.rosca + ".\n");

    if (!q.passes.empty()) {
        static const std::size_t larguras[Quadro::colunas_passe] = {6, 11, 12, 8, 11, 22};
        console.escrever("\n");
        std::string linha;
        for (std::size_t i = 0; i < Quadro::colunas_passe; ++i)
            linha += preencher(Quadro::titulos_passe[i], larguras[i], true);
        console.escrever(linha + "\n");
        for (const auto& p : q.passes) {
            linha.clear();
            for (std::size_t i = 0; i < Quadro::colunas_passe; ++i) linha += preencher(p[i], larguras[i], true);
            // Values far beyond any job would push the row past the screen.
            console.escrever(linha.size() <= 79 ? linha + "\n" : quebrar(linha, 0));
        }
        if (q.passes_nao_mostrados > 0)
            console.imprimir("(mais %llu passes entre os mostrados)\n",
                             static_cast<unsigned long long>(q.passes_nao_mostrados));
    }

    console.escrever("\nCabecalho x percurso:\n");
    for (const auto& c : q.comparacoes)
        console.escrever(quebrar(preencher(c.rotulo, 22, false) + " " + preencher(c.cabecalho, 22, false) + " " +
                                     c.percurso,
                                 2));
    console.escrever(quebrar(formatar("Comprimento do corte %.1f mm, ", m.comprimento) + q.tempo_corte +
                                 " no avanco do arquivo.",
                             0));

    console.escrever("\nVerificacoes:\n");
    for (int i = 1; i <= Verificacoes::quantidade; ++i) {
        if (!a.verificacoes.visivel(i)) continue;
        const ResultadoVerificacao& r = a.verificacoes[i];
        std::string titulo = formatar(" %d. %s ", r.numero, r.titulo);
        const char* estado = nome_estado(r.estado);
        const std::size_t largura = 79 - std::string(estado).size() - 1;
        if (titulo.size() < largura) titulo += std::string(largura - titulo.size(), '.');
        console.escrever(titulo + " " + estado + "\n");
        if (r.estado == Estado::falha) {
            const std::string onde = r.linha != 0 ? formatar("linha %llu: ", static_cast<unsigned long long>(r.linha))
                                                  : std::string();
            console.escrever(quebrar(onde + r.detalhe, 5));
            for (const ResultadoVerificacao::Nota& n : r.notas)
                console.escrever(quebrar(formatar("linha %llu: ", static_cast<unsigned long long>(n.linha)) + n.texto, 5));
            if (r.ocorrencias > 1) console.escrever(quebrar(a.verificacoes.ocorrencias(i), 5));
        } else if (r.estado != Estado::ok && !r.detalhe.empty()) {
            console.escrever(quebrar("(" + r.detalhe + ")", 5));
        }
    }

    if (m.total_ilegiveis > 0) {
        console.imprimir("\nLinhas que nao se leem: %llu\n", static_cast<unsigned long long>(m.total_ilegiveis));
        for (const LinhaIlegivel& l : m.ilegiveis) {
            std::string texto = formatar("linha %llu: ", static_cast<unsigned long long>(l.numero)) + l.texto;
            if (l.bytes > LeitorLinhas::max_linha)
                texto += formatar(" (%llu bytes)", static_cast<unsigned long long>(l.bytes));
            if (texto.size() > 76) texto = texto.substr(0, 73) + "...";
            console.escrever("  " + texto + "\n");
        }
        if (m.total_ilegiveis > m.ilegiveis.size())
            console.imprimir("  ... e mais %llu\n",
                             static_cast<unsigned long long>(m.total_ilegiveis - m.ilegiveis.size()));
    }
}

void imprimir_conclusao(Console& console, const Analise& a, const std::string& imagem, bool gravada) {
    console.escrever("\n");
    if (gravada)
        console.escrever(quebrar("Imagem gravada: " + imagem, 0));
    else
        console.escrever("Nenhuma imagem gravada: nenhum movimento foi lido.\n");
    if (a.verificacoes.todas_ok())
        console.escrever("Resultado: arquivo inteiro, tudo confere.\n");
    else
        console.escrever("Resultado: ATENCAO - ha falhas; confira antes de usinar.\n");
}
