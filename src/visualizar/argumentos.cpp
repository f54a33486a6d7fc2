#include "visualizar/argumentos.hpp"

#include <filesystem>

const char* const texto_ajuda =
    "Uso: rosca-visualizar [ARQUIVO [IMAGEM]]\n"
    "\n"
    "Le o programa G-code ARQUIVO gravado pelo rosca-helicoidal, confere o\n"
    "percurso com o cabecalho do proprio arquivo e desenha o percurso em IMAGEM,\n"
    "um arquivo SVG que qualquer navegador abre.\n"
    "\n"
    "  ARQUIVO    padrao: ROSCA-HELICOIDAL_PARALELA.TAP no diretorio atual\n"
    "  IMAGEM     padrao: ARQUIVO com a extensao trocada por .svg\n"
    "  --help     mostra este texto\n"
    "  --version  mostra a versao\n"
    "\n"
    "Saida: 0 quando o arquivo esta inteiro e tudo confere; 1 quando alguma\n"
    "verificacao falha ou o arquivo esta incompleto (a imagem e gravada com as\n"
    "falhas marcadas); 2 quando o arquivo nao abre, a imagem nao pode ser\n"
    "gravada ou a linha de comando esta errada.\n";

Argumentos interpretar_argumentos(const std::vector<std::string>& args) {
    Argumentos a;
    std::vector<std::string> nomes;
    bool fim_opcoes = false;
    for (const std::string& arg : args) {
        if (!fim_opcoes && arg == "--") {
            fim_opcoes = true;
        } else if (!fim_opcoes && (arg == "--help" || arg == "-h")) {
            a.acao = Argumentos::Acao::ajuda;
            return a;
        } else if (!fim_opcoes && arg == "--version") {
            a.acao = Argumentos::Acao::versao;
            return a;
        } else if (!fim_opcoes && arg.size() > 1 && arg[0] == '-') {
            a.acao = Argumentos::Acao::erro;
            a.erro = "rosca-visualizar: opcao desconhecida: " + arg + " (veja --help)";
            return a;
        } else {
            nomes.push_back(arg);
        }
    }
    if (nomes.size() > 2) {
        a.acao = Argumentos::Acao::erro;
        a.erro = "rosca-visualizar: argumentos demais (veja --help)";
        return a;
    }
    if (!nomes.empty()) a.arquivo = nomes[0];
    if (a.arquivo.empty() || (nomes.size() == 2 && nomes[1].empty())) {
        a.acao = Argumentos::Acao::erro;
        a.erro = "rosca-visualizar: nome de arquivo vazio (veja --help)";
        return a;
    }
    if (nomes.size() == 2) {
        a.imagem = nomes[1];
    } else {
        std::filesystem::path imagem(a.arquivo);
        imagem.replace_extension(".svg");
        a.imagem = imagem.string();
    }
    if (std::filesystem::path(a.imagem).lexically_normal() == std::filesystem::path(a.arquivo).lexically_normal()) {
        a.acao = Argumentos::Acao::erro;
        a.erro = "rosca-visualizar: a imagem nao pode ser o proprio arquivo lido";
    }
    return a;
}
