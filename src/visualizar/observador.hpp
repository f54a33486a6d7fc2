#pragma once

#include <cstdint>

#include "visualizar/movimento.hpp"
#include "visualizar/passe.hpp"
#include "vocabulario/comentarios.hpp"

class Modelo;

// What watches the model as the file goes by: the checks. The model calls
// every observer in the order they were added, at each of these points;
// an observer reads the model, never changes it.
class Observador {
public:
    virtual ~Observador() = default;
    // The first feed move of a pass, once the pass holds it.
    virtual void inicio_passe(const Passe&, const Movimento&) {}
    // Every later feed move of the pass, before the pass takes it in; only
    // for an observer whose `segue_cortes` says so, since nearly every line
    // of a file is one.
    virtual bool segue_cortes() const { return false; }
    virtual void corte(const Passe&, const Movimento&) {}
    // A turn comment or a diameter comment inside a pass, before the pass
    // takes it in.
    virtual void comentario_no_passe(const Passe&, const Comentario&, std::uint64_t /*linha*/) {}
    // A feed move off the helix, in a file with ways of cutting: into it
    // (entrada, before `inicio_passe`) or out of it (with the pass while it
    // lasts; null after it ended, for a move in the air).
    virtual void caminho(const Passe* /*passe*/, const Movimento&, bool /*entrada*/) {}
    // A pass has ended: the next rapid move, or the end of the file.
    virtual void fim_passe(const Passe&) {}
    // A rapid move, after the pass it ends (if any) has ended.
    virtual void rapido(const Movimento&) {}
    // The whole file has been read.
    virtual void fim_arquivo(const Modelo&) {}
};
