#include "driver/terminal.hpp"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <string>
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

namespace {

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

}  // namespace

bool eh_terminal(int descritor) { return isatty(descritor) == 1; }

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

void descartar_digitado(int descritor) { tcflush(descritor, TCIFLUSH); }

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
    for (int i = 0; i < 3; ++i) sigaction(sinais_restaurados[i], &acao, &acoes_anteriores[i]);

    tcsetattr(descritor, TCSANOW, &modo);
    ativo_ = true;
}

ModoTecla::~ModoTecla() {
    if (!ativo_) return;
    if (descritor_modo >= 0) tcsetattr(descritor_modo, TCSANOW, &configuracao_original);
    descritor_modo = -1;
    for (int i = 0; i < 3; ++i) sigaction(sinais_restaurados[i], &acoes_anteriores[i], nullptr);
}

int ler_byte_cru(int descritor) {
    unsigned char c;
    for (;;) {
        ssize_t n = read(descritor, &c, 1);
        if (n == 1) return c;
        if (n < 0 && errno == EINTR) continue;
        return -1;
    }
}
