#include "visualizar/gravacao.hpp"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool gravar_inteiro(const std::string& caminho, const std::string& conteudo) {
    std::error_code erro;
    if (fs::is_directory(caminho, erro)) return false;
    // A name of our own beside the picture, not one the user may have.
    std::string temporario;
    for (int i = 0; i < 1000; ++i) {
        temporario = caminho + ".tmp" + std::to_string(i);
        if (!fs::exists(temporario, erro) && !erro) break;
        temporario.clear();
    }
    if (temporario.empty()) return false;
    std::FILE* f = std::fopen(temporario.c_str(), "wb");
    if (f == nullptr) return false;
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
