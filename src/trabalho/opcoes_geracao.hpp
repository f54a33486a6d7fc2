#pragma once

#include <string>

#include "vocabulario/dialeto.hpp"

// What the command line asks of the file, beside the dialogue's answers:
// the control's dialect and what goes with it. Without options, today's file.
struct OpcoesGeracao {
    const vocabulario::Dialeto* dialeto = &vocabulario::padrao;
    int programa = 1;    // the O number, where the dialect frames the program
    int ferramenta = 0;  // the tool to change to and compensate for; 0: none
    std::string saida;   // the file's name or path; empty: the default name

    // Ways of cutting (percurso/percurso.hpp says what each does).
    bool arcos = false;
    enum class Fresamento { hoje, concordante, discordante } fresamento = Fresamento::hoje;
    bool tangencial = false;
    bool compensacao = false;
    int repeticoes_acabamento = 0;
    bool avanco_na_aresta = false;
    // A tapered thread, 1:N on the diameter; 0 for a parallel one.
    int conicidade = 0;

    // Any option given: the run then says where the file went in full.
    bool alguma = false;
};

// The file's name: `saida`, or the default stem and the dialect's extension.
inline std::string nome_do_arquivo(const OpcoesGeracao& o) {
    if (!o.saida.empty()) return o.saida;
    return std::string(o.conicidade != 0 ? vocabulario::nome_arquivo_conica : vocabulario::nome_arquivo_paralela) +
           std::string(o.dialeto->extensao);
}
