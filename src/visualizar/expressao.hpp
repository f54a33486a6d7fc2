#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// The variables of a program the viewer runs (execucao.hpp), by their name
// as the file spells it, upper case: "#100", "#<_DIAMETRO_FINAL>", "Q1600",
// "R90". LinuxCNC's call arguments are #1 to #30.
using Variaveis = std::map<std::string, double, std::less<>>;

// Evaluates `texto` whole: numbers, + - * /, unary signs, [ ] and ( ),
// the variables above, and one comparison (EQ NE GT GE LT LE, == <> > <
// >= <=, true 1 and false 0). False, with `erro` saying why in the
// programs' Portuguese, on anything else: a function, an unset variable, a
// division by zero, a value that is not finite.
// `lidas`, when given, gets the name of each variable the text reads.
bool avaliar(std::string_view texto, const Variaveis& variaveis, double& valor, std::string& erro,
             std::vector<std::string>* lidas = nullptr);

// The name of the variable `texto` starts with, upper case, and its length;
// 0 when it starts with none.
std::size_t nome_variavel(std::string_view texto, std::string& nome);
