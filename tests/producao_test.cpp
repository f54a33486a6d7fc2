// For production: the thread at every centre of a file of holes, a final
// diameter the operator changes at the control, and compensation that holds
// only the wear; each as LinuxCNC's interpreter runs it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/dialetos.hpp"
#include "apoio/execucao.hpp"
#include "trabalho/furos.hpp"

namespace {

const std::string m8 = "I\n8\n6.5\n0.3\n0.1\n5\n6\n1.25\nD\n0\n3000\n.05\n";

TEST(Furos, ArquivoDeFurosLidoComoAsRespostas) {
    std::vector<Furo> f;
    std::string erro;
    ASSERT_TRUE(interpretar_furos("# flange\r\n10 0\r\n0\t10,5 ; segundo\r\n\r\n-3.25   -4\r\n", "f.txt", f, erro)) << erro;
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[1].y, 10.5);
    EXPECT_EQ(f[2].x, -3.25);
    EXPECT_EQ(f[2].y, -4);

    struct Caso {
        const char* texto;
        const char* erro;
    } casos[] = {
        {"10 0\n10 x\n", "f.txt linha 2: esperado 'X Y' (dois numeros em mm), lido '10 x'"},
        {"10\n", "f.txt linha 1: esperado 'X Y'"},
        {"10 0 0\n", "f.txt linha 1: esperado 'X Y'"},
        {"1.000,5 0\n", "f.txt linha 1: esperado 'X Y'"},
        {"", "f.txt: nenhum furo"},
        {"# so comentarios\n; e mais\n\n", "f.txt: nenhum furo"},
        {"1e9 0\n", "f.txt linha 1: esperado 'X Y'"},
        {"200000 0\n", "f.txt linha 1: centro fora da faixa"},
    };
    for (const Caso& c : casos) {
        EXPECT_FALSE(interpretar_furos(c.texto, "f.txt", f, erro)) << c.texto;
        EXPECT_EQ(erro.rfind(c.erro, 0), 0u) << erro;
    }
    std::string muitos;
    for (int i = 0; i < 10000; ++i) muitos += std::to_string(i) + " 0\n";
    EXPECT_TRUE(interpretar_furos(muitos, "f.txt", f, erro));
    EXPECT_EQ(f.size(), 10000u);
    EXPECT_FALSE(interpretar_furos(muitos + "1 1\n", "f.txt", f, erro));
    EXPECT_EQ(erro, "f.txt: mais de 10000 furos (linha 10001)");
}

// A list of holes that cannot be used stops the run before the first
// question, and nothing is written.
TEST(FurosPontaAPonta, ArquivoRecusadoAntesDasPerguntas) {
    for (const char* conteudo : {"10 0\nabc\n", "", "# nada\n"}) {
        const Execucao e = executar_com_argumentos("--furos furos.txt --saida p.ngc", m8, [&](const std::string& dir) {
            std::FILE* f = std::fopen((dir + "/furos.txt").c_str(), "wb");
            std::fputs(conteudo, f);
            std::fclose(f);
        });
        EXPECT_EQ(e.status, 2) << conteudo;
        EXPECT_EQ(e.console, "");
        EXPECT_NE(e.erros.find("furos.txt"), std::string::npos) << e.erros;
        EXPECT_EQ(e.outros_conteudos.count("p.ngc"), 0u);
    }
}

// rs274's arcs, as their centres and radii.
struct Arco {
    double cx, cy, r, z;
};
std::vector<Arco> arcos_canonicos(const std::string& saida) {
    std::vector<Arco> r;
    std::istringstream texto(saida);
    for (std::string l; std::getline(texto, l);) {
        const std::size_t a = l.find("ARC_FEED(");
        if (a == std::string::npos) continue;
        double v[6];
        if (std::sscanf(l.c_str() + a + 9, "%lf, %lf, %lf, %lf, %lf, %lf", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) == 6)
            r.push_back({v[2], v[3], std::hypot(v[0] - v[2], v[1] - v[3]), v[5]});
    }
    return r;
}

std::string gerar(const std::string& opcoes, const std::string& furos = "") {
    const Execucao e = executar_com_argumentos(opcoes + (furos.empty() ? "" : " --furos furos.txt") + " --saida p.ngc", m8,
                                               [&](const std::string& dir) {
                                                   if (furos.empty()) return;
                                                   std::FILE* f = std::fopen((dir + "/furos.txt").c_str(), "wb");
                                                   std::fputs(furos.c_str(), f);
                                                   std::fclose(f);
                                               });
    EXPECT_EQ(e.status, 0) << opcoes << e.erros;
    const auto f = e.outros_conteudos.find("p.ngc");
    return f == e.outros_conteudos.end() ? std::string() : f->second;
}

TEST(Producao, Rs274CadaFuroNoSeuCentro) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) nao instalado";
    const std::string furos = "10 0\n0 10\n-10.5 0\n0 -12.25\n";
    const std::set<std::pair<double, double>> centros{{10, 0}, {0, 10}, {-10.5, 0}, {0, -12.25}};
    for (const char* modo : {"--arcos", "--arcos --concordante --entrada-tangencial", "--compensacao"}) {
        SCOPED_TRACE(modo);
        const std::string f = gerar(std::string("--comando linuxcnc ") + modo, furos);
        EXPECT_NE(f.find("o<rosca> sub"), std::string::npos);
        EXPECT_NE(f.find("\r\n;Furo 4: X0.000 Y-12.250\r\n"), std::string::npos);
        std::string saida;
        ASSERT_TRUE(rodar_rs274(f, "T1 P1 D0.19685039 Z0\n", saida)) << saida.substr(0, 400);
        // The helix's arcs turn about each centre in turn, as many about each.
        std::map<std::pair<double, double>, int> por_centro;
        for (const Arco& a : arcos_canonicos(saida)) {
            const std::pair<double, double> c{std::round(a.cx * 1000) / 1000, std::round(a.cy * 1000) / 1000};
            if (centros.count(c)) ++por_centro[c];
        }
        ASSERT_EQ(por_centro.size(), 4u);
        for (const auto& [c, n] : por_centro) EXPECT_EQ(n, por_centro.begin()->second);
    }
}

// The final diameter and the roughing passes as the operator sets them at
// the control: the finishing pass follows the variable, the roughing passes
// go when it says 0.
TEST(Producao, Rs274AcabamentoSegueAVariavel) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) nao instalado";
    for (const char* modo : {"--arcos", "--arcos --entrada-tangencial --discordante", ""}) {
        SCOPED_TRACE(modo);
        const std::string f = gerar(std::string("--comando linuxcnc --ajuste-na-maquina ") + modo);
        ASSERT_NE(f.find("#<_diametro_final> = 8.000"), std::string::npos);
        std::string mudado = f;
        mudado.replace(mudado.find("#<_diametro_final> = 8.000"), 26, "#<_diametro_final> = 8.100");
        mudado.replace(mudado.find("#<_desbastes> = 1"), 17, "#<_desbastes> = 0");
        std::string saida;
        ASSERT_TRUE(rodar_rs274(mudado, "", saida)) << saida.substr(0, 400);
        // Every point of the helix now at the radius of 8.1: (8.1 - 5) / 2;
        // the arcs into and out of it have centres of their own.
        std::istringstream texto(saida);
        int pontos = 0, fora = 0;
        for (std::string l; std::getline(texto, l);) {
            const bool arco = l.find("ARC_FEED(") != std::string::npos;
            if (!arco && l.find("STRAIGHT_FEED(") == std::string::npos) continue;
            double v[6] = {};
            if (std::sscanf(l.c_str() + l.find('(') + 1, "%lf, %lf, %lf, %lf, %lf, %lf", &v[0], &v[1], &v[2], &v[3],
                            &v[4], &v[5]) < 3)
                continue;
            if (arco && std::hypot(v[2], v[3]) > 0.001) continue;
            const double z = arco ? v[5] : v[2];
            const double r = std::hypot(v[0], v[1]);
            // Below the face, and not the straight moves in and out of the bore.
            if (z >= -0.01 || r < 1) continue;
            ++pontos;
            if (std::fabs(r - 1.55) > 0.0015) ++fora;
        }
        EXPECT_GT(pontos, 8);
        EXPECT_EQ(fora, 0);
    }
}

// The centre's path with the compensation on: a diameter of 0 in the table
// leaves every move as written; a wear of 0.02 on the diameter moves the
// helix 0.01 away from the material.
TEST(Producao, Rs274CompensacaoSoDoDesgaste) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) nao instalado";
    const std::string f = gerar("--comando linuxcnc --compensacao desgaste --concordante");
    EXPECT_NE(f.find(";Compensacao de raio: D1 - so o desgaste"), std::string::npos);
    std::string zero, desgaste;
    ASSERT_TRUE(rodar_rs274(f, "T1 P1 D0 Z0\n", zero));
    ASSERT_TRUE(rodar_rs274(f, "T1 P1 D0.00078740 Z0\n", desgaste));  // 0.02 mm
    const std::vector<Arco> a = arcos_canonicos(zero), b = arcos_canonicos(desgaste);
    ASSERT_EQ(a.size(), b.size());
    int helice = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::hypot(a[i].cx, a[i].cy) > 1e-6) continue;  // the arcs into and out of the helix
        ++helice;
        EXPECT_NEAR(b[i].r, a[i].r - 0.01, 0.0006);
    }
    EXPECT_GT(helice, 8);
    // As written: with nothing in the register the arcs end where the file says.
    std::vector<std::pair<double, double>> fins;
    std::istringstream linhas(f);
    for (std::string l; std::getline(linhas, l);) {
        double x, y;
        if ((l.rfind("G2 ", 0) == 0 || l.rfind("G3 ", 0) == 0) && std::sscanf(l.c_str() + 3, "X%lf Y%lf", &x, &y) == 2)
            fins.emplace_back(x, y);
    }
    ASSERT_EQ(fins.size(), a.size());
    std::istringstream canonicas(zero);
    std::size_t i = 0;
    for (std::string l; std::getline(canonicas, l);) {
        double x, y;
        if (l.find("ARC_FEED(") == std::string::npos || std::sscanf(l.c_str() + l.find('(') + 1, "%lf, %lf", &x, &y) != 2)
            continue;
        EXPECT_NEAR(x, fins[i].first, 0.0006);
        EXPECT_NEAR(y, fins[i].second, 0.0006);
        ++i;
    }
}

TEST(ProducaoPontaAPonta, SemVariaveisNoGrblNemNoPadrao) {
    for (const char* comando : {"grbl", "padrao"}) {
        const Execucao e = executar_com_argumentos(std::string("--comando ") + comando + " --ajuste-na-maquina", m8);
        EXPECT_EQ(e.status, 2);
        EXPECT_NE(e.erros.find("nao tem variaveis"), std::string::npos) << e.erros;
    }
}

}  // namespace
