#include "medidas/brocas.hpp"

#include <algorithm>
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
// 4 1/2 inches: past the 4 13/64 drill of 4 NPT and the 4-inch Unified sizes.
constexpr std::int64_t maior_fracao = 4 * 64 + 32;
constexpr std::int64_t por_um = 10000;
constexpr std::int64_t por_upol = 254;

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

std::int64_t distancia(std::int64_t a, std::int64_t b) { return a > b ? a - b : b - a; }

// The metric drill step at a size, and the first drill of the series at or
// above `um` (the series' own drills never fall between two steps).
std::int64_t passo_metrico(std::int64_t um) { return um < limite_fino_um ? passo_fino_um : passo_um; }
std::int64_t primeira_metrica(std::int64_t um) {
    if (um <= passo_fino_um) return passo_fino_um;
    const std::int64_t passo = um <= limite_fino_um ? passo_fino_um : passo_um;
    return (um + passo - 1) / passo * passo;
}

// Keeps the nearer to the doubled middle; between two as near, the smaller.
void melhor(std::optional<Broca>& atual, const Broca& candidata, std::int64_t meio_dobro) {
    if (!atual) {
        atual = candidata;
        return;
    }
    const std::int64_t d = distancia(2 * tamanho_exato(candidata), meio_dobro);
    const std::int64_t da_atual = distancia(2 * tamanho_exato(*atual), meio_dobro);
    if (d < da_atual || (d == da_atual && tamanho_exato(candidata) < tamanho_exato(*atual))) atual = candidata;
}

}  // namespace

// Every inch drill, fractional first: where a letter and a fraction are one
// size (E and 1/4), the fraction is the name a machinist reaches for.
const std::vector<Broca>& brocas_em_polegada() {
    static const std::vector<Broca> todas = [] {
        std::vector<Broca> v;
        for (std::int64_t n = 1; n <= maior_fracao; ++n)
            v.push_back(polegada(texto_polegadas(n * sexagesimo_quarto_upol), n * sexagesimo_quarto_upol));
        for (std::size_t i = 0; i < numeros.size(); ++i)
            v.push_back(polegada(juntar({"#", std::to_string(i + 1)}), numeros[i] * 100LL));
        for (std::size_t i = 0; i < letras.size(); ++i)
            v.push_back(polegada(std::string(1, static_cast<char>('A' + i)), letras[i] * 100LL));
        return v;
    }();
    return todas;
}

std::int64_t tamanho_exato(const Broca& b) { return b.upol != 0 ? b.upol * por_upol : b.milesimos_mm * por_um; }

std::optional<Broca> broca_na_faixa(bool polegada, std::int64_t minimo, std::int64_t maximo) {
    std::optional<Broca> escolhida;
    const std::int64_t meio_dobro = minimo + maximo;
    if (polegada) {
        for (const auto& b : brocas_em_polegada())
            if (tamanho_exato(b) >= minimo && tamanho_exato(b) <= maximo) melhor(escolhida, b, meio_dobro);
        return escolhida;
    }
    // The drills inside are few: from the first at or above the band's bottom.
    for (std::int64_t um = primeira_metrica((minimo + por_um - 1) / por_um);
         um <= maior_broca_um && um * por_um <= maximo; um += passo_metrico(um))
        melhor(escolhida, metrica(um), meio_dobro);
    return escolhida;
}

std::optional<Broca> broca_abaixo(bool polegada, std::int64_t limite) {
    std::optional<Broca> maior;
    if (polegada) {
        for (const auto& b : brocas_em_polegada())
            if (tamanho_exato(b) < limite && (!maior || b.upol > maior->upol)) maior = b;
        return maior;
    }
    std::int64_t um = std::min(maior_broca_um, (limite - 1) / por_um);
    if (um < passo_fino_um) return std::nullopt;
    um = um / passo_metrico(um) * passo_metrico(um);
    return metrica(um);
}

Broca broca_metrica_ate(std::int64_t maximo_um) {
    const std::int64_t passo = maximo_um < limite_fino_um ? passo_fino_um : passo_um;
    const std::int64_t um = maximo_um / passo * passo;
    return metrica(um < passo_fino_um ? passo_fino_um : (um > maior_broca_um ? maior_broca_um : um));
}

Broca broca_polegada_ate(std::int64_t maximo_upol) {
    Broca melhor;
    for (const auto& b : brocas_em_polegada())
        if (b.upol <= maximo_upol && b.upol > melhor.upol) melhor = b;
    return melhor;
}
