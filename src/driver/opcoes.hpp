#pragma once

#include <optional>
#include <string>

#include "medidas/corte.hpp"
#include "trabalho/opcoes_geracao.hpp"

// What the command line asks of the generator. Without arguments it is the
// dialogue, exactly as it has always been; --help, --version and --medidas
// answer and end; the file's options (--comando and the rest) run the same
// dialogue and change only the file.
struct Pedido {
    enum class Tipo { dialogo, ajuda, versao, medidas, invalido };
    Tipo tipo = Tipo::dialogo;
    std::string designacao;  // of --medidas
    std::optional<DadosCorte> corte;  // of --medidas with --fresa, --arestas, --vc and --fz
    std::string erro;        // of an invalid command line: one line, no line end
    OpcoesGeracao geracao;   // of the dialogue
};

Pedido ler_opcoes(int argc, const char* const* argv);

// Answers a request other than the dialogue: the text for standard output and
// the one for standard error. Returns the exit status: 0, or 2 for a usage
// error. Touches no file.
int responder_opcao(const Pedido& pedido, std::string& saida, std::string& erros);
