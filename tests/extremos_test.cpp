// Answers at the edges of single precision: the run goes through, and what is
// printed is what the format gives for the stored values (huge digits, "inf").
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "apoio/execucao.hpp"
#include "nucleo/console.hpp"
#include "trabalho/parada_critica.hpp"
#include "driver/programa.hpp"

namespace {

const std::string trailer = "\r\n\r\ng50\r\n\r\nM5\r\n\r\nM30\r\n";

// printf of a stored answer, as the summary and the preamble print it.
std::string com_formato(const char* formato, float valor) {
    char texto[128];
    std::snprintf(texto, sizeof texto, formato, static_cast<double>(valor));
    return texto;
}

bool contem(const std::string& texto, const std::string& parte) { return texto.find(parte) != std::string::npos; }

bool termina_com(const std::string& texto, const std::string& fim) {
    return texto.size() >= fim.size() && texto.compare(texto.size() - fim.size(), fim.size(), fim) == 0;
}

std::size_t contar(const std::string& texto, const std::string& parte) {
    std::size_t n = 0;
    for (auto i = texto.find(parte); i != std::string::npos; i = texto.find(parte, i + 1)) ++n;
    return n;
}

// The last line of the file that starts with `inicio`.
std::string ultima_linha(const std::string& arquivo, const std::string& inicio) {
    auto i = arquivo.rfind("\r\n" + inicio);
    if (i == std::string::npos) return {};
    i += 2;
    return arquivo.substr(i, arquivo.find("\r\n", i) - i);
}

TEST(ExtremosPontaAPonta, RespostaDeTamanhoQualquerEmMemoriaLimitada) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's own memory hides the program's";
#endif
    // Under Wine the children would be Wine's own processes.
    if (std::getenv("ROSCA_EXECUTAR") != nullptr) GTEST_SKIP() << "measures the Linux program only";
    const std::string respostas = "I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n";
    // 64 MiB held here through the run: the measure is the program's alone,
    // whatever this process (or a child of an earlier test) took.
    std::vector<char> lastro(64u << 20, 1);
    // 32 MiB of digits where the final diameter goes: refused, asked again.
    Execucao r = executar_binario_gerando([&respostas](std::ostream& f) {
        const std::string mega(1u << 20, '7');
        f << "I\n";
        for (int i = 0; i < 32; ++i) f << mega;
        f << respostas.substr(1);
    });
    EXPECT_EQ(lastro.back(), 1);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(contar(r.console, msg_valor_invalido), 1u);
    EXPECT_EQ(r.arquivo, executar_binario(respostas).arquivo);
    EXPECT_GT(r.pico_kib, 0) << "not measured";
    EXPECT_LT(r.pico_kib, 8 * 1024) << "KiB at the program's peak";
}

TEST(ExtremosPontaAPonta, DiametroERotacaoNoMaximoDoFloat) {
    // Internal, one pass of radius 1.2e38; length 1 and pitch 100 cut four points.
    Execucao r = executar_binario("I 3.4e38 0 1e38 1 100 D 359.99998 3.4e38 2000\n");
    ASSERT_EQ(r.status, 0) << r.console;
    const float maximo = 3.4e38f;
    EXPECT_TRUE(contem(r.console, "\nDf-Diametro final da rosca: " + com_formato("%.2f", maximo) + " [mm]"));
    EXPECT_TRUE(contem(r.console, "\nRotacao S: " + com_formato("%.0f", maximo) + " rpm"));
    EXPECT_TRUE(contem(r.arquivo, "\r\nS" + com_formato("%.0f", maximo) + "\r\n"));
    // 359.99998 is stored just below 360 and prints as 360.0; its label is that of the last quadrant.
    EXPECT_TRUE(contem(r.console, "\nAngulo Inicial de Rosca: 360.0 [graus] -> Direita / Cima\n"));
    // A hundredth of a turn past the start angle wraps round to 3.6 degrees.
    EXPECT_TRUE(contem(r.console, "\nAngulo Final de Rosca: 3.6 [graus]\n"));
    EXPECT_EQ(contar(r.arquivo, "\r\ng01 "), 4u);
    EXPECT_TRUE(termina_com(ultima_linha(r.arquivo, "g01 "), " z-1.111"));
    EXPECT_TRUE(contem(r.console, "\n\nDIAMETRO USINADO MAXIMO = "));
    EXPECT_TRUE(termina_com(r.arquivo, trailer));
}

TEST(ExtremosPontaAPonta, TempoQueTransbordaMostraInf) {
    // External from a blank of 3.4e38 down to 1e-38 in one even pass plus the
    // finishing pass, ten turns each: the time overflows.
    Execucao r = executar_binario("E 1e-38 3.4e38 1e38 0 3e38 10 1 E 359.99998 1e-8 1\n");
    ASSERT_EQ(r.status, 0) << r.console;
    EXPECT_TRUE(contem(r.console, "\nTempo de usinagem: inf minutos"));
    EXPECT_TRUE(contem(r.arquivo, "\r\n;Tempo de usinagem: inf minutos\r\n"));
    EXPECT_TRUE(contem(r.console, "\nDf-Diametro final da rosca: 0.00 [mm]"));
    EXPECT_TRUE(contem(r.console, "\nAngulo Inicial de Rosca: 360.0 [graus] -> Direita / Baixo\n"));
    // The even step falls below the finishing step: the warning, and the run goes on.
    EXPECT_TRUE(contem(r.console, "CODE #010\n"));
    EXPECT_TRUE(contem(r.console, "\nRotacao S: 0 rpm"));
    EXPECT_TRUE(contem(r.arquivo, "\r\nS0\r\nG04 P3\r\nf1\r\n"));
    EXPECT_EQ(contar(r.arquivo, "\r\ng0 z5\r\n"), 2u);
    EXPECT_TRUE(termina_com(r.arquivo, "\r\ng0 x0 y0\r\n" + trailer));
}

TEST(ExtremosPontaAPonta, VoltasInfinitasMostramInfENanComSinal) {
    // L / p overflows: infinite turns, and infinity less its whole part is a
    // NaN with the sign bit set, which every platform must print as "-nan".
    // The file is a link to a full device, so the endless path stops at once.
    Execucao r = executar_binario("E\n3.4e38\n0\n3e38\n3.4e38\n1e-45\nD\n0\n1000\n2000\n",
                                  [](const std::string& dir) {
                                      std::filesystem::create_symlink("/dev/full", dir + "/" + nome_tap);
                                  });
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contem(r.console, "\nn-Fios total da rosca: inf fios\n")) << r.console;
    EXPECT_TRUE(contem(r.console, "\nAngulo Final de Rosca: -nan [graus]\n"));
    EXPECT_TRUE(contem(r.console, "\nTempo de usinagem: inf minutos\n"));
    EXPECT_TRUE(termina_com(r.console, std::string(msg_gravar_arquivo) + texto_pausa + "\n"));
}

TEST(ExtremosPontaAPonta, DenormaisNaoParamOPercurso) {
    // Every length the smallest denormal: the depth per degree underflows to
    // 0, so the first turn stays at the top and the pass ends on the first
    // point of the second turn.
    Execucao r = executar_binario("E 1e-45 0 1e-45 1e-45 1e-45 D 0 1000 200\n");
    ASSERT_EQ(r.status, 0) << r.console;
    EXPECT_EQ(contar(r.arquivo, "\r\ng01 "), 361u);
    EXPECT_EQ(contar(r.arquivo, " z-0.000\r\n"), 361u);
    EXPECT_TRUE(contem(r.arquivo, "\r\n;n-Fios total da rosca: 1.00 fios\r\n"));
    EXPECT_TRUE(contem(r.arquivo, "\r\n;passo lateral: 0 - fio rosca N: 2\r\n"));
    EXPECT_TRUE(termina_com(r.arquivo, trailer));
}

TEST(ExtremosPontaAPonta, PassoNoMaximoDoFloatEscreveAProfundidadeQueGuardou) {
    // One turn whose last point passes L = p = 3.4e38 by a rounding.
    Execucao r = executar_binario("I 20 0 10 3.4e38 3.4e38 D 0 1000 200\n");
    ASSERT_EQ(r.status, 0) << r.console;
    EXPECT_EQ(contar(r.arquivo, "\r\ng01 "), 360u);
    const float ultima = static_cast<float>(360 * static_cast<long double>(3.4e38f / 360));
    EXPECT_EQ(ultima_linha(r.arquivo, "g01 "), "g01 x5.000 y0.000 z-" + com_formato("%0.3f", ultima));
    EXPECT_TRUE(termina_com(r.arquivo, trailer));
}

TEST(ExtremosPontaAPonta, AnguloInicialLogoAbaixoDeTrezentosESessenta) {
    // Whole turns: the end angle is the start angle, both shown as 360.0; the
    // turns start at 360 degrees.
    Execucao r = executar_binario("I 20 0 10 2 1 D 359.99998 1000 200\n");
    ASSERT_EQ(r.status, 0) << r.console;
    EXPECT_TRUE(contem(r.console, "\nAngulo Inicial de Rosca: 360.0 [graus] -> Direita / Cima\n"
                                  "Angulo Final de Rosca: 360.0 [graus]\n"));
    EXPECT_TRUE(contem(r.arquivo, "\r\ng00 x5.000 y0.000\r\n"));
    EXPECT_TRUE(contem(r.arquivo, "\r\n;diametro: 20.000 [mm]\r\n\r\ng01 x5.000 y0.000 z-0.003\r\n"));
    EXPECT_EQ(contar(r.arquivo, "\r\ng01 "), 720u);
}

TEST(Extremos, VoltasSemFimTerminamNaFalhaDeGravacao) {
    // L / p overflows: infinitely many turns and an end angle that is not a
    // number. The summary still prints; the file grows until the disk refuses.
    auto console = Console::em_memoria("I 20 0 10 3.4e38 1e-45 D 0 1000 200\n");
    std::string bytes;
    int status = executar_programa(*console, [&bytes](const char*) {
        return std::make_unique<DestinoMemoria>(&bytes, std::size_t{1} << 20);
    });
    const std::string& saida = console->capturado();
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(contem(saida, "\nn-Fios total da rosca: inf fios\n"));
    EXPECT_TRUE(contem(saida, "\nTempo de usinagem: inf minutos\n"));
    const auto angulo = saida.find("\nAngulo Final de Rosca: ");
    ASSERT_NE(angulo, std::string::npos);
    EXPECT_TRUE(contem(saida.substr(angulo, 40), "nan [graus]"));
    EXPECT_TRUE(termina_com(saida, std::string(msg_gravar_arquivo) + texto_pausa + "\n"));
    EXPECT_EQ(saida.find("com sucesso"), std::string::npos);
}

}  // namespace
