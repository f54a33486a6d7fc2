#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "medidas/brocas.hpp"
#include "medidas/consulta.hpp"
#include "medidas/lados.hpp"

// The one drill a report names for the hole of a parallel thread: inside
// the minor diameter band of the nut's class, the thread's own system first
// (metric drills for metric and pipe threads, inch ones for Unified), then
// the other; where none fits, the size to ream or bore to.
struct EscolhaBroca {
    enum class Tipo {
        regra,          // no band: the standard gives no figures; the rule alone
        propria,        // a drill of the thread's own system
        outro_sistema,  // none of its own fits; one of the other system does
        nenhuma,        // no drill fits: ream or bore to the middle of the band
    };
    Tipo tipo = Tipo::regra;
    Broca broca;                 // propria, outro_sistema
    std::optional<Broca> antes;  // nenhuma: the largest own drill under the band
    std::int64_t inicial = 0;    // the Diametro Inicial, thousandths of a mm
    std::optional<Lado> furo;    // the nut whose band it is
    std::int64_t regra = 0;      // the rule's value, thousandths of a mm, as information
    bool polegada = false;       // the thread's own drills are inch ones
};

EscolhaBroca escolher_broca(const Consulta& c);

// The lines that name the drill, its band and the rule beside it.
void texto_broca(std::string& texto, const EscolhaBroca& escolha, const Consulta& c);

// The note beside the Diametro Inicial answer: "broca 10.8", "alargado".
std::string nota_broca(const EscolhaBroca& escolha);
