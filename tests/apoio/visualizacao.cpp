#include "apoio/visualizacao.hpp"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "apoio/execucao.hpp"
#include "nucleo/console.hpp"
#include "visualizar/relatorio.hpp"

namespace fs = std::filesystem;

DiretorioTemporario::DiretorioTemporario() {
    std::string modelo = (fs::temp_directory_path() / "rosca-vis-XXXXXX").string();
    caminho_ = mkdtemp(modelo.data());
}

DiretorioTemporario::~DiretorioTemporario() {
    std::error_code ignorado;
    fs::remove_all(caminho_, ignorado);
}

void gravar_arquivo(const std::string& caminho, const std::string& bytes) {
    std::ofstream f(caminho, std::ios::binary);
    f << bytes;
}

ExecucaoVisualizador executar_visualizador(const std::string& dir, const std::vector<std::string>& argumentos) {
    std::string comando = "cd '" + dir + "' && '" ROSCA_VISUALIZADOR "'";
    for (const std::string& a : argumentos) comando += " '" + a + "'";
    comando += " < /dev/null > .saida 2> .erros";
    const int bruto = std::system(comando.c_str());
    ExecucaoVisualizador r;
    r.status = WIFEXITED(bruto) ? WEXITSTATUS(bruto) : -1;
    r.saida = ler_arquivo(dir + "/.saida");
    r.erros = ler_arquivo(dir + "/.erros");
    std::error_code ignorado;
    fs::remove(dir + "/.saida", ignorado);
    fs::remove(dir + "/.erros", ignorado);
    return r;
}

std::string arquivo_do_gerador(const std::string& respostas) {
    Execucao e = executar_binario(respostas);
    return e.arquivo;
}

std::unique_ptr<Analise> analisar_bytes(const std::string& bytes, std::size_t bloco) {
    FonteMemoria fonte(bytes);
    auto a = std::make_unique<Analise>();
    analisar(fonte, *a, bloco);
    return a;
}

std::string falhas_por_linha(const Analise& a) {
    std::string t;
    for (int i = 1; i <= Verificacoes::quantidade; ++i)
        if (a.verificacoes[i].estado != Estado::ok && a.verificacoes[i].estado != Estado::nao_se_aplica)
            t += std::to_string(i) + ": linha " + std::to_string(a.verificacoes[i].linha) + ": " +
                 a.verificacoes[i].detalhe + "\n";
    return t;
}

std::string relatorio_de(const Analise& analise, const std::string& nome) {
    auto console = Console::em_memoria("");
    imprimir_relatorio(*console, analise, nome);
    imprimir_conclusao(*console, analise, nome + ".svg", analise.modelo.movimentos > 0);
    return console->capturado();
}
