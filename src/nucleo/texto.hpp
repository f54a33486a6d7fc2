#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Texts laid out for a fixed-width place: the console's 80 columns, a line
// of the picture.

// Breaks `texto` into lines of at most `largura` columns, each after `recuo`
// blanks and ending with a line break; at blanks, or inside a word longer
// than a whole line.
std::string quebrar(const std::string& texto, std::size_t recuo, std::size_t largura = 79);

// The same lines, without the margin and the line breaks.
std::vector<std::string> linhas_quebradas(const std::string& texto, std::size_t largura);
