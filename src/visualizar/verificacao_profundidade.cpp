#include <cmath>
#include <limits>

#include "visualizar/arco.hpp"
#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"

namespace {

constexpr std::uint64_t passos_volta = vocabulario::passos_por_volta;

// Angle of a point as the generator counts it: counter-clockwise for a left
// hand, clockwise for a right hand (its Y is the sine times minus the radius).
double angulo_gerador(double x, double y, int sentido) { return std::atan2(sentido * y, x) * graus_por_radiano; }

double reduzir_180(double graus) {
    double r = std::fmod(graus, 360.0);
    if (r > 180) r -= 360;
    if (r <= -180) r += 360;
    return r;
}

const char* nome_giro(int sentido) { return sentido > 0 ? "anti-horario" : "horario"; }

}  // namespace

void ConferenciaProfundidade::inicio_passe(const Passe& ps, const Movimento& m) {
    using V = Verificacoes;
    const Cabecalho& c = m_.cabecalho;
    if (ps.tem_volta && ps.voltas != 1)
        v_.falha(V::profundidade_e_avanco, ps.linha_volta,
                 formatar("o passe comeca pela volta %lld", static_cast<long long>(ps.voltas)));

    const double x = m.para.x, y = m.para.y, z = m.para.z;
    const double r0 = std::hypot(x, y);
    const double e = ps.erro;
    sentido_ = ps.sinal_giro;
    subindo_ = m_.modos() && c.modos.subindo;
    sinal_z_ = subindo_ ? -1 : 1;
    giro_c_ = cos_grau;
    giro_s_ = sentido_ * sen_grau;
    // Along a taper the radius changes a little from one point to the next.
    const double conica = std::fabs(m_.conicidade_raio()) *
                          (c.p.presente() && std::isfinite(c.p.v) ? std::fabs(c.p.v) / passos_volta : 0);
    tol_giro_ = e * (1 + cos_grau + sen_grau) + conica + r0 * 1e-9 + folga_calculo;

    const double magnitude = (c.L.presente() && std::isfinite(c.L.v) ? std::fabs(c.L.v) : std::fabs(z)) +
                             (c.p.presente() && std::isfinite(c.p.v) ? 2 * std::fabs(c.p.v) : 0) + 1;
    const double e_z = erro_coordenada(magnitude);
    e_z_ = e_z;
    tol_passo_ = c.p.presente() ? meia_unidade(c.p.decimais) + meio_ulp(c.p.v) : 0;
    if (m.tipo == TipoMovimento::arco || subindo_) {
        // Arcs, or a pass from the thread length up: where it starts is
        // checked here, the arcs one by one, and where it ends at its end.
        conferir_volta_ = false;
        passo_min_ = 0;
        passo_max_ = std::numeric_limits<double>::infinity();
        if (c.p.presente() && std::isfinite(c.p.v) && c.p.v > 0) {
            const double pz = c.p.v / passos_volta;
            passo_min_ = std::max(0.0, pz - 2 * e_z - tol_passo_ / passos_volta - folga_calculo);
            passo_max_ = pz + 2 * e_z + tol_passo_ / passos_volta + folga_calculo;
            volta_min_ = c.p.v - 2 * e_z - tol_passo_ - folga_calculo;
            volta_max_ = c.p.v + 2 * e_z + tol_passo_ + folga_calculo;
            conferir_volta_ = m.tipo != TipoMovimento::arco;
        }
        if (c.L.presente() && std::isfinite(c.L.v)) {
            const double inicio = -ps.antes.z;
            const double tol = meia_unidade(c.L.decimais) + e_z + folga_calculo;
            // From the face down an arc starts at Z 0; from the thread length up
            // at L (arcs) or at the first one-degree point at or past it (chords).
            const double alem = m.tipo == TipoMovimento::arco ? 0 : passo_max_;
            if (!subindo_ && std::fabs(inicio) > e_z + folga_calculo)
                v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                                  formatar("o passe comeca a Z %.3f; esperado Z 0", ps.antes.z), ps.antes.x,
                                  ps.antes.y, ps.antes.z);
            if (subindo_ && (inicio < c.L.v - tol || inicio > c.L.v + alem + tol))
                v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                                  formatar("o passe de baixo para cima comeca a Z %.3f; L = %.2f", ps.antes.z, c.L.v),
                                  ps.antes.x, ps.antes.y, ps.antes.z);
        }
        if (!subindo_ && ps.tem_inicio && c.angulo_inicial.presente() && r0 > 50 * e) {
            const double a0 = angulo_gerador(ps.antes.x, ps.antes.y, sentido_);
            const double tol = 2 * e / r0 * graus_por_radiano + meia_unidade(c.angulo_inicial.decimais);
            // Chords start at the whole degree at or before the start angle.
            const double d = reduzir_180(a0 - c.angulo_inicial.v);
            const double antes = m.tipo == TipoMovimento::arco ? 0 : 1;
            if (d > tol || d < -antes - tol)
                v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                                  formatar("ponto inicial a %.2f graus; o cabecalho diz %.1f graus", a0,
                                           c.angulo_inicial.v),
                                  ps.antes.x, ps.antes.y, ps.antes.z);
        }
        if (m.tipo == TipoMovimento::arco)
            arco(m);
        else
            corda(m);
        z_volta_[0] = z;
        return;
    }
    if (c.p.presente() && std::isfinite(c.p.v) && c.p.v > 0) {
        const double pz = c.p.v / passos_volta;
        const double tp = meia_unidade(c.p.decimais) + meio_ulp(c.p.v);
        passo_min_ = std::max(0.0, pz - 2 * e_z - tp / passos_volta - folga_calculo);
        passo_max_ = pz + 2 * e_z + tp / passos_volta + folga_calculo;
        volta_min_ = c.p.v - 2 * e_z - tp - folga_calculo;
        volta_max_ = c.p.v + 2 * e_z + tp + folga_calculo;
        conferir_volta_ = true;
        if (std::fabs(-z - pz) > e_z + tp / passos_volta + folga_calculo)
            v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                              formatar("primeiro ponto do passe a Z %.3f; esperado Z %.3f (um grau abaixo de Z 0)",
                                       z, -pz),
                              x, y, z);
    } else {
        passo_min_ = 0;
        passo_max_ = std::numeric_limits<double>::infinity();
        conferir_volta_ = false;
    }

    // The start point lies at the start angle, the first move at the next
    // whole degree, at most one degree on in the hand's direction.
    if (ps.tem_inicio && r0 > 50 * e) {
        const double tol = 2 * e / r0 * graus_por_radiano;
        const double a0 = angulo_gerador(ps.antes.x, ps.antes.y, sentido_);
        const double a1 = angulo_gerador(x, y, sentido_);
        if (c.angulo_inicial.presente()) {
            const double d = reduzir_180(a0 - c.angulo_inicial.v);
            // Written by the writer of other-shaped passes, the chords start
            // at the whole degree at or before the start angle.
            const double antes = m_.modos() ? 1 : 0;
            if (d > meia_unidade(c.angulo_inicial.decimais) + tol ||
                d < -antes - meia_unidade(c.angulo_inicial.decimais) - tol)
                v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                                  formatar("ponto inicial a %.2f graus; o cabecalho diz %.1f graus", a0,
                                           c.angulo_inicial.v),
                                  ps.antes.x, ps.antes.y, ps.antes.z);
        }
        double avanco = std::fmod(a1 - a0 + 720.0, 360.0);
        if (avanco > 360 - tol) avanco -= 360;
        const double inteiro = std::fabs(reduzir_180(a1 - std::round(a1)));
        if (avanco < -tol || avanco > 1 + tol || inteiro > tol)
            v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                              formatar("primeiro movimento a %.3f graus do ponto inicial; esperado ate 1 grau no "
                                       "sentido %s, num grau inteiro",
                                       avanco, nome_giro(sentido_)),
                              x, y, z);
    }
    z_volta_[0] = z;
}

void ConferenciaProfundidade::corte(const Passe& ps, const Movimento& m) {
    if (m.tipo == TipoMovimento::arco) [[unlikely]] {
        arco(m);
        return;
    }
    corda(m);
    const double z = m.para.z;
    const auto k = static_cast<std::size_t>(ps.movimentos % passos_volta);
    if (conferir_volta_ && ps.movimentos >= passos_volta) {
        const double volta = sinal_z_ * (z_volta_[k] - z);
        if (volta < volta_min_ || volta > volta_max_) falha_volta(m, volta);
    }
    z_volta_[k] = z;
}

void ConferenciaProfundidade::comentario_no_passe(const Passe& p, const Comentario& c, std::uint64_t linha) {
    if (c.tipo != TipoComentario::volta) return;
    if (c.j != p.voltas + 1)
        v_.falha(Verificacoes::profundidade_e_avanco, linha,
                 formatar("volta %lld depois da volta %lld", static_cast<long long>(c.j),
                          static_cast<long long>(p.voltas)));
    // From the thread length up, the way in ends on the first point: one move fewer.
    else if (p.movimentos + (subindo_ ? 1 : 0) != static_cast<std::uint64_t>(c.j - 1) * passos_volta)
        v_.falha(Verificacoes::profundidade_e_avanco, linha,
                 formatar("volta %lld comeca depois de %llu movimentos do passe; esperado %llu",
                          static_cast<long long>(c.j), static_cast<unsigned long long>(p.movimentos),
                          static_cast<unsigned long long>(c.j - 1) * passos_volta));
}

void ConferenciaProfundidade::fim_passe(const Passe& ps) {
    using V = Verificacoes;
    const Cabecalho& c = m_.cabecalho;
    const auto numero = static_cast<long long>(ps.numero);
    if (subindo_ || ps.arcos > 0) {
        fim_modos(ps);
    } else if (c.L.presente() && c.p.presente()) {
        // Ends at the thread length, at most one one-degree step past it.
        const double profundidade = -ps.ultimo.z;
        const double tol = meia_unidade(c.L.decimais) + erro_coordenada(std::fabs(c.L.v) + 1) + folga_calculo;
        const double passo = (c.p.v + meia_unidade(c.p.decimais)) / passos_volta;
        if (profundidade < c.L.v - tol || profundidade > c.L.v + passo + tol)
            v_.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                              formatar("passe %lld termina a Z %.3f; L = %.2f (ate um passo de 1 grau alem)",
                                       numero, ps.ultimo.z, c.L.v),
                              ps.ultimo.x, ps.ultimo.y, ps.ultimo.z);
    }
    const auto voltas = static_cast<std::int64_t>((ps.movimentos + passos_volta - 1) / passos_volta);
    if (ps.numero >= 0 && ps.arcos == 0 && ps.voltas != voltas)
        v_.falha(V::profundidade_e_avanco, ps.linha_fim,
                 formatar("passe %lld: %lld comentarios de volta para %llu movimentos (%lld voltas)", numero,
                          static_cast<long long>(ps.voltas), static_cast<unsigned long long>(ps.movimentos),
                          static_cast<long long>(voltas)));
}

void ConferenciaProfundidade::fim_arquivo(const Modelo& m) {
    if (!houve_corte(m, v_, Verificacoes::profundidade_e_avanco)) return;
    const Cabecalho& c = m.cabecalho;
    const bool L = falha_se_ilegivel(c, v_, Verificacoes::profundidade_e_avanco, "L", "o fim em L nao pode ser conferido");
    const bool p = falha_se_ilegivel(c, v_, Verificacoes::profundidade_e_avanco, "p",
                                     "a profundidade por grau e por volta nao pode ser conferida");
    falha_se_ilegivel(c, v_, Verificacoes::profundidade_e_avanco, "angulo inicial",
                      "o ponto inicial nao pode ser conferido");
    if (!L && !p && (!c.p.presente() || !c.L.presente()))
        v_.falha(Verificacoes::profundidade_e_avanco, 0, "sem o passo p ou o comprimento L no cabecalho");
    conferir_z_minimo(m);
}

// The deepest the path goes: the header says so where it is below L, for
// the hole must be that deep; below L by up to the last chord's step it may
// go without saying.
void ConferenciaProfundidade::conferir_z_minimo(const Modelo& m) {
    const Cabecalho& c = m.cabecalho;
    const double z = std::min(m.z_corte_min, m.z_min);
    if (!std::isfinite(z)) return;
    const double tol = 2 * erro_coordenada(std::fabs(z)) + folga_calculo;
    if (c.z_minimo.presente()) {
        if (std::fabs(z - c.z_minimo.v) > tol + meia_unidade(c.z_minimo.decimais))
            v_.falha(Verificacoes::profundidade_e_avanco, c.linha_de[static_cast<std::size_t>(TipoComentario::z_minimo)],
                     formatar("o percurso desce a Z %.3f; o cabecalho diz Z minimo %.3f", z, c.z_minimo.v));
        return;
    }
    if (!c.L.presente() || !c.p.presente() || !std::isfinite(c.L.v) || !std::isfinite(c.p.v)) return;
    const double limite = c.L.v + meia_unidade(c.L.decimais) + std::fabs(c.p.v) / vocabulario::passos_por_volta +
                          meia_unidade(c.p.decimais) + tol;
    if (-z > limite)
        v_.falha(Verificacoes::profundidade_e_avanco, m.linha_z_min,
                 formatar("o percurso desce a Z %.3f, abaixo de L %.2f, e o cabecalho nao diz o Z minimo do "
                          "percurso (o furo precisa dessa profundidade)",
                          z, c.L.v));
}

// A chord of the helix: one degree on from the previous point, turned the
// pass's way, one degree's share of the pitch deeper (or higher).
void ConferenciaProfundidade::corda(const Movimento& m) {
    const double x = m.para.x, y = m.para.y;
    const double xr = giro_c_ * m.de.x - giro_s_ * m.de.y;
    const double yr = giro_s_ * m.de.x + giro_c_ * m.de.y;
    if (std::fabs(x - xr) > tol_giro_ || std::fabs(y - yr) > tol_giro_) falha_avanco(m, xr, yr);
    const double passo = sinal_z_ * (m.de.z - m.para.z);
    if (passo < passo_min_ || passo > passo_max_) falha_profundidade(m, passo);
}

// An arc of the helix: turning the pass's way, at most half a turn, one
// pitch deeper (or higher) per turn.
void ConferenciaProfundidade::arco(const Movimento& m) {
    using V = Verificacoes;
    const Cabecalho& c = m_.cabecalho;
    const double cx = m.centro_x, cy = m.centro_y;
    const int giro = m.horario ? -1 : 1;
    if (giro != sentido_) {
        v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                          formatar("arco %s; o passe gira no sentido %s", nome_giro(giro), nome_giro(sentido_)),
                          m.para.x, m.para.y, m.para.z);
        return;
    }
    const double varredura = graus_do_arco(m);
    const double r = std::hypot(m.de.x - cx, m.de.y - cy);
    const double tol_a = r > 0 ? 2 * erro_coordenada(r) / r * graus_por_radiano : 360;
    if (varredura > 180 + tol_a)
        v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                          formatar("arco de %.1f graus; no maximo 180 graus por bloco", varredura), m.para.x,
                          m.para.y, m.para.z);
    if (!c.p.presente() || !std::isfinite(c.p.v)) return;
    const double esperado = c.p.v * varredura / 360;
    const double passo = sinal_z_ * (m.de.z - m.para.z);
    const double tol = 2 * e_z_ + tol_passo_ * varredura / 360 + c.p.v * tol_a / 360 + folga_calculo;
    if (std::fabs(passo - esperado) > tol)
        v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                          formatar("arco de %.1f graus %s %.4f mm em Z; o passo p da %.4f mm", varredura,
                                   subindo_ ? "sobe" : "desce", passo, esperado),
                          m.para.x, m.para.y, m.para.z);
}

// The end of a pass of arcs or from the thread length up: at L exactly
// (arcs) or within a one-degree step past it, or back at the face where it
// started.
void ConferenciaProfundidade::fim_modos(const Passe& ps) {
    using V = Verificacoes;
    const Cabecalho& c = m_.cabecalho;
    const auto numero = static_cast<long long>(ps.numero);
    if (!c.L.presente() || !c.p.presente()) return;
    const double tol = meia_unidade(c.L.decimais) + erro_coordenada(std::fabs(c.L.v) + 1) + folga_calculo;
    if (subindo_) {
        if (std::fabs(ps.ultimo.z) > tol)
            v_.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                              formatar("passe %lld termina a Z %.3f; esperado Z 0 (de baixo para cima)", numero,
                                       ps.ultimo.z),
                              ps.ultimo.x, ps.ultimo.y, ps.ultimo.z);
        return;
    }
    const double profundidade = -ps.ultimo.z;
    if (std::fabs(profundidade - c.L.v) > tol)
        v_.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                          formatar("passe %lld termina a Z %.3f; L = %.2f", numero, ps.ultimo.z, c.L.v), ps.ultimo.x,
                          ps.ultimo.y, ps.ultimo.z);
}

void ConferenciaProfundidade::falha_avanco(const Movimento& m, double xr, double yr) {
    v_.falha_no_ponto(Verificacoes::profundidade_e_avanco, m.linha,
                      formatar("ponto X %.3f Y %.3f fora do avanco de 1 grau %s; esperado X %.3f Y %.3f", m.para.x,
                               m.para.y, nome_giro(sentido_), xr, yr),
                      m.para.x, m.para.y, m.para.z);
}

void ConferenciaProfundidade::falha_profundidade(const Movimento& m, double passo) {
    const Cabecalho& c = m_.cabecalho;
    std::string texto;
    if (passo < 0)
        texto = formatar(subindo_ ? "a profundidade desce de Z %.3f para Z %.3f" : "a profundidade sobe de Z %.3f para Z %.3f",
                         m.para.z + sinal_z_ * passo, m.para.z);
    else if (c.p.presente())
        texto = formatar("avanco em Z de %.4f mm num grau; esperado p / 360 = %.4f mm", passo, c.p.v / passos_volta);
    else
        texto = formatar("avanco em Z de %.4f mm num grau", passo);
    v_.falha_no_ponto(Verificacoes::profundidade_e_avanco, m.linha, texto, m.para.x, m.para.y, m.para.z);
}

void ConferenciaProfundidade::falha_volta(const Movimento& m, double volta) {
    v_.falha_no_ponto(
        Verificacoes::profundidade_e_avanco, m.linha,
        formatar("avanco em Z de %.4f mm numa volta; o passo p do cabecalho e %.2f mm", volta, m_.cabecalho.p.v),
        m.para.x, m.para.y, m.para.z);
}
