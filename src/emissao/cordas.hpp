#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "emissao/escrita.hpp"
#include "emissao/progresso.hpp"
#include "percurso/trajeto.hpp"

// Today's helix written the fast way: the file is the program's real work,
// passes x turns x 360 lines. Within a pass every turn visits the same
// whole-degree points (PasseTrajeto::pontos), so a point's text up to the
// depth is formed when the pass first reaches it and copied in every later
// turn; only the depth is formatted per line. The dialect's writer checks
// it against the same chords written point by point through its verbs.

// The two comments before every turn, split around the turn number, with the
// file's line ends.
struct TextosVolta {
    std::string abertura;    // line break and the first comment up to the turn number
    std::string fechamento;  // the rest: the start of several, the first comment's end, the diameter comment, a line break
};
TextosVolta textos_volta(const Escrita& escrita, const PasseTrajeto& passe);

// What follows the turn number in its comment: the start the helix cuts, of
// a thread of several; nothing otherwise.
std::string texto_entrada(const PasseTrajeto& passe);

class CordasRapidas {
public:
    explicit CordasRapidas(const vocabulario::Dialeto& dialeto);
    ~CordasRapidas();
    // Every turn of the pass's helix, each after its turn comments and
    // ending its last line; returns the lines written.
    std::uint64_t escrever(const PasseTrajeto& passe, const TextosVolta& textos, SaidaArquivo& arquivo,
                           Progresso* progresso);

private:
    struct Volta;
    std::unique_ptr<Volta> volta_;
};
