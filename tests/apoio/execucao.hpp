#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include "emissao/saida_arquivo.hpp"

// What one run left behind: console bytes, the G-code file and the exit status.
struct Execucao {
    std::string console;
    std::string erros;  // standard error
    // What else the run left in its directory, by name, and their bytes.
    std::vector<std::string> outros_arquivos;
    std::map<std::string, std::string> outros_conteudos;
    bool arquivo_existe = false;  // a regular file, or a link to one
    bool arquivo_eh_link = false;
    std::string arquivo;
    int status = -1;
    // The program's own peak resident memory in KiB, for the runs that
    // measure it (executar_binario_gerando); -1 when not measured.
    long pico_kib = -1;
};

// Runs the built program in a fresh temporary directory with `respostas` on
// standard input. `preparar` gets the directory before the run (to plant a
// directory or a link where the file goes).
//
// End-to-end tests, the ones that run the program through these functions, go
// in test suites whose names end in "PontaAPonta" (TEST(ProgramaPontaAPonta,
// ...)), and such suites hold nothing else: CI runs exactly the suites
// matching "*PontaAPonta.*" a second time against the Windows program under
// Wine. For that run, ROSCA_EXECUTAR holds the command that starts the program
// (e.g. "/usr/lib/wine/wine64 /abs/build/windows/rosca-helicoidal.exe"), used
// instead of the built Linux binary; the console's CR LF line ends, the Windows
// convention, are then read back as "\n". Exit statuses and file bytes are
// compared as they are. A case that cannot work under Wine is excluded by
// name in .ci/run, with the reason beside it.
Execucao executar_binario(const std::string& respostas,
                          const std::function<void(const std::string& dir)>& preparar = {});

// The same with the answer file written by `escrever` as it goes, so that a
// huge answer never sits in this process's memory, and the program's peak
// memory measured: the program's alone, neither this process's nor that of
// the children of earlier runs.
Execucao executar_binario_gerando(const std::function<void(std::ostream& respostas)>& escrever);

// The same with the size of every file the program writes limited to
// `limite_bytes` (a multiple of 512), SIGXFSZ ignored: a write past it fails
// as on a full disk.
Execucao executar_binario_limitado(const std::string& respostas, std::size_t limite_bytes,
                                   const std::function<void(const std::string& dir)>& preparar = {});

// The same with `argumentos` (words for the shell, quoted as needed) on the
// command line.
Execucao executar_com_argumentos(const std::string& argumentos, const std::string& respostas = "",
                                 const std::function<void(const std::string& dir)>& preparar = {});

// The file a run with `argumentos` writes (as --saida p.nc), expecting it to
// succeed; empty when it wrote none.
std::string arquivo_gerado(const std::string& argumentos, const std::string& respostas);

// The same with standard input from the null device, which is a character
// device but not a terminal (nor a console on Windows).
Execucao executar_binario_entrada_nula(
    const std::function<void(const std::string& dir)>& preparar = {});

// Runs the whole road in-process with a memory console and a memory file.
Execucao executar_em_memoria(const std::string& respostas);

// A file in memory; optionally refuses every write once `limite` bytes are in.
class DestinoMemoria final : public DestinoArquivo {
public:
    explicit DestinoMemoria(std::string* bytes, std::size_t limite = static_cast<std::size_t>(-1))
        : bytes_(bytes), limite_(limite) {}
    bool gravar(const char* dados, std::size_t n) override;
    bool fechar() override { return true; }

private:
    std::string* bytes_;
    std::size_t limite_;
};

std::string ler_arquivo(const std::string& caminho);

// A text's lines, without their "\n" or "\r\n".
std::vector<std::string> linhas_de(const std::string& texto);

// The file name every run writes.
inline const char* const nome_tap = "ROSCA-HELICOIDAL_PARALELA.TAP";
