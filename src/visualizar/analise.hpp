#pragma once

#include <cstdio>

#include "visualizar/modelo.hpp"

// Reads the whole file into the model and makes the checks. `arquivo` is
// open for reading in binary mode; it is read to its end, not closed.
void analisar(std::FILE* arquivo, Modelo& modelo);
