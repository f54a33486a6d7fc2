#include "nucleo/arquivo.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
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
constexpr int sinais[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction anteriores[4];
bool vigiando = false;

extern "C" void remover_e_repetir(int sinal) {
    if (temporario[0] != '\0') unlink(temporario);
    struct sigaction padrao {};
    padrao.sa_handler = SIG_DFL;
    sigemptyset(&padrao.sa_mask);
    sigaction(sinal, &padrao, nullptr);
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

std::FILE* abrir_para_gravar(const std::string& caminho, bool exclusivo, bool* ja_existe) {
    const int bandeiras = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusivo ? O_EXCL | O_NOFOLLOW : O_TRUNC);
    const int descritor = open(caminho.c_str(), bandeiras, 0666);
    if (ja_existe != nullptr) *ja_existe = descritor < 0 && errno == EEXIST;
    if (descritor < 0) return nullptr;
    std::FILE* f = fdopen(descritor, "wb");
    if (f == nullptr) {
        close(descritor);
        return nullptr;
    }
    std::setvbuf(f, nullptr, _IONBF, 0);
    return f;
}

std::string nome_temporario(const std::string& caminho, int n) {
    const std::size_t barra = caminho.rfind('/');
    const std::string pasta = barra == std::string::npos ? "" : caminho.substr(0, barra + 1);
    const std::string base = barra == std::string::npos ? caminho : caminho.substr(barra + 1);
    return pasta + "." + base + "." + std::to_string(getpid()) + "-" + std::to_string(n) + ".tmp";
}

void copiar_permissoes(const std::string& de, const std::string& para) {
    struct stat info {};
    if (stat(de.c_str(), &info) == 0) chmod(para.c_str(), info.st_mode & 07777);
}

bool substituir_arquivo(const std::string& de, const std::string& para) {
    return std::rename(de.c_str(), para.c_str()) == 0;
}

bool remover_arquivo(const std::string& caminho) { return unlink(caminho.c_str()) == 0; }

void vigiar_temporario(const std::string& caminho) {
    sigset_t conjunto, anterior;
    sigemptyset(&conjunto);
    for (int s : sinais) sigaddset(&conjunto, s);
    sigprocmask(SIG_BLOCK, &conjunto, &anterior);
    if (caminho.empty() || caminho.size() >= sizeof temporario) {
        temporario[0] = '\0';
        if (vigiando)
            for (int i = 0; i < 4; ++i) sigaction(sinais[i], &anteriores[i], nullptr);
        vigiando = false;
    } else {
        std::memcpy(temporario, caminho.c_str(), caminho.size() + 1);
        if (!vigiando) {
            for (int i = 0; i < 4; ++i) {
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
