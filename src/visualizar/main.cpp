#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "nucleo/console.hpp"
#include "nucleo/terminal.hpp"
#include "nucleo/versao.hpp"
#include "visualizar/analise.hpp"
#include "visualizar/argumentos.hpp"
#include "visualizar/desenho_svg.hpp"
#include "visualizar/entrada.hpp"
#include "visualizar/gravacao.hpp"
#include "visualizar/relatorio.hpp"

namespace {

int falhar(const std::string& mensagem) {
    std::fputs(("rosca-visualizar: " + mensagem + "\n").c_str(), stderr);
    return 2;
}

int visualizar(Console& console, const Argumentos& a) {
    if (mesmo_arquivo(a.arquivo, a.imagem)) return falhar("a imagem nao pode ser o proprio arquivo lido");
    const Entrada entrada = abrir_entrada(a.arquivo);
    if (entrada.arquivo == nullptr) return falhar(entrada.erro);
    std::FILE* arquivo = entrada.arquivo;
    auto analise = std::make_unique<Analise>();
    FonteArquivo fonte(arquivo);
    analisar(fonte, *analise);
    std::fclose(arquivo);
    const Modelo& modelo = analise->modelo;
    if (modelo.erro_leitura) return falhar("erro ao ler o arquivo \"" + a.arquivo + "\".");

    imprimir_relatorio(console, *analise, a.arquivo);
    bool gravada = false;
    if (modelo.movimentos > 0) {
        const std::string nome = std::filesystem::path(a.arquivo).filename().string();
        if (!gravar_inteiro(a.imagem, desenhar_svg(*analise, nome))) {
            console.descarregar();
            return falhar("nao foi possivel gravar a imagem \"" + a.imagem + "\".");
        }
        gravada = true;
    }
    imprimir_conclusao(console, *analise, a.imagem, gravada);
    return analise->verificacoes.todas_ok() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const Argumentos a = interpretar_argumentos(std::vector<std::string>(argv + 1, argv + argc));
    switch (a.acao) {
        case Argumentos::Acao::ajuda: std::fputs(texto_ajuda, stdout); return 0;
        case Argumentos::Acao::versao: std::printf("rosca-visualizar %s\n", versao_programa); return 0;
        case Argumentos::Acao::erro: std::fputs((a.erro + "\n").c_str(), stderr); return 2;
        case Argumentos::Acao::visualizar: break;
    }
    auto console = Console::padrao();
    const int status = visualizar(*console, a);
    console->descarregar();
    // Started from the file manager (a file dropped on the program): the
    // window would close with the report in it.
    if (janela_console_propria()) console->pausa();
    return status;
}
