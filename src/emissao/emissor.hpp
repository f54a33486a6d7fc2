#pragma once

#include "emissao/cordas.hpp"
#include "emissao/escrita.hpp"
#include "emissao/passe_geral.hpp"
#include "nucleo/console.hpp"
#include "emissao/saida_arquivo.hpp"
#include "percurso/percurso.hpp"
#include "vocabulario/dialeto.hpp"

struct OpcoesEmissao {
    // Every line formed and written on its own, point by point: the plain
    // writer the fast one is checked and measured against.
    bool escrita_simples = false;
    // The helices as helical arcs (G2/G3) rather than one-degree chords.
    bool arcos = false;
};

// Writes a tool path as G-code text in a dialect, with one-degree chords.
// The file is written in the order of its parts: the caller puts the
// comment header before the preamble and the extents comments before the
// trailer.
class Emissor {
public:
    Emissor(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo, OpcoesEmissao opcoes = {});

    Escrita& escrita() { return escrita_; }

    // What comes before the comment header: the framing of dialects that have one.
    void inicio(const Percurso& percurso);
    void preambulo(const Percurso& percurso);
    // Every pass. On a terminal, a long job shows its progress on standard
    // error meanwhile, after what `console` holds has gone out.
    void passes(const Percurso& percurso, Console* console = nullptr);
    void final(const Percurso& percurso);

    // Of the moves written so far.
    const Extremos& extremos() const { return extremos_; }

private:
    PontoHelice passe(const PassePercurso& passe, ContextoCordas& contexto);
    void retracao(const Percurso& percurso, const PassePercurso& passe, PontoHelice ultimo);
    // The block's text; empty when the job has none (no tool given).
    std::string bloco(const Percurso& percurso, vocabulario::Bloco bloco) const;
    void blocos(const Percurso& percurso, std::span<const vocabulario::LinhaBloco> linhas);
    // A move word with X and Y: "g00 x5.000 y-0.000".
    std::string movimento(std::string_view g, double x, double y, int casas) const;

    Escrita escrita_;
    OpcoesEmissao opcoes_;
    CordasRapidas cordas_;
    Extremos extremos_;
};
