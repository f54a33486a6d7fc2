// The side view: X against Z, the part in section, each helix from the
// approach height down (long ones as their ends and a band), the rapid moves.
#include <algorithm>
#include <cmath>
#include <vector>

#include "visualizar/desenho_partes.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/geometria.hpp"

using namespace desenho;

Vista vista_lateral(const Modelo& m) {
    Vista v;
    const double meia_ferramenta = ferramenta(m) / 2;
    double meia = valor_ou(m.cabecalho.Df, 0) / 2;
    double z_alto = 0, z_baixo = 0;
    for (const Passe& p : m.retidos) {
        meia = std::max(meia, std::sqrt(p.r2_max) + meia_ferramenta);
        z_alto = std::max({z_alto, p.antes.z, p.z_max});
        z_baixo = std::min(z_baixo, p.z_min);
        for (const auto* lista : {&p.entrada, &p.saida})
            for (const MovimentoRapido& r : *lista) {
                meia = std::max({meia, std::fabs(r.para.x), std::fabs(r.de.x)});
                z_alto = std::max({z_alto, r.para.z, r.de.z});
                z_baixo = std::min({z_baixo, r.para.z, r.de.z});
            }
    }
    if (!(meia > 0) || !std::isfinite(meia)) meia = 1;
    meia *= 1.06;
    double altura = z_alto - z_baixo;
    if (!(altura > 0) || !std::isfinite(altura)) altura = 1;
    const double margem_z = altura * 0.04;
    z_alto += margem_z;
    altura += 2 * margem_z;
    const double ex = (lado_painel - 2 * 46) / (2 * meia);
    const double ez = (lado_painel - 2 * folga_rotulos) / altura;
    // The same scale on both axes unless that leaves the path a thin strip.
    if (std::max(ex, ez) <= 2.5 * std::min(ex, ez)) {
        v.escala_x = v.escala_y = std::min(ex, ez);
    } else {
        v.escala_x = ex;
        v.escala_y = ez;
    }
    v.centro_x = x_vista_lateral + lado_painel / 2;
    v.centro_y = topo_painel + folga_rotulos + 8 + z_alto * v.escala_y;
    return v;
}

namespace desenho {

void desenhar_vista_lateral(Svg& g, const Modelo& m, const Verificacoes& verificacoes) {
    const Vista v = vista_lateral(m);
    const Cabecalho& c = m.cabecalho;
    const double x0 = x_vista_lateral, y0 = topo_painel;
    g.retangulo(x0, y0, lado_painel, lado_painel, "moldura");
    g.texto(x0 + 10, y0 + 22, "h", "Vista lateral (X e Z)");
    const double topo = y0 + 30, base = y0 + lado_painel - 4;
    const double L = valor_ou(c.L, 0);
    const Passe* ultimo = m.ultimo_passe();
    const double fundo = ultimo ? ultimo->z_min : -L;

    // The part in section: around the bore of an internal thread, the blank of an external one.
    const double meia_df = valor_ou(c.Df, 0) / 2;
    const double borda = valor_ou(c.Di, meia_df * 2) / 2;
    // A tapered thread's diameters are those at the face; with depth they
    // narrow inside a bore and grow outside a blank: the section shows the cone.
    const double conicidade = m.conicidade_raio();
    if (borda > 0) {
        const double yt = v.pagina_y(0), yb = std::min(base, v.pagina_y(fundo) + 12);
        const double zb = (v.centro_y - yb) / v.escala_y;
        const double borda_b = std::max(0.0, borda - conicidade * zb);
        auto quadrilatero = [&g](double xa, double ya, double xb, double yb_, double xc, double xd) {
            g.abrir("polygon");
            g.atributo("class", "peca");
            g.abrir_atributo("points");
            g.par(xa, ya);
            g.s += ' ';
            g.par(xb, ya);
            g.s += ' ';
            g.par(xc, yb_);
            g.s += ' ';
            g.par(xd, yb_);
            g.fechar_pontos();
        };
        if (c.interna()) {
            const double esquerda = x0 + 34, direita = x0 + lado_painel - 34;
            if (v.pagina_x(-borda) > esquerda)
                quadrilatero(esquerda, yt, v.pagina_x(-borda), yb, v.pagina_x(-borda_b), esquerda);
            if (direita > v.pagina_x(borda))
                quadrilatero(v.pagina_x(borda), yt, direita, yb, direita, v.pagina_x(borda_b));
        } else if (c.externa()) {
            quadrilatero(v.pagina_x(-borda), yt, v.pagina_x(borda), yb, v.pagina_x(borda_b), v.pagina_x(-borda_b));
        }
    }
    if (meia_df > 0) {
        const double meia_fundo = std::max(0.0, meia_df - conicidade * fundo);
        g.linha(v.pagina_x(-meia_df), v.pagina_y(0), v.pagina_x(-meia_fundo), v.pagina_y(fundo), "df");
        g.linha(v.pagina_x(meia_df), v.pagina_y(0), v.pagina_x(meia_fundo), v.pagina_y(fundo), "df");
    }
    const double cx = v.pagina_x(0);
    g.linha(cx, topo, cx, base, "eixo");
    g.texto(cx + 4, base - 4, "c", "eixo");

    // Depths labelled: the top of the part, the thread length, the heights of the rapid moves.
    std::vector<double> alturas = {0, fundo};
    for (const Passe& p : m.retidos) {
        alturas.push_back(p.antes.z);
        for (const MovimentoRapido& r : p.saida) alturas.push_back(r.para.z);
    }
    std::sort(alturas.begin(), alturas.end());
    alturas.erase(std::unique(alturas.begin(), alturas.end(), [](double a, double b) { return std::fabs(a - b) < 1e-6; }),
                  alturas.end());
    double ultimo_rotulo = -1e9;
    for (double z : alturas) {
        const double y = v.pagina_y(z);
        if (!std::isfinite(y) || std::fabs(y - ultimo_rotulo) < 13) continue;
        ultimo_rotulo = y;
        g.linha(x0 + 4, y, x0 + lado_painel - 4, y, "cota");
        g.texto(x0 + lado_painel - 6, y - 3, "c", formatar("Z %.3f", z), "end");
    }

    const std::size_t n = m.retidos.size();
    desenhar_rapidos(g, m, v, true);

    // The helix of each pass from the approach height down: the first points
    // and the last ones, within the picture's budget; what lies between,
    // when anything does, as a band.
    const std::size_t por_passe = n == 0 ? 0 : Modelo::orcamento_lado / n;
    for (std::size_t i = 0; i < n; ++i) {
        const Passe& p = m.retidos[i];
        const std::string cor = cor_helice(m, i);
        const bool acabamento = helice_de_acabamento(m, i);
        std::size_t inicio = p.lado_inicio.size();
        std::size_t fim = p.lado_fim.size();
        std::uint64_t omitidos = p.lado_omitidos;
        if (inicio + fim > por_passe) {
            const std::size_t metade = por_passe / 2;
            if (inicio > metade) omitidos += inicio - metade, inicio = metade;
            if (fim > por_passe - inicio) omitidos += fim - (por_passe - inicio), fim = por_passe - inicio;
        }
        // Turns closer than a few pixels blur into a solid block: two turns
        // at each end, the rest a band that says how many.
        const double voltas = p.voltas_feitas();
        if (voltas > 4 && (p.z_max - p.z_min) * v.escala_y / voltas < 2.5) {
            const auto limite =
                2 * std::max<std::size_t>(1, static_cast<std::size_t>(vocabulario::passos_por_volta / p.amostra));
            if (inicio > limite) omitidos += inicio - limite, inicio = limite;
            if (fim > limite) omitidos += fim - limite, fim = limite;
        }
        const char* const largura = acabamento ? "1.6" : "0.9";
        g.abrir_polilinha(cor, largura);
        g.par(v.pagina_x(p.antes.x), v.pagina_y(p.antes.z));
        for (std::size_t k = 0; k < inicio; ++k) {
            g.s += ' ';
            g.par(v.pagina_x(p.lado_inicio[k].a), v.pagina_y(p.lado_inicio[k].b));
        }
        double z_corte_inicio = inicio > 0 ? p.lado_inicio[inicio - 1].b : p.primeiro.z;
        if (omitidos > 0) {
            g.fechar_pontos();
            const double z_retoma = fim > 0 ? p.lado_fim[(p.lado_fim_proximo + p.lado_fim.size() - fim) % p.lado_fim.size()].b : p.ultimo.z;
            const double r = std::sqrt(p.r2_max);
            g.faixa(v.pagina_x(-r), v.pagina_y(z_corte_inicio), 2 * r * v.escala_x,
                    std::max(0.0, (z_corte_inicio - z_retoma) * v.escala_y), cor, acabamento ? "0.3" : "0.06");
            if (acabamento) {
                const double resumidas =
                    static_cast<double>(omitidos * static_cast<std::uint64_t>(p.amostra)) / vocabulario::passos_por_volta;
                g.texto(v.pagina_x(0), v.pagina_y((z_corte_inicio + z_retoma) / 2) + 5, "s",
                        formatar("%.0f voltas, %.0f resumidas", std::ceil(voltas), resumidas), "middle");
            }
            g.abrir_polilinha(cor, largura);
            bool primeiro = true;
            for (std::size_t k = p.lado_fim.size() - fim; k < p.lado_fim.size(); ++k) {
                const PontoPlano& q = p.lado_fim[(p.lado_fim_proximo + k) % p.lado_fim.size()];
                if (!primeiro) g.s += ' ';
                primeiro = false;
                g.par(v.pagina_x(q.a), v.pagina_y(q.b));
            }
            if (fim == 0) g.par(v.pagina_x(p.ultimo.x), v.pagina_y(p.ultimo.z));
        } else {
            for (std::size_t k = 0; k < p.lado_fim.size(); ++k) {
                const PontoPlano& q = p.lado_fim[(p.lado_fim_proximo + k) % p.lado_fim.size()];
                g.s += ' ';
                g.par(v.pagina_x(q.a), v.pagina_y(q.b));
            }
        }
        g.s += ' ';
        g.par(v.pagina_x(p.ultimo.x), v.pagina_y(p.ultimo.z));
        g.fechar_pontos();
    }
    desenhar_alcance_perfis(g, m, v);
    marcar_falhas(g, verificacoes, v, true);
    barra_escala(g, x0 + 16, y0 + lado_painel - 12, v.escala_x, lado_painel / 4, v.escala_x == v.escala_y ? "" : "X ");
    if (v.escala_x != v.escala_y) {
        // Z drawn to a scale of its own, with its own bar, in the left margin.
        const double comprimento = comprimento_redondo(lado_painel / 4 / v.escala_y);
        const double h = comprimento * v.escala_y;
        const double xz = x0 + 14, yb = y0 + lado_painel - 40;
        g.linha(xz, yb, xz, yb - h, "esc");
        g.linha(xz - 5, yb, xz + 5, yb, "esc");
        g.linha(xz - 5, yb - h, xz + 5, yb - h, "esc");
        g.texto_vertical(xz + 14, yb - h / 2, "c", "Z " + mm(comprimento));
        g.texto(x0 + lado_painel - 8, y0 + lado_painel - 12, "c", "escalas diferentes em X e Z", "end");
    }
}

}  // namespace desenho
