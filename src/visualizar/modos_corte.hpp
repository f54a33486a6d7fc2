#pragma once

#include <string>

#include "visualizar/cabecalho.hpp"

// The ways of cutting the header records, in words for the report and the
// picture: "arcos helicoidais; concordante, de baixo para cima; ...". Empty
// for a file cut as the generator does without options.
std::string modos_de_cortar(const Cabecalho& c);
