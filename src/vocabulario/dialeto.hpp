#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "vocabulario/cabecalho.hpp"

// How one family of controls wants the file written: the comment syntax, the
// letter case, the words and order of the preamble and trailer, the dwell's
// unit, the framing. The tool path is the same in every dialect; only its
// text differs. Today's file is the dialect `padrao`.
namespace vocabulario {

enum class EstiloComentario {
    ponto_e_virgula,  // ";" to the end of the line
    parenteses,       // "(" ... ")"
};

// What a comment's text may hold.
enum class TextoComentario {
    livre,     // as the program writes it
    sem_parenteses,  // no "(" or ")" (they would end the comment), no "!", "?" or "~"
                     // (real-time commands of GRBL even inside comments), ASCII only
    restrito,  // upper case, only letters, digits, blanks and . , - + : / = *
};

// How a family writes a program: in G and M words, which the ISO writer
// spells from this table, or in Heidenhain's plain language, which has a
// writer of its own (src/emissao/escritor_heidenhain.cpp).
enum class Linguagem : std::uint8_t { iso, texto_claro };

// What a control takes as a program's name, where it has rules for one:
// letters, digits and "_", up to `maximo` characters.
struct RegraNome {
    std::size_t maximo = 0;    // 0: no rule
    bool hifen = false;        // "-" too
    bool no_programa = false;  // the program carries its name (BEGIN PGM), not only the file
};

// The blocks of the preamble and of the trailer, in the order a dialect
// lists them. Each is written on a line of its own.
enum class Bloco {
    seguro,                   // the modes the path relies on: mm, absolute, XY plane, feed per minute, no compensation
    troca_ferramenta,         // T and the tool change (only with a tool number)
    ferramenta_e_gume,        // T and the first cutting edge of its offsets, D1 (only with a tool number)
    troca,                    // the tool change alone, after ferramenta_e_gume (only with a tool number)
    compensacao_comprimento,  // tool length compensation of that tool (only with a tool number)
    comentario_ferramenta,    // the tool number as a comment, where the control changes no tool
    altura_aproximacao,       // rapid to the approach height
    origem,                   // rapid to X0 Y0
    liga_fuso,                // spindle on, clockwise
    rotacao,                  // spindle speed
    rotacao_e_fuso,           // speed and spindle on, on one line
    pausa,                    // dwell while the spindle comes up to speed
    avanco,                   // feed
    escala_liga,              // scaling on at 1:1
    escala_desliga,           // scaling off
    desliga_fuso,             // spindle off
    fim_programa,             // end of program
};

struct LinhaBloco {
    Bloco bloco;
    int quebras;  // line breaks before it: 2 leaves a blank line
};

struct Dialeto {
    std::string_view nome{};       // as --comando takes it
    std::string_view descricao{};  // for --help
    std::string_view extensao{};   // of the default file name
    EstiloComentario comentario = EstiloComentario::ponto_e_virgula;
    TextoComentario texto_comentario = TextoComentario::livre;
    // How each line ends: CR LF, or LF alone where a control takes CR and LF
    // each as an end of line (and would answer twice per line).
    std::string_view fim_de_linha = "\r\n";
    // "%" as the first and the last line, a program number on the second.
    bool enquadramento = false;
    // Every coordinate and feed with a decimal point: "X0." rather than
    // "X0", which these controls read in thousandths.
    bool ponto_decimal = false;

    // Words as written. The approach to a pass and the corner of an
    // external retract use `rapido`; the moves that leave a pass use
    // `rapido_retracao` (today's file writes both spellings).
    std::string_view rapido{}, rapido_retracao{}, corte{};
    // Whether every control of the family runs a rapid in X and Y as a
    // straight line. Many run each axis at its own rapid rate (a Fanuc's
    // setting, Sinumerik's RTLIOF, whatever control today's file goes to):
    // the move goes aslant first, then along one axis.
    bool rapido_reto = false;
    std::string_view arco_horario{}, arco_anti_horario{};
    std::string_view x{}, y{}, z{}, i{}, j{}, s{}, f{}, p{}, t{}, h{}, d{};
    // Cutter radius compensation: the cutter left or right of the path, and off.
    std::string_view compensacao_esquerda{}, compensacao_direita{}, compensacao_desliga{};
    std::string_view seguro{};
    std::string_view troca_ferramenta{}, compensacao_comprimento{};
    std::string_view liga_fuso{}, desliga_fuso{}, fim_programa{}, pausa{}, escala_liga{}, escala_desliga{};
    int pausa_por_segundo = 1;  // P units in one second: 1 for seconds, 1000 for milliseconds
    // What the compensation's register holds, as the header tells the operator.
    std::string_view registro_compensacao = rotulo::compensacao_tabela;
    // The same when it holds only the wear.
    std::string_view registro_desgaste = rotulo::compensacao_desgaste;
    // The header's line for a path of helical arcs, naming the dialect's own arc blocks.
    std::string_view rotulo_arcos = rotulo::arcos;

    std::span<const LinhaBloco> preambulo{};
    std::span<const LinhaBloco> final{};

    // How one hole's path is written once and run at every centre: not at
    // all (written out for each); as a subroutine with the centre as its
    // arguments (LinuxCNC's o-words); after the main program's end, called
    // after a local shift of the coordinates (Fanuc's second program with
    // M98 and G52, Heidenhain's label with the datum shift cycle); or at the
    // first hole between two labels, repeated at each other one after a
    // programmable shift (Sinumerik's REPEAT and TRANS).
    enum class Subprograma { nenhum, argumentos, apos_o_fim, trecho_repetido } subprograma = Subprograma::nenhum;
    // Variables a program can set and compute with (named parameters,
    // macro variables, Q and R parameters): the final diameter's and the
    // one that runs the roughing passes (1) or skips them (0).
    bool variaveis = false;
    std::string_view variavel_diametro{}, variavel_desbastes{};
    // Around an expression in a word: "X[...]", or "X=..." on Sinumerik;
    // between a variable and the value it is given.
    std::string_view abre_expressao = "[", fecha_expressao = "]", atribuicao = " = ";
    Linguagem linguagem = Linguagem::iso;
    // The most one block of a helix turns, in degrees: half a turn, which
    // every control of the ISO family takes; more where the dialect writes
    // whole turns in one block (`voltas`, Heidenhain's IPA).
    double graus_por_arco = 180;
    // The word of an arc's whole extra turns ("TURN="), where the dialect
    // has one.
    std::string_view voltas{};
    // Written with the compensation's side where the control would
    // otherwise hold F at the contour, not at the cutter's centre as every
    // file means it.
    std::string_view avanco_no_centro{};
    // The compensation's D word where it is not the tool's number: a
    // control whose D counts the cutting edges of the tool called takes D1.
    int corretor_fixo = 0;
    RegraNome nome_programa{};
};

// The dwell while the spindle comes up to speed.
inline constexpr int segundos_pausa = 3;

inline constexpr LinhaBloco preambulo_padrao[] = {
    {Bloco::altura_aproximacao, 2}, {Bloco::origem, 1}, {Bloco::liga_fuso, 2}, {Bloco::rotacao, 1},
    {Bloco::pausa, 1},              {Bloco::avanco, 1}, {Bloco::escala_liga, 2},
};
inline constexpr LinhaBloco final_padrao[] = {
    {Bloco::escala_desliga, 2}, {Bloco::desliga_fuso, 2}, {Bloco::fim_programa, 2}};

inline constexpr Dialeto padrao{
    .nome = "padrao",
    .descricao = "o arquivo de sempre (.TAP)",
    .extensao = ".TAP",
    .rapido = "g00",
    .rapido_retracao = "g0",
    .corte = "g01",
    .arco_horario = "g02",
    .arco_anti_horario = "g03",
    .x = "x",
    .y = "y",
    .z = "z",
    .i = "i",
    .j = "j",
    .s = "S",
    .f = "f",
    .p = "P",
    .d = "D",
    .compensacao_esquerda = "G41",
    .compensacao_direita = "G42",
    .compensacao_desliga = "G40",
    .liga_fuso = "M3",
    .desliga_fuso = "M5",
    .fim_programa = "M30",
    .pausa = "G04",
    .escala_liga = "g51",
    .escala_desliga = "g50",
    .preambulo = preambulo_padrao,
    .final = final_padrao,
};

// The safe start, then the tool, then today's moves; no scaling, which these
// controls do not have or do not need.
inline constexpr LinhaBloco preambulo_linuxcnc[] = {
    {Bloco::seguro, 2},         {Bloco::troca_ferramenta, 1}, {Bloco::compensacao_comprimento, 1},
    {Bloco::altura_aproximacao, 1}, {Bloco::origem, 1},       {Bloco::rotacao_e_fuso, 1},
    {Bloco::pausa, 1},          {Bloco::avanco, 1},
};
inline constexpr LinhaBloco preambulo_grbl[] = {
    {Bloco::seguro, 2},    {Bloco::comentario_ferramenta, 1}, {Bloco::altura_aproximacao, 1},
    {Bloco::origem, 1},    {Bloco::rotacao_e_fuso, 1},        {Bloco::pausa, 1},
    {Bloco::avanco, 1},
};
inline constexpr LinhaBloco final_sem_escala[] = {{Bloco::desliga_fuso, 2}, {Bloco::fim_programa, 1}};

inline constexpr Dialeto linuxcnc{
    .nome = "linuxcnc",
    .descricao = "LinuxCNC (.ngc)",
    .extensao = ".ngc",
    .rapido = "G0",
    .rapido_retracao = "G0",
    .corte = "G1",
    .rapido_reto = true,
    .arco_horario = "G2",
    .arco_anti_horario = "G3",
    .x = "X",
    .y = "Y",
    .z = "Z",
    .i = "I",
    .j = "J",
    .s = "S",
    .f = "F",
    .p = "P",
    .t = "T",
    .h = "H",
    .d = "D",
    .compensacao_esquerda = "G41",
    .compensacao_direita = "G42",
    .compensacao_desliga = "G40",
    .seguro = "G21 G90 G17 G94 G40 G80",
    .troca_ferramenta = "M6",
    .compensacao_comprimento = "G43",
    .liga_fuso = "M3",
    .desliga_fuso = "M5",
    .fim_programa = "M30",
    .pausa = "G4",
    .preambulo = preambulo_linuxcnc,
    .final = final_sem_escala,
    .subprograma = Dialeto::Subprograma::argumentos,
    .variaveis = true,
    .variavel_diametro = "#<_diametro_final>",
    .variavel_desbastes = "#<_desbastes>",
};

inline constexpr Dialeto grbl{
    .nome = "grbl",
    .descricao = "GRBL 1.1 (.nc)",
    .extensao = ".nc",
    .comentario = EstiloComentario::parenteses,
    .texto_comentario = TextoComentario::sem_parenteses,
    .fim_de_linha = "\n",
    .rapido = "G0",
    .rapido_retracao = "G0",
    .corte = "G1",
    .rapido_reto = true,
    .arco_horario = "G2",
    .arco_anti_horario = "G3",
    .x = "X",
    .y = "Y",
    .z = "Z",
    .i = "I",
    .j = "J",
    .s = "S",
    .f = "F",
    .p = "P",
    .t = "T",
    .seguro = "G21 G90 G17 G94 G40 G80",
    .liga_fuso = "M3",
    .desliga_fuso = "M5",
    .fim_programa = "M30",
    .pausa = "G4",
    .preambulo = preambulo_grbl,
    .final = final_sem_escala,
};

inline constexpr Dialeto fanuc{
    .nome = "fanuc",
    .descricao = "Fanuc, Haas e os que os seguem (.nc)",
    .extensao = ".nc",
    .comentario = EstiloComentario::parenteses,
    .texto_comentario = TextoComentario::restrito,
    .enquadramento = true,
    .ponto_decimal = true,
    .rapido = "G00",
    .rapido_retracao = "G00",
    .corte = "G01",
    .arco_horario = "G02",
    .arco_anti_horario = "G03",
    .x = "X",
    .y = "Y",
    .z = "Z",
    .i = "I",
    .j = "J",
    .s = "S",
    .f = "F",
    .p = "P",
    .t = "T",
    .h = "H",
    .d = "D",
    .compensacao_esquerda = "G41",
    .compensacao_direita = "G42",
    .compensacao_desliga = "G40",
    .seguro = "G21 G90 G17 G94 G40 G80",
    .troca_ferramenta = "M06",
    .compensacao_comprimento = "G43",
    .liga_fuso = "M03",
    .desliga_fuso = "M05",
    .fim_programa = "M30",
    .pausa = "G04",
    .pausa_por_segundo = 1000,
    .registro_compensacao = rotulo::compensacao_raio,
    .registro_desgaste = rotulo::compensacao_desgaste_raio,
    .preambulo = preambulo_linuxcnc,
    .final = final_sem_escala,
    .subprograma = Dialeto::Subprograma::apos_o_fim,
    .variaveis = true,
    .variavel_diametro = "#100",
    .variavel_desbastes = "#101",
};

// Plain language: the words are the writer's own; the table gives its
// name, its comments, the M codes and the rules of its program's name.
inline constexpr Dialeto heidenhain{
    .nome = "heidenhain",
    .descricao = "Heidenhain TNC, texto claro (.h)",
    .extensao = ".h",
    // FMAX is a straight line.
    .rapido_reto = true,
    .liga_fuso = "M3",
    .desliga_fuso = "M5",
    .fim_programa = "M30",
    .registro_compensacao = rotulo::compensacao_raio_tabela,
    .registro_desgaste = rotulo::compensacao_desgaste_dr,
    .rotulo_arcos = rotulo::arcos_cp,
    .subprograma = Dialeto::Subprograma::apos_o_fim,
    // Q1600 on: the range the control leaves free for global use.
    .variaveis = true,
    .variavel_diametro = "Q1600",
    .variavel_desbastes = "Q1601",
    .linguagem = Linguagem::texto_claro,
    // 15 turns, the most one CP block takes.
    .graus_por_arco = 5400,
    .nome_programa = {.maximo = 24, .hifen = true, .no_programa = true},
};

// Sinumerik: G710 is metric for lengths and feeds alike (G71 would leave
// the feeds in the machine's unit); the dwell's F is in seconds; D1 is the
// first cutting edge of the tool called.
inline constexpr LinhaBloco preambulo_siemens[] = {
    {Bloco::seguro, 2},     {Bloco::ferramenta_e_gume, 1}, {Bloco::troca, 1},
    {Bloco::altura_aproximacao, 1}, {Bloco::origem, 1},    {Bloco::rotacao_e_fuso, 1},
    {Bloco::pausa, 1},      {Bloco::avanco, 1},
};

inline constexpr Dialeto siemens{
    .nome = "siemens",
    .descricao = "Siemens Sinumerik 828D e 840D (.mpf)",
    .extensao = ".mpf",
    .rapido = "G0",
    .rapido_retracao = "G0",
    .corte = "G1",
    .arco_horario = "G2",
    .arco_anti_horario = "G3",
    .x = "X",
    .y = "Y",
    .z = "Z",
    .i = "I",
    .j = "J",
    .s = "S",
    .f = "F",
    .p = "F",
    .t = "T",
    .d = "D",
    .compensacao_esquerda = "G41",
    .compensacao_direita = "G42",
    .compensacao_desliga = "G40",
    .seguro = "G17 G90 G710 G94 G40",
    .troca_ferramenta = "M6",
    .liga_fuso = "M3",
    .desliga_fuso = "M5",
    .fim_programa = "M30",
    .pausa = "G4",
    .registro_compensacao = rotulo::compensacao_raio_tabela,
    .registro_desgaste = rotulo::compensacao_desgaste_siemens,
    .preambulo = preambulo_siemens,
    .final = final_sem_escala,
    .subprograma = Dialeto::Subprograma::trecho_repetido,
    // R0 to R99 are the user's; the standard cycles take theirs from R100 on.
    .variaveis = true,
    .variavel_diametro = "R90",
    .variavel_desbastes = "R91",
    .abre_expressao = "=",
    .fecha_expressao = "",
    .atribuicao = "=",
    // TURN= takes up to 999 more turns: a pass's helix is one block.
    .graus_por_arco = 360.0 * 999,
    .voltas = "TURN=",
    .avanco_no_centro = "CFTCP",
    .corretor_fixo = 1,
    // Letters, digits and "_": a hyphen is not a program name's.
    .nome_programa = {.maximo = 24},
};

inline constexpr const Dialeto* dialetos[] = {&padrao, &linuxcnc, &grbl, &fanuc, &heidenhain, &siemens};

// The compensation's side, 41 (the cutter left of its travel) or 42, as the
// dialect writes it: its G word, or RL and RR in plain language.
constexpr std::string_view palavra_lado(const Dialeto& d, int lado) {
    if (d.linguagem == Linguagem::texto_claro) return lado == 41 ? "RL" : "RR";
    return lado == 41 ? d.compensacao_esquerda : d.compensacao_direita;
}

// The dialect `--comando` names, in any letter case; null when none has that name.
const Dialeto* dialeto_por_nome(std::string_view nome);

// A comment's text as the dialect may hold it (see TextoComentario).
std::string texto_no_dialeto(std::string_view texto, TextoComentario regra);

// One character as the most restricted dialect holds it: in upper case, or
// 0 when it takes no such character. texto_no_dialeto also leaves one blank
// of two in a row.
constexpr char caractere_restrito(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const bool permitido = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '.' || c == ',' ||
                           c == '-' || c == '+' || c == ':' || c == '/' || c == '=' || c == '*';
    return permitido ? c : '\0';
}

// The file written when no name is given: this stem and the dialect's extension.
inline constexpr std::string_view nome_arquivo_paralela = "ROSCA-HELICOIDAL_PARALELA";
inline constexpr std::string_view nome_arquivo_conica = "ROSCA-HELICOIDAL_CONICA";

}  // namespace vocabulario
