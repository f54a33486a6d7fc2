#pragma once

#include "trabalho/dados_rosca.hpp"
#include "percurso/percurso.hpp"

// The tool path of the planned job.
Percurso construir_percurso(const DadosRosca& d);
