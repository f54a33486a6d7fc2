#pragma once

#include <string>
#include <vector>

#include "vocabulario/dialeto.hpp"
#include "trabalho/furos.hpp"
#include "vocabulario/modos_corte.hpp"

// What the command line asks of the file, beside the dialogue's answers:
// the control's dialect and what goes with it. Without options, today's file.
struct OpcoesGeracao {
    const vocabulario::Dialeto* dialeto = &vocabulario::padrao;
    int programa = 1;    // the O number, where the dialect frames the program
    int ferramenta = 0;  // the tool to change to and compensate for; 0: none
    std::string saida;   // the file's name or path; empty: the default name

    // The ways of cutting asked for (vocabulario/modos_corte.hpp).
    vocabulario::ModosCorte modos;

    // Several holes: the file of their centres and, once read, the centres.
    std::string arquivo_furos;
    std::vector<Furo> furos;
    // The final diameter a variable the operator changes at the control,
    // and another that runs or skips the roughing passes.
    bool ajuste_na_maquina = false;

    // Any option given: the run then says where the file went in full.
    bool alguma = false;
};

// The file's name: `saida`, or the default stem and the dialect's extension.
inline std::string nome_do_arquivo(const OpcoesGeracao& o) {
    if (!o.saida.empty()) return o.saida;
    return std::string(o.modos.conicidade != 0 ? vocabulario::nome_arquivo_conica : vocabulario::nome_arquivo_paralela) +
           std::string(o.dialeto->extensao);
}
