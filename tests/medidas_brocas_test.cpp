// The drill a report names: inside the minor diameter band it is chosen
// for, of the thread's own system when one fits, the other system's when
// only that fits, none (ream or bore) when neither does. Every internal
// designation of the tables is walked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "medidas/brocas.hpp"
#include "medidas/consulta.hpp"
#include "medidas/decimal.hpp"
#include "medidas/escolha_broca.hpp"
#include "medidas/medidas.hpp"
#include "medidas/tabelas.hpp"

namespace {

// Every drill of a system, listed here from the series' definition, not
// from the code that searches it: metric 0.05 mm steps below 3 mm, 0.1 mm
// steps to 1000 mm.
std::vector<std::int64_t> metricas_na(std::int64_t minimo, std::int64_t maximo) {
    std::vector<std::int64_t> dentro;
    for (std::int64_t um = 50; um <= 1000000; um += um < 3000 ? 50 : 100)
        if (um * 10000 >= minimo && um * 10000 <= maximo) dentro.push_back(um * 10000);
    return dentro;
}

std::vector<std::int64_t> polegadas_na(std::int64_t minimo, std::int64_t maximo) {
    std::vector<std::int64_t> dentro;
    for (const auto& b : brocas_em_polegada())
        if (tamanho_exato(b) >= minimo && tamanho_exato(b) <= maximo) dentro.push_back(tamanho_exato(b));
    return dentro;
}

struct Contagem {
    int propria = 0, outro_sistema = 0, nenhuma = 0;
};

// Checks one internal designation; returns what kind of answer it got.
void conferir(const std::string& designacao, Contagem& n) {
    SCOPED_TRACE(designacao);
    Consulta c;
    std::string erro;
    ASSERT_TRUE(consultar(designacao, c, erro)) << erro;
    const EscolhaBroca e = escolher_broca(c);
    ASSERT_TRUE(e.furo.has_value());
    const Faixa& menor = e.furo->faixas.menor;
    const std::int64_t minimo = exato(*e.furo, menor.minimo), maximo = exato(*e.furo, menor.maximo);
    const auto proprias = e.polegada ? polegadas_na(minimo, maximo) : metricas_na(minimo, maximo);
    const auto outras = e.polegada ? metricas_na(minimo, maximo) : polegadas_na(minimo, maximo);
    std::string texto;
    ASSERT_TRUE(relatorio_medidas(designacao, texto, erro)) << erro;
    switch (e.tipo) {
        case EscolhaBroca::Tipo::propria:
        case EscolhaBroca::Tipo::outro_sistema: {
            const std::int64_t tamanho = tamanho_exato(e.broca);
            EXPECT_GE(tamanho, minimo);
            EXPECT_LE(tamanho, maximo);
            const bool propria = e.tipo == EscolhaBroca::Tipo::propria;
            EXPECT_EQ(e.broca.upol != 0, propria == e.polegada);
            // Of its own system whenever one fits, and none nearer the middle.
            EXPECT_EQ(proprias.empty(), !propria);
            for (std::int64_t outra : propria ? proprias : outras)
                EXPECT_GE(std::abs(2 * outra - minimo - maximo), std::abs(2 * tamanho - minimo - maximo));
            EXPECT_EQ(e.inicial, e.broca.milesimos_mm);
            EXPECT_NE(texto.find("\nBroca para o furo: " + e.broca.nome), std::string::npos) << texto;
            (propria ? n.propria : n.outro_sistema)++;
            break;
        }
        case EscolhaBroca::Tipo::nenhuma:
            EXPECT_TRUE(proprias.empty());
            EXPECT_TRUE(outras.empty());
            EXPECT_GE(e.inicial * 10000, minimo);
            EXPECT_LE(e.inicial * 10000, maximo);
            EXPECT_NE(texto.find("\nNenhuma broca normal cabe no menor do furo:\n"), std::string::npos) << texto;
            n.nenhuma++;
            break;
        case EscolhaBroca::Tipo::regra: ADD_FAILURE() << "sem faixa"; break;
    }
    for (std::size_t i = 0, fim; i < texto.size(); i = fim + 1) {
        fim = texto.find('\n', i);
        EXPECT_LE(fim - i, 80u) << texto.substr(i, fim - i);
    }
    // One drill per report: named once, with the rule beside it.
    EXPECT_EQ(texto.find("Broca para o furo", texto.find("Broca para o furo") + 1), std::string::npos);
    EXPECT_NE(texto.find("so como referencia)"), std::string::npos);
}

TEST(MedidasBrocas, CadaFuroUnificadoTemBrocaNaFaixaOuDizQueNao) {
    // #0 to 4 inches, the graded pitches and the constant-pitch series.
    const int constantes[] = {40, 60, 80, 120, 160, 200, 280, 320};
    Contagem n;
    int casos = 0;
    for (const auto& m : tabela_unificada()) {
        std::vector<int> fios;
        for (auto f : m.fios_decimos)
            if (f != 0) fios.push_back(f);
        for (int f : constantes) {
            // A pitch at most a quarter of the size; a graded pitch once.
            if (f * m.diametro_upol < 40 * 1000000 || std::find(fios.begin(), fios.end(), f) != fios.end()) continue;
            fios.push_back(f);
        }
        for (int f : fios)
            for (int classe = 1; classe <= 3; ++classe) {
                std::string designacao = m.nome;
                designacao.append("-").append(texto_enxuto(f, 1)).append("-").append(std::to_string(classe)).append("B");
                conferir(designacao, n);
                ++casos;
            }
    }
    EXPECT_GT(casos, 600);
    // The 1/64 inch steps miss many narrow bands; metric drills fill most.
    EXPECT_GT(n.propria, 0);
    EXPECT_GT(n.outro_sistema, 0);
    RecordProperty("nenhuma", n.nenhuma);
}

TEST(MedidasBrocas, CadaFuroIso261TemBrocaNaFaixaOuDizQueNao) {
    Contagem n;
    int casos = 0;
    for (const auto& m : tabela_iso261()) {
        std::vector<std::int32_t> passos;
        if (m.passo_grosso_um != 0) passos.push_back(m.passo_grosso_um);
        for (auto p : m.passos_finos_um)
            if (p != 0) passos.push_back(p);
        for (auto p : passos)
            for (char posicao : {'G', 'H'})
                for (int flanco = 4; flanco <= 8; ++flanco)
                    for (int crista = 4; crista <= 8; ++crista) {
                        std::string designacao = "M";
                        designacao.append(texto_enxuto(m.diametro_um, 3)).append("x").append(texto_enxuto(p, 3));
                        designacao.append("-").append(std::to_string(flanco)).push_back(posicao);
                        if (crista != flanco) designacao.append(std::to_string(crista)).push_back(posicao);
                        conferir(designacao, n);
                        ++casos;
                    }
    }
    EXPECT_GT(casos, 17000);
    EXPECT_GT(n.propria, 0);
    EXPECT_GT(n.outro_sistema, 0);
}

std::string relatorio(std::string_view designacao) {
    std::string texto, erro;
    EXPECT_TRUE(relatorio_medidas(designacao, texto, erro)) << designacao << ": " << erro;
    return texto;
}

TEST(MedidasBrocas, DoOutroSistemaOuNenhumaDitoComTodasAsLetras) {
    // 37/64 inch (0.5781) passes the 2B band's 0.5780 by a hair.
    EXPECT_NE(relatorio("5/8-18 UNF-2B")
                  .find("\nBroca para o furo: 14.5 mm, metrica\n"
                        "  dentro do menor do furo 2B: 0.5650 a 0.5780 pol (14.351 a 14.681 mm)\n"
                        "  (nenhuma broca em polegada cabe nele)\n"
                        "  (regra D - P: 14.464 mm, so como referencia)\n"),
              std::string::npos);
    // 3.1 and 3.2 mm miss 3.121 to 3.184; 1/8 inch does not.
    const std::string m35 = relatorio("M3.5x0.35-4H");
    EXPECT_NE(m35.find("\nBroca para o furo: 1/8 = 3.175 mm (0.1250 pol), em polegada\n"
                       "  dentro do menor do furo 4H: 3.121 a 3.184 mm\n"
                       "  (nenhuma broca metrica cabe nele)\n"),
              std::string::npos)
        << m35;
    EXPECT_NE(m35.find("Diametro Inicial da rosca [mm] . 3.175      broca 1/8\n"), std::string::npos);
    // Neither 3.3 mm nor #30 (3.264) nor #29 (3.454) inside 3.321 to 3.384:
    // the middle of the band, to ream or bore to, is the answer.
    const std::string sem = relatorio("M3.7x0.35-4H");
    EXPECT_NE(sem.find("\nNenhuma broca normal cabe no menor do furo:\n"
                       "  menor do furo 4H: 3.321 a 3.384 mm\n"
                       "  alargue ou mandrile para 3.353 mm, o meio da faixa\n"
                       "  (antes, fure com 3.3 mm)\n"),
              std::string::npos)
        << sem;
    EXPECT_NE(sem.find("Diametro Inicial da rosca [mm] . 3.353      alargado ou mandrilado\n"), std::string::npos);
    EXPECT_NE(sem.find("Diametro Inicial da rosca [mm] . 3.353      alargado; menor 3.321 a 3.384\n"),
              std::string::npos);
}

TEST(MedidasBrocas, ListasCobremOQueAsTabelasCobrem) {
    // The taper's own rule, the largest drill not above the minor diameter
    // at the end of L2, reaches past 4 inches for 4 NPT.
    EXPECT_NE(relatorio("4 NPT").find("broca 4 13/64: menor no fim de L2"), std::string::npos);
    // Below 3 mm the metric drills go in 0.05 mm steps: M1x0.25 6H, 0.729 to 0.785.
    EXPECT_NE(relatorio("M1-6H").find("\nBroca para o furo: 0.75 mm\n"), std::string::npos);
    // The largest Unified nut, 4-4 UNC 2B: 3.7290 to 3.7670 inches.
    EXPECT_NE(relatorio("4-4 UNC-2B").find("\nBroca para o furo: 3 3/4 = 95.250 mm (3.7500 pol)\n"),
              std::string::npos);
}

TEST(MedidasBrocas, CadaFuroDaIso228TemBrocaNaFaixa) {
    Contagem n;
    for (const auto& m : tabela_iso228()) conferir(std::string("G") + m.nome, n);
    EXPECT_EQ(n.propria, static_cast<int>(tabela_iso228().size()));
}

}  // namespace
