// What the views and the table share: colours, scale bars, failure marks,
// rapid moves, arrowheads.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "visualizar/desenho_partes.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"

namespace desenho {

// Colours from the first roughing pass (light) to the finishing pass (strongest).
std::string cor_passe(std::size_t i, std::size_t n) {
    if (i + 1 == n) return "#08306b";
    const double t = n <= 2 ? 0.0 : static_cast<double>(i) / static_cast<double>(n - 2);
    const int r = static_cast<int>(std::lround(170 + (33 - 170) * t));
    const int g = static_cast<int>(std::lround(204 + (113 - 204) * t));
    const int b = static_cast<int>(std::lround(235 + (181 - 235) * t));
    return formatar("#%02x%02x%02x", r, g, b);
}

namespace {

// Which pass of how many a retained helix is, as the header groups helices.
std::size_t passe_da_helice(const Modelo& m, std::size_t i, std::size_t& passes) {
    const std::uint64_t por_passe = std::max<std::uint64_t>(1, helices_por_passe(m.cabecalho));
    passes = m.retidos.empty() ? 0 : static_cast<std::size_t>(m.retidos.back().ordem / por_passe) + 1;
    return static_cast<std::size_t>(m.retidos[i].ordem / por_passe);
}

}  // namespace

std::string cor_helice(const Modelo& m, std::size_t i) {
    std::size_t passes = 0;
    const std::size_t k = passe_da_helice(m, i, passes);
    return cor_passe(k, passes);
}

bool helice_de_acabamento(const Modelo& m, std::size_t i) {
    std::size_t passes = 0;
    return passe_da_helice(m, i, passes) + 1 == passes;
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

}  // namespace desenho
