#include "driver/terminal.hpp"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int descritor_entrada = STDIN_FILENO;

// Saved once per key read; the signal handler restores from here, so they
// must be plain static data.
struct termios configuracao_original;
volatile sig_atomic_t descritor_modo = -1;

constexpr int sinais_restaurados[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction acoes_anteriores[3];

extern "C" void restaurar_e_repetir(int sinal) {
    if (descritor_modo >= 0) {
        tcsetattr(descritor_modo, TCSANOW, &configuracao_original);
        descritor_modo = -1;
    }
    // Let the default action end the process, as it would have without us.
    std::signal(sinal, SIG_DFL);
    std::raise(sinal);
}

bool eh_terminal(int descritor) { return isatty(descritor) == 1; }

// Puts the terminal into single-key mode (no Enter needed; echo as asked) for
// its lifetime. The original settings come back on destruction and also when
// SIGINT, SIGTERM or SIGHUP ends the process meanwhile.
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
    if (tcgetattr(descritor, &configuracao_original) != 0) return;
    struct termios modo = configuracao_original;
    modo.c_lflag &= static_cast<tcflag_t>(~ICANON);
    if (eco)
        modo.c_lflag |= ECHO;
    else
        modo.c_lflag &= static_cast<tcflag_t>(~ECHO);
    modo.c_cc[VMIN] = 1;
    modo.c_cc[VTIME] = 0;

    descritor_modo = descritor;
    struct sigaction acao {};
    acao.sa_handler = restaurar_e_repetir;
    sigemptyset(&acao.sa_mask);
    for (int i = 0; i < 3; ++i) {
        sigaction(sinais_restaurados[i], nullptr, &acoes_anteriores[i]);
        // A signal the run was started to ignore (nohup, a background job) stays ignored.
        if (acoes_anteriores[i].sa_handler != SIG_IGN) sigaction(sinais_restaurados[i], &acao, nullptr);
    }

    tcsetattr(descritor, TCSANOW, &modo);
    ativo_ = true;
}

ModoTecla::~ModoTecla() {
    if (!ativo_) return;
    if (descritor_modo >= 0) tcsetattr(descritor_modo, TCSANOW, &configuracao_original);
    descritor_modo = -1;
    for (int i = 0; i < 3; ++i) sigaction(sinais_restaurados[i], &acoes_anteriores[i], nullptr);
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

bool preparar_terminal_erros() {
    if (!eh_terminal(STDERR_FILENO)) return false;
    // A dumb terminal would print the cursor movement as text.
    const char* tipo = std::getenv("TERM");
    return tipo == nullptr || std::strcmp(tipo, "dumb") != 0;
}

void devolver_terminal_erros() {}
