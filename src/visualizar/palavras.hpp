#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "visualizar/numero.hpp"

// One line of G-code as words: the letter of each word and its number, and
// the comments, ";" to the end of the line and "( ... )" anywhere, several
// per line. Letters in either case. Only the words of the controls this
// project writes for are known; any other word, or a number that does not
// read, makes the line unreadable.

// The G codes known, one bit each.
enum CodigoG : std::uint32_t {
    g_rapido = 1u << 0,          // G0
    g_linear = 1u << 1,          // G1
    g_arco_horario = 1u << 2,    // G2
    g_arco_anti = 1u << 3,       // G3
    g_pausa = 1u << 4,           // G4, with P
    g_plano_xy = 1u << 5,        // G17
    g_milimetros = 1u << 6,      // G21
    g_sem_compensacao = 1u << 7, // G40
    g_compensacao = 1u << 8,     // G41, G42 (with D)
    g_comprimento = 1u << 9,     // G43 (with H)
    g_sem_comprimento = 1u << 10, // G49
    g_sem_escala = 1u << 11,     // G50
    g_escala = 1u << 12,         // G51: X and Y are factors, not a move
    g_sem_ciclo = 1u << 13,      // G80
    g_absoluto = 1u << 14,       // G90
    g_avanco_minuto = 1u << 15,  // G94
};
inline constexpr std::uint32_t codigos_movimento = g_rapido | g_linear | g_arco_horario | g_arco_anti;

// Bits of the letters other than G that a line gave.
constexpr std::uint32_t letra(char c) { return 1u << (c - 'a'); }

struct Palavras {
    static constexpr std::size_t max_comentarios = 8;

    bool legivel = true;
    bool marca = false;  // "%", alone on its line
    std::uint32_t letras = 0;
    std::uint32_t codigos_g = 0;
    int movimento = -1;  // 0 to 3 when the line gives G0 to G3
    int m = -1;
    double x = 0, y = 0, z = 0, i = 0, j = 0, s = 0, f = 0, p = 0;
    // The comments' texts, in order; past `max_comentarios` only counted.
    std::array<std::string_view, max_comentarios> comentarios;
    std::size_t quantidade_comentarios = 0;

    bool tem(char c) const { return (letras & letra(c)) != 0; }
    // Any word that says something to the control (not N or O).
    bool tem_palavras() const {
        return codigos_g != 0 || (letras & ~(letra('n') | letra('o'))) != 0;
    }
};

// Reads the line `texto` (without its line end) into `w`.
void ler_palavras(std::string_view texto, Palavras& w);
