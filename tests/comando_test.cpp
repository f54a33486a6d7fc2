// The file for the machinist's control: each --comando profile's file taken
// by its control (LinuxCNC's own interpreter; checkers of GRBL's and
// Fanuc's documented rules), the same path in every dialect, and the
// options' errors.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "apoio/dialetos.hpp"
#include "apoio/execucao.hpp"

namespace {

struct Trabalho {
    const char* nome;
    const char* respostas;
    // A start angle with a fraction: with options each chord ends at the
    // helix's own depth, where today's file takes a whole degree's for the
    // first chord, short of one; the path is the same in every dialect, but
    // not today's.
    bool fracao = false;
};
const Trabalho trabalhos[] = {
    {"interna", "I\n20\n17\n0.5\n0.1\n10\n2\n1\nD\n0\n1000\n200\n"},
    {"externa", "E\n20\n24\n0.5\n0.2\n10\n2\n1\nD\n30.5\n1000\n200\n", true},
    {"esquerda", "I\n16\n14\n0.3\n0\n10\n3\n2\nE\n90\n4000\n150\n"},
};

// The one file a run with `argumentos` wrote, and its name.
std::string arquivo_escrito(const Execucao& r, std::string* nome = nullptr) {
    EXPECT_EQ(r.status, 0) << r.console.substr(r.console.size() > 300 ? r.console.size() - 300 : 0);
    EXPECT_EQ(r.outros_conteudos.size(), 1u);
    if (r.outros_conteudos.empty()) return {};
    if (nome) *nome = r.outros_conteudos.begin()->first;
    return r.outros_conteudos.begin()->second;
}

void mesmos_movimentos(const std::vector<MovimentoLido>& a, const std::vector<MovimentoLido>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].rapido, b[i].rapido) << "movimento " << i;
        ASSERT_NEAR(a[i].x, b[i].x, 1e-9) << "movimento " << i;
        ASSERT_NEAR(a[i].y, b[i].y, 1e-9) << "movimento " << i;
        ASSERT_NEAR(a[i].z, b[i].z, 1e-9) << "movimento " << i;
    }
}

TEST(ComandoPontaAPonta, CadaPerfilComONomeDoArquivoEOMesmoPercursoDeHoje) {
    for (const Trabalho& t : trabalhos) {
        SCOPED_TRACE(t.nome);
        const Execucao hoje = executar_binario(t.respostas);
        auto movimentos = movimentos_do_arquivo(hoje.arquivo);
        ASSERT_GT(movimentos.size(), 700u);
        if (t.fracao) {
            // Every profile's path is LinuxCNC's (its depths are the helix's: entradas_test.cpp).
            movimentos = movimentos_do_arquivo(
                arquivo_escrito(executar_com_argumentos("--comando linuxcnc --saida p.ngc", t.respostas)));
            ASSERT_GT(movimentos.size(), 700u);
        }
        // Today's file is none of these controls' own: the checkers say so.
        EXPECT_FALSE(conferir_grbl(hoje.arquivo).empty());
        EXPECT_FALSE(conferir_fanuc(hoje.arquivo).empty());
        struct Perfil {
            const char* comando;
            const char* nome;
        } perfis[] = {{"linuxcnc", "ROSCA-HELICOIDAL_PARALELA.ngc"},
                      {"grbl", "ROSCA-HELICOIDAL_PARALELA.nc"},
                      {"fanuc", "ROSCA-HELICOIDAL_PARALELA.nc"}};
        for (const Perfil& p : perfis) {
            SCOPED_TRACE(p.comando);
            const Execucao r = executar_com_argumentos(std::string("--comando ") + p.comando, t.respostas);
            std::string nome;
            const std::string arquivo = arquivo_escrito(r, &nome);
            EXPECT_EQ(nome, p.nome);
            // The dialogue and the summary as today, with the time the path
            // takes beside the estimate; the success line names the file.
            const std::string fim = "salvo no arquivo: " + nome + " - com sucesso!\n\n\n";
            EXPECT_NE(r.console.find(fim), std::string::npos);
            std::string console = r.console;
            const std::string tempo = "\nTempo de corte pelo percurso: ";
            const std::size_t onde = console.find(tempo);
            ASSERT_NE(onde, std::string::npos);
            console.erase(onde, console.find('\n', onde + 1) - onde);
            // The last chord of a helix from a fractional degree may end a hair past L.
            if (const std::size_t z = console.find("\nZ minimo do percurso: "); t.fracao && z != std::string::npos)
                console.erase(z, console.find('\n', z + 1) - z);
            EXPECT_EQ(console.substr(0, console.find("\n\n------------------------------------------------"
                                                     "-------------\nO PERCURSO")),
                      hoje.console.substr(0, hoje.console.find("\n\n------------------------------------------"
                                                               "-------------------\nO PERCURSO")));
            // Today's path, every move, in the profile's words; no scaling.
            mesmos_movimentos(movimentos_do_arquivo(arquivo), movimentos);
            EXPECT_EQ(arquivo.find("G51"), std::string::npos);
            // The safe start before the first move.
            EXPECT_LT(arquivo.find("G21 G90 G17 G94 G40 G80"), arquivo.find("Z3"));
            if (std::string(p.comando) == "grbl") {
                EXPECT_EQ(conferir_grbl(arquivo), std::vector<std::string>{});
            } else if (std::string(p.comando) == "fanuc") {
                EXPECT_EQ(conferir_fanuc(arquivo), std::vector<std::string>{});
            }
        }
    }
}

TEST(ComandoPontaAPonta, LinuxcncLeCadaArquivoComEsemFerramenta) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) is not installed";
    for (const Trabalho& t : trabalhos) {
        SCOPED_TRACE(t.nome);
        for (const char* ferramenta : {"", " --ferramenta 7"}) {
            SCOPED_TRACE(ferramenta);
            const std::string arquivo =
                arquivo_escrito(executar_com_argumentos(std::string("--comando linuxcnc") + ferramenta, t.respostas));
            std::string saida;
            const std::string tabela = *ferramenta ? "T7 P7 D10 Z0 ;fresa de rosca\n" : "";
            ASSERT_TRUE(rodar_rs274(arquivo, tabela, saida)) << saida.substr(saida.size() > 600 ? saida.size() - 600 : 0);
            // The interpreter's moves are the file's moves.
            mesmos_movimentos(movimentos_canonicos(saida), movimentos_do_arquivo(arquivo));
            EXPECT_NE(saida.find("DWELL(3.0000)"), std::string::npos);
            EXPECT_NE(saida.find("START_SPINDLE_CLOCKWISE"), std::string::npos);
            EXPECT_NE(saida.find("PROGRAM_END"), std::string::npos);
            EXPECT_EQ(saida.find("CHANGE_TOOL") != std::string::npos, *ferramenta != '\0');
        }
    }
}

TEST(Rs274, CadaExecucaoLeSuaPropriaTabelaDeFerramentas) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) is not installed";
    // Another rs274 of the same user runs without a tool table all along, as
    // a hand run or another checkout's tests would. It shares this process's
    // HOME, pointed for the test at a directory of its own so that the
    // user's real one is left alone.
    namespace fs = std::filesystem;
    std::string modelo = (fs::temp_directory_path() / "rosca-casa-XXXXXX").string();
    ASSERT_NE(mkdtemp(modelo.data()), nullptr);
    const std::string casa = modelo;
    struct CasaDoTeste {
        std::string antiga;
        bool tinha;
        explicit CasaDoTeste(const std::string& nova) : tinha(std::getenv("HOME") != nullptr) {
            if (tinha) antiga = std::getenv("HOME");
            setenv("HOME", nova.c_str(), 1);
        }
        ~CasaDoTeste() { tinha ? setenv("HOME", antiga.c_str(), 1) : unsetenv("HOME"); }
    } casa_do_teste(casa);
    std::ofstream(casa + "/vazio.ngc") << "G21\nM2\n";
    const std::string laco = "cd '" + casa + "' && while [ ! -e parar ]; do rs274 -g vazio.ngc >/dev/null 2>&1; done";
    const char* argv[] = {"sh", "-c", laco.c_str(), nullptr};
    pid_t outro = -1;
    EXPECT_EQ(posix_spawn(&outro, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ), 0);

    int falhas = 0;
    std::string ultima;
    for (int i = 0; i < 20; ++i) {
        std::string saida;
        if (!rodar_rs274("G21\nT7 M6\nM2\n", "T7 P7 D10 Z0 ;fresa de rosca\n", saida) ||
            saida.find("CHANGE_TOOL") == std::string::npos) {
            ++falhas;
            ultima = saida;
        }
    }
    std::ofstream(casa + "/parar");
    if (outro > 0) waitpid(outro, nullptr, 0);
    std::error_code ignorado;
    fs::remove_all(casa, ignorado);
    EXPECT_EQ(falhas, 0) << ultima.substr(ultima.size() > 400 ? ultima.size() - 400 : 0);
}

TEST(ComandoPontaAPonta, FerramentaProgramaESaida) {
    const char* respostas = trabalhos[0].respostas;
    std::string arquivo = arquivo_escrito(executar_com_argumentos("--comando fanuc --ferramenta 12 --programa 345", respostas));
    EXPECT_TRUE(arquivo.starts_with("%\r\nO0345\r\n("));
    EXPECT_NE(arquivo.find("\r\nT12 M06\r\nG43 H12\r\n"), std::string::npos);
    EXPECT_NE(arquivo.find("\r\nG04 P3000\r\n"), std::string::npos);
    EXPECT_TRUE(arquivo.ends_with("\r\nM05\r\nM30\r\n%\r\n"));

    // GRBL changes no tool: the number only as a comment.
    arquivo = arquivo_escrito(executar_com_argumentos("--comando=grbl --ferramenta=4", respostas));
    EXPECT_EQ(arquivo.find("M6"), std::string::npos);
    EXPECT_NE(arquivo.find("(ferramenta T4: "), std::string::npos);
    EXPECT_EQ(conferir_grbl(arquivo), std::vector<std::string>{});

    // Today's dialect under another name, wherever the path says; as with
    // every option, the header gives the time the path takes and the
    // answered diameters to the path's decimals.
    std::string nome;
    arquivo = arquivo_escrito(executar_com_argumentos("--saida peca-12.tap", respostas), &nome);
    EXPECT_EQ(nome, "peca-12.tap");
    for (const std::string a_mais : {";Tempo de corte pelo percurso: 1.2 minutos\r\n",
                                     "\r\n;Medidas do percurso: Df 20.000 Di 17.000 ferramenta 10.000 [mm]\r\n"}) {
        const std::size_t onde = arquivo.find(a_mais);
        ASSERT_NE(onde, std::string::npos) << a_mais;
        arquivo.erase(onde, a_mais.size());
    }
    EXPECT_EQ(arquivo, executar_binario(respostas).arquivo);

    // A folder that is not there is said before the first question, with the path.
    const Execucao sem_pasta = executar_com_argumentos("--saida nao/existe/peca.tap", respostas);
    EXPECT_EQ(sem_pasta.status, 2);
    EXPECT_EQ(sem_pasta.console, "");
    EXPECT_NE(sem_pasta.erros.find("nao e possivel gravar 'nao/existe/peca.tap': a pasta 'nao/existe' nao existe"),
              std::string::npos)
        << sem_pasta.erros;
    EXPECT_TRUE(sem_pasta.outros_arquivos.empty());
    // Dialect names in any case.
    EXPECT_EQ(arquivo_escrito(executar_com_argumentos("--comando LinuxCNC", respostas)),
              arquivo_escrito(executar_com_argumentos("--comando linuxcnc", respostas)));
}

TEST(ComandoPontaAPonta, ErrosDeOpcaoSaoUmaLinhaEStatusDois) {
    for (const char* argumentos : {"--comando haas", "--comando", "--programa 0 --comando fanuc",
                                   "--comando fanuc --programa 10000", "--ferramenta 0", "--ferramenta x",
                                   "--comando grbl --comando grbl", "--saida a --saida b", "--programa 3",
                                   "--comando linuxcnc extra"}) {
        SCOPED_TRACE(argumentos);
        const Execucao r = executar_com_argumentos(argumentos, trabalhos[0].respostas);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.console, "");
        EXPECT_TRUE(r.outros_arquivos.empty());
        ASSERT_FALSE(r.erros.empty());
        EXPECT_EQ(r.erros.find('\n'), r.erros.size() - 1) << r.erros;
        EXPECT_LE(r.erros.size(), 121u) << r.erros;
    }
}

}  // namespace
