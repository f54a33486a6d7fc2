#pragma once

#include <array>
#include <cstring>
#include <cstdint>
#include <string_view>

#include "visualizar/numero.hpp"
#include "vocabulario/codigos.hpp"

// One line of G-code as words: the letter of each word and its number, and
// the comments, ";" to the end of the line and "( ... )" anywhere, several
// per line. Letters in either case. Only the words of the controls this
// project writes for are known; any other word, or a number that does not
// read, makes the line unreadable.

// The G codes by what they do, one bit each, from the table the writer
// spells its words with (vocabulario/codigos.hpp).
constexpr std::uint32_t bit_funcao(vocabulario::Funcao f) { return 1u << static_cast<unsigned>(f); }
static_assert(static_cast<unsigned>(vocabulario::Funcao::avanco_por_minuto) < 32, "a bit per function");
enum BitCodigoG : std::uint32_t {
    g_rapido = bit_funcao(vocabulario::Funcao::rapido),
    g_linear = bit_funcao(vocabulario::Funcao::corte),
    g_arco_horario = bit_funcao(vocabulario::Funcao::arco_horario),
    g_arco_anti = bit_funcao(vocabulario::Funcao::arco_anti_horario),
    g_pausa = bit_funcao(vocabulario::Funcao::pausa),  // with P
    g_plano_xy = bit_funcao(vocabulario::Funcao::plano_xy),
    g_milimetros = bit_funcao(vocabulario::Funcao::milimetros),
    g_sem_compensacao = bit_funcao(vocabulario::Funcao::sem_compensacao),
    g_compensacao = bit_funcao(vocabulario::Funcao::compensacao_esquerda),   // with D: the cutter left of its travel
    g_compensacao_direita = bit_funcao(vocabulario::Funcao::compensacao_direita),  // with D: on the right
    g_comprimento = bit_funcao(vocabulario::Funcao::compensacao_comprimento),  // with H
    g_sem_comprimento = bit_funcao(vocabulario::Funcao::sem_compensacao_comprimento),
    g_sem_escala = bit_funcao(vocabulario::Funcao::escala_desliga),
    g_escala = bit_funcao(vocabulario::Funcao::escala_liga),  // X and Y are factors, not a move
    g_sem_ciclo = bit_funcao(vocabulario::Funcao::sem_ciclo),
    g_absoluto = bit_funcao(vocabulario::Funcao::absolutas),
    g_avanco_minuto = bit_funcao(vocabulario::Funcao::avanco_por_minuto),
};
inline constexpr std::uint32_t codigos_movimento = g_rapido | g_linear | g_arco_horario | g_arco_anti;

namespace palavras_detalhe {

// Each G number's bit; 0 for a number the table does not have, and for
// inches and incremental coordinates, which the files never use and the
// viewer does not convert: a line with them does not read.
struct TabelaG {
    std::array<std::uint32_t, 100> bit{};
    // 0 to 3 for the motion codes (G0 to G3), -1 for the others.
    std::array<signed char, 100> movimento{};
};
constexpr TabelaG montar_tabela_g() {
    using vocabulario::Funcao;
    TabelaG t;
    for (auto& m : t.movimento) m = -1;
    for (const vocabulario::CodigoG& c : vocabulario::codigos_g) {
        if (c.funcao == Funcao::polegadas || c.funcao == Funcao::incrementais) continue;
        // Sinumerik's three-digit codes are read by the Sinumerik reader, not from this table.
        if (c.numero >= static_cast<int>(t.bit.size())) continue;
        const auto n = static_cast<std::size_t>(c.numero);
        const std::uint32_t b = bit_funcao(c.funcao);
        t.bit[n] = b;
        t.movimento[n] = static_cast<signed char>(b == g_rapido ? 0 : b == g_linear ? 1 : b == g_arco_horario ? 2
                                                  : b == g_arco_anti ? 3 : -1);
    }
    return t;
}
inline constexpr TabelaG tabela_g = montar_tabela_g();

}  // namespace palavras_detalhe

// Bits of the letters other than G that a line gave.
constexpr std::uint32_t letra(char c) { return 1u << (c - 'a'); }

// The letters other than G and M that a word may have: coordinates, centre
// offsets, spindle speed, feed, dwell, block and program numbers, tool,
// length and radius offsets.
inline constexpr std::uint32_t letras_conhecidas = letra('x') | letra('y') | letra('z') | letra('i') | letra('j') |
                                                   letra('s') | letra('f') | letra('p') | letra('n') | letra('o') |
                                                   letra('t') | letra('h') | letra('d') | letra('m');

// What a line shows of the way it was written, one bit each: the dialect
// of the file is told from these (dialeto_arquivo.hpp).
enum Traco : std::uint16_t {
    traco_palavras = 1u << 0,        // some letter word
    traco_minusculas = 1u << 1,      // some letter word in lower case
    traco_ponto_e_virgula = 1u << 2, // a ";" comment
    traco_parenteses = 1u << 3,      // a "( ... )" comment
    traco_marca = 1u << 4,           // "%"
    traco_numero_bloco = 1u << 5,    // N
    traco_programa = 1u << 6,        // O
    traco_escala = 1u << 7,          // G51
    traco_pausa_g04 = 1u << 8,       // the dwell written "G04"
    traco_pausa_g4 = 1u << 9,        // the dwell written "G4"
    traco_texto_claro = 1u << 10,    // a numbered block of plain language
    traco_sinumerik = 1u << 11,      // a word only Sinumerik has: G710, G71, TURN=, CFTCP, CFC, G4 F
};

struct Palavras {
    static constexpr std::size_t max_comentarios = 8;

    bool legivel = true;
    bool marca = false;  // "%", alone on its line
    std::uint32_t letras = 0;
    std::uint32_t codigos_g = 0;
    int movimento = -1;  // 0 to 3 when the line gives G0 to G3
    int m = -1;
    // Comment kinds and the dwell's spelling (Traco bits); the letters of
    // the words OR-ed together, whose 0x20 bit is set by any lower-case one.
    std::uint16_t tracos = 0;
    unsigned char letras_lidas = 0;
    // The number of each letter's word, by letter from 'a'; only those in
    // `letras` were given.
    std::array<double, 26> valores{};
    // The comments' texts, in order; past `max_comentarios` only counted.
    std::array<std::string_view, max_comentarios> comentarios;
    std::size_t quantidade_comentarios = 0;

    bool tem(char c) const { return (letras & letra(c)) != 0; }
    double valor(char c) const { return valores[static_cast<std::size_t>(c - 'a')]; }
    // Any word that says something to the control (not N or O).
    bool tem_palavras() const {
        return codigos_g != 0 || (letras & ~(letra('n') | letra('o'))) != 0;
    }
};

// Reads the line `texto` (without its line end) into `w`. The text must be
// followed by its line end or a NUL, and `folga_numero` bytes more
// (numero.hpp).
namespace palavras_detalhe {

inline void comentario(Palavras& w, const char* inicio, const char* fim, std::uint16_t estilo) {
    w.tracos |= estilo;
    if (w.quantidade_comentarios < Palavras::max_comentarios)
        w.comentarios[w.quantidade_comentarios] = std::string_view(inicio, static_cast<std::size_t>(fim - inicio));
    ++w.quantidade_comentarios;
}

// A G or M number: whole, as "1", "01" or "1.0" write it.
inline bool codigo(double v, int& n) {
    if (!(v >= 0 && v < 100)) return false;
    n = static_cast<int>(v);
    return static_cast<double>(n) == v;
}

// The bit of G number `n` (below 100); `movimento` gets 0 to 3 for a motion code.
inline std::uint32_t bit_g(int n, int& movimento) {
    const auto k = static_cast<std::size_t>(n);
    movimento = tabela_g.movimento[k];
    return tabela_g.bit[k];
}

}  // namespace palavras_detalhe

inline void ler_palavras(std::string_view texto, Palavras& w) {
    using namespace palavras_detalhe;
    w.legivel = true;
    w.marca = false;
    w.letras = 0;
    w.codigos_g = 0;
    w.movimento = -1;
    w.m = -1;
    w.tracos = 0;
    w.letras_lidas = 0;
    w.quantidade_comentarios = 0;
    const char* p = texto.data();
    const char* const fim = p + texto.size();
    auto ilegivel = [&w] {
        w.legivel = false;
        return;
    };
    // A G code's bit, each code once and one motion code per line; 0 when not.
    auto codigo_g = [&w](int n) -> std::uint32_t {
        int movimento = -1;
        const std::uint32_t bit = bit_g(n, movimento);
        if (bit == 0 || (w.codigos_g & bit) != 0 || (movimento >= 0 && w.movimento >= 0)) return 0;
        if (movimento >= 0) w.movimento = movimento;
        w.codigos_g |= bit;
        return bit;
    };
    for (;;) {
        // The line end after the text is no blank: no need to look for the end here.
        while (*p == ' ' || *p == '\t') ++p;
        if (p >= fim) return;
        const char c = *p;
        // Lower case for letters; anything else stays outside 'a' to 'z'.
        const char l = static_cast<char>(c | 0x20);
        if (l < 'a' || l > 'z') {
            if (c == ';') {
                comentario(w, p + 1, fim, traco_ponto_e_virgula);
                return;
            }
            if (c == '(') {
                const char* f = static_cast<const char*>(std::memchr(p + 1, ')', static_cast<std::size_t>(fim - p - 1)));
                if (f == nullptr) return ilegivel();
                comentario(w, p + 1, f, traco_parenteses);
                p = f + 1;
                continue;
            }
            // The tape mark: alone on its line, blanks and comments aside.
            if (c != '%' || w.letras != 0 || w.codigos_g != 0 || w.marca) return ilegivel();
            w.marca = true;
            ++p;
            continue;
        }
        if (w.marca) return ilegivel();
        w.letras_lidas |= static_cast<unsigned char>(c);
        if (l == 'g' && static_cast<unsigned char>(p[1] - '0') < 10) {
            // The usual G word, one or two digits: read as the integer it is.
            int n = p[1] - '0';
            const char* q = p + 2;
            if (static_cast<unsigned char>(*q - '0') < 10) n = n * 10 + (*q++ - '0');
            if (static_cast<unsigned char>(*q - '0') >= 10 && *q != '.') {
                const std::uint32_t bit = codigo_g(n);
                if (bit == 0) return ilegivel();
                if (bit == g_pausa) w.tracos |= q - p == 3 ? traco_pausa_g04 : traco_pausa_g4;
                p = q;
                continue;
            }
        }
        double v;
        const char* q = ler_numero(p + 1, v);
        if (q == nullptr) return ilegivel();
        p = q;
        if (l == 'g') {
            int n;
            if (!codigo(v, n) || codigo_g(n) == 0) return ilegivel();
            continue;
        }
        const std::uint32_t b = letra(l);
        // An unknown letter, or a word repeated.
        if ((letras_conhecidas & b) == 0 || (w.letras & b) != 0) return ilegivel();
        w.letras |= b;
        w.valores[static_cast<std::size_t>(l - 'a')] = v;
        if (l == 'm') {
            int n;
            if (!codigo(v, n) || (n != 2 && n != 3 && n != 5 && n != 6 && n != 30)) return ilegivel();
            w.m = n;
        }
    }
}
