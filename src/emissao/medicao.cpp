#include "emissao/medicao.hpp"

#include <cmath>
#include <limits>

#include "emissao/avanco.hpp"
#include "emissao/linearizacao.hpp"
#include "percurso/trajeto.hpp"

namespace {

// Thrown past `max_movimentos_medidos` moves.
struct MedidaLonga {};

// The verbs, measured instead of written.
class Medidor final : public Verbos {
public:
    double minutos = 0;
    double avanco = 0;

    void rapido(const Alvo& a, bool) override { ir(a); }
    void reta(const Alvo& a, Compensacao) override {
        const double x = x_, y = y_, z = z_;
        ir(a);
        minutos += std::sqrt((x_ - x) * (x_ - x) + (y_ - y) * (y_ - y) + (z_ - z) * (z_ - z)) / avanco;
    }
    void arco(const Alvo& fim, Ponto centro, double graus) override {
        const int giro = graus > 0 ? 1 : -1;
        const double a0 = std::atan2(y_ - centro.y, x_ - centro.x);
        const double raio = std::hypot(x_ - centro.x, y_ - centro.y);
        const double z = z_;
        ir(fim);
        double varredura = std::atan2(y_ - centro.y, x_ - centro.x) - a0;
        constexpr double volta = 2 * 3.14159265358979323846;
        while (giro > 0 && varredura <= 0) varredura += volta;
        while (giro < 0 && varredura >= 0) varredura -= volta;
        // Whole turns more than the ends tell.
        if (std::fabs(graus) > 360) varredura += giro * volta * std::floor((std::fabs(graus) + 1e-6) / 360);
        minutos += std::hypot(raio * varredura, z_ - z) / avanco;
    }
    void volta(std::int64_t) override {}

private:
    void ir(const Alvo& a) {
        if (++movimentos_ > max_movimentos_medidos) throw MedidaLonga{};
        if (a.tem_xy) x_ = a.xy.x, y_ = a.xy.y;
        if (a.tem_z) z_ = -a.profundidade;
    }
    double x_ = 0, y_ = 0, z_ = 0;
    std::uint64_t movimentos_ = 0;
};

}  // namespace

double minutos_de_corte(const Percurso& percurso) {
    Medidor m;
    // The first pass starts from the approach over the axis.
    Alvo alto;
    alto.tem_xy = alto.tem_z = true;
    alto.profundidade = -static_cast<double>(percurso.altura_aproximacao);
    SequenciaPasses sequencia(percurso);
    PassePercurso p;
    PasseTrajeto t;
    try {
        m.rapido(alto, false);
        while (sequencia.proximo(p)) {
            tracar_passe(percurso, p, t);
            // At the feed the control is given, not the one answered.
            m.avanco = p.avanco > 0 ? avanco_escrito(p.avanco, casas_avanco_passe)
                                    : avanco_escrito(static_cast<double>(percurso.avanco), casas_avanco);
            for (const Segmento& s : t.segmentos) {
                switch (s.tipo) {
                    case TipoSegmento::rapido: m.rapido(s.alvo, s.saindo); break;
                    case TipoSegmento::reta: m.reta(s.alvo, s.compensacao); break;
                    case TipoSegmento::arco: linearizar_arco(s, percurso.modos.arcos, m); break;
                    case TipoSegmento::volta: break;
                    case TipoSegmento::helice:
                        linearizar_helice(s.indice_helice >= 0 ? t.voltas[static_cast<std::size_t>(s.indice_helice)]
                                                               : t.helice,
                                          m);
                        break;
                }
            }
        }
    } catch (const MedidaLonga&) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return m.minutos;
}
