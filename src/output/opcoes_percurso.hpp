#pragma once

#include "emissao/escrita.hpp"
#include "nucleo/console.hpp"
#include "percurso/percurso.hpp"
#include "vocabulario/dialeto.hpp"

// The ways of cutting in effect, where the options asked for any: as
// comments after the file's header, so the viewer knows what to expect, and
// as one console line before the success line. With any option, the depth
// the path reaches below the thread length, too. Without options, nothing.
void gravar_opcoes_percurso(const Percurso& percurso, bool com_opcoes, Escrita& arquivo);
// The console's line names the compensation's side in the dialect's word.
void imprimir_opcoes_percurso(const Percurso& percurso, bool com_opcoes, const vocabulario::Dialeto& dialeto,
                              Console& console);
