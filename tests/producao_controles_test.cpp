// Several holes, the final diameter set at the control and the wear alone in
// the register, in Heidenhain's plain language and in Sinumerik: each file,
// run block by block by the small readers (labels, calls, the datum shift,
// Q and R parameters, jumps, REPEAT, TRANS), makes the moves rs274 finds in
// the LinuxCNC file of the same job; the Siemens file, in LinuxCNC's words,
// runs through rs274 itself.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "apoio/controles.hpp"
#include "apoio/dialetos.hpp"
#include "apoio/execucao.hpp"

namespace {

const std::string m8 = "I\n8\n6.5\n0.3\n0.1\n5\n6\n1.25\nD\n0\n3000\n.05\n";
const std::string furos = "10 0\n0 10,5\n-10.25 -3\n";

std::string gerar(const std::string& comando, const std::string& opcoes) {
    const Execucao e =
        executar_com_argumentos("--comando " + comando + " " + opcoes + " --saida p.txt", m8, [](const std::string& dir) {
            std::FILE* f = std::fopen((dir + "/furos.txt").c_str(), "wb");
            std::fputs(furos.c_str(), f);
            std::fclose(f);
        });
    EXPECT_EQ(e.status, 0) << comando << " " << opcoes << "\n" << e.erros;
    const auto f = e.outros_conteudos.find("p.txt");
    return f == e.outros_conteudos.end() ? std::string() : f->second;
}

// `de` replaced once by `por`, as the operator edits the program's opening.
std::string trocar(std::string texto, const std::string& de, const std::string& por) {
    const std::size_t i = texto.find(de);
    EXPECT_NE(i, std::string::npos) << de;
    if (i != std::string::npos) texto.replace(i, de.size(), por);
    return texto;
}

ProgramaLido rs274(const std::string& arquivo) {
    std::string saida;
    EXPECT_TRUE(rodar_rs274(arquivo, "T1 P1 D0 Z0\n", saida)) << saida.substr(0, 600);
    ProgramaLido r = ler_rs274(saida);
    EXPECT_EQ(r.erro, "");
    return r;
}

struct Caso {
    const char* opcoes;
    bool arcos;
};
const Caso casos[] = {
    {"--furos furos.txt", false},
    {"--furos furos.txt --arcos --concordante --entrada-tangencial", true},
    {"--ajuste-na-maquina --arcos", true},
    {"--ajuste-na-maquina --discordante --entrada-tangencial --repetir-acabamento 1", false},
    {"--furos furos.txt --ajuste-na-maquina --compensacao desgaste --concordante", true},
    {"--furos furos.txt --compensacao contorno", true},
};

TEST(ProducaoControles, HeidenhainESiemensFazemOsMovimentosDoLinuxcnc) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) nao instalado";
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.opcoes);
        const auto esperados = juntar_arcos(rs274(gerar("linuxcnc", c.opcoes)).movimentos);
        ASSERT_GT(esperados.size(), 5u);

        const std::string h = gerar("heidenhain", c.opcoes);
        const ProgramaLido heidenhain = ler_heidenhain(h);
        EXPECT_EQ(heidenhain.erro, "");
        EXPECT_EQ(diferenca_movimentos(esperados, juntar_arcos(heidenhain.movimentos), 0.002), "");

        const std::string s = gerar("siemens", c.opcoes);
        const ProgramaLido siemens = ler_siemens(s);
        EXPECT_EQ(siemens.erro, "");
        EXPECT_EQ(diferenca_movimentos(esperados, juntar_arcos(siemens.movimentos), 1e-4), "");
        EXPECT_EQ(diferenca_movimentos(esperados, juntar_arcos(rs274(siemens_para_linuxcnc(s)).movimentos), 1e-9), "");

        // One hole's path written once, called per hole.
        if (std::string(c.opcoes).find("--furos") != std::string::npos) {
            EXPECT_NE(h.find(" LBL 1\r\n"), std::string::npos);
            EXPECT_NE(h.find(" CYCL DEF 7.0 DATUM SHIFT\r\n"), std::string::npos);
            EXPECT_NE(s.find("REPEAT ROSCA FIM_ROSCA\r\n"), std::string::npos);
            EXPECT_EQ(s.find("G92"), std::string::npos);
        }
    }
}

// The operator's edit: the final diameter 8.1 and the roughing skipped, in
// each control's own variables; the same moves as the LinuxCNC file's with
// the same edit.
TEST(ProducaoControles, AjusteNaMaquinaComoOOperadorMuda) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) nao instalado";
    const std::string opcoes = "--ajuste-na-maquina --arcos --entrada-tangencial --furos furos.txt";
    std::string linuxcnc = gerar("linuxcnc", opcoes);
    linuxcnc = trocar(linuxcnc, "#<_diametro_final> = 8.000", "#<_diametro_final> = 8.100");
    linuxcnc = trocar(linuxcnc, "#<_desbastes> = 1", "#<_desbastes> = 0");
    const auto esperados = juntar_arcos(rs274(linuxcnc).movimentos);
    const auto sem_mudanca = juntar_arcos(rs274(gerar("linuxcnc", opcoes)).movimentos);
    ASSERT_LT(esperados.size(), sem_mudanca.size());

    std::string h = gerar("heidenhain", opcoes);
    EXPECT_NE(h.find("FN 0: Q1600 = +8.000"), std::string::npos);
    const ProgramaLido heidenhain = ler_heidenhain(h, {{1600, 8.1}, {1601, 0}});
    EXPECT_EQ(heidenhain.erro, "");
    EXPECT_EQ(diferenca_movimentos(esperados, juntar_arcos(heidenhain.movimentos), 0.002), "");

    std::string s = gerar("siemens", opcoes);
    EXPECT_NE(s.find("R90=8.000"), std::string::npos);
    const ProgramaLido siemens = ler_siemens(s, {{90, 8.1}, {91, 0}});
    EXPECT_EQ(siemens.erro, "");
    // rs274 prints four decimals: a short arc's degrees from them differ by a hundredth.
    EXPECT_EQ(diferenca_movimentos(esperados, juntar_arcos(siemens.movimentos), 2e-4), "");
    s = trocar(s, "R90=8.000", "R90=8.100");
    s = trocar(s, "R91=1", "R91=0");
    EXPECT_EQ(diferenca_movimentos(esperados, juntar_arcos(rs274(siemens_para_linuxcnc(s)).movimentos), 1e-9), "");
}

namespace {

// The moves of a job's file in `comando` as the control runs it with the
// final diameter's variable at `diametro` and the roughing passes skipped.
std::vector<MovimentoCanonico> so_acabamento(const std::string& comando, const std::string& respostas,
                                            const std::string& opcoes, double diametro) {
    const std::string f = arquivo_gerado("--comando " + comando + " --ajuste-na-maquina " + opcoes, respostas);
    if (comando == "heidenhain") return ler_heidenhain(f, {{1600, diametro}, {1601, 0}}).movimentos;
    if (comando == "siemens") return ler_siemens(f, {{90, diametro}, {91, 0}}).movimentos;
    const std::size_t i = f.find("#<_diametro_final> = ");
    const std::size_t j = f.find("#<_desbastes> = 1");
    if (i == std::string::npos || j == std::string::npos) return {};
    std::string mudado = f;
    mudado.replace(j, 17, "#<_desbastes> = 0");
    mudado.replace(i, f.find(' ', i + 21) - i, "#<_diametro_final> = " + std::to_string(diametro));
    return rs274(mudado).movimentos;
}

}  // namespace

// The finishing pass is the plan's last, at the final diameter, whatever its
// diameter's last bits (taper or not, a finishing step of 0 or not): with the
// roughing passes skipped it alone is cut, and it follows the variable, its
// way out of a groove of several starts along the radius too.
TEST(ProducaoControles, AcabamentoForaDosDesbastesSegueAVariavel) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) nao instalado";
    const struct {
        const char *comando, *respostas, *opcoes;
        double diametro;
    } casos[] = {
        {"heidenhain", "i 21.4 18.6 0.59 0.296 13 2.9 2.9 D 0 1000 200", "--entrada-tangencial --conica", 21.4},
        {"linuxcnc", "i 21.224 17.463 1.02 0 6.42 5 1.814286 d 149 5378 1483", "--conica", 21.224},
        {"heidenhain", "E 7 9 0.93 0 15 1.9 1.9 D 0 1000 200", "--arcos", 7},
        {"siemens", "e 6.379 7.866 0.742 0 4.781 1.25 1.25 D 0 1000 200", "", 6.379},
        {"heidenhain", "I 56.25 53.99 0.41 0.092 19.09 0.733 0.733 D 0 1000 200", "--compensacao", 56.25},
        {"siemens", "E 35 0 3 0.9 0.9 D 0 1000 200", "--entradas 3", 35},
        {"linuxcnc", "E 43.7 0 24.2 1.305 1.6 D 0 1000 1467", "--entradas 5", 43.7},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.comando) + " " + c.respostas + " " + c.opcoes);
        const auto a = so_acabamento(c.comando, c.respostas, c.opcoes, c.diametro);
        const auto b = so_acabamento(c.comando, c.respostas, c.opcoes, c.diametro + 0.3);
        ASSERT_EQ(a.size(), b.size());
        // Cut below the face, each point of the helix 0.15 farther from the axis.
        int movidos = 0, saidas = 0;
        for (std::size_t k = 0; k < a.size(); ++k) {
            const double ra = std::hypot(a[k].x, a[k].y), rb = std::hypot(b[k].x, b[k].y);
            if (a[k].tipo != MovimentoCanonico::Tipo::rapido && a[k].z < -0.01 && std::fabs(rb - ra - 0.15) < 0.002)
                ++movidos;
            // Out of the groove: off the helix's circle, level, along its last point's radius.
            if (k == 0 || std::string(c.opcoes).find("--entradas") == std::string::npos || b[k].z != b[k - 1].z ||
                b[k].z > -0.01 || std::fabs(rb - std::hypot(b[k - 1].x, b[k - 1].y)) < 0.5)
                continue;
            ++saidas;
            EXPECT_LE(std::fabs(b[k].x * b[k - 1].y - b[k].y * b[k - 1].x) / rb, 0.002) << "linha " << b[k].linha;
        }
        EXPECT_GE(movidos, 2);
        EXPECT_TRUE(std::string(c.opcoes).find("--entradas") == std::string::npos || saidas >= 3) << saidas;
    }
}

}  // namespace
