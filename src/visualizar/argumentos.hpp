#pragma once

#include <string>
#include <vector>

// The command line: rosca-visualizar [ARQUIVO [IMAGEM]], --help, --version.
struct Argumentos {
    enum class Acao { visualizar, ajuda, versao, erro };
    Acao acao = Acao::visualizar;
    std::string arquivo = "ROSCA-HELICOIDAL_PARALELA.TAP";
    std::string imagem;  // ARQUIVO with its extension replaced by ".svg"
    std::string erro;    // one line for standard error, when acao is erro
};

Argumentos interpretar_argumentos(const std::vector<std::string>& args);

// The usage text of --help.
extern const char* const texto_ajuda;
