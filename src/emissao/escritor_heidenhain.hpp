#pragma once

#include <memory>
#include <string_view>

#include "emissao/escritor.hpp"
#include "emissao/saida_arquivo.hpp"
#include "vocabulario/dialeto.hpp"

// The writer of Heidenhain's plain language (TNC 320/620/640, iTNC 530), in
// the form the control's own editor writes: every line a numbered block
// from 0 (the file's blank lines left out), `BEGIN PGM` and `END PGM` with
// the program's name, the comments as ";" blocks, `TOOL CALL`, positioning
// as `L ... R0 FMAX`, feed moves with F, numbers with their sign. A helix
// or an arc is `CC` (its centre) and `CP IPA.. IZ.. DR..` from where the
// cutter stands: `C`, `CR` and `CT` are flat on these controls. The cutter
// compensation is RL or RR on the line that brings it on and R0 on the one
// that takes it off, the radius from the control's tool table.
//
// `arquivo` is the file's name, of which the program takes its own
// (nome_programa.hpp).
std::unique_ptr<EscritorDialeto> criar_escritor_heidenhain(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo,
                                                           std::string_view nome_arquivo);
