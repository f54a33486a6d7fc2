#pragma once

#include <cstdint>

#include "percurso/trajeto.hpp"

// The moves of a pass as a control takes them, in the manner of its
// canonical calls: what a linearisation hands a dialect's writer. Each
// dialect spells them its own way (escritor.hpp).
class Verbos {
public:
    virtual ~Verbos() = default;
    // At rapid to `alvo`; `saindo`, when it leaves the pass.
    virtual void rapido(const Alvo& alvo, bool saindo) = 0;
    // At feed in a straight line, the control's compensation turned on or
    // off along it.
    virtual void reta(const Alvo& alvo, Compensacao compensacao) = 0;
    // At feed along a circle about `centro` in the plane to `fim`, Z
    // changing evenly, turning `varredura` degrees (counter-clockwise
    // positive): at most half a turn, or whole turns more where the dialect
    // takes a helix of several turns in one block (Dialeto::graus_por_arco).
    virtual void arco(const Alvo& fim, Ponto centro, double varredura) = 0;
    // The same where the final diameter is a variable: `variacao_centro`,
    // how the centre moves per mm of it.
    virtual void arco_variavel(const Alvo& fim, Ponto centro, Ponto variacao_centro, double varredura) {
        (void)variacao_centro;
        arco(fim, centro, varredura);
    }
    // Turn `n` of the pass begins: the comments that say which.
    virtual void volta(std::int64_t n) = 0;
};
