#pragma once

#include <string>
#include <string_view>

#include "vocabulario/dialeto.hpp"

// The name a control gives the program of the file `arquivo`: the file's
// name without its folder and extension, within the dialect's rule
// (vocabulario::RegraNome): other characters become "_" (one for each
// character, however many bytes it takes), and it is cut at the most the
// control takes.
// Without a rule, the name as it is.
std::string nome_programa(const vocabulario::Dialeto& dialeto, std::string_view arquivo);

// What the machinist is told when the file's name is not one the control
// takes: the name it should have and why; empty when it is fine.
std::string aviso_nome_programa(const vocabulario::Dialeto& dialeto, std::string_view arquivo);
