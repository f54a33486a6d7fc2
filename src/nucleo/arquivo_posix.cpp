#include "nucleo/arquivo.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

std::string pasta_de(const std::string& caminho) {
    const std::size_t barra = caminho.rfind('/');
    if (barra == std::string::npos) return ".";
    return barra == 0 ? "/" : caminho.substr(0, barra);
}

// The temporary's name for the signal handlers, which may only read plain
// static data; written while those signals are blocked.
char temporario[4096];
// Every signal whose default ends the process and that a handler can catch:
// those a user or the system sends (a closed pipe, a file too large, a
// timer) and those of a fault. SIGKILL cannot be caught: a file being
// written has no name until it is whole where the system allows
// (abrir_sem_nome), and then none is left behind either.
constexpr int sinais_fixos[] = {
    SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP,   SIGABRT, SIGBUS,  SIGFPE,  SIGUSR1, SIGSEGV, SIGUSR2,
    SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ,   SIGVTALRM, SIGPROF, SIGSYS,
#ifdef SIGIO
    SIGIO,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};
constexpr int max_sinais = 128;
int sinais[max_sinais];
int quantos_sinais = 0;
struct sigaction anteriores[max_sinais];
bool vigiando = false;

// The fixed ones and the real-time ones, whose default ends the process too.
void listar_sinais() {
    if (quantos_sinais > 0) return;
    for (int s : sinais_fixos) sinais[quantos_sinais++] = s;
    for (int s = SIGRTMIN; s <= SIGRTMAX && quantos_sinais < max_sinais; ++s) sinais[quantos_sinais++] = s;
}

// The file removed, the signal again with what it did before (the default
// that ends the process, or a sanitizer's report of a fault).
extern "C" void remover_e_repetir(int sinal) {
    if (temporario[0] != '\0') unlink(temporario);
    for (int i = 0; i < quantos_sinais; ++i)
        if (sinais[i] == sinal) sigaction(sinal, &anteriores[i], nullptr);
    raise(sinal);
}

}  // namespace

AlvoGravacao resolver_alvo(const char* nome) {
    AlvoGravacao alvo;
    std::string caminho = nome;
    struct stat info {};
    // A chain of links, followed by hand: a link whose file is not there yet
    // still says where the file goes.
    for (int saltos = 0;; ++saltos) {
        if (lstat(caminho.c_str(), &info) != 0) {
            alvo.tipo = errno == ENOENT ? TipoAlvo::novo : TipoAlvo::impossivel;
            alvo.caminho = caminho;
            return alvo;
        }
        if (!S_ISLNK(info.st_mode)) break;
        if (saltos == 40) return alvo;
        char destino[4096];
        const ssize_t n = readlink(caminho.c_str(), destino, sizeof destino - 1);
        if (n <= 0) return alvo;
        destino[n] = '\0';
        caminho = destino[0] == '/' ? std::string(destino) : pasta_de(caminho) + "/" + destino;
    }
    alvo.caminho = caminho;
    if (S_ISREG(info.st_mode))
        // A file that cannot be written stays unwritten, as opening it would have.
        alvo.tipo = access(caminho.c_str(), W_OK) == 0 ? TipoAlvo::regular : TipoAlvo::impossivel;
    else if (S_ISDIR(info.st_mode))
        alvo.tipo = TipoAlvo::impossivel;
    else
        alvo.tipo = TipoAlvo::direto;
    return alvo;
}

std::string motivo_sem_gravacao(const char* nome) {
    const AlvoGravacao alvo = resolver_alvo(nome);
    struct stat info {};
    if (alvo.tipo == TipoAlvo::direto) return {};
    if (alvo.tipo == TipoAlvo::impossivel && stat(alvo.caminho.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return "'" + alvo.caminho + "' e uma pasta";
        return "o arquivo '" + alvo.caminho + "' nao pode ser gravado";
    }
    const std::string pasta = pasta_de(alvo.caminho);
    if (stat(pasta.c_str(), &info) != 0) {
        const int erro = errno;
        if (erro == ENOENT) return "a pasta '" + pasta + "' nao existe";
        if (erro == ENOTDIR) return "'" + pasta + "' nao e uma pasta";
        return "a pasta '" + pasta + "' nao pode ser lida (" + std::strerror(erro) + ")";
    }
    if (!S_ISDIR(info.st_mode)) return "'" + pasta + "' nao e uma pasta";
    // Whether a new file can be made there, as the writing will make its
    // temporary: the only sure test, whoever runs the program.
    for (int n = 0; n < 100; ++n) {
        const std::string prova = nome_temporario(alvo.caminho, 1000 + n);
        const int descritor = open(prova.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descritor >= 0) {
            close(descritor);
            unlink(prova.c_str());
            return {};
        }
        if (errno != EEXIST)
            return "a pasta '" + pasta + "' nao aceita um arquivo novo (" + std::strerror(errno) + ")";
    }
    return {};
}

namespace {

// An open descriptor as an unbuffered stream (the writer buffers); null, and
// the descriptor closed, when it cannot be one.
std::FILE* fluxo_de(int descritor) {
    if (descritor < 0) return nullptr;
    std::FILE* f = fdopen(descritor, "wb");
    if (f == nullptr) {
        close(descritor);
        return nullptr;
    }
    std::setvbuf(f, nullptr, _IONBF, 0);
    return f;
}

}  // namespace

std::FILE* abrir_para_gravar(const std::string& caminho, bool exclusivo, bool* ja_existe) {
    const int bandeiras = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusivo ? O_EXCL | O_NOFOLLOW : O_TRUNC);
    const int descritor = open(caminho.c_str(), bandeiras, 0666);
    if (ja_existe != nullptr) *ja_existe = descritor < 0 && errno == EEXIST;
    return fluxo_de(descritor);
}

std::string nome_temporario(const std::string& caminho, int n) {
    const std::size_t barra = caminho.rfind('/');
    const std::string pasta = barra == std::string::npos ? "" : caminho.substr(0, barra + 1);
    const std::string base = barra == std::string::npos ? caminho : caminho.substr(barra + 1);
    return pasta + "." + base + "." + std::to_string(getpid()) + "-" + std::to_string(n) + ".tmp";
}

std::FILE* abrir_sem_nome(const std::string& caminho) {
#ifdef O_TMPFILE
    // Named at the end through /proc (dar_nome): without it, a name from the start.
    if (access("/proc/self/fd", X_OK) != 0) return nullptr;
    return fluxo_de(open(pasta_de(caminho).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
#else
    (void)caminho;
    return nullptr;
#endif
}

bool dar_nome(std::FILE* f, const std::string& nome) {
#ifdef O_TMPFILE
    const int descritor = fileno(f);
    // Through the descriptor itself, which needs a privilege, or its name in /proc.
    if (linkat(descritor, "", AT_FDCWD, nome.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno == EEXIST) return false;
    const std::string proprio = "/proc/self/fd/" + std::to_string(descritor);
    return linkat(AT_FDCWD, proprio.c_str(), AT_FDCWD, nome.c_str(), AT_SYMLINK_FOLLOW) == 0;
#else
    (void)f;
    (void)nome;
    return false;
#endif
}

void copiar_permissoes(const std::string& de, std::FILE* para) {
    struct stat info {};
    if (stat(de.c_str(), &info) == 0) fchmod(fileno(para), info.st_mode & 07777);
}

bool espaco_livre(const std::string& caminho, std::uint64_t& bytes) {
    struct statvfs info {};
    if (statvfs(pasta_de(caminho).c_str(), &info) != 0) return false;
    bytes = static_cast<std::uint64_t>(info.f_bavail) * static_cast<std::uint64_t>(info.f_frsize);
    return true;
}

bool gravar_bytes(std::FILE* f, const char* dados, std::size_t n) {
    // SIGPIPE held back while writing: a reader that has gone makes the
    // write fail with EPIPE. The signal that write raised, and only that
    // one, is then taken before the mask comes back.
    sigset_t pipe, anterior, pendentes;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &anterior);
    sigpending(&pendentes);
    const bool ja_pendente = sigismember(&pendentes, SIGPIPE) == 1;
    const bool ok = std::fwrite(dados, 1, n, f) == n;
    if (!ok && errno == EPIPE && !ja_pendente) {
        const timespec agora{};
        sigtimedwait(&pipe, nullptr, &agora);
    }
    pthread_sigmask(SIG_SETMASK, &anterior, nullptr);
    return ok;
}

bool substituir_arquivo(const std::string& de, const std::string& para) {
    return std::rename(de.c_str(), para.c_str()) == 0;
}

bool remover_arquivo(const std::string& caminho) { return unlink(caminho.c_str()) == 0; }

void vigiar_temporario(const std::string& caminho) {
    listar_sinais();
    sigset_t conjunto, anterior;
    sigemptyset(&conjunto);
    for (int i = 0; i < quantos_sinais; ++i) sigaddset(&conjunto, sinais[i]);
    sigprocmask(SIG_BLOCK, &conjunto, &anterior);
    if (caminho.empty() || caminho.size() >= sizeof temporario) {
        temporario[0] = '\0';
        if (vigiando)
            for (int i = 0; i < quantos_sinais; ++i) sigaction(sinais[i], &anteriores[i], nullptr);
        vigiando = false;
    } else {
        std::memcpy(temporario, caminho.c_str(), caminho.size() + 1);
        if (!vigiando) {
            for (int i = 0; i < quantos_sinais; ++i) {
                sigaction(sinais[i], nullptr, &anteriores[i]);
                // A signal the run was started to ignore (nohup) stays ignored.
                if (anteriores[i].sa_handler == SIG_IGN) continue;
                struct sigaction nossa {};
                nossa.sa_handler = remover_e_repetir;
                sigemptyset(&nossa.sa_mask);
                sigaction(sinais[i], &nossa, nullptr);
            }
            vigiando = true;
        }
    }
    sigprocmask(SIG_SETMASK, &anterior, nullptr);
}
