#pragma once

#include <string>
#include <string_view>

#include "medidas/corte.hpp"

// The report of `--medidas` for one designation. On success returns true and
// fills `texto` with the whole report (lines ending in "\n", ASCII, at most 80
// columns); on a malformed designation returns false and fills `erro` with ONE
// line (no trailing "\n") in Portuguese saying what is wrong.
bool relatorio_medidas(std::string_view designacao, std::string& texto, std::string& erro);

// The same with the mill's catalogue data (`corte` may be null): a section
// with the spindle speed and the feeds to answer.
bool relatorio_medidas(std::string_view designacao, const DadosCorte* corte, std::string& texto, std::string& erro);
