#include "nucleo/arquivo.hpp"

#include <cctype>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// The names that are devices in every folder: CON, PRN, AUX, NUL, COM1 to
// COM9 and LPT1 to LPT9, with or without an extension; and "\\.\" paths.
bool eh_dispositivo(const std::string& caminho) {
    if (caminho.rfind("\\\\.\\", 0) == 0) return true;
    const std::size_t barra = caminho.find_last_of("\\/:");
    std::string base = barra == std::string::npos ? caminho : caminho.substr(barra + 1);
    base = base.substr(0, base.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

// Read by the console's control handler, which Windows runs on a thread of
// its own when Ctrl-C or the window's closing ends the process.
char temporario[MAX_PATH * 4];
volatile LONG vigiando = 0;

BOOL WINAPI remover_ao_encerrar(DWORD) {
    if (vigiando != 0) DeleteFileA(temporario);
    return FALSE;  // the handlers registered before, and then Windows, end the process
}

}  // namespace

AlvoGravacao resolver_alvo(const char* nome) {
    AlvoGravacao alvo;
    alvo.caminho = nome;
    if (eh_dispositivo(alvo.caminho)) {
        alvo.tipo = TipoAlvo::direto;
        return alvo;
    }
    // Asked without access, which touches no device: a name may stand for a
    // device or a pipe that is not among the reserved ones. A directory does
    // not open this way.
    HANDLE h = CreateFileA(nome, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        alvo.tipo = GetLastError() == ERROR_FILE_NOT_FOUND ? TipoAlvo::novo : TipoAlvo::impossivel;
        return alvo;
    }
    const DWORD tipo = GetFileType(h);
    CloseHandle(h);
    if (tipo != FILE_TYPE_DISK) {
        alvo.tipo = TipoAlvo::direto;
    } else {
        const DWORD atributos = GetFileAttributesA(nome);
        alvo.tipo = atributos == INVALID_FILE_ATTRIBUTES ||
                            (atributos & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0
                        ? TipoAlvo::impossivel
                        : TipoAlvo::regular;
    }
    return alvo;
}

namespace {

std::string pasta_de(const std::string& caminho) {
    const std::size_t barra = caminho.find_last_of("\\/");
    if (barra == std::string::npos) {
        // "C:nome" is in the current folder of drive C.
        return caminho.size() >= 2 && caminho[1] == ':' ? caminho.substr(0, 2) + "." : ".";
    }
    if (barra == 0 || (barra == 2 && caminho[1] == ':')) return caminho.substr(0, barra + 1);
    return caminho.substr(0, barra);
}

// The system's text for an error code, on one line.
std::string texto_do_erro(DWORD erro) {
    char texto[512];
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, erro, 0, texto,
                                   sizeof texto, nullptr);
    std::string r(texto, n);
    while (!r.empty() && (r.back() == '\n' || r.back() == '\r' || r.back() == ' ' || r.back() == '.')) r.pop_back();
    return r.empty() ? "erro " + std::to_string(erro) : r;
}

}  // namespace

std::string motivo_sem_gravacao(const char* nome) {
    const AlvoGravacao alvo = resolver_alvo(nome);
    if (alvo.tipo == TipoAlvo::direto) return {};
    const DWORD atributos_alvo = GetFileAttributesA(nome);
    if (alvo.tipo == TipoAlvo::impossivel && atributos_alvo != INVALID_FILE_ATTRIBUTES) {
        if ((atributos_alvo & FILE_ATTRIBUTE_DIRECTORY) != 0) return "'" + alvo.caminho + "' e uma pasta";
        return "o arquivo '" + alvo.caminho + "' nao pode ser gravado";
    }
    const std::string pasta = pasta_de(alvo.caminho);
    const DWORD atributos = GetFileAttributesA(pasta.c_str());
    if (atributos == INVALID_FILE_ATTRIBUTES) {
        const DWORD erro = GetLastError();
        if (erro == ERROR_FILE_NOT_FOUND || erro == ERROR_PATH_NOT_FOUND) return "a pasta '" + pasta + "' nao existe";
        return "a pasta '" + pasta + "' nao pode ser lida (" + texto_do_erro(erro) + ")";
    }
    if ((atributos & FILE_ATTRIBUTE_DIRECTORY) == 0) return "'" + pasta + "' nao e uma pasta";
    for (int n = 0; n < 100; ++n) {
        const std::string prova = nome_temporario(alvo.caminho, 1000 + n);
        HANDLE h = CreateFileA(prova.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return {};
        }
        const DWORD erro = GetLastError();
        if (erro != ERROR_FILE_EXISTS)
            return "a pasta '" + pasta + "' nao aceita um arquivo novo (" + texto_do_erro(erro) + ")";
    }
    return {};
}

std::FILE* abrir_para_gravar(const std::string& caminho, bool exclusivo, bool* ja_existe) {
    if (ja_existe != nullptr) *ja_existe = false;
    if (!exclusivo) {
        std::FILE* f = std::fopen(caminho.c_str(), "wb");
        if (f != nullptr) std::setvbuf(f, nullptr, _IONBF, 0);
        return f;
    }
    // Shared for deletion, so that the control handler can remove it while
    // it is open; created only when nothing has that name.
    HANDLE h = CreateFileA(caminho.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (ja_existe != nullptr) *ja_existe = GetLastError() == ERROR_FILE_EXISTS;
        return nullptr;
    }
    const int descritor = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (descritor < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE* f = _fdopen(descritor, "wb");
    if (f == nullptr) {
        _close(descritor);
        return nullptr;
    }
    std::setvbuf(f, nullptr, _IONBF, 0);
    return f;
}

std::string nome_temporario(const std::string& caminho, int n) {
    return caminho + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n) + ".tmp";
}

// A file closed by the end of the process is kept: a temporary has its
// name from the start, and the console's handler removes it.
std::FILE* abrir_sem_nome(const std::string&) { return nullptr; }

bool dar_nome(std::FILE*, const std::string&) { return false; }

void copiar_permissoes(const std::string&, std::FILE*) {}

bool espaco_livre(const std::string& caminho, std::uint64_t& bytes) {
    ULARGE_INTEGER livres{};
    if (GetDiskFreeSpaceExA(pasta_de(caminho).c_str(), &livres, nullptr, nullptr) == 0) return false;
    bytes = livres.QuadPart;
    return true;
}

// No signal ends the process for a pipe whose reader has gone: the write fails.
bool gravar_bytes(std::FILE* f, const char* dados, std::size_t n) { return std::fwrite(dados, 1, n, f) == n; }

bool substituir_arquivo(const std::string& de, const std::string& para) {
    return MoveFileExA(de.c_str(), para.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool remover_arquivo(const std::string& caminho) { return DeleteFileA(caminho.c_str()) != 0; }

void vigiar_temporario(const std::string& caminho) {
    static bool registrado = false;
    InterlockedExchange(&vigiando, 0);
    if (caminho.empty() || caminho.size() >= sizeof temporario) return;
    std::memcpy(temporario, caminho.c_str(), caminho.size() + 1);
    InterlockedExchange(&vigiando, 1);
    // Registered last, so it runs before the console layer's own handler,
    // which ends the process.
    if (!registrado) registrado = SetConsoleCtrlHandler(remover_ao_encerrar, TRUE) != 0;
}
