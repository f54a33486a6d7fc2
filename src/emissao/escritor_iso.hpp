#pragma once

#include <string>

#include "emissao/cordas.hpp"
#include "emissao/escritor.hpp"
#include "emissao/progresso.hpp"
#include "vocabulario/dialeto.hpp"

// The writer of the ISO dialects (G and M words): its format is the
// dialect's table (vocabulario/dialeto.hpp): the words as spelled, the
// comment form, the decimal point, the dwell's unit, the preamble's and the
// trailer's blocks.
//
// Pieces follow the file's convention: each starts with the line breaks
// before it and leaves its line open. A pass of today's shape keeps today's
// layout: its feed on a line of its own, a blank line before each turn's
// comments and after its last chord.
class EscritorIso final : public EscritorDialeto {
public:
    EscritorIso(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo, Progresso* progresso = nullptr);

    Escrita& escrita() override { return escrita_; }
    void usar_progresso(Progresso* progresso) override { progresso_ = progresso; }

    void inicio(const Percurso& percurso) override;
    void preambulo(const Percurso& percurso) override;
    void final(const Percurso& percurso) override;

    void abrir_passe(const PasseTrajeto& passe) override;
    void helice_de_hoje(const PasseTrajeto& passe, Verbos* verbos) override;
    void fechar_passe() override;
    std::uint64_t linhas() const override { return linhas_; }

    void mover_para(const Furo& centro) override { centro_ = centro; }
    void abrir_subprograma(const Percurso& percurso) override;
    void fechar_subprograma() override;
    void chamar_subprograma(const Percurso& percurso, const Furo& centro) override;
    void fim_das_chamadas() override;
    void final_principal(const Percurso& percurso) override;
    void variaveis(const Percurso& percurso) override;
    void abrir_desbastes() override;
    void fechar_desbastes() override;
    void arco_variavel(const Alvo& fim, Ponto centro, Ponto variacao_centro, double varredura) override;
    bool coordenadas_simples() const override { return !argumentos_ && centro_.x == 0 && centro_.y == 0; }

    void rapido(const Alvo& alvo, bool saindo) override;
    void reta(const Alvo& alvo, Compensacao compensacao) override;
    void arco(const Alvo& fim, Ponto centro, double varredura) override;
    void volta(std::int64_t n) override;

private:
    // The block's text; empty when the job has none (no tool given).
    std::string bloco(const Percurso& percurso, vocabulario::Bloco bloco) const;
    void blocos(const Percurso& percurso, std::span<const vocabulario::LinhaBloco> linhas);
    std::string palavra(std::string_view letra, double v, int casas) const;
    // X or Y as the program at a hole writes it: moved to the centre, or
    // relative to the subprogram's argument (#1 for X, #2 for Y).
    void coordenada_xy(std::string& l, double v, int casas, double centro, const char* argumento,
                       double variacao = 0) const;
    // "[a+b*V]", V the final diameter's variable: a quantity worth `v` at the
    // answered diameter and changing by `variacao` per mm of it.
    std::string expressao(double v, double variacao, const char* argumento) const;
    void palavras(std::string& linha, const Alvo& alvo) const;
    void linha(const std::string& texto);
    void lembrar_posicao(const Alvo& alvo);
    void contar(std::uint64_t n);

    Escrita escrita_;
    const vocabulario::Dialeto& d_;
    Progresso* progresso_ = nullptr;
    CordasRapidas cordas_;
    // The pass being written.
    const PasseTrajeto* passe_ = nullptr;
    TextosVolta textos_;
    bool hoje_ = false;
    std::string lado_compensacao_;  // " G41 D1"
    std::string avanco_;            // the F word for the pass's first feed move, then empty
    // Where the cutter stands, as written: arcs give their centre from there.
    Ponto posicao_;
    std::uint64_t linhas_ = 0, contadas_ = 0;
    // Where the hole being written is, and whether its subprogram takes the
    // centre as its arguments.
    Furo centro_;
    bool argumentos_ = false;
    bool subprograma_depois_ = false;  // a second program follows the first one's end
    bool trecho_escrito_ = false;      // the labelled section a later hole repeats
    double diametro_ = 0;              // the answered final diameter, where it is a variable
    Ponto variacao_posicao_;           // how the position written last moves with it
};
