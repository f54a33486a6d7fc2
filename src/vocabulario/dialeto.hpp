#pragma once

#include <span>
#include <string_view>

// How one family of controls wants the file written: the comment syntax, the
// letter case, the words and order of the preamble and trailer, the dwell's
// unit, the framing. The tool path is the same in every dialect; only its
// text differs. Today's file is the dialect `padrao`.
namespace vocabulario {

enum class EstiloComentario {
    ponto_e_virgula,  // ";" to the end of the line
    parenteses,       // "(" ... ")"
};

// The blocks of the preamble and of the trailer, in the order a dialect
// lists them. Each is written on a line of its own.
enum class Bloco {
    altura_aproximacao,  // rapid to the approach height
    origem,              // rapid to X0 Y0
    liga_fuso,           // spindle on, clockwise
    rotacao,             // spindle speed
    pausa,               // dwell while the spindle comes up to speed
    avanco,              // feed
    escala_liga,         // scaling on at 1:1
    escala_desliga,      // scaling off
    desliga_fuso,        // spindle off
    fim_programa,        // end of program
};

struct LinhaBloco {
    Bloco bloco;
    int quebras;  // line breaks before it: 2 leaves a blank line
};

struct Dialeto {
    std::string_view nome;      // as --comando takes it
    std::string_view extensao;  // of the default file name
    EstiloComentario comentario = EstiloComentario::ponto_e_virgula;

    // Words as written. The approach to a pass and the corner of an
    // external retract use `rapido`; the moves that leave a pass use
    // `rapido_retracao` (today's file writes both spellings).
    std::string_view rapido, rapido_retracao, corte;
    std::string_view x, y, z, s, f, p;
    std::string_view liga_fuso, desliga_fuso, fim_programa, pausa, escala_liga, escala_desliga;
    double segundos_pausa = 3;  // the dwell, in the unit of the dialect's P

    std::span<const LinhaBloco> preambulo;
    std::span<const LinhaBloco> final;
};

inline constexpr LinhaBloco preambulo_padrao[] = {
    {Bloco::altura_aproximacao, 2}, {Bloco::origem, 1}, {Bloco::liga_fuso, 2}, {Bloco::rotacao, 1},
    {Bloco::pausa, 1},              {Bloco::avanco, 1}, {Bloco::escala_liga, 2},
};
inline constexpr LinhaBloco final_padrao[] = {
    {Bloco::escala_desliga, 2}, {Bloco::desliga_fuso, 2}, {Bloco::fim_programa, 2}};

inline constexpr Dialeto padrao{
    .nome = "padrao",
    .extensao = ".TAP",
    .comentario = EstiloComentario::ponto_e_virgula,
    .rapido = "g00",
    .rapido_retracao = "g0",
    .corte = "g01",
    .x = "x",
    .y = "y",
    .z = "z",
    .s = "S",
    .f = "f",
    .p = "P",
    .liga_fuso = "M3",
    .desliga_fuso = "M5",
    .fim_programa = "M30",
    .pausa = "G04",
    .escala_liga = "g51",
    .escala_desliga = "g50",
    .segundos_pausa = 3,
    .preambulo = preambulo_padrao,
    .final = final_padrao,
};

// The file written when no name is given: this stem and the dialect's extension.
inline constexpr std::string_view nome_arquivo_paralela = "ROSCA-HELICOIDAL_PARALELA";

}  // namespace vocabulario
