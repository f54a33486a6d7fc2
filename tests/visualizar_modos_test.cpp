// The viewer on files with ways of cutting and tapers: every combination the
// generator writes passes every check, and a path moved off what its header
// says fails the check that owns it, at the line moved.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <string>

#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"

namespace {

const char* const internas[] = {"I\n16\n14\n0.5\n0.1\n10\n6\n2\nD\n0\n1000\n200\n",
                                "I\n16\n14\n0.3\n0\n10\n5\n2\nE\n12.5\n1000\n200\n"};
const char* const externas[] = {"E\n20\n22\n0.5\n0.1\n6\n5\n2.5\nD\n30\n1000\n200\n",
                                "E\n20\n22\n0.5\n0\n6\n5\n2.5\nE\n0\n1000\n200\n"};

std::string gerar(const std::string& opcoes, const char* respostas) { return arquivo_gerado(opcoes, respostas); }

std::string falhas(const Analise& a) {
    std::string t;
    for (int i = 1; i <= Verificacoes::quantidade; ++i)
        if (a.verificacoes[i].estado != Estado::ok && a.verificacoes[i].estado != Estado::nao_se_aplica)
            t += std::to_string(i) + ": " + a.verificacoes[i].detalhe + "\n";
    return t;
}

// The file with line `linha` (1-based) passed through `mudar`.
template <typename F>
std::string mudar_linha(const std::string& arquivo, std::size_t linha, F mudar) {
    std::size_t inicio = 0;
    for (std::size_t n = 1; n < linha; ++n) inicio = arquivo.find('\n', inicio) + 1;
    const std::size_t fim = arquivo.find('\n', inicio);
    return arquivo.substr(0, inicio) + mudar(arquivo.substr(inicio, fim - inicio)) + arquivo.substr(fim);
}

// The line number of the `n`-th line (from 1) matching `padrao`; 0 if none.
std::size_t linha_de(const std::string& arquivo, const std::regex& padrao, int n) {
    std::size_t numero = 0, inicio = 0;
    while (inicio < arquivo.size()) {
        const std::size_t fim = arquivo.find('\n', inicio);
        ++numero;
        if (std::regex_search(arquivo.substr(inicio, fim - inicio), padrao) && --n == 0) return numero;
        if (fim == std::string::npos) break;
        inicio = fim + 1;
    }
    return 0;
}

// X of the line moved by `d` mm.
std::string mover_x(const std::string& l, double d) {
    std::smatch m;
    const std::regex x("([xX])(-?[0-9.]+)");
    if (!std::regex_search(l, m, x)) return l;
    char v[32];
    std::snprintf(v, sizeof v, "%.3f", std::stod(m[2]) + d);
    return m.prefix().str() + m[1].str() + v + m.suffix().str();
}

TEST(VisualizarModos, CadaModoDeCortarEConicaConfere) {
    const char* const opcoes[] = {"--arcos",
                                  "--concordante",
                                  "--discordante",
                                  "--entrada-tangencial",
                                  "--entrada-tangencial --concordante",
                                  "--entrada-tangencial --discordante --arcos",
                                  "--compensacao",
                                  "--compensacao --concordante --comando fanuc",
                                  "--repetir-acabamento 2 --avanco-na-aresta",
                                  "--discordante --entrada-tangencial --repetir-acabamento 1 --avanco-na-aresta",
                                  "--conica",
                                  "--conica --concordante --entrada-tangencial --comando grbl"};
    for (const auto* grupo : {&internas, &externas})
        for (const char* respostas : *grupo)
            for (const char* o : opcoes) {
                SCOPED_TRACE(std::string(o) + " / " + std::string(respostas).substr(0, 12));
                const auto a = analisar_bytes(gerar(o, respostas));
                EXPECT_TRUE(a->verificacoes.todas_ok()) << falhas(*a);
                EXPECT_TRUE(a->verificacoes.visivel(Verificacoes::entradas_e_saidas));
            }
    // Today's file has no ways in or out to check, and does not show the check.
    const auto hoje = analisar_bytes(arquivo_do_gerador(internas[0]));
    EXPECT_TRUE(hoje->verificacoes.todas_ok());
    EXPECT_FALSE(hoje->verificacoes.visivel(Verificacoes::entradas_e_saidas));
}

TEST(VisualizarModos, PercursoForaDoCabecalhoFalhaNaLinhaMudada) {
    using V = Verificacoes;
    auto confere = [](const std::string& arquivo, int verificacao, std::size_t linha) {
        const auto a = analisar_bytes(arquivo);
        EXPECT_EQ(a->verificacoes[verificacao].estado, Estado::falha) << falhas(*a);
        bool achou = false;
        for (std::size_t i = 0; i < a->verificacoes[verificacao].quantidade_linhas; ++i)
            achou = achou || a->verificacoes[verificacao].linhas[i] == linha;
        EXPECT_TRUE(achou) << "linha " << linha << ": " << falhas(*a);
    };
    // An arc's end 0.05 mm off its circle; the arcs turned the other way.
    const std::string arcos = gerar("--arcos", internas[0]);
    const std::regex arco("^g0[23] ");
    const std::size_t l_arco = linha_de(arcos, arco, 5);
    ASSERT_GT(l_arco, 0u);
    confere(mudar_linha(arcos, l_arco, [](const std::string& l) { return mover_x(l, 0.05); }), V::circulo, l_arco);
    std::string invertido = arcos;
    for (std::size_t i = 0; (i = invertido.find("\ng02 ", i)) != std::string::npos; ++i) invertido[i + 3] = '3';
    confere(invertido, V::profundidade_e_avanco, linha_de(arcos, arco, 1));

    // A point of a tapered pass 0.05 mm off the taper, inside and outside.
    for (const char* respostas : {internas[0], externas[0]}) {
        const std::string conica = gerar("--conica", respostas);
        const std::size_t l = linha_de(conica, std::regex("^g01 x"), 500);
        ASSERT_GT(l, 0u);
        confere(mudar_linha(conica, l, [](const std::string& t) { return mover_x(t, 0.05); }), V::circulo, l);
    }

    // The compensation on the wrong side; a pass's feed not the edge's share.
    const std::string compensada = gerar("--compensacao", internas[0]);
    const std::size_t l_g42 = linha_de(compensada, std::regex("G42"), 1);
    ASSERT_GT(l_g42, 0u);
    const auto a = analisar_bytes(std::regex_replace(compensada, std::regex("G42"), "G41"));
    EXPECT_EQ(a->verificacoes[V::entradas_e_saidas].estado, Estado::falha) << falhas(*a);
    EXPECT_NE(a->verificacoes[V::entradas_e_saidas].detalhe.find("pede G42"), std::string::npos);

    const std::string aresta = gerar("--avanco-na-aresta", internas[0]);
    const std::size_t l_f = linha_de(aresta, std::regex("^f[0-9]+\\.[0-9]"), 2);
    ASSERT_GT(l_f, 0u);
    confere(mudar_linha(aresta, l_f, [](const std::string&) { return std::string("f80.0\r"); }), V::entradas_e_saidas,
            l_f);

    // A header that announces tangent leads over a radial way in.
    std::string radial = gerar("--concordante", internas[0]);
    const std::size_t depois = radial.find('\n', radial.find(";Fresamento:"));
    ASSERT_NE(depois, std::string::npos);
    radial.insert(depois + 1, ";Entrada e saida tangenciais\r\n");
    const auto r = analisar_bytes(radial);
    EXPECT_NE(r->verificacoes[V::entradas_e_saidas].detalhe.find("nao tangente"), std::string::npos) << falhas(*r);

    // A lead-in arc started 0.5 mm out: it bulges into the thread's flank.
    const std::string tangencial = gerar("--entrada-tangencial --arcos", internas[0]);
    const std::size_t l_guia = linha_de(tangencial, arco, 1);
    const std::size_t l_inicio = linha_de(tangencial, std::regex("^g00 x"), 2);
    ASSERT_LT(l_inicio, l_guia);
    confere(mudar_linha(tangencial, l_inicio, [](const std::string& l) { return mover_x(l, 0.5); }),
            V::entradas_e_saidas, l_guia);
}

}  // namespace

namespace {

// The job of a 45.5 degree start, as the generator's own files start it
// for every way of cutting.
const char* const inicio_45_5 = "I\n20\n17.5\n0.5\n0.1\n14\n12\n2.5\nD\n45.5\n1200\n150\n";

// Point of line `l` of the file (its X and Y words) turned by `graus` about
// the axis, counter-clockwise seen from above, printed as the file prints.
std::string girar_xy(const std::string& l, double graus) {
    std::smatch m;
    if (!std::regex_search(l, m, std::regex("x(-?[0-9.]+) y(-?[0-9.]+)"))) return l;
    const double x = std::stod(m[1]), y = std::stod(m[2]), a = graus * 3.14159265358979323846 / 180;
    char v[64];
    std::snprintf(v, sizeof v, "x%.3f y%.3f", x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a));
    return m.prefix().str() + v + m.suffix().str();
}

bool falha_na_linha(const Analise& a, int verificacao, std::size_t linha) {
    const ResultadoVerificacao& r = a.verificacoes[verificacao];
    for (std::size_t i = 0; i < r.quantidade_linhas; ++i)
        if (r.linhas[i] == linha) return true;
    return false;
}

}  // namespace

// The helix meets the face at the start angle, 45.5 degrees, whatever the
// way of cutting: the chord at the face spans the half degree left, and the
// report says where the path starts.
TEST(VisualizarModos, InicioFracionarioNaFaceEmCadaModoDeCortar) {
    const char* const opcoes[] = {"--entrada-tangencial",
                                  "--entrada-tangencial --concordante",
                                  "--entrada-tangencial --discordante",
                                  "--entrada-tangencial --arcos --concordante",
                                  "--compensacao",
                                  "--compensacao --concordante",
                                  "--concordante",
                                  "--discordante --conica",
                                  "--conica --entrada-tangencial --concordante",
                                  "--repetir-acabamento 1 --avanco-na-aresta --entrada-tangencial"};
    for (const char* o : opcoes) {
        SCOPED_TRACE(o);
        const auto a = analisar_bytes(gerar(o, inicio_45_5));
        EXPECT_TRUE(a->verificacoes.todas_ok()) << falhas(*a);
        const std::string relatorio = relatorio_de(*a, "f.nc");
        // Printed to three decimals 2.1 mm from the axis, a point's angle is
        // known to a few hundredths of a degree.
        EXPECT_TRUE(std::regex_search(relatorio, std::regex("\n  Angulo inicial +45\\.5 graus +45\\.[45][0-9] graus\n")))
            << relatorio;
    }
}

// Half a degree is no rounding: the start moved that far along the circle
// fails check 4 at the line that wrote it, face down where the way in ends
// at the face, and from the thread length up where the helix reaches it.
TEST(VisualizarModos, InicioMovidoMeioGrauFalhaNaSuaLinha) {
    const std::string descendo = gerar("--entrada-tangencial", inicio_45_5);
    const std::size_t l_inicio = linha_de(descendo, std::regex("^g01 x[-0-9.]+ y[-0-9.]+ z0\\.000"), 1);
    ASSERT_GT(l_inicio, 0u);
    for (double graus : {0.5, -0.5}) {
        const auto a = analisar_bytes(mudar_linha(descendo, l_inicio, [graus](const std::string& l) {
            return girar_xy(l, graus);
        }));
        const ResultadoVerificacao& r = a->verificacoes[Verificacoes::profundidade_e_avanco];
        EXPECT_EQ(r.linha, l_inicio) << falhas(*a);
        EXPECT_TRUE(std::regex_search(r.detalhe, std::regex(graus > 0 ? "^ponto inicial a 45\\.0[0-9] graus; o cabecalho diz 45\\.5 graus$"
                                                                   : "^ponto inicial a 46\\.0[0-9] graus; o cabecalho diz 45\\.5 graus$")))
            << falhas(*a);
    }
    // Internal, right hand, climb milling: from the thread length up.
    const std::string subindo = gerar("--entrada-tangencial --concordante", inicio_45_5);
    ASSERT_NE(subindo.find("de baixo para cima"), std::string::npos);
    const std::size_t l_face = linha_de(subindo, std::regex("^g01 x[-0-9.]+ y[-0-9.]+ z0\\.000"), 1);
    ASSERT_GT(l_face, 0u);
    const auto a = analisar_bytes(mudar_linha(subindo, l_face, [](const std::string& l) { return girar_xy(l, 0.5); }));
    EXPECT_TRUE(falha_na_linha(*a, Verificacoes::profundidade_e_avanco, l_face)) << falhas(*a);
    EXPECT_TRUE(std::regex_search(a->verificacoes[Verificacoes::profundidade_e_avanco].detalhe,
                                  std::regex("^ponto final na face a 45\\.0[0-9] graus")))
        << falhas(*a);
}

// A move of the helix changed is named at its own line, not taken for the
// way out and the next pass: in an --arcos file, the first arc of the third
// pass with its X moved by 0.05 mm.
TEST(VisualizarModos, MovimentoMudadoNomeadoNaSuaLinha) {
    const std::string arcos = gerar("--arcos", "I\n20\n17.5\n0.5\n0.1\n14\n12\n2.5\nD\n30\n1200\n150\n");
    const std::size_t l83 = linha_de(arcos, std::regex("^g02 x-2\\.673 y1\\.124 z-1\\.200 "), 1);
    ASSERT_GT(l83, 0u);
    const auto a = analisar_bytes(mudar_linha(arcos, l83, [](const std::string& l) { return mover_x(l, 0.05); }));
    EXPECT_EQ(a->verificacoes[Verificacoes::circulo].linha, l83) << falhas(*a);
    EXPECT_EQ(a->verificacoes[Verificacoes::profundidade_e_avanco].estado, Estado::ok) << falhas(*a);
    EXPECT_EQ(a->verificacoes[Verificacoes::entradas_e_saidas].estado, Estado::ok) << falhas(*a);
    EXPECT_EQ(a->modelo.passes, 4u);

    // The same in a file of chords with tangent ways, two chords before the
    // thread length, where the way out begins: still the helix's, which
    // keeps its moves.
    const std::string cordas = gerar("--entrada-tangencial", "I\n20\n17.5\n0.5\n0.1\n14\n12\n2.5\nD\n30\n1200\n150\n");
    const std::size_t l_fundo = linha_de(cordas, std::regex(" z-11\\.99[0-9]\r?$"), 1);
    ASSERT_GT(l_fundo, 0u);
    const auto b = analisar_bytes(mudar_linha(cordas, l_fundo, [](const std::string& l) { return mover_x(l, 0.05); }));
    EXPECT_EQ(b->verificacoes[Verificacoes::circulo].linha, l_fundo) << falhas(*b);
    EXPECT_EQ(b->verificacoes[Verificacoes::profundidade_e_avanco].linha, l_fundo) << falhas(*b);
    const auto intacto = analisar_bytes(cordas);
    ASSERT_FALSE(b->modelo.retidos.empty());
    EXPECT_EQ(b->modelo.retidos[0].movimentos, intacto->modelo.retidos[0].movimentos);
    EXPECT_EQ(b->modelo.retidos[0].linha_fim, intacto->modelo.retidos[0].linha_fim);
}

// A small bore cut in arcs with the control's compensation: the extremes of
// an arc come from its centre and radius, each from printed coordinates,
// and the extents comments agree with them within that.
TEST(VisualizarModos, ExtremosDosArcosNaToleranciaDoCentroEDoRaio) {
    const char* const respostas = "I\n6.35\n5.1\n0.2\n0.05\n4\n8\n1.27\nD\n0\n1000\n200\n";
    for (const char* o : {"--compensacao --concordante --comando linuxcnc", "--compensacao --discordante", "--arcos"}) {
        const auto a = analisar_bytes(gerar(o, respostas));
        EXPECT_TRUE(a->verificacoes.todas_ok()) << o << "\n" << falhas(*a);
    }
}

// A helix of less than a turn inside a bore: its ways along arcs reach sides
// it does not, and the extents comments, which take them in, agree with the
// path.
TEST(VisualizarModos, HeliceDeMenosDeUmaVoltaComSuasEntradas) {
    for (const char* respostas :
         {"I\n20\n0\n10\n1\n2\nD\n45.5\n1000\n200\n", "I\n12\n10\n0.5\n0.1\n6\n0.4\n1.75\nD\n300\n1000\n200\n"})
        for (const char* o : {"--entrada-tangencial", "--entrada-tangencial --arcos", "--compensacao", "--conica --entrada-tangencial"}) {
            const auto a = analisar_bytes(gerar(o, respostas));
            EXPECT_TRUE(a->verificacoes.todas_ok()) << o << "\n" << falhas(*a);
        }
}
