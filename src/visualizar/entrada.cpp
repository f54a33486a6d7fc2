#include "visualizar/entrada.hpp"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

Entrada abrir_entrada(const std::string& caminho) {
    Entrada e;
    std::error_code erro;
    const fs::file_status estado = fs::status(caminho, erro);
    if (fs::is_directory(estado)) {
        e.erro = "\"" + caminho + "\" e um diretorio, nao um arquivo G-code.";
        return e;
    }
    // What exists and is neither a file nor a pipe may never end.
    if (fs::exists(estado) && !fs::is_regular_file(estado) && !fs::is_fifo(estado)) {
        e.erro = "\"" + caminho + "\" nao e um arquivo comum nem um pipe.";
        return e;
    }
    e.arquivo = std::fopen(caminho.c_str(), "rb");
    if (e.arquivo == nullptr) e.erro = "nao foi possivel abrir o arquivo \"" + caminho + "\".";
    return e;
}

bool mesmo_arquivo(const std::string& arquivo, const std::string& imagem) {
    std::error_code erro;
    if (!fs::exists(imagem, erro) || erro) return false;
    const bool mesmo = fs::equivalent(arquivo, imagem, erro);
    return !erro && mesmo;
}
