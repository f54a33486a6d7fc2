#pragma once

#include <string>

// A critical stop unwinds to the program's top, which prints the message,
// pauses and exits with status 1. Unwinding lets an open file be flushed and
// closed by its owner, and lets tests catch the stop.
struct ParadaCritica {
    std::string mensagem;
};

[[noreturn]] inline void parada_critica(std::string mensagem) {
    throw ParadaCritica{std::move(mensagem)};
}

// The answers ended before the dialogue did.
inline constexpr const char* msg_entrada_encerrada =
    "\n\aERRO CRITICO - ENTRADA DE DADOS ENCERRADA.\nNenhum arquivo foi gravado.\n\a";
