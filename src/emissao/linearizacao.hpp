#pragma once

#include "emissao/verbos.hpp"
#include "percurso/trajeto.hpp"

// The arcs and the helix of a pass as moves a control takes: one block per
// arc of at most half a turn, or straight chords of one degree (the helix's
// at the whole degrees after its start angle, each at its stored depth).

// An arc of a way in or out.
void linearizar_arco(const Segmento& segmento, bool arcos, Verbos& verbos);

// The pass's helix, with the turn comments every 360 chords.
void linearizar_helice(const TrechoHelice& helice, Verbos& verbos);
