#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "visualizar/leitor_linhas.hpp"
#include "visualizar/movimento.hpp"
#include "visualizar/palavras.hpp"

// The file read line by line into what each line does, with the control's
// modal state: the position, which a move's missing coordinates keep, and
// the motion code in force, which coordinates alone repeat.

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
    // ilegivel: the line, or its first bytes; and its whole length.
    std::string_view texto;
    std::uint64_t bytes = 0;
    bool longa = false;
    // movimento.
    Movimento movimento;
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
    explicit LeitorGcode(Fonte& fonte, std::size_t tamanho_bloco = LeitorLinhas::bloco_padrao)
        : linhas_(fonte, tamanho_bloco) {}

    // The next line into `l`; false at the end of the file. Texts in `l`
    // stay valid until the next call.
    inline bool proxima(Linha& l);

    bool erro_leitura() const { return linhas_.erro_leitura(); }
    std::uint64_t linhas() const { return linhas_.linhas(); }

private:
    void interpretar(Linha& l);
    // The line's words into `l`; false when it does not read.
    bool ler(Linha& l);

    LeitorLinhas linhas_;
    LinhaTexto texto_;
    Palavras palavras_;
    // Modal state: -1 no motion code yet, else 0 to 3 (G0 to G3).
    int movimento_ = -1;
    Ponto3 posicao_;
    bool x_conhecido_ = false, y_conhecido_ = false, z_conhecido_ = false;
    std::uint64_t linha_posicao_ = 0;  // the line of the last move
    int compensacao_ = 40;
};

inline bool LeitorGcode::proxima(Linha& l) {
    if (!linhas_.proxima(texto_)) return false;
    l.numero = texto_.numero;
    l.sem_fim_de_linha = texto_.sem_fim_de_linha;
    l.quantidade_comentarios = 0;
    interpretar(l);
    return true;
}
