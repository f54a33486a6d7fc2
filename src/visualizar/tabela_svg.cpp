// The table under the views: passes, header beside the path, totals, checks,
// unreadable lines; the console report's words (quadro.hpp).
#include <algorithm>

#include "nucleo/texto.hpp"
#include "visualizar/desenho_partes.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/quadro.hpp"

namespace desenho {

// The table: passes, header beside the path, totals, checks, unreadable lines.
double desenhar_tabela(Svg& g, const Modelo& m, const Verificacoes& verificacoes, double y) {
    const Quadro q = montar_quadro(m);
    const double x0 = margem;
    const double linha = 21;

    g.texto(x0, y, "h", "Passes");
    y += linha;
    static const double colunas[Quadro::colunas_passe] = {95, 225, 375, 480, 610, 820};
    g.texto(x0 + 22, y, "c", "cor");
    for (std::size_t i = 0; i < Quadro::colunas_passe; ++i) g.texto(x0 + colunas[i], y, "c", Quadro::titulos_passe[i], "end");
    y += linha;
    for (std::size_t r = 0; r < q.passes.size(); ++r) {
        g.retangulo(x0 + 20, y - 11, 26, 8, "", "fill:" + cor_helice(m, r));
        for (std::size_t i = 0; i < Quadro::colunas_passe; ++i) g.texto(x0 + colunas[i], y, "n", q.passes[r][i]);
        y += linha;
    }
    if (q.passes_nao_mostrados > 0) {
        g.texto(x0 + 20, y, "c",
                formatar("mais %llu passes entre os mostrados (desenhados e listados: %llu, espalhados pelo arquivo)",
                         static_cast<unsigned long long>(q.passes_nao_mostrados),
                         static_cast<unsigned long long>(q.passes.size())));
        y += linha;
    }

    y += 12;
    const double y_colunas = y;
    g.texto(x0, y, "h", "Cabecalho x percurso");
    y += linha;
    g.texto(x0 + 175, y, "c", "cabecalho");
    g.texto(x0 + 330, y, "c", "percurso");
    y += linha;
    for (const auto& c : q.comparacoes) {
        g.texto(x0, y, "s", c.rotulo);
        g.texto(x0 + 175, y, "s", c.cabecalho);
        g.texto(x0 + 330, y, "s", c.percurso);
        y += linha;
    }
    double y2 = y_colunas;
    const double x2 = 580;
    g.texto(x2, y2, "h", "Totais");
    y2 += linha * 2;
    for (const auto& t : q.totais) {
        g.texto(x2, y2, "s", t.rotulo);
        g.texto(largura_pagina - margem, y2, "n", t.valor);
        y2 += linha;
    }
    y = std::max(y, y2) + 12;

    g.texto(x0, y, "h", "Verificacoes");
    y += linha;
    for (int i = 1; i <= Verificacoes::quantidade; ++i) {
        if (!verificacoes.visivel(i)) continue;
        const ResultadoVerificacao& r = verificacoes[i];
        g.texto(x0, y, "s", formatar("%d. %s", r.numero, r.titulo));
        const char* classe = r.estado == Estado::ok ? "s ok" : r.estado == Estado::falha ? "s ruim" : "s neutro";
        g.texto(largura_pagina - margem, y, classe, nome_estado(r.estado), "end");
        y += linha;
        std::string detalhe;
        if (r.estado == Estado::falha) {
            detalhe = (r.linha != 0 ? formatar("linha %llu: ", static_cast<unsigned long long>(r.linha)) : std::string()) +
                      r.detalhe;
            if (r.ocorrencias > 1) {
                detalhe += ' ';
                detalhe += verificacoes.ocorrencias(i);
            }
        } else if (r.estado != Estado::ok) {
            detalhe = r.detalhe;
        }
        if (!detalhe.empty()) {
            for (const std::string& l : linhas_quebradas(detalhe, 112)) {
                g.texto(x0 + 22, y - 2, r.estado == Estado::falha ? "det" : "c", l);
                y += linha - 2;
            }
        }
    }
    if (m.total_ilegiveis > 0) {
        y += 12;
        g.texto(x0, y, "h", formatar("Linhas que nao se leem: %llu", static_cast<unsigned long long>(m.total_ilegiveis)));
        y += linha;
        for (const LinhaIlegivel& l : m.ilegiveis) {
            g.texto(x0 + 22, y, "det", formatar("linha %llu: ", static_cast<unsigned long long>(l.numero)) + l.texto);
            y += linha - 2;
        }
        if (m.total_ilegiveis > m.ilegiveis.size()) {
            g.texto(x0 + 22, y, "det",
                    formatar("... e mais %llu", static_cast<unsigned long long>(m.total_ilegiveis - m.ilegiveis.size())));
            y += linha - 2;
        }
    }
    return y;
}

}  // namespace desenho
