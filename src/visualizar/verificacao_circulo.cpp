#include <algorithm>
#include <cmath>

#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"

void ConferenciaCirculo::inicio_passe(const Passe& p, const Movimento&) {
    // What the printed decimals allow each coordinate, on both axes; squared
    // once here so that each point costs no root.
    const double r0 = std::hypot(p.primeiro.x, p.primeiro.y);
    const double banda = 2 * std::sqrt(2.0) * p.erro + folga_calculo;
    r2_baixo_ = std::max(0.0, r0 - banda);
    r2_baixo_ *= r2_baixo_;
    r2_alto_ = (r0 + banda) * (r0 + banda);
}

void ConferenciaCirculo::corte(const Passe& p, const Movimento& m) {
    const double x = m.para.x, y = m.para.y;
    const double r2 = x * x + y * y;
    if (r2 >= r2_baixo_ && r2 <= r2_alto_) return;
    const double r0 = std::sqrt(p.primeiro.x * p.primeiro.x + p.primeiro.y * p.primeiro.y);
    v_.falha_no_ponto(Verificacoes::circulo, m.linha,
                      formatar("ponto a %.4f mm do eixo; o passe (linha %llu) esta a %.4f mm, tolerancia %.4f mm",
                               std::hypot(x, y), static_cast<unsigned long long>(p.linha_inicio), r0,
                               2 * std::sqrt(2.0) * p.erro),
                      x, y, m.para.z);
}

void ConferenciaCirculo::fim_arquivo(const Modelo& m) { houve_corte(m, v_, Verificacoes::circulo); }
