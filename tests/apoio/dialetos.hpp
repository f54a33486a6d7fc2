#pragma once

#include <string>
#include <vector>

// Checkers of the rules each control documents for the programs it takes,
// written from the controls' manuals and independent of the generator:
// what a file would be refused or misread for. Each returns one text per
// fault found, with its line; none for a file the control takes.

// GRBL 1.1: lines ending in LF alone, comments in parentheses only, no "%", no O or N words, none of
// the real-time characters "!", "?", "~" anywhere, ASCII only, upper-case
// words GRBL knows, a dwell in seconds, no tool change.
std::vector<std::string> conferir_grbl(const std::string& arquivo);

// Fanuc-style controls: "%" first and last, "O" and four digits on the
// second line, comments only in parentheses and only of upper-case letters,
// digits, blanks and . , - + : / = *, a decimal point on every coordinate
// and feed, a dwell in milliseconds.
std::vector<std::string> conferir_fanuc(const std::string& arquivo);

// The file's moves, as a control reads them: each G0, G1 (or g00, g01, g0)
// line with its missing coordinates taken from the position before it.
struct MovimentoLido {
    bool rapido = false;
    double x = 0, y = 0, z = 0;
};
std::vector<MovimentoLido> movimentos_do_arquivo(const std::string& arquivo);

// LinuxCNC's interpreter (rs274, of the package linuxcnc-uspace) on a file:
// its exit status is 0 and `saida` holds its canonical commands; false with
// the reason in `saida` when it refused the file. `tabela`, when not empty,
// is the tool table's text.
bool rs274_disponivel();
bool rodar_rs274(const std::string& arquivo, const std::string& tabela, std::string& saida);

// The canonical moves (STRAIGHT_TRAVERSE, STRAIGHT_FEED) of rs274's output.
std::vector<MovimentoLido> movimentos_canonicos(const std::string& saida);
