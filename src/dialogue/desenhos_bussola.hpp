#pragma once

// Compasses printed with the start-angle question, one text per line, each
// beginning with its own line break. Both put 0 right of the centre mark; the
// right-hand one is the left-hand one upside down, so they share every line.

namespace desenho {

inline constexpr const char* bussola_90 = "\n          90          ";
inline constexpr const char* bussola_diagonal = "\n       *      *       ";
inline constexpr const char* bussola_135_45 = "\n    135         45    ";
inline constexpr const char* bussola_lado = "\n   *              *  ";
inline constexpr const char* bussola_eixo = "\n 180       o------ 0 ";
inline constexpr const char* bussola_225_315 = "\n    225         315   ";
inline constexpr const char* bussola_270 = "\n          270         ";

// Left hand: angles grow counter-clockwise, 90 at the top.
inline constexpr const char* const bussola_esquerda[] = {
    bussola_90,    bussola_diagonal, bussola_135_45,   bussola_lado, bussola_eixo,
    bussola_lado, bussola_225_315,  bussola_diagonal, bussola_270,
};

// Right hand: angles grow clockwise, 270 at the top.
inline constexpr const char* const bussola_direita[] = {
    bussola_270,  bussola_diagonal, bussola_225_315,  bussola_lado, bussola_eixo,
    bussola_lado, bussola_135_45,   bussola_diagonal, bussola_90,
};

}  // namespace desenho
