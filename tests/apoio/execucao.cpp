#include "apoio/execucao.hpp"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "driver/console.hpp"
#include "driver/programa.hpp"

namespace fs = std::filesystem;

std::string ler_arquivo(const std::string& caminho) {
    std::ifstream f(caminho, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool DestinoMemoria::gravar(const char* dados, std::size_t n) {
    if (bytes_->size() + n > limite_) {
        bytes_->append(dados, limite_ - bytes_->size());
        return false;
    }
    bytes_->append(dados, n);
    return true;
}

Execucao executar_binario(const std::string& respostas,
                          const std::function<void(const std::string& dir)>& preparar) {
    std::string modelo = (fs::temp_directory_path() / "rosca-e2e-XXXXXX").string();
    std::string dir = mkdtemp(modelo.data());
    if (preparar) preparar(dir);
    {
        std::ofstream entrada(dir + "/respostas.txt", std::ios::binary);
        entrada << respostas;
    }
    std::string comando = "cd '" + dir + "' && '" ROSCA_BINARIO "' < respostas.txt > console.txt 2>/dev/null";
    int bruto = std::system(comando.c_str());

    Execucao r;
    r.status = WIFEXITED(bruto) ? WEXITSTATUS(bruto) : -1;
    r.console = ler_arquivo(dir + "/console.txt");
    fs::path tap = fs::path(dir) / nome_tap;
    r.arquivo_existe = fs::is_regular_file(tap);
    if (r.arquivo_existe) r.arquivo = ler_arquivo(tap.string());
    std::error_code ignorado;
    fs::remove_all(dir, ignorado);
    return r;
}

Execucao executar_em_memoria(const std::string& respostas) {
    Execucao r;
    auto console = Console::em_memoria(respostas);
    r.status = executar_programa(*console, [&r](const char*) {
        r.arquivo_existe = true;
        return std::make_unique<DestinoMemoria>(&r.arquivo);
    });
    r.console = console->capturado();
    return r;
}
