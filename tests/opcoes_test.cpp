// The generator's command line: options answer and end, touching no file;
// without arguments the dialogue runs as it always has (the other suites).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "apoio/execucao.hpp"

namespace {

void sem_arquivos(const Execucao& r) {
    EXPECT_FALSE(r.arquivo_existe);
    EXPECT_TRUE(r.outros_arquivos.empty()) << r.outros_arquivos.front();
}

TEST(OpcoesPontaAPonta, AjudaEVersaoSaoTextoNaSaidaEStatusZero) {
    const Execucao ajuda = executar_com_argumentos("--help");
    EXPECT_EQ(ajuda.status, 0);
    EXPECT_TRUE(ajuda.console.starts_with("Uso: rosca-helicoidal")) << ajuda.console;
    EXPECT_NE(ajuda.console.find("ROSCA-HELICOIDAL_PARALELA.TAP"), std::string::npos);
    EXPECT_EQ(ajuda.erros, "");
    sem_arquivos(ajuda);
    std::istringstream linhas(ajuda.console);
    for (std::string l; std::getline(linhas, l);) {
        EXPECT_LE(l.size(), 79u) << l;
        for (char c : l) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << l;
    }
    EXPECT_EQ(executar_com_argumentos("-h").console, ajuda.console);

    const Execucao versao = executar_com_argumentos("--version");
    EXPECT_EQ(versao.status, 0);
    EXPECT_EQ(versao.console, "rosca-helicoidal 1.0.7\n");
    EXPECT_EQ(versao.erros, "");
    sem_arquivos(versao);
}

TEST(OpcoesPontaAPonta, ArgumentoInvalidoEhUmaLinhaNoErroEStatusDois) {
    // Answers on standard input must not start the dialogue either.
    const std::string respostas = "I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n";
    for (const char* argumentos : {"--ajuda", "ROSCA.TAP", "--help demais", "--medidas"}) {
        SCOPED_TRACE(argumentos);
        const Execucao r = executar_com_argumentos(argumentos, respostas);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.console, "");
        sem_arquivos(r);
        ASSERT_FALSE(r.erros.empty());
        EXPECT_EQ(r.erros.find('\n'), r.erros.size() - 1) << r.erros;
        EXPECT_NE(r.erros.find("--help"), std::string::npos) << r.erros;
    }
    EXPECT_NE(executar_com_argumentos("ROSCA.TAP").erros.find("'ROSCA.TAP'"), std::string::npos);
}

// Each option's row gives its value's form and range: the line for a value
// outside it, for a value missing or not wanted, and for an option twice.
TEST(OpcoesPontaAPonta, CadaOpcaoRecusaOValorForaDaSuaFaixaComASuaLinha) {
    const std::string respostas = "I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n";
    const std::string ajuda = " (veja rosca-helicoidal --help)\n";
    const std::pair<const char*, std::string> casos[] = {
        {"--ferramenta 100", "--ferramenta '100': use um numero de 1 a 99"},
        {"--comando fanuc --programa=0", "--programa '0': use um numero de 1 a 9999"},
        {"--repetir-acabamento 6", "--repetir-acabamento '6': use um numero de 1 a 5"},
        {"--perfis 51", "--perfis '51': use um numero de 1 a 50"},
        {"--entradas 1.5", "--entradas '1.5': use um numero de 1 a 12"},
        {"--conicidade 1:2", "--conicidade '1:2': use 1:N, N de 3 a 100 (1:16 no tubo)"},
        {"--compensacao=raio", "--compensacao 'raio': use desgaste ou contorno"},
        {"--compensacao=", "--compensacao sem valor"},
        {"--arcos=sim", "--arcos nao leva valor"},
        {"--saida=", "--saida sem valor"},
        {"--arcos --perfis", "--perfis sem valor"},
        {"--entradas 2 --entradas 3", "--entradas dada duas vezes"},
    };
    for (const auto& [argumentos, linha] : casos) {
        SCOPED_TRACE(argumentos);
        const Execucao r = executar_com_argumentos(argumentos, respostas);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.erros, "rosca-helicoidal: " + linha + ajuda);
        sem_arquivos(r);
    }
    // Their edges are taken.
    for (const char* argumentos : {"--ferramenta 99 --entradas 12", "--compensacao desgaste --repetir-acabamento 5"}) {
        SCOPED_TRACE(argumentos);
        EXPECT_EQ(executar_com_argumentos(argumentos, respostas).status, 0);
    }
}

TEST(OpcoesPontaAPonta, AjudaQueNaoChegaASaidaNaoEhSucesso) {
    const char* externo = std::getenv("ROSCA_EXECUTAR");
    const std::string programa = externo != nullptr && *externo != '\0' ? externo : "'" ROSCA_BINARIO "'";
    const int bruto = std::system((programa + " --help > /dev/full 2>/dev/null").c_str());
    ASSERT_TRUE(WIFEXITED(bruto));
    EXPECT_EQ(WEXITSTATUS(bruto), 1);
}

TEST(OpcoesPontaAPonta, MedidasMostraORelatorioOuUmaLinhaDeErro) {
    // Unquoted, a designation with blanks arrives as several arguments.
    for (const char* argumentos : {"--medidas M20x2.5", "--medidas=m20X2,5", "--medidas ' M 20 x 2.5 '"}) {
        SCOPED_TRACE(argumentos);
        const Execucao r = executar_com_argumentos(argumentos);
        EXPECT_EQ(r.status, 0) << r.erros;
        EXPECT_EQ(r.erros, "");
        sem_arquivos(r);
        for (const char* figura : {"18.376", "17.294", "16.933", "Broca para o furo: 17.5 mm"})
            EXPECT_NE(r.console.find(figura), std::string::npos) << figura << "\n" << r.console;
    }
    EXPECT_EQ(executar_com_argumentos("--medidas G 1 1/4").console,
              executar_com_argumentos("--medidas 'G1 1/4'").console);

    const Execucao errada = executar_com_argumentos("--medidas G1/3");
    EXPECT_EQ(errada.status, 2);
    EXPECT_EQ(errada.console, "");
    EXPECT_EQ(errada.erros.find('\n'), errada.erros.size() - 1) << errada.erros;
    EXPECT_NE(errada.erros.find("G1/3"), std::string::npos);
    sem_arquivos(errada);
}

}  // namespace
