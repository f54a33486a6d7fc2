#include "visualizar/desenho_svg.hpp"

// The page: title, the dialect and the ways of cutting, the two views, the
// legend, the table.

#include <cmath>
#include <string>

#include "nucleo/texto.hpp"
#include "nucleo/versao.hpp"
#include "visualizar/desenho_partes.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/quadro.hpp"
#include "vocabulario/modos_corte.hpp"

using namespace desenho;

namespace {

const char* const estilo =
    "<style>\n"
    "text{font-family:'DejaVu Sans',Verdana,Arial,sans-serif;fill:#222}\n"
    ".t{font-size:22px;font-weight:bold}\n"
    ".s{font-size:15px}\n"
    ".n{font-size:15px;text-anchor:end}\n"
    ".c{font-size:13px;fill:#555}\n"
    ".h{font-size:16px;font-weight:bold}\n"
    ".ok{fill:#1a7f37;font-weight:bold}\n"
    ".ruim{fill:#c62828;font-weight:bold}\n"
    ".neutro{fill:#666;font-weight:bold}\n"
    ".det{font-size:14px;fill:#b71c1c}\n"
    ".moldura{fill:#fafafa;stroke:#ccc;stroke-width:1}\n"
    ".rap{stroke:#e07b00;stroke-width:1.3;stroke-dasharray:6 4;fill:none}\n"
    ".sai{stroke:#e07b00;stroke-width:0.8;stroke-dasharray:3 3;fill:none}\n"
    ".eixo{stroke:#aaa;stroke-width:0.8;stroke-dasharray:12 3 2 3;fill:none}\n"
    ".df{stroke:#333;stroke-width:1.3;fill:none}\n"
    ".di{stroke:#777;stroke-width:1.1;stroke-dasharray:3 3;fill:none}\n"
    ".us{stroke:#1b9e4b;stroke-width:1.3;stroke-dasharray:8 3;fill:none}\n"
    ".peca{fill:#e9e9e9;stroke:none}\n"
    ".cota{stroke:#999;stroke-width:0.8;stroke-dasharray:2 3;fill:none}\n"
    ".esc{stroke:#222;stroke-width:1.5;fill:none}\n"
    ".falha{stroke:#d7191c;stroke-width:2.5;fill:none}\n"
    ".nf{font-size:13px;font-weight:bold;fill:#d7191c}\n"
    ".seta{fill:#08306b}\n"
    "</style>\n";

double desenhar_legenda(Svg& g, const Modelo& m, const Verificacoes& verificacoes, double y) {
    const Cabecalho& c = m.cabecalho;
    double x = margem;
    // A sample of the stroke (by class, or its own colour and width) and its name.
    auto item = [&](const char* classe, const char* traco, const char* espessura, const std::string& rotulo) {
        const double largura = 32 + 7.2 * static_cast<double>(rotulo.size());
        if (x + largura > largura_pagina - margem) {
            x = margem;
            y += 20;
        }
        g.linha(x, y - 5, x + 26, y - 5, classe, traco, espessura);
        g.texto(x + 32, y, "c", rotulo);
        x += largura + 22;
    };
    item("", "#08306b", "2.6", "passe de acabamento (centro da ferramenta)");
    if (m.passes > 1) item("", "#7fb0dc", "1.4", "passes de desbaste");
    item("rap", nullptr, nullptr, "movimento rapido");
    if (c.Df.presente()) item("df", nullptr, nullptr, formatar("Df %.2f", c.Df.v));
    if ((c.interna() || c.externa()) && !c.Di_desabilitado && c.Di.presente())
        item("di", nullptr, nullptr, formatar(c.interna() ? "Di %.2f (furo)" : "Di %.2f (blank)", c.Di.v));
    if (c.interna() && m.extensoes.diametro.presente())
        item("us", nullptr, nullptr, formatar("usinado %.3f", m.extensoes.diametro.v));
    if (!verificacoes.todas_ok()) {
        if (x + 240 > largura_pagina - margem) {
            x = margem;
            y += 20;
        }
        g.circulo(x + 8, y - 5, 7, "falha");
        g.texto(x + 20, y, "c", "falha (numero da verificacao)");
    }
    return y;
}

}  // namespace

std::string desenhar_svg(const Analise& a, const std::string& nome) {
    const Modelo& m = a.modelo;
    Svg corpo;
    corpo.s.reserve(256 * 1024);
    const bool ok = a.verificacoes.todas_ok();
    corpo.texto(margem, 34, "t", "Percurso de " + nome);
    corpo.texto(margem, 60, "s", montar_quadro(m).rosca + formatar(" - %llu passe(s), %llu movimentos de corte",
                                                                 static_cast<unsigned long long>(m.passes),
                                                                 static_cast<unsigned long long>(m.movimentos)));
    corpo.texto(largura_pagina - margem, 34, ok ? "h ok" : "h ruim",
                ok ? "Tudo confere" : "ATENCAO: ha falhas", "end");
    corpo.texto(largura_pagina - margem, 60, "c", std::string("rosca-visualizar ") + versao_programa, "end");
    // The dialect and the ways of cutting, on the two lines above the views.
    std::string modos = vocabulario::descrever_modos(m.cabecalho.modos);
    if (!modos.empty()) modos = " - Modos de cortar: " + modos;
    double y_modos = 82;
    for (const std::string& l : linhas_quebradas("Comando: " + m.dialeto.nome() + modos, 136)) {
        if (y_modos >= topo_painel) break;
        corpo.texto(margem, y_modos, "c", l);
        y_modos += 17;
    }
    desenhar_vista_cima(corpo, m, a.verificacoes);
    desenhar_furos(corpo, m, a.furos);
    desenhar_vista_lateral(corpo, m, a.verificacoes);
    const double y_legenda = desenhar_legenda(corpo, m, a.verificacoes, topo_painel + lado_painel + 24);
    const double y = desenhar_tabela(corpo, m, a.verificacoes, y_legenda + 38);
    const double altura = std::ceil(y + margem);

    Svg g;
    g.s.reserve(corpo.s.size() + 1024);
    g.s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    g.abrir("svg");
    g.atributo("xmlns", "http://www.w3.org/2000/svg");
    g.atributo("version", "1.1");
    g.atributo("width", largura_pagina);
    g.atributo("height", altura);
    g.abrir_atributo("viewBox");
    g.s += "0 0 ";
    g.num(largura_pagina);
    g.s += ' ';
    g.num(altura);
    g.fechar_atributo();
    g.s += ">\n<title>";
    g.escapar("Percurso de " + nome);
    g.s += "</title>\n";
    g.s += estilo;
    // White under everything, whatever the viewer's background.
    g.abrir("rect");
    for (const char* atributo : {"x", "y"}) g.atributo(atributo, "0");
    g.atributo("width", "100%");
    g.atributo("height", "100%");
    g.atributo("fill", "#ffffff");
    g.fechar();
    g.s += corpo.s;
    g.s += "</svg>\n";
    return g.s;
}
