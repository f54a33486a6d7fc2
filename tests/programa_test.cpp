// The whole program, built and run as a machinist runs it.
#include <gtest/gtest.h>

#include <filesystem>

#include "apoio/execucao.hpp"
#include "dialogo_esperado.hpp"
#include "nucleo/console.hpp"
#include "trabalho/parada_critica.hpp"
#include "driver/programa.hpp"

namespace {

const std::string banner = "========== Quilvane ========== rev. 1.0.7\n";
const std::string pausa = std::string(texto_pausa) + "\n";
const std::string sucesso =
    "\n\n-------------------------------------------------------------"
    "\nO PERCURSO da ferramenta foi salvo no diretorio atual, no arquivo: "
    "ROSCA-HELICOIDAL_PARALELA.TAP - com sucesso!\n\n\n";
const std::string trailer = "\r\n\r\ng50\r\n\r\nM5\r\n\r\nM30\r\n";

// Internal thread, single pass, right hand, S 1000 and F 200.
const std::string respostas = "I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n";
const std::string dialogo =
    banner + esperado::tipo + "\n" + esperado::furo + "\n" + esperado::diametro_final +
    esperado::diametro_inicial + esperado::ferramenta +
    "(verificacao: D-ferramenta 10.0 < D-final 20.0 --- OK)\n(D-inicial 0.0 --- DESABILITADO)\n" +
    esperado::comprimento + esperado::passo_rosca + esperado::sentido + "\n" + esperado::angulo_direita +
    esperado::rotacao + esperado::feed;

// The console from the start to the end of the dialogue: up to the plan's
// first block when there is one, else up to the text the run ends with.
std::string ate_o_fim_do_dialogo(const std::string& console, const std::string& fim) {
    auto corte = console.find("\n\nDEBUG #0");
    if (corte == std::string::npos) corte = console.rfind(fim);
    return console.substr(0, corte);
}

bool termina_com(const std::string& texto, const std::string& fim) {
    return texto.size() >= fim.size() && texto.compare(texto.size() - fim.size(), fim.size(), fim) == 0;
}

void plantar_arquivo(const std::string& dir, const std::string& conteudo) {
    std::FILE* f = std::fopen((dir + "/" + nome_tap).c_str(), "wb");
    std::fwrite(conteudo.data(), 1, conteudo.size(), f);
    std::fclose(f);
}

TEST(ProgramaPontaAPonta, DialogoCompletoGravaOArquivoEmCRLFEterminaComZero) {
    Execucao r = executar_binario(respostas);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ate_o_fim_do_dialogo(r.console, sucesso), dialogo);
    EXPECT_TRUE(termina_com(r.console, sucesso + pausa));
    ASSERT_TRUE(r.arquivo_existe);
    EXPECT_TRUE(termina_com(r.arquivo, trailer));
    // The preamble carries the answered spindle speed and feed.
    EXPECT_NE(r.arquivo.find("\r\nS1000\r\n"), std::string::npos);
    EXPECT_NE(r.arquivo.find("\r\nf200\r\n"), std::string::npos);
}

TEST(ProgramaPontaAPonta, SubstituiUmArquivoAnteriorPorInteiro) {
    Execucao r = executar_binario(
        respostas, [](const std::string& dir) { plantar_arquivo(dir, std::string(100000, 'x')); });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.arquivo, executar_binario(respostas).arquivo);
}

TEST(ProgramaPontaAPonta, FimDaEntradaNoMeioDoDialogoNaoTocaNoArquivo) {
    Execucao r = executar_binario("I\n20\n", [](const std::string& dir) { plantar_arquivo(dir, "velho\n"); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.console, banner + esperado::tipo + "\n" + esperado::furo + "\n" + esperado::diametro_final +
                             esperado::diametro_inicial + msg_entrada_encerrada + pausa);
    EXPECT_EQ(r.arquivo, "velho\n");
}

TEST(ProgramaPontaAPonta, ArquivoQueNaoAbreParaComStatusUm) {
    Execucao r = executar_binario(respostas, [](const std::string& dir) {
        std::filesystem::create_directory(dir + "/" + nome_tap);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ate_o_fim_do_dialogo(r.console, msg_abrir_arquivo), dialogo);
    EXPECT_TRUE(termina_com(r.console, msg_abrir_arquivo + pausa));
    EXPECT_FALSE(r.arquivo_existe);
}

TEST(ProgramaPontaAPonta, FalhaDeGravacaoParaSemLinhasDeSucesso) {
    Execucao r = executar_binario(respostas, [](const std::string& dir) {
        std::filesystem::create_symlink("/dev/full", dir + "/" + nome_tap);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ate_o_fim_do_dialogo(r.console, msg_gravar_arquivo), dialogo);
    EXPECT_TRUE(termina_com(r.console, msg_gravar_arquivo + pausa));
    EXPECT_EQ(r.console.find("com sucesso"), std::string::npos);
}

TEST(ProgramaEmMemoria, FalhaDeGravacaoNoMeioDoArquivoTambemPara) {
    // In-process, a destination that refuses bytes after the first few.
    auto console = Console::em_memoria(respostas);
    std::string bytes;
    int status = executar_programa(*console, [&bytes](const char*) {
        return std::make_unique<DestinoMemoria>(&bytes, 10);
    });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(ate_o_fim_do_dialogo(console->capturado(), msg_gravar_arquivo), dialogo);
    EXPECT_TRUE(termina_com(console->capturado(), msg_gravar_arquivo + pausa));
    EXPECT_EQ(console->capturado().find("com sucesso"), std::string::npos);
    EXPECT_EQ(bytes.size(), 10u);
}

}  // namespace
