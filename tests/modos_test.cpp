// The ways of cutting and the tapered thread, taken by LinuxCNC's own
// interpreter: every option alone and together, for both kinds and hands;
// the interpreter's moves (with the compensation it resolves) keep the
// cutter's centre on each pass's helix, at today's radius, in the direction
// asked for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/controles.hpp"
#include "apoio/dialetos.hpp"
#include "apoio/execucao.hpp"

namespace {

struct Trabalho {
    const char* nome;
    const char* respostas;
    bool interna, direita;
    double ferramenta;
};
const Trabalho trabalhos[] = {
    {"interna direita", "I\n20\n17\n0.5\n0.1\n10\n4\n1.5\nD\n0\n1000\n200\n", true, true, 10},
    {"interna esquerda", "I\n16\n14\n0.3\n0.1\n12\n6\n2\nE\n33\n4000\n200\n", true, false, 12},
    {"externa direita", "E\n20\n24\n0.5\n0.2\n10\n4\n1.5\nD\n90\n1000\n200\n", false, true, 10},
    {"externa esquerda", "E\n12\n14\n0.4\n0\n8\n3\n1\nE\n270.5\n1500\n300\n", false, false, 8},
};

// The one file a run wrote, whatever its name.
std::string unico_arquivo(const Execucao& r) {
    EXPECT_EQ(r.status, 0) << r.console.substr(r.console.size() > 400 ? r.console.size() - 400 : 0);
    EXPECT_EQ(r.outros_conteudos.size() + (r.arquivo_existe ? 1 : 0), 1u);
    if (r.arquivo_existe) return r.arquivo;
    return r.outros_conteudos.empty() ? std::string() : r.outros_conteudos.begin()->second;
}

// The pass diameters the header lists (index 0 is the blank, not a pass).
std::vector<double> diametros_dos_passes(const std::string& arquivo) {
    std::vector<double> r;
    std::istringstream texto(arquivo);
    bool lista = false;
    for (std::string l; std::getline(texto, l);) {
        int n;
        double d;
        if (std::sscanf(l.c_str(), ";passo lateral: %d com diametro: %lf", &n, &d) == 2) {
            if (!lista) r.clear();
            lista = true;
            if (n > 0) r.push_back(d);
        }
        double df;
        if (!lista && std::sscanf(l.c_str(), ";Df-Diametro final da rosca: %lf", &df) == 1) r = {df};
    }
    return r;
}

// What rs274 does with one file: the centre's moves about the axis (arcs
// about X0 Y0 and straight moves whose ends lie on a pass's circle), by
// pass radius, with their turning sense and whether they climb.
struct Helices {
    int arcos = 0, retas = 0;
    int giros_anti_horarios = 0, giros_horarios = 0;
    int subindo = 0, descendo = 0;
    int fora = 0;  // arcs about the axis off every pass radius
};

Helices ler_helices(const std::string& saida, const std::vector<double>& raios) {
    Helices h;
    auto no_passe = [&](double r) {
        for (double esperado : raios)
            if (std::fabs(r - esperado) < 0.002) return true;
        return false;
    };
    double x = 0, y = 0, z = 0;
    std::istringstream texto(saida);
    for (std::string l; std::getline(texto, l);) {
        const std::size_t a = l.find('(');
        if (a == std::string::npos) continue;
        double v[6] = {};
        int giro = 0;
        if (l.find("ARC_FEED(") != std::string::npos &&
            std::sscanf(l.c_str() + a + 1, "%lf, %lf, %lf, %lf, %d, %lf", &v[0], &v[1], &v[2], &v[3], &giro, &v[4]) == 6) {
            if (std::fabs(v[2]) < 1e-4 && std::fabs(v[3]) < 1e-4) {
                // About the axis: a helix arc.
                if (no_passe(std::hypot(v[0], v[1])) && no_passe(std::hypot(x, y))) {
                    ++h.arcos;
                    (giro > 0 ? h.giros_anti_horarios : h.giros_horarios)++;
                    (v[4] > z ? h.subindo : h.descendo)++;
                } else {
                    ++h.fora;
                }
            }
            x = v[0], y = v[1], z = v[4];
        } else if ((l.find("STRAIGHT_FEED(") != std::string::npos || l.find("STRAIGHT_TRAVERSE(") != std::string::npos) &&
                   std::sscanf(l.c_str() + a + 1, "%lf, %lf, %lf", &v[0], &v[1], &v[2]) == 3) {
            const bool corte = l.find("STRAIGHT_FEED(") != std::string::npos;
            // A move along the circle: a plunge onto it is not one.
            if (corte && no_passe(std::hypot(v[0], v[1])) && no_passe(std::hypot(x, y)) && std::fabs(v[2] - z) > 1e-9 &&
                std::hypot(v[0] - x, v[1] - y) > 1e-6 &&
                std::fabs(std::hypot(v[0], v[1]) - std::hypot(x, y)) < 0.002) {
                ++h.retas;
                const double giro_reta = x * v[1] - y * v[0];
                (giro_reta > 0 ? h.giros_anti_horarios : h.giros_horarios)++;
                (v[2] > z ? h.subindo : h.descendo)++;
            }
            x = v[0], y = v[1], z = v[2];
        }
    }
    return h;
}

struct Caso {
    const char* opcoes;
    bool arcos;
    int fresamento;  // 0 today's, 1 climb, -1 conventional
};
const Caso casos[] = {
    {"", false, 0},
    {"--arcos", true, 0},
    {"--concordante", false, 1},
    {"--discordante", false, -1},
    {"--entrada-tangencial", false, 0},
    {"--compensacao", true, 0},
    {"--repetir-acabamento 2", false, 0},
    {"--avanco-na-aresta", false, 0},
    {"--arcos --concordante --entrada-tangencial --compensacao", true, 1},
    {"--discordante --entrada-tangencial --repetir-acabamento 1 --avanco-na-aresta", false, -1},
};

TEST(ModosPontaAPonta, LinuxcncLeCadaModoEOCentroFicaNaHeliceNoSentidoPedido) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) is not installed";
    for (const Trabalho& t : trabalhos) {
        for (const Caso& c : casos) {
            SCOPED_TRACE(std::string(t.nome) + " " + c.opcoes);
            const std::string arquivo = unico_arquivo(
                executar_com_argumentos(std::string("--comando linuxcnc --ferramenta 1 ") + c.opcoes, t.respostas));
            char tabela[80];
            std::snprintf(tabela, sizeof tabela, "T1 P1 D%.8f Z0\n", t.ferramenta / 25.4);  // the table is in inches
            std::string saida;
            ASSERT_TRUE(rodar_rs274(arquivo, tabela, saida)) << saida.substr(saida.size() > 800 ? saida.size() - 800 : 0);

            std::vector<double> raios;
            for (double d : diametros_dos_passes(arquivo)) raios.push_back(t.interna ? d / 2 - t.ferramenta / 2 : d / 2 + t.ferramenta / 2);
            ASSERT_FALSE(raios.empty());
            const Helices h = ler_helices(saida, raios);
            EXPECT_EQ(h.fora, 0);
            if (c.arcos) {
                EXPECT_GT(h.arcos, 0);
                EXPECT_EQ(h.retas, 0);
            } else {
                EXPECT_EQ(h.arcos, 0);
                EXPECT_GT(h.retas, 300);
            }
            // Face down a right hand turns clockwise; climb milling turns
            // counter-clockwise inside and clockwise outside.
            bool anti_horario = !t.direita;
            if (c.fresamento != 0) anti_horario = (c.fresamento > 0) == t.interna;
            const int certos = anti_horario ? h.giros_anti_horarios : h.giros_horarios;
            const int errados = anti_horario ? h.giros_horarios : h.giros_anti_horarios;
            EXPECT_GT(certos, 0);
            EXPECT_EQ(errados, 0);
            // Against today's direction the helix is run up from the thread length.
            const bool sobe = anti_horario == t.direita;
            EXPECT_EQ(sobe ? h.descendo : h.subindo, 0);
        }
    }
}

TEST(ModosPontaAPonta, ArcosPoucasLinhasPorPasseEFimExatoEmL) {
    // M16x2, 20 mm deep, five passes: 18,274 lines in chords.
    const char* m16 = "I\n16\n13.835\n0.3\n0.1\n10\n20\n2\nD\n0\n3000\n300\n";
    const std::string cordas = executar_binario(m16).arquivo;
    const std::string arcos = unico_arquivo(executar_com_argumentos("--arcos", m16));
    const auto linhas = [](const std::string& s) { return std::count(s.begin(), s.end(), '\n'); };
    const auto passes = diametros_dos_passes(arcos).size();
    ASSERT_GE(passes, 4u);
    EXPECT_GT(linhas(cordas), 18000);
    // 10 turns a pass: at most 2N + 10 lines each, beside the header.
    EXPECT_LE(linhas(arcos) - linhas(cordas.substr(0, cordas.find("g51"))), static_cast<long>(passes * 30 + 20));
    // Every pass's last arc ends at the thread length.
    std::size_t fins = 0;
    for (std::size_t i = 0; (i = arcos.find(" z-20.000 i", i)) != std::string::npos; ++i) ++fins;
    EXPECT_EQ(fins, passes);
}

TEST(ModosPontaAPonta, AvancoNaArestaRepeticoesEConica) {
    const char* interna = trabalhos[0].respostas;
    // F x (D - Dt) / D for each pass, and the range on the console.
    Execucao r = executar_com_argumentos("--avanco-na-aresta --repetir-acabamento 2", interna);
    const std::string arquivo = unico_arquivo(r);
    EXPECT_NE(arquivo.find("\r\nf88.5\r\n"), std::string::npos);   // 200 x 7.933 / 17.933
    EXPECT_NE(arquivo.find("\r\nf100.0\r\n"), std::string::npos);  // the finishing pass at 20
    std::size_t avancos = 0;
    for (std::size_t i = 0; (i = arquivo.find("\r\nf", i)) != std::string::npos; ++i) ++avancos;
    EXPECT_EQ(avancos, 1u + 4 + 2);  // the preamble's, each pass's, the repetitions' 
    // The finishing pass three times in all.
    std::size_t acabamentos = 0;
    for (std::size_t i = 0; (i = arquivo.find(";passo lateral: 4 - fio rosca N: 1\r\n", i)) != std::string::npos; ++i)
        ++acabamentos;
    EXPECT_EQ(acabamentos, 3u);
    EXPECT_NE(r.console.find("\nModos de cortar: ultimo passe mais 2 vez(es); avanco na aresta, no centro 88.5 a 100.0 "
                             "[mm/min]\n\n------"),
              std::string::npos)
        << r.console;

    // A taper of 1:16: the radius narrows 1/32 mm per mm of depth inside, widens outside.
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) is not installed";
    for (const Trabalho& t : {trabalhos[0], trabalhos[2]}) {
        SCOPED_TRACE(t.nome);
        Execucao c = executar_com_argumentos("--conica --comando linuxcnc", t.respostas);
        std::string nome = c.outros_conteudos.empty() ? "" : c.outros_conteudos.begin()->first;
        EXPECT_EQ(nome, "ROSCA-HELICOIDAL_CONICA.ngc");
        std::string saida;
        ASSERT_TRUE(rodar_rs274(unico_arquivo(c), "", saida));
        // Within each pass, radius against depth along the helix.
        const auto moves = movimentos_canonicos(saida);
        int conferidos = 0;
        for (std::size_t i = 1; i < moves.size(); ++i) {
            const auto& a = moves[i - 1];
            const auto& b = moves[i];
            if (a.rapido || b.rapido || b.z >= 0 || a.z >= 0 || std::fabs(b.z - a.z) < 0.5 / 360) continue;
            const double inclinacao = (std::hypot(b.x, b.y) - std::hypot(a.x, a.y)) / (a.z - b.z);
            EXPECT_NEAR(inclinacao, t.interna ? -1.0 / 32 : 1.0 / 32, 0.35) << i;
            ++conferidos;
        }
        EXPECT_GT(conferidos, 500);
    }
}

TEST(ModosPontaAPonta, CombinacoesRecusadasSaoUmaLinhaEStatusDois) {
    for (const char* argumentos : {"--comando grbl --compensacao", "--conica --arcos", "--concordante --discordante",
                                   "--repetir-acabamento 6", "--repetir-acabamento 0", "--conicidade 1:2",
                                   "--conicidade 16", "--arcos=1", "--conica --compensacao"}) {
        SCOPED_TRACE(argumentos);
        const Execucao r = executar_com_argumentos(argumentos, trabalhos[0].respostas);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.console, "");
        EXPECT_TRUE(r.outros_arquivos.empty());
        EXPECT_EQ(r.erros.find('\n'), r.erros.size() - 1) << r.erros;
    }
}

// The extents and the machined diameter are the path's own: with arcs, their
// ends and every axis they cross, not points along them; a helix of less
// than a turn run up to the face, its end there.
TEST(ModosPontaAPonta, ExtremosSaoOsDoProprioPercurso) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) is not installed";
    const struct {
        const char *respostas, *opcoes;
        double ferramenta;
    } casos[] = {{"I 37 0 13.94 0.3 0.368 D 0 1000 200", "--arcos", 13.94},
                 {"I 42.6 0 21.67 1.96 2 D 0 1000 200", "--arcos", 21.67},
                 {"i 44,685 0 27,423 0,6 0,604 d 224 6838 1133", "--arcos --repetir-acabamento 1", 27.423},
                 {"I 58.34 0 19.9 1 1.19 D 187 1000 200", "--concordante", 19.9}};
    for (const auto& [respostas, opcoes, ferramenta] : casos) {
        SCOPED_TRACE(respostas);
        const std::string f = unico_arquivo(
            executar_com_argumentos(std::string("--comando linuxcnc --saida p.ngc ") + opcoes, respostas));
        std::string saida;
        ASSERT_TRUE(rodar_rs274(f, "", saida)) << saida;
        double x_max = 0, x_min = 0, y_max = 0, y_min = 0, x = 0, y = 0;
        auto alargar = [&](double a, double b) {
            x_max = std::max(x_max, a), x_min = std::min(x_min, a), y_max = std::max(y_max, b), y_min = std::min(y_min, b);
        };
        for (const MovimentoCanonico& m : ler_rs274(saida).movimentos) {
            if (m.tipo == MovimentoCanonico::Tipo::arco) {
                const double r = std::hypot(x - m.cx, y - m.cy), de = std::atan2(y - m.cy, x - m.cx) * 180 / 3.14159265358979;
                for (double a = std::ceil(std::min(de, de + m.varredura) / 90) * 90; a <= std::max(de, de + m.varredura); a += 90)
                    alargar(m.cx + r * std::round(std::cos(a * 3.14159265358979 / 180)),
                            m.cy + r * std::round(std::sin(a * 3.14159265358979 / 180)));
            }
            if (m.tipo != MovimentoCanonico::Tipo::rapido) alargar(m.x, m.y);
            x = m.x, y = m.y;
        }
        double xm, xn, ym, yn, diametro;
        ASSERT_EQ(std::sscanf(f.c_str() + f.find(";X MAX = "), ";X MAX = %lf --- X MIN = %lf", &xm, &xn), 2);
        ASSERT_EQ(std::sscanf(f.c_str() + f.find(";Y MAX = "), ";Y MAX = %lf --- Y MIN = %lf", &ym, &yn), 2);
        ASSERT_EQ(std::sscanf(f.c_str() + f.find(";DIAMETRO USINADO MAXIMO = "), ";DIAMETRO USINADO MAXIMO = %lf", &diametro), 1);
        EXPECT_NEAR(xm, x_max, 0.0051);
        EXPECT_NEAR(xn, x_min, 0.0051);
        EXPECT_NEAR(ym, y_max, 0.0051);
        EXPECT_NEAR(yn, y_min, 0.0051);
        EXPECT_NEAR(diametro, x_max - x_min + ferramenta, 0.0015);
    }
}

// A taper that narrows a bore's pass by more than its radius over the
// thread would take the path across the axis: refused, naming L, the taper
// and the radius; a gentler one is cut.
TEST(ModosPontaAPonta, ConicaQueCruzariaOEixoERecusada) {
    const char* const respostas = "I 3.13 0 1.44 7.7 3.4 D 0 1000 200";
    for (const char* modo : {"", " --entrada-tangencial"}) {
        SCOPED_TRACE(modo);
        const Execucao r = executar_com_argumentos(std::string("--conicidade 1:3 --saida p.TAP") + modo, respostas);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.outros_arquivos.empty());
        EXPECT_NE(r.console.find("ERRO! Com a conicidade 1:3 e L = 7.700 mm o raio do percurso do passe de diametro "
                                 "3.130 vai de 0.845 mm na face a -0."),
                  std::string::npos)
            << r.console;
        EXPECT_NE(r.console.find("o centro da fresa passaria pelo eixo da rosca."), std::string::npos);
        EXPECT_EQ(executar_com_argumentos(std::string("--conicidade 1:16 --saida p.TAP") + modo, respostas).status, 0);
    }
}

// The cutting time by the path is measured at the feed the file gives the
// control, rounded as written (F14 for 14.2), not at the one answered.
TEST(ModosPontaAPonta, TempoPeloPercursoNoAvancoEscrito) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) is not installed";
    const struct {
        const char *respostas, *opcoes;
    } casos[] = {{"I 4.09 3.85 0.08 0.032 2.11 3.27 3.27 D 0 1000 14.2", " --perfis 2"},
                 {"I 50.7 49.1 0.36 0 30.41 4 1.421 D 0 1000 22.7", ""}};
    for (const auto& [respostas, opcoes] : casos) {
        SCOPED_TRACE(respostas);
        const std::string f =
            unico_arquivo(executar_com_argumentos(std::string("--comando linuxcnc --saida p.ngc") + opcoes, respostas));
        std::string saida;
        ASSERT_TRUE(rodar_rs274(f, "", saida)) << saida;
        double minutos = 0, x = 0, y = 0, z = 0;
        for (const MovimentoCanonico& m : ler_rs274(saida).movimentos) {
            const double plano = m.tipo == MovimentoCanonico::Tipo::arco
                                     ? std::hypot(x - m.cx, y - m.cy) * std::fabs(m.varredura) * 3.14159265358979 / 180
                                     : std::hypot(m.x - x, m.y - y);
            if (m.tipo != MovimentoCanonico::Tipo::rapido) minutos += std::hypot(plano, m.z - z) / m.avanco;
            x = m.x, y = m.y, z = m.z;
        }
        const std::size_t i = f.find(";Tempo de corte pelo percurso: ");
        ASSERT_NE(i, std::string::npos);
        EXPECT_NEAR(std::strtod(f.c_str() + i + 31, nullptr), minutos, 0.0501);
    }
}

}  // namespace
