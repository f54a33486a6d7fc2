#pragma once

#include <string>

#include "medidas/consulta.hpp"

// Sections of the --medidas report after the basic profile and its answers.

// The limits of the tolerance classes typed, or of the common ones, and the
// answers aimed at the middle of their bands, with the drill.
void classes(std::string& texto, const Consulta& consulta);
