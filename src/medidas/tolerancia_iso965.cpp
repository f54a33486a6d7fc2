#include "medidas/tolerancia_iso965.hpp"

#include <array>
#include <cmath>

#include "nucleo/juntar.hpp"

namespace {

// The R40 series of preferred numbers as rounded by ISO 3, one decade in
// hundreds. ISO 965-1 rounds every tolerance to it, and its grades are whole
// steps of it: a grade is 4 steps (x 1.25) from the next, and the nut's pitch
// diameter tolerance is 5 steps (x 1.32) above the screw's.
constexpr std::array<int, 40> r40{100, 106, 112, 118, 125, 132, 140, 150, 160, 170, 180, 190, 200, 212,
                                  224, 236, 250, 265, 280, 300, 315, 335, 355, 375, 400, 425, 450, 475,
                                  500, 530, 560, 600, 630, 670, 710, 750, 800, 850, 900, 950};
constexpr int passos_por_grau = 4;
constexpr int passos_furo_flanco = 5;

// Step i counts from 10 um; the value in tenths of a micrometre, exact.
std::int64_t decimos_r40(int i) {
    std::int64_t v = r40[static_cast<std::size_t>(i % 40)];
    for (int d = 0; d < i / 40; ++d) v *= 10;
    return v;
}

// The step as the tables print it, in whole micrometres: below 100 the
// series' halves (42.5, 47.5) go to the even neighbour, as ISO 965-1 has them.
std::int64_t micrometros_r40(int i) {
    const std::int64_t d = decimos_r40(i);
    const std::int64_t inteiro = d / 10, resto = d % 10;
    if (resto > 5 || (resto == 5 && inteiro % 2 != 0)) return inteiro + 1;
    return inteiro;
}

// The step of a value the tables print.
int passo_de(std::int64_t um) {
    for (int i = 0; i < 200; ++i)
        if (micrometros_r40(i) == um && decimos_r40(i) >= 100) return i;
    return 0;
}

// The nearest step to a value worked out by a formula.
int passo_mais_perto(long double um) {
    int i = 0;
    while (static_cast<long double>(decimos_r40(i + 1)) < 10 * um) ++i;
    const long double abaixo = static_cast<long double>(decimos_r40(i)) / 10;
    const long double acima = static_cast<long double>(decimos_r40(i + 1)) / 10;
    return um - abaixo < acima - um ? i : i + 1;
}

// ISO 965-1 by pitch: fundamental deviations G (= -g), e, f (0 where the
// position is not given) and the grade 6 crest tolerances Td (screw major) and
// TD1 (nut minor), micrometres, as the standard tabulates them. The
// deviations follow 15 + 11P, 50 + 11P and 30 + 11P only roughly, so the
// table is kept, not the formulas.
struct LinhaPasso {
    std::int32_t passo_um;
    std::int16_t g, e, f;
    std::int16_t td6, td1_6;
};

constexpr LinhaPasso passos[] = {
    {200, 17, 0, 0, 56, 60},        {250, 18, 0, 0, 67, 71},        {300, 18, 0, 0, 75, 85},
    {350, 19, 0, 34, 85, 100},      {400, 19, 0, 34, 95, 112},      {450, 20, 0, 35, 100, 125},
    {500, 20, 50, 36, 106, 140},    {600, 21, 53, 36, 125, 160},    {700, 22, 56, 38, 140, 180},
    {750, 22, 56, 38, 140, 190},    {800, 24, 60, 38, 150, 200},    {1000, 26, 60, 40, 180, 236},
    {1250, 28, 63, 42, 212, 265},   {1500, 32, 67, 45, 236, 300},   {1750, 34, 71, 48, 265, 335},
    {2000, 38, 71, 52, 280, 375},   {2500, 42, 80, 58, 335, 450},   {3000, 48, 85, 63, 375, 500},
    {3500, 53, 90, 70, 425, 560},   {4000, 60, 95, 75, 475, 600},   {4500, 63, 100, 80, 500, 670},
    {5000, 71, 106, 85, 530, 710},  {5500, 75, 112, 90, 560, 750},  {6000, 80, 118, 95, 600, 800},
    {8000, 100, 140, 118, 710, 1000},
};

// Diameter bands of ISO 965-1, in micrometres; the screw's pitch diameter
// tolerance takes the geometric mean of the band the size falls in.
constexpr std::array<std::int64_t, 10> faixas_diametro{990, 1400, 2800, 5600, 11200, 22400, 45000, 90000, 180000,
                                                       355000};

// The two entries where the published table parts from 90 P^0.4 d^0.1
// rounded to the series; the table holds.
struct Excecao {
    std::int64_t ate_um, passo_um, td2_6;
};
constexpr Excecao excecoes[] = {{5600, 500, 75}, {90000, 5000, 250}};

int passo_td2_6(std::int64_t diametro_um, std::int64_t passo_um) {
    std::size_t faixa = 1;
    while (faixas_diametro[faixa] < diametro_um) ++faixa;
    for (const auto& e : excecoes)
        if (e.ate_um == faixas_diametro[faixa] && e.passo_um == passo_um) return passo_de(e.td2_6);
    const long double d = std::sqrt(static_cast<long double>(faixas_diametro[faixa - 1]) *
                                    static_cast<long double>(faixas_diametro[faixa])) / 1000;
    const long double p = static_cast<long double>(passo_um) / 1000;
    return passo_mais_perto(90 * std::pow(p, 0.4L) * std::pow(d, 0.1L));
}

Faixa de_cima(std::int64_t maximo, std::int64_t tolerancia) { return {maximo - tolerancia, maximo, true, true}; }
Faixa de_baixo(std::int64_t minimo, std::int64_t tolerancia) { return {minimo, minimo + tolerancia, true, true}; }

}  // namespace

bool faixas_iso965(std::int64_t diametro_um, std::int64_t passo_um, const Perfil& perfil,
                   const ClasseIso965& classe, Faixas& faixas, std::string& erro) {
    const LinhaPasso* linha = nullptr;
    for (const auto& l : passos)
        if (l.passo_um == passo_um) linha = &l;
    if (linha == nullptr) {
        erro = "passo sem tolerancia na ISO 965-1";
        return false;
    }
    if (diametro_um < 1000 || diametro_um > faixas_diametro.back()) {
        erro = "diametro sem tolerancia na ISO 965-1 (de 1 a 355 mm)";
        return false;
    }
    const int grau_flanco = passos_por_grau * (classe.grau_flanco - 6);
    const int grau_crista = passos_por_grau * (classe.grau_crista - 6);
    const int td2_6 = passo_td2_6(diametro_um, passo_um);
    switch (classe.posicao) {
        case 'G':
        case 'H': {
            const std::int64_t ei = classe.posicao == 'G' ? linha->g : 0;
            faixas.maior = {perfil.maior + ei, 0, true, false};
            faixas.flanco = de_baixo(perfil.flanco + ei, micrometros_r40(td2_6 + passos_furo_flanco + grau_flanco));
            faixas.menor = de_baixo(perfil.menor_furo + ei, micrometros_r40(passo_de(linha->td1_6) + grau_crista));
            return true;
        }
        default: {
            const std::int64_t es = classe.posicao == 'e'   ? -linha->e
                                    : classe.posicao == 'f' ? -linha->f
                                    : classe.posicao == 'g' ? -linha->g
                                                            : 0;
            if (es == 0 && classe.posicao != 'h') {
                erro = juntar({"a ISO 965-1 nao da a posicao ", std::string_view(&classe.posicao, 1),
                               " para este passo"});
                return false;
            }
            faixas.maior = de_cima(perfil.maior + es, micrometros_r40(passo_de(linha->td6) + grau_crista));
            faixas.flanco = de_cima(perfil.flanco + es, micrometros_r40(td2_6 + grau_flanco));
            faixas.menor = {0, perfil.menor_parafuso + es, false, true};
            return true;
        }
    }
}
