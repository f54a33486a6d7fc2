#include "medidas/decimal.hpp"

#include "nucleo/juntar.hpp"

namespace {

bool algarismo(char c) { return c >= '0' && c <= '9'; }

std::int64_t potencia_de_dez(int casas) {
    std::int64_t p = 1;
    for (int i = 0; i < casas; ++i) p *= 10;
    return p;
}

}  // namespace

bool ler_decimal(std::string_view texto, std::size_t& pos, int casas, std::int64_t& valor,
                 std::string& erro) {
    if (pos >= texto.size() || !algarismo(texto[pos])) {
        erro = "falta um numero";
        return false;
    }
    std::int64_t inteiro = 0;
    int significativos = 0;
    for (; pos < texto.size() && algarismo(texto[pos]); ++pos) {
        if (significativos == 0 && texto[pos] == '0') continue;
        if (++significativos > max_algarismos) {
            erro = "numero grande demais";
            return false;
        }
        inteiro = inteiro * 10 + (texto[pos] - '0');
    }
    std::int64_t fracao = 0;
    int lidas = 0;
    if (casas > 0 && pos < texto.size() && (texto[pos] == '.' || texto[pos] == ',')) {
        ++pos;
        if (pos >= texto.size() || !algarismo(texto[pos])) {
            erro = "falta algarismo apos o ponto";
            return false;
        }
        for (; pos < texto.size() && algarismo(texto[pos]); ++pos) {
            if (lidas < casas) {
                fracao = fracao * 10 + (texto[pos] - '0');
                ++lidas;
            } else if (texto[pos] != '0') {
                erro = juntar({"casas decimais demais (no maximo ", std::to_string(casas), ")"});
                return false;
            }
        }
    }
    valor = inteiro * potencia_de_dez(casas) + fracao * potencia_de_dez(casas - lidas);
    return true;
}

std::string texto_fixo(std::int64_t valor, int casas) {
    const bool negativo = valor < 0;
    // Magnitudes stay far below the int64 limit, so the negation is safe.
    const std::int64_t magnitude = negativo ? -valor : valor;
    const std::int64_t escala = potencia_de_dez(casas);
    std::string texto = negativo ? "-" : "";
    texto += std::to_string(magnitude / escala);
    if (casas > 0) {
        const std::string fracao = std::to_string(magnitude % escala);
        texto += '.';
        texto.append(static_cast<std::size_t>(casas) - fracao.size(), '0');
        texto += fracao;
    }
    return texto;
}

std::string texto_enxuto(std::int64_t valor, int casas) {
    std::string texto = texto_fixo(valor, casas);
    if (casas == 0) return texto;
    while (texto.back() == '0') texto.pop_back();
    if (texto.back() == '.') texto.pop_back();
    return texto;
}

std::int64_t arredondar(std::int64_t numerador, std::int64_t denominador) {
    if (numerador < 0) return -arredondar(-numerador, denominador);
    // With an odd denominator no quotient ends in exactly one half.
    return (numerador + denominador / 2) / denominador;
}
