// The reader on whole files: the same path written in other cases, line
// ends and number forms gives the same model; the header is read with its
// decimals; a line longer than any block is skipped in bounded memory.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>

#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"
#include "visualizar/analise.hpp"

namespace {

std::unique_ptr<Analise> analisar_bytes(const std::string& bytes) {
    FonteMemoria fonte(bytes);
    auto a = std::make_unique<Analise>();
    analisar(fonte, *a);
    return a;
}

std::string maiusculas(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

TEST(VisualizarLeitor, OutrasGrafiasDaoOMesmoModelo) {
    const std::string tap = ler_arquivo(std::string(ROSCA_DADOS_TESTES) + "/externa_cinco_passes.tap");
    const std::string longo = arquivo_do_gerador("E\n20\n24\n0.5\n0.2\n10\n5\n1\nE\n12.5\n1000\n200\n");
    for (const std::string& original : {tap, longo}) {
        const auto a_rapido = analisar_bytes(original);
        const Modelo* rapido = &a_rapido->modelo;
        // G-code words in capitals, LF line ends, a zero added to each decimal part
        // (coordinates only: comments keep their text).
        std::string geral = std::regex_replace(original, std::regex("\r\n"), "\n");
        geral = std::regex_replace(geral, std::regex("(^|\n)g0([01])"), "$1G$2");
        geral = std::regex_replace(geral, std::regex(" ([xyz])(-?[0-9]+\\.[0-9]{3})(?=[ \n])"), " $1$2#");
        geral = std::regex_replace(geral, std::regex("#"), "0");
        std::string moves;
        for (std::size_t i = 0; i < geral.size();) {
            const std::size_t fim = geral.find('\n', i);
            std::string linha = geral.substr(i, fim - i);
            if (!linha.empty() && linha[0] != ';') linha = maiusculas(linha);
            moves += linha + "\n";
            i = fim == std::string::npos ? geral.size() : fim + 1;
        }
        const auto a_lento = analisar_bytes(moves);
        const Modelo* lento = &a_lento->modelo;
        EXPECT_TRUE(a_rapido->verificacoes.todas_ok());
        EXPECT_TRUE(a_lento->verificacoes.todas_ok())
            << a_lento->verificacoes[1].detalhe << a_lento->verificacoes[4].detalhe;
        EXPECT_EQ(rapido->linhas, lento->linhas);
        EXPECT_EQ(rapido->movimentos, lento->movimentos);
        EXPECT_EQ(rapido->passes, lento->passes);
        EXPECT_NEAR(rapido->comprimento, lento->comprimento, 1e-6);
        EXPECT_EQ(rapido->extremos.x_max, lento->extremos.x_max);
        EXPECT_EQ(rapido->extremos.y_min, lento->extremos.y_min);
        ASSERT_EQ(rapido->retidos.size(), lento->retidos.size());
        for (std::size_t i = 0; i < rapido->retidos.size(); ++i) {
            EXPECT_EQ(rapido->retidos[i].z_min, lento->retidos[i].z_min);
            EXPECT_EQ(rapido->retidos[i].lado_fim.size(), lento->retidos[i].lado_fim.size());
        }
    }
}

TEST(VisualizarLeitor, CabecalhoLidoComSuasCasasDecimais) {
    const auto a = analisar_bytes(ler_arquivo(std::string(ROSCA_DADOS_TESTES) + "/externa_cinco_passes.tap"));
    const Modelo* m = &a->modelo;
    const Cabecalho& c = m->cabecalho;
    EXPECT_EQ(c.tipo, 'E');
    EXPECT_EQ(c.sentido, 'D');
    EXPECT_EQ(c.Df.v, 20.0);
    EXPECT_EQ(c.Df.decimais, 2);
    EXPECT_EQ(c.np, 5);
    ASSERT_EQ(c.lista.size(), 6u);
    EXPECT_EQ(c.lista[5].diametro.v, 20.0);
    EXPECT_EQ(c.lista[5].diametro.decimais, 3);
    EXPECT_EQ(c.angulo_inicial.decimais, 1);
    EXPECT_EQ(c.S.decimais, 0);
    EXPECT_EQ(c.Fz.v, 0.2);
    EXPECT_TRUE(c.faltando().empty());
    EXPECT_EQ(m->rapidos, 18u);
}

TEST(VisualizarLeitor, LinhaEnormeSemFimLidaEmMemoriaLimitada) {
    // Twice the block, no line end at all: one unreadable, cut line.
    const auto a = analisar_bytes(std::string(2 * LeitorLinhas::bloco_padrao + 17, 'g'));
    const Modelo* m = &a->modelo;
    EXPECT_EQ(m->linhas, 1u);
    EXPECT_EQ(m->total_ilegiveis, 1u);
    ASSERT_EQ(m->ilegiveis.size(), 1u);
    EXPECT_EQ(m->ilegiveis[0].bytes, 2 * LeitorLinhas::bloco_padrao + 17);
    EXPECT_LE(m->ilegiveis[0].texto.size(), Modelo::max_texto + 3);
}

}  // namespace
