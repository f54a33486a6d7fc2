// What a pass of several helices adds to the views: the reach of a mill's
// profiles beside the thread in the side view, the starts of a thread of
// several round the top view. Both as the header states them, which the
// checks hold the path to.
#include <algorithm>
#include <cmath>

#include "visualizar/desenho_partes.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/geometria.hpp"
#include "vocabulario/helices.hpp"

namespace desenho {

namespace {

// Beyond these the marks would be a solid block: the header is what the checks judge.
constexpr std::int64_t max_voltas_desenhadas = 200;
constexpr std::int64_t max_perfis_desenhados = 50;
constexpr std::int64_t max_entradas_desenhadas = 64;

// The colour of the finishing pass, which the legend names.
constexpr char cor_alcance[] = "#08306b";

}  // namespace

void desenhar_alcance_perfis(Svg& g, const Modelo& m, const Vista& v) {
    const Cabecalho& c = m.cabecalho;
    const std::int64_t perfis = c.modos.perfis, voltas = c.modos.voltas_por_passe;
    if (perfis <= 1 || voltas < 1 || voltas > max_voltas_desenhadas || perfis > max_perfis_desenhados) return;
    if (!c.L.presente() || !c.p.presente() || !std::isfinite(c.L.v) || !(c.p.v > 0) || !std::isfinite(c.p.v)) return;
    // Beside the helices, left of the axis, clear of the depths' labels on the right.
    double raio = 0;
    for (const Passe& p : m.retidos) raio = std::max(raio, std::sqrt(p.r2_max));
    const double x = v.pagina_x(-raio) - 12;
    if (!std::isfinite(x)) return;
    for (std::int64_t j = 0; j < voltas; ++j) {
        const double baixo = vocabulario::profundidade_volta(c.L.v, c.p.v, perfis, voltas, j) + c.p.v;
        const double alto = baixo - static_cast<double>(perfis) * c.p.v;
        const double xj = x - static_cast<double>(j % 2) * 6;
        g.linha(xj, v.pagina_y(-alto), xj, v.pagina_y(-baixo), nullptr, cor_alcance, "2");
        // Each profile's tip, one pitch apart.
        for (std::int64_t k = 0; k < perfis; ++k) {
            const double y = v.pagina_y(-(baixo - static_cast<double>(k) * c.p.v));
            g.linha(xj - 3, y, xj + 3, y, nullptr, cor_alcance, "1");
        }
    }
    // Over the first revolution's reach, which starts highest.
    const double topo = vocabulario::profundidade_volta(c.L.v, c.p.v, perfis, voltas, 0) + c.p.v -
                        static_cast<double>(perfis) * c.p.v;
    g.texto(x - 4, v.pagina_y(-topo) - 6, "c",
            formatar("alcance: %lld perfis x %lld volta(s)", static_cast<long long>(perfis),
                     static_cast<long long>(voltas)));
}

void desenhar_entradas(Svg& g, const Modelo& m, const Vista& v) {
    const Cabecalho& c = m.cabecalho;
    const std::int64_t entradas = c.modos.entradas;
    if (entradas <= 1 || entradas > max_entradas_desenhadas) return;
    if (!c.angulo_inicial.presente() || !std::isfinite(c.angulo_inicial.v)) return;
    // To the passes' widest ring, where the starts meet the face.
    double raio = 0;
    for (const Passe& p : m.retidos) raio = std::max(raio, std::sqrt(p.r2_max));
    if (!(raio > 0)) raio = valor_ou(c.Df, 0) / 2;
    if (!(raio > 0) || !std::isfinite(raio)) return;
    // The generator's angles turn with the hand: clockwise seen from above for a right hand.
    const double s = c.sentido == 'E' ? 1 : -1;
    for (std::int64_t k = 0; k < entradas; ++k) {
        const double a = static_cast<double>(vocabulario::angulo_da_entrada(c.angulo_inicial.v, k, entradas)) /
                         graus_por_radiano;
        const double ux = std::cos(a), uy = s * std::sin(a);
        // Page Y grows downward.
        const double px = v.pagina_x(raio * ux), py = v.pagina_y(raio * uy);
        g.linha(v.pagina_x(0), v.pagina_y(0), px + 18 * ux, py - 18 * uy, nullptr, cor_alcance, "1");
        g.circulo(px, py, 3, "seta");
        g.texto(px + 22 * ux, py - 22 * uy + 4, "c", formatar("entrada %lld", static_cast<long long>(k + 1)),
                ux >= 0 ? "start" : "end");
    }
}

}  // namespace desenho
