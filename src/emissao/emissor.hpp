#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "emissao/escrita.hpp"
#include "emissao/escritor.hpp"
#include "emissao/saida_arquivo.hpp"
#include "emissao/verbos.hpp"
#include "nucleo/console.hpp"
#include "percurso/percurso.hpp"
#include "percurso/trajeto.hpp"
#include "vocabulario/dialeto.hpp"

struct OpcoesEmissao {
    // Every line formed and written on its own, point by point through the
    // dialect's verbs: the plain writer the fast one is checked and measured
    // against.
    bool escrita_simples = false;
    // Told of every move as the dialect's writer is (for tests): the same
    // verbs, whatever the dialect.
    Verbos* ouvinte = nullptr;
    // The file's name, of which a dialect that names its program takes the
    // name (nome_programa.hpp).
    std::string arquivo{};
    // The largest file written with options (output/gravar_percurso.hpp);
    // smaller for tests.
    std::uint64_t max_bytes = 2'000'000'000;
    // The progress line of a long job on a terminal; not while the file is
    // only counted.
    bool progresso = true;
};

// An upper bound of the bytes the passes of `percurso` take in the dialect's
// file, and the lines of its holes, found from each pass's moves without
// forming their text: far cheaper than writing them. Every line is counted at
// the widest its kind can be for the path's largest number. Once the bound
// passes `limite` it stops there: then only that is known.
double cota_bytes_passes(const Percurso& percurso, const vocabulario::Dialeto& dialeto, double limite);

// Writes a tool path in a dialect: each pass's moves as the path gives
// them (percurso/trajeto.hpp), its arcs and helix linearised, spelled by
// the dialect's writer. The file is written in the order of its parts: the
// caller puts the comment header before the preamble and the extents
// comments before the trailer.
class Emissor {
public:
    Emissor(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo, OpcoesEmissao opcoes = {});
    ~Emissor();

    Escrita& escrita() { return escritor_->escrita(); }

    // What comes before the comment header: the framing of dialects that have one.
    void inicio(const Percurso& percurso);
    void preambulo(const Percurso& percurso);
    // Every pass. On a terminal, a long job shows its progress on standard
    // error meanwhile, after what `console` holds has gone out.
    void passes(const Percurso& percurso, Console* console = nullptr);
    void final(const Percurso& percurso);

    // Of the moves written so far.
    const gerador::Extremos& extremos() const { return extremos_; }
    // Of the passes the file writes (each start and repetition, at every
    // hole written out), the share written so far, the one being written as
    // half of one; 0 while it is the first.
    double parte_escrita(const Percurso& percurso) const;

private:
    // `graus_por_arco`: the most a block of the helix turns; 0, the dialect's.
    void passe(const Percurso& percurso, const PasseTrajeto& passe, Verbos& verbos, double graus_por_arco = 0);
    void passe_variavel(const Percurso& percurso, const PasseTrajeto& passe, Verbos& verbos);
    // Every pass of one hole, and the moves after the last.
    void furo(const Percurso& percurso, Verbos& verbos, bool escrever = true);
    // The verbs' destination: the dialect's writer, with the listener beside it.
    Verbos& verbos();

    const vocabulario::Dialeto& dialeto_;
    std::unique_ptr<EscritorDialeto> escritor_;
    std::unique_ptr<Verbos> repassa_;
    OpcoesEmissao opcoes_;
    gerador::Extremos extremos_;
    std::uint64_t passes_escritos_ = 0;
};
