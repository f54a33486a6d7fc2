#pragma once

#include <string>
#include <string_view>
#include <vector>

// The hole centres of `--furos`: a text file, one centre a line, "X Y" in
// mm, point or comma decimal, blanks or tabs between; "#" or ";" starts a
// comment; empty lines skipped; CR LF as LF.
struct Furo {
    double x = 0, y = 0;
    std::size_t linha = 0;  // of the file, from 1
};

inline constexpr std::size_t max_furos = 10000;

// Reads the file `caminho`; false with one line in `erro` (Portuguese, naming
// the file and, for a bad line, its number) when it cannot be used.
bool ler_furos(const std::string& caminho, std::vector<Furo>& furos, std::string& erro);

// The same from the file's text.
bool interpretar_furos(std::string_view texto, std::string_view nome, std::vector<Furo>& furos, std::string& erro);

// Two centres nearer each other than `distancia`, the first such pair in
// the file's order (`a` before `b`); false when there is none.
bool furos_proximos(const std::vector<Furo>& furos, double distancia, std::size_t& a, std::size_t& b);
