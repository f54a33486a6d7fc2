// Standard input as the platforms differ on it: the Windows program reads an
// answer file in binary mode and tells a console from other character devices.
// These run against the Linux build and, in CI, against the Windows build under Wine.
#include <gtest/gtest.h>

#include <string>

#include "apoio/execucao.hpp"
#include "nucleo/console.hpp"

namespace {

// A whole internal-thread job, one answer per line.
const std::string respostas_lf = "I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n";

std::string em_crlf(const std::string& texto) {
    std::string r;
    for (char c : texto) {
        if (c == '\n') r += '\r';
        r += c;
    }
    return r;
}

void espera_mesma_execucao(const Execucao& a, const Execucao& b) {
    EXPECT_EQ(a.status, b.status);
    EXPECT_EQ(a.console, b.console);
    EXPECT_EQ(a.arquivo_existe, b.arquivo_existe);
    EXPECT_EQ(a.arquivo, b.arquivo);
}

TEST(PlataformaPontaAPonta, RespostasEmCRLFOuNumaLinhaSoDaoAMesmaExecucao) {
    Execucao lf = executar_binario(respostas_lf);
    {
        SCOPED_TRACE("CR LF");
        espera_mesma_execucao(executar_binario(em_crlf(respostas_lf)), lf);
    }
    {
        SCOPED_TRACE("uma linha");
        espera_mesma_execucao(executar_binario("I 20 0 10 2 1 D 0 1000 200\r\n"), lf);
    }
}

TEST(PlataformaPontaAPonta, ByteCtrlZNaoEncerraAEntrada) {
    // A text-mode read on Windows would take 0x1A as the end of input and stop
    // the run; here it is just a key that the first question rejects.
    Execucao normal = executar_binario(respostas_lf);
    Execucao com_ctrl_z = executar_binario("\x1a\n" + respostas_lf);
    EXPECT_EQ(com_ctrl_z.status, normal.status);
    EXPECT_EQ(com_ctrl_z.arquivo_existe, normal.arquivo_existe);
    EXPECT_EQ(com_ctrl_z.arquivo, normal.arquivo);
}

TEST(PlataformaPontaAPonta, DispositivoNuloNaoEhTerminal) {
    // A character device but no terminal: read as an empty answer file, and
    // the pause is the program's own text, without waiting.
    Execucao nulo = executar_binario_entrada_nula();
    espera_mesma_execucao(nulo, executar_binario(""));
    const std::string fim_pausa = std::string(texto_pausa) + "\n";
    ASSERT_GE(nulo.console.size(), fim_pausa.size());
    EXPECT_EQ(nulo.console.substr(nulo.console.size() - fim_pausa.size()), fim_pausa);
}

}  // namespace
