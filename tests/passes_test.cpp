// The pass blocks of the tool path, checked byte for byte on hand-made plans,
// and the fast chord writer against the plain one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <random>

#include "apoio/execucao.hpp"
#include "trabalho/parada_critica.hpp"
#include "emissao/emissor.hpp"
#include "nucleo/numerico.hpp"
#include "percurso/construir.hpp"

namespace {

// Internal, Df 20, no initial diameter, cutter 10, L 2, p 1, right hand, start 0.
DadosRosca exemplo() {
    DadosRosca d;
    d.tipo_rosca = 'I';
    d.Diametro_final = d.Diametro_final_total = 20;
    d.D_ferramenta = 10;
    d.comprimento_rosca = 2;
    d.passo_rosca = 1;
    d.passo_z_grau = armazenar(estender(1.0f) / 360);
    d.sentido_rosca = 'D';
    return d;
}

// A multi-pass plan as the planner leaves it, one turn per pass.
DadosRosca planejado(char tipo, float df, float di, float pl, float pla, int n) {
    DadosRosca d = exemplo();
    d.tipo_rosca = tipo;
    d.comprimento_rosca = 1;
    d.Diametro_inicial = di;
    d.passo_lateral_acabamento = pla;
    d.passes_laterais_int = n;
    const estendido acabamento = estender(pla) + estender(pla);
    d.Diametro_final = armazenar(tipo == 'I' ? estender(df) - acabamento : estender(df) + acabamento);
    const estendido distancia = tipo == 'I' ? estender(d.Diametro_final) - estender(di) : estender(di) - estender(d.Diametro_final);
    d.passo_lateral = n > 0 ? armazenar((distancia / 2) / n) : pl;
    return d;
}

// The passes of the planned job, in today's dialect; the extents land in the record.
std::string gerar(DadosRosca& d, OpcoesEmissao opcoes = {}) {
    std::string bytes;
    SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&bytes));
    Emissor emissor(vocabulario::padrao, arquivo, opcoes);
    emissor.passes(construir_percurso(d));
    arquivo.fechar();
    d.x_max = emissor.extremos().x_max;
    d.x_min = emissor.extremos().x_min;
    d.y_max = emissor.extremos().y_max;
    d.y_min = emissor.extremos().y_min;
    return bytes;
}

std::string gerar_simples(DadosRosca& d) { return gerar(d, OpcoesEmissao{.escrita_simples = true}); }

// Lines of a CR LF text that ends with its line break.
std::vector<std::string> linhas(const std::string& bytes, const std::string& prefixo = "") {
    std::vector<std::string> r;
    for (std::size_t i = 0, fim; (fim = bytes.find("\r\n", i)) != std::string::npos; i = fim + 2)
        if (bytes.compare(i, prefixo.size(), prefixo) == 0) r.push_back(bytes.substr(i, fim - i));
    return r;
}

// "pass=diameter" for every turn comment, to read a pass sequence at a glance.
std::string sequencia(const std::string& bytes) {
    std::string r;
    for (const auto& l : linhas(bytes, ";")) {
        if (l.starts_with(";passo lateral: ")) r += l.substr(16, l.find(' ', 16) - 16) + "=";
        else r += l.substr(11, l.find(' ', 11) - 11) + " ";
    }
    return r;
}

TEST(GerarPasses, ExemploTrabalhadoBlocoInteiroEExtremos) {
    // Built straight from the description: radius 5, two turns of 360 points.
    std::string esperado = "\r\ng00 x5.000 y-0.000\r\n";
    const float passo_z = armazenar(estender(1.0f) / 360);
    for (int fio = 0; fio < 2; ++fio) {
        esperado += "\r\n;passo lateral: 0 - fio rosca N: " + std::to_string(fio + 1) +
                    "\r\n;diametro: 20.000 [mm]\r\n";
        for (int grau = 1; grau <= 360; ++grau) {
            const double rad = grau * (3.14159265 / 180);
            char linha[80];
            std::snprintf(linha, sizeof linha, "\r\ng01 x%0.3f y%0.3f z-%0.3f",
                          static_cast<float>(std::cos(rad) * 5.0L),
                          static_cast<float>(std::sin(rad) * -5.0L),
                          static_cast<float>(grau * estender(passo_z) + fio));
            esperado += linha;
        }
        esperado += "\r\n";
    }
    esperado += "\r\ng0 x0 y0\r\ng0 z5\r\n";

    DadosRosca d = exemplo();
    const std::string bytes = gerar(d);
    EXPECT_EQ(bytes, esperado);

    // Lines as the description lists them, independent of the formulas above.
    const auto l = linhas(bytes);
    ASSERT_EQ(l.size(), 733u);
    EXPECT_EQ(l[6] + l[95] + l[275], "g01 x4.999 y-0.087 z-0.003g01 x0.000 y-5.000 z-0.250g01 x-0.000 y5.000 z-0.750");
    EXPECT_EQ(l[185] + l[729], "g01 x-5.000 y-0.000 z-0.500g01 x5.000 y0.000 z-2.000");
    EXPECT_EQ(std::vector<float>({d.x_max, d.x_min, d.y_max, d.y_min}), std::vector<float>({5, -5, 5, -5}));
}

TEST(GerarPasses, ParadaNoComprimentoAnguloInicialEMao) {
    struct Caso {
        float comprimento, passo, angulo;
        char sentido;
        std::size_t pontos;
        const char *g00, *primeiro, *ultimo;
    } casos[] = {
        {2.5f, 1, 0, 'D', 900, "g00 x5.000 y-0.000", "g01 x4.999 y-0.087 z-0.003", "g01 x-5.000 y-0.000 z-2.500"},
        {1.001f, 1, 0, 'd', 361, "g00 x5.000 y-0.000", "g01 x4.999 y-0.087 z-0.003", "g01 x4.999 y-0.087 z-1.003"},
        {1.95f, 0.65f, 0, 'D', 1081, "g00 x5.000 y-0.000", "g01 x4.999 y-0.087 z-0.002", "g01 x4.999 y-0.087 z-1.952"},
        {1, 1, 359.5f, 'D', 360, "g00 x5.000 y0.044", "g01 x5.000 y0.000 z-0.003", "g01 x4.999 y0.087 z-1.000"},
        {2, 1, 0, 'E', 720, "g00 x5.000 y0.000", "g01 x4.999 y0.087 z-0.003", "g01 x5.000 y-0.000 z-2.000"},
    };
    for (const Caso& c : casos) {
        DadosRosca d = exemplo();
        d.comprimento_rosca = c.comprimento;
        d.passo_rosca = c.passo;
        d.passo_z_grau = armazenar(estender(c.passo) / 360);
        d.angulo_inicial = c.angulo;
        d.sentido_rosca = c.sentido;
        const std::string bytes = gerar(d);
        const auto g01 = linhas(bytes, "g01");
        SCOPED_TRACE(c.comprimento);
        ASSERT_EQ(g01.size(), c.pontos);
        EXPECT_EQ(linhas(bytes)[1], c.g00);
        EXPECT_EQ(g01.front(), c.primeiro);
        EXPECT_EQ(g01.back(), c.ultimo);
    }
}

TEST(GerarPasses, SequenciasDePassesInternaExternaESoAcabamento) {
    DadosRosca interna = planejado('I', 20, 17, 0.5f, 0.1f, 3);
    // The finishing pass computed afresh; accumulating once more would give 19.999997.
    EXPECT_EQ(sequencia(gerar(interna)), "1=17.933 2=18.867 3=19.800 4=20.000 ");

    DadosRosca so_acabamento = planejado('I', 20, 18, 1, 1, 0);
    EXPECT_EQ(sequencia(gerar(so_acabamento)), "1=20.000 ");

    DadosRosca externa = planejado('E', 20, 24, 0.5f, 0.2f, 4);
    const std::string bytes = gerar(externa);
    EXPECT_EQ(sequencia(bytes), "1=23.10 2=22.20 3=21.30 4=20.40 5=20.00 ");
    std::vector<std::string> cantos;
    const auto g00 = linhas(bytes, "g00");
    for (std::size_t i = 1; i < g00.size(); i += 2) cantos.push_back(g00[i]);
    EXPECT_EQ(cantos, (std::vector<std::string>{"g00 x19.550 y19.550", "g00 x19.100 y19.100",
                                                "g00 x18.650 y18.650", "g00 x18.200 y18.200",
                                                "g00 x18.000 y18.000"}));
    EXPECT_TRUE(bytes.ends_with("z-1.000\r\n\r\ng00 x18.000 y18.000\r\ng0 z5\r\n\r\ng0 x0 y0\r\n"));
}

TEST(RetracaoExterna, QuadrantesComOsEixosDoLadoCertoECodigo011) {
    // The corner of the square of half-side 10 + 3, in the quadrant of the
    // pass's last point; a coordinate of exactly 0 counts as negative X or
    // positive Y.
    struct Caso {
        double x, y;
        double canto_x, canto_y;
    } casos[] = {{0, 1, -13, 13}, {-0.0, -0.0, -13, 13}, {-1, -1, -13, -13}, {1, 0, 13, 13}, {1, -1, 13, -13}};
    for (const Caso& c : casos) {
        vocabulario::Canto canto;
        ASSERT_TRUE(vocabulario::canto_retracao(c.x, c.y, 13, canto));
        EXPECT_EQ(canto.x, c.canto_x);
        EXPECT_EQ(canto.y, c.canto_y);
    }
    vocabulario::Canto canto;
    EXPECT_FALSE(vocabulario::canto_retracao(NAN, 1, 13, canto));
}

}  // namespace

namespace {

// What the writer leaves in the record, as one comparable text.
std::string estado(const DadosRosca& d) {
    char texto[256];
    std::snprintf(texto, sizeof texto, "%a %a %a %a", static_cast<double>(d.x_max), static_cast<double>(d.x_min),
                  static_cast<double>(d.y_max), static_cast<double>(d.y_min));
    return texto;
}

void comparar_com_simples(DadosRosca d) {
    DadosRosca esperado_d = d;
    const std::string esperado = gerar_simples(esperado_d);
    const std::string obtido = gerar(d);
    EXPECT_EQ(obtido.size(), esperado.size());
    EXPECT_TRUE(obtido == esperado);
    if (obtido != esperado) {
        const auto a = linhas(obtido), b = linhas(esperado);
        for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
            if (a[i] != b[i]) {
                ADD_FAILURE() << "line " << i << ": " << a[i] << " instead of " << b[i];
                break;
            }
    }
    EXPECT_EQ(estado(d), estado(esperado_d));
}

TEST(GerarPasses, RapidoIgualAoSimplesEmTrabalhosVariados) {
    struct Caso {
        const char* nome;
        DadosRosca d;
    };
    std::vector<Caso> casos;
    auto ajustar = [](DadosRosca d, float comprimento, float passo, float angulo, char sentido) {
        d.comprimento_rosca = comprimento;
        d.passo_rosca = passo;
        d.passo_z_grau = armazenar(estender(passo) / 360);
        d.angulo_inicial = angulo;
        d.sentido_rosca = sentido;
        return d;
    };
    casos.push_back({"interna, tres passes e acabamento, ultima volta parcial",
                     ajustar(planejado('I', 20, 17, 0.5f, 0.1f, 3), 7.3f, 1.25f, 12.75f, 'D')});
    casos.push_back({"externa a esquerda, cinco passes, angulo com fracao",
                     ajustar(planejado('e', 20, 24, 0.5f, 0.2f, 4), 4.05f, 0.8f, 359.5f, 'e')});
    casos.push_back({"passe que acaba na primeira volta",
                     ajustar(planejado('I', 20, 17, 0.5f, 0.1f, 3), 0.3f, 1, 90.25f, 'd')});
    casos.push_back({"primeira volta inteira e um ponto da segunda", ajustar(exemplo(), 1.001f, 1, 0, 'D')});
    casos.push_back({"passo 0.65, o ponto 1081", ajustar(exemplo(), 1.95f, 0.65f, 0, 'E')});
    casos.push_back({"empate 0.0625 na primeira profundidade", ajustar(exemplo(), 45, 22.5f, 0, 'D')});
    // Coordinates too long for the short copy, and ones only the general formatter prints.
    DadosRosca grande = ajustar(exemplo(), 3, 1, 33.5f, 'D');
    grande.Diametro_final = grande.Diametro_final_total = 2e6f;
    casos.push_back({"raio de um milhao", grande});
    grande.Diametro_final = grande.Diametro_final_total = 3e38f;
    casos.push_back({"raio perto do maior float", grande});
    // Depths past the exact range of the shortcut.
    casos.push_back({"profundidades enormes", ajustar(exemplo(), 3e10f, 1e10f, 0, 'D')});

    for (Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        comparar_com_simples(c.d);
    }
}

TEST(GerarPasses, RapidoIgualAoSimplesEmTrabalhosAleatorios) {
    // Plans as the dialogue and the planner could leave them: kinds, hands,
    // start angles with fractions, pitches, lengths ending anywhere in a turn.
    std::mt19937 gerador(20261209);
    auto entre = [&](float a, float b) { return std::uniform_real_distribution<float>(a, b)(gerador); };
    for (int i = 0; i < 60; ++i) {
        const bool interna = i % 2 == 0;
        const int n = static_cast<int>(gerador() % 4);
        const float df = entre(4, 80);
        const float di = interna ? df - entre(0.5f, 3) : df + entre(0.5f, 3);
        DadosRosca d = planejado(interna ? 'I' : 'E', df, di, 0.5f, (gerador() % 3) * 0.05f, n);
        d.D_ferramenta = interna ? entre(0.5f, di * 0.9f) : entre(1, 30);
        d.passo_rosca = entre(0.2f, 3);
        d.passo_z_grau = armazenar(estender(d.passo_rosca) / 360);
        d.comprimento_rosca = entre(0.1f, 8);
        d.angulo_inicial = gerador() % 4 == 0 ? 0 : entre(0, 359.9f);
        d.sentido_rosca = "DdEe"[gerador() % 4];
        SCOPED_TRACE(i);
        comparar_com_simples(d);
    }
}

TEST(GerarPasses, CoordenadaQueNaoENumeroParaNoCodigo011ComOMesmoArquivo) {
    // An external pass whose points are not numbers has no corner to retract
    // to: the stop is #011, before the pass is written, with either writer.
    DadosRosca d = exemplo();
    d.tipo_rosca = 'E';
    d.D_ferramenta = NAN;
    std::string obtido[2];
    for (int simples = 0; simples < 2; ++simples) {
        try {
            SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&obtido[simples]));
            Emissor emissor(vocabulario::padrao, arquivo, OpcoesEmissao{.escrita_simples = simples == 1});
            emissor.passes(construir_percurso(d));
            ADD_FAILURE() << "no stop";
        } catch (const ParadaCritica& p) {
            EXPECT_EQ(p.mensagem, "\n\aERRO CRITICO - CODE #011\nEstrutura if-else-if nao definida.\n\a");
        }
    }
    EXPECT_TRUE(obtido[0] == obtido[1]);
    EXPECT_EQ(obtido[0].find("nan"), std::string::npos);
}

TEST(GerarPasses, LinhasPrevistasBatemComAsEscritas) {
    // Two full turns a pass, and three passes ending on a partial turn.
    DadosRosca d = exemplo();
    EXPECT_EQ(linhas_previstas(construir_percurso(d)), 733.0);
    EXPECT_EQ(linhas(gerar(d)).size(), 733u);
    DadosRosca varios = planejado('I', 20, 17, 0.5f, 0.1f, 3);
    varios.comprimento_rosca = 2.5f;
    EXPECT_EQ(linhas_previstas(construir_percurso(varios)), 4.0 * (5 + 3 * 364));
    // A plan with nothing to cut but the finishing pass, and one with no pass at all.
    EXPECT_EQ(linhas_previstas(construir_percurso(planejado('I', 20, 18, 1, 1, 0))), 5.0 + 364);
    DadosRosca nenhum = planejado('I', 20, 18, 1, 1, 0);
    nenhum.Diametro_final = nenhum.Diametro_final_total;
    EXPECT_EQ(linhas_previstas(construir_percurso(nenhum)), 0.0);
}

}  // namespace
