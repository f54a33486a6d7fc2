#include "apoio/execucao.hpp"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "nucleo/console.hpp"
#include "driver/programa.hpp"

namespace fs = std::filesystem;

std::string ler_arquivo(const std::string& caminho) {
    std::ifstream f(caminho, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> linhas_de(const std::string& texto) {
    std::vector<std::string> r;
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t fim = texto.find('\n', i);
        if (fim == std::string::npos) fim = texto.size();
        std::string l = texto.substr(i, fim - i);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        r.push_back(std::move(l));
        i = fim + 1;
    }
    return r;
}

bool DestinoMemoria::gravar(const char* dados, std::size_t n) {
    if (bytes_->size() + n > limite_) {
        bytes_->append(dados, limite_ - bytes_->size());
        return false;
    }
    bytes_->append(dados, n);
    return true;
}

namespace {

// The command that starts the Windows program under Wine, for the CI run of
// the end-to-end suites; null when the Linux build is tested.
const char* comando_externo() {
    const char* comando = std::getenv("ROSCA_EXECUTAR");
    return comando != nullptr && *comando != '\0' ? comando : nullptr;
}

// Console text of the Windows program ends its lines in CR LF.
std::string linhas_unix(const std::string& texto) {
    std::string r;
    r.reserve(texto.size());
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') continue;
        r.push_back(texto[i]);
    }
    return r;
}

using Escritor = std::function<void(std::ostream&)>;

// Where the measured run's shell leaves the program's process id.
const char* const nome_pid = "programa.pid";

// Runs `comando` (a shell command list ending in the program) and returns
// the program's wait status, with its peak resident memory in KiB in
// `pico_kib`.
//
// A process started from this one carries this one's memory into its peak:
// a fork copies it, and the vfork behind std::system hands over this
// process's own peak at the exec. getrusage(RUSAGE_CHILDREN) moreover keeps
// the largest of every child since the start. So the shell, started from
// here, runs the list in the background, forked from its own small image,
// and leaves; this process, a subreaper for the while, inherits that
// background process and reaps it with wait4, whose rusage covers it and
// what it waited for: the program, and nothing of this process.
int rodar_medindo(const std::string& comando, const std::string& dir, long& pico_kib) {
    if (prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) return std::system(comando.c_str());
    const std::string em_fundo = comando + " & echo $! > '" + dir + "/" + nome_pid + "'";
    int bruto = std::system(em_fundo.c_str());
    long pid = 0;
    std::ifstream(dir + "/" + nome_pid) >> pid;
    if (pid > 0) {
        struct rusage uso {};
        pid_t reaped;
        do {
            reaped = wait4(static_cast<pid_t>(pid), &bruto, 0, &uso);
        } while (reaped < 0 && errno == EINTR);
        if (reaped == pid) pico_kib = uso.ru_maxrss;
        else bruto = -1;
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    return bruto;
}

// `escrever` null: standard input from the null device.
Execucao executar_com_entrada(const Escritor& escrever,
                              const std::function<void(const std::string& dir)>& preparar,
                              const std::string& argumentos = "", std::size_t limite_arquivo = 0,
                              bool medir = false) {
    std::string modelo = (fs::temp_directory_path() / "rosca-e2e-XXXXXX").string();
    std::string dir = mkdtemp(modelo.data());
    if (preparar) preparar(dir);
    if (escrever) {
        std::ofstream entrada(dir + "/respostas.txt", std::ios::binary);
        escrever(entrada);
    }
    const char* origem = escrever ? "respostas.txt" : "/dev/null";
    std::string programa = comando_externo() ? comando_externo() : "'" ROSCA_BINARIO "'";
    if (!argumentos.empty()) programa += " " + argumentos;
    std::string limite;
    if (limite_arquivo > 0) limite = "trap '' XFSZ && ulimit -f " + std::to_string(limite_arquivo / 512) + " && ";
    std::string comando =
        "cd '" + dir + "' && " + limite + programa + " < " + origem + " > console.txt 2> erros.txt";
    Execucao r;
    const int bruto = medir ? rodar_medindo(comando, dir, r.pico_kib) : std::system(comando.c_str());
    r.status = WIFEXITED(bruto) ? WEXITSTATUS(bruto) : -1;
    r.console = ler_arquivo(dir + "/console.txt");
    r.erros = ler_arquivo(dir + "/erros.txt");
    if (comando_externo()) {
        r.console = linhas_unix(r.console);
        r.erros = linhas_unix(r.erros);
    }
    for (const auto& entrada : fs::directory_iterator(dir)) {
        const std::string nome = entrada.path().filename().string();
        if (nome != "respostas.txt" && nome != "console.txt" && nome != "erros.txt" && nome != nome_tap &&
            !(medir && nome == nome_pid)) {
            r.outros_arquivos.push_back(nome);
            if (entrada.is_regular_file()) r.outros_conteudos[nome] = ler_arquivo(entrada.path().string());
        }
    }
    fs::path tap = fs::path(dir) / nome_tap;
    r.arquivo_existe = fs::is_regular_file(tap);
    r.arquivo_eh_link = fs::is_symlink(tap);
    if (r.arquivo_existe) r.arquivo = ler_arquivo(tap.string());
    std::error_code ignorado;
    fs::remove_all(dir, ignorado);
    return r;
}

}  // namespace

Execucao executar_binario(const std::string& respostas,
                          const std::function<void(const std::string& dir)>& preparar) {
    return executar_com_entrada([&respostas](std::ostream& f) { f << respostas; }, preparar);
}

Execucao executar_binario_limitado(const std::string& respostas, std::size_t limite_bytes,
                                   const std::function<void(const std::string& dir)>& preparar) {
    return executar_com_entrada([&respostas](std::ostream& f) { f << respostas; }, preparar, "", limite_bytes);
}

Execucao executar_com_argumentos(const std::string& argumentos, const std::string& respostas,
                                 const std::function<void(const std::string& dir)>& preparar) {
    return executar_com_entrada([&respostas](std::ostream& f) { f << respostas; }, preparar, argumentos);
}

Execucao executar_binario_gerando(const Escritor& escrever) {
    return executar_com_entrada(escrever, {}, "", 0, true);
}

Execucao executar_binario_entrada_nula(const std::function<void(const std::string& dir)>& preparar) {
    return executar_com_entrada({}, preparar);
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

std::string arquivo_gerado(const std::string& argumentos, const std::string& respostas) {
    const Execucao r = executar_com_argumentos(argumentos + " --saida p.nc", respostas);
    EXPECT_EQ(r.status, 0) << argumentos << "\n" << r.erros;
    const auto f = r.outros_conteudos.find("p.nc");
    return f == r.outros_conteudos.end() ? std::string() : f->second;
}
