#include "emissao/linearizacao.hpp"

#include <cmath>

#include "percurso/ponto_helice.hpp"
#include "vocabulario/regras.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;
double rad(double graus) { return graus * pi / 180; }

Alvo no_ponto(double x, double y, double profundidade) {
    Alvo a;
    a.tem_xy = a.tem_z = true;
    a.xy = {x, y};
    a.profundidade = profundidade;
    return a;
}

// A part of the helix between any two of its points: chords to the whole
// degrees strictly between its ends, then to its end; Z along the helix.
void linearizar_trecho(const TrechoHelice& t, Verbos& verbos) {
    const Helice& h = t.helice;
    const int s = h.mao_direita ? -1 : 1;
    const double passo = t.t_fim > t.t_ini ? 1 : -1;
    auto ponto = [&](double a) {
        const double prof = t.prof_ini + (a - t.t_ini) / (t.t_fim - t.t_ini) * (t.prof_fim - t.prof_ini);
        const double r = t.raio_programado(prof);
        verbos.reta(no_ponto(r * std::cos(rad(a)), r * (s * std::sin(rad(a))), prof), Compensacao::nenhuma);
    };
    // The first whole degree past the start, then on by one.
    double a = passo > 0 ? std::floor(t.t_ini) + 1 : std::ceil(t.t_ini) - 1;
    const double graus = std::fabs(t.t_fim - t.t_ini);
    for (int k = 0; k < 1'000'000 && (a - t.t_ini) * passo < graus - 1e-9; ++k, a += passo) ponto(a);
    ponto(t.t_fim);
}

}  // namespace

void linearizar_arco(const Segmento& s, bool arcos, Verbos& verbos) {
    const Arco& a = s.arco;
    const int passos = arcos ? 1 : static_cast<int>(std::lround(std::fabs(a.varredura)));
    for (int k = 1; k <= passos; ++k) {
        const double angulo = rad(a.angulo_de + a.varredura * k / passos);
        const double prof = a.prof_de + (a.prof_ate - a.prof_de) * k / passos;
        const Ponto q = k == passos ? s.alvo.xy
                                    : Ponto{a.centro.x + a.raio * std::cos(angulo), a.centro.y + a.raio * std::sin(angulo)};
        if (arcos)
            verbos.arco(no_ponto(q.x, q.y, prof), a.centro, a.varredura / passos);
        else
            verbos.reta(no_ponto(q.x, q.y, prof), Compensacao::nenhuma);
    }
}

void linearizar_helice(const TrechoHelice& t, Verbos& verbos, double graus_por_arco) {
    const Helice& h = t.helice;
    if (t.arcos) {
        const int s = h.mao_direita ? -1 : 1;
        const int giro = vocabulario::giro(h.mao_direita, t.subindo);
        const double varredura = t.t_fim - t.t_ini;
        // A helix of more turns than any file could hold is written until the
        // file stops taking them; the count only must stay a number.
        const double quantas = std::ceil(std::fabs(varredura) / graus_por_arco - 1e-9);
        const auto pecas = quantas < 0x1p62 ? static_cast<std::int64_t>(quantas) : std::int64_t{1} << 62;
        const double rp = t.raio_programado(0);
        const double por_peca = giro * std::fabs(varredura) / static_cast<double>(pecas);
        for (std::int64_t k = 1; k <= pecas; ++k) {
            const bool ultima = k == pecas;
            const double a = ultima ? t.t_fim : t.t_ini + varredura * static_cast<double>(k) / static_cast<double>(pecas);
            const double prof = ultima ? t.prof_fim
                                       : t.prof_ini + (t.prof_fim - t.prof_ini) * static_cast<double>(k) /
                                                          static_cast<double>(pecas);
            verbos.arco(no_ponto(rp * std::cos(rad(a)), rp * (s * std::sin(rad(a))), prof), {0, 0}, por_peca);
        }
        return;
    }
    if (t.generico) {
        linearizar_trecho(t, verbos);
        return;
    }
    // Face down, or from the last chord back up to the face; the way in
    // from the thread length up already ends on the last chord's point.
    const std::int32_t primeiro = angulo_primeiro(h);
    const std::int64_t total = t.indice_ultimo + 1;
    for (std::int64_t n = t.subindo ? 1 : 0; n < total; ++n) {
        const std::int64_t i = t.subindo ? t.indice_ultimo - n : n;
        if (n > 0 && n % 360 == 0) verbos.volta(n / 360 + 1);
        const int k = static_cast<int>(i % 360);
        const float prof = i == t.indice_ultimo ? t.prof_ultimo : profundidade_corda(h, i / 360, k + 1);
        const PontoHelice p = ponto_helice(t.raio_programado(prof), primeiro + k, h.mao_direita);
        verbos.reta(no_ponto(p.x, p.y, prof), Compensacao::nenhuma);
    }
    if (t.subindo) {
        // Back to the face, where the helix meets it.
        const PontoHelice p = ponto_helice(t.raio_programado(0), h.angulo_inicial, h.mao_direita);
        verbos.reta(no_ponto(p.x, p.y, 0), Compensacao::nenhuma);
    }
}

VoltasArco voltas_do_arco(Ponto de, Ponto ate, Ponto centro, double varredura) {
    VoltasArco r;
    if (de.x == ate.x && de.y == ate.y) {
        r.angulo = 360;
    } else {
        const double a_de = std::atan2(de.y - centro.y, de.x - centro.x) * 180 / pi;
        const double a_ate = std::atan2(ate.y - centro.y, ate.x - centro.x) * 180 / pi;
        r.angulo = std::fmod((varredura < 0 ? a_de - a_ate : a_ate - a_de) + 720, 360);
        if (r.angulo <= 0) r.angulo += 360;
    }
    r.voltas = std::llround((std::fabs(varredura) - r.angulo) / 360);
    if (r.voltas < 0) r.voltas = -1;
    return r;
}
