#pragma once

#include <cstdint>

#include "emissao/verbos.hpp"
#include "percurso/trajeto.hpp"

// The arcs and the helix of a pass as moves a control takes: one block per
// arc of at most half a turn, or straight chords of one degree (the helix's
// at the whole degrees after its start angle, each at its stored depth).

// An arc of a way in or out.
void linearizar_arco(const Segmento& segmento, bool arcos, Verbos& verbos);

// The pass's helix, with the turn comments every 360 chords; as arcs, in
// equal blocks of at most `graus_por_arco` degrees.
void linearizar_helice(const TrechoHelice& helice, Verbos& verbos, double graus_por_arco = 180);

// An arc as a control takes it from its ends as written: `angulo`, from
// `de` to `ate` about `centro` in the sense of `varredura` (a whole turn
// when they are the same point: a control cuts a full circle there), and
// the whole turns more that bring it nearest to `varredura`. -1 of them
// when the arc is so short that its ends as written meet: then a straight
// line is nearest.
struct VoltasArco {
    double angulo = 0;
    std::int64_t voltas = 0;
};
VoltasArco voltas_do_arco(Ponto de, Ponto ate, Ponto centro, double varredura);
