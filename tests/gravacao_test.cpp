// How the file is written, and refused before it is: every signal that ends
// the process leaves no temporary behind; a pipe whose reader goes away is a
// failed write; a file too large for its folder or for any job, and holes
// whose threads would meet, are refused before the first byte.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "apoio/execucao.hpp"
#include "driver/programa.hpp"
#include "nucleo/arquivo.hpp"
#include "nucleo/console.hpp"

namespace {

namespace fs = std::filesystem;

std::string pasta_temporaria() {
    std::string modelo = (fs::temp_directory_path() / "rosca-gravacao-XXXXXX").string();
    return mkdtemp(modelo.data()) != nullptr ? modelo : std::string();
}

std::vector<std::string> nomes_em(const std::string& pasta) {
    std::vector<std::string> r;
    for (const auto& e : fs::directory_iterator(pasta)) r.push_back(e.path().filename().string());
    std::sort(r.begin(), r.end());
    return r;
}

// Whether process `pid` has a file of `pasta` open for writing, other than those named in `fora`.
bool gravando_em(pid_t pid, const std::string& pasta, const std::vector<std::string>& fora) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code erro;
    for (const auto& e : fs::directory_iterator(fds, erro)) {
        char alvo[4096];
        const ssize_t n = readlink(e.path().c_str(), alvo, sizeof alvo - 1);
        if (n <= 0) continue;
        const std::string caminho(alvo, static_cast<std::size_t>(n));
        if (caminho.rfind(pasta + "/", 0) != 0) continue;
        const std::string nome = caminho.substr(pasta.size() + 1);
        if (std::find(fora.begin(), fora.end(), nome) == fora.end()) return true;
    }
    return false;
}

const char* const trabalho_longo = "I\n20\n0\n10\n2500\n0.25\nD\n0\n1000\n200\n";
const std::string anterior = "programa do trabalho anterior\r\n";

}  // namespace

// The run without options, ended by each signal while it writes the file:
// the previous file as it was, and nothing else in the folder.
TEST(GravacaoPontaAPonta, SinalQueEncerraDuranteAGravacaoNaoDeixaTemporario) {
    for (int sinal : {SIGXFSZ, SIGPIPE, SIGALRM, SIGUSR1, SIGKILL, SIGTERM, SIGRTMIN}) {
        SCOPED_TRACE(strsignal(sinal));
        const std::string pasta = pasta_temporaria();
        ASSERT_FALSE(pasta.empty());
        std::ofstream(pasta + "/respostas.txt") << trabalho_longo;
        std::ofstream(pasta + "/" + nome_tap, std::ios::binary) << anterior;
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(pasta.c_str()) != 0) _exit(126);
            const int entrada = open("respostas.txt", O_RDONLY);
            const int saida = open("/dev/null", O_WRONLY);
            dup2(entrada, 0);
            dup2(saida, 1);
            dup2(saida, 2);
            // As a shell leaves them: every signal at its default, none blocked.
            sigset_t nenhum;
            sigemptyset(&nenhum);
            sigprocmask(SIG_SETMASK, &nenhum, nullptr);
            for (int s = 1; s < NSIG; ++s) signal(s, SIG_DFL);
            execl(ROSCA_BINARIO, ROSCA_BINARIO, static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(pid, 0);
        const auto prazo = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!gravando_em(pid, pasta, {"respostas.txt"}) && std::chrono::steady_clock::now() < prazo)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        kill(pid, sinal);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sinal) << status;
        EXPECT_EQ(ler_arquivo(pasta + "/" + nome_tap), anterior);
        EXPECT_EQ(nomes_em(pasta), (std::vector<std::string>{nome_tap, "respostas.txt"}));
        fs::remove_all(pasta);
    }
}

// Where the file must have its temporary name while it is written, the
// watch removes it before any signal a process can catch ends the process.
TEST(Gravacao, VigiaRemoveOTemporarioEmCadaSinalQueEncerra) {
    std::vector<int> sinais = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT,   SIGBUS,  SIGFPE,
                               SIGUSR1, SIGSEGV, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,   SIGXCPU, SIGXFSZ,
                               SIGVTALRM, SIGPROF, SIGSYS, SIGIO,  SIGPWR,  SIGRTMIN, SIGRTMAX};
    const std::string pasta = pasta_temporaria();
    ASSERT_FALSE(pasta.empty());
    for (int sinal : sinais) {
        SCOPED_TRACE(strsignal(sinal));
        const std::string temporario = pasta + "/.p.nc.tmp";
        std::ofstream(temporario) << "meio arquivo";
        const pid_t pid = fork();
        if (pid == 0) {
            for (int s = 1; s < NSIG; ++s) signal(s, SIG_DFL);
            // No core file from the signals that would leave one.
            const rlimit sem_core{0, 0};
            setrlimit(RLIMIT_CORE, &sem_core);
            vigiar_temporario(temporario);
            raise(sinal);
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sinal) << status;
        EXPECT_FALSE(fs::exists(temporario));
    }
    fs::remove_all(pasta);
}

namespace {

// A FIFO in the run's folder whose reader takes a few bytes and goes away.
struct LeitorQueDesiste {
    std::thread leitor;
    void operator()(const std::string& caminho) {
        ASSERT_EQ(mkfifo(caminho.c_str(), 0600), 0);
        leitor = std::thread([caminho] {
            const int f = open(caminho.c_str(), O_RDONLY);
            char bloco[1000];
            if (f >= 0 && read(f, bloco, sizeof bloco) > 0) close(f);
        });
    }
    ~LeitorQueDesiste() {
        if (leitor.joinable()) leitor.join();
    }
};

const char* const trabalho_medio = "I\n20\n0\n10\n100\n0.25\nD\n0\n1000\n200\n";

void conferir_falha_de_gravacao(const Execucao& r) {
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.console.find("-------------------DADOS DO PROGRAMA G-CODE------------------"), std::string::npos);
    EXPECT_NE(r.console.find("Erro! Falha ao gravar o arquivo.\n\n"), std::string::npos) << r.console;
    EXPECT_EQ(r.console.find("com sucesso"), std::string::npos);
}

}  // namespace

// Into a pipe that its reader closes early: the write fails as on a full
// disk, with the same message and status, not the end of the process by
// SIGPIPE; with options or without.
TEST(GravacaoPontaAPonta, LeitorQueFechaOPipeEFalhaDeGravacao) {
    {
        LeitorQueDesiste fifo;
        const Execucao r = executar_com_argumentos("--saida fifo", trabalho_medio,
                                                   [&fifo](const std::string& dir) { fifo(dir + "/fifo"); });
        conferir_falha_de_gravacao(r);
    }
    {
        LeitorQueDesiste fifo;
        const Execucao r = executar_binario(trabalho_medio, [&fifo](const std::string& dir) { fifo(dir + "/" + nome_tap); });
        conferir_falha_de_gravacao(r);
    }
}

namespace {

// A destination in memory that tells how much room its folder has left.
class DestinoComEspaco final : public DestinoArquivo {
public:
    DestinoComEspaco(std::string& bytes, bool& descartado, std::uint64_t livres)
        : bytes_(bytes), descartado_(descartado), livres_(livres) {}
    bool gravar(const char* dados, std::size_t n) override {
        bytes_.append(dados, n);
        return true;
    }
    bool fechar() override { return true; }
    bool descartar() override { return descartado_ = true; }
    bool espaco_livre(std::uint64_t& bytes) const override {
        bytes = livres_;
        return true;
    }

private:
    std::string& bytes_;
    bool& descartado_;
    std::uint64_t livres_;
};

struct Resultado {
    int status = -1;
    std::string console, arquivo;
    bool aberto = false, descartado = false;
};

Resultado rodar(const std::string& respostas, const OpcoesGeracao& opcoes, std::uint64_t livres,
                std::uint64_t max_bytes = OpcoesEmissao{}.max_bytes) {
    Resultado r;
    auto console = Console::em_memoria(respostas);
    OpcoesEmissao emissao;
    emissao.max_bytes = max_bytes;
    r.status = executar_programa(
        *console,
        [&](const char*) {
            r.aberto = true;
            return std::make_unique<DestinoComEspaco>(r.arquivo, r.descartado, livres);
        },
        opcoes, emissao);
    r.console = console->capturado();
    return r;
}

OpcoesGeracao com_opcoes() {
    OpcoesGeracao o;
    o.alguma = true;
    return o;
}

const char* const curto = "I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n";

}  // namespace

// With options the file's size is known before its first byte: larger than
// its folder's free room, or than the limit no real job needs, it is
// refused with both figures and nothing is written; without options the run
// is as it always was.
TEST(Gravacao, ArquivoMaiorQueOEspacoOuQueOLimiteERecusadoAntesDoPrimeiroByte) {
    const Resultado cabe = rodar(curto, com_opcoes(), 1'000'000);
    ASSERT_EQ(cabe.status, 0) << cabe.console;
    const std::uint64_t tamanho = cabe.arquivo.size();

    const Resultado sem_espaco = rodar(curto, com_opcoes(), tamanho - 1);
    EXPECT_EQ(sem_espaco.status, 1);
    EXPECT_TRUE(sem_espaco.arquivo.empty());
    EXPECT_TRUE(sem_espaco.descartado);
    const std::string figuras = "teria " + std::to_string(tamanho) + " bytes (0.0 MB) e a sua pasta tem " +
                                std::to_string(tamanho - 1) + " bytes livres";
    EXPECT_NE(sem_espaco.console.find(figuras), std::string::npos) << sem_espaco.console;
    EXPECT_NE(sem_espaco.console.find("\aNenhum arquivo foi gravado.\n"), std::string::npos);
    EXPECT_EQ(rodar(curto, com_opcoes(), tamanho).status, 0);

    // One pass of a hundred turns past a limit of 20 kB.
    const Resultado grande = rodar("I\n20\n0\n10\n100\n1\nD\n0\n1000\n200\n", com_opcoes(), 1'000'000'000, 20'000);
    EXPECT_EQ(grande.status, 1);
    EXPECT_FALSE(grande.aberto);
    EXPECT_NE(grande.console.find("ERRO! O arquivo do percurso teria mais que o limite de 0.0 MB (20000 bytes), que "
                                  "nenhum trabalho real precisa."),
              std::string::npos)
        << grande.console;
    // Four passes of a hundred turns, stopped in the third: about how large,
    // from the passes counted.
    const char* const quatro = "I\n20\n17\n0.5\n0.1\n10\n100\n1\nD\n0\n1000\n200\n";
    const double inteiro = static_cast<double>(rodar(quatro, com_opcoes(), 1'000'000'000).arquivo.size());
    const Resultado estimado = rodar(quatro, com_opcoes(), 1'000'000'000, static_cast<std::uint64_t>(inteiro * 0.6));
    const std::string cerca = "teria cerca de ";
    const std::size_t onde = estimado.console.find(cerca);
    ASSERT_NE(onde, std::string::npos) << estimado.console;
    EXPECT_NEAR(std::strtod(estimado.console.c_str() + onde + cerca.size(), nullptr), inteiro / 1e6, inteiro / 1e6 * 0.15);

    const Resultado hoje = rodar(curto, OpcoesGeracao{}, 10, 100);
    EXPECT_EQ(hoje.status, 0);
    EXPECT_EQ(hoje.arquivo, executar_em_memoria(curto).arquivo);
}

// Centres whose threads would cut into each other are refused, naming both
// lines of the file: inside a bore nearer than the thread's diameter,
// outside a blank nearer than its diameter and the cutter's.
TEST(Gravacao, FurosPertoDemaisSaoRecusadosComAsSuasLinhas) {
    struct Caso {
        const char* respostas;
        double distancia;
        bool aceito;
        const char* linhas;
    } casos[] = {
        {curto, 10, false, "Os furos das linhas 2 e 4 de f.txt estao a 10.000 mm um do outro, menos que o diametro da "
                           "rosca (20.000 mm)"},
        {curto, 20, true, ""},
        // Blank 24, mill 10.
        {"E\n20\n24\n0.5\n0.2\n10\n2\n1\nD\n0\n1000\n200\n", 33.9, false,
         "Os furos das linhas 2 e 4 de f.txt estao a 33.900 mm um do outro, menos que o diametro externo da rosca "
         "mais o da fresa (24.000 + 10.000 mm)"},
        {"E\n20\n24\n0.5\n0.2\n10\n2\n1\nD\n0\n1000\n200\n", 34, true, ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.distancia);
        OpcoesGeracao o = com_opcoes();
        o.arquivo_furos = "f.txt";
        std::string erro;
        const std::string lista = "# placa\n0 0\n100 0\n" + std::to_string(c.distancia) + " 0\n";
        ASSERT_TRUE(interpretar_furos(lista, "f.txt", o.furos, erro)) << erro;
        const Resultado r = rodar(c.respostas, o, 1'000'000'000);
        EXPECT_EQ(r.status, c.aceito ? 0 : 1);
        EXPECT_EQ(r.aberto, c.aceito);
        if (!c.aceito) {
            EXPECT_NE(r.console.find(c.linhas), std::string::npos) << r.console;
        }
    }
}
