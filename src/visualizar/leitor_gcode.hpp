#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "visualizar/arco.hpp"
#include "visualizar/forma_linha.hpp"
#include "visualizar/leitor_linhas.hpp"
#include "visualizar/movimento.hpp"
#include "visualizar/palavras.hpp"

// The file read line by line into what each line does, with the control's
// modal state: the position, which a move's missing coordinates keep, and
// the motion code in force, which coordinates alone repeat.
//
// Three languages give the same moves: G and M words, read here; Sinumerik's
// words (leitor_siemens.cpp) and plain language's numbered blocks
// (leitor_heidenhain.cpp). The file's first block that says something
// decides: one that only Sinumerik reads, or BEGIN PGM; from then on the
// file is read in that language alone. An arc of more than half a turn in
// one block (CP, TURN=) is handed on in equal parts of at most half a turn,
// each a move of the same line, so that what follows sees the arcs every
// ISO file has and the checks need not know the dialect.

enum class TipoLinha : std::uint8_t {
    vazia,       // blank, "%", or only a block or program number
    comentario,  // only comments
    movimento,   // a move (rapid, feed or arc)
    comando,     // anything else that reads: M3, S, F, G4 P, G51, a motion code alone
    ilegivel,    // what cannot be read
};

struct Linha {
    TipoLinha tipo = TipoLinha::vazia;
    std::uint64_t numero = 0;
    bool sem_fim_de_linha = false;  // the last line, without a line break
    // The comments' texts, in order, whatever the line's kind.
    std::array<std::string_view, Palavras::max_comentarios> comentarios;
    std::size_t quantidade_comentarios = 0;
    // ilegivel: the line, or its first bytes; and its whole length; why,
    // where more can be said than that it does not read.
    std::string_view texto;
    std::string_view motivo;
    std::uint64_t bytes = 0;
    bool longa = false;
    // movimento.
    Movimento movimento;
    // Words of any readable line.
    int m = -1;
    bool tem_s = false, tem_f = false;
    bool ferramenta = false;  // a tool named or changed: T, TOOL CALL, M6
    double s = 0, f = 0;
    // The cutter compensation the line turns on or off: 40, 41, 42; 0 when it says nothing of it.
    int compensacao = 0;
    // G51: the scale factors, 1 for an axis the line leaves out.
    bool escala = false;
    double escala_x = 1, escala_y = 1;
    // What the line shows of its dialect (Traco bits); 0 when it does not read.
    std::uint16_t tracos = 0;
    // G4: its P, when given.
    bool pausa = false, tem_p = false;
    double p = 0;
};

class LeitorGcode {
public:
    explicit LeitorGcode(Fonte& fonte, std::size_t tamanho_bloco = LeitorLinhas::bloco_padrao)
        : linhas_(fonte, tamanho_bloco) {}

    // The next line into `l`; false at the end of the file. Texts in `l`
    // stay valid until the next call.
    bool proxima(Linha& l) {
        if (pendentes_) [[unlikely]] {
            proxima_parte(l);
            return true;
        }
        if (!linhas_.proxima(texto_)) return false;
        l.numero = texto_.numero;
        l.sem_fim_de_linha = texto_.sem_fim_de_linha;
        interpretar(l);
        return true;
    }
    // The next line's text alone, not read yet: `ler_dada` reads it, now or
    // later (LinhaTexto::texto stays valid only until the next call).
    bool proxima_texto(LinhaTexto& t) { return linhas_.proxima(t); }

    // A line given by the caller: from the file (`proxima_texto`), or a
    // block of a program the viewer runs (execucao.hpp); `folga` NUL bytes
    // after `texto`. An arc it splits leaves parts for `parte_pendente`.
    void ler_dada(std::string_view texto, std::uint64_t numero, bool sem_fim_de_linha, Linha& l);
    void ler_dada(const LinhaTexto& t, Linha& l) {
        texto_ = t;
        l.numero = t.numero;
        l.sem_fim_de_linha = t.sem_fim_de_linha;
        interpretar(l);
    }
    bool pendente() const { return pendentes_; }
    void parte_pendente(Linha& l) { proxima_parte(l); }

    bool erro_leitura() const { return linhas_.erro_leitura(); }
    // Plain language: the program began (BEGIN PGM) and has not ended (END PGM).
    bool programa_aberto() const { return programa_aberto_ && !programa_fechado_; }
    std::uint64_t linhas() const { return linhas_.linhas(); }

    // Limits of one block, the controls' own: the degrees of a CP block and
    // the extra turns of TURN=.
    static constexpr double max_graus_cp = 5400;
    static constexpr int max_voltas_turn = 999;

private:
    enum class Linguagem : std::uint8_t { iso, sinumerik, texto_claro };

    // The line in `texto_` into `l`.
    void interpretar(Linha& l);
    // The line's words into `l`; false when it does not read.
    bool ler(Linha& l);
    // The same in Sinumerik's words and in plain language; `motivo_` may
    // say why a line does not read.
    bool ler_sinumerik(Linha& l);
    bool ler_texto_claro(Linha& l);
    bool ler_outra_linguagem(Linha& l);

    // A move of the line to `para` (the axes the line gives in `tem`, x y z),
    // from where the tool stands; an arc about (cx, cy) turning `varredura`
    // radians, split when it turns more than half a turn.
    Movimento& mover(Linha& l, TipoMovimento tipo, const Ponto3& para, const bool (&tem)[3]);
    void mover_em_arco(Linha& l, const Ponto3& para, double cx, double cy, double varredura, const bool (&tem)[3]);
    void proxima_parte(Linha& l);
    // A chord of the shape `forma_` to `para`: mover's work, without what a chord does not change.
    void seguir_corda(Linha& l, const Ponto3& para) {
        Movimento& mv = l.movimento;
        mv.tipo = TipoMovimento::linear;
        mv.linha = l.numero;
        mv.linha_de = linha_posicao_;
        linha_posicao_ = l.numero;
        mv.de = posicao_;
        mv.de_conhecido = x_conhecido_ && y_conhecido_ && z_conhecido_;
        x_conhecido_ = y_conhecido_ = z_conhecido_ = true;
        mv.tem_x = mv.tem_y = mv.tem_z = mv.z_conhecido = true;
        mv.polar = false;
        mv.para = posicao_ = para;
        mv.centro_x = mv.centro_y = mv.varredura = 0;
        mv.horario = false;
        mv.compensacao = static_cast<std::uint8_t>(compensacao_);
        mv.avanco_no_contorno = linguagem_ == Linguagem::sinumerik && avanco_no_contorno_;
        if (linguagem_ == Linguagem::texto_claro && (para.x != mv.de.x || para.y != mv.de.y)) {
            tem_tangente_ = true;
            tangente_x_ = para.x - mv.de.x;
            tangente_y_ = para.y - mv.de.y;
        }
        l.tipo = TipoLinha::movimento;
        l.tracos = tracos_forma_;
    }

    // The rest of an arc split in parts.
    struct Partes {
        int total = 0, proxima = 0;  // the parts, and the next one handed on
        double cx = 0, cy = 0, rx = 0, ry = 0, z0 = 0, dz = 0, passo = 0;
        Ponto3 fim;
        Linha molde;
    };

    LeitorLinhas linhas_;
    LinhaTexto texto_;
    FormaLinha forma_;  // of the last chord read in full, under that motion code
    int movimento_forma_ = -2;
    std::uint16_t tracos_forma_ = 0;
    Palavras palavras_;
    // Modal state: -1 no motion code yet, else 0 to 3 (G0 to G3).
    int movimento_ = -1;
    Ponto3 posicao_;
    bool x_conhecido_ = false, y_conhecido_ = false, z_conhecido_ = false;
    std::uint64_t linha_posicao_ = 0;  // the line of the last move
    int compensacao_ = 40;

    Linguagem linguagem_ = Linguagem::iso;
    bool iso_lido_ = false;  // a block of G words read: the file is in them
    bool avanco_no_contorno_ = true;  // Sinumerik's CFC, until CFTCP
    std::string_view motivo_;
    bool pendentes_ = false;  // parts of an arc still to hand on
    Partes partes_;
    // Plain language: the circle centre (CC), the direction the last move
    // ends in (for CT), the dwell cycle defined, the program's name and end.
    bool tem_cc_ = false;
    double cc_x_ = 0, cc_y_ = 0;
    bool tem_tangente_ = false;
    double tangente_x_ = 0, tangente_y_ = 0;
    bool ciclo_pausa_ = false;
    bool programa_aberto_ = false, programa_fechado_ = false;
    std::string nome_programa_;
};
