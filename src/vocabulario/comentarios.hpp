#pragma once

#include <cstdint>
#include <string_view>

// The comment lines of the tool-path file read back, with the pieces they
// are written with (cabecalho.hpp): the job summary at the top of the file,
// the two comment lines before every turn, and the extents comments at the
// end of an internal thread's file.

// A number as printed, with the decimals it was printed with: its tolerance.
struct Valor {
    double v = 0;
    int decimais = -1;  // -1: absent
    bool presente() const { return decimais >= 0; }
};

enum class TipoComentario : std::uint8_t {
    outro,
    // header
    diametro_final,        // ;Df-Diametro final da rosca: %.2f [mm]
    diametro_acabamento,   // ;Da-Diametro acabamento da rosca: %.2f [mm] | DESABILITADO
    diametro_inicial,      // ;Di-diametro inicial da rosca: ...
    passo_lateral,         // ;pl-Passo Lateral da rosca: ...
    passo_acabamento,      // ;pl-Passo Lateral de acabamento da rosca: ... (may be empty)
    quantidade_passes,     // ;np-Quantidade de Passes Laterais da rosca: %d[ - PASSE UNICO]
    item_lista,            // ;passo lateral: %d com diametro: %.3f [mm]
    comprimento,           // ;L-Comprimento da rosca: %.2f [mm]
    passo_rosca,           // ;p-Passo Vertical da rosca (1 fio): %.2f [mm]
    fios,                  // ;n-Fios total da rosca: %.2f fios
    angulo_inicial,        // ;Angulo Inicial de Rosca: %.1f [graus] -> ...
    angulo_final,          // ;Angulo Final de Rosca: %.1f [graus]
    tipo_sentido,          // ;Rosca [INTERNA] [Direita >> sentido Horario]
    ferramenta,            // ;Df-ferramenta: %.2f mm
    precisao,              // ;Precisao de Passo: %.3f mm
    tempo,                 // ;Tempo de usinagem: %.1f minutos
    rotacao,               // ;Rotacao S: %.0f rpm
    avanco,                // ;Avanco Feed-Rate (fn): %.1f [mm / min]
    avanco_rotacao,        // ;Avanco por rotacao (Fz): %.3f [mm / rotacao]
    // pass blocks
    volta,                 // ;passo lateral: %d - fio rosca N: %d[ - entrada %d de %d]
    diametro_volta,        // ;diametro: %.3f [mm] (%.2f for an external thread)
    // extents
    extensao_x,            // ;X MAX = %.2f --- X MIN = %.2f
    extensao_y,            // ;Y MAX = %.2f --- Y MIN = %.2f
    diametro_usinado,      // ;DIAMETRO USINADO MAXIMO = %.3f [mm]
    // ways of cutting, after the summary
    arcos,                 // ;Percurso em arcos helicoidais (G2/G3)
    fresamento,            // ;Fresamento: concordante|discordante[ - passes de baixo para cima]
    tangencial,            // ;Entrada e saida tangenciais
    compensacao,           // ;Compensacao de raio: D%d - ...
    repeticoes,            // ;Repeticoes do ultimo passe: %d
    avanco_aresta,         // ;Avanco na aresta: ...
    conicidade,            // ;Conicidade: 1:%d no diametro - ...
    z_minimo,              // ;Z minimo do percurso: %.3f [mm]
    perfis,                // ;Fresa de perfis: %d perfis um passo entre si - %d volta(s) por passe
    entradas,              // ;Entradas da rosca: %d - avanco por volta %.3f [mm]
    area_igual,            // ;Passes de area igual no perfil em V: ...
    tempo_percurso,        // ;Tempo de corte pelo percurso: %.1f minutos
    furos,                 // ;Furos: %d - %.1f minutos cada
    furo,                  // ;Furo %d: X%.3f Y%.3f
    medidas,               // ;Medidas do percurso: Df %.3f Di %.3f ferramenta %.3f [mm]
};

struct Comentario {
    TipoComentario tipo = TipoComentario::outro;
    Valor a, b, c;               // the value(s); a is the max for the extents
    bool desabilitado = false;   // "DESABILITADO" in place of the value
    bool passe_unico = false;    // " - PASSE UNICO"
    std::int64_t i = 0, j = 0;   // whole numbers: pass, turn, list index, pass count
    // A turn comment of a thread of several starts: its start (from 1) and
    // how many there are; 0 where the comment does not say.
    std::int64_t entrada = 0, entradas = 0;
    char tipo_rosca = 0;         // 'I' or 'E'
    char sentido = 0;            // 'D' right hand, 'E' left hand; fresamento: 'C' climb, 'D' conventional
    bool subindo = false;        // fresamento: the passes run bottom-up; compensacao: only the wear
};

// `texto` is the comment without its ";". Labels are compared ignoring case.
// A label with a value that does not read is `outro`.
Comentario interpretar_comentario(std::string_view texto);

// Reads a number printed with "%.Nf" at the start of `texto` (after blanks);
// "inf" and "nan" too. Returns the bytes used, 0 when there is none.
std::size_t ler_valor(std::string_view texto, Valor& valor);
