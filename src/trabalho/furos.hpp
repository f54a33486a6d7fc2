#pragma once

#include <string>
#include <string_view>
#include <vector>

// The hole centres of `--furos`: a text file, one centre a line, "X Y" in
// mm, point or comma decimal, blanks or tabs between; "#" or ";" starts a
// comment; empty lines skipped; CR LF as LF.
struct Furo {
    double x = 0, y = 0;
};

inline constexpr std::size_t max_furos = 10000;

// Reads the file `caminho`; false with one line in `erro` (Portuguese, naming
// the file and, for a bad line, its number) when it cannot be used.
bool ler_furos(const std::string& caminho, std::vector<Furo>& furos, std::string& erro);

// The same from the file's text.
bool interpretar_furos(std::string_view texto, std::string_view nome, std::vector<Furo>& furos, std::string& erro);
