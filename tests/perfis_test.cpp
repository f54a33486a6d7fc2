// Mills with several profiles, threads with several starts and passes of
// equal area, as LinuxCNC's interpreter runs them: every point of a pass's
// helix lies on the thread's helix or a whole pitch from it (on one of the
// starts' helices), a pass's revolutions cover the thread from the face to L
// and are as many as the profiles allow; the path's own cutting time is told.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/dialetos.hpp"
#include "apoio/execucao.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;

struct Trabalho {
    const char* respostas;  // up to the pitch
    bool interna;
    double final, inicial, ferramenta, comprimento, passo;
};
const Trabalho trabalhos[] = {
    {"I\n20\n17.5\n0.5\n0.1\n14\n20\n2.5\n", true, 20, 17.5, 14, 20, 2.5},   // M20x2.5, the manual's
    {"I\n16\n14\n0.4\n0.1\n10\n11\n2\n", true, 16, 14, 10, 11, 2},            // L not a whole number of pitches
    {"E\n16.933\n20\n0.5\n0.1\n14\n12\n2.5\n", false, 16.933, 20, 14, 12, 2.5},
};

// A feed move's points as the interpreter takes them: its end, and along an
// arc the points between.
struct Ponto {
    double x, y, z;
};
struct Passe {
    std::vector<Ponto> pontos;
};

// The passes of rs274's canonical moves: each ends where the cutter rises
// above the face at rapid.
std::vector<Passe> passes_canonicos(const std::string& saida) {
    std::vector<Passe> passes(1);
    Ponto em{0, 0, 0};
    std::istringstream texto(saida);
    for (std::string l; std::getline(texto, l);) {
        const bool rapido = l.find("STRAIGHT_TRAVERSE(") != std::string::npos;
        const bool reta = l.find("STRAIGHT_FEED(") != std::string::npos;
        const bool arco = l.find("ARC_FEED(") != std::string::npos;
        if (!rapido && !reta && !arco) continue;
        double v[6];
        if (std::sscanf(l.c_str() + l.find('(') + 1, "%lf, %lf, %lf, %lf, %lf, %lf", &v[0], &v[1], &v[2], &v[3],
                        &v[4], &v[5]) != 6)
            continue;
        const Ponto fim{v[0], v[1], arco ? v[5] : v[2]};
        if (rapido) {
            if (fim.z > 0 && !passes.back().pontos.empty()) passes.emplace_back();
        } else if (reta) {
            passes.back().pontos.push_back(fim);
        } else {
            // ARC_FEED(end x, end y, centre x, centre y, turns, end z, ...): its points every degree.
            const double a0 = std::atan2(em.y - v[3], em.x - v[2]), a1 = std::atan2(fim.y - v[3], fim.x - v[2]);
            double varredura = a1 - a0;
            if (v[4] > 0 && varredura <= 0) varredura += 2 * pi;
            if (v[4] < 0 && varredura >= 0) varredura -= 2 * pi;
            const double r = std::hypot(em.x - v[2], em.y - v[3]);
            const int n = std::max(1, static_cast<int>(std::fabs(varredura) * 180 / pi));
            for (int k = 1; k <= n; ++k) {
                const double a = a0 + varredura * k / n;
                passes.back().pontos.push_back(
                    {v[2] + r * std::cos(a), v[3] + r * std::sin(a), em.z + (fim.z - em.z) * k / n});
            }
        }
        em = fim;
    }
    // A move in the air after a pass (the compensation turned off) is no pass.
    std::erase_if(passes, [](const Passe& p) {
        return std::none_of(p.pontos.begin(), p.pontos.end(), [](const Ponto& q) { return q.z < 0; });
    });
    return passes;
}

struct Resultado {
    int fora_da_familia = 0;       // helix points off every helix of the thread
    double topo = 1e9, fundo = -1e9;  // the lowest profile's shallowest and deepest depth on the helix
    double graus = 0;              // turned on the helix
    std::string exemplo;
};

// The helix points of a pass (the cutter's centre at the pass's radius) and
// what they say.
Resultado examinar(const Passe& p, double raio, bool direita, double angulo_inicial, double avanco_volta, double passo) {
    Resultado r;
    const double s = direita ? -1 : 1;
    bool antes = false;
    double t_antes = 0;
    for (const Ponto& q : p.pontos) {
        // Three decimals leave a point of the helix within 0.0007 of its circle.
        if (std::fabs(std::hypot(q.x, q.y) - raio) > 0.0008) {
            antes = false;
            continue;
        }
        const double t = std::atan2(s * q.y, q.x) * 180 / pi;
        // The depth the helix through the face at the start angle has here, less whole pitches.
        const double prof = -q.z;
        double desvio = std::fmod(prof - (t - angulo_inicial) / 360 * avanco_volta, passo);
        if (desvio < 0) desvio += passo;
        desvio = std::min(desvio, passo - desvio);
        // Chords of one degree and three decimals.
        if (desvio > passo / 360 + 0.003) {
            if (r.fora_da_familia++ == 0) {
                char texto[120];
                std::snprintf(texto, sizeof texto, "(%.3f, %.3f, %.3f) a %.4f mm da helice", q.x, q.y, q.z, desvio);
                r.exemplo = texto;
            }
        }
        r.topo = std::min(r.topo, prof);
        r.fundo = std::max(r.fundo, prof);
        if (antes) {
            double d = t - t_antes;
            while (d > 180) d -= 360;
            while (d < -180) d += 360;
            r.graus += std::fabs(d);
        }
        antes = true;
        t_antes = t;
    }
    return r;
}

std::string gerar(const std::string& opcoes, const std::string& respostas, std::string* console = nullptr) {
    const Execucao e = executar_com_argumentos(opcoes + " --saida p.ngc", respostas);
    EXPECT_EQ(e.status, 0) << opcoes << "\n" << e.console.substr(e.console.size() > 300 ? e.console.size() - 300 : 0);
    if (console) *console = e.console;
    const auto f = e.outros_conteudos.find("p.ngc");
    return f == e.outros_conteudos.end() ? std::string() : f->second;
}

TEST(Perfis, Rs274PerfisEEntradasNaFamiliaDaRoscaDaFaceAteL) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) nao instalado";
    const char* const modos[] = {"", "--arcos", "--concordante", "--discordante --entrada-tangencial",
                                 "--compensacao --concordante"};
    struct Opcao {
        const char* texto;
        int perfis, entradas;
    } opcoes[] = {{"--perfis 3", 3, 1}, {"--perfis 9", 9, 1}, {"--entradas 2", 1, 2}, {"--entradas 3", 1, 3}};
    int arquivos = 0;
    for (const Trabalho& t : trabalhos)
        for (const char* mao : {"D", "E"})
            for (const char* modo : modos)
                for (const Opcao& o : opcoes) {
                    const std::string argumentos = std::string("--comando linuxcnc ") + o.texto + " " + modo;
                    SCOPED_TRACE(argumentos + " | " + t.respostas + mao);
                    const std::string arquivo = gerar(argumentos, std::string(t.respostas) + mao + "\n0\n1000\n200\n");
                    char tabela[80];
                    std::snprintf(tabela, sizeof tabela, "T1 P1 D%.8f Z0\n", t.ferramenta / 25.4);  // inches
                    std::string saida;
                    ASSERT_TRUE(rodar_rs274(arquivo, tabela, saida)) << saida.substr(0, 400);
                    const std::vector<Passe> passes = passes_canonicos(saida);
                    ASSERT_FALSE(passes.empty());
                    // The last pass, at the final diameter.
                    const double raio = t.interna ? (t.final - t.ferramenta) / 2 : (t.final + t.ferramenta) / 2;
                    const double avanco_volta = t.passo * o.entradas;
                    std::vector<Resultado> r;
                    for (std::size_t i = passes.size() - static_cast<std::size_t>(o.entradas); i < passes.size(); ++i)
                        r.push_back(examinar(passes[i], raio, mao[0] == 'D', 0, avanco_volta, t.passo));
                    for (const Resultado& x : r) {
                        EXPECT_EQ(x.fora_da_familia, 0) << x.exemplo;
                        // The top profile reaches the face (the first chord one
                        // degree below it), the lowest one L.
                        EXPECT_LE(x.topo - (o.perfis - 1) * t.passo, avanco_volta / 360 + 0.003);
                        // Past L by at most the last chord and a degree of the arc out.
                        EXPECT_NEAR(x.fundo, t.comprimento, avanco_volta / 180 + 0.002);
                    }
                    const double voltas = r[0].graus / 360;
                    if (o.perfis > 1) {
                        const double esperadas = std::ceil(t.comprimento / (o.perfis * t.passo) - 1e-9);
                        EXPECT_NEAR(voltas, esperadas, 0.02);
                    } else {
                        EXPECT_NEAR(voltas, t.comprimento / avanco_volta, 0.02);
                    }
                    ++arquivos;
                }
    EXPECT_EQ(arquivos, 3 * 2 * 5 * 4);
}

// The manual's M20x2.5, 20 mm deep: a mill of 9 profiles cuts each pass in
// one revolution where the single profile takes eight.
TEST(Perfis, NovePerfisNumaVoltaEOTempoDoPercurso) {
    const std::string respostas = "I\n20\n17.5\n0.5\n0.1\n14\n20\n2.5\nD\n0\n3000\n.05\n";
    std::string um, nove;
    const std::string a = gerar("--comando linuxcnc", respostas, &um);
    const std::string b = gerar("--comando linuxcnc --perfis 9", respostas, &nove);
    EXPECT_NE(um.find("\nTempo de corte pelo percurso: 3.7 minutos\n"), std::string::npos);
    EXPECT_NE(nove.find("fresa de 9 perfis, 1 volta(s) por passe"), std::string::npos);
    EXPECT_NE(b.find("\r\n;Fresa de perfis: 9 perfis um passo entre si - 1 volta(s) por passe\r\n"), std::string::npos);
    EXPECT_LT(std::count(b.begin(), b.end(), '\n') * 6, std::count(a.begin(), a.end(), '\n'));
}

// Equal areas of a V profile: the same number of roughing passes, each at
// Di + (Da - Di) sqrt(i / m), in the header's list; the finishing pass as today.
TEST(Perfis, PassesDeAreaIgual) {
    const std::string respostas = "I\n20\n17.5\n0.5\n0.1\n14\n20\n2.5\nD\n0\n3000\n.05\n";
    std::string console;
    const std::string f = gerar("--passes-de-area-igual", respostas, &console);
    const double di = 17.5, da = 19.8;
    for (int i = 1; i <= 3; ++i) {
        char linha[80];
        std::snprintf(linha, sizeof linha, "passo lateral: %d com diametro: %.3f [mm]", i, di + (da - di) * std::sqrt(i / 3.0));
        EXPECT_NE(f.find(linha), std::string::npos) << linha;
        EXPECT_NE(console.find(linha), std::string::npos) << linha;
    }
    EXPECT_NE(f.find(";passo lateral: 4 com diametro: 20.000 [mm]"), std::string::npos);
    EXPECT_NE(f.find(";Passes de area igual no perfil em V: o primeiro passe e o mais fundo"), std::string::npos);
}

TEST(Perfis, PerfisComEntradasSaoRecusados) {
    const Execucao e = executar_com_argumentos("--perfis 3 --entradas 2", "");
    EXPECT_EQ(e.status, 2);
    EXPECT_NE(e.erros.find("--perfis com --entradas"), std::string::npos) << e.erros;
    for (const char* errado : {"--perfis 0", "--perfis 51", "--entradas 13", "--entradas x"})
        EXPECT_EQ(executar_com_argumentos(errado, "").status, 2) << errado;
}

}  // namespace
