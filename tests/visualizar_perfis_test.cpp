// The viewer on files of a mill with several profiles, of several starts and
// of passes of equal area: what the generator writes passes in every dialect
// and way of cutting; a helix point, a revolution, a start, an equal-area
// pass or the cutting time edited away from the header fails at its line.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"

namespace {

using V = Verificacoes;

// M20 x 2.5, 10 deep: a right-hand bore and a left-hand blank.
const char* const interna = "I\n20\n17.5\n0.5\n0.1\n14\n10\n2.5\nD\n0\n1000\n200\n";
const char* const externa = "E\n20\n22\n0.5\n0.1\n14\n10\n2.5\nE\n30\n1000\n200\n";

std::string gerar(const std::string& opcoes, const char* respostas) { return arquivo_gerado(opcoes, respostas); }

// The file's lines, each passed through `mudar` with its number (from 1).
template <typename F>
std::string mudar_linhas(const std::string& arquivo, F mudar) {
    std::string r;
    std::size_t inicio = 0, numero = 0;
    while (inicio < arquivo.size()) {
        std::size_t fim = arquivo.find('\n', inicio);
        if (fim == std::string::npos) fim = arquivo.size();
        r += mudar(arquivo.substr(inicio, fim - inicio), ++numero);
        if (fim < arquivo.size()) r += '\n';
        inicio = fim + 1;
    }
    return r;
}

// The number of the `n`-th line (from 1) matching `padrao`; 0 if none.
std::size_t linha_de(const std::string& arquivo, const std::regex& padrao, int n = 1) {
    std::size_t achada = 0;
    mudar_linhas(arquivo, [&](const std::string& l, std::size_t numero) {
        if (achada == 0 && std::regex_search(l, padrao) && --n == 0) achada = numero;
        return l;
    });
    return achada;
}

// The first line after `linha` matching `padrao`, or the last one before it; 0 if none.
std::size_t primeira_apos(const std::string& arquivo, const std::regex& padrao, std::size_t linha) {
    std::size_t achada = 0;
    mudar_linhas(arquivo, [&](const std::string& l, std::size_t n) {
        if (achada == 0 && n > linha && std::regex_search(l, padrao)) achada = n;
        return l;
    });
    return achada;
}
std::size_t ultima_antes(const std::string& arquivo, const std::regex& padrao, std::size_t linha) {
    std::size_t achada = 0;
    mudar_linhas(arquivo, [&](const std::string& l, std::size_t n) {
        if (n < linha && std::regex_search(l, padrao)) achada = n;
        return l;
    });
    return achada;
}

// Word `eixo` of a line passed through `f`.
template <typename F>
std::string mudar_eixo(const std::string& l, char eixo, F f) {
    std::smatch m;
    if (!std::regex_search(l, m, std::regex(std::string("([") + eixo + "])(-?[0-9.]+)"))) return l;
    char v[32];
    std::snprintf(v, sizeof v, "%.3f", f(std::stod(m[2])));
    return m.prefix().str() + m[1].str() + v + m.suffix().str();
}

void falha_na_linha(const std::string& arquivo, int verificacao, std::size_t linha) {
    const auto a = analisar_bytes(arquivo);
    const ResultadoVerificacao& r = a->verificacoes[verificacao];
    EXPECT_EQ(r.estado, Estado::falha) << falhas_por_linha(*a);
    bool achou = false;
    for (std::size_t i = 0; i < r.quantidade_linhas; ++i) achou = achou || r.linhas[i] == linha;
    EXPECT_TRUE(achou) << "linha " << linha << "\n" << falhas_por_linha(*a);
}

}  // namespace

TEST(VisualizarPerfis, ArquivosDoGeradorConferemEmCadaDialetoEModo) {
    const char* const novas[] = {"--perfis 3", "--perfis 4", "--perfis 9", "--entradas 2", "--entradas 3",
                                 "--passes-de-area-igual"};
    const char* const modos[] = {"", "--arcos", "--concordante", "--discordante", "--entrada-tangencial",
                                 "--compensacao", "--conica", "--repetir-acabamento 2", "--avanco-na-aresta",
                                 "--entrada-tangencial --concordante --arcos"};
    const char* const dialetos[] = {"padrao", "linuxcnc", "grbl", "fanuc"};
    std::size_t k = 0;
    for (const char* respostas : {interna, externa})
        for (const char* nova : novas)
            for (const char* modo : modos) {
                // Every dialect meets every option and every way; GRBL has no compensation.
                std::string dialeto = dialetos[k++ % 4];
                if (dialeto == "grbl" && std::string(modo) == "--compensacao") dialeto = "fanuc";
                const std::string opcoes = std::string(nova) + " " + modo + " --comando " + dialeto;
                SCOPED_TRACE(opcoes + " / " + std::string(respostas).substr(0, 1));
                const std::string arquivo = gerar(opcoes, respostas);
                ASSERT_TRUE(std::regex_search(arquivo, std::regex("tempo de corte pelo percurso", std::regex::icase)));
                const auto a = analisar_bytes(arquivo);
                EXPECT_TRUE(a->verificacoes.todas_ok()) << falhas_por_linha(*a);
                EXPECT_TRUE(a->verificacoes.visivel(V::entradas_e_saidas));
            }
}

// Starts a share of a degree past a whole one, a lead of several pitches on
// a taper, a revolution above the face: the header's deepest Z is each
// start's own, a start's helix is a degree's step from the exact one, and
// short chords at the face join their ways within the printing and the taper.
TEST(VisualizarPerfis, InicioFracionarioConicaERevolucaoAcimaDaFaceConferem) {
    const char* const respostas[] = {"I\n16\n14\n0.3\n0\n10\n25\n2\nE\n45.5\n1000\n200\n",
                                     "I\n24\n21\n0.4\n0.1\n16\n7\n3\nD\n350\n800\n150\n",
                                     "E\n12\n13\n0.2\n0.05\n8\n18\n1.75\nD\n12.5\n1500\n300\n"};
    const char* const opcoes[] = {"--entradas 7 --entrada-tangencial --concordante", "--entradas 4",
                                  "--entradas 7 --conica --entrada-tangencial",
                                  "--entradas 12 --passes-de-area-igual --conica --entrada-tangencial",
                                  "--perfis 2 --conica --concordante", "--perfis 5 --conica --entrada-tangencial"};
    for (const char* r : respostas)
        for (const char* o : opcoes) {
            SCOPED_TRACE(std::string(o) + " / " + std::string(r).substr(0, 8));
            const auto a = analisar_bytes(gerar(o, r));
            EXPECT_TRUE(a->verificacoes.todas_ok()) << falhas_por_linha(*a);
        }
}

TEST(VisualizarPerfis, RevolucoesForaDaFamiliaOuDoLugarFalhamNaLinha) {
    // Three profiles over 10 mm of a 2.5 pitch: two revolutions a pass.
    const std::string arquivo = gerar("--perfis 3", interna);
    ASSERT_NE(arquivo.find("3 perfis um passo entre si - 2 volta(s)"), std::string::npos);
    EXPECT_TRUE(analisar_bytes(arquivo)->verificacoes.todas_ok());

    // A helix point half a millimetre off every helix of the thread.
    const std::size_t ponto = linha_de(arquivo, std::regex("^g01 x.* z"), 200);
    ASSERT_GT(ponto, 0u);
    falha_na_linha(mudar_linhas(arquivo,
                                [&](const std::string& l, std::size_t n) {
                                    return n == ponto ? mudar_eixo(l, 'z', [](double z) { return z - 0.5; }) : l;
                                }),
                   V::profundidade_e_avanco, ponto);

    // The second revolution of the first pass a pitch too deep: spaced wrong.
    const std::size_t segunda = linha_de(arquivo, std::regex("passo lateral: 1 - fio rosca N: 2"));
    const std::size_t proximo = linha_de(arquivo, std::regex("passo lateral: 2 - fio rosca N: 1"));
    ASSERT_GT(segunda, 0u);
    ASSERT_GT(proximo, segunda);
    // Where it starts: the move onto the helix after its turn comment.
    const std::size_t inicio = primeira_apos(arquivo, std::regex("^g01 "), segunda);
    const std::size_t descida = ultima_antes(arquivo, std::regex("^g00 z"), segunda);
    const std::string funda = mudar_linhas(arquivo, [&](const std::string& l, std::size_t n) {
        return n >= descida && n < proximo && l.rfind("g0", 0) == 0
                   ? mudar_eixo(l, 'z', [](double z) { return z - 2.5; })
                   : l;
    });
    falha_na_linha(funda, V::profundidade_e_avanco, inicio);

    // That revolution left out: the next pass's first takes its place, too high.
    const std::string sem_volta = mudar_linhas(arquivo, [&](const std::string& l, std::size_t n) {
        return n >= segunda && n < proximo ? std::string(";") : l;
    });
    const auto a = analisar_bytes(sem_volta);
    EXPECT_EQ(a->verificacoes[V::profundidade_e_avanco].estado, Estado::falha) << falhas_por_linha(*a);
    EXPECT_EQ(a->verificacoes[V::raio_e_passes].estado, Estado::falha) << falhas_por_linha(*a);

    // A header whose revolutions do not reach from the face to L.
    std::string curta = arquivo;
    curta.replace(curta.find("2 volta(s)"), 1, "1");
    falha_na_linha(curta, V::profundidade_e_avanco, linha_de(arquivo, std::regex("Fresa de perfis")));
}

TEST(VisualizarPerfis, EntradaGiradaPasseDeAreaIgualETempoMudadosFalhamNaLinha) {
    // The second of three starts turned half a turn: it meets the face at 300 degrees, not 240.
    const std::string tres = gerar("--entradas 3", interna);
    EXPECT_TRUE(analisar_bytes(tres)->verificacoes.todas_ok());
    const std::size_t de = linha_de(tres, std::regex("passo lateral: 1 - fio rosca N: 1"), 3);
    const std::size_t ate = linha_de(tres, std::regex("passo lateral: 2 - fio rosca N: 1"));
    ASSERT_GT(de, 0u);
    ASSERT_GT(ate, de);
    // From the rapid move that puts the cutter at its start, where the check names it.
    const std::size_t rapido = ultima_antes(tres, std::regex("^g00 x"), de);
    auto girar = [](double v) { return -v; };
    const std::string girada = mudar_linhas(tres, [&](const std::string& l, std::size_t n) {
        return n >= rapido && n < ate && l.rfind("g0", 0) == 0 ? mudar_eixo(mudar_eixo(l, 'x', girar), 'y', girar)
                                                               : l;
    });
    falha_na_linha(girada, V::profundidade_e_avanco, rapido);

    // An equal-area pass moved in the header's list.
    const std::string area = gerar("--passes-de-area-igual", interna);
    const std::size_t item = linha_de(area, std::regex("passo lateral: 2 com diametro: 19.378"));
    ASSERT_GT(item, 0u);
    std::string movida = area;
    movida.replace(movida.find("19.378 [mm]"), 6, "19.300");
    falha_na_linha(movida, V::raio_e_passes, item);

    // The time by the path 0.2 minutes (13 %) off a 1.5 minute path.
    const std::size_t tempo = linha_de(area, std::regex("Tempo de corte pelo percurso: 1\\.5 "));
    ASSERT_GT(tempo, 0u);
    std::string mais = area;
    mais.replace(mais.find("percurso: 1.5"), 13, "percurso: 1.7");
    falha_na_linha(mais, V::entradas_e_saidas, tempo);
}
