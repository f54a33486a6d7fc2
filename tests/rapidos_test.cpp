// Rapid moves below the face, as LinuxCNC's interpreter makes them: for
// every kind, hand, way of cutting and taper, the cutter crosses at rapid
// only where the drilled hole or the space round the blank leaves it clear;
// the viewer fails the plunges through the crests that earlier files made,
// at their lines, and passes the safe ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/dialetos.hpp"
#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"

namespace {

// A job and what the hole or the blank is, from its answers.
struct Trabalho {
    const char* respostas;  // without the hand and what follows it
    bool interna;
    double final, inicial, ferramenta, passo;
};
const Trabalho trabalhos[] = {
    {"I\n16.106\n14\n0.35\n0.05\n11.5\n24\n2\n", true, 16.106, 14, 11.5, 2},   // M16x2 from --medidas
    {"I\n20\n17.5\n0.5\n0.1\n14\n10\n2.5\n", true, 20, 17.5, 14, 2.5},
    {"I\n20\n17\n0.5\n0.1\n10\n4\n1.5\n", true, 20, 17, 10, 1.5},             // the manual's example
    {"I\n6.35\n5.1\n0.2\n0.05\n4\n8\n1.27\n", true, 6.35, 5.1, 4, 1.27},       // 1/4-20 UNC
    {"I\n10\n0\n8.5\n5\n1.5\n", true, 10, 0, 8.5, 1.5},                        // one pass
    {"E\n16.933\n20\n0.5\n0.1\n14\n12\n2.5\n", false, 16.933, 20, 14, 2.5},
    {"E\n16.933\n0\n6\n6\n2.5\n", false, 16.933, 0, 6, 2.5},
    {"E\n16.933\n0\n1\n5\n2.5\n", false, 16.933, 0, 1, 2.5},
};

const char* const modos[] = {
    "",
    "--concordante",
    "--discordante",
    "--entrada-tangencial --concordante",
    "--entrada-tangencial --discordante --arcos",
    "--compensacao --concordante",
    "--compensacao --discordante",
    "--repetir-acabamento 1 --entrada-tangencial --discordante",
    "--conica --entrada-tangencial --concordante",
    "--conica --discordante",
};

// Where rs274 takes the cutter's centre, move by move.
struct Passo {
    enum Tipo { rapido, corte } tipo;
    double x, y, z;
};
std::vector<Passo> passos_canonicos(const std::string& saida) {
    std::vector<Passo> r;
    std::istringstream texto(saida);
    for (std::string l; std::getline(texto, l);) {
        const bool rapido = l.find("STRAIGHT_TRAVERSE(") != std::string::npos;
        const bool reta = l.find("STRAIGHT_FEED(") != std::string::npos;
        const bool arco = l.find("ARC_FEED(") != std::string::npos;
        if (!rapido && !reta && !arco) continue;
        double v[6];
        if (std::sscanf(l.c_str() + l.find('(') + 1, "%lf, %lf, %lf, %lf, %lf, %lf", &v[0], &v[1], &v[2], &v[3], &v[4],
                        &v[5]) != 6)
            continue;
        // An arc in XY: its end in X and Y, then the centre, the turns, its end in Z.
        r.push_back({rapido ? Passo::rapido : Passo::corte, v[0], v[1], arco ? v[5] : v[2]});
    }
    return r;
}

// How far the cutting edge goes into the material with the centre at
// distance `r` from the axis and depth `prof`: beyond the drilled hole, or
// into the blank (answered, or the root and two pitches for one pass); a
// hole of unknown size only clears the axis.
double invasao(const Trabalho& t, double conicidade, double r, double prof) {
    if (t.interna) {
        if (t.inicial <= 0) return r <= 1e-3 ? -1 : r;
        if (r <= 1e-3) return -1;
        return r + t.ferramenta / 2 - (t.inicial - conicidade * prof) / 2;
    }
    const double blank = t.inicial > 0 ? t.inicial : t.final + 2 * t.passo;
    return (blank + conicidade * prof) / 2 - (r - t.ferramenta / 2);
}

// Every rapid below the face kept 0.1 mm clear along its whole length; a
// level rapid out of the groove just cut, towards the axis inside or away
// from it outside, counts from its end.
std::vector<std::string> rapidos_no_material(const Trabalho& t, double conicidade, const std::vector<Passo>& p) {
    std::vector<std::string> r;
    for (std::size_t i = 1; i < p.size(); ++i) {
        if (p[i].tipo != Passo::rapido) continue;
        Passo a = p[i - 1];
        const Passo& b = p[i];
        if (a.z >= -1e-4 && b.z >= -1e-4) continue;
        const double dx = b.x - a.x, dy = b.y - a.y;
        const bool saida = a.tipo == Passo::corte && std::fabs(b.z - a.z) < 1e-4 &&
                           (t.interna ? b.x * dx + b.y * dy <= 1e-6 : a.x * dx + a.y * dy >= -1e-6);
        if (saida) a = b;
        for (int k = 0; k <= 200; ++k) {
            const double s = k / 200.0;
            const double z = a.z + s * (b.z - a.z);
            if (z >= 0) continue;
            const double v = invasao(t, conicidade, std::hypot(a.x + s * dx * !saida, a.y + s * dy * !saida), -z);
            if (v > -0.1 + 2e-3) {
                char texto[160];
                std::snprintf(texto, sizeof texto, "rapido de (%.3f, %.3f, %.3f) a (%.3f, %.3f, %.3f): %.3f mm", a.x,
                              a.y, a.z, b.x, b.y, b.z, v);
                r.push_back(texto);
                break;
            }
        }
    }
    return r;
}

TEST(Rapidos, Rs274NuncaCruzaOMaterialEmRapido) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) nao instalado";
    int arquivos = 0;
    for (const Trabalho& t : trabalhos)
        for (const char* mao : {"D\n0\n", "E\n45.5\n"})
            for (const char* modo : modos) {
                const std::string opcoes = std::string("--comando linuxcnc --saida p.ngc ") + modo;
                const std::string respostas = std::string(t.respostas) + mao + "1000\n200\n";
                SCOPED_TRACE(opcoes + " | " + respostas);
                const Execucao e = executar_com_argumentos(opcoes, respostas);
                ASSERT_EQ(e.status, 0) << e.console.substr(e.console.size() > 300 ? e.console.size() - 300 : 0);
                const std::string& arquivo = e.outros_conteudos.at("p.ngc");
                char tabela[80];
                std::snprintf(tabela, sizeof tabela, "T1 P1 D%.8f Z0\n", t.ferramenta / 25.4);  // in inches
                std::string saida;
                ASSERT_TRUE(rodar_rs274(arquivo, tabela, saida)) << saida.substr(0, 400);
                const double conicidade = std::string(modo).find("--conica") != std::string::npos ? 1.0 / 16 : 0;
                EXPECT_EQ(rapidos_no_material(t, conicidade, passos_canonicos(saida)), std::vector<std::string>{});
                ++arquivos;
            }
    EXPECT_EQ(arquivos, 160);
}

std::string gerar(const std::string& opcoes, const std::string& respostas) {
    const Execucao e = executar_com_argumentos(opcoes + " --saida p.ngc", respostas);
    EXPECT_EQ(e.status, 0);
    const auto f = e.outros_conteudos.find("p.ngc");
    return f == e.outros_conteudos.end() ? std::string() : f->second;
}

// `antigo` (whole lines, CR LF between them) in place of `novo`; the line
// number of `linha_na_troca` within it.
std::size_t trocar(std::string& arquivo, const std::string& novo, const std::string& antigo, int linha_na_troca) {
    const std::size_t onde = arquivo.find("\r\n" + novo + "\r\n");
    EXPECT_NE(onde, std::string::npos) << novo;
    if (onde == std::string::npos) return 0;
    arquivo.replace(onde + 2, novo.size(), antigo);
    return static_cast<std::size_t>(std::count(arquivo.begin(), arquivo.begin() + static_cast<long>(onde) + 2, '\n')) +
           1 + static_cast<std::size_t>(linha_na_troca);
}

// Whether check 6 names line `linha`, first or among its notes.
bool seis_falha_na_linha(const Analise& a, std::size_t linha) {
    const ResultadoVerificacao& r = a.verificacoes[Verificacoes::rapidos_e_preambulo];
    if (r.estado != Estado::falha) return false;
    if (r.linha == linha) return true;
    return std::any_of(r.notas.begin(), r.notas.end(), [linha](const auto& n) { return n.linha == linha; });
}

// The moves earlier files made, put back by hand: each plunge or rise through
// the crests fails check 6 at its own line.
TEST(Rapidos, MergulhosAntigosFalhamNaSuaLinha) {
    const std::string m16 = "I\n16.106\n14\n0.35\n0.05\n11.5\n24\n2\nD\n0\n2800\n400\n";
    {
        // Down at the start of the arc into the helix, 0.106 mm into the wall.
        std::string f = gerar("--comando linuxcnc --arcos --concordante --entrada-tangencial", m16);
        const std::size_t linha = trocar(f, "G0 X0.000 Y0.000\r\nG0 Z-24.250\r\n;passo lateral: 2 - fio rosca N: 1",
                                         "G0 X0.959 Y-0.959\r\nG0 Z-24.250\r\n;passo lateral: 2 - fio rosca N: 1", 1);
        const auto a = analisar_bytes(f);
        EXPECT_TRUE(seis_falha_na_linha(*a, linha)) << relatorio_de(*a, "f");
        EXPECT_NE(a->verificacoes[6].detalhe.find("0.106 mm dentro da parede do furo"), std::string::npos)
            << a->verificacoes[6].detalhe;
        // The same plunge a little farther out: 0.87 mm into the wall.
        std::string g = gerar("--comando linuxcnc --arcos --concordante --entrada-tangencial", m16);
        const std::size_t l2 = trocar(g, "G0 X0.000 Y0.000\r\nG0 Z-24.250\r\n;passo lateral: 2 - fio rosca N: 1",
                                      "G0 X1.500 Y-1.500\r\nG0 Z-24.250\r\n;passo lateral: 2 - fio rosca N: 1", 1);
        EXPECT_TRUE(seis_falha_na_linha(*analisar_bytes(g), l2));
    }
    {
        const std::string i20 = "I\n20\n17.5\n0.5\n0.1\n14\n10\n2.5\nD\n0\n3000\n.05\n";
        std::string f = gerar("--comando linuxcnc --arcos --concordante --entrada-tangencial", i20);
        const std::size_t linha =
            trocar(f, "G0 X0.000 Y0.000\r\nG0 Z-10.312\r\n;passo lateral: 4 - fio rosca N: 1",
                   "G0 X1.500 Y-1.500\r\nG0 Z-10.312\r\n;passo lateral: 4 - fio rosca N: 1", 1);
        EXPECT_TRUE(seis_falha_na_linha(*analisar_bytes(f), linha));
    }
    {
        // Up from the way out's end with the compensation on, without first
        // reaching the axis along the arc's circle.
        std::string f = gerar("--comando linuxcnc --compensacao", m16);
        const std::size_t linha = trocar(f, "G2 X-5.750 Y-0.000 Z-24.250 I0.000 J6.709\r\nG0 Z5.000", "G0 Z5.000", 0);
        EXPECT_TRUE(seis_falha_na_linha(*analisar_bytes(f), linha));
    }
    {
        // One external pass: the way out ended 1.03 mm off the root, inside a 20 mm blank.
        std::string f = gerar("--comando linuxcnc --entrada-tangencial --arcos", "E\n16.933\n0\n14\n6\n2.5\nD\n45\n1000\n200\n");
        const std::size_t linha = trocar(f, "G3 X-18.185 Y6.424 Z-6.141 I-3.457 J0.548\r\nG0 Z5",
                                         "G3 X-16.107 Y3.564 Z-6.040 I-0.988 J0.157\r\nG0 Z5", 1);
        EXPECT_TRUE(seis_falha_na_linha(*analisar_bytes(f), linha));
    }
}

// One pass from the thread length up: down on the axis of the bore, or far
// outside the blank. Neither is a fault.
TEST(Rapidos, PasseUnicoDeBaixoParaCimaConfere) {
    int arquivos = 0;
    for (const char* tipo : {"I\n20\n0\n", "E\n16.933\n0\n"})
        for (const char* ferramenta : {"4", "8", "10", "14", "16"})
            for (const char* mao : {"D", "E"}) {
                const bool interna = tipo[0] == 'I';
                const std::string respostas =
                    std::string(tipo) + ferramenta + "\n6\n2.5\n" + mao + "\n0\n1000\n200\n";
                // Climb inside a right-hand bore and conventional round a
                // right-hand pin run up; the left hands the other way.
                const bool sobe_concordante = interna == (mao[0] == 'D');
                const std::string f =
                    gerar(std::string("--comando linuxcnc ") + (sobe_concordante ? "--concordante" : "--discordante"),
                          respostas);
                ASSERT_NE(f.find("de baixo para cima"), std::string::npos) << respostas;
                const auto a = analisar_bytes(f);
                EXPECT_TRUE(a->verificacoes.todas_ok()) << respostas << relatorio_de(*a, "f");
                ++arquivos;
            }
    EXPECT_EQ(arquivos, 20);
}

// Below L the path goes by the arcs into and out of the helix: the header and
// the screen say how deep, and the viewer holds the file to it.
TEST(Rapidos, ZMinimoAbaixoDeLNoCabecalhoENaTela) {
    const std::string m16 = "I\n16.106\n14\n0.35\n0.05\n11.5\n24\n2\nD\n0\n2800\n400\n";
    const Execucao e = executar_com_argumentos("--comando linuxcnc --entrada-tangencial --saida p.ngc", m16);
    ASSERT_EQ(e.status, 0);
    std::string f = e.outros_conteudos.at("p.ngc");
    EXPECT_NE(f.find("\r\n;Z minimo do percurso: -24.250 [mm]\r\n"), std::string::npos);
    EXPECT_NE(e.console.find("\nZ minimo do percurso: -24.250 [mm], 0.250 abaixo de L: o furo precisa dessa "
                             "profundidade mais a ponta da fresa"),
              std::string::npos);
    EXPECT_TRUE(analisar_bytes(f)->verificacoes.todas_ok());
    // Without the line the hole would be drilled to L.
    f.erase(f.find(";Z minimo do percurso"), std::string(";Z minimo do percurso: -24.250 [mm]\r\n").size());
    const auto a = analisar_bytes(f);
    EXPECT_NE(a->verificacoes[Verificacoes::profundidade_e_avanco].detalhe.find(
                  "o percurso desce a Z -24.250, abaixo de L 24.00, e o cabecalho nao diz"),
              std::string::npos)
        << relatorio_de(*a, "f");
    // What the compensation's register holds: the radius on a Fanuc.
    const std::string fanuc = gerar("--comando fanuc --compensacao", m16);
    EXPECT_NE(fanuc.find("(COMPENSACAO DE RAIO: D1 - RAIO DA FRESA NO CORRETOR, NA HAAS RAIO OU DIAMETRO CONFORME O "
                         "AJUSTE DO COMANDO)"),
              std::string::npos);
    EXPECT_TRUE(analisar_bytes(fanuc)->modelo.cabecalho.compensacao());
}

// The viewer measures a helical arc along the helix, and times each move at
// the feed in force: arcs and chords of the same job agree, and a feed per
// pass is taken pass by pass.
TEST(Rapidos, ComprimentoPelosArcosETempoNoAvancoDeCadaPasse) {
    const std::string i20 = "I\n20\n17.5\n0.5\n0.1\n14\n20\n2.5\nD\n0\n3000\n.05\n";
    const auto cordas = analisar_bytes(gerar("--comando linuxcnc", i20));
    const auto arcos = analisar_bytes(gerar("--comando linuxcnc --arcos", i20));
    EXPECT_NEAR(arcos->modelo.comprimento, cordas->modelo.comprimento, 0.001 * cordas->modelo.comprimento);
    EXPECT_NEAR(cordas->modelo.minutos, cordas->modelo.comprimento / 150, 1e-9);
    // At the cutting edge's feed every pass has its centre's share of it.
    const auto aresta = analisar_bytes(gerar("--comando linuxcnc --arcos --avanco-na-aresta", i20));
    EXPECT_GT(aresta->modelo.minutos, 1.1 * aresta->modelo.comprimento / 150);
}

}  // namespace
