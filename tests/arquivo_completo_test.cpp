// Whole runs compared byte for byte with reviewed transcripts and G-code files.
// The files in tests/dados were checked line by line against the documented
// layout (header, preamble, pass blocks, extents, trailer) before being kept.
#include <gtest/gtest.h>

#include "apoio/execucao.hpp"

namespace {

std::string dados(const std::string& nome) { return ler_arquivo(std::string(ROSCA_DADOS_TESTES "/") + nome); }

TEST(ArquivoCompletoPontaAPonta, InternaDeUmPasseComoOExemploDeLayout) {
    // Df 20, no blank, cutter 10, L 2, p 1, right hand, 0 degrees, 1000 rpm, 200 mm/min.
    Execucao r = executar_binario("I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console, dados("interna_passe_unico.console"));
    ASSERT_TRUE(r.arquivo_existe);
    EXPECT_EQ(r.arquivo, dados("interna_passe_unico.tap"));
}

TEST(ArquivoCompletoPontaAPonta, ExternaComQuatroPassesEAcabamento) {
    Execucao r = executar_binario("E\n20\n24\n0.5\n0.2\n10\n2\n1\nD\n0\n1000\n200\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console, dados("externa_cinco_passes.console"));
    ASSERT_TRUE(r.arquivo_existe);
    EXPECT_EQ(r.arquivo, dados("externa_cinco_passes.tap"));
}

TEST(ArquivoCompletoPontaAPonta, FuroMaiorQueODiametroFinalParaNoComentarioDoDiametro) {
    // Near 2^21 the float spacing is 0.25: a cutter of 0.125 machines 0.125 over
    // the final diameter, beyond the 0.1 tolerance; 0.09375 stays within it.
    // The program formed so far is given up: no file, no temporary left.
    Execucao recusa = executar_binario("I\n2097153\n0\n0.125\n1\n1\nD\n0\n1000\n200\n");
    EXPECT_EQ(recusa.status, 1);
    const std::string fim_console =
        "\n\nDIAMETRO USINADO MAXIMO = 2097153.125 [mm]"
        "\n\aERRO CRITICO - DIAMETRO FINAL MAIOR QUE O FURO!!!\n\a"
        "Nenhum arquivo foi gravado.\n"
        "Pressione qualquer tecla para continuar. . . \n";
    ASSERT_GE(recusa.console.size(), fim_console.size());
    EXPECT_EQ(recusa.console.substr(recusa.console.size() - fim_console.size()), fim_console);
    EXPECT_FALSE(recusa.arquivo_existe);
    EXPECT_TRUE(recusa.outros_arquivos.empty());

    Execucao aceita = executar_binario("I\n2097153\n0\n0.09375\n1\n1\nD\n0\n1000\n200\n");
    EXPECT_EQ(aceita.status, 0);
    EXPECT_NE(aceita.console.find("\n\nDIAMETRO USINADO MAXIMO = 2097153.094 [mm]\n\n---"), std::string::npos);
}

}  // namespace
