#include <algorithm>
#include <cmath>

#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"

void ConferenciaCirculo::inicio_helice(const Passe& p, const Movimento& m) {
    // What the printed decimals allow each coordinate, on both axes.
    const double banda = 2 * std::sqrt(2.0) * p.erro + folga_calculo;
    conica_ = m_.conicidade_raio() != 0;
    banda_ = banda + (conica_ ? std::fabs(m_.conicidade_raio()) * erro_coordenada(std::fabs(p.primeiro.z) + 1) : 0);
    // The circle is the one the helix's first two points agree on: where it
    // starts (at the face, when a first move comes down from the air) and
    // where its first move ends. Where they do not, the one nearer the
    // radius the header gives is the circle, so that the other is named.
    // A mill's revolution may start above the face, where its upper
    // profiles cut air: its start is where it is.
    const Ponto3 inicio{p.antes.x, p.antes.y, m_.forma().voltas ? p.antes.z : std::min(p.antes.z, 0.0)};
    raio_ = m_.raio_na_face(p.primeiro);
    if (p.tem_inicio) {
        const double r_inicio = m_.raio_na_face(inicio);
        double esperado;
        if (std::fabs(r_inicio - raio_) > banda_ && raio_do_passe(m_.cabecalho, p.diametro, esperado) &&
            std::fabs(r_inicio - esperado) < std::fabs(raio_ - esperado))
            raio_ = r_inicio;
    }
    // Squared once here, so that each point of a parallel thread costs no root.
    r2_baixo_ = std::max(0.0, raio_ - banda);
    r2_baixo_ *= r2_baixo_;
    r2_alto_ = (raio_ + banda) * (raio_ + banda);
    double r;
    if (p.tem_inicio && !no_circulo(inicio, r)) falha(p, p.linha_antes != 0 ? p.linha_antes : m.linha, p.antes, r);
    if (m.tipo == TipoMovimento::arco) {
        helice(p, m);
    } else if (!no_circulo(m.para, r)) {
        falha(p, m.linha, m.para, r);
    }
}

bool ConferenciaCirculo::no_circulo(const Ponto3& q, double& r) const {
    if (conica_) {
        r = m_.raio_na_face(q);
        return std::fabs(r - raio_) <= banda_;
    }
    const double r2 = q.x * q.x + q.y * q.y;
    if (r2 >= r2_baixo_ && r2 <= r2_alto_) return true;
    r = std::hypot(q.x, q.y);
    return false;
}

void ConferenciaCirculo::helice(const Passe& p, const Movimento& m) {
    if (m.tipo == TipoMovimento::arco) [[unlikely]] {
        // An arc of the helix turns about the axis.
        const double e = 3 * p.erro + folga_calculo;
        if (std::fabs(m.centro_x) > e || std::fabs(m.centro_y) > e)
            v_.falha_no_ponto(Verificacoes::circulo, m.linha,
                              formatar("arco com centro em X %.3f Y %.3f; esperado o eixo (X 0 Y 0)", m.centro_x,
                                       m.centro_y),
                              m.para.x, m.para.y, m.para.z);
    }
    double r;
    if (!no_circulo(m.para, r)) [[unlikely]] falha(p, m.linha, m.para, r);
}

void ConferenciaCirculo::falha(const Passe& p, std::uint64_t linha, const Ponto3& q, double r) {
    const auto inicio = static_cast<unsigned long long>(p.linha_inicio);
    const double tol = 2 * std::sqrt(2.0) * p.erro;
    const double r0 = raio_;
    v_.falha_no_ponto(Verificacoes::circulo, linha,
                      conica_ ? formatar("ponto a %.4f mm do eixo na face (pela conicidade); o passe (linha %llu) esta "
                                         "a %.4f mm, tolerancia %.4f mm",
                                         r, inicio, r0, tol)
                              : formatar("ponto a %.4f mm do eixo; o passe (linha %llu) esta a %.4f mm, tolerancia "
                                         "%.4f mm",
                                         r, inicio, r0, tol),
                      q.x, q.y, q.z);
}

void ConferenciaCirculo::fim_arquivo(const Modelo& m) { houve_corte(m, v_, Verificacoes::circulo); }
