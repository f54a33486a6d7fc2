// The pass blocks of the tool path, checked byte for byte on hand-made plans.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "apoio/execucao.hpp"
#include "nucleo/numerico.hpp"
#include "driver/parada_critica.hpp"
#include "output/gerar_passes.hpp"
#include "output/ponto_helice.hpp"

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

std::string gerar(DadosRosca& d) {
    std::string bytes;
    SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&bytes));
    gerar_passes(d, arquivo);
    arquivo.fechar();
    return bytes;
}

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
    EXPECT_EQ(std::vector<float>({d.x_max, d.x_min, d.y_max, d.y_min, d.z_atual}),
              std::vector<float>({5, -5, 5, -5, 2}));
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
        EXPECT_EQ(d.z_atual, c.comprimento);
    }
}

TEST(GerarPasses, SequenciasDePassesInternaExternaESoAcabamento) {
    DadosRosca interna = planejado('I', 20, 17, 0.5f, 0.1f, 3);
    EXPECT_EQ(sequencia(gerar(interna)), "1=17.933 2=18.867 3=19.800 4=20.000 ");
    EXPECT_EQ(interna.acabamento_feito, 1);
    // Computed afresh; accumulating once more would give 19.999997.
    EXPECT_EQ(interna.diametro_passe, 20.0f);

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
    const std::string codigo_011 = "\n\aERRO CRITICO - CODE #011\nEstrutura if-else-if nao definida.\n\a";
    struct Caso {
        float x, y;
        const char* esperado;
    } casos[] = {{0, 1, "\r\ng00 x-13.000 y13.000"},  {-0.0f, -0.0f, "\r\ng00 x-13.000 y13.000"},
                 {-1, -1, "\r\ng00 x-13.000 y-13.000"}, {1, 0, "\r\ng00 x13.000 y13.000"},
                 {1, -1, "\r\ng00 x13.000 y-13.000"},   {NAN, 1, nullptr}};
    for (const Caso& c : casos) {
        DadosRosca d = exemplo();
        d.x_atual = c.x;
        d.y_atual = c.y;
        std::string bytes;
        try {
            SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&bytes));
            retracao_externa(d, arquivo, 10.0);
            EXPECT_NE(c.esperado, nullptr);
        } catch (const ParadaCritica& p) {
            EXPECT_EQ(c.esperado, nullptr);
            EXPECT_EQ(p.mensagem, codigo_011);
        }
        EXPECT_EQ(bytes, c.esperado ? c.esperado : "");
    }
}

}  // namespace

namespace {

// The whole pass sequence written the plain way, one snprintf per piece and a
// sine and a cosine per point, to check the generator's shortcuts against.
namespace direto {

void escrever(std::string& s, const char* formato, auto... valores) {
    char texto[512];
    const int n = std::snprintf(texto, sizeof texto, formato, valores...);
    for (int i = 0; i < n; ++i) {
        if (texto[i] == '\n') s += '\r';
        s += texto[i];
    }
}

PontoHelice ponto(double raio, double graus, bool direita) {
    const double rad = graus * grau_para_radiano;
    return {armazenar(static_cast<estendido>(std::cos(rad)) * raio),
            armazenar(static_cast<estendido>(std::sin(rad)) * (direita ? -raio : raio))};
}

void passe(DadosRosca& d, std::string& s) {
    const bool interna = rosca_interna(d);
    const bool direita = sentido_direita(d);
    const double meio = static_cast<double>(d.diametro_passe) / 2;
    const double raio = interna ? meio - static_cast<double>(d.D_ferramenta) / 2
                                : meio + static_cast<double>(d.D_ferramenta) / 2;
    PontoHelice p = ponto(raio, d.angulo_inicial, direita);
    d.x_atual = p.x;
    d.y_atual = p.y;
    escrever(s, "\ng00 x%0.3f y%0.3f\n", static_cast<double>(p.x), static_cast<double>(p.y));
    for (d.fio = 0; d.z_atual <= d.comprimento_rosca; ++d.fio) {
        escrever(s, interna ? "\n;passo lateral: %d - fio rosca N: %d\n;diametro: %.3f [mm]\n"
                            : "\n;passo lateral: %d - fio rosca N: %d\n;diametro: %.2f [mm]\n",
                 d.passe, d.fio + 1, static_cast<double>(d.diametro_passe));
        d.angulo_atual = static_cast<std::int32_t>(estender(d.angulo_inicial) + 1);
        for (d.passo_grau = 1; d.passo_grau <= 360; ++d.passo_grau, ++d.angulo_atual) {
            p = ponto(raio, d.angulo_atual, direita);
            d.x_atual = p.x;
            d.y_atual = p.y;
            d.z_atual = armazenar(static_cast<estendido>(d.passo_grau) * estender(d.passo_z_grau) +
                                  static_cast<estendido>(d.fio) * estender(d.passo_rosca));
            escrever(s, "\ng01 x%0.3f y%0.3f z-%0.3f", static_cast<double>(d.x_atual),
                     static_cast<double>(d.y_atual), static_cast<double>(d.z_atual));
            d.x_max = d.x_atual > d.x_max ? d.x_atual : d.x_max;
            d.x_min = d.x_atual < d.x_min ? d.x_atual : d.x_min;
            d.y_max = d.y_atual > d.y_max ? d.y_atual : d.y_max;
            d.y_min = d.y_atual < d.y_min ? d.y_atual : d.y_min;
            if (d.z_atual >= d.comprimento_rosca) {
                d.z_atual = d.comprimento_rosca;
                break;
            }
        }
        escrever(s, "\n");
        if (d.z_atual >= d.comprimento_rosca) break;
    }
    if (interna) {
        escrever(s, "\ng0 x0 y0\ng0 z%.0f\n", static_cast<double>(d.altura_retracao_interna));
        return;
    }
    const double rc = raio + static_cast<double>(d.folga_retracao);
    if (std::isnan(d.x_atual) || std::isnan(d.y_atual)) throw ParadaCritica{"#011"};
    escrever(s, "\ng00 x%.3f y%.3f", d.x_atual > 0 ? rc : -rc, d.y_atual >= 0 ? rc : -rc);
    escrever(s, "\ng0 z%.0f\n", static_cast<double>(d.altura_retracao_externa));
}

void passes(DadosRosca& d, std::string& s) {
    const estendido sinal = rosca_interna(d) ? 1 : -1;
    const estendido passo = sinal * (estender(d.passo_lateral) + estender(d.passo_lateral));
    d.passe = d.Diametro_inicial == 0 ? 0 : 1;
    d.diametro_passe = armazenar(estender(d.Diametro_inicial == 0 ? d.Diametro_final : d.Diametro_inicial) + passo);
    for (; d.passe <= d.passes_laterais_int; ++d.passe) {
        passe(d, s);
        d.diametro_passe = armazenar(estender(d.diametro_passe) + passo);
    }
    if (d.Diametro_final != d.Diametro_final_total && d.acabamento_feito == 0) {
        d.acabamento_feito = 1;
        d.diametro_passe = armazenar((estender(d.Diametro_inicial) + passo * (static_cast<estendido>(d.passe) - 1)) +
                                     sinal * (estender(d.passo_lateral_acabamento) + estender(d.passo_lateral_acabamento)));
        passe(d, s);
    }
    if (!rosca_interna(d)) escrever(s, "\ng0 x0 y0\n");
}

}  // namespace direto

// The record fields the generator leaves behind, as one comparable text.
std::string estado(const DadosRosca& d) {
    char texto[512];
    std::snprintf(texto, sizeof texto, "%a %a %a | %a %a %a %a | %d %d %d %d %d %a",
                  static_cast<double>(d.x_atual), static_cast<double>(d.y_atual),
                  static_cast<double>(d.z_atual), static_cast<double>(d.x_max),
                  static_cast<double>(d.x_min), static_cast<double>(d.y_max),
                  static_cast<double>(d.y_min), d.passe, d.fio, d.passo_grau, d.angulo_atual,
                  d.acabamento_feito, static_cast<double>(d.diametro_passe));
    return texto;
}

TEST(GerarPasses, IgualAoGeradorDiretoEmTrabalhosVariados) {
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
        DadosRosca esperado_d = c.d;
        std::string esperado;
        direto::passes(esperado_d, esperado);
        DadosRosca obtido_d = c.d;
        const std::string obtido = gerar(obtido_d);
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
        EXPECT_EQ(estado(obtido_d), estado(esperado_d));
    }
}

TEST(GerarPasses, CoordenadaQueNaoENumeroParaNoCodigo011ComOMesmoArquivo) {
    // An external pass whose points are not numbers: the file up to the stop is
    // the same as the plain generator's, and the stop is #011.
    DadosRosca d = exemplo();
    d.tipo_rosca = 'E';
    d.D_ferramenta = NAN;
    DadosRosca esperado_d = d;
    std::string esperado;
    EXPECT_THROW(direto::passes(esperado_d, esperado), ParadaCritica);
    std::string obtido;
    try {
        SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&obtido));
        gerar_passes(d, arquivo);
        ADD_FAILURE() << "no stop";
    } catch (const ParadaCritica& p) {
        EXPECT_NE(p.mensagem.find("CODE #011"), std::string::npos);
    }
    EXPECT_TRUE(obtido == esperado);
    EXPECT_NE(obtido.find("nan z-0.003"), std::string::npos);
}

TEST(GerarPasses, LinhasPrevistasBatemComAsEscritas) {
    // Two full turns a pass, and three passes ending on a partial turn.
    DadosRosca d = exemplo();
    EXPECT_EQ(linhas_previstas(d), 733.0);
    EXPECT_EQ(linhas(gerar(d)).size(), 733u);
    DadosRosca varios = planejado('I', 20, 17, 0.5f, 0.1f, 3);
    varios.comprimento_rosca = 2.5f;
    EXPECT_EQ(linhas_previstas(varios), 4.0 * (5 + 3 * 364));
    // A plan with nothing to cut but the finishing pass, and one with no pass at all.
    EXPECT_EQ(linhas_previstas(planejado('I', 20, 18, 1, 1, 0)), 5.0 + 364);
    DadosRosca nenhum = planejado('I', 20, 18, 1, 1, 0);
    nenhum.Diametro_final = nenhum.Diametro_final_total;
    EXPECT_EQ(linhas_previstas(nenhum), 0.0);
}

}  // namespace
