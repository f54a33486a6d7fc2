#pragma once

#include "percurso/percurso.hpp"
#include "trabalho/dados_rosca.hpp"
#include "trabalho/opcoes_geracao.hpp"

// The pass plan of the planned job.
PlanoPasses plano_passes(const DadosRosca& d);

// The tool path of the planned job.
Percurso construir_percurso(const DadosRosca& d, const OpcoesGeracao& opcoes = {});
