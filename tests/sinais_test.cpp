// The built program on a pseudo-terminal, as a shell runs a job: ended or
// stopped by a signal while the terminal is in single-key mode, the settings
// must come back first; and the progress line with standard output redirected.
// Runs only on POSIX systems (no pseudo-terminals under Wine).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>
#include <algorithm>

#include "apoio/execucao.hpp"

namespace {

using namespace std::chrono_literals;
using Relogio = std::chrono::steady_clock;

// Long enough for a sanitizer build on a busy machine; a hang still fails.
constexpr auto prazo = 20s;

// The program runs as a job under a minimal shell: a session leader that owns
// the terminal and waits for it, with the program in a process group of its
// own in the terminal's foreground. With the test process as the parent, the
// program's group would be orphaned, and the kernel drops the stop of Ctrl-Z
// for an orphaned group. The leader reports every change of state (stopped,
// ended) down a pipe, since only it can wait for the program. The program
// starts only once the test first waits for it or types, so the terminal can
// be checked untouched before.
class ProgramaNoTerminal {
public:
    // `ignorado`: a signal the program inherits as ignored, as under nohup.
    // `respostas`: when given, standard input reads them from a file and
    // standard output goes to a file; standard error stays on the terminal.
    explicit ProgramaNoTerminal(int ignorado = 0, const char* respostas = nullptr)
        : ignorado_(ignorado), redirecionado_(respostas != nullptr) {
        std::string modelo = (std::filesystem::temp_directory_path() / "rosca-pty-XXXXXX").string();
        dir_ = mkdtemp(modelo.data());
        if (respostas) std::ofstream(dir_ + "/respostas.txt") << respostas;
        if (openpty(&mestre_, &escravo_, nullptr, nullptr, nullptr) != 0) return;
        if (pipe2(estados_, O_CLOEXEC) != 0 || pipe2(partida_, O_CLOEXEC) != 0) return;
        lider_ = fork();
        if (lider_ == 0) lider_da_sessao();
        for (int* d : {&estados_[1], &partida_[0]}) {
            close(*d);
            *d = -1;
        }
        if (read(estados_[0], &pid_, sizeof pid_) != sizeof pid_) pid_ = -1;
        fcntl(mestre_, F_SETFL, fcntl(mestre_, F_GETFL) | O_NONBLOCK);
    }

    ~ProgramaNoTerminal() {
        if (lider_ > 0) {
            if (!terminou_) kill(pid_ > 0 ? pid_ : lider_, SIGKILL);
            // The leader ends as soon as the program has.
            waitpid(lider_, nullptr, 0);
        }
        for (int d : {mestre_, escravo_, estados_[0], estados_[1], partida_[0], partida_[1]})
            if (d >= 0) close(d);
        std::error_code ignorado;
        std::filesystem::remove_all(dir_, ignorado);
    }

    bool iniciado() const { return pid_ > 0; }
    const std::string& dir() const { return dir_; }
    const std::string& tela() const { return tela_; }

    // Reads the screen until `texto` shows up after what earlier waits consumed.
    bool esperar_texto(const std::string& texto) {
        const auto limite = Relogio::now() + prazo;
        for (;;) {
            auto achado = tela_.find(texto, consumido_);
            if (achado != std::string::npos) {
                consumido_ = achado + texto.size();
                return true;
            }
            if (Relogio::now() > limite || !ler_tela(50)) return false;
        }
    }

    // Waits until the slave side is (or is no longer) in single-key mode.
    bool esperar_modo_tecla(bool ligado) {
        const auto limite = Relogio::now() + prazo;
        while (Relogio::now() < limite) {
            if (modo_tecla() == ligado) return true;
            ler_tela(10);
        }
        return false;
    }

    bool modo_tecla() const { return (configuracao().c_lflag & ICANON) == 0; }
    tcflag_t flags_locais() const { return configuracao().c_lflag; }
    // The key the terminal turns into a signal: VQUIT, VSUSP.
    std::string tecla_de_controle(int indice) const {
        return std::string(1, static_cast<char>(configuracao().c_cc[indice]));
    }

    void digitar(const std::string& texto) {
        soltar();
        ASSERT_EQ(write(mestre_, texto.data(), texto.size()), static_cast<ssize_t>(texto.size()));
    }

    void sinal(int s) {
        soltar();
        kill(pid_, s);
    }

    bool vivo() {
        ler_tela(100);
        int status = 0;
        if (!ler_estado(status) || WIFSTOPPED(status)) return true;
        terminou_ = true;
        return false;
    }

    // The raw wait status of the next stop or of the end, or -1 when none
    // comes in time. The screen is read to the last byte once it has ended.
    int esperar_estado() {
        const auto limite = Relogio::now() + prazo;
        while (Relogio::now() < limite) {
            int status = 0;
            if (ler_estado(status)) {
                if (WIFSTOPPED(status)) return status;
                terminou_ = true;
                while (pendente() && ler_tela(0)) {
                }
                return status;
            }
            ler_tela(10);
        }
        return -1;
    }

    // The raw wait status, or -1 when the program does not end in time.
    int esperar_fim() {
        int status;
        do status = esperar_estado();
        while (status != -1 && WIFSTOPPED(status));
        return status;
    }

private:
    // A shell in miniature: gives the terminal to the program's group and waits.
    [[noreturn]] void lider_da_sessao() {
        setsid();
        ioctl(escravo_, TIOCSCTTY, 0);
        close(mestre_);
        close(estados_[0]);
        close(partida_[1]);
        const pid_t programa = fork();
        if (programa == 0) programa_no_terminal();
        if (write(estados_[1], &programa, sizeof programa) != sizeof programa) _exit(1);
        for (;;) {
            int status = 0;
            if (waitpid(programa, &status, WUNTRACED) != programa) _exit(1);
            if (write(estados_[1], &status, sizeof status) != sizeof status) _exit(1);
            if (!WIFSTOPPED(status)) _exit(0);
        }
    }

    [[noreturn]] void programa_no_terminal() {
        // Its own group, in the foreground; until it is, setting that would stop it.
        setpgid(0, 0);
        signal(SIGTTOU, SIG_IGN);
        tcsetpgrp(escravo_, getpid());
        // The slave becomes the three standard streams, or standard error alone.
        dup2(escravo_, 0);
        dup2(escravo_, 1);
        dup2(escravo_, 2);
        if (chdir(dir_.c_str()) != 0) _exit(126);
        if (redirecionado_) {
            const int entrada = open("respostas.txt", O_RDONLY | O_CLOEXEC);
            const int saida = open("saida.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (entrada < 0 || saida < 0) _exit(126);
            dup2(entrada, 0);
            dup2(saida, 1);
        }
        close(escravo_);
        // The program must meet the signals as a machinist's shell would leave them.
        sigset_t nenhum;
        sigemptyset(&nenhum);
        sigprocmask(SIG_SETMASK, &nenhum, nullptr);
        for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP, SIGTTOU})
            signal(s, s == ignorado_ ? SIG_IGN : SIG_DFL);
        // SIGQUIT leaves no core file behind; TERM as a terminal emulator sets it.
        const rlimit sem_core{0, 0};
        setrlimit(RLIMIT_CORE, &sem_core);
        setenv("TERM", "xterm", 1);
        char partida;
        if (read(partida_[0], &partida, 1) != 1) _exit(125);
        execl(ROSCA_BINARIO, ROSCA_BINARIO, static_cast<char*>(nullptr));
        _exit(127);
    }

    struct termios configuracao() const {
        struct termios t {};
        tcgetattr(escravo_, &t);
        return t;
    }

    bool pendente() const {
        pollfd p{mestre_, POLLIN, 0};
        return poll(&p, 1, 0) > 0;
    }

    // False only when the slave side is gone for good.
    bool ler_tela(int milissegundos) {
        soltar();
        pollfd p{mestre_, POLLIN, 0};
        if (poll(&p, 1, milissegundos) <= 0) return true;
        char bloco[4096];
        ssize_t n = read(mestre_, bloco, sizeof bloco);
        if (n > 0) tela_.append(bloco, static_cast<std::size_t>(n));
        return n > 0 || (n < 0 && errno == EAGAIN);
    }

    void soltar() {
        if (partida_[1] < 0) return;
        if (write(partida_[1], "", 1) != 1) ADD_FAILURE() << "the program could not be started";
        close(partida_[1]);
        partida_[1] = -1;
    }

    // A state the leader has reported, if any.
    bool ler_estado(int& status) {
        pollfd p{estados_[0], POLLIN, 0};
        if (poll(&p, 1, 0) <= 0) return false;
        return read(estados_[0], &status, sizeof status) == sizeof status;
    }

    int ignorado_;
    bool redirecionado_;
    std::string dir_;
    int mestre_ = -1;
    int escravo_ = -1;
    int estados_[2] = {-1, -1};
    int partida_[2] = {-1, -1};
    pid_t lider_ = -1;
    pid_t pid_ = -1;
    bool terminou_ = false;
    std::string tela_;
    std::size_t consumido_ = 0;
};

// Checks that the program died of `s` with the terminal back in line mode with echo.
void conferir_morte_pelo_sinal(ProgramaNoTerminal& p, int s) {
    const int status = p.esperar_fim();
    ASSERT_NE(status, -1) << "the program did not end after the signal";
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), s);
    EXPECT_EQ(p.flags_locais() & (ICANON | ECHO), static_cast<tcflag_t>(ICANON | ECHO))
        << "terminal left in single-key mode";
}

// Sends `s` while the program is in single-key mode and checks the same.
void conferir_morte_restaurando(ProgramaNoTerminal& p, int s) {
    p.sinal(s);
    conferir_morte_pelo_sinal(p, s);
}

class SinalNaTecla : public ::testing::TestWithParam<int> {};

TEST_P(SinalNaTecla, RestauraOTerminalAntesDeMorrerDoSinal) {
    ProgramaNoTerminal p;
    ASSERT_TRUE(p.iniciado());
    ASSERT_EQ(p.flags_locais() & (ICANON | ECHO), static_cast<tcflag_t>(ICANON | ECHO));
    ASSERT_TRUE(p.esperar_texto("[I / E]: ")) << p.tela();
    ASSERT_TRUE(p.esperar_modo_tecla(true)) << "the thread-kind question did not take a single key";
    EXPECT_NE(p.flags_locais() & ECHO, 0u) << "a key answer is echoed";
    conferir_morte_restaurando(p, GetParam());
}

INSTANTIATE_TEST_SUITE_P(SinaisNoTerminal, SinalNaTecla, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

TEST(SinaisNoTerminal, SinalIgnoradoAoIniciarContinuaIgnoradoNaTecla) {
    // Started under nohup: a hang-up must not end the run just because the
    // terminal was in single-key mode when it came.
    ProgramaNoTerminal p(SIGHUP);
    ASSERT_TRUE(p.iniciado());
    ASSERT_TRUE(p.esperar_texto("[I / E]: ")) << p.tela();
    ASSERT_TRUE(p.esperar_modo_tecla(true));
    p.sinal(SIGHUP);
    ASSERT_TRUE(p.vivo()) << "an ignored SIGHUP ended the program";
    EXPECT_TRUE(p.modo_tecla());
    p.digitar("I");
    EXPECT_TRUE(p.esperar_texto("Diametro Final da rosca [mm]: ")) << p.tela();
    EXPECT_TRUE(p.esperar_modo_tecla(false));
}

// Types a whole short job, one answer per prompt: a key only once the terminal
// is in single-key mode (keys typed ahead are dropped on purpose).
void responder_trabalho_curto(ProgramaNoTerminal& p) {
    auto tecla = [&p](const std::string& pergunta, const std::string& k) {
        if (::testing::Test::HasFatalFailure()) return;
        ASSERT_TRUE(p.esperar_texto(pergunta)) << p.tela();
        ASSERT_TRUE(p.esperar_modo_tecla(true));
        p.digitar(k);
        ASSERT_TRUE(p.esperar_modo_tecla(false));
    };
    auto numero = [&p](const std::string& pergunta, const std::string& n) {
        if (::testing::Test::HasFatalFailure()) return;
        ASSERT_TRUE(p.esperar_texto(pergunta)) << p.tela();
        p.digitar(n + "\n");
    };
    tecla("[I / E]: ", "I");
    numero("Diametro Final da rosca [mm]: ", "20");
    numero("[Diametro do Blank p/ rosca em mais de um passe]: ", "0");
    numero("Diametro da Ferramenta [mm]: ", "10");
    numero("Profundidade (L) da rosca [mm]: ", "2");
    numero("passo da rosca (1 fio) [mm]: ", "1");
    tecla("Esquerda >> sentido Anti-Horario", "D");
    numero("(digite '0' p/ PADRAO=0): ", "0");
    numero("rotacao do spindle [rpm]: ", "1000");
    numero("(digite .1 p/ FEED = RPM*0.1)", "200");
}

TEST(SinaisNoTerminal, SinalNaPausaFinalTambemRestaura) {
    ProgramaNoTerminal p;
    ASSERT_TRUE(p.iniciado());
    responder_trabalho_curto(p);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(p.esperar_texto("com sucesso!")) << p.tela();
    ASSERT_TRUE(p.esperar_texto("Pressione qualquer tecla para continuar. . . ")) << p.tela();
    ASSERT_TRUE(p.esperar_modo_tecla(true)) << "the final pause did not wait for a single key";
    EXPECT_EQ(p.flags_locais() & ECHO, 0u) << "the pause key is not echoed";
    conferir_morte_restaurando(p, SIGINT);
}

TEST(SinaisNoTerminal, CtrlBarraNaPausaFinalRestauraEMorreDeSigquit) {
    ProgramaNoTerminal p;
    ASSERT_TRUE(p.iniciado());
    responder_trabalho_curto(p);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(p.esperar_texto("Pressione qualquer tecla para continuar. . . ")) << p.tela();
    ASSERT_TRUE(p.esperar_modo_tecla(true));
    p.digitar(p.tecla_de_controle(VQUIT));
    conferir_morte_pelo_sinal(p, SIGQUIT);
}

TEST(SinaisNoTerminal, CtrlZNaTeclaDevolveOTerminalEFgRetomaAPergunta) {
    ProgramaNoTerminal p;
    ASSERT_TRUE(p.iniciado());
    ASSERT_TRUE(p.esperar_texto("[I / E]: ")) << p.tela();
    ASSERT_TRUE(p.esperar_modo_tecla(true));
    p.digitar(p.tecla_de_controle(VSUSP));
    const int parado = p.esperar_estado();
    ASSERT_TRUE(parado != -1 && WIFSTOPPED(parado)) << "Ctrl-Z did not stop the program: " << parado;
    EXPECT_EQ(WSTOPSIG(parado), SIGTSTP);
    EXPECT_EQ(p.flags_locais() & (ICANON | ECHO), static_cast<tcflag_t>(ICANON | ECHO))
        << "stopped with the terminal in single-key mode";

    // `fg`: the terminal's foreground is still the program's group.
    p.sinal(SIGCONT);
    ASSERT_TRUE(p.esperar_modo_tecla(true)) << "the key question lost its mode after SIGCONT";
    EXPECT_NE(p.flags_locais() & ECHO, 0u);
    p.digitar("I");
    EXPECT_TRUE(p.esperar_texto("Diametro Final da rosca [mm]: ")) << p.tela();
    EXPECT_TRUE(p.esperar_modo_tecla(false));
}

TEST(ProgressoNoTerminal, ComASaidaRedirecionadaNaoSaiDaLinhaDoCursor) {
    // `rosca-helicoidal < respostas.txt > saida.txt`: one pass of 3000 turns,
    // about 1.1 million lines, so standard error gets the progress line.
    ProgramaNoTerminal p(0, "I\n20\n0\n10\n3000\n1\nD\n0\n1000\n200\n");
    ASSERT_TRUE(p.iniciado());
    const int status = p.esperar_fim();
    ASSERT_TRUE(status != -1 && WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // No line feed and no escape sequence: the cursor never leaves its line,
    // so the lines above it (the command) stay as they were; and that line is
    // blank again at the end.
    const std::string& tela = p.tela();
    const std::string primeira = "Gravando o percurso:   0% (0 de 1092005 linhas)";
    EXPECT_EQ(tela.rfind("\r" + primeira, 0), 0u) << tela;
    EXPECT_EQ(tela.find_first_of("\n\033"), std::string::npos) << tela;
    EXPECT_TRUE(tela.ends_with(std::string(primeira.size(), ' ') + "\r")) << tela;
}

TEST(SinaisNoTerminal, CtrlCDuranteAGravacaoDeixaOArquivoAnteriorESoEle) {
    // 100,000 turns: the file is still being written when Ctrl-C comes.
    ProgramaNoTerminal p(0, "I\n20\n0\n10\n100000\n1\nD\n0\n1000\n200\n");
    ASSERT_TRUE(p.iniciado());
    const std::string anterior = "trabalho anterior\r\n";
    std::ofstream(p.dir() + "/" + nome_tap, std::ios::binary) << anterior;
    ASSERT_TRUE(p.esperar_texto("Gravando o percurso:")) << p.tela();
    p.digitar("\x03");
    const int status = p.esperar_fim();
    ASSERT_TRUE(status != -1 && WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_EQ(ler_arquivo(p.dir() + "/" + nome_tap), anterior);
    std::vector<std::string> nomes;
    for (const auto& e : std::filesystem::directory_iterator(p.dir())) nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    EXPECT_EQ(nomes, (std::vector<std::string>{nome_tap, "respostas.txt", "saida.txt"}));
}

TEST(SinaisNoTerminal, UmaTeclaNaPausaFinalTerminaComZero) {
    ProgramaNoTerminal p;
    ASSERT_TRUE(p.iniciado());
    responder_trabalho_curto(p);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(p.esperar_texto("Pressione qualquer tecla para continuar. . . ")) << p.tela();
    ASSERT_TRUE(p.esperar_modo_tecla(true));
    p.digitar("x");
    const int status = p.esperar_fim();
    ASSERT_TRUE(status != -1 && WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(p.flags_locais() & (ICANON | ECHO), static_cast<tcflag_t>(ICANON | ECHO));
}

}  // namespace
