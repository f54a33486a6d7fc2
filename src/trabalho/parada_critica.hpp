#pragma once

#include <string>

#include "nucleo/parada.hpp"

// Messages of the stops that more than one phase, or the driver, can raise.
inline constexpr const char* msg_abrir_arquivo = "\n\aErro! Impossivel abrir o arquivo.\n\n";
inline constexpr const char* msg_gravar_arquivo = "\n\aErro! Falha ao gravar o arquivo.\n\n";
// After the message of a stop while the file was written, when nothing of it was kept.
inline constexpr const char* msg_nenhum_arquivo = "Nenhum arquivo foi gravado.\n";

// "\n\aERRO CRITICO - CODE #<codigo>\nEstrutura if-else-if nao definida.<detalhe>\n\a":
// the message of each decision chain's last branch, which the checks before
// it make unreachable; the summary's code #007 adds a line of detail.
inline std::string mensagem_estrutura(const char* codigo, const char* detalhe = "") {
    return std::string("\n\aERRO CRITICO - CODE #") + codigo + "\nEstrutura if-else-if nao definida." +
           detalhe + "\n\a";
}

[[noreturn]] inline void parada_estrutura(const char* codigo) { parada_critica(mensagem_estrutura(codigo)); }
