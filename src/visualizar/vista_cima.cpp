// The top view: each pass's first turn, its ways in and out and the rapid
// moves, the diameters of the header, the cutter at the start.
#include <algorithm>
#include <cmath>

#include "visualizar/desenho_partes.hpp"
#include "visualizar/quadro.hpp"
#include "vocabulario/geometria.hpp"

using namespace desenho;

namespace {

double meia_largura_cima(const Modelo& m) {
    const Cabecalho& c = m.cabecalho;
    const double meia_ferramenta = ferramenta(m) / 2;
    double meia = valor_ou(c.Df, 0) / 2;
    if (!c.Di_desabilitado) meia = std::max(meia, valor_ou(c.Di, 0) / 2);
    if (c.interna()) meia = std::max(meia, valor_ou(m.extensoes.diametro, 0) / 2);
    for (const Passe& p : m.retidos) {
        meia = std::max(meia, std::sqrt(p.r2_max) + meia_ferramenta);
        for (const auto* lista : {&p.entrada, &p.saida})
            for (const MovimentoRapido& r : *lista)
                meia = std::max({meia, std::fabs(r.para.x), std::fabs(r.para.y), std::fabs(r.de.x), std::fabs(r.de.y)});
    }
    if (!(meia > 0) || !std::isfinite(meia)) meia = 1;
    return meia * 1.06;
}

}  // namespace

Vista vista_de_cima(const Modelo& m) {
    Vista v;
    const double meia = meia_largura_cima(m);
    v.escala_x = v.escala_y = (lado_painel - 2 * folga_rotulos) / (2 * meia);
    v.centro_x = x_vista_cima + lado_painel / 2;
    v.centro_y = topo_painel + lado_painel / 2 + 8;
    return v;
}

namespace desenho {

void desenhar_vista_cima(Svg& g, const Modelo& m, const Verificacoes& verificacoes) {
    const Vista v = vista_de_cima(m);
    const Cabecalho& c = m.cabecalho;
    const double x0 = x_vista_cima, y0 = topo_painel;
    g.retangulo(x0, y0, lado_painel, lado_painel, "moldura");
    g.texto(x0 + 10, y0 + 22, "h", "Vista de cima (de +Z)");
    const double cx = v.pagina_x(0), cy = v.pagina_y(0);
    const double meia = (lado_painel / 2 - 18);
    g.linha(cx - meia, cy, cx + meia, cy, "eixo");
    g.linha(cx, cy - meia + 26, cx, cy + meia, "eixo");
    g.texto(cx + meia - 2, cy - 5, "c", "X", "end");
    // Above the axis's end, clear of the circles.
    g.texto(cx + 6, cy - meia + 24, "c", "Y");

    // Diameters: Df always; the bore of an internal thread or the blank of
    // an external one; the machined diameter of an internal one (the legend
    // under the views names them).
    auto circulo_diametro = [&](const Valor& d, const char* classe) {
        if (!d.presente() || !(d.v > 0) || !std::isfinite(d.v)) return;
        g.circulo(cx, cy, d.v / 2 * v.escala_x, classe);
    };
    circulo_diametro(c.Df, "df");
    if (!c.Di_desabilitado && (c.interna() || c.externa())) circulo_diametro(c.Di, "di");
    if (c.interna()) circulo_diametro(m.extensoes.diametro, "us");

    const std::size_t n = m.retidos.size();
    desenhar_rapidos(g, m, v, false);

    // Every turn of a pass lies on the same circle: its first turn shows it.
    const std::size_t passo = std::clamp<std::size_t>((n * static_cast<std::size_t>(vocabulario::passos_por_volta) + orcamento_cima - 1) / orcamento_cima, 1, 10);
    for (std::size_t i = 0; i < n; ++i) {
        const Passe& p = m.retidos[i];
        const bool acabamento = helice_de_acabamento(m, i);
        g.abrir_polilinha(cor_helice(m, i), acabamento ? "2.6" : "1.4");
        for (std::size_t k = 0; k < p.topo.size(); k += passo) {
            g.par(v.pagina_x(p.topo[k].a), v.pagina_y(p.topo[k].b));
            g.s += ' ';
        }
        const PontoPlano& fim = p.topo.back();
        g.par(v.pagina_x(fim.a), v.pagina_y(fim.b));
        // A whole turn closes on itself.
        if (p.topo.size() >= static_cast<std::size_t>(vocabulario::passos_por_volta)) {
            g.s += ' ';
            g.par(v.pagina_x(p.topo.front().a), v.pagina_y(p.topo.front().b));
        }
        g.fechar_pontos();
        // Its ways in and out, where the file has them.
        for (const auto* guia : {&p.guia_entrada, &p.guia_saida}) {
            if (guia->size() < 2) continue;
            g.abrir_polilinha(cor_helice(m, i), "1.2");
            for (std::size_t k = 0; k < guia->size(); ++k) {
                if (k > 0) g.s += ' ';
                g.par(v.pagina_x((*guia)[k].a), v.pagina_y((*guia)[k].b));
            }
            g.fechar_pontos();
        }
        // Which way the pass turns: an arrowhead where its helix begins
        // (passes may turn either way when they run from the bottom up).
        const Ponto3 a = p.tem_inicio ? p.antes : p.primeiro;
        const double r = std::hypot(a.x, a.y);
        if (m.modos() && r > 0 && p.sinal_giro != 0) {
            const double ux = a.x / r, uy = -a.y / r;
            const double tx = p.sinal_giro > 0 ? uy : -uy, ty = p.sinal_giro > 0 ? -ux : ux;
            const double px = v.pagina_x(a.x), py = v.pagina_y(a.y);
            ponta_de_seta(g, px, py, tx, ty, 9, 4, cor_helice(m, i));
        }
    }

    // The cutter to scale where the program starts cutting (the first pass),
    // and the direction of travel.
    if (!m.retidos.empty()) {
        const Passe* p = &m.retidos.front();
        const Ponto3 inicio = p->tem_inicio ? p->antes : p->primeiro;
        const double sx = v.pagina_x(inicio.x), sy = v.pagina_y(inicio.y);
        const double rf = ferramenta(m) / 2 * v.escala_x;
        if (rf > 0)
            g.circulo(sx, sy, rf, "df", "fill:#08306b;fill-opacity:0.08;stroke:#08306b;stroke-width:1;stroke-dasharray:4 2");
        g.circulo(sx, sy, 4.5, "seta");
        const double r = std::hypot(inicio.x, inicio.y);
        const int giro = giro_medido(*p) != 0 ? giro_medido(*p) : p->sinal_giro;
        if (r > 0 && giro != 0) {
            // Page Y grows downward, so the tangent's Y changes sign.
            const double ux = inicio.x / r, uy = -inicio.y / r;
            const double tx = giro > 0 ? uy : -uy, ty = giro > 0 ? -ux : ux;
            const double fora = 16;
            const double ax = sx + ux * fora, ay = sy + uy * fora;
            const double comp = 46;
            const double bx = ax + tx * comp, by = ay + ty * comp;
            g.linha(ax, ay, bx, by, nullptr, "#08306b", "2.2");
            ponta_de_seta(g, bx, by, tx, ty, 12, 6, "");
            // Beside the arrow, beyond the pass rings; outside a part, beyond
            // the cutter too, which stands outside the rings there.
            double aneis = 0;
            for (const Passe& q : m.retidos) aneis = std::max(aneis, std::sqrt(q.r2_max) * v.escala_x);
            const double raio = std::max({r * v.escala_x + fora + 14, aneis + 12,
                                          c.externa() ? r * v.escala_x + rf + 8 : 0.0});
            g.texto(cx + ux * raio + tx * comp / 2, cy + uy * raio + ty * comp / 2 + 4, "c", "inicio",
                    ux >= 0 ? "start" : "end");
        }
    }
    desenhar_entradas(g, m, v);
    marcar_falhas(g, verificacoes, v, false);
    barra_escala(g, x0 + 16, y0 + lado_painel - 16, v.escala_x, lado_painel / 4, "");
}

}  // namespace desenho
