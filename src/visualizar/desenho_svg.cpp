#include "visualizar/desenho_svg.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "nucleo/formato_fixo.hpp"
#include "nucleo/texto.hpp"
#include "nucleo/versao.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/quadro.hpp"
#include "vocabulario/modos_corte.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/geometria.hpp"

namespace {

// The two views side by side, then the table across the page.
constexpr double margem = 20;
constexpr double topo_painel = 112;
constexpr double lado_painel = 470;
constexpr double x_vista_cima = margem;
constexpr double x_vista_lateral = largura_pagina - margem - lado_painel;
constexpr double folga_rotulos = 40;
// Points of the top view for all passes together.
constexpr std::size_t orcamento_cima = 12000;
constexpr double cor_falha_r = 9;

const char* const estilo =
    "<style>\n"
    "text{font-family:'DejaVu Sans',Verdana,Arial,sans-serif;fill:#222}\n"
    ".t{font-size:22px;font-weight:bold}\n"
    ".s{font-size:15px}\n"
    ".n{font-size:15px;text-anchor:end}\n"
    ".c{font-size:13px;fill:#555}\n"
    ".h{font-size:16px;font-weight:bold}\n"
    ".ok{fill:#1a7f37;font-weight:bold}\n"
    ".ruim{fill:#c62828;font-weight:bold}\n"
    ".neutro{fill:#666;font-weight:bold}\n"
    ".det{font-size:14px;fill:#b71c1c}\n"
    ".moldura{fill:#fafafa;stroke:#ccc;stroke-width:1}\n"
    ".rap{stroke:#e07b00;stroke-width:1.3;stroke-dasharray:6 4;fill:none}\n"
    ".sai{stroke:#e07b00;stroke-width:0.8;stroke-dasharray:3 3;fill:none}\n"
    ".eixo{stroke:#aaa;stroke-width:0.8;stroke-dasharray:12 3 2 3;fill:none}\n"
    ".df{stroke:#333;stroke-width:1.3;fill:none}\n"
    ".di{stroke:#777;stroke-width:1.1;stroke-dasharray:3 3;fill:none}\n"
    ".us{stroke:#1b9e4b;stroke-width:1.3;stroke-dasharray:8 3;fill:none}\n"
    ".peca{fill:#e9e9e9;stroke:none}\n"
    ".cota{stroke:#999;stroke-width:0.8;stroke-dasharray:2 3;fill:none}\n"
    ".esc{stroke:#222;stroke-width:1.5;fill:none}\n"
    ".falha{stroke:#d7191c;stroke-width:2.5;fill:none}\n"
    ".nf{font-size:13px;font-weight:bold;fill:#d7191c}\n"
    ".seta{fill:#08306b}\n"
    "</style>\n";

class Svg {
public:
    std::string s;

    void num(double v) {
        // Far outside the page is as good as its edge, and stays a float.
        if (!(v > -1e7)) v = -1e7;
        if (v > 1e7) v = 1e7;
        char texto[max_fixo3];
        const std::size_t n = formatar_fixo3(texto, static_cast<float>(v));
        s.append(texto, n);
    }
    void abrir(const char* elemento) {
        s += '<';
        s += elemento;
    }
    void atributo(const char* nome, double v) {
        s += ' ';
        s += nome;
        s += "=\"";
        num(v);
        s += '"';
    }
    void atributo(const char* nome, const char* v) {
        abrir_atributo(nome);
        s += v;
        fechar_atributo();
    }
    void atributo(const char* nome, const std::string& v) { atributo(nome, v.c_str()); }
    // An attribute whose value is written in pieces (points, transform).
    void abrir_atributo(const char* nome) {
        s += ' ';
        s += nome;
        s += "=\"";
    }
    void fechar_atributo() { s += '"'; }
    // Ends an element without content.
    void fechar() { s += "/>\n"; }
    void par(double x, double y) {
        num(x);
        s += ',';
        num(y);
    }
    void texto(double x, double y, const char* classe, const std::string& conteudo, const char* ancora = nullptr) {
        abrir("text");
        atributo("x", x);
        atributo("y", y);
        atributo("class", classe);
        if (ancora != nullptr) atributo("text-anchor", ancora);
        s += '>';
        escapar(conteudo);
        s += "</text>\n";
    }
    // Text turned a quarter counter-clockwise about its anchor (x, y).
    void texto_vertical(double x, double y, const char* classe, const std::string& conteudo) {
        abrir("text");
        atributo("class", classe);
        atributo("text-anchor", "middle");
        abrir_atributo("transform");
        s += "translate(";
        par(x, y);
        s += ") rotate(-90)";
        fechar_atributo();
        s += '>';
        escapar(conteudo);
        s += "</text>\n";
    }
    // A line; `traco` and `largura`, when given, its own stroke.
    void linha(double x1, double y1, double x2, double y2, const char* classe, const char* traco = nullptr,
               const char* largura = nullptr) {
        abrir("line");
        atributo("x1", x1);
        atributo("y1", y1);
        atributo("x2", x2);
        atributo("y2", y2);
        if (classe != nullptr) atributo("class", classe);
        if (traco != nullptr) atributo("stroke", traco);
        if (largura != nullptr) atributo("stroke-width", largura);
        fechar();
    }
    void circulo(double cx, double cy, double r, const char* classe, const char* estilo = nullptr) {
        abrir("circle");
        atributo("cx", cx);
        atributo("cy", cy);
        atributo("r", r);
        atributo("class", classe);
        if (estilo != nullptr) atributo("style", estilo);
        fechar();
    }
    void retangulo(double x, double y, double w, double h, const char* classe, const std::string& estilo = "") {
        abrir("rect");
        atributo("x", x);
        atributo("y", y);
        atributo("width", w);
        atributo("height", h);
        atributo("class", classe);
        if (!estilo.empty()) atributo("style", estilo);
        fechar();
    }
    // A filled band without a class: its colour and opacity.
    void faixa(double x, double y, double w, double h, const std::string& cor, const char* opacidade) {
        abrir("rect");
        atributo("fill", cor);
        atributo("fill-opacity", opacidade);
        atributo("x", x);
        atributo("y", y);
        atributo("width", w);
        atributo("height", h);
        fechar();
    }
    // An open polyline; its points follow through `par`, then `fechar_pontos`.
    void abrir_polilinha(const std::string& cor, const char* largura) {
        abrir("polyline");
        atributo("fill", "none");
        atributo("stroke", cor);
        atributo("stroke-width", largura);
        atributo("stroke-linejoin", "round");
        abrir_atributo("points");
    }
    void fechar_pontos() {
        fechar_atributo();
        fechar();
    }
    void escapar(const std::string& t) {
        for (char c : t) {
            switch (c) {
                case '&': s += "&amp;"; break;
                case '<': s += "&lt;"; break;
                case '>': s += "&gt;"; break;
                case '"': s += "&quot;"; break;
                default:
                    // ASCII only: a file name in another encoding must not break the XML.
                    s += (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) ? '?' : c;
            }
        }
    }
};

// Colours from the first roughing pass (light) to the finishing pass (strongest).
std::string cor_passe(std::size_t i, std::size_t n) {
    if (i + 1 == n) return "#08306b";
    const double t = n <= 2 ? 0.0 : static_cast<double>(i) / static_cast<double>(n - 2);
    const int r = static_cast<int>(std::lround(170 + (33 - 170) * t));
    const int g = static_cast<int>(std::lround(204 + (113 - 204) * t));
    const int b = static_cast<int>(std::lround(235 + (181 - 235) * t));
    return formatar("#%02x%02x%02x", r, g, b);
}

// A round length for a scale bar about `alvo` mm long: 1, 2 or 5 times a power of ten.
double comprimento_redondo(double alvo) {
    if (!(alvo > 0) || !std::isfinite(alvo)) return 1;
    const double potencia = std::pow(10.0, std::floor(std::log10(alvo)));
    const double m = alvo / potencia;
    return (m >= 5 ? 5 : m >= 2 ? 2 : 1) * potencia;
}

std::string mm(double v) { return formatar("%g mm", v); }

double ferramenta(const Modelo& m) {
    return m.cabecalho.ferramenta.presente() && std::isfinite(m.cabecalho.ferramenta.v) ? m.cabecalho.ferramenta.v : 0;
}

double valor_ou(const Valor& v, double padrao) { return v.presente() && std::isfinite(v.v) ? v.v : padrao; }

void barra_escala(Svg& g, double x, double y, double escala, double largura_max, const char* eixo) {
    const double comprimento = comprimento_redondo(largura_max / escala);
    const double w = comprimento * escala;
    g.linha(x, y, x + w, y, "esc");
    g.linha(x, y - 5, x, y + 5, "esc");
    g.linha(x + w, y - 5, x + w, y + 5, "esc");
    g.texto(x + w / 2, y - 8, "c", std::string(eixo) + mm(comprimento), "middle");
}

void marcar_falhas(Svg& g, const Verificacoes& verificacoes, const Vista& v, bool lateral) {
    // Checks that fail at the same point share its ring; their numbers go
    // one under the other, each readable.
    std::vector<std::pair<double, double>> rotulos;
    for (int i = 1; i <= Verificacoes::quantidade; ++i) {
        const ResultadoVerificacao& r = verificacoes[i];
        if (r.estado != Estado::falha || !r.tem_ponto) continue;
        const double px = v.pagina_x(r.x), py = v.pagina_y(lateral ? r.z : r.y);
        if (!std::isfinite(px) || !std::isfinite(py)) continue;
        g.circulo(px, py, cor_falha_r, "falha");
        double lx = px + cor_falha_r + 2, ly = py - cor_falha_r;
        for (bool livre = false; !livre;) {
            livre = true;
            for (const auto& [x, y] : rotulos)
                if (std::fabs(x - lx) < 12 && std::fabs(y - ly) < 13) {
                    ly = y + 14;
                    livre = false;
                }
        }
        rotulos.emplace_back(lx, ly);
        g.texto(lx, ly, "nf", formatar("%d", r.numero));
    }
}

// The rapid moves of the passes drawn: how the tool goes to each pass and
// leaves it (thinner, the exits at depth), each distinct move once.
// `lateral`: X against Z, else X against Y.
void desenhar_rapidos(Svg& g, const Modelo& m, const Vista& v, bool lateral) {
    std::vector<std::array<double, 4>> feitos;
    auto desenhar = [&](const MovimentoRapido& r) {
        const double a = lateral ? r.de.z : r.de.y, b = lateral ? r.para.z : r.para.y;
        if (std::fabs(r.de.x - r.para.x) + std::fabs(a - b) <= 1e-9) return;
        const std::array<double, 4> l = {v.pagina_x(r.de.x), v.pagina_y(a), v.pagina_x(r.para.x), v.pagina_y(b)};
        for (const auto& f : feitos)
            if (std::fabs(f[0] - l[0]) + std::fabs(f[1] - l[1]) + std::fabs(f[2] - l[2]) + std::fabs(f[3] - l[3]) < 3)
                return;
        feitos.push_back(l);
        // Below the top of the part only to leave the thread.
        g.linha(l[0], l[1], l[2], l[3], r.de.z < -meia_unidade(3) ? "sai" : "rap");
    };
    for (const Passe& p : m.retidos)
        for (const MovimentoRapido& r : p.entrada) desenhar(r);
    if (const Passe* ultimo = m.ultimo_passe())
        for (const MovimentoRapido& r : ultimo->saida) desenhar(r);
}

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

namespace {

// An arrowhead at page point (x, y) pointing along (tx, ty): the arrow's
// class, or filled with `cor`.
void ponta_de_seta(Svg& g, double x, double y, double tx, double ty, double comprimento, double meia_largura,
                   const std::string& cor) {
    g.abrir("polygon");
    if (cor.empty())
        g.atributo("class", "seta");
    else
        g.atributo("fill", cor);
    g.abrir_atributo("points");
    g.par(x + tx * comprimento, y + ty * comprimento);
    g.s += ' ';
    g.par(x - ty * meia_largura, y + tx * meia_largura);
    g.s += ' ';
    g.par(x + ty * meia_largura, y - tx * meia_largura);
    g.fechar_pontos();
}

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
        const bool acabamento = i + 1 == n;
        g.abrir_polilinha(cor_passe(i, n), acabamento ? "2.6" : "1.4");
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
            g.abrir_polilinha(cor_passe(i, n), "1.2");
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
            ponta_de_seta(g, px, py, tx, ty, 9, 4, cor_passe(i, n));
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
    marcar_falhas(g, verificacoes, v, false);
    barra_escala(g, x0 + 16, y0 + lado_painel - 16, v.escala_x, lado_painel / 4, "");
}

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
        const std::string cor = cor_passe(i, n);
        const bool acabamento = i + 1 == n;
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

double desenhar_legenda(Svg& g, const Modelo& m, const Verificacoes& verificacoes, double y) {
    const Cabecalho& c = m.cabecalho;
    double x = margem;
    // A sample of the stroke (by class, or its own colour and width) and its name.
    auto item = [&](const char* classe, const char* traco, const char* espessura, const std::string& rotulo) {
        const double largura = 32 + 7.2 * static_cast<double>(rotulo.size());
        if (x + largura > largura_pagina - margem) {
            x = margem;
            y += 20;
        }
        g.linha(x, y - 5, x + 26, y - 5, classe, traco, espessura);
        g.texto(x + 32, y, "c", rotulo);
        x += largura + 22;
    };
    item("", "#08306b", "2.6", "passe de acabamento (centro da ferramenta)");
    if (m.passes > 1) item("", "#7fb0dc", "1.4", "passes de desbaste");
    item("rap", nullptr, nullptr, "movimento rapido");
    if (c.Df.presente()) item("df", nullptr, nullptr, formatar("Df %.2f", c.Df.v));
    if ((c.interna() || c.externa()) && !c.Di_desabilitado && c.Di.presente())
        item("di", nullptr, nullptr, formatar(c.interna() ? "Di %.2f (furo)" : "Di %.2f (blank)", c.Di.v));
    if (c.interna() && m.extensoes.diametro.presente())
        item("us", nullptr, nullptr, formatar("usinado %.3f", m.extensoes.diametro.v));
    if (!verificacoes.todas_ok()) {
        if (x + 240 > largura_pagina - margem) {
            x = margem;
            y += 20;
        }
        g.circulo(x + 8, y - 5, 7, "falha");
        g.texto(x + 20, y, "c", "falha (numero da verificacao)");
    }
    return y;
}

// The table: passes, header beside the path, totals, checks, unreadable lines.
double desenhar_tabela(Svg& g, const Modelo& m, const Verificacoes& verificacoes, double y) {
    const Quadro q = montar_quadro(m);
    const double x0 = margem;
    const double linha = 21;

    g.texto(x0, y, "h", "Passes");
    y += linha;
    static const double colunas[Quadro::colunas_passe] = {95, 225, 375, 480, 610, 820};
    g.texto(x0 + 22, y, "c", "cor");
    for (std::size_t i = 0; i < Quadro::colunas_passe; ++i) g.texto(x0 + colunas[i], y, "c", Quadro::titulos_passe[i], "end");
    y += linha;
    for (std::size_t r = 0; r < q.passes.size(); ++r) {
        g.retangulo(x0 + 20, y - 11, 26, 8, "", "fill:" + cor_passe(r, q.passes.size()));
        for (std::size_t i = 0; i < Quadro::colunas_passe; ++i) g.texto(x0 + colunas[i], y, "n", q.passes[r][i]);
        y += linha;
    }
    if (q.passes_nao_mostrados > 0) {
        g.texto(x0 + 20, y, "c",
                formatar("mais %llu passes entre os mostrados (desenhados e listados: %llu, espalhados pelo arquivo)",
                         static_cast<unsigned long long>(q.passes_nao_mostrados),
                         static_cast<unsigned long long>(q.passes.size())));
        y += linha;
    }

    y += 12;
    const double y_colunas = y;
    g.texto(x0, y, "h", "Cabecalho x percurso");
    y += linha;
    g.texto(x0 + 175, y, "c", "cabecalho");
    g.texto(x0 + 330, y, "c", "percurso");
    y += linha;
    for (const auto& c : q.comparacoes) {
        g.texto(x0, y, "s", c.rotulo);
        g.texto(x0 + 175, y, "s", c.cabecalho);
        g.texto(x0 + 330, y, "s", c.percurso);
        y += linha;
    }
    double y2 = y_colunas;
    const double x2 = 580;
    g.texto(x2, y2, "h", "Totais");
    y2 += linha * 2;
    for (const auto& t : q.totais) {
        g.texto(x2, y2, "s", t.rotulo);
        g.texto(largura_pagina - margem, y2, "n", t.valor);
        y2 += linha;
    }
    y = std::max(y, y2) + 12;

    g.texto(x0, y, "h", "Verificacoes");
    y += linha;
    for (int i = 1; i <= Verificacoes::quantidade; ++i) {
        if (!verificacoes.visivel(i)) continue;
        const ResultadoVerificacao& r = verificacoes[i];
        g.texto(x0, y, "s", formatar("%d. %s", r.numero, r.titulo));
        const char* classe = r.estado == Estado::ok ? "s ok" : r.estado == Estado::falha ? "s ruim" : "s neutro";
        g.texto(largura_pagina - margem, y, classe, nome_estado(r.estado), "end");
        y += linha;
        std::string detalhe;
        if (r.estado == Estado::falha) {
            detalhe = (r.linha != 0 ? formatar("linha %llu: ", static_cast<unsigned long long>(r.linha)) : std::string()) +
                      r.detalhe;
            if (r.ocorrencias > 1) {
                detalhe += ' ';
                detalhe += verificacoes.ocorrencias(i);
            }
        } else if (r.estado != Estado::ok) {
            detalhe = r.detalhe;
        }
        if (!detalhe.empty()) {
            for (const std::string& l : linhas_quebradas(detalhe, 112)) {
                g.texto(x0 + 22, y - 2, r.estado == Estado::falha ? "det" : "c", l);
                y += linha - 2;
            }
        }
    }
    if (m.total_ilegiveis > 0) {
        y += 12;
        g.texto(x0, y, "h", formatar("Linhas que nao se leem: %llu", static_cast<unsigned long long>(m.total_ilegiveis)));
        y += linha;
        for (const LinhaIlegivel& l : m.ilegiveis) {
            g.texto(x0 + 22, y, "det", formatar("linha %llu: ", static_cast<unsigned long long>(l.numero)) + l.texto);
            y += linha - 2;
        }
        if (m.total_ilegiveis > m.ilegiveis.size()) {
            g.texto(x0 + 22, y, "det",
                    formatar("... e mais %llu", static_cast<unsigned long long>(m.total_ilegiveis - m.ilegiveis.size())));
            y += linha - 2;
        }
    }
    return y;
}

}  // namespace

std::string desenhar_svg(const Analise& a, const std::string& nome) {
    const Modelo& m = a.modelo;
    Svg corpo;
    corpo.s.reserve(256 * 1024);
    const bool ok = a.verificacoes.todas_ok();
    corpo.texto(margem, 34, "t", "Percurso de " + nome);
    corpo.texto(margem, 60, "s", montar_quadro(m).rosca + formatar(" - %llu passe(s), %llu movimentos de corte",
                                                                 static_cast<unsigned long long>(m.passes),
                                                                 static_cast<unsigned long long>(m.movimentos)));
    corpo.texto(largura_pagina - margem, 34, ok ? "h ok" : "h ruim",
                ok ? "Tudo confere" : "ATENCAO: ha falhas", "end");
    corpo.texto(largura_pagina - margem, 60, "c", std::string("rosca-visualizar ") + versao_programa, "end");
    // The dialect and the ways of cutting, on the two lines above the views.
    std::string modos = vocabulario::descrever_modos(m.cabecalho.modos);
    if (!modos.empty()) modos = " - Modos de cortar: " + modos;
    double y_modos = 82;
    for (const std::string& l : linhas_quebradas("Comando: " + m.dialeto.nome() + modos, 136)) {
        if (y_modos >= topo_painel) break;
        corpo.texto(margem, y_modos, "c", l);
        y_modos += 17;
    }
    desenhar_vista_cima(corpo, m, a.verificacoes);
    desenhar_vista_lateral(corpo, m, a.verificacoes);
    const double y_legenda = desenhar_legenda(corpo, m, a.verificacoes, topo_painel + lado_painel + 24);
    const double y = desenhar_tabela(corpo, m, a.verificacoes, y_legenda + 38);
    const double altura = std::ceil(y + margem);

    Svg g;
    g.s.reserve(corpo.s.size() + 1024);
    g.s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    g.abrir("svg");
    g.atributo("xmlns", "http://www.w3.org/2000/svg");
    g.atributo("version", "1.1");
    g.atributo("width", largura_pagina);
    g.atributo("height", altura);
    g.abrir_atributo("viewBox");
    g.s += "0 0 ";
    g.num(largura_pagina);
    g.s += ' ';
    g.num(altura);
    g.fechar_atributo();
    g.s += ">\n<title>";
    g.escapar("Percurso de " + nome);
    g.s += "</title>\n";
    g.s += estilo;
    // White under everything, whatever the viewer's background.
    g.abrir("rect");
    for (const char* atributo : {"x", "y"}) g.atributo(atributo, "0");
    g.atributo("width", "100%");
    g.atributo("height", "100%");
    g.atributo("fill", "#ffffff");
    g.fechar();
    g.s += corpo.s;
    g.s += "</svg>\n";
    return g.s;
}
