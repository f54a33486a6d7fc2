#pragma once

#include <string>

#include "visualizar/modelo.hpp"

// The picture: one self-contained SVG 1.1 file with the top view, the side
// view and the table. Its size is bounded whatever the file's size.
inline constexpr std::size_t max_bytes_svg = 2 * 1024 * 1024;

// `nome` is the G-code file's name as the title shows it.
std::string desenhar_svg(const Modelo& modelo, const std::string& nome);
