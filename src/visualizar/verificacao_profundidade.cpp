#include <algorithm>
#include <cmath>
#include <limits>

#include "visualizar/arco.hpp"
#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/segmentador.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/helices.hpp"

// One path for every helix: it meets the face at the header's start angle,
// turns one degree per chord (or its sweep per arc) in the hand's direction,
// one pitch per turn, and reaches the thread length; face down from the
// start angle, or from the thread length up to it. The one move that is no
// whole degree is the chord at the face: from the start angle to the first
// whole degree past it, one step below the face.

namespace {

using V = Verificacoes;
constexpr std::uint64_t passos_volta = vocabulario::passos_por_volta;

// Angle of a point as the generator counts it: counter-clockwise for a left
// hand, clockwise for a right hand (its Y is the sine times minus the
// radius), or along the travel for `sentido` the pass's turning sign.
double angulo_gerador(double x, double y, int sentido) { return std::atan2(sentido * y, x) * graus_por_radiano; }

double reduzir_180(double graus) {
    double r = std::fmod(graus, 360.0);
    if (r > 180) r -= 360;
    if (r <= -180) r += 360;
    return r;
}

const char* nome_giro(int sentido) { return sentido > 0 ? "anti-horario" : "horario"; }

}  // namespace

void ConferenciaProfundidade::inicio_helice(const Passe& ps, const Movimento& m) {
    const Cabecalho& c = m_.cabecalho;
    volta_ = m_.forma().voltas;
    if (ps.tem_volta && ps.voltas != 1 && !volta_)
        v_.falha(V::profundidade_e_avanco, ps.linha_volta,
                 formatar("o passe comeca pela volta %lld", static_cast<long long>(ps.voltas)));

    const double r0 = std::hypot(m.para.x, m.para.y);
    const double e = ps.erro;
    sentido_ = ps.sinal_giro;
    sobe_ = ps.sobe;
    sinal_z_ = sobe_ ? -1 : 1;
    // The generator's angles turn with the hand, whichever way a pass runs.
    sentido_angulo_ = sobe_ ? -sentido_ : sentido_;
    giro_c_ = cos_grau;
    giro_s_ = sentido_ * sen_grau;
    const bool p_conhecido = c.p.presente() && std::isfinite(c.p.v);
    // A thread of several starts advances a lead, that many pitches, a turn.
    entradas_ = std::clamp<std::int64_t>(c.modos.entradas, 1, 1'000'000);
    avanco_conhecido_ = p_conhecido;
    avanco_ = p_conhecido ? c.p.v * static_cast<double>(entradas_) : 0;
    // Along a taper the radius changes a little from one point to the next.
    const double conica = std::fabs(m_.conicidade_raio()) * (p_conhecido ? std::fabs(avanco_) / passos_volta : 0);
    tol_giro_ = e * (1 + cos_grau + sen_grau) + conica + r0 * 1e-9 + folga_calculo;

    const double magnitude = (c.L.presente() && std::isfinite(c.L.v) ? std::fabs(c.L.v) : std::fabs(m.para.z)) +
                             (p_conhecido ? 2 * std::fabs(avanco_) : 0) + 1;
    e_z_ = erro_coordenada(magnitude);
    tol_passo_ = c.p.presente() ? meia_unidade(c.p.decimais) + meio_ulp(c.p.v) : 0;
    tol_avanco_ = tol_passo_ * static_cast<double>(entradas_);
    passo_min_ = 0;
    passo_max_ = std::numeric_limits<double>::infinity();
    conferir_volta_ = false;
    if (p_conhecido && c.p.v > 0) {
        const double pz = avanco_ / passos_volta;
        passo_min_ = std::max(0.0, pz - 2 * e_z_ - tol_avanco_ / passos_volta - folga_calculo);
        passo_max_ = pz + 2 * e_z_ + tol_avanco_ / passos_volta + folga_calculo;
        volta_min_ = avanco_ - 2 * e_z_ - tol_avanco_ - folga_calculo;
        volta_max_ = avanco_ + 2 * e_z_ + tol_avanco_ + folga_calculo;
        // A revolution's chords start and end off the whole degrees.
        conferir_volta_ = m.tipo != TipoMovimento::arco && !volta_;
    }
    // Start k of several meets the face a k-th share of the turn on.
    const Valor& a0 = c.angulo_inicial;
    angulo_entrada_ = a0.v;
    if (a0.presente() && entradas_ > 1)
        angulo_entrada_ = static_cast<double>(vocabulario::angulo_da_entrada(
            a0.v, static_cast<std::int64_t>(helice_no_passe(c, ps.ordem) % static_cast<std::uint64_t>(entradas_)),
            entradas_));
    familia_ = (entradas_ > 1 || volta_) && p_conhecido && c.p.v > 0 && a0.presente() && std::isfinite(a0.v);

    if (volta_) {
        // The header's count first: every revolution is placed by it.
        if (ps.ordem == 0) conferir_voltas(c);
        inicio_volta(ps, m);
        mover(m, true);
        if (familia_) conferir_familia(m.para, m.linha);
        return;
    }

    // Where the helix starts, at the line that put the cutter there.
    const Ponto3& s = ps.antes;
    const std::uint64_t linha = ps.linha_antes != 0 ? ps.linha_antes : m.linha;
    if (!sobe_) {
        // Face down it starts at the face, or comes down to it from the air.
        if (s.z < -(e_z_ + folga_calculo))
            v_.falha_no_ponto(V::profundidade_e_avanco, linha, formatar("o passe comeca a Z %.3f; esperado Z 0", s.z),
                              s.x, s.y, s.z);
        if (ps.tem_inicio && r0 > 50 * e) conferir_angulo(s, r0, e, linha, "ponto inicial");
    } else if (c.L.presente() && std::isfinite(c.L.v)) {
        // From the thread length up at L (arcs), or at the one-degree point at or past it (chords).
        const double inicio = -s.z;
        const double tol = meia_unidade(c.L.decimais) + e_z_ + folga_calculo;
        const double alem = m.tipo == TipoMovimento::arco ? 0 : passo_max_;
        if (inicio < c.L.v - tol || inicio > c.L.v + alem + tol)
            v_.falha_no_ponto(V::profundidade_e_avanco, linha,
                              formatar("o passe de baixo para cima comeca a Z %.3f; L = %.2f", s.z, c.L.v), s.x, s.y,
                              s.z);
    }
    mover(m, true);
    z_volta_[0] = m.para.z;
    x_volta_[0] = m.para.x;
    y_volta_[0] = m.para.y;
    if (familia_) [[unlikely]] conferir_familia(m.para, m.linha);
}

void ConferenciaProfundidade::helice(const Passe& ps, const Movimento& m) {
    if (familia_) [[unlikely]] conferir_familia(m.para, m.linha);
    if (m.tipo == TipoMovimento::arco) [[unlikely]] {
        arco(m);
        return;
    }
    // Nearly every move: a chord below the face, checked here without
    // going through mover's choice.
    if (volta_ || (sobe_ && !abaixo_da_face(m.para.z))) [[unlikely]]
        mover(m, false);
    else
        corda(m);
    // The step of the turn the move ends at, and whether a whole turn is behind it.
    const auto k = static_cast<std::size_t>(ps.movimentos % passos_volta);
    const double z = m.para.z;
    if (conferir_volta_ && ps.movimentos >= passos_volta) {
        const double x0 = x_volta_[k], y0 = y_volta_[k];
        const bool mesmo_angulo = std::fabs(x0 * m.para.y - y0 * m.para.x) <= 1e-3 * (x0 * m.para.x + y0 * m.para.y);
        const double volta = sinal_z_ * (z_volta_[k] - z);
        if (mesmo_angulo && (volta < volta_min_ || volta > volta_max_)) falha_volta(m, volta);
    }
    z_volta_[k] = z;
    x_volta_[k] = m.para.x;
    y_volta_[k] = m.para.y;
}

void ConferenciaProfundidade::mover(const Movimento& m, bool primeiro) {
    if (m.tipo == TipoMovimento::arco)
        arco(m);
    else if (volta_)
        corda_volta(m);
    else if (sobe_ ? !abaixo_da_face(m.para.z) : primeiro)
        corda_na_face(m);
    else
        corda(m);
}

void ConferenciaProfundidade::comentario_no_passe(const Passe& p, const Comentario& c, std::uint64_t linha,
                                                  std::uint64_t movimentos) {
    if (c.tipo != TipoComentario::volta) return;
    if (c.j != p.voltas + 1)
        v_.falha(V::profundidade_e_avanco, linha,
                 formatar("volta %lld depois da volta %lld", static_cast<long long>(c.j),
                          static_cast<long long>(p.voltas)));
    // From the thread length up, the way in ends on the first point: one move
    // fewer. With options a first chord short of the printing's resolution
    // (a start a hair off a whole degree) is no move: one fewer again.
    else if (const std::uint64_t feitos = movimentos + (sobe_ ? 1 : 0), esperados = static_cast<std::uint64_t>(c.j - 1) * passos_volta;
             feitos != esperados && !(m_.cabecalho.com_opcoes() && feitos + 1 == esperados))
        v_.falha(V::profundidade_e_avanco, linha,
                 formatar("volta %lld comeca depois de %llu movimentos do passe; esperado %llu",
                          static_cast<long long>(c.j), static_cast<unsigned long long>(movimentos),
                          static_cast<unsigned long long>(c.j - 1) * passos_volta));
}

void ConferenciaProfundidade::fim_passe(const Passe& ps) {
    if (volta_) {
        fim_volta(ps);
        return;
    }
    const Cabecalho& c = m_.cabecalho;
    const auto numero = static_cast<long long>(ps.numero);
    if (c.L.presente() && c.p.presente()) {
        const double tol = meia_unidade(c.L.decimais) + erro_coordenada(std::fabs(c.L.v) + 1) + folga_calculo;
        const Ponto3& u = ps.ultimo;
        if (sobe_) {
            if (std::fabs(u.z) > tol)
                v_.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                                  formatar("passe %lld termina a Z %.3f; esperado Z 0 (de baixo para cima)", numero,
                                           u.z),
                                  u.x, u.y, u.z);
            const double r = std::hypot(u.x, u.y);
            if (r > 50 * ps.erro) conferir_angulo(u, r, ps.erro, ps.linha_fim, "ponto final na face");
        } else if (ps.arcos > 0) {
            // Arcs end at L itself.
            if (std::fabs(-u.z - c.L.v) > tol)
                v_.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                                  formatar("passe %lld termina a Z %.3f; L = %.2f", numero, u.z, c.L.v), u.x, u.y, u.z);
        } else {
            // Chords end at L, at most one one-degree step past it.
            const double profundidade = -u.z;
            const double passo = (avanco_ + tol_avanco_) / passos_volta;
            if (profundidade < c.L.v - tol || profundidade > c.L.v + passo + tol)
                v_.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                                  formatar("passe %lld termina a Z %.3f; L = %.2f (ate um passo de 1 grau alem)",
                                           numero, u.z, c.L.v),
                                  u.x, u.y, u.z);
        }
    }
    const auto voltas = static_cast<std::int64_t>((ps.movimentos + passos_volta - 1) / passos_volta);
    // (Counting the chord too short to print, where options allow one.)
    const auto voltas_com_uma = static_cast<std::int64_t>((ps.movimentos + passos_volta) / passos_volta);
    if (ps.numero >= 0 && ps.arcos == 0 && ps.voltas != voltas &&
        !(m_.cabecalho.com_opcoes() && ps.voltas == voltas_com_uma))
        v_.falha(V::profundidade_e_avanco, ps.linha_fim,
                 formatar("passe %lld: %lld comentarios de volta para %llu movimentos (%lld voltas)", numero,
                          static_cast<long long>(ps.voltas), static_cast<unsigned long long>(ps.movimentos),
                          static_cast<long long>(voltas)));
}

void ConferenciaProfundidade::fim_arquivo(const Modelo& m) {
    if (!houve_corte(m, v_, V::profundidade_e_avanco)) return;
    const Cabecalho& c = m.cabecalho;
    const bool L = falha_se_ilegivel(c, v_, V::profundidade_e_avanco, "L", "o fim em L nao pode ser conferido");
    const bool p = falha_se_ilegivel(c, v_, V::profundidade_e_avanco, "p",
                                     "a profundidade por grau e por volta nao pode ser conferida");
    falha_se_ilegivel(c, v_, V::profundidade_e_avanco, "angulo inicial", "o ponto inicial nao pode ser conferido");
    if (!L && !p && (!c.p.presente() || !c.L.presente()))
        v_.falha(V::profundidade_e_avanco, 0, "sem o passo p ou o comprimento L no cabecalho");
    conferir_z_minimo(m);
}

// The deepest the path goes: the header says so where it is below L, for
// the hole must be that deep; below L by up to the last chord's step it may
// go without saying.
void ConferenciaProfundidade::conferir_z_minimo(const Modelo& m) {
    const Cabecalho& c = m.cabecalho;
    const visualizador::Extremos& e = m.extremos;
    const double z = std::min(e.z_corte_min, e.z_min);
    if (!std::isfinite(z)) return;
    const double tol = 2 * erro_coordenada(std::fabs(z)) + folga_calculo;
    if (c.z_minimo.presente()) {
        if (std::fabs(z - c.z_minimo.v) > tol + meia_unidade(c.z_minimo.decimais))
            v_.falha(V::profundidade_e_avanco, c.linha_de[static_cast<std::size_t>(TipoComentario::z_minimo)],
                     formatar("o percurso desce a Z %.3f; o cabecalho diz Z minimo %.3f", z, c.z_minimo.v));
        return;
    }
    if (!c.L.presente() || !c.p.presente() || !std::isfinite(c.L.v) || !std::isfinite(c.p.v)) return;
    const auto entradas = static_cast<double>(std::clamp<std::int64_t>(c.modos.entradas, 1, 1'000'000));
    const double limite = c.L.v + meia_unidade(c.L.decimais) +
                          entradas * (std::fabs(c.p.v) / vocabulario::passos_por_volta + meia_unidade(c.p.decimais)) +
                          tol;
    if (-z > limite)
        v_.falha(V::profundidade_e_avanco, e.linha_z_min,
                 formatar("o percurso desce a Z %.3f, abaixo de L %.2f, e o cabecalho nao diz o Z minimo do "
                          "percurso (o furo precisa dessa profundidade)",
                          z, c.L.v));
}

// Where the helix meets the face: at the header's start angle, to the
// file's rounding.
void ConferenciaProfundidade::conferir_angulo(const Ponto3& p, double r, double e, std::uint64_t linha,
                                              const char* qual) {
    const Valor& angulo = m_.cabecalho.angulo_inicial;
    if (!angulo.presente()) return;
    const double a = angulo_gerador(p.x, p.y, sentido_angulo_);
    const double tol = 2 * std::sqrt(2.0) * e / r * graus_por_radiano + meia_unidade(angulo.decimais);
    if (std::fabs(reduzir_180(a - angulo_entrada_)) > tol) {
        if (entradas_ > 1)
            v_.falha_no_ponto(V::profundidade_e_avanco, linha,
                              formatar("%s a %.2f graus; a entrada deste passe comeca a %.2f graus (angulo inicial "
                                       "%.1f mais uma parte de 360 / %lld)",
                                       qual, a, angulo_entrada_, angulo.v, static_cast<long long>(entradas_)),
                              p.x, p.y, p.z);
        else
            v_.falha_no_ponto(V::profundidade_e_avanco, linha,
                              formatar("%s a %.2f graus; o cabecalho diz %.1f graus", qual, a, angulo.v), p.x, p.y,
                              p.z);
    }
}

// A chord of the helix: one degree on from the previous point, turned the
// pass's way, one degree's share of the pitch deeper (or higher).
inline void ConferenciaProfundidade::corda(const Movimento& m) {
    const double x = m.para.x, y = m.para.y;
    const double xr = giro_c_ * m.de.x - giro_s_ * m.de.y;
    const double yr = giro_s_ * m.de.x + giro_c_ * m.de.y;
    if (std::fabs(x - xr) > tol_giro_ || std::fabs(y - yr) > tol_giro_) falha_avanco(m, xr, yr);
    const double passo = sinal_z_ * (m.de.z - m.para.z);
    if (passo < passo_min_ || passo > passo_max_) falha_profundidade(m, passo);
}

// The chord at the face: between the face, at the start angle, and the
// first whole degree past it in the hand's direction. Face down it starts
// there (or comes down from the air to the first whole degree); from the
// thread length up it ends there. With options it goes down the helix's
// share of a degree's step for what it turns; the program without options
// goes a whole step down, however short the chord.
void ConferenciaProfundidade::corda_na_face(const Movimento& m) {
    const Cabecalho& c = m_.cabecalho;
    const Ponto3& grau = sobe_ ? m.de : m.para;
    const double r = std::hypot(grau.x, grau.y);
    const double e = erro_coordenada(r);
    const bool angulo = m.de_conhecido && r > 50 * e;
    // Each end off by up to the rounding of both its coordinates.
    const double tol = angulo ? 2 * std::sqrt(2.0) * e / r * graus_por_radiano : 0;
    double avanco = 1, a0 = 0, a1 = 0;
    if (angulo) {
        a0 = angulo_gerador(m.de.x, m.de.y, sentido_);
        a1 = angulo_gerador(m.para.x, m.para.y, sentido_);
        avanco = std::fmod(a1 - a0 + 720.0, 360.0);
        if (avanco > 360 - tol) avanco -= 360;
    }
    if (c.p.presente() && std::isfinite(c.p.v) && c.p.v > 0) {
        // The helix's depth at the whole-degree point: its share of a
        // degree's step for how far it turns from the start's angle, the
        // pass's way, whatever the chord turns. The start's own point gives
        // the angle to more decimals than the header, unless it is off the
        // header's (which is its own failure).
        const Valor& a = c.angulo_inicial;
        const Ponto3& face = sobe_ ? m.para : m.de;
        double inicio = angulo_entrada_, incerteza = meia_unidade(a.decimais);
        if (angulo && a.presente()) {
            const double medido = angulo_gerador(face.x, face.y, sentido_angulo_);
            if (std::fabs(reduzir_180(medido - inicio)) <= incerteza + tol + folga_calculo) inicio = medido, incerteza = tol;
        }
        const double inicio_giro = sobe_ ? -inicio : inicio, em_grau = angulo_gerador(grau.x, grau.y, sentido_);
        const double giro = std::fmod((sobe_ ? inicio_giro - em_grau : em_grau - inicio_giro) + 720.0, 360.0);
        const bool parte = c.com_opcoes() && angulo && a.presente() && giro < 2;
        const double passo = avanco_ / passos_volta;
        const double pz = parte ? passo * giro : passo;
        if (std::fabs(-grau.z - pz) >
            e_z_ + tol_avanco_ / passos_volta + (parte ? (incerteza + tol) * passo : 0) + folga_calculo)
            v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                              formatar(sobe_ ? "ultimo ponto antes da face a Z %.3f; esperado Z %.3f (%s)"
                                             : "primeiro ponto do passe a Z %.3f; esperado Z %.3f (%s)",
                                       grau.z, -pz, parte ? "a helice no angulo do ponto" : "um grau abaixo de Z 0"),
                              m.para.x, m.para.y, m.para.z);
    }
    if (!angulo) return;
    const double a_grau = sobe_ ? a0 : a1;
    const double inteiro = std::fabs(reduzir_180(a_grau - std::round(a_grau)));
    if (avanco < -tol || avanco > 1 + tol || inteiro > tol)
        v_.falha_no_ponto(
            V::profundidade_e_avanco, m.linha,
            formatar(sobe_ ? "ultimo movimento a %.3f graus da face; esperado ate 1 grau no sentido %s, de um grau "
                             "inteiro"
                           : "primeiro movimento a %.3f graus do ponto inicial; esperado ate 1 grau no sentido %s, num "
                             "grau inteiro",
                     avanco, nome_giro(sentido_)),
            m.para.x, m.para.y, m.para.z);
}

// An arc of the helix: turning the pass's way, at most half a turn, one
// pitch deeper (or higher) per turn.
void ConferenciaProfundidade::arco(const Movimento& m) {
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
    const double esperado = avanco_ * varredura / 360;
    const double passo = sinal_z_ * (m.de.z - m.para.z);
    const double tol = 2 * e_z_ + tol_avanco_ * varredura / 360 + avanco_ * tol_a / 360 + folga_calculo;
    if (std::fabs(passo - esperado) > tol)
        v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                          formatar("arco de %.1f graus %s %.4f mm em Z; o passo p da %.4f mm", varredura,
                                   sobe_ ? "sobe" : "desce", passo, esperado),
                          m.para.x, m.para.y, m.para.z);
}

void ConferenciaProfundidade::falha_avanco(const Movimento& m, double xr, double yr) {
    v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                      formatar("ponto X %.3f Y %.3f fora do avanco de 1 grau %s; esperado X %.3f Y %.3f", m.para.x,
                               m.para.y, nome_giro(sentido_), xr, yr),
                      m.para.x, m.para.y, m.para.z);
}

void ConferenciaProfundidade::falha_profundidade(const Movimento& m, double passo) {
    const Cabecalho& c = m_.cabecalho;
    std::string texto;
    if (passo < 0)
        texto = formatar(sobe_ ? "a profundidade desce de Z %.3f para Z %.3f" : "a profundidade sobe de Z %.3f para Z %.3f",
                         m.para.z + sinal_z_ * passo, m.para.z);
    else if (c.p.presente() && entradas_ > 1)
        texto = formatar("avanco em Z de %.4f mm num grau; esperado o avanco por volta / 360 = %.4f mm", passo,
                         avanco_ / passos_volta);
    else if (c.p.presente())
        texto = formatar("avanco em Z de %.4f mm num grau; esperado p / 360 = %.4f mm", passo, c.p.v / passos_volta);
    else
        texto = formatar("avanco em Z de %.4f mm num grau", passo);
    v_.falha_no_ponto(V::profundidade_e_avanco, m.linha, texto, m.para.x, m.para.y, m.para.z);
}

void ConferenciaProfundidade::falha_volta(const Movimento& m, double volta) {
    if (entradas_ > 1) {
        v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                          formatar("avanco em Z de %.4f mm numa volta; %lld entradas de passo %.2f mm avancam %.4f mm",
                                   volta, static_cast<long long>(entradas_), m_.cabecalho.p.v, avanco_),
                          m.para.x, m.para.y, m.para.z);
        return;
    }
    v_.falha_no_ponto(
        V::profundidade_e_avanco, m.linha,
        formatar("avanco em Z de %.4f mm numa volta; o passo p do cabecalho e %.2f mm", volta, m_.cabecalho.p.v),
        m.para.x, m.para.y, m.para.z);
}

// Where a revolution of a mill of several profiles starts and ends: the
// lowest profile one pitch a turn from the depth its place in the pass
// gives, face down or from the thread length up, the revolutions numbered
// in the order the file cuts them.
void ConferenciaProfundidade::inicio_volta(const Passe& ps, const Movimento& m) {
    const Cabecalho& c = m_.cabecalho;
    const std::int64_t voltas = c.modos.voltas_por_passe, perfis = c.modos.perfis;
    const auto k = static_cast<std::int64_t>(helice_no_passe(c, ps.ordem));
    if (ps.tem_volta && ps.voltas != k + 1)
        v_.falha(V::profundidade_e_avanco, ps.linha_volta,
                 formatar("volta %lld do passe comentada como volta %lld", static_cast<long long>(k + 1),
                          static_cast<long long>(ps.voltas)));
    tol_volta_ = -1;
    if (!avanco_conhecido_ || !(c.p.v > 0) || !c.L.presente() || !std::isfinite(c.L.v) || voltas < 1) return;
    const std::int64_t j = sobe_ ? voltas - 1 - k : k;
    const double prof = vocabulario::profundidade_volta(c.L.v, c.p.v, perfis, voltas, j);
    const double inicio = sobe_ ? prof + c.p.v : prof;
    fim_volta_ = sobe_ ? prof : prof + c.p.v;
    tol_volta_ = meia_unidade(c.L.decimais) + (1 + static_cast<double>(voltas - 1 - j) * static_cast<double>(perfis)) *
                                                  tol_passo_ +
                 2 * e_z_ + folga_calculo;
    const Ponto3& s = ps.tem_inicio ? ps.antes : m.para;
    const std::uint64_t linha = ps.tem_inicio && ps.linha_antes != 0 ? ps.linha_antes : m.linha;
    if (std::fabs(-s.z - inicio) > tol_volta_)
        v_.falha_no_ponto(V::profundidade_e_avanco, linha,
                          formatar("volta %lld do passe comeca a Z %.3f; esperado Z %.3f (%lld perfis, %lld volta(s) "
                                   "por passe, %lld passo(s) entre voltas)",
                                   static_cast<long long>(k + 1), s.z, -inicio, static_cast<long long>(perfis),
                                   static_cast<long long>(voltas), static_cast<long long>(perfis)),
                          s.x, s.y, s.z);
    if (familia_ && ps.tem_inicio) conferir_familia(s, linha);
}

// A revolution is one whole turn: 360 one-degree chords (361 where it
// starts off a whole degree) or arcs of 360 degrees, ending a pitch on.
void ConferenciaProfundidade::fim_volta(const Passe& ps) {
    const Ponto3& u = ps.ultimo;
    if (tol_volta_ >= 0 && std::fabs(-u.z - fim_volta_) > tol_volta_)
        v_.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                          formatar("volta termina a Z %.3f; esperado Z %.3f, um passo %s do seu inicio", u.z,
                                   -fim_volta_, sobe_ ? "acima" : "abaixo"),
                          u.x, u.y, u.z);
    if (ps.arcos > 0) {
        if (std::fabs(ps.graus - 360) > 0.5)
            v_.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                              formatar("volta de %.1f graus; esperado 360 graus", ps.graus), u.x, u.y, u.z);
    } else if (ps.movimentos < passos_volta || ps.movimentos > passos_volta + 1) {
        v_.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                          formatar("volta de %llu cordas; esperado 360 (361 se comeca fora de um grau inteiro)",
                                   static_cast<unsigned long long>(ps.movimentos)),
                          u.x, u.y, u.z);
    }
}

// A chord of a revolution: at most one degree on, the pass's way, its depth
// following the turn; the first and the last reach the whole degrees from
// the revolution's ends.
void ConferenciaProfundidade::corda_volta(const Movimento& m) {
    const double r = std::hypot(m.para.x, m.para.y);
    const double e = erro_coordenada(r);
    if (!(r > 50 * e) || !m.de_conhecido) return;
    // Each end off by the printing in both axes, along the taper too.
    const double conica = std::fabs(m_.conicidade_raio()) * std::fabs(m.para.z - m.de.z);
    const double tol = (2 * std::sqrt(2.0) * e + conica) / r * graus_por_radiano + folga_calculo;
    const double a0 = angulo_gerador(m.de.x, m.de.y, sentido_), a1 = angulo_gerador(m.para.x, m.para.y, sentido_);
    double avanco = std::fmod(a1 - a0 + 720.0, 360.0);
    if (avanco > 360 - tol) avanco -= 360;
    if (avanco < -tol || avanco > 1 + tol) {
        v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                          formatar("movimento de %.3f graus; esperado ate 1 grau no sentido %s", avanco,
                                   nome_giro(sentido_)),
                          m.para.x, m.para.y, m.para.z);
        return;
    }
    if (!avanco_conhecido_) return;
    const double passo = sinal_z_ * (m.de.z - m.para.z);
    const double esperado = avanco_ * avanco / passos_volta;
    if (std::fabs(passo - esperado) > 2 * e_z_ + (tol_avanco_ + avanco_ * tol) / passos_volta + folga_calculo)
        v_.falha_no_ponto(V::profundidade_e_avanco, m.linha,
                          formatar("avanco em Z de %.4f mm em %.3f graus; o passo p da %.4f mm", passo, avanco,
                                   esperado),
                          m.para.x, m.para.y, m.para.z);
}

// The header's revolutions a pass: as many as the profiles need to reach
// from the face to L, to the printing of L and p.
void ConferenciaProfundidade::conferir_voltas(const Cabecalho& c) {
    const std::uint64_t linha = c.linha_de[static_cast<std::size_t>(TipoComentario::perfis)];
    const std::int64_t perfis = c.modos.perfis, voltas = c.modos.voltas_por_passe;
    if (!c.L.presente() || !c.p.presente() || !std::isfinite(c.L.v) || !std::isfinite(c.p.v)) return;
    const double tl = meia_unidade(c.L.decimais), tp = meia_unidade(c.p.decimais) + meio_ulp(c.p.v);
    if (!(c.p.v - tp > 0)) return;
    const std::int64_t menos = vocabulario::voltas_por_passe(c.L.v - tl, c.p.v + tp, perfis);
    const std::int64_t mais = vocabulario::voltas_por_passe(c.L.v + tl, c.p.v - tp, perfis);
    if (voltas < menos || voltas > mais) {
        const std::int64_t certo = vocabulario::voltas_por_passe(c.L.v, c.p.v, perfis);
        v_.falha(V::profundidade_e_avanco, linha,
                 voltas < certo
                     ? formatar("%lld volta(s) por passe de %lld perfis nao alcancam da face a L %.2f (passo %.2f): "
                                "sao precisas %lld",
                                static_cast<long long>(voltas), static_cast<long long>(perfis), c.L.v, c.p.v,
                                static_cast<long long>(certo))
                     : formatar("%lld volta(s) por passe de %lld perfis; L %.2f e passo %.2f pedem %lld",
                                static_cast<long long>(voltas), static_cast<long long>(perfis), c.L.v, c.p.v,
                                static_cast<long long>(certo)));
    }
}

// On the thread's helix, one of its other starts, or whole pitches from
// them: depth and angle agree to the printing of the point, the start angle
// and the pitch (whose error grows with the turns down).
void ConferenciaProfundidade::conferir_familia(const Ponto3& q, std::uint64_t linha) {
    const double r = std::hypot(q.x, q.y);
    const double e = erro_coordenada(r);
    if (!(r > 50 * e)) return;
    const Cabecalho& c = m_.cabecalho;
    const double a = angulo_gerador(q.x, q.y, sentido_angulo_);
    const double prof = -q.z;
    const double d = vocabulario::desvio_da_familia(a, prof, c.angulo_inicial.v, c.p.v, entradas_);
    // Without options a start's helix leaves the face along the chord to the
    // first whole degree, one degree's step deep however short: the rest of
    // it follows up to a degree's step from the exact one. With options
    // (several starts, a mill of several profiles) every point is on it.
    const double face = volta_ || c.com_opcoes() ? 0 : avanco_ / passos_volta;
    const double tol = e_z_ +
                       (2 * e / r * graus_por_radiano + meia_unidade(c.angulo_inicial.decimais)) * avanco_ /
                           passos_volta +
                       (std::fabs(prof) + avanco_) / c.p.v * tol_passo_ + face + folga_calculo;
    if (std::fabs(d) > tol) [[unlikely]]
        v_.falha_no_ponto(V::profundidade_e_avanco, linha,
                          formatar("ponto a %.4f mm em Z da helice da rosca mais proxima (ou de uma a passos inteiros "
                                   "dela); tolerancia %.4f mm",
                                   d, tol),
                          q.x, q.y, q.z);
}
