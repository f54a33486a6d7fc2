// The picture as a machinist reads it, from the SVG text: where the start
// is marked, the blank of an external thread, failure numbers that do not
// cover each other, dense turns as a band, each rapid move drawn once; and
// the report's list of the lines where a check failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "apoio/visualizacao.hpp"
#include "visualizar/desenho_svg.hpp"

namespace {

// The numbers of attribute `nome` of every element matching `elemento`.
std::vector<std::vector<double>> elementos(const std::string& svg, const std::string& padrao,
                                           const std::vector<std::string>& nomes) {
    std::vector<std::vector<double>> r;
    const std::regex e(padrao);
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), e); it != std::sregex_iterator(); ++it) {
        const std::string el = it->str();
        std::vector<double> valores;
        for (const std::string& n : nomes) {
            std::smatch m;
            if (std::regex_search(el, m, std::regex(" " + n + "=\"([-0-9.]+)\""))) valores.push_back(std::stod(m[1]));
        }
        r.push_back(valores);
    }
    return r;
}

TEST(VisualizarImagem, InicioMarcadoNoPrimeiroPasse) {
    // Five passes from 14.45 to 16: the program starts cutting at radius 2.225.
    const auto a = analisar_bytes(arquivo_do_gerador("I\n16\n14\n0.3\n0.1\n10\n20\n2\nD\n0\n4000\n200\n"));
    const std::string svg = desenhar_svg(*a, "f.tap");
    const auto seta = elementos(svg, "<circle[^>]*class=\"seta\"/>", {"cx", "cy"});
    ASSERT_EQ(seta.size(), 1u);
    const Vista v = vista_de_cima(a->modelo);
    const double x = (seta[0][0] - v.centro_x) / v.escala_x, y = (v.centro_y - seta[0][1]) / v.escala_y;
    EXPECT_NEAR(std::hypot(x, y), 2.225, 0.002);
}

TEST(VisualizarImagem, BlankDaRoscaExternaDesenhado) {
    const auto a = analisar_bytes(arquivo_do_gerador("E\n20\n24\n0.5\n0.2\n10\n2\n1\nE\n30.5\n1000\n200\n"));
    const std::string svg = desenhar_svg(*a, "f.tap");
    const auto di = elementos(svg, "<circle[^>]*class=\"di\"/>", {"r"});
    ASSERT_EQ(di.size(), 1u);
    EXPECT_NEAR(di[0][0], 12 * vista_de_cima(a->modelo).escala_x, 0.01);
    EXPECT_NE(svg.find("Di 24.00 (blank)"), std::string::npos);

    // The exits of five passes to their corners: each distinct move once.
    const auto linhas = elementos(svg, "<line[^>]*class=\"(rap|sai)\"/>", {"x1", "y1", "x2", "y2"});
    std::set<std::vector<double>> distintas(linhas.begin(), linhas.end());
    EXPECT_EQ(distintas.size(), linhas.size());
    EXPECT_GT(linhas.size(), 5u);
}

TEST(VisualizarImagem, NumerosDeFalhasNoMesmoPontoLegiveis) {
    // A point moved to the axis fails checks 2 and 4 at the same place.
    std::string t = arquivo_do_gerador("I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n");
    const std::string linha = "g01 x-3.886 y-3.147 z-1.392\r\n";
    t.replace(t.find(linha), linha.size(), "g01 x0.000 y0.000 z-1.392\r\n");
    const auto a = analisar_bytes(t);
    const auto rotulos = elementos(desenhar_svg(*a, "f.tap"), "<text[^>]*class=\"nf\">[0-9]</text>", {"x", "y"});
    ASSERT_GE(rotulos.size(), 4u);
    for (std::size_t i = 0; i < rotulos.size(); ++i)
        for (std::size_t j = i + 1; j < rotulos.size(); ++j)
            EXPECT_TRUE(std::fabs(rotulos[i][0] - rotulos[j][0]) >= 12 || std::fabs(rotulos[i][1] - rotulos[j][1]) >= 13)
                << i << " " << j;
}

TEST(VisualizarImagem, VoltasDensasViramFaixaComAContagem) {
    // 1000 turns in 400 pixels: two turns at each end, the rest a band.
    const auto a = analisar_bytes(arquivo_do_gerador("I\n20\n0\n10\n500\n0.5\nD\n0\n1000\n200\n"));
    const std::string svg = desenhar_svg(*a, "f.tap");
    EXPECT_NE(svg.find(">1000 voltas, "), std::string::npos);
    // The finishing pass's side view is drawn with the strongest width.
    std::size_t pontos = 0;
    for (std::size_t i = svg.find("<polyline"); i != std::string::npos; i = svg.find("<polyline", i + 1)) {
        const std::string el = svg.substr(i, svg.find("/>", i) - i);
        if (el.find("stroke-width=\"1.6\"") != std::string::npos)
            pontos += static_cast<std::size_t>(std::count(el.begin(), el.end(), ','));
    }
    EXPECT_LE(pontos, 4u * 360 + 4);
    EXPECT_LE(svg.size(), 200000u);
}

TEST(VisualizarImagem, OcorrenciasDizemAsPrimeirasLinhas) {
    Verificacoes v;
    for (std::uint64_t linha : {12, 15, 15, 18, 20, 23, 30}) v.falha(Verificacoes::circulo, linha, "x");
    EXPECT_EQ(v.ocorrencias(Verificacoes::circulo), "(7 ocorrencias ao todo: linhas 12, 15, 18 e mais 4)");
    v.falha(Verificacoes::profundidade_e_avanco, 40, "x");
    v.falha(Verificacoes::profundidade_e_avanco, 41, "x");
    EXPECT_EQ(v.ocorrencias(Verificacoes::profundidade_e_avanco), "(2 ocorrencias ao todo: linhas 40 e 41)");
    v.falha(Verificacoes::rapidos_e_preambulo, 0, "x");
    v.contar(Verificacoes::rapidos_e_preambulo, 2);
    EXPECT_EQ(v.ocorrencias(Verificacoes::rapidos_e_preambulo), "(3 ocorrencias ao todo)");
    EXPECT_EQ(v.ocorrencias(Verificacoes::arquivo_completo), "");
}

}  // namespace
