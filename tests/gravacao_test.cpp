// The file written whole or not at all: no signal that ends the process
// leaves a temporary; a pipe whose reader goes is a failed write; a file too
// large for its folder or for any job, and holes whose threads would meet,
// are refused before the first byte.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "apoio/execucao.hpp"
#include "apoio/sorteio.hpp"
#include "dialogue/dialogo_diametros.hpp"
#include "dialogue/dialogo_helice_corte.hpp"
#include "driver/opcoes.hpp"
#include "driver/programa.hpp"
#include "nucleo/arquivo.hpp"
#include "output/gravar_percurso.hpp"
#include "planning/calcular_estimativas.hpp"
#include "planning/planejar_passes.hpp"

namespace {

namespace fs = std::filesystem;

std::string pasta_nova() {
    std::string modelo = (fs::temp_directory_path() / "rosca-gravacao-XXXXXX").string();
    return mkdtemp(modelo.data()) != nullptr ? modelo : std::string();
}

// Whether process `pid` has a file of `pasta` open, its standard input aside.
bool gravando_em(pid_t pid, const std::string& pasta) {
    std::error_code erro;
    for (const auto& e : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", erro)) {
        const std::string alvo = fs::read_symlink(e.path(), erro).string();
        if (alvo.rfind(pasta + "/", 0) == 0 && alvo != pasta + "/respostas.txt") return true;
    }
    return false;
}

}  // namespace

// Each signal while the file is written: the previous file as it was, and
// nothing else left in the folder, SIGKILL's case included.
TEST(GravacaoPontaAPonta, SinalDuranteAGravacaoNaoDeixaTemporario) {
    for (int sinal : {SIGXFSZ, SIGPIPE, SIGALRM, SIGUSR1, SIGKILL, SIGRTMIN}) {
        SCOPED_TRACE(strsignal(sinal));
        const std::string pasta = pasta_nova();
        std::ofstream(pasta + "/respostas.txt") << "I 20 0 10 2500 0.25 D 0 1000 200\n";
        std::ofstream(pasta + "/" + nome_tap) << "anterior";
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(pasta.c_str()) != 0 || !freopen("respostas.txt", "r", stdin) || !freopen("/dev/null", "w", stdout))
                _exit(126);
            for (int s = 1; s < NSIG; ++s) signal(s, SIG_DFL);
            execl(ROSCA_BINARIO, ROSCA_BINARIO, static_cast<char*>(nullptr));
            _exit(127);
        }
        const auto prazo = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!gravando_em(pid, pasta) && std::chrono::steady_clock::now() < prazo)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        kill(pid, sinal);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sinal) << status;
        EXPECT_EQ(ler_arquivo(pasta + "/" + nome_tap), "anterior");
        EXPECT_EQ(std::distance(fs::directory_iterator(pasta), fs::directory_iterator()), 2);
        fs::remove_all(pasta);
    }
}

// Where the file has its temporary name while it is written, the watch
// removes it before any signal that a process can catch ends the process.
TEST(Gravacao, VigiaRemoveOTemporarioEmCadaSinalQueEncerra) {
    const std::string temporario = pasta_nova() + "/.p.nc.tmp";
    // Not those of a fault: under a sanitizer its own handler, which the watch
    // passes them on to, reports them and ends the process its own way.
    for (int sinal : {SIGHUP, SIGUSR2, SIGPIPE, SIGALRM, SIGXFSZ, SIGXCPU, SIGPROF, SIGRTMIN, SIGRTMAX}) {
        std::ofstream(temporario) << "meio arquivo";
        const pid_t pid = fork();
        if (pid == 0) {
            const rlimit sem_core{0, 0};
            setrlimit(RLIMIT_CORE, &sem_core);
            vigiar_temporario(temporario);
            raise(sinal);
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sinal) << strsignal(sinal);
        EXPECT_FALSE(fs::exists(temporario)) << strsignal(sinal);
    }
    fs::remove_all(fs::path(temporario).parent_path());
}

// Into a pipe whose reader takes a few bytes and goes: the write-failure
// stop after the summary, with options or without, not death by SIGPIPE.
TEST(GravacaoPontaAPonta, PipeFechadoPeloLeitorEFalhaDeGravacao) {
    for (const char* nome : {"fifo", nome_tap}) {
        std::thread leitor;
        const Execucao r = executar_com_argumentos(nome == std::string("fifo") ? "--saida fifo" : "", "I 20 0 10 100 0.25 D 0 1000 200\n",
                                                   [&](const std::string& dir) {
                                                       const std::string fifo = dir + "/" + std::string(nome);
                                                       mkfifo(fifo.c_str(), 0600);
                                                       leitor = std::thread([fifo] {
                                                           char bloco[1000];
                                                           const int f = open(fifo.c_str(), O_RDONLY);
                                                           if (read(f, bloco, sizeof bloco) >= 0) close(f);
                                                       });
                                                   });
        leitor.join();
        EXPECT_EQ(r.status, 1) << nome;
        EXPECT_NE(r.console.find("DADOS DO PROGRAMA G-CODE"), std::string::npos) << nome;
        EXPECT_NE(r.console.find("Erro! Falha ao gravar o arquivo.\n\n"), std::string::npos) << nome;
    }
}

namespace {

// A file in memory in a folder of `livres` free bytes.
class DestinoComEspaco final : public DestinoArquivo {
public:
    DestinoComEspaco(std::string& bytes, std::uint64_t livres) : bytes_(bytes), livres_(livres) {}
    bool gravar(const char* dados, std::size_t n) override { return bytes_.append(dados, n), true; }
    bool fechar() override { return true; }
    bool descartar() override { return true; }
    bool espaco_livre(std::uint64_t& bytes) const override { return bytes = livres_, true; }

private:
    std::string& bytes_;
    std::uint64_t livres_;
};

constexpr std::uint64_t muito = 1'000'000'000;

struct Resultado {
    int status = -1;
    std::string console, arquivo;
};

Resultado rodar(const char* respostas, std::uint64_t livres, std::uint64_t max_bytes, const std::string& furos = "",
                bool opcoes = true) {
    OpcoesGeracao o;
    o.alguma = opcoes;
    o.arquivo_furos = "f.txt";
    std::string erro;
    EXPECT_TRUE(furos.empty() || interpretar_furos(furos, "f.txt", o.furos, erro)) << erro;
    Resultado r;
    auto console = Console::em_memoria(respostas);
    r.status = executar_programa(
        *console, [&](const char*) { return std::make_unique<DestinoComEspaco>(r.arquivo, livres); }, o,
        OpcoesEmissao{.max_bytes = max_bytes});
    r.console = console->capturado();
    return r;
}

}  // namespace

// With options the file's size is known before its first byte: larger than
// its folder's free bytes or than the limit, it is refused with both figures
// and nothing written; without options, as it always was.
TEST(Gravacao, ArquivoMaiorQueAPastaOuOLimiteERecusado) {
    const char* const curto = "I 20 0 10 2 1 D 0 1000 200\n";
    const std::size_t n = rodar(curto, 1'000'000, 1'000'000).arquivo.size();
    const Resultado cheio = rodar(curto, n - 1, 1'000'000);
    EXPECT_EQ(cheio.status, 1);
    EXPECT_TRUE(cheio.arquivo.empty());
    EXPECT_NE(cheio.console.find("teria " + std::to_string(n) + " bytes (0.0 MB) e a sua pasta tem " +
                                 std::to_string(n - 1) + " bytes livres (0.0 MB).\n\aNenhum arquivo foi gravado."),
              std::string::npos)
        << cheio.console;
    EXPECT_EQ(rodar(curto, n, 1'000'000).status, 0);
    // Four passes of a hundred turns counted until past 60 % of them: about how large.
    const char* const quatro = "I 20 17 0.5 0.1 10 100 1 D 0 1000 200\n";
    const double inteiro = static_cast<double>(rodar(quatro, muito, muito).arquivo.size());
    const Resultado grande = rodar(quatro, muito, static_cast<std::uint64_t>(inteiro * 0.6));
    const std::size_t cerca = grande.console.find("ERRO! O arquivo do percurso teria cerca de ");
    ASSERT_NE(cerca, std::string::npos) << grande.console;
    EXPECT_NEAR(std::strtod(grande.console.c_str() + cerca + 43, nullptr), inteiro / 1e6, inteiro / 1e6 * 0.15);
    EXPECT_NE(grande.console.find(", mais que o limite de "), std::string::npos);
    EXPECT_TRUE(grande.arquivo.empty());
    EXPECT_EQ(rodar(curto, 10, 100, "", false).status, 0);
}

// Centres whose threads would meet are refused, naming both lines: inside a
// bore nearer than the thread's diameter; outside a blank nearer than its
// diameter and the cutter's, which goes round beside it.
TEST(Gravacao, FurosPertoDemaisSaoRecusadosComAsSuasLinhas) {
    const char* const interna = "I 20 0 10 2 1 D 0 1000 200\n";
    const char* const externa = "E 20 24 0.5 0.2 10 2 1 D 0 1000 200\n";  // blank 24, mill 10
    EXPECT_EQ(rodar(interna, muito, muito, "0 0\n# outro\n20 0\n").status, 0);
    EXPECT_EQ(rodar(externa, muito, muito, "0 0\n34 0\n").status, 0);
    const Resultado perto = rodar(interna, muito, muito, "0 0\n50 0\n# outro\n10 0\n");
    EXPECT_EQ(perto.status, 1);
    EXPECT_NE(perto.console.find("Os furos das linhas 1 e 4 de f.txt estao a 10.000 mm um do outro"), std::string::npos);
    const Resultado fora = rodar(externa, muito, muito, "0 0\n0 33.9\n");
    EXPECT_EQ(fora.status, 1);
    EXPECT_NE(fora.console.find("linhas 1 e 2 de f.txt estao a 33.900 mm"), std::string::npos);
    EXPECT_TRUE(fora.arquivo.empty());
}

namespace {

// The file's bytes with `opcoes` (words as on a command line), and the bound
// of its size; -1 where the job is refused.
std::pair<double, double> tamanho_e_cota(const std::string& respostas, const std::vector<std::string>& opcoes,
                                         const std::string& furos = "") {
    std::vector<const char*> argv{"rosca-helicoidal"};
    for (const std::string& o : opcoes) argv.push_back(o.c_str());
    Pedido pedido = ler_opcoes(static_cast<int>(argv.size()), argv.data());
    std::string erro;
    if (pedido.tipo != Pedido::Tipo::dialogo || (!furos.empty() && !interpretar_furos(furos, "f.txt", pedido.geracao.furos, erro)))
        return {-1, -1};
    std::string arquivo;
    auto console = Console::em_memoria(respostas);
    if (executar_programa(*console, [&](const char*) { return std::make_unique<DestinoMemoria>(&arquivo); },
                          pedido.geracao) != 0)
        return {-1, -1};
    DadosRosca d;
    auto outro = Console::em_memoria(respostas);
    dialogo_diametros(d, *outro);
    dialogo_helice_corte(d, *outro);
    planejar_passes(d, *outro);
    calcular_estimativas(d);
    return {static_cast<double>(arquivo.size()), cota_do_arquivo(d, pedido.geracao, 1e18)};
}

}  // namespace

// The size is counted exactly only where a bound of it, from the moves
// alone, reaches the limit or the free space: the bound is never below the
// bytes written, in any dialect, way of cutting or holes, and for a file of
// megabytes within twice them, so that counting is rare.
TEST(Gravacao, CotaDoTamanhoCobreOArquivoSemFolgaDemais) {
    const std::string interna = "I 20 17.5 0.5 0.1 14 40 1.5 D 45.5 1000 200\n";
    const std::string externa = "E 16.933 20 0.5 0.1 14 60 2.5 E 0 1000 200\n";
    const std::vector<std::pair<std::string, std::vector<std::string>>> casos = {
        {interna, {"--comando", "padrao"}},
        {externa, {"--comando", "grbl", "--furos", "f.txt"}},
        {interna, {"--comando", "linuxcnc", "--arcos", "--furos", "f.txt", "--ajuste-na-maquina"}},
        {externa, {"--comando", "fanuc", "--compensacao", "--discordante", "--ajuste-na-maquina"}},
        {interna, {"--comando", "heidenhain", "--entrada-tangencial", "--repetir-acabamento", "2"}},
        {interna, {"--comando", "heidenhain", "--ajuste-na-maquina", "--furos", "f.txt"}},
        {externa, {"--comando", "siemens", "--conica", "--avanco-na-aresta", "--furos", "f.txt"}},
        {interna, {"--perfis", "3", "--passes-de-area-igual"}},
        {externa, {"--entradas", "4", "--concordante"}},
    };
    for (const auto& [respostas, opcoes] : casos) {
        const auto [tamanho, cota] = tamanho_e_cota(respostas, opcoes, "10 0\n-40 25.5\n0 -60\n");
        SCOPED_TRACE(respostas + opcoes[1] + " " + (opcoes.size() > 2 ? opcoes[2] : ""));
        EXPECT_GE(cota, tamanho);
        if (tamanho > 1e6) {
            EXPECT_LE(cota, 2 * tamanho);
        }
    }
    // Drawn jobs, small: never below.
    int medidos = 0;
    for (std::uint64_t i = 0; i < 400; ++i) {
        const Trabalho t = sortear_trabalho(11, i);
        std::string respostas;
        for (const std::string& r : t.respostas) respostas += r + "\n";
        const auto [tamanho, cota] = tamanho_e_cota(respostas, t.opcoes, t.furos);
        if (tamanho < 0) continue;
        ++medidos;
        EXPECT_GE(cota, tamanho) << t.resumo();
    }
    EXPECT_GE(medidos, 200);
}
