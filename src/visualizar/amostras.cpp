// The model's extents of the helices and the points it keeps for the picture.
#include <algorithm>
#include <cmath>

#include "visualizar/arco.hpp"
#include "visualizar/modelo.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/geometria.hpp"

namespace {

constexpr std::uint64_t passos_volta = vocabulario::passos_por_volta;

}  // namespace

void Modelo::alargar(double x, double y, double z) {
    if (alargar_no_centro_) {
        // The extents of the cutter's centre at the face, as the generator
        // judges the bore: a tapered path moved back to Z 0, a compensated
        // one in by the cutter's radius.
        const double r = std::hypot(x, y);
        if (r > 0) {
            const double escala = (r + forma().conicidade_raio * z + fator_centro_) / r;
            x *= escala;
            y *= escala;
        }
    }
    extremos.incluir(x, y);
}

// An arc about the axis reaches X or Y extremes where it crosses the axes'
// directions, not only at its ends. Past a pass's first turn and a half its
// extremes are known; an arc off that circle fails the circle check anyway.
void Modelo::alargar_arco(const Movimento& m, double graus_antes) {
    if (graus_antes > 360 + 180) return;
    const double cx = m.centro_x, cy = m.centro_y;
    const double r = std::hypot(m.de.x - cx, m.de.y - cy);
    const double a0 = std::atan2(m.de.y - cy, m.de.x - cx);
    const double varredura = m.varredura;
    if (varredura == 0) return;
    // Such a point comes from the arc's centre and radius, each from printed
    // coordinates: the start, its offsets I and J.
    extremos.erro = std::max(extremos.erro, (2 + std::sqrt(2.0)) * erro_coordenada(std::hypot(cx, cy) + r));
    for (int k = 0; k < 4; ++k) {
        const double alvo = k * pi / 2;
        double d = std::remainder(alvo - a0, 2 * pi);  // from a0 to alvo, in (-pi, pi]
        if (varredura > 0 && d < 0) d += 2 * pi;
        if (varredura < 0 && d > 0) d -= 2 * pi;
        if (std::fabs(d) <= std::fabs(varredura))
            alargar(cx + r * std::cos(alvo), cy + r * std::sin(alvo), m.de.z + (m.para.z - m.de.z) * d / varredura);
    }
}

// The bore's extents take in its ways along arcs too, as the generator
// counts them: the cutter's centre on each arc, as it is there (in from a
// compensated arc by the cutter's radius, not moved along a taper). Inside
// a bore the ways lie within a whole turn of the helix, and only a helix of
// less than a turn leaves them a side to reach. The straight lines that
// turn a compensation on and off, in the air, are no arcs.
void Modelo::alargar_caminho(const Movimento& m) {
    Caixa& e = caixa_caminhos_;
    auto ponto = [&e](double x, double y) {
        if (!e.tem) {
            e = {true, x, x, y, y};
            return;
        }
        e.x_max = std::max(e.x_max, x);
        e.x_min = std::min(e.x_min, x);
        e.y_max = std::max(e.y_max, y);
        e.y_min = std::min(e.y_min, y);
    };
    // The line that turns the compensation on or off is no way's: it
    // reaches the way, in the air.
    if (liga_compensacao_) return;
    if (m.tipo != TipoMovimento::arco) {
        // One-degree chords of a way's arc, from its start; with the
        // compensation the ways are arcs.
        if (fator_centro_ != 0 || (m.para.x == m.de.x && m.para.y == m.de.y)) return;
        ponto(m.de.x, m.de.y);
        ponto(m.para.x, m.para.y);
        return;
    }
    const double cx = m.centro_x, cy = m.centro_y;
    const double programado = std::hypot(m.de.x - cx, m.de.y - cy);
    const double r = programado + fator_centro_;
    if (!(programado > 0) || !(r > 0) || m.varredura == 0) return;
    extremos.erro = std::max(extremos.erro, (2 + std::sqrt(2.0)) * erro_coordenada(std::hypot(cx, cy) + programado));
    const double a0 = std::atan2(m.de.y - cy, m.de.x - cx);
    ponto(cx + r * std::cos(a0), cy + r * std::sin(a0));
    ponto(cx + r * std::cos(a0 + m.varredura), cy + r * std::sin(a0 + m.varredura));
    for (int k = 0; k < 4; ++k) {
        const double alvo = k * pi / 2;
        double d = std::remainder(alvo - a0, 2 * pi);
        if (m.varredura > 0 && d < 0) d += 2 * pi;
        if (m.varredura < 0 && d > 0) d -= 2 * pi;
        if (std::fabs(d) <= std::fabs(m.varredura)) ponto(cx + r * std::cos(alvo), cy + r * std::sin(alvo));
    }
}

void Modelo::juntar_caminhos(const Passe& ps) {
    Caixa& c = caixa_caminhos_;
    if (c.tem && ps.voltas_feitas() < 1) {
        visualizador::Extremos& e = extremos;
        e.x_max = std::max(e.x_max, c.x_max);
        e.x_min = std::min(e.x_min, c.x_min);
        e.y_max = std::max(e.y_max, c.y_max);
        e.y_min = std::min(e.y_min, c.y_min);
    }
    c = Caixa{};
}

void Modelo::definir_amostra() {
    amostra_definida_ = true;
    // Sized from what the header announces; a header that says otherwise
    // than the path costs picture detail, never memory.
    const std::uint64_t previstos = std::clamp<std::uint64_t>(helices_esperadas(cabecalho), 1, max_retidos + 1);
    capacidade_lado_ = orcamento_lado / previstos;
    limite_retidos_ = std::clamp<std::size_t>(2 * orcamento_lado / capacidade_lado_, 2, max_retidos);
    amostra_ = 10;
    const Cabecalho& c = cabecalho;
    if (c.L.presente() && c.p.presente() && c.p.v > 0 && std::isfinite(c.L.v) && c.L.v > 0) {
        const double voltas = std::ceil(c.L.v / c.p.v);
        if (voltas < 1e9) {
            const double pontos = voltas * passos_volta + 1;
            amostra_ = static_cast<int>(
                std::clamp(std::ceil(pontos / static_cast<double>(capacidade_lado_)), 1.0, 10.0));
        }
    }
}

void Modelo::amostrar(double x, double z) {
    Passe& ps = atual_;
    const PontoPlano p{static_cast<float>(x), static_cast<float>(z)};
    const std::size_t metade = capacidade_lado_ / 2;
    if (ps.lado_inicio.size() < metade) {
        ps.lado_inicio.push_back(p);
        return;
    }
    if (ps.lado_fim.size() < capacidade_lado_ - metade) {
        ps.lado_fim.push_back(p);
        return;
    }
    ps.lado_fim[ps.lado_fim_proximo] = p;
    ps.lado_fim_proximo = (ps.lado_fim_proximo + 1) % ps.lado_fim.size();
    ++ps.lado_omitidos;
}

// The helix's first move: a chord's end, or an arc from its start.
void Modelo::amostrar_inicio(const Movimento& m) {
    Passe& ps = atual_;
    ps.amostra = amostra_;
    ate_amostra_ = ps.amostra;
    if (ps.ultimo_arco) {
        ps.topo.push_back({static_cast<float>(m.de.x), static_cast<float>(m.de.y)});
        ps.lado_inicio.push_back({static_cast<float>(m.de.x), static_cast<float>(m.de.z)});
        amostrar_arco(m);
        return;
    }
    ps.topo.push_back({static_cast<float>(m.para.x), static_cast<float>(m.para.y)});
    ps.lado_inicio.push_back({static_cast<float>(m.para.x), static_cast<float>(m.para.z)});
}

// An arc drawn as the points it passes, not as its chord: its first turn
// finely for the top view; for the side view as many points as chords of
// the same degrees would leave, so that the picture's budget holds.
void Modelo::amostrar_arco(const Movimento& m) {
    Passe& ps = atual_;
    const double graus = graus_do_arco(m);
    if (ps.graus <= 360 + graus)
        pontos_do_arco(m, 18, [&](int k, double x, double y) {
            ps.topo.push_back(k == 18 ? PontoPlano{static_cast<float>(m.para.x), static_cast<float>(m.para.y)}
                                      : PontoPlano{static_cast<float>(x), static_cast<float>(y)});
        });
    const int pontos = std::clamp(static_cast<int>(std::lround(graus / ps.amostra)), 1, 180);
    // Far from both ends of a long helix the side view keeps nothing of what
    // it samples (its last points overwrite these): counted, not computed.
    const Cabecalho& c = cabecalho;
    if (ps.lado_fim.size() >= capacidade_lado_ - capacidade_lado_ / 2 && c.L.presente() && c.p.presente() && c.p.v > 0 &&
        std::isfinite(c.L.v)) {
        const double falta = ps.sobe ? -m.para.z : c.L.v + m.para.z;  // depth still to go, to the pass's end
        const double amostras_faltando = falta / c.p.v * 360 / ps.amostra;
        if (amostras_faltando > 2.0 * static_cast<double>(capacidade_lado_)) {
            ps.lado_omitidos += static_cast<std::uint64_t>(pontos);
            return;
        }
    }
    pontos_do_arco(m, pontos, [&](int k, double x, double) {
        amostrar(k == pontos ? m.para.x : x, m.de.z + (m.para.z - m.de.z) * k / pontos);
    });
}

// A way starts where its first move does, arc or line.
void Modelo::amostrar_guia(std::vector<PontoPlano>& guia, const Movimento& m) {
    if (guia.size() >= 400) return;
    if (guia.empty()) guia.push_back({static_cast<float>(m.de.x), static_cast<float>(m.de.y)});
    if (m.tipo == TipoMovimento::arco)
        pontos_do_arco(m, 12, [&guia](int k, double x, double y) {
            if (k < 12) guia.push_back({static_cast<float>(x), static_cast<float>(y)});
        });
    guia.push_back({static_cast<float>(m.para.x), static_cast<float>(m.para.y)});
}
