// The whole program, built and run as a machinist runs it.
#include <gtest/gtest.h>

#include <filesystem>

#include "apoio/execucao.hpp"
#include "driver/console.hpp"
#include "driver/parada_critica.hpp"
#include "driver/programa.hpp"

namespace {

const std::string banner = "========== Quilvane ========== rev. 1.0.7\n";
const std::string pausa = std::string(texto_pausa) + "\n";
const std::string sucesso =
    "\n\n-------------------------------------------------------------"
    "\nO PERCURSO da ferramenta foi salvo no diretorio atual, no arquivo: "
    "ROSCA-HELICOIDAL_PARALELA.TAP - com sucesso!\n\n\n";

TEST(ProgramaPontaAPonta, EscreveAMolduraDoArquivoEmCRLFEterminaComZero) {
    Execucao r = executar_binario("");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console, banner + sucesso + pausa);
    ASSERT_TRUE(r.arquivo_existe);
    EXPECT_EQ(r.arquivo,
              "\r\n\r\ng00 z3\r\ng00 x0 y0\r\n\r\nM3\r\nS0\r\nG04 P3\r\nf0\r\n\r\ng51 x1.00 y1.00\r\n"
              "\r\n\r\ng50\r\n\r\nM5\r\n\r\nM30\r\n");
}

TEST(ProgramaPontaAPonta, SubstituiUmArquivoAnteriorPorInteiro) {
    Execucao r = executar_binario("", [](const std::string& dir) {
        std::string velho(100000, 'x');
        std::FILE* f = std::fopen((dir + "/" + nome_tap).c_str(), "wb");
        std::fwrite(velho.data(), 1, velho.size(), f);
        std::fclose(f);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.arquivo, executar_binario("").arquivo);
}

TEST(ProgramaPontaAPonta, ArquivoQueNaoAbreParaComStatusUm) {
    Execucao r = executar_binario("", [](const std::string& dir) {
        std::filesystem::create_directory(dir + "/" + nome_tap);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.console, banner + msg_abrir_arquivo + pausa);
    EXPECT_FALSE(r.arquivo_existe);
}

TEST(ProgramaPontaAPonta, FalhaDeGravacaoParaSemLinhasDeSucesso) {
    Execucao r = executar_binario("", [](const std::string& dir) {
        std::filesystem::create_symlink("/dev/full", dir + "/" + nome_tap);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.console, banner + msg_gravar_arquivo + pausa);
}

TEST(ProgramaEmMemoria, FalhaDeGravacaoNoMeioDoArquivoTambemPara) {
    // In-process, a destination that refuses bytes after the first few.
    auto console = Console::em_memoria("");
    std::string bytes;
    int status = executar_programa(*console, [&bytes](const char*) {
        return std::make_unique<DestinoMemoria>(&bytes, 10);
    });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(console->capturado(), banner + msg_gravar_arquivo + pausa);
    EXPECT_EQ(bytes.size(), 10u);
}

}  // namespace
