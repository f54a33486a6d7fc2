#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "visualizar/movimento.hpp"
#include "visualizar/passe.hpp"
#include "vocabulario/comentarios.hpp"

class Modelo;

// What watches the model as the file goes by: the checks. The model tells
// every observer, in the order they were added, of each part of each pass as
// the segmenter finds it (segmentador.hpp); an observer reads the model,
// never changes it.
class Observador {
public:
    virtual ~Observador() = default;
    // A feed move of a pass's way in: before its helix.
    virtual void entrada(const Movimento&) {}
    // The helix's first move, once the pass's summary holds it.
    virtual void inicio_helice(const Passe&, const Movimento&) {}
    // Every later move of the helix, before the summary takes it in; only
    // for an observer whose `segue_helice` says so, since nearly every line
    // of a file is one.
    virtual bool segue_helice() const { return false; }
    virtual void helice(const Passe&, const Movimento&) {}
    // A feed move of a pass's way out; with no pass, a move in the air after
    // the pass ended (the compensation turned off).
    virtual void saida(const Passe*, const Movimento&) {}
    // A turn comment or a diameter comment inside a pass, before the pass
    // takes it in, after `movimentos` moves of its helix.
    virtual void comentario_no_passe(const Passe&, const Comentario&, std::uint64_t /*linha*/,
                                     std::uint64_t /*movimentos*/) {}
    // A pass has ended: the next rapid move, or the end of the file.
    virtual void fim_passe(const Passe&) {}
    // A rapid move, after the pass it ends (if any) has ended.
    virtual void rapido(const Movimento&) {}
    // Once the path has begun to cut, what changes the machine's state, at
    // its line: the end of the program before the last move, the spindle
    // stopped or its speed changed, the feed stopped or changed, a tool
    // changed, the compensation changed inside a helix.
    virtual void mudanca(std::uint64_t /*linha*/, const std::string& /*texto*/) {}
    // The whole file has been read.
    virtual void fim_arquivo(const Modelo&) {}
};
