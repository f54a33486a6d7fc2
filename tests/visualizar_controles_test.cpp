// The viewer on Heidenhain plain-language and Sinumerik files: the files
// the generator writes read through, in every way of cutting, into the
// same path as the LinuxCNC file of the same job and pass every check; the
// blocks it does not write (LP, C, CR, CT, CP to an angle) turn where the
// controls turn them; an edited block fails at its line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"
#include "visualizar/leitor_gcode.hpp"
#include "visualizar/tolerancias.hpp"

namespace {

const char* const interna = "I\n20\n17.5\n0.5\n0.1\n14\n10\n2.5\nD\n0\n1000\n200\n";
const char* const externa = "E\n20\n22\n0.5\n0.1\n14\n10\n2.5\nE\n30\n1000\n200\n";

std::string gerar(const std::string& comando, const std::string& opcoes, const char* respostas) {
    return arquivo_gerado("--comando " + comando + " " + opcoes, respostas);
}

// The file with the first line holding `de` changed to hold `para`; its number in `linha`.
std::string trocar(const std::string& arquivo, const std::string& de, const std::string& para, std::size_t& linha) {
    const std::size_t i = arquivo.find(de);
    EXPECT_NE(i, std::string::npos) << de;
    if (i == std::string::npos) return arquivo;
    linha = 1;
    for (std::size_t k = 0; k < i; ++k) linha += arquivo[k] == '\n';
    return arquivo.substr(0, i) + para + arquivo.substr(i + de.size());
}

TEST(VisualizarControles, CadaModoDeCortarConfereComoOArquivoLinuxcnc) {
    const char* const modos[] = {"",
                                 "--arcos",
                                 "--concordante",
                                 "--discordante --arcos",
                                 "--entrada-tangencial",
                                 "--entrada-tangencial --arcos",
                                 "--compensacao",
                                 "--compensacao --arcos --entrada-tangencial --concordante",
                                 "--conica",
                                 "--conicidade 1:5",
                                 "--repetir-acabamento 2 --arcos",
                                 "--avanco-na-aresta",
                                 "--avanco-na-aresta --arcos",
                                 "--ferramenta 7 --arcos"};
    for (const char* respostas : {interna, externa}) {
        for (const char* modo : modos) {
            const auto referencia = analisar_bytes(gerar("linuxcnc", modo, respostas));
            ASSERT_EQ(falhas_por_linha(*referencia), "") << modo;
            for (const char* comando : {"heidenhain", "siemens"}) {
                const auto a = analisar_bytes(gerar(comando, modo, respostas), 7);
                const Modelo& m = a->modelo;
                EXPECT_EQ(falhas_por_linha(*a), "") << comando << " " << modo << respostas[0];
                EXPECT_EQ(m.dialeto.nome(), comando) << modo;
                // The same path: passes, feed moves' length and time, extents.
                const Modelo& r = referencia->modelo;
                EXPECT_EQ(m.passes, r.passes) << comando << " " << modo;
                EXPECT_NEAR(m.comprimento, r.comprimento, 1e-3 * r.comprimento) << comando << " " << modo;
                EXPECT_NEAR(m.minutos, r.minutos, 1e-3 * r.minutos) << comando << " " << modo;
                EXPECT_NEAR(m.extremos.x_max, r.extremos.x_max, 2e-3) << comando << " " << modo;
                EXPECT_NEAR(m.extremos.z_corte_min, r.extremos.z_corte_min, 2e-3) << comando << " " << modo;
            }
        }
    }
}

// Each edit: the check that fails and the line it names.
struct Edicao {
    const char* comando;
    const char* opcoes;
    const char* de;
    const char* para;
    int verificacao;
};

TEST(VisualizarControles, UmBlocoEditadoFalhaNaSuaLinha) {
    const Edicao edicoes[] = {
        // A word no control reads.
        {"heidenhain", "--arcos", "IZ-10.000 DR-", "IZ-10.000 DR- Q5", Verificacoes::arquivo_completo},
        {"siemens", "--arcos", "TURN=3", "TURN=3 Q7", Verificacoes::arquivo_completo},
        {"siemens", "", "G4 F3", "G4 P3", Verificacoes::arquivo_completo},
        {"heidenhain", "", "CYCL DEF 9.0 DWELL TIME", "CYCL DEF 9.0 DWELL", Verificacoes::arquivo_completo},
        // A helix a turn short, or steeper than the pitch.
        {"siemens", "--arcos", "TURN=3", "TURN=2", Verificacoes::profundidade_e_avanco},
        {"heidenhain", "--arcos", "CP IPA-1440.000 IZ-10.000", "CP IPA-1440.000 IZ-11.000", Verificacoes::profundidade_e_avanco},
        // A chord of the helix moved off its circle.
        {"heidenhain", "", "L X+2.132 Y-0.074 Z-0.014", "L X+2.232 Y-0.074 Z-0.014", Verificacoes::circulo},
        {"siemens", "", "G1 X2.132 Y-0.074 Z-0.014", "G1 X2.232 Y-0.074 Z-0.014", Verificacoes::circulo},
    };
    for (const Edicao& e : edicoes) {
        std::size_t linha = 0;
        const std::string arquivo = trocar(gerar(e.comando, e.opcoes, interna), e.de, e.para, linha);
        const auto a = analisar_bytes(arquivo);
        const auto& v = a->verificacoes[e.verificacao];
        EXPECT_EQ(v.estado, Estado::falha) << e.para << "\n" << falhas_por_linha(*a);
        EXPECT_EQ(v.linha, linha) << e.para << "\n" << falhas_por_linha(*a);
    }
}

// Without CFTCP Sinumerik holds F at the contour: a compensated pass's
// feed is not the one the file means.
TEST(VisualizarControles, CompensacaoSemCftcpFalha) {
    const std::string arquivo = gerar("siemens", "--compensacao --arcos", interna);
    std::size_t linha = 0;
    for (const char* cf : {" CFC", ""}) {
        std::string editado = arquivo;
        for (std::size_t i; (i = editado.find(" CFTCP")) != std::string::npos;) editado.replace(i, 6, cf);
        const auto a = analisar_bytes(editado);
        const auto& v = a->verificacoes[Verificacoes::entradas_e_saidas];
        EXPECT_EQ(v.estado, Estado::falha) << cf;
        EXPECT_NE(v.detalhe.find("CFC"), std::string::npos) << v.detalhe;
    }
    EXPECT_EQ(falhas_por_linha(*analisar_bytes(trocar(arquivo, "G40 X", "G40 CFC X", linha))), "");
}

TEST(VisualizarControles, BlocosDeProducaoQueNaoSeExecutamFalhamNaSuaLinhaComOMotivo) {
    struct {
        const char *comando, *de, *para;
    } casos[] = {{"heidenhain", "FN 9:", "FN 19:"}, {"siemens", "IF R91==0 GOTOF", "WHILE R91==0 GOTOF"}};
    for (const auto& e : casos) {
        std::size_t linha = 0;
        const auto a = analisar_bytes(trocar(gerar(e.comando, "--ajuste-na-maquina", interna), e.de, e.para, linha));
        const auto& v = a->verificacoes[Verificacoes::arquivo_completo];
        EXPECT_EQ(v.estado, Estado::falha) << e.comando;
        EXPECT_EQ(v.linha, linha) << e.comando;
        EXPECT_NE(v.detalhe.find("que o visualizador nao executa"), std::string::npos) << v.detalhe;
    }
}

// The moves of a program, the parts of one line each.
std::vector<Movimento> movimentos(const std::string& texto) {
    FonteMemoria fonte(texto);
    LeitorGcode leitor(fonte, 3);
    std::vector<Movimento> r;
    Linha l;
    while (leitor.proxima(l)) {
        EXPECT_NE(l.tipo, TipoLinha::ilegivel) << l.numero << ": " << l.texto;
        if (l.tipo == TipoLinha::movimento) r.push_back(l.movimento);
    }
    return r;
}

void perto(const Ponto3& p, double x, double y, double z, const char* o_que) {
    EXPECT_NEAR(p.x, x, 1e-9) << o_que;
    EXPECT_NEAR(p.y, y, 1e-9) << o_que;
    EXPECT_NEAR(p.z, z, 1e-9) << o_que;
}

TEST(VisualizarControles, BlocosDeTextoClaroGiramComoOComando) {
    const auto m = movimentos(
        "0 BEGIN PGM T MM\n"
        "1 L X+10 Y+0 Z-1 R0 FMAX\n"
        "2 CC X+0 Y+0\n"
        "3 C X+0 Y+10 DR+ F100\n"           // a quarter, counter-clockwise
        "4 CP PA+180 IZ-1 DR+\n"            // on to 180 degrees, falling 1
        "5 LP PR+5 PA+90\n"                 // polar line
        "6 CT X+10 Y+5\n"                   // on along the tangent of the line
        "7 CR X+20 Y+5 R+5 DR-\n"           // half a circle of radius 5
        "8 CP IPA-900 IZ+2.5 DR- RL\n"      // two turns and a half: five parts
        "9 L IX+1 IY-1 IZ+1 R0\n"
        "10 END PGM T MM\n");
    ASSERT_EQ(m.size(), 12u);
    perto(m[1].para, 0, 10, -1, "C");
    EXPECT_NEAR(m[1].varredura, pi / 2, 1e-12);
    perto(m[2].para, -10, 0, -2, "CP PA");
    perto(m[3].para, 0, 5, -2, "LP");
    EXPECT_EQ(m[3].tipo, TipoMovimento::linear);
    // Tangent to the line from (-10, 0) to (0, 5), the end to its right:
    // clockwise, the centre on its normal.
    EXPECT_LT(m[4].varredura, 0);
    const double r1 = std::hypot(m[4].de.x - m[4].centro_x, m[4].de.y - m[4].centro_y);
    EXPECT_NEAR(std::hypot(10 - m[4].centro_x, 5 - m[4].centro_y), r1, 1e-9);
    EXPECT_NEAR(m[4].centro_x * 10 + (m[4].centro_y - 5) * 5, 0, 1e-9);
    EXPECT_NEAR(m[5].centro_x, 15, 1e-9);
    EXPECT_NEAR(m[5].centro_y, 5, 1e-9);
    EXPECT_NEAR(m[5].varredura, -pi, 1e-9);
    // The CP's five half turns about the last CC, each of its line.
    for (int k = 6; k <= 10; ++k) {
        EXPECT_EQ(m[k].linha, 9u);
        EXPECT_NEAR(m[k].varredura, -pi, 1e-12);
        EXPECT_NEAR(m[k].para.z - m[k].de.z, 0.5, 1e-12);
        EXPECT_EQ(m[k].compensacao, 41);
    }
    perto(m[10].para, -20, -5, 0.5, "fim do CP");
    perto(m[11].para, -19, -6, 1.5, "L incremental");
    EXPECT_EQ(m[11].compensacao, 40);
}

TEST(VisualizarControles, BlocosQueOControleNaoAceitaNaoSeLeem) {
    const char* const ruins[] = {
        "5 C X+0 Y+10 Z-1 DR+",            // C is flat
        "5 CP IPA+5401 IZ-1 DR+",          // more than one block takes
        "5 CP IPA+90 IZ-1 DR-",            // sense and sign disagree
        "5 L X+1 FMAX F100",               // both feeds
        "5 CYCL DEF 9.1 DWELL 3",          // no 9.0 before it
        "5 FN 0: Q1600 = +20",             // parameters
        "5 L X+Q1610 Y+0",
    };
    for (const char* ruim : ruins) {
        const std::string texto = std::string("0 BEGIN PGM T MM\n1 L X+10 Y+0 Z+0 R0 FMAX\n2 CC X+0 Y+0\n") + ruim + "\n";
        FonteMemoria fonte(texto);
        LeitorGcode leitor(fonte);
        Linha l;
        for (int i = 0; i < 4; ++i) ASSERT_TRUE(leitor.proxima(l));
        EXPECT_EQ(l.tipo, TipoLinha::ilegivel) << ruim;
    }
    // Sinumerik: G21, P, and TURN= off an arc are not its words.
    for (const char* ruim : {"G21", "G1 X1 TURN=1", "G4 F3 X1"}) {
        const std::string texto = std::string("G17 G90 G710 G94 G40\n") + ruim + "\n";
        FonteMemoria fonte(texto);
        LeitorGcode leitor(fonte);
        Linha l;
        ASSERT_TRUE(leitor.proxima(l));
        ASSERT_TRUE(leitor.proxima(l));
        EXPECT_EQ(l.tipo, TipoLinha::ilegivel) << ruim;
    }
}

TEST(VisualizarControles, TurnSomaVoltasInteirasEmMeiasVoltas) {
    const auto m = movimentos("G17 G90 G710 G94 G40\nG0 X10 Y0 Z0\nG2 X10 Y0 Z-5 I-10 J0 TURN=1\nG4 F3\n");
    ASSERT_EQ(m.size(), 5u);  // the rapid, then two turns in four halves
    double giro = 0;
    for (std::size_t k = 1; k < m.size(); ++k) {
        EXPECT_EQ(m[k].linha, 3u);
        EXPECT_TRUE(m[k].horario);
        giro += m[k].varredura;
    }
    EXPECT_NEAR(giro, -4 * pi, 1e-12);
    perto(m[1].para, -10, 0, -1.25, "meia volta");
    perto(m[4].para, 10, 0, -5, "fim");
}

}  // namespace
