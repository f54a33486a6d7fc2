#include "nucleo/terminal.hpp"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <langinfo.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int descritor_entrada = STDIN_FILENO;

// Saved once per key read; the signal handlers work from here, so they must be
// plain static data, written only while those signals are blocked.
struct termios configuracao_original;  // the user's settings
struct termios configuracao_tecla;     // the program's single-key mode
volatile sig_atomic_t descritor_modo = -1;  // the terminal in single-key mode, or -1

// Another process group has the terminal in the foreground (after `bg`, or
// while the shell waits): the terminal is not ours to set then, and setting it
// would only stop the program with SIGTTOU. False for a terminal that is not
// the controlling one, which has no foreground to lose.
bool em_segundo_plano(int descritor) {
    const pid_t frente = tcgetpgrp(descritor);
    return frente != -1 && frente != getpgrp();
}

// The user's settings back, and the program's mode again: only from the
// foreground, since in the background the terminal already has the user's
// settings, given back when the program stopped.
void devolver_configuracao() {
    const int descritor = descritor_modo;
    if (descritor >= 0 && !em_segundo_plano(descritor))
        tcsetattr(descritor, TCSANOW, &configuracao_original);
}

void reaplicar_modo_tecla() {
    const int descritor = descritor_modo;
    if (descritor >= 0 && !em_segundo_plano(descritor))
        tcsetattr(descritor, TCSANOW, &configuracao_tecla);
}

void acao_padrao(int sinal) {
    struct sigaction padrao {};
    padrao.sa_handler = SIG_DFL;
    sigemptyset(&padrao.sa_mask);
    sigaction(sinal, &padrao, nullptr);
}

extern "C" void restaurar_e_repetir(int sinal) {
    devolver_configuracao();
    descritor_modo = -1;
    // Let the default action end the process (with a core for SIGQUIT), as it
    // would have without us; it comes as soon as this handler returns.
    acao_padrao(sinal);
    raise(sinal);
}

// Ctrl-Z: the user's settings back, then the stop the default action makes
// (which the kernel skips for an orphaned process group, as it would without us).
extern "C" void suspender(int sinal) {
    const int erro = errno;
    devolver_configuracao();
    struct sigaction nossa;
    sigaction(sinal, nullptr, &nossa);
    acao_padrao(sinal);
    sigset_t so_este;
    sigemptyset(&so_este);
    sigaddset(&so_este, sinal);
    sigprocmask(SIG_UNBLOCK, &so_este, nullptr);
    raise(sinal);
    // Running again: after `fg` SIGCONT has already put the mode back; when the
    // stop was skipped, this does.
    sigprocmask(SIG_BLOCK, &so_este, nullptr);
    sigaction(sinal, &nossa, nullptr);
    reaplicar_modo_tecla();
    errno = erro;
}

// After `fg`, also from a stop we could not see coming (SIGSTOP).
extern "C" void continuar(int) {
    const int erro = errno;
    reaplicar_modo_tecla();
    errno = erro;
}

// The signals that end the process by default, then the two of job control.
struct Tratamento {
    int sinal;
    void (*manipulador)(int);
};
constexpr Tratamento tratamentos[] = {
    {SIGINT, restaurar_e_repetir}, {SIGTERM, restaurar_e_repetir}, {SIGHUP, restaurar_e_repetir},
    {SIGQUIT, restaurar_e_repetir}, {SIGTSTP, suspender},         {SIGCONT, continuar},
};
constexpr int total_tratados = sizeof tratamentos / sizeof tratamentos[0];
struct sigaction acoes_anteriores[total_tratados];

bool eh_terminal(int descritor) { return isatty(descritor) == 1; }

// The handled signals blocked for its lifetime, so that the handlers never
// see the mode half switched.
class SinaisBloqueados {
public:
    SinaisBloqueados() {
        sigset_t conjunto;
        sigemptyset(&conjunto);
        for (const Tratamento& t : tratamentos) sigaddset(&conjunto, t.sinal);
        sigprocmask(SIG_BLOCK, &conjunto, &anterior_);
    }
    ~SinaisBloqueados() { sigprocmask(SIG_SETMASK, &anterior_, nullptr); }
    SinaisBloqueados(const SinaisBloqueados&) = delete;
    SinaisBloqueados& operator=(const SinaisBloqueados&) = delete;

private:
    sigset_t anterior_;
};

// Puts the terminal into single-key mode (no Enter needed; echo as asked) for
// its lifetime. The original settings come back on destruction, also when
// SIGINT, SIGTERM, SIGHUP or SIGQUIT ends the process meanwhile, and while
// SIGTSTP (Ctrl-Z) has it stopped; SIGCONT (`fg`) puts the mode back.
class ModoTecla {
public:
    ModoTecla(int descritor, bool eco);
    ~ModoTecla();
    ModoTecla(const ModoTecla&) = delete;
    ModoTecla& operator=(const ModoTecla&) = delete;

private:
    bool ativo_ = false;
};

ModoTecla::ModoTecla(int descritor, bool eco) {
    SinaisBloqueados bloqueados;
    if (tcgetattr(descritor, &configuracao_original) != 0) return;
    configuracao_tecla = configuracao_original;
    configuracao_tecla.c_lflag &= static_cast<tcflag_t>(~ICANON);
    if (eco)
        configuracao_tecla.c_lflag |= ECHO;
    else
        configuracao_tecla.c_lflag &= static_cast<tcflag_t>(~ECHO);
    configuracao_tecla.c_cc[VMIN] = 1;
    configuracao_tecla.c_cc[VTIME] = 0;

    descritor_modo = descritor;
    struct sigaction acao {};
    sigemptyset(&acao.sa_mask);
    for (int i = 0; i < total_tratados; ++i) {
        sigaction(tratamentos[i].sinal, nullptr, &acoes_anteriores[i]);
        // A signal the run was started to ignore (nohup, a background job) stays ignored.
        if (acoes_anteriores[i].sa_handler == SIG_IGN) continue;
        acao.sa_handler = tratamentos[i].manipulador;
        sigaction(tratamentos[i].sinal, &acao, nullptr);
    }

    tcsetattr(descritor, TCSANOW, &configuracao_tecla);
    ativo_ = true;
}

ModoTecla::~ModoTecla() {
    if (!ativo_) return;
    SinaisBloqueados bloqueados;
    devolver_configuracao();
    descritor_modo = -1;
    // Whatever came meanwhile is delivered as the run would have taken it.
    for (int i = 0; i < total_tratados; ++i) sigaction(tratamentos[i].sinal, &acoes_anteriores[i], nullptr);
}

// Reads one byte straight from the descriptor; -1 at end of input or on error.
int ler_byte_cru(int descritor) {
    unsigned char c;
    for (;;) {
        ssize_t n = read(descritor, &c, 1);
        if (n == 1) return c;
        if (n < 0 && errno == EINTR) continue;
        return -1;
    }
}

}  // namespace

// Nothing to ready: standard input is already bytes, and the terminal's own
// locale decides how text displays.
void preparar_console() {}

bool entrada_terminal() { return eh_terminal(descritor_entrada); }

bool saida_terminal_utf8() {
    if (!eh_terminal(STDOUT_FILENO)) return false;
    const char* anterior = std::setlocale(LC_CTYPE, nullptr);
    std::string salvo = anterior ? anterior : "C";
    bool utf8 = false;
    if (std::setlocale(LC_CTYPE, "") != nullptr) {
        const char* codificacao = nl_langinfo(CODESET);
        utf8 = codificacao != nullptr &&
               (std::strcmp(codificacao, "UTF-8") == 0 || std::strcmp(codificacao, "utf8") == 0);
    }
    std::setlocale(LC_CTYPE, salvo.c_str());
    return utf8;
}

std::size_t ler_entrada(char* destino, std::size_t n) {
    for (;;) {
        ssize_t lidos = read(descritor_entrada, destino, n);
        if (lidos >= 0) return static_cast<std::size_t>(lidos);
        if (errno != EINTR) return 0;
    }
}

void descartar_digitado() { tcflush(descritor_entrada, TCIFLUSH); }

int ler_tecla_terminal(bool eco) {
    ModoTecla modo(descritor_entrada, eco);
    return ler_byte_cru(descritor_entrada);
}

// A terminal here belongs to whoever opened it and stays after the program.
bool janela_console_propria() { return false; }

// There is no pause command here: wait for one key, not echoed.
void pausa_terminal() {
    ModoTecla modo(descritor_entrada, false);
    ler_byte_cru(descritor_entrada);
}

const bool pausa_terminal_com_aviso = false;

// One terminal device, whichever path opened it.
bool mesmo_terminal(int a, int b) {
    struct stat ea;
    struct stat eb;
    return fstat(a, &ea) == 0 && fstat(b, &eb) == 0 && S_ISCHR(ea.st_mode) && ea.st_rdev == eb.st_rdev;
}

TerminalErros preparar_terminal_erros() {
    if (!eh_terminal(STDERR_FILENO)) return TerminalErros::nenhum;
    // A dumb terminal would print the cursor movement as text; without TERM
    // nothing is known of the terminal.
    const char* tipo = std::getenv("TERM");
    if (tipo == nullptr || *tipo == '\0' || std::strcmp(tipo, "dumb") == 0) return TerminalErros::nenhum;
    if (eh_terminal(STDOUT_FILENO) && mesmo_terminal(STDOUT_FILENO, STDERR_FILENO))
        return TerminalErros::mesmo_da_saida;
    return TerminalErros::proprio;
}

void devolver_terminal_erros() {}
