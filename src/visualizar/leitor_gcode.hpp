#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "visualizar/arco.hpp"
#include "visualizar/forma_corda.hpp"
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
    // The line is "g01 x.. y.. z.." alone: its move is the last one carried
    // on to a new point, with nothing else new but whether every axis was
    // known before and the compensation in force.
    bool so_corda = false;
    // Words of any readable line.
    int m = -1;
    bool tem_s = false, tem_f = false;
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
    // `antecipavel`: another thread may read the file ahead (LeitorLinhas).
    explicit LeitorGcode(Fonte& fonte, std::size_t tamanho_bloco = LeitorLinhas::bloco_padrao,
                         bool antecipavel = false)
        : linhas_(fonte, tamanho_bloco, antecipavel) {}
    bool antecipar() { return linhas_.antecipar(); }

    // The next line into `l`; false at the end of the file. Texts in `l`
    // stay valid until the next call.
    inline bool proxima(Linha& l);

    // A chord line taken straight from the bytes (Linha::so_corda): what its
    // move holds that the last move did not.
    struct Corda {
        double x = 0, y = 0, z = 0;
        std::uint64_t numero = 0;
        std::uint16_t tracos = 0;
        std::uint8_t compensacao = 40;
        bool de_conhecido = false;
        Ponto3 de;                  // the last point
        std::uint64_t linha_de = 0;  // the line of the move that left the tool there
    };
    // The chord lines that come next, up to `max`, as proxima would give
    // them one by one: usar(x, y, z, tracos, de_conhecido, compensacao) for
    // each, the modal state moved on once after the last; how many, 0 when
    // the next line is any other. Nearly every line of a file goes this
    // way: nothing but the point is kept from one to the next.
    template <class F>
    inline std::size_t cordas(std::size_t max, F&& usar);
    // Where the tool stands, and the line of the move that left it there.
    const Ponto3& posicao() const { return posicao_; }
    std::uint64_t linha_posicao() const { return linha_posicao_; }
    // The move `mv` made chord `c`'s; what a chord does not give is left.
    static inline void mover_corda(Movimento& mv, const Corda& c);

    // A line that does not come from the file: a block of a program the
    // viewer runs (execucao.hpp), `folga` NUL bytes after `texto`. An arc it
    // splits leaves parts for `parte_pendente`.
    void ler_dada(std::string_view texto, std::uint64_t numero, bool sem_fim_de_linha, Linha& l);
    bool pendente() const { return pendentes_; }
    void parte_pendente(Linha& l) { proxima_parte(l); }

    bool erro_leitura() const { return linhas_.erro_leitura(); }
    std::uint64_t linhas() const { return linhas_.linhas(); }

    // Limits of one block, the controls' own: the degrees of a CP block and
    // the extra turns of TURN=.
    static constexpr double max_graus_cp = 5400;
    static constexpr int max_voltas_turn = 999;

private:
    enum class Linguagem : std::uint8_t { iso, sinumerik, texto_claro };

    void interpretar(Linha& l);
    // The line's words into `l`; false when it does not read.
    bool ler(Linha& l);
    void corda(Linha& l, double x, double y, double z, unsigned char letras);
    // The chord at the bytes' cursor taken, the modal state moved on to its
    // point; false when the bytes hold no whole chord line there.
    inline bool tomar_corda(Corda& c);
    // The modal state moved on to the chord to (c.x, c.y, c.z) of line
    // c.numero, whose letters' bytes OR-ed are `letras`; the rest of `c` filled.
    inline void avancar_corda(Corda& c, unsigned char letras);
    // A chord line's traits, from its letters' bytes OR-ed.
    static std::uint16_t tracos_corda(unsigned char letras) {
        return static_cast<std::uint16_t>(traco_palavras | ((letras & 0x20) != 0 ? traco_minusculas : 0));
    }
    // The modal state moved on to the chord to `para` of line `linha`.
    inline void chegar_por_corda(const Ponto3& para, std::uint64_t linha);
    // `l` made the chord line `c`.
    static inline void dar_corda(Linha& l, const Corda& c);
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

    // The rest of an arc split in parts.
    struct Partes {
        int total = 0, proxima = 0;  // the parts, and the next one handed on
        double cx = 0, cy = 0, rx = 0, ry = 0, z0 = 0, dz = 0, passo = 0;
        Ponto3 fim;
        Linha molde;
    };

    LeitorLinhas linhas_;
    FormaCorda forma_;  // of the last chord line read in full
    LinhaTexto texto_;
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

inline void LeitorGcode::chegar_por_corda(const Ponto3& para, std::uint64_t linha) {
    x_conhecido_ = y_conhecido_ = z_conhecido_ = true;
    movimento_ = 1;
    linha_posicao_ = linha;
    posicao_ = para;
    iso_lido_ = true;
}

inline void LeitorGcode::avancar_corda(Corda& c, unsigned char letras) {
    c.tracos = tracos_corda(letras);
    c.compensacao = static_cast<std::uint8_t>(compensacao_);
    c.de_conhecido = x_conhecido_ && y_conhecido_ && z_conhecido_;
    c.de = posicao_;
    c.linha_de = linha_posicao_;
    chegar_por_corda(Ponto3{c.x, c.y, c.z}, c.numero);
}

template <class F>
inline std::size_t LeitorGcode::cordas(std::size_t max, F&& usar) {
    if (pendentes_ || linguagem_ != Linguagem::iso) return 0;
    const char* p = linhas_.cursor();
    const char* const fim = linhas_.fim_bloco();
    bool de_conhecido = x_conhecido_ && y_conhecido_ && z_conhecido_;
    const auto compensacao = static_cast<std::uint8_t>(compensacao_);
    Ponto3 ultimo;
    std::size_t k = 0;
    for (; k < max; ++k) {
        double x, y, z;
        unsigned char letras;
        // Mostly a line of the shape of the one before; otherwise read in
        // full, and its shape taken for those after it.
        const bool inteira = static_cast<std::size_t>(fim - p) >= FormaCorda::janela;
        const char* depois = inteira ? forma_.ler(p, x, y, z, letras) : nullptr;
        if (depois == nullptr) [[unlikely]] {
            depois = ler_linha_corda(p, fim, x, y, z, letras);
            if (depois == nullptr) break;
            if (inteira) forma_.tomar(p, depois);
        }
        p = depois;
        usar(x, y, z, tracos_corda(letras), de_conhecido, compensacao);
        de_conhecido = true;
        ultimo = Ponto3{x, y, z};
    }
    if (k == 0) return 0;
    linhas_.tomar_linhas(p, k);
    chegar_por_corda(ultimo, linhas_.linhas());
    return k;
}

inline void LeitorGcode::dar_corda(Linha& l, const Corda& c) {
    l.tracos = c.tracos;
    l.tipo = TipoLinha::movimento;
    l.so_corda = true;
    mover_corda(l.movimento, c);
}

inline void LeitorGcode::mover_corda(Movimento& mv, const Corda& c) {
    mv.tipo = TipoMovimento::linear;
    mv.linha = c.numero;
    mv.linha_de = c.linha_de;
    mv.de = c.de;
    mv.de_conhecido = c.de_conhecido;
    mv.tem_x = mv.tem_y = mv.tem_z = mv.z_conhecido = true;
    mv.para = Ponto3{c.x, c.y, c.z};
    mv.compensacao = c.compensacao;
}

inline bool LeitorGcode::tomar_corda(Corda& c) {
    unsigned char letras;
    const char* depois = ler_linha_corda(linhas_.cursor(), linhas_.fim_bloco(), c.x, c.y, c.z, letras);
    if (depois == nullptr) return false;
    linhas_.tomar_linha(depois);
    c.numero = linhas_.linhas();
    avancar_corda(c, letras);
    return true;
}

inline bool LeitorGcode::proxima(Linha& l) {
    if (pendentes_) [[unlikely]] {
        proxima_parte(l);
        return true;
    }
    if (linguagem_ == Linguagem::iso) [[likely]] {
        // Nearly every line is a chord: taken from the bytes without
        // cutting it as a line first.
        Corda c;
        if (tomar_corda(c)) {
            l.numero = c.numero;
            l.sem_fim_de_linha = false;
            l.quantidade_comentarios = 0;
            l.m = -1;
            l.compensacao = 0;
            l.tem_s = l.tem_f = l.escala = l.pausa = false;
            dar_corda(l, c);
            return true;
        }
    }
    if (!linhas_.proxima(texto_)) return false;
    l.numero = texto_.numero;
    l.sem_fim_de_linha = texto_.sem_fim_de_linha;
    l.quantidade_comentarios = 0;
    interpretar(l);
    return true;
}

// What ler makes of "g01 x.. y.. z..", without its words: a feed move to
// the point, G1 in force from now on.
inline void LeitorGcode::corda(Linha& l, double x, double y, double z, unsigned char letras) {
    Corda c;
    c.x = x;
    c.y = y;
    c.z = z;
    c.numero = l.numero;
    avancar_corda(c, letras);
    dar_corda(l, c);
}
