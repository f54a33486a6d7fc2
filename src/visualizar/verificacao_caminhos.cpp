#include <algorithm>
#include <cmath>

#include "visualizar/arco.hpp"
#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/regras.hpp"

namespace {

using V = Verificacoes;

bool move_xy(const Movimento& m) {
    return std::fabs(m.para.x - m.de.x) > meia_unidade(3) || std::fabs(m.para.y - m.de.y) > meia_unidade(3);
}

// The direction of travel of an arc at point (x, y) of it.
void tangente_arco(const Movimento& m, double x, double y, double& dx, double& dy) {
    const double rx = x - m.centro_x, ry = y - m.centro_y;
    const double s = m.horario ? -1 : 1;
    dx = -s * ry;
    dy = s * rx;
}

// Where a move heads at its start (or its end), and the length that makes
// that direction sure: an arc's radius, a line's own length.
struct Rumo {
    double x = 0, y = 0, comprimento = 0;
};
Rumo rumo(const Movimento& m, bool no_fim) {
    Rumo r;
    if (m.tipo == TipoMovimento::arco) {
        const Ponto3& em = no_fim ? m.para : m.de;
        tangente_arco(m, em.x, em.y, r.x, r.y);
        r.comprimento = std::hypot(em.x - m.centro_x, em.y - m.centro_y);
    } else {
        r.x = m.para.x - m.de.x;
        r.y = m.para.y - m.de.y;
        r.comprimento = std::hypot(r.x, r.y);
    }
    return r;
}

// How far (degrees) two directions may differ at a junction of moves of
// length `a` and `b` whose ends carry the printed decimals' error.
double tolerancia_juncao(double a, double b, bool arcos) {
    const double e = 2 * erro_coordenada(100);
    // The length measured may be the printing's error longer than the move
    // (the chord at the face of a start a share of a degree past a whole one).
    auto desvio = [e](double l) { return l > e ? std::atan2(e, l - e) * graus_por_radiano : 180.0; };
    // A chord of one degree leaves its arc half a degree off the tangent.
    return (arcos ? 0.05 : 1.0) + desvio(a) + desvio(b);
}

// The same between two moves of a way, each end of each off by the printed
// decimals in both axes: a short chord near the axis turns its direction
// by much more than a long one.
double tolerancia_quebra(double a, double b, bool arcos) {
    const double e = 2 * std::sqrt(2.0) * erro_coordenada(100);
    auto desvio = [e](double l) { return l > e ? std::atan2(e, l - e) * graus_por_radiano : 180.0; };
    return (arcos ? 0.05 : 1.0) + desvio(a) + desvio(b);
}

}  // namespace

bool ConferenciaCaminhos::raio_esperado(std::uint64_t ordem, double profundidade, double& r) const {
    const Cabecalho& c = m_.cabecalho;
    const PasseEsperado e = passe_esperado(c, std::min(ordem / helices_por_passe(c), passes_esperados(c) - 1));
    if (!e.conhecido || !raio_do_passe(c, e.diametro, r)) return false;
    r += m_.conicidade_raio() * profundidade;
    return true;
}

// A way in or out never takes the cutter past the pass's own path: nearer
// the axis inside a bore, farther out outside a blank. Above the face it is
// in the air.
void ConferenciaCaminhos::conferir_livre(std::uint64_t ordem, const Movimento& m) {
    const Cabecalho& c = m_.cabecalho;
    const double acima = meia_unidade(3);
    if (m.de.z > acima && m.para.z > acima) return;
    // The thread, and its taper, end at L: a way below it is judged by the
    // radius there (a lead of several pitches takes the way at the bottom
    // well below L).
    double profundidade = std::max(0.0, -std::min(m.de.z, m.para.z));
    if (c.L.presente() && std::isfinite(c.L.v) && c.L.v > 0) profundidade = std::min(profundidade, c.L.v);
    double r;
    if (!raio_esperado(ordem, profundidade, r)) return;
    // The point of the move farthest from the axis (inside) or nearest to it (outside).
    double pior = std::hypot(m.para.x, m.para.y);
    Ponto3 onde = m.para;
    auto considerar = [&](double x, double y) {
        const double d = std::hypot(x, y);
        if (c.interna() ? d > pior : d < pior) {
            pior = d;
            onde = {x, y, m.para.z};
        }
    };
    considerar(m.de.x, m.de.y);
    if (m.tipo == TipoMovimento::arco) {
        pontos_do_arco(m, 64, [&](int k, double x, double y) {
            if (k < 64) considerar(x, y);
        });
    } else if (c.externa()) {
        // A line's nearest point to the axis may lie between its ends.
        const double dx = m.para.x - m.de.x, dy = m.para.y - m.de.y;
        const double l2 = dx * dx + dy * dy;
        if (l2 > 0) {
            const double t = std::clamp(-(m.de.x * dx + m.de.y * dy) / l2, 0.0, 1.0);
            considerar(m.de.x + t * dx, m.de.y + t * dy);
        }
    }
    const double tol = 2 * std::sqrt(2.0) * erro_coordenada(r) + meia_unidade(3) + folga_calculo;
    if (c.interna() ? pior <= r + tol : pior >= r - tol) return;
    v_.falha_no_ponto(V::entradas_e_saidas, m.linha,
                      formatar("entrada ou saida a %.3f mm do eixo: %s do raio %.3f do passe, dentro do material",
                               pior, c.interna() ? "alem" : "aquem", r),
                      onde.x, onde.y, onde.z);
}

void ConferenciaCaminhos::conferir_tangente(const char* onde, const char* onde_quebra, std::uint64_t linha,
                                            Ponto3 em, double ax, double ay, double bx, double by, double tol) {
    const double a = std::atan2(ax * by - ay * bx, ax * bx + ay * by) * graus_por_radiano;
    if (std::fabs(a) <= tol) return;
    v_.falha_no_ponto(V::entradas_e_saidas, linha,
                      formatar("%s nao tangente %s: %.1f graus de quebra (tolerancia %.1f)", onde, onde_quebra,
                               std::fabs(a), tol),
                      em.x, em.y, em.z);
}

// A way in along tangent arcs is smooth from its first move in X and Y to
// the helix: no corner between its moves either.
void ConferenciaCaminhos::entrada(const Movimento& m) {
    if (!m_.modos()) return;
    conferir_livre(m_.passes, m);
    if (!move_xy(m)) return;
    const Rumo inicio = rumo(m, false);
    if (m_.cabecalho.modos.tangencial && tem_rumo_entrada_)
        conferir_tangente("entrada", "entre dois dos seus movimentos", m.linha, m.de, rumo_x_, rumo_y_, inicio.x,
                          inicio.y,
                          tolerancia_quebra(rumo_comprimento_, inicio.comprimento,
                                            arco_entrada_ && m.tipo == TipoMovimento::arco));
    const Rumo fim = rumo(m, true);
    rumo_x_ = fim.x;
    rumo_y_ = fim.y;
    rumo_comprimento_ = fim.comprimento;
    arco_entrada_ = m.tipo == TipoMovimento::arco;
    tem_rumo_entrada_ = true;
    ++entradas_;
    ultima_entrada_ = m;
}

void ConferenciaCaminhos::saida(const Passe* p, const Movimento& m) {
    if (!m_.modos()) return;
    conferir_livre(p ? p->ordem : m_.passes, m);
    if (p == nullptr || !move_xy(m)) return;
    // The first move of the way out leaves the helix along its tangent.
    if (saidas_++ == 0 && m_.cabecalho.modos.tangencial) {
        Rumo a;
        if (p->ultimo_arco) {
            const double giro = p->sinal_giro;
            a = {-giro * p->ultimo.y, giro * p->ultimo.x, std::hypot(p->ultimo.x, p->ultimo.y)};
        } else {
            a = {p->ultimo.x - p->penultimo.x, p->ultimo.y - p->penultimo.y, 0};
            a.comprimento = std::hypot(a.x, a.y);
        }
        const Rumo b = rumo(m, false);
        Movimento ultimo;
        ultimo.de = p->penultimo;
        ultimo.para = p->ultimo;
        conferir_tangente("saida", "a helice", m.linha, m.de, a.x, a.y, b.x, b.y,
                          tolerancia_juncao(a.comprimento, b.comprimento,
                                            p->ultimo_arco && m.tipo == TipoMovimento::arco) +
                              (p->ultimo_arco ? 0 : desvio_conico(ultimo, a.comprimento)));
    }
}

// Along a taper a chord of the helix also moves in or out by the taper
// over its depth: on a short one (at the face of a start a share of a
// degree past a whole one, a lead of several pitches) that turns it off the
// circle's tangent by as much.
double ConferenciaCaminhos::desvio_conico(const Movimento& m, double comprimento) const {
    const double c = m_.conicidade_raio();
    if (c == 0 || m.tipo == TipoMovimento::arco) return 0;
    return comprimento > 0 ? std::atan2(std::fabs(c * (m.para.z - m.de.z)), comprimento) * graus_por_radiano : 180.0;
}

void ConferenciaCaminhos::inicio_helice(const Passe& p, const Movimento& m) {
    if (!m_.modos()) return;
    const Cabecalho& c = m_.cabecalho;
    saidas_ = 0;
    const auto numero = static_cast<long long>(p.numero);
    tem_rumo_entrada_ = false;
    if (c.modos.tangencial) {
        if (entradas_ == 0) {
            v_.falha_no_ponto(V::entradas_e_saidas, m.linha,
                              formatar("passe %lld sem entrada tangencial: o cabecalho a anuncia", numero), m.de.x,
                              m.de.y, m.de.z);
        } else {
            const Movimento& u = ultima_entrada_;
            const Rumo a = rumo(u, true), b = rumo(m, false);
            // The helix's first chord, at the face, may span a small share of
            // a degree: both its ends off by the printing in both axes.
            conferir_tangente("entrada", "a helice", u.linha, u.para, a.x, a.y, b.x, b.y,
                              tolerancia_quebra(a.comprimento, b.comprimento,
                                                u.tipo == TipoMovimento::arco && m.tipo == TipoMovimento::arco) +
                                  desvio_conico(m, b.comprimento));
        }
    }
    entradas_ = 0;

    // The control's compensation on the side the milling asks for.
    if (c.compensacao()) {
        const bool concordante = vocabulario::concordante(c.interna(), p.sinal_giro);
        const int lado = vocabulario::lado_compensacao(c.interna(), p.sinal_giro);
        if (m.compensacao != lado)
            v_.falha_no_ponto(V::entradas_e_saidas, m.linha,
                              m.compensacao == 40
                                  ? formatar("passe %lld sem compensacao de raio; o cabecalho pede G%d D%lld", numero,
                                             lado, static_cast<long long>(c.modos.corretor))
                                  : formatar("passe %lld com G%d; o fresamento %s pede G%d", numero, m.compensacao,
                                             concordante ? "concordante" : "discordante", lado),
                              m.para.x, m.para.y, m.para.z);
    } else if (m.compensacao != 40) {
        v_.falha_no_ponto(V::entradas_e_saidas, m.linha,
                          formatar("passe %lld com compensacao G%d; o cabecalho nao a pede", numero, m.compensacao),
                          m.para.x, m.para.y, m.para.z);
    }
    // Compensated, F holds where the control is told: at the contour it is
    // not the cutter centre's feed the file means.
    if (m.compensacao != 40 && m.avanco_no_contorno)
        v_.falha_no_ponto(V::entradas_e_saidas, m.linha,
                          formatar("passe %lld com o avanco no contorno (CFC): F nao e o do centro da fresa, falta "
                                   "CFTCP",
                                   numero),
                          m.para.x, m.para.y, m.para.z);

    // The pass's feed: the header's, or with the feed at the cutting edge the
    // centre's share of it for this pass's diameter.
    if (!c.F.presente() || !std::isfinite(c.F.v)) return;
    const std::uint64_t linha = p.linha_avanco != 0 ? p.linha_avanco : m.linha;
    if (!p.tem_avanco || !(p.avanco > 0)) {
        v_.falha(V::entradas_e_saidas, linha,
                 formatar("passe %lld sem avanco: F%g nao move a ferramenta", numero, p.tem_avanco ? p.avanco : 0.0));
        return;
    }
    double esperado = c.F.v;
    double tol = 0.5 + meia_unidade(c.F.decimais) + folga_calculo;
    if (c.modos.avanco_na_aresta) {
        const PasseEsperado e = passe_esperado(c, std::min(p.ordem / helices_por_passe(c), passes_esperados(c) - 1));
        Valor d = p.diametro.presente() ? p.diametro : e.diametro;
        if (!d.presente() || !c.ferramenta.presente() || !(d.v > 0)) return;
        // A diameter the operator set at the control leaves the feed the file
        // writes as it was, for the answered one.
        const Modelo::Ajuste& a = m_.ajuste;
        if (a.feito && a.no_acabamento(p.numero, d)) d.v = a.de;
        const double fator = vocabulario::avanco_no_centro(1, d.v, c.ferramenta.v, c.interna());
        esperado = vocabulario::avanco_no_centro(c.F.v, d.v, c.ferramenta.v, c.interna());
        tol = 0.05 + meia_unidade(c.F.decimais) * fator +
              c.F.v * (meia_unidade(c.ferramenta.decimais) + meia_unidade(d.decimais) * (1 + fator)) / d.v +
              folga_calculo;
    }
    if (std::fabs(p.avanco - esperado) > tol)
        v_.falha(V::entradas_e_saidas, linha,
                 formatar("passe %lld com avanco F%.1f; esperado %.1f mm/min%s", numero, p.avanco, esperado,
                          c.modos.avanco_na_aresta ? " (avanco na aresta, no centro da fresa)" : ""));
}

void ConferenciaCaminhos::fim_passe(const Passe& p) {
    if (!m_.modos() || !m_.cabecalho.modos.tangencial || saidas_ > 0) return;
    v_.falha_no_ponto(V::entradas_e_saidas, p.linha_fim,
                      formatar("passe %lld sem saida tangencial: o cabecalho a anuncia", static_cast<long long>(p.numero)),
                      p.ultimo.x, p.ultimo.y, p.ultimo.z);
}

void ConferenciaCaminhos::rapido(const Movimento& m) {
    // A rapid across ends a way's smooth run.
    if (move_xy(m)) tem_rumo_entrada_ = false;
    if (m.compensacao == 40 || !m.de_conhecido || !move_xy(m)) return;
    v_.falha_no_ponto(V::entradas_e_saidas, m.linha,
                      formatar("movimento rapido em X e Y com a compensacao G%d ligada", m.compensacao), m.para.x,
                      m.para.y, m.para.z);
}

void ConferenciaCaminhos::fim_arquivo(const Modelo& m) {
    const Cabecalho& c = m.cabecalho;
    const bool tempo = c.tempo_percurso.presente() || c.ilegivel("tempo pelo percurso") != nullptr;
    if (!m.modos() && !tempo) {
        if (v_[V::entradas_e_saidas].estado == Estado::ok) v_.marcar(V::entradas_e_saidas, Estado::nao_se_aplica, "");
        return;
    }
    if (houve_corte(m, v_, V::entradas_e_saidas)) conferir_tempo(m);
}

// The generator measures the path as it writes it; the viewer measures the
// file as it reads it (arcs by their length, each feed move at the feed in
// force). They agree to 1 % and the printing of the header's minutes.
void ConferenciaCaminhos::conferir_tempo(const Modelo& m) {
    const Cabecalho& c = m.cabecalho;
    if (falha_se_ilegivel(c, v_, V::entradas_e_saidas, "tempo pelo percurso", "o tempo de corte nao pode ser conferido"))
        return;
    const Valor& t = c.tempo_percurso;
    if (!t.presente()) return;
    const double medido = m.minutos;
    const double tol = 0.01 * medido + meia_unidade(t.decimais) + folga_calculo;
    if (!(std::fabs(t.v - medido) <= tol))
        v_.falha(V::entradas_e_saidas, c.linha_de[static_cast<std::size_t>(TipoComentario::tempo_percurso)],
                 formatar("o cabecalho diz %.1f minutos de corte pelo percurso; o percurso leva %.2f minutos nos "
                          "avancos do arquivo (tolerancia de 1 %%)",
                          t.v, medido));
}
