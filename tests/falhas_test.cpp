// Faults of the machine while the file is written: the run must stop with its
// message and status 1, and never report a file it could not write whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "apoio/execucao.hpp"
#include "nucleo/console.hpp"
#include "trabalho/parada_critica.hpp"
#include "driver/programa.hpp"

namespace {

const std::string pausa = std::string(texto_pausa) + "\n";

// Internal thread, one pass of 100 turns: about 1.1 MB, several times the
// writer's buffer, so a failing disk shows up while the passes are written.
const std::string respostas_arquivo_grande = "I 20 0 10 100 1 D 0 1000 200\n";

bool termina_com(const std::string& texto, const std::string& fim) {
    return texto.size() >= fim.size() && texto.compare(texto.size() - fim.size(), fim.size(), fim) == 0;
}

// What every failed write must leave on the console: the message and the
// pause at the very end, no success lines, and no extents report, since the
// run stopped inside the pass blocks.
void conferir_parada_de_gravacao(int status, const std::string& console, const std::string& depois = "") {
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(termina_com(console, msg_gravar_arquivo + depois + pausa)) << console.substr(console.size() - 200);
    EXPECT_EQ(console.find("com sucesso"), std::string::npos);
    EXPECT_EQ(console.find("DIAMETRO USINADO MAXIMO"), std::string::npos);
    // The summary came before the file was opened.
    EXPECT_NE(console.find("DADOS DO PROGRAMA G-CODE"), std::string::npos);
}

TEST(FalhasEmMemoria, FalhaDeGravacaoNoMeioDosPassesParaSemLinhasDeSucesso) {
    auto console = Console::em_memoria(respostas_arquivo_grande);
    std::string bytes;
    const std::size_t limite = 300000;
    int status = executar_programa(*console, [&bytes, limite](const char*) {
        return std::make_unique<DestinoMemoria>(&bytes, limite);
    });
    conferir_parada_de_gravacao(status, console->capturado());
    // Header and preamble went through; the file stops inside a turn, no trailer.
    EXPECT_EQ(bytes.size(), limite);
    EXPECT_EQ(bytes.front(), ';');
    EXPECT_NE(bytes.find("\r\ng51 x1.00 y1.00\r\n"), std::string::npos);
    EXPECT_NE(bytes.find(";passo lateral: 0 - fio rosca N: 2\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("g50"), std::string::npos);
}

// Every byte goes in, but closing the file fails (the disk lost the last block).
class DestinoQueNaoFecha final : public DestinoArquivo {
public:
    explicit DestinoQueNaoFecha(std::string* bytes) : bytes_(bytes) {}
    bool gravar(const char* dados, std::size_t n) override {
        bytes_->append(dados, n);
        return true;
    }
    bool fechar() override { return false; }

private:
    std::string* bytes_;
};

TEST(FalhasEmMemoria, FalhaAoFecharTambemParaComStatusUm) {
    auto console = Console::em_memoria("I 20 0 10 2 1 D 0 1000 200\n");
    std::string bytes;
    int status = executar_programa(*console, [&bytes](const char*) {
        return std::make_unique<DestinoQueNaoFecha>(&bytes);
    });
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(termina_com(console->capturado(), msg_gravar_arquivo + pausa));
    EXPECT_EQ(console->capturado().find("com sucesso"), std::string::npos);
    // The whole file had been handed over, trailer included, before the close failed.
    EXPECT_TRUE(termina_com(bytes, "\r\n\r\nM30\r\n"));
}

TEST(FalhasEmMemoria, ArquivoQueNaoAbreNaoChegaAosPasses) {
    auto console = Console::em_memoria("I 20 0 10 2 1 D 0 1000 200\n");
    int status = executar_programa(*console, [](const char*) { return std::unique_ptr<DestinoArquivo>(); });
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(termina_com(console->capturado(), msg_abrir_arquivo + pausa));
    EXPECT_EQ(console->capturado().find("DIAMETRO USINADO MAXIMO"), std::string::npos);
}

TEST(FalhasEmMemoria, ConsoleComCapacidadeParaAlemDelaSemSerApanhadoPeloPrograma) {
    // The bound a harness puts on a run that prints without end: the program
    // itself must not swallow it as one of its own stops.
    const std::string respostas = "I 20 0 10 2 1 D 0 1000 200\n";
    const std::size_t inteiro = executar_em_memoria(respostas).console.size();

    auto cabe = Console::em_memoria(respostas, inteiro);
    EXPECT_EQ(executar_programa(*cabe, [](const char*) {
                  static std::string ignorado;
                  return std::make_unique<DestinoMemoria>(&ignorado);
              }),
              0);

    auto curto = Console::em_memoria(respostas, inteiro - 1);
    std::string bytes;
    EXPECT_THROW(executar_programa(*curto, [&bytes](const char*) { return std::make_unique<DestinoMemoria>(&bytes); }),
                 ConsoleCheia);
    EXPECT_LE(curto->capturado().size(), inteiro - 1);
}

TEST(FalhasPontaAPonta, DiscoCheioNoMeioDosPassesParaSemLinhasDeSucesso) {
    // A device is written directly, as a serial port that feeds a control
    // would be: what it was sent is gone, and no line says otherwise.
    Execucao r = executar_binario(respostas_arquivo_grande, [](const std::string& dir) {
        std::filesystem::create_symlink("/dev/full", dir + "/" + nome_tap);
    });
    conferir_parada_de_gravacao(r.status, r.console);
}

const std::string anterior = "programa do trabalho anterior\r\n";

void plantar_anterior(const std::string& dir) { std::ofstream(dir + "/" + nome_tap, std::ios::binary) << anterior; }

TEST(FalhasPontaAPonta, DiscoCheioNumArquivoComumDeixaOAnteriorComoEstava) {
    // 64 KB for any file: the program stops inside its passes.
    Execucao r = executar_binario_limitado(respostas_arquivo_grande, 65536, plantar_anterior);
    conferir_parada_de_gravacao(r.status, r.console, "Nenhum arquivo foi gravado.\n");
    EXPECT_EQ(r.arquivo, anterior);
    EXPECT_TRUE(r.outros_arquivos.empty());
}

TEST(FalhasPontaAPonta, FuroRecusadoDeixaOAnteriorComoEstava) {
    Execucao r = executar_binario("I\n2097153\n0\n0.125\n1\n1\nD\n0\n1000\n200\n", plantar_anterior);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(termina_com(r.console, "MAIOR QUE O FURO!!!\n\aNenhum arquivo foi gravado.\n" + pausa));
    EXPECT_EQ(r.arquivo, anterior);
    EXPECT_TRUE(r.outros_arquivos.empty());
}

TEST(FalhasPontaAPonta, LinkParaArquivoGravaOArquivoEOLinkFica) {
    const std::string respostas = "I 20 0 10 2 1 D 0 1000 200\n";
    auto link = [](const std::string& dir) {
        std::ofstream(dir + "/alvo.tap", std::ios::binary) << anterior;
        std::filesystem::create_symlink("alvo.tap", dir + "/" + nome_tap);
    };
    Execucao r = executar_binario(respostas, link);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.arquivo_eh_link);
    EXPECT_EQ(r.arquivo, executar_binario(respostas).arquivo);
    EXPECT_EQ(r.outros_arquivos, std::vector<std::string>{"alvo.tap"});

    Execucao falha = executar_binario("I\n2097153\n0\n0.125\n1\n1\nD\n0\n1000\n200\n", link);
    EXPECT_EQ(falha.status, 1);
    EXPECT_TRUE(falha.arquivo_eh_link);
    EXPECT_EQ(falha.arquivo, anterior);
    EXPECT_EQ(falha.outros_arquivos, std::vector<std::string>{"alvo.tap"});
}

}  // namespace
