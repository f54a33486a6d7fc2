#pragma once

#include <cstdio>
#include <string>

// The file side of the platform layer: where a file written under a
// temporary name ends up, the exclusive creation of that temporary, the
// replacing move, and the temporary's removal when a signal or Ctrl-C ends
// the process. One side per platform: arquivo_posix.cpp, arquivo_windows.cpp.

enum class TipoAlvo {
    novo,       // nothing there yet: the file is created
    regular,    // a regular file, replaced whole
    direto,     // a device or a pipe (a serial port that feeds a control): written as it is, never replaced
    impossivel  // a directory, a file that cannot be written, a folder that is not there
};

struct AlvoGravacao {
    TipoAlvo tipo = TipoAlvo::impossivel;
    // Where the bytes end up: `nome` with its symbolic links followed, so
    // that a link to a file replaces the file and the link stays.
    std::string caminho;
};

AlvoGravacao resolver_alvo(const char* nome);

// Why a file named `nome` could not be written, asked before any work is
// done: its folder is missing, is no folder or takes no new file, or the name
// is a folder or a file that cannot be written. Empty when nothing stands in
// the way. The text is Portuguese and names the path, with the system's own
// reason where it gave one.
std::string motivo_sem_gravacao(const char* nome);

// Opens `caminho` for writing in binary mode, unbuffered: `exclusivo`
// creates it and fails when anything (a link included) has that name; else
// an existing device or file is opened as it is. Null when it cannot;
// `ja_existe`, when given, then says whether the name was taken.
std::FILE* abrir_para_gravar(const std::string& caminho, bool exclusivo, bool* ja_existe = nullptr);

// A name for a temporary file beside `caminho`, in the same folder, with `n`
// to try another.
std::string nome_temporario(const std::string& caminho, int n);

// Gives the temporary the permissions of the file it is to replace.
void copiar_permissoes(const std::string& de, const std::string& para);

// Moves `de` over `para`, replacing it in one step.
bool substituir_arquivo(const std::string& de, const std::string& para);

bool remover_arquivo(const std::string& caminho);

// While set, a signal that ends the process (Ctrl-C, closing the window)
// removes this file first. One at a time; an empty name stops the watch.
void vigiar_temporario(const std::string& caminho);
