#pragma once

#include <cstdint>
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

// A file with no name yet in the folder of `caminho`, opened for writing as
// abrir_para_gravar does: whatever ends the process, nothing of it is left.
// Null where the system or the folder's file system has no such files.
std::FILE* abrir_sem_nome(const std::string& caminho);

// Gives a file of abrir_sem_nome the name `nome`; false when it cannot,
// a file of that name included.
bool dar_nome(std::FILE* f, const std::string& nome);

// Gives the temporary `para` the permissions of the file it is to replace.
void copiar_permissoes(const std::string& de, std::FILE* para);

// The bytes a new file may take in the folder of `caminho`; false when the
// system does not tell.
bool espaco_livre(const std::string& caminho, std::uint64_t& bytes);

// Writes the bytes; false when they did not all go out. A pipe whose reader
// has gone is a failed write like any other, not the end of the process.
bool gravar_bytes(std::FILE* f, const char* dados, std::size_t n);

// Moves `de` over `para`, replacing it in one step.
bool substituir_arquivo(const std::string& de, const std::string& para);

bool remover_arquivo(const std::string& caminho);

// While set, a signal that ends the process (Ctrl-C, closing the window,
// any other that a process can catch) removes this file first. One at a
// time; an empty name stops the watch.
void vigiar_temporario(const std::string& caminho);
