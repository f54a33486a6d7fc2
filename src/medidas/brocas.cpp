#include "medidas/brocas.hpp"

#include <array>
#include <vector>

#include "medidas/decimal.hpp"
#include "medidas/designacao.hpp"
#include "nucleo/juntar.hpp"

namespace {

constexpr std::int64_t passo_fino_um = 50;
constexpr std::int64_t passo_um = 100;
constexpr std::int64_t limite_fino_um = 3000;
constexpr std::int64_t maior_broca_um = 1000000;
constexpr std::int64_t sexagesimo_quarto_upol = 15625;
constexpr std::int64_t maior_fracao = 4 * 64;  // 4 inches

// Number drills #1 to #80 and letter drills A to Z, ten-thousandths of an inch.
constexpr std::array<std::int16_t, 80> numeros{
    2280, 2210, 2130, 2090, 2055, 2040, 2010, 1990, 1960, 1935, 1910, 1890, 1850, 1820, 1800, 1770,
    1730, 1695, 1660, 1610, 1590, 1570, 1540, 1520, 1495, 1470, 1440, 1405, 1360, 1285, 1200, 1160,
    1130, 1110, 1100, 1065, 1040, 1015, 995,  980,  960,  935,  890,  860,  820,  810,  785,  760,
    730,  700,  670,  635,  595,  550,  520,  465,  430,  420,  410,  400,  390,  380,  370,  360,
    350,  330,  320,  310,  292,  280,  260,  250,  240,  225,  210,  200,  180,  160,  145,  135};
constexpr std::array<std::int16_t, 26> letras{2340, 2380, 2420, 2460, 2500, 2570, 2610, 2660, 2720,
                                              2770, 2810, 2900, 2950, 3020, 3160, 3230, 3320, 3390,
                                              3480, 3580, 3680, 3770, 3860, 3970, 4040, 4130};

// Named as the drill index writes it: "8.5", "5.0", "2.45".
Broca metrica(std::int64_t um) {
    std::string nome = texto_enxuto(um, 3);
    if (nome.find('.') == std::string::npos) nome += ".0";
    return {nome, um, 0};
}

Broca polegada(std::string nome, std::int64_t upol) {
    // 25.4 mm to the inch: micro-inches times 0.0254 are thousandths of a mm.
    return {std::move(nome), arredondar(upol * 254, 10000), upol};
}

// Every inch drill, fractional first: where a letter and a fraction are one
// size (E and 1/4), the fraction is the name a machinist reaches for.
std::vector<Broca> brocas_polegada() {
    std::vector<Broca> todas;
    for (std::int64_t n = 1; n <= maior_fracao; ++n) todas.push_back(polegada(texto_polegadas(n * sexagesimo_quarto_upol), n * sexagesimo_quarto_upol));
    for (std::size_t i = 0; i < numeros.size(); ++i) todas.push_back(polegada(juntar({"#", std::to_string(i + 1)}), numeros[i] * 100LL));
    for (std::size_t i = 0; i < letras.size(); ++i) todas.push_back(polegada(std::string(1, static_cast<char>('A' + i)), letras[i] * 100LL));
    return todas;
}

std::int64_t distancia(std::int64_t a, std::int64_t b) { return a > b ? a - b : b - a; }

}  // namespace

Broca broca_metrica_perto(std::int64_t alvo_meio_um) {
    const std::int64_t passo = alvo_meio_um < 2 * limite_fino_um ? passo_fino_um : passo_um;
    // Nearest multiple of the step, halves down.
    const std::int64_t abaixo = alvo_meio_um / (2 * passo) * passo;
    const std::int64_t um = 2 * (abaixo + passo) - alvo_meio_um < alvo_meio_um - 2 * abaixo ? abaixo + passo : abaixo;
    return metrica(um < passo ? passo : um);
}

Broca broca_polegada_perto(std::int64_t alvo_meio_upol) {
    Broca melhor;
    std::int64_t menor = -1;
    for (auto& b : brocas_polegada()) {
        const std::int64_t d = distancia(2 * b.upol, alvo_meio_upol);
        if (menor < 0 || d < menor || (d == menor && b.upol < melhor.upol)) {
            menor = d;
            melhor = b;
        }
    }
    return melhor;
}

Broca broca_metrica_ate(std::int64_t maximo_um) {
    const std::int64_t passo = maximo_um < limite_fino_um ? passo_fino_um : passo_um;
    const std::int64_t um = maximo_um / passo * passo;
    return metrica(um < passo_fino_um ? passo_fino_um : (um > maior_broca_um ? maior_broca_um : um));
}

Broca broca_polegada_ate(std::int64_t maximo_upol) {
    Broca melhor;
    for (auto& b : brocas_polegada())
        if (b.upol <= maximo_upol && b.upol > melhor.upol) melhor = b;
    return melhor;
}
