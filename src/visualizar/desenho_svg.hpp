#pragma once

#include <cstddef>
#include <string>

#include "visualizar/analise.hpp"

// The picture: one self-contained SVG 1.1 file (no scripts, no external
// references) with the top view, the side view and the table. Its size is
// bounded whatever the file's size: long paths are drawn with fewer points,
// never fewer than one per ten degrees of a turn.
inline constexpr std::size_t max_bytes_svg = 2 * 1024 * 1024;

// Page width in SVG units (one unit is one pixel at the natural size).
inline constexpr double largura_pagina = 1000;

// Where a view puts the path: page = centro + mm * escala (Y and Z upward).
struct Vista {
    double centro_x = 0, centro_y = 0;
    double escala_x = 1, escala_y = 1;
    double pagina_x(double mm) const { return centro_x + mm * escala_x; }
    double pagina_y(double mm) const { return centro_y - mm * escala_y; }
};

Vista vista_de_cima(const Modelo& modelo);
Vista vista_lateral(const Modelo& modelo);

// `nome` is the G-code file's name as the title shows it.
std::string desenhar_svg(const Analise& analise, const std::string& nome);
