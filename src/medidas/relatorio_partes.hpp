#pragma once

#include <string>

#include "medidas/consulta.hpp"
#include "medidas/corte.hpp"
#include "medidas/escolha_broca.hpp"

// Sections of the --medidas report after the basic profile and its answers.

// The limits of the tolerance classes typed, or of the common ones, and the
// answers aimed at the middle of their bands, with the drill chosen.
void classes(std::string& texto, const Consulta& consulta, const EscolhaBroca& broca);

// The whole report of a taper pipe thread (NPT, ISO 7-1 R and Rc) or of the
// parallel Rp that seals against R; returns what the cutting section needs.
RoscaParaCorte relatorio_conica(std::string& texto, const Consulta& consulta);
