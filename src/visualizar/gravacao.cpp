#include "visualizar/gravacao.hpp"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Creates `nome` now, for writing, failing if anything has that name, a
// link included: what is written goes nowhere else. -1 when it cannot.
int criar_exclusivo(const std::string& nome) {
#ifdef _WIN32
    return ::_open(nome.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, 0666);
#else
    return ::open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

std::FILE* abrir_descritor(int descritor) {
#ifdef _WIN32
    return ::_fdopen(descritor, "wb");
#else
    return ::fdopen(descritor, "wb");
#endif
}

void fechar_descritor(int descritor) {
#ifdef _WIN32
    ::_close(descritor);
#else
    ::close(descritor);
#endif
}

}  // namespace

bool gravar_inteiro(const std::string& caminho, const std::string& conteudo) {
    std::error_code erro;
    // Only a regular file is ever replaced: a directory, a link or a device
    // at the picture's name stays as it is.
    const fs::file_status estado = fs::symlink_status(caminho, erro);
    if (fs::exists(estado) && !fs::is_regular_file(estado)) return false;
    // A name of our own beside the picture, created here: never one the
    // user has, nor a link planted at it.
    std::string temporario;
    int descritor = -1;
    for (int i = 0; i < 1000 && descritor < 0; ++i) {
        temporario = caminho + ".tmp" + std::to_string(i);
        descritor = criar_exclusivo(temporario);
        if (descritor < 0 && errno != EEXIST) return false;
    }
    if (descritor < 0) return false;
    std::FILE* f = abrir_descritor(descritor);
    if (f == nullptr) {
        fechar_descritor(descritor);
        fs::remove(temporario, erro);
        return false;
    }
    bool ok = std::fwrite(conteudo.data(), 1, conteudo.size(), f) == conteudo.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok) {
        fs::rename(temporario, caminho, erro);
        ok = !erro;
    }
    if (!ok) fs::remove(temporario, erro);
    return ok;
}
