#include <algorithm>
#include <cmath>

#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/helices.hpp"

namespace {

std::string duracao(double s) { return s >= 120 ? formatar("%.4g min", s / 60) : formatar("%.4g s", s); }

}  // namespace

void ConferenciaPreambulo::inicio_helice(const Passe& p, const Movimento& m) {
    if (p.ordem == 0 && m_.preambulo.linha_m3 == 0)
        v_.falha(Verificacoes::rapidos_e_preambulo, m.linha, "corte sem M3 (fuso ligado) antes do primeiro movimento");
    // A mill of several profiles goes from one revolution of a pass to the
    // next beside the thread, at depth: away from it, not up.
    const bool outra_volta = m_.forma().voltas && helice_no_passe(m_.cabecalho, p.ordem) != 0;
    if (retracao_ == Retracao::afastar && outra_volta)
        v_.falha(Verificacoes::rapidos_e_preambulo, m.linha, "nova volta sem antes se afastar da rosca");
    else if (retracao_ != Retracao::nenhuma && !outra_volta)
        v_.falha(Verificacoes::rapidos_e_preambulo, m.linha, "novo passe sem antes subir acima de Z 0");
    retracao_ = Retracao::nenhuma;
    apos_corte_ = true;
    caminho_apos_helice_ = false;
    rumo_de(m);
}

void ConferenciaPreambulo::entrada(const Movimento& m) {
    apos_corte_ = true;
    rumo_de(m);
}

void ConferenciaPreambulo::saida(const Passe* p, const Movimento& m) {
    apos_corte_ = true;
    if (p != nullptr) caminho_apos_helice_ = true;
    fim_saida_ = m.para;
    rumo_de(m);
}

void ConferenciaPreambulo::rumo_de(const Movimento& m) {
    if (m.tipo == TipoMovimento::arco) {
        const double rx = m.para.x - m.centro_x, ry = m.para.y - m.centro_y;
        const double s = m.horario ? -1 : 1, r = std::hypot(rx, ry);
        if (!(r > 0)) return;
        rumo_x_ = -s * ry / r;
        rumo_y_ = s * rx / r;
        rumo_erro_ = 2 * std::sqrt(2.0) * erro_coordenada(std::hypot(m.para.x, m.para.y)) / r;
        tem_rumo_ = true;
        return;
    }
    const double dx = m.para.x - m.de.x, dy = m.para.y - m.de.y, l = std::hypot(dx, dy);
    if (!(l > meia_unidade(3))) return;
    rumo_x_ = dx / l;
    rumo_y_ = dy / l;
    rumo_erro_ = 2 * std::sqrt(2.0) * erro_coordenada(std::hypot(m.para.x, m.para.y)) / l;
    tem_rumo_ = true;
}

void ConferenciaPreambulo::fim_passe(const Passe& p) {
    ultimo_corte_ = p.ultimo;
    raio_ultimo_ = p.raio();
    erro_ultimo_ = p.erro;
    apos_corte_ = true;
    // The helix's own last direction, where no way out followed it.
    if (!caminho_apos_helice_ && p.movimentos > 1) {
        if (p.ultimo_arco) {
            const double r = std::hypot(p.ultimo.x, p.ultimo.y);
            if (r > 0) {
                rumo_x_ = -p.sinal_giro * p.ultimo.y / r;
                rumo_y_ = p.sinal_giro * p.ultimo.x / r;
                rumo_erro_ = 2 * std::sqrt(2.0) * p.erro / r;
                tem_rumo_ = true;
            }
        } else {
            const double dx = p.ultimo.x - p.penultimo.x, dy = p.ultimo.y - p.penultimo.y, l = std::hypot(dx, dy);
            if (l > 0) {
                rumo_x_ = dx / l;
                rumo_y_ = dy / l;
                rumo_erro_ = 2 * std::sqrt(2.0) * p.erro / l;
                tem_rumo_ = true;
            }
        }
    }
    // A tangent way out off a blank, or one the control compensates,
    // already leaves the thread: straight up from there.
    const Cabecalho& c = m_.cabecalho;
    // So does a way out that ends clear of the part, along the radius.
    const bool fora = m_.modos() && (c.compensacao() || (c.modos.tangencial && c.externa()) ||
                                     (caminho_apos_helice_ && livre(fim_saida_)));
    retracao_ = fora ? Retracao::subir : Retracao::afastar;
}

bool ConferenciaPreambulo::livre(const Ponto3& p) const {
    vocabulario::EspacoLivre e;
    double tol = 0;
    if (!espaco(e, tol)) return false;
    const double r = std::hypot(p.x, p.y);
    return e.livre(r, std::max(0.0, -p.z), tol + 2 * erro_coordenada(r) + folga_calculo);
}

bool ConferenciaPreambulo::espaco(vocabulario::EspacoLivre& e, double& tolerancia) const {
    const Cabecalho& c = m_.cabecalho;
    if ((!c.interna() && !c.externa()) || !c.ferramenta.presente() || !std::isfinite(c.ferramenta.v)) return false;
    if (!c.Di_desabilitado && !c.Di.presente()) return false;
    const double di = c.Di_desabilitado ? 0.0 : c.Di.v;
    e.interna = c.interna();
    e.ferramenta = c.ferramenta.v;
    // Half of each diameter's last printed decimal, on the radius.
    tolerancia = (meia_unidade(c.ferramenta.decimais) + (c.Di_desabilitado ? 0 : meia_unidade(c.Di.decimais))) / 2;
    if (e.interna) {
        e.diametro = di;
    } else {
        if (di <= 0 && (!c.Df.presente() || !c.p.presente())) return false;
        // The blank is the part's, as answered: the operator's Df does not change it.
        e.diametro = vocabulario::diametro_blank(di, m_.ajuste.feito ? m_.ajuste.de : c.Df.v, c.p.v);
        if (di <= 0) tolerancia += meia_unidade(c.Df.decimais) / 2 + meia_unidade(c.p.decimais);
    }
    // The hole's or the blank's diameter changes twice as fast as a pass's radius.
    e.conicidade = 2 * m_.conicidade_raio();
    return std::isfinite(e.diametro) && std::isfinite(tolerancia);
}

Ponto3 ConferenciaPreambulo::centro(const Ponto3& p, int compensacao) const {
    const Cabecalho& c = m_.cabecalho;
    // Only the wear compensated: the point is the cutter centre's already.
    if (compensacao == 40 || !tem_rumo_ || !c.ferramenta.presente() || c.modos.desgaste) return p;
    // The cutter left (G41) or right (G42) of its travel, by its radius.
    const double lado = compensacao == 41 ? 1 : -1, meia = c.ferramenta.v / 2;
    return {p.x - lado * meia * rumo_y_, p.y + lado * meia * rumo_x_, p.z};
}

void ConferenciaPreambulo::conferir_espaco(const Movimento& m) {
    const double tol_z = meia_unidade(3);
    if (m.de.z >= -tol_z && m.para.z >= -tol_z) return;
    vocabulario::EspacoLivre e;
    double tol_cabecalho = 0;
    const bool conhecido = espaco(e, tol_cabecalho);
    if (!conhecido) {
        // Without the hole or the blank, no rapid may go down into the part.
        if (m.para.z < m.de.z - tol_z && m.para.z < -tol_z)
            v_.falha_no_ponto(Verificacoes::rapidos_e_preambulo, m.linha,
                              formatar("movimento rapido desce a Z %.3f", m.para.z), m.para.x, m.para.y, m.para.z);
        return;
    }
    Ponto3 a = centro(m.de, m.compensacao), b = centro(m.para, m.compensacao);
    auto prof = [](double z) { return std::max(0.0, -z); };
    double erro = 2 * erro_coordenada(std::max(std::hypot(a.x, a.y), std::hypot(b.x, b.y)));
    erro += static_cast<double>(m_.polares()) * Modelo::erro_polar;
    // A compensated point's centre is off by the cutter's radius times the
    // direction's error.
    if (m.compensacao != 40 && tem_rumo_ && !m_.cabecalho.modos.desgaste && m_.cabecalho.ferramenta.presente())
        erro += m_.cabecalho.ferramenta.v / 2 * std::min(1.0, rumo_erro_);
    // The operator's diameter moves a finishing pass's points by up to half
    // its change on the radius, its way out with them: the clearance is the
    // planned one less that.
    const Modelo::Ajuste& ajuste = m_.ajuste;
    const double movido = ajuste.feito ? std::fabs(ajuste.para - ajuste.de) / 2 : 0;
    const double tol = tol_cabecalho + erro + movido + folga_calculo;
    auto ok = [&](const Ponto3& q) { return e.livre(std::hypot(q.x, q.y), prof(q.z), tol); };
    // Leaving the groove just cut, level and straight towards the open side
    // (the axis inside, away from it outside), into the clear space.
    if (apos_corte_ && std::fabs(b.z - a.z) <= tol_z && ok(b)) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double rumo = e.interna ? b.x * dx + b.y * dy : -(a.x * dx + a.y * dy);
        if (rumo <= erro * std::hypot(dx, dy) + folga_calculo) return;
    }
    // The part of the move below the face.
    auto no_z = [](const Ponto3& p, const Ponto3& q, double z) {
        const double t = (z - p.z) / (q.z - p.z);
        return Ponto3{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y), z};
    };
    if (a.z > 0) a = no_z(a, b, 0);
    if (b.z > 0) b = no_z(b, a, 0);
    auto ponto = [&](double t) {
        return Ponto3{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
    };
    auto invasao = [&](double t) {
        const Ponto3 q = ponto(t);
        return e.invasao(std::hypot(q.x, q.y), prof(q.z));
    };
    // Along a straight move the edge's reach into a hole's wall is convex
    // (its worst at an end); into a blank it is concave (its worst where the
    // move passes nearest the axis, found by thirds).
    double t_pior = 0;
    if (e.interna) {
        if (ok(a) && ok(b)) return;
        t_pior = ok(a) ? 1.0 : ok(b) ? 0.0 : (invasao(0) >= invasao(1) ? 0.0 : 1.0);
    } else {
        double baixo = 0, alto = 1;
        for (int i = 0; i < 100; ++i) {
            const double m1 = baixo + (alto - baixo) / 3, m2 = alto - (alto - baixo) / 3;
            if (invasao(m1) < invasao(m2))
                baixo = m1;
            else
                alto = m2;
        }
        t_pior = (baixo + alto) / 2;
        for (double t : {0.0, 1.0})
            if (invasao(t) > invasao(t_pior)) t_pior = t;
        if (invasao(t_pior) <= -vocabulario::folga_rapido + tol) return;
    }
    const Ponto3 onde = ponto(t_pior);
    const double entra = invasao(t_pior);
    const double d = e.diametro_em(prof(onde.z));
    std::string texto;
    if (e.interna && e.diametro <= 0)
        texto = formatar("movimento rapido a Z %.3f com o centro da fresa a %.3f mm do eixo: sem diametro inicial, "
                         "so o eixo e certamente livre no furo",
                         onde.z, entra);
    else
        texto = formatar(entra > 0 ? "movimento rapido a Z %.3f com a aresta %.3f mm dentro %s (D %.3f)"
                                   : "movimento rapido a Z %.3f com a aresta a %.3f mm %s (D %.3f), menos que a "
                                     "folga de 0.1 mm",
                         onde.z, std::fabs(entra),
                         e.interna ? "da parede do furo" : m_.cabecalho.Di_desabilitado ? "do blank estimado" : "do blank",
                         d);
    v_.falha_com_nota(Verificacoes::rapidos_e_preambulo, m.linha, texto, onde.x, onde.y, onde.z);
}

// Out of the groove at depth a rapid drags the cutter's tooth across the
// thread: off the radius, the groove it meets at another angle is another
// pitch's share deeper or higher, and on a long lead the tooth cuts its
// flank. The tooth is taken as a 60-degree V at the cutter's edge, against
// the finished thread (its helices, the full depth at Df, to the crests of
// the bore or the blank); the move as a straight line and, where the
// dialect's controls may run each axis at its own rapid rate, as the
// dog-leg it then is.
void ConferenciaPreambulo::conferir_filete(const Movimento& m) {
    const Cabecalho& c = m_.cabecalho;
    const double tol_z = meia_unidade(3);
    for (const Valor* v : {&c.Df, &c.ferramenta, &c.p, &c.angulo_inicial})
        if (!v->presente() || !std::isfinite(v->v)) return;
    // At the face the tooth is still half in the part: up to half a pitch above it.
    if ((!c.interna() && !c.externa()) || m_.conicidade_raio() != 0 || !(c.p.v > 0) || m.de.z >= c.p.v / 2 ||
        std::fabs(m.para.z - m.de.z) > tol_z || !move_em_xy(m))
        return;
    const double raiz = c.Df.v / 2, meia = c.ferramenta.v / 2;
    const double di = c.Di.presente() && !c.Di_desabilitado ? c.Di.v : 0;
    // Without the bore's diameter, a metric thread's minor one: never less
    // than the cutter, which went down the bore.
    const double crista = c.interna() ? std::max(di > 0 ? di / 2 : raiz - 0.5413 * c.p.v, meia)
                                      : vocabulario::diametro_blank(di, m_.ajuste.feito ? m_.ajuste.de : c.Df.v, c.p.v) / 2;
    const double s = c.mao_direita() ? -1 : 1, tg = std::tan(30 * pi / 180), cs = std::cos(30 * pi / 180);
    const std::int64_t entradas = std::max<std::int64_t>(1, c.modos.entradas);
    auto desvio = [&](double x, double y, double z) {
        return vocabulario::desvio_da_familia(std::atan2(s * y, x) * 180 / pi, -z, c.angulo_inicial.v, c.p.v,
                                              entradas);
    };
    // The groove the move starts in is where the cutter is: the header's
    // rounded pitch and angle place the others, relative to it.
    const double no_sulco = desvio(m.de.x, m.de.y, m.de.z);
    // How far the tooth with the centre at (x, y, z) goes past the thread's flank.
    auto invasao = [&](double x, double y, double z) {
        const double r = std::hypot(x, y);
        if (!(r > 1e-6)) return 0.0;
        const double aresta = c.interna() ? r + meia : r - meia;
        if (c.interna() ? aresta <= crista : aresta >= crista) return 0.0;
        const double folga = std::max(0.0, c.interna() ? raiz - aresta : aresta - raiz);
        double dz = desvio(x, y, z) - no_sulco;
        dz -= c.p.v * std::round(dz / c.p.v);
        // Never deeper than the tip is past the crests, into the material
        // (near the axis the tip grazes the bore whatever the angle).
        return std::min((std::fabs(dz) - folga * tg) * cs, c.interna() ? aresta - crista : crista - aresta);
    };
    auto pior = [&](const Ponto3& a, const Ponto3& b, Ponto3& onde) {
        double p = 0;
        for (int k = 0; k <= 64; ++k) {
            const double t = k / 64.0;
            const Ponto3 q{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z};
            if (const double i = invasao(q.x, q.y, q.z); i > p) p = i, onde = q;
        }
        return p;
    };
    Ponto3 onde, onde2;
    double i = pior(m.de, m.para, onde);
    bool eixo_a_eixo = false;
    // Today's retract of one start, with options or without, written before
    // the dialects: judged as the straight line it is on today's controls.
    // The way out of several starts is the one that must hold either way.
    if (!m_.dialeto.dialeto().rapido_reto && c.com_opcoes() && entradas > 1) {
        // Both axes at the same rate: aslant until the shorter is done.
        const double dx = m.para.x - m.de.x, dy = m.para.y - m.de.y, d = std::min(std::fabs(dx), std::fabs(dy));
        const Ponto3 dobra{m.de.x + std::copysign(d, dx), m.de.y + std::copysign(d, dy), m.de.z};
        const double j = std::max(pior(m.de, dobra, onde2), pior(dobra, m.para, onde2));
        if (j > i) i = j, onde = onde2, eixo_a_eixo = true;
    }
    const double tolerancia = 0.01;
    if (i > tolerancia)
        v_.falha_com_nota(Verificacoes::rapidos_e_preambulo, m.linha,
                          formatar("movimento rapido sai do filete fora do raio: o dente entra %.3f mm no flanco da "
                                   "rosca%s",
                                   i, eixo_a_eixo ? " (com cada eixo na sua velocidade de rapido)" : ""),
                          onde.x, onde.y, onde.z);
}

// After a pass: first away from the thread in X and Y at full depth (to the
// axis inside a bore, to the corner of the retract square outside a part),
// then up above the part.
void ConferenciaPreambulo::rapido(const Movimento& m) {
    if (!m.de_conhecido) return;
    if (apos_corte_) conferir_filete(m);
    conferir_retracao(m);
    conferir_espaco(m);
    apos_corte_ = false;
}

void ConferenciaPreambulo::conferir_retracao(const Movimento& m) {
    const Ponto3& de = m.de;
    const Ponto3& para = m.para;
    const Cabecalho& c = m_.cabecalho;
    const double tol_xy = meia_unidade(3);
    const bool move_xy = std::fabs(para.x - de.x) > tol_xy || std::fabs(para.y - de.y) > tol_xy;
    const bool sobe = para.z >= -tol_xy;
    auto falha = [&](const std::string& texto) {
        v_.falha_no_ponto(Verificacoes::rapidos_e_preambulo, m.linha, texto, para.x, para.y, para.z);
    };
    vocabulario::EspacoLivre e;
    double tol_espaco = 0;
    // Where the header gives the hole or the blank, a rapid below the face
    // is judged by where it goes; without it, any rapid in X and Y there fails.
    const bool espaco_conhecido = espaco(e, tol_espaco);
    if (retracao_ == Retracao::afastar) {
        if (!move_xy) {
            if (sobe) {
                falha(c.externa() ? "sobe sem antes se afastar ao canto de retracao"
                                  : "sobe sem antes se afastar ao eixo da rosca");
                retracao_ = Retracao::nenhuma;
            }
            return;
        }
        const bool ao_eixo = std::fabs(para.x) <= tol_xy && std::fabs(para.y) <= tol_xy;
        const double rc = raio_ultimo_ + vocabulario::folga_retracao;
        const double tol_rc = tol_xy + 2 * std::sqrt(2.0) * erro_ultimo_ + folga_calculo;
        // The corner of the last point's quadrant; a coordinate printed so
        // near 0 that its sign is not known may have either side's.
        // Along a taper the corner may be the last point's own radius out
        // (farther from a cone that widens downwards) as well as the face's.
        bool ao_canto = false;
        for (const double r : {rc, std::hypot(ultimo_corte_.x, ultimo_corte_.y) + vocabulario::folga_retracao}) {
            vocabulario::Canto canto;
            if (ao_canto || (r != rc && m_.conicidade_raio() == 0) ||
                !vocabulario::canto_retracao(ultimo_corte_.x, ultimo_corte_.y, r, canto))
                continue;
            auto lado_ok = [&](double fim_corte, double esperado, double alvo) {
                if (std::fabs(alvo - esperado) <= tol_rc) return true;
                return std::fabs(fim_corte) <= erro_ultimo_ && std::fabs(alvo + esperado) <= tol_rc;
            };
            ao_canto = lado_ok(ultimo_corte_.x, canto.x, para.x) && lado_ok(ultimo_corte_.y, canto.y, para.y);
        }
        bool ok = c.interna() ? ao_eixo : c.externa() ? ao_canto : (ao_eixo || ao_canto);
        // Straight along the radius, level, out of the groove to where the
        // cutter touches nothing: the way out of a thread of several starts.
        const double vetorial = de.x * para.y - de.y * para.x;
        if (!ok && m_.modos() && std::fabs(para.z - de.z) <= tol_xy && livre(para) &&
            std::fabs(vetorial) <= 2 * erro_coordenada(std::hypot(para.x, para.y)) *
                                       (std::hypot(de.x, de.y) + std::hypot(para.x, para.y)) + folga_calculo)
            ok = true;
        // A revolution of a mill of several profiles leaves a part straight
        // out, past the blank, where the next goes down or up beside it.
        if (!ok && c.externa() && m_.forma().voltas && espaco_conhecido)
            ok = e.livre(std::hypot(para.x, para.y), std::max(0.0, -para.z),
                         tol_espaco + 2 * erro_coordenada(std::hypot(para.x, para.y)) + folga_calculo);
        if (!ok) {
            if (c.externa())
                falha(formatar("retracao a X %.3f Y %.3f; esperado o canto (+-%.3f, +-%.3f) do quadrante do "
                               "ultimo ponto",
                               para.x, para.y, rc, rc));
            else
                falha(formatar("retracao a X %.3f Y %.3f; esperado o eixo da rosca (X 0 Y 0)", para.x, para.y));
        }
        retracao_ = sobe ? Retracao::nenhuma : Retracao::subir;
        return;
    }
    if (retracao_ == Retracao::subir) {
        if (sobe) {
            retracao_ = Retracao::nenhuma;
            return;
        }
        if (move_xy && !espaco_conhecido) falha("movimento rapido em X e Y abaixo de Z 0 antes de subir");
        return;
    }
    if (move_xy && de.z < -tol_xy && !espaco_conhecido) falha("movimento rapido em X e Y abaixo de Z 0");
}

void ConferenciaPreambulo::fim_arquivo(const Modelo& m) {
    using V = Verificacoes;
    Verificacoes& v = v_;
    if (!houve_corte(m, v, V::rapidos_e_preambulo)) return;
    const Cabecalho& c = m.cabecalho;
    falha_se_ilegivel(c, v, V::rapidos_e_preambulo, "S", "a rotacao nao pode ser conferida");
    falha_se_ilegivel(c, v, V::rapidos_e_preambulo, "F", "o avanco nao pode ser conferido");
    // A spindle that does not turn or a feed that does not move is no
    // preamble, whatever the header says.
    // Given, not zero, and the header's (as "%.0f" writes it).
    auto conferir = [&](bool tem, double valor, std::uint64_t linha, const Valor& cabecalho, const char* sem,
                        const char* zero, const char* difere) {
        if (!tem)
            v.falha(V::rapidos_e_preambulo, 0, sem);
        else if (!(valor > 0))
            v.falha(V::rapidos_e_preambulo, linha, formatar(zero, valor));
        else if (cabecalho.presente() && std::fabs(valor - cabecalho.v) > 0.5 + meia_unidade(cabecalho.decimais))
            v.falha(V::rapidos_e_preambulo, linha, formatar(difere, valor, cabecalho.v));
    };
    const Preambulo& p = m.preambulo;
    conferir(p.tem_s, p.s, p.linha_s, c.S, "sem rotacao S antes do primeiro corte",
             "S%g antes do primeiro corte: o fuso nao gira", "S%.0f; o cabecalho diz %.0f rpm");
    // At the cutting edge every pass carries its own feed (check 7): the
    // answered one before them is only said, where a dialect writes it.
    if (p.tem_f || !c.modos.avanco_na_aresta)
        conferir(p.tem_f, p.f, p.linha_f, c.F, "sem avanco f antes do primeiro corte",
                 "f%g antes do primeiro corte: a ferramenta nao avanca", "f%.0f; o cabecalho diz %.1f mm/min");
    if (p.tem_escala && (std::fabs(p.escala_x - 1) > 0.005 || std::fabs(p.escala_y - 1) > 0.005))
        v.falha(V::rapidos_e_preambulo, p.linha_escala,
                formatar("escala g51 X %.3f Y %.3f; o percurso e desenhado em escala 1", p.escala_x, p.escala_y));
    // The dwell's P in the unit of the file's own dialect: the same digits
    // are seconds for one control and milliseconds for another.
    const vocabulario::Dialeto& d = m.dialeto.dialeto();
    std::uint64_t fora = 0;
    if (const PausaLida* pausa = m.dialeto.pausa_implausivel(d, fora)) {
        const bool ms = d.pausa_por_segundo == 1000;
        std::string texto =
            pausa->tem_p
                ? formatar("pausa P%g: no comando %.*s P e em %s, %s; esperado de %g a %g s para o fuso chegar "
                           "a rotacao",
                           pausa->p, static_cast<int>(d.nome.size()), d.nome.data(), ms ? "milissegundos" : "segundos",
                           duracao(pausa->p / d.pausa_por_segundo).c_str(), pausa_minima_s, pausa_maxima_s)
                : std::string("pausa sem P: o tempo para o fuso chegar a rotacao nao e dado");
        if (fora > 1) texto += formatar(" (%llu pausas assim)", static_cast<unsigned long long>(fora));
        v.falha(V::rapidos_e_preambulo, pausa->linha, texto);
    }
    if (retracao_ != Retracao::nenhuma && p.linha_m30 != 0)
        v.falha(V::rapidos_e_preambulo, p.linha_m30, "o ultimo passe nao se afasta e sobe acima de Z 0 antes do fim");
    if (p.linha_m30 != 0 && (p.linha_m5 == 0 || p.linha_m5 > p.linha_m30))
        v.falha(V::rapidos_e_preambulo, p.linha_m30, "M30 sem M5 (fuso desligado) antes");
}
