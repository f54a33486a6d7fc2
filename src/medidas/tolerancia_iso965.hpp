#pragma once

#include <cstdint>
#include <string>

#include "medidas/designacao.hpp"
#include "medidas/faixas.hpp"
#include "medidas/perfil.hpp"

// ISO 965-1 limits, in micrometres, of a metric thread of class `classe`
// (inside for G and H, outside for e, f, g, h) and the normal length of
// engagement, from the basic profile `perfil`. Returns false, with one
// Portuguese line in `erro`, where the standard has no figures: a pitch its
// tables do not list, a size outside 1 to 355 mm.
bool faixas_iso965(std::int64_t diametro_um, std::int64_t passo_um, const Perfil& perfil,
                   const ClasseIso965& classe, Faixas& faixas, std::string& erro);
