#pragma once

#include "emissao/escrita.hpp"
#include "emissao/progresso.hpp"
#include "emissao/verbos.hpp"
#include "percurso/percurso.hpp"
#include "percurso/trajeto.hpp"

// A dialect's writer: the program's frame, its preamble and end, and the
// moves of each pass, spelled as one family of controls reads them. The
// moves come as verbs (verbos.hpp); what differs from dialect to dialect is
// only how they are written.
class EscritorDialeto : public Verbos {
public:
    // The file's comment lines and its smallest pieces.
    virtual Escrita& escrita() = 0;
    // What comes before the comment header: the framing of dialects that have one.
    virtual void inicio(const Percurso& percurso) = 0;
    virtual void preambulo(const Percurso& percurso) = 0;
    virtual void final(const Percurso& percurso) = 0;

    // Where a long job's progress is told while the passes are written; null: nowhere.
    virtual void usar_progresso(Progresso* progresso) = 0;
    virtual void abrir_passe(const PasseTrajeto& passe) = 0;
    // Today's pass's helix (PasseTrajeto::hoje), laid out as today's file
    // lays it out: the fast way, or with `verbos` point by point through
    // them, the reference the fast way is checked and measured against.
    virtual void helice_de_hoje(const PasseTrajeto& passe, Verbos* verbos) = 0;
    virtual void fechar_passe() = 0;

    // Several holes. The path of one hole moved to a centre by numbers (a
    // dialect without subprograms writes it out at every centre), or
    // written once as a subprogram and called at each centre.
    virtual void mover_para(const Furo& centro) = 0;
    virtual void abrir_subprograma(const Percurso& percurso) = 0;
    virtual void fechar_subprograma() = 0;
    // At the clearance height over the centre, then the subprogram there.
    virtual void chamar_subprograma(const Percurso& percurso, const Furo& centro) = 0;
    // After the last hole: no shift of the coordinates outlives the program.
    virtual void fim_das_chamadas() = 0;
    // The end of the program that calls, before the subprogram that follows it.
    virtual void final_principal(const Percurso& percurso) = 0;
    // The final diameter as a variable the operator changes, and the one
    // that runs or skips the roughing passes; around those passes.
    virtual void variaveis(const Percurso& percurso) = 0;
    virtual void abrir_desbastes() = 0;
    virtual void fechar_desbastes() = 0;
    // Whether today's helix can be written the fast way: where its
    // coordinates are plain numbers, not moved to a hole or expressions.
    virtual bool coordenadas_simples() const { return true; }
    // Lines written so far, for the progress line.
    virtual std::uint64_t linhas() const = 0;
};
