// Several holes, the final diameter set at the control and the wear alone in
// the register, in Heidenhain's plain language and in Sinumerik: each file,
// run block by block by the small readers (labels, calls, the datum shift,
// Q and R parameters, jumps, REPEAT, TRANS), makes the moves rs274 finds in
// the LinuxCNC file of the same job; the Siemens file, in LinuxCNC's words,
// runs through rs274 itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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

}  // namespace
