// The holes of a file that lists several: a map of all of them in a corner
// of the top view, which shows the first about its centre.
#include <algorithm>
#include <cmath>

#include "visualizar/desenho_partes.hpp"
#include "visualizar/mensagem.hpp"

namespace desenho {

void desenhar_furos(Svg& g, const Modelo& m, const std::vector<FuroVisto>& furos) {
    if (furos.empty()) return;
    constexpr double lado = 132, borda = 12;
    const double x0 = x_vista_cima + lado_painel - lado - 8, y0 = topo_painel + 30;
    g.retangulo(x0, y0, lado, lado, "moldura", "fill:#ffffff");
    g.texto(x0 + 6, y0 + 14, "c", formatar("Furos: %llu", static_cast<unsigned long long>(furos.size())));
    double x_min = furos[0].x, x_max = x_min, y_min = furos[0].y, y_max = y_min;
    for (const FuroVisto& f : furos) {
        x_min = std::min(x_min, f.x);
        x_max = std::max(x_max, f.x);
        y_min = std::min(y_min, f.y);
        y_max = std::max(y_max, f.y);
    }
    const double raio = valor_ou(m.cabecalho.Df, 0) / 2;
    const double extensao = std::max({x_max - x_min, y_max - y_min, 2 * raio, 1e-6}) + 2 * raio;
    const double util = lado - 2 * borda - 12;
    const double escala = std::isfinite(extensao) ? util / extensao : 1;
    const double mx = (x_min + x_max) / 2, my = (y_min + y_max) / 2;
    const double cx = x0 + lado / 2, cy = y0 + 12 + lado / 2;
    const double r = std::max(raio * escala, 1.5);
    // Each hole at its centre, the first marked: its path is the one drawn;
    // one the path misses or cuts otherwise in the failures' colour.
    for (std::size_t i = 0; i < furos.size(); ++i) {
        const FuroVisto& f = furos[i];
        const double px = cx + (f.x - mx) * escala, py = cy - (f.y - my) * escala;
        const char* estilo = !f.confere ? "fill:#d62728;fill-opacity:0.5;stroke:#d62728"
                             : i == 0   ? "fill:#08306b;fill-opacity:0.5;stroke:#08306b"
                                        : "fill:none;stroke:#08306b";
        g.circulo(px, py, r, "df", estilo);
    }
}

}  // namespace desenho
