#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "medidas/decimal.hpp"
#include "nucleo/juntar.hpp"

// The line shapes of the --medidas report, shared by its sections.
namespace linhas {

inline constexpr int casas = 3;
inline constexpr std::size_t coluna_valor = 36;  // figures right-aligned in the next 9
inline constexpr std::size_t largura_valor = 9;
inline constexpr std::size_t coluna_resposta = 34;  // answers, then their notes after 10 more
inline constexpr std::size_t largura_resposta = 10;

inline std::string mm(std::int64_t milesimos) { return texto_fixo(milesimos, casas); }

// An answer as the machinist types it: no trailing zeros, a point as the
// dialogue prints its own numbers.
inline std::string digitar(std::int64_t milesimos) { return texto_enxuto(milesimos, casas); }

inline std::string pontilhado(std::string_view rotulo, std::size_t coluna) {
    std::string linha = juntar({"  ", rotulo, " "});
    if (linha.size() < coluna) linha.append(coluna - linha.size(), '.');
    linha += ' ';
    return linha;
}

// `texto` right-aligned in `largura` columns.
inline std::string a_direita(std::string_view texto, std::size_t largura) {
    std::string campo;
    if (texto.size() < largura) campo.append(largura - texto.size(), ' ');
    campo += texto;
    return campo;
}

inline void medida(std::string& t, std::string_view rotulo, std::int64_t milesimos) {
    t += juntar({pontilhado(rotulo, coluna_valor), a_direita(mm(milesimos), largura_valor), "\n"});
}

inline void resposta(std::string& t, std::string_view pergunta, std::string_view valor, std::string_view nota) {
    t += pontilhado(pergunta, coluna_resposta);
    t += valor;
    if (!nota.empty()) {
        if (valor.size() < largura_resposta) t.append(largura_resposta - valor.size(), ' ');
        t += juntar({" ", nota});
    }
    t += '\n';
}

}  // namespace linhas
