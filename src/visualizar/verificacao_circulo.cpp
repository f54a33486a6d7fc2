#include <algorithm>
#include <cmath>

#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"

void ConferenciaCirculo::inicio_passe(const Passe& p, const Movimento& m) {
    // What the printed decimals allow each coordinate, on both axes; squared
    // once here so that each point costs no root.
    const double r0 = std::hypot(p.primeiro.x, p.primeiro.y);
    const double banda = 2 * std::sqrt(2.0) * p.erro + folga_calculo;
    conica_ = m_.conicidade_raio() != 0;
    if (conica_) {
        // The radius follows Z: each point is judged at the face.
        r_face_ = m_.raio_na_face(p.primeiro);
        banda_ = banda + std::fabs(m_.conicidade_raio()) * erro_coordenada(std::fabs(p.primeiro.z) + 1);
    }
    r2_baixo_ = std::max(0.0, r0 - banda);
    r2_baixo_ *= r2_baixo_;
    r2_alto_ = (r0 + banda) * (r0 + banda);
    if (m.tipo == TipoMovimento::arco) corte(p, m);
}

void ConferenciaCirculo::corte(const Passe& p, const Movimento& m) {
    const double x = m.para.x, y = m.para.y;
    if (m.tipo == TipoMovimento::arco) [[unlikely]] {
        // An arc of the helix turns about the axis.
        const double e = 3 * p.erro + folga_calculo;
        if (std::fabs(m.centro_x) > e || std::fabs(m.centro_y) > e)
            v_.falha_no_ponto(Verificacoes::circulo, m.linha,
                              formatar("arco com centro em X %.3f Y %.3f; esperado o eixo (X 0 Y 0)", m.centro_x,
                                       m.centro_y),
                              x, y, m.para.z);
    }
    if (conica_) [[unlikely]] {
        const double r = m_.raio_na_face(m.para);
        if (std::fabs(r - r_face_) > banda_) falha(p, m, r, r_face_);
        return;
    }
    const double r2 = x * x + y * y;
    if (r2 >= r2_baixo_ && r2 <= r2_alto_) return;
    falha(p, m, std::hypot(x, y), std::hypot(p.primeiro.x, p.primeiro.y));
}

void ConferenciaCirculo::falha(const Passe& p, const Movimento& m, double r, double r0) {
    const auto linha = static_cast<unsigned long long>(p.linha_inicio);
    const double tol = 2 * std::sqrt(2.0) * p.erro;
    v_.falha_no_ponto(Verificacoes::circulo, m.linha,
                      conica_ ? formatar("ponto a %.4f mm do eixo na face (pela conicidade); o passe (linha %llu) esta "
                                         "a %.4f mm, tolerancia %.4f mm",
                                         r, linha, r0, tol)
                              : formatar("ponto a %.4f mm do eixo; o passe (linha %llu) esta a %.4f mm, tolerancia "
                                         "%.4f mm",
                                         r, linha, r0, tol),
                      m.para.x, m.para.y, m.para.z);
}

void ConferenciaCirculo::fim_arquivo(const Modelo& m) { houve_corte(m, v_, Verificacoes::circulo); }
