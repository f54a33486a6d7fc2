#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "vocabulario/comentarios.hpp"
#include "vocabulario/modos_corte.hpp"

// The job as the file's comment header states it: what the path is checked
// against. Values keep the decimals they were printed with.
struct ItemLista {
    std::int64_t indice = 0;
    Valor diametro;
    std::uint64_t linha = 0;
};

// A header value that cannot stand for what the generator stored: not a
// number, infinite, or beyond a float's range. The field is left absent and
// the checks that need it fail, naming it.
struct ValorIlegivel {
    const char* rotulo = "";  // "L", "ferramenta", ...
    double v = 0;
    std::uint64_t linha = 0;
};

struct Cabecalho {
    Valor Df;  // final diameter as entered
    Valor Da, Di, pl, pla;
    bool Da_desabilitado = false, Di_desabilitado = false;
    bool pl_desabilitado = false, pla_desabilitado = false;
    std::int64_t np = -1;  // -1: absent
    bool passe_unico = false;
    Valor L, p, fios, angulo_inicial, angulo_final, ferramenta, precisao, tempo, S, F, Fz;
    char tipo = 0;     // 'I' internal, 'E' external, 0 absent
    char sentido = 0;  // 'D' right hand (clockwise), 'E' left hand, 0 absent

    // The ways of cutting in effect, as the header's lines record them; a
    // file without those lines is cut as today: face down, chords, on the
    // cutter's centre.
    vocabulario::ModosCorte modos;
    Valor z_minimo;  // the path's deepest Z, where it goes below L
    Valor tempo_percurso;  // what the path takes at its feeds, as the generator measured it
    bool compensacao() const { return modos.compensacao(); }
    // The path is the thread's contour, the cutter's radius in the control's
    // register; with only the wear there, it is the cutter centre's.
    bool compensa_contorno() const { return modos.compensacao() && !modos.desgaste; }

    // The pass list; past `max_lista` items only the count grows.
    static constexpr std::size_t max_lista = 65536;
    std::vector<ItemLista> lista;
    std::uint64_t itens_lista = 0;

    std::uint64_t linhas = 0;  // header lines recognised
    std::vector<ValorIlegivel> ilegiveis;
    // The line of each kind of header comment (of the last one met).
    std::array<std::uint64_t, 48> linha_de{};

    // Written with options: the header has their lines (every such file the
    // time by the path, the newer ones the answered diameters).
    bool com_opcoes() const {
        return linha_de[static_cast<std::size_t>(TipoComentario::tempo_percurso)] != 0 ||
               linha_de[static_cast<std::size_t>(TipoComentario::medidas)] != 0;
    }
    bool interna() const { return tipo == 'I'; }
    bool externa() const { return tipo == 'E'; }
    bool mao_direita() const { return sentido == 'D'; }

    // Takes a comment of the header, from line `linha`; false when it is not one.
    bool aplicar(const Comentario& c, std::uint64_t linha = 0);

    // The value named `rotulo` when it was unreadable; null otherwise.
    const ValorIlegivel* ilegivel(const char* rotulo) const;

    // Labels of the values the checks need and the header lacks, joined by ", ".
    std::string faltando() const;
};

// Where the header puts the path of a pass of diameter `diametro` at the
// face: the cutter's centre's radius, or with the control's compensation the
// thread's own; false when the header lacks the cutter or the thread's kind.
bool raio_do_passe(const Cabecalho& c, const Valor& diametro, double& r);

// The passes the header announces: the list items after index 0 (which is
// the blank's diameter, not a pass) or, without a list, the one pass at Df.
struct PasseEsperado {
    std::int64_t numero = 0;
    Valor diametro;
    bool conhecido = false;  // false past the items kept
};
std::uint64_t passes_esperados(const Cabecalho& c);
PasseEsperado passe_esperado(const Cabecalho& c, std::uint64_t i);

// The helices each of those passes is cut in, one after the other: one per
// start of a thread of several, one per revolution of a mill of several
// profiles (as many as the header says); and all of the file's. The file's
// helix `ordem` is then the header's pass ordem / helices_por_passe.
std::uint64_t helices_por_passe(const Cabecalho& c);
std::uint64_t helices_esperadas(const Cabecalho& c);
// Which of its pass's helices the file's helix `ordem` is: the start, or the
// revolution in the order the file cuts them.
inline std::uint64_t helice_no_passe(const Cabecalho& c, std::uint64_t ordem) { return ordem % helices_por_passe(c); }
