#include "visualizar/modelo.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "visualizar/arco.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/geometria.hpp"

namespace {

constexpr std::uint64_t passos_volta = vocabulario::passos_por_volta;

}  // namespace

Modelo::Modelo() { retidos.reserve(max_retidos + 2); }

Passe* Modelo::passe_anterior() {
    if (passes == 0) return nullptr;
    if (tem_ultimo_) return &ultimo_;
    return retidos.empty() ? nullptr : &retidos.back();
}

void Modelo::acumular(const Linha& l) {
    dialeto.linha(l);
    if (l.tipo == TipoLinha::vazia) return;
    if (l.tipo == TipoLinha::comentario) {
        for (std::size_t i = 0; i < l.quantidade_comentarios; ++i) comentario(l.comentarios[i], l.numero);
        return;
    }
    // The header ends at the first line that reads as G-code.
    const bool lida = l.tipo != TipoLinha::ilegivel;
    if (lida) no_cabecalho_ = false;
    termina_em_m30 = lida && l.m == 30;
    if (l.sem_fim_de_linha && !(l.tipo == TipoLinha::comando && l.m == 30)) {
        // A move or a word cut by the end of the file: what it says is not known.
        linha_cortada = l.numero;
        termina_em_m30 = false;
        if (!lida) ilegivel(l);
        return;
    }
    if (!lida) {
        ilegivel(l);
        return;
    }
    for (std::size_t i = 0; i < l.quantidade_comentarios; ++i) comentario(l.comentarios[i], l.numero);
    if (l.m >= 0 || l.tem_s || l.tem_f || l.escala) comando(l);
    if (l.tipo != TipoLinha::movimento) return;
    const Movimento& m = l.movimento;
    // The header ends before the first move.
    if (!modos_definidos_) definir_modos();
    if (modos_) {
        mover_com_modos(m);
        return;
    }
    if (em_passe_ && m.corte())
        cortar(m);
    else if (m.corte())
        iniciar_passe(m);
    else
        rapido(m);
}

void Modelo::comando(const Linha& l) {
    if (!cortou) {
        if (l.tem_s) {
            tem_s = true;
            s = l.s;
            linha_s = l.numero;
        }
        // With ways of cutting a pass may carry a feed of its own: the
        // preamble's is the first.
        if (l.tem_f && !(modos_ && tem_f)) {
            tem_f = true;
            f = l.f;
            linha_f = l.numero;
        }
    }
    if (l.tem_f) {
        tem_f_atual_ = true;
        f_atual_ = l.f;
        linha_f_atual_ = l.numero;
    }
    if (l.m == 3 && linha_m3 == 0) linha_m3 = l.numero;
    if (l.m == 5) linha_m5 = l.numero;
    if (l.m == 30 && linha_m30 == 0) linha_m30 = l.numero;
    if (l.escala) {
        tem_escala = true;
        escala_x = l.escala_x;
        escala_y = l.escala_y;
        linha_escala = l.numero;
    }
}

void Modelo::comentario(std::string_view texto, std::uint64_t linha) {
    const Comentario c = interpretar_comentario(texto);
    if (no_cabecalho_) {
        cabecalho.aplicar(c, linha);
        return;
    }
    switch (c.tipo) {
        case TipoComentario::volta:
            if (!em_passe_) {
                volta_pendente_ = true;
                passe_pendente_ = c.i;
                fio_pendente_ = c.j;
                linha_pendente_ = linha;
                break;
            }
            for (Observador* o : observadores_) o->comentario_no_passe(atual_, c, linha);
            atual_.voltas = c.j;
            break;
        case TipoComentario::diametro_volta:
            if (!em_passe_) {
                diametro_pendente_ = c.a;
                break;
            }
            for (Observador* o : observadores_) o->comentario_no_passe(atual_, c, linha);
            if (!atual_.diametro.presente()) atual_.diametro = c.a;
            break;
        case TipoComentario::extensao_x:
            x_max_comentario = c.a;
            x_min_comentario = c.b;
            linha_extensoes = linha;
            extensoes_apos_ultimo_passe = !em_passe_;
            break;
        case TipoComentario::extensao_y:
            y_max_comentario = c.a;
            y_min_comentario = c.b;
            if (linha_extensoes == 0) linha_extensoes = linha;
            break;
        case TipoComentario::diametro_usinado:
            diametro_comentario = c.a;
            if (linha_extensoes == 0) linha_extensoes = linha;
            linha_diametro_comentario = linha;
            break;
        default: break;
    }
}

void Modelo::ilegivel(const Linha& l) {
    ++total_ilegiveis;
    if (ilegiveis.size() < max_ilegiveis) ilegiveis.push_back({l.numero, texto_visivel(l.texto, max_texto), l.bytes});
}

void Modelo::definir_amostra() {
    amostra_definida_ = true;
    // Sized from what the header announces; a header that says otherwise
    // than the path costs picture detail, never memory.
    const std::uint64_t previstos = std::clamp<std::uint64_t>(passes_esperados(cabecalho), 1, max_retidos + 1);
    capacidade_lado_ = orcamento_lado / previstos;
    limite_retidos_ = std::clamp<std::size_t>(2 * orcamento_lado / capacidade_lado_, 2, max_retidos);
    amostra_ = 10;
    const Cabecalho& c = cabecalho;
    if (c.L.presente() && c.p.presente() && c.p.v > 0 && std::isfinite(c.L.v) && c.L.v > 0) {
        const double voltas = std::ceil(c.L.v / c.p.v);
        if (voltas < 1e9) {
            const double pontos = voltas * passos_volta + 1;
            amostra_ = static_cast<int>(
                std::clamp(std::ceil(pontos / static_cast<double>(capacidade_lado_)), 1.0, 10.0));
        }
    }
}

void Modelo::amostrar(double x, double z) {
    Passe& ps = atual_;
    const PontoPlano p{static_cast<float>(x), static_cast<float>(z)};
    const std::size_t metade = capacidade_lado_ / 2;
    if (ps.lado_inicio.size() < metade) {
        ps.lado_inicio.push_back(p);
        return;
    }
    if (ps.lado_fim.size() < capacidade_lado_ - metade) {
        ps.lado_fim.push_back(p);
        return;
    }
    ps.lado_fim[ps.lado_fim_proximo] = p;
    ps.lado_fim_proximo = (ps.lado_fim_proximo + 1) % ps.lado_fim.size();
    ++ps.lado_omitidos;
}

void Modelo::iniciar_passe(const Movimento& m) {
    if (!amostra_definida_) definir_amostra();
    cortou = true;
    if (Passe* anterior = passe_anterior()) anterior->saida = entrada_;

    atual_ = Passe{};
    Passe& ps = atual_;
    ps.ordem = passes;
    ps.linha_inicio = m.linha;
    ps.antes = m.de;
    ps.tem_inicio = inicio_xy_;
    ps.entrada = std::move(entrada_);
    entrada_.clear();
    extensoes_apos_ultimo_passe = false;
    if (volta_pendente_) {
        ps.tem_volta = true;
        ps.numero = passe_pendente_;
        ps.voltas = fio_pendente_;
        ps.linha_volta = linha_pendente_;
    }
    ps.diametro = diametro_pendente_;
    volta_pendente_ = false;
    diametro_pendente_ = Valor{};

    const double x = m.para.x, y = m.para.y, z = m.para.z;
    ps.erro = erro_coordenada(std::hypot(x, y));
    ps.r2_min = ps.r2_max = x * x + y * y;
    // The hand's turning direction; without it in the header, the path's own.
    int sentido = cabecalho.sentido == 'D' ? -1 : cabecalho.sentido == 'E' ? 1 : 0;
    if (sentido == 0) {
        const double giro = m.tipo == TipoMovimento::arco ? (m.horario ? -1 : 1) : ps.antes.x * y - ps.antes.y * x;
        sentido = giro > 0 ? 1 : -1;
    } else if (modos_ && cabecalho.modos.subindo) {
        // The same helix run backwards.
        sentido = -sentido;
    }
    ps.sinal_giro = sentido;
    ps.tem_avanco = tem_f_atual_;
    ps.avanco = f_atual_;
    ps.linha_avanco = linha_f_atual_;

    if (modos_) {
        ps.tem_inicio = m.de_conhecido;
        ps.comprimento = comprimento_entrada_;
        ps.caminhos = caminhos_entrada_;
        ps.guia_entrada = std::move(guia_entrada_);
        guia_entrada_.clear();
        if (conicidade_raio_ != 0) ps.r2_min = ps.r2_max = raio_na_face(m.para) * raio_na_face(m.para);
        if (m.tipo == TipoMovimento::arco) {
            ++ps.arcos;
            ps.ultimo_arco = true;
            ps.graus += alargar_arco(m);
        }
    }
    ps.penultimo = m.de;
    alargar(x, y, z);
    tem_extremos = true;
    erro_extremos = std::max(erro_extremos, ps.erro);
    if (ps.ultimo_arco) {
        ps.topo.push_back({static_cast<float>(m.de.x), static_cast<float>(m.de.y)});
        ps.amostra = amostra_;
        ps.lado_inicio.push_back({static_cast<float>(m.de.x), static_cast<float>(m.de.z)});
        amostrar_arco(m);
    } else {
        ps.topo.push_back({static_cast<float>(x), static_cast<float>(y)});
    }
    ps.comprimento += percorrido(m);
    ps.z_min = ps.z_max = z;
    if (modos_ && m.de.z <= 0) {
        // The helix starts where its first move does, when that is in the part.
        ps.z_min = std::min(z, m.de.z);
        ps.z_max = std::max(z, m.de.z);
    }
    ps.primeiro = ps.ultimo = m.para;
    ps.movimentos = 1;
    if (ps.z_min < z_corte_min) {
        z_corte_min = ps.z_min;
        if (z_corte_min < z_min) linha_z_min = m.linha;
    }
    ultima_linha_corte_ = m.linha;
    ps.amostra = amostra_;
    if (!ps.ultimo_arco) ps.lado_inicio.push_back({static_cast<float>(x), static_cast<float>(z)});
    ate_amostra_ = ps.amostra;
    em_passe_ = true;
    for (Observador* o : observadores_) o->inicio_passe(ps, m);
}

void Modelo::cortar(const Movimento& m) {
    Passe& ps = atual_;
    for (Observador* o : observadores_cortes_) o->corte(ps, m);
    const double x = m.para.x, y = m.para.y, z = m.para.z;
    double r2 = x * x + y * y;
    if (modos_) [[unlikely]] {
        if (conicidade_raio_ != 0) r2 = raio_na_face(m.para) * raio_na_face(m.para);
        ps.penultimo = m.de;
        ps.ultimo_arco = m.tipo == TipoMovimento::arco;
        if (ps.ultimo_arco) {
            ++ps.arcos;
            ps.graus += alargar_arco(m);
        }
    }
    ps.r2_min = std::min(ps.r2_min, r2);
    ps.r2_max = std::max(ps.r2_max, r2);
    if (modos_) [[unlikely]] {
        alargar(x, y, z);
    } else {
        x_max = std::max(x_max, x);
        x_min = std::min(x_min, x);
        y_max = std::max(y_max, y);
        y_min = std::min(y_min, y);
    }
    if (ps.ultimo_arco) [[unlikely]] amostrar_arco(m);
    if (!ps.ultimo_arco && ps.movimentos < passos_volta) ps.topo.push_back({static_cast<float>(x), static_cast<float>(y)});
    ps.comprimento += percorrido(m);
    ps.z_min = std::min(ps.z_min, z);
    ps.z_max = std::max(ps.z_max, z);
    if (z < z_corte_min) [[unlikely]] {
        z_corte_min = z;
        if (z < z_min) linha_z_min = m.linha;
    }
    ps.ultimo.x = x;
    ps.ultimo.y = y;
    ps.ultimo.z = z;
    ++ps.movimentos;
    ultima_linha_corte_ = m.linha;
    if (!ps.ultimo_arco && --ate_amostra_ == 0) {
        ate_amostra_ = ps.amostra;
        amostrar(x, z);
    }
}

void Modelo::terminar_passe() {
    em_passe_ = false;
    Passe& ps = atual_;
    ps.linha_fim = ultima_linha_corte_;
    for (Observador* o : observadores_) o->fim_passe(ps);
    movimentos += ps.movimentos;
    comprimento += ps.comprimento;
    ++passes;

    // Passes kept: every `passo_retencao_`-th, thinned to every other one
    // when there are too many; and the latest, whatever its number.
    if (ps.ordem % passo_retencao_ == 0) {
        retidos.push_back(std::move(ps));
        tem_ultimo_ = false;
        if (retidos.size() > limite_retidos_) {
            passo_retencao_ *= 2;
            if (retidos.back().ordem % passo_retencao_ != 0) {
                ultimo_ = std::move(retidos.back());
                retidos.pop_back();
                tem_ultimo_ = true;
            }
            const std::uint64_t passo = passo_retencao_;
            retidos.erase(std::remove_if(retidos.begin(), retidos.end(),
                                         [passo](const Passe& p) { return p.ordem % passo != 0; }),
                          retidos.end());
        }
    } else {
        ultimo_ = std::move(ps);
        tem_ultimo_ = true;
    }
}

void Modelo::rapido(const Movimento& m) {
    if (em_passe_) terminar_passe();
    ++rapidos;
    if (m.de_conhecido && entrada_.size() < max_rapidos_passe) entrada_.push_back({m.de, m.para});
    for (Observador* o : observadores_) o->rapido(m);
    inicio_xy_ = m.tem_x && m.tem_y;
    if (m.z_conhecido) {
        z_max = std::max(z_max, m.para.z);
        if (m.para.z < z_min) {
            z_min = m.para.z;
            if (z_min < z_corte_min) linha_z_min = m.linha;
        }
    }
}

double Modelo::percorrido(const Movimento& m) {
    const double l = comprimento_do_movimento(m);
    minutos += f_atual_ > 0 ? l / f_atual_ : std::numeric_limits<double>::infinity();
    return l;
}

void Modelo::alargar(double x, double y, double z) {
    if (modos_ && (conicidade_raio_ != 0 || fator_centro_ != 0)) {
        // The extents of the cutter's centre at the face, as the generator
        // judges the bore: a tapered path moved back to Z 0, a compensated
        // one in by the cutter's radius.
        const double r = std::hypot(x, y);
        if (r > 0) {
            const double escala = (r + conicidade_raio_ * z + fator_centro_) / r;
            x *= escala;
            y *= escala;
        }
    }
    x_max = std::max(x_max, x);
    x_min = std::min(x_min, x);
    y_max = std::max(y_max, y);
    y_min = std::min(y_min, y);
}

// An arc about the axis reaches X or Y extremes where it crosses the axes'
// directions, not only at its ends.
double Modelo::alargar_arco(const Movimento& m) {
    const double cx = m.centro_x, cy = m.centro_y;
    // Past a pass's first whole turn about the axis its extremes are known;
    // an arc off that circle fails the circle check anyway.
    if (atual_.graus > 360 + 180) return graus_do_arco(m);
    const double r = std::hypot(m.de.x - cx, m.de.y - cy);
    const double a0 = std::atan2(m.de.y - cy, m.de.x - cx);
    const double varredura = m.varredura;
    if (varredura == 0) return 0;
    for (int k = 0; k < 4; ++k) {
        const double alvo = k * pi / 2;
        double d = std::remainder(alvo - a0, 2 * pi);  // from a0 to alvo, in (-pi, pi]
        if (varredura > 0 && d < 0) d += 2 * pi;
        if (varredura < 0 && d > 0) d -= 2 * pi;
        if (std::fabs(d) <= std::fabs(varredura))
            alargar(cx + r * std::cos(alvo), cy + r * std::sin(alvo), m.de.z + (m.para.z - m.de.z) * d / varredura);
    }
    return graus_do_arco(m);
}

// An arc drawn as the points it passes, not as its chord: its first turn
// finely for the top view; for the side view as many points as chords of
// the same degrees would leave, so that the picture's budget holds.
void Modelo::amostrar_arco(const Movimento& m) {
    Passe& ps = atual_;
    const double graus = graus_do_arco(m);
    if (ps.graus <= 360 + graus)
        pontos_do_arco(m, 18, [&](int k, double x, double y) {
            ps.topo.push_back(k == 18 ? PontoPlano{static_cast<float>(m.para.x), static_cast<float>(m.para.y)}
                                      : PontoPlano{static_cast<float>(x), static_cast<float>(y)});
        });
    const int pontos = std::clamp(static_cast<int>(std::lround(graus / ps.amostra)), 1, 180);
    // Far from both ends of a long helix the side view keeps nothing of what
    // it samples (its last points overwrite these): counted, not computed.
    const Cabecalho& c = cabecalho;
    if (ps.lado_fim.size() >= capacidade_lado_ - capacidade_lado_ / 2 && c.L.presente() && c.p.presente() && c.p.v > 0 &&
        std::isfinite(c.L.v)) {
        const double falta = c.modos.subindo ? -m.para.z : c.L.v + m.para.z;  // depth still to go, to the pass's end
        const double amostras_faltando = falta / c.p.v * 360 / ps.amostra;
        if (amostras_faltando > 2.0 * static_cast<double>(capacidade_lado_)) {
            ps.lado_omitidos += static_cast<std::uint64_t>(pontos);
            return;
        }
    }
    pontos_do_arco(m, pontos, [&](int k, double x, double) {
        amostrar(k == pontos ? m.para.x : x, m.de.z + (m.para.z - m.de.z) * k / pontos);
    });
}

void Modelo::definir_modos() {
    modos_definidos_ = true;
    const Cabecalho& c = cabecalho;
    modos_ = c.modos.algum();
    tangencial_ = c.modos.tangencial || c.compensacao();
    if (c.modos.conicidade > 0) conicidade_raio_ = (c.externa() ? 1.0 : -1.0) / (2.0 * static_cast<double>(c.modos.conicidade));
    if (c.compensacao() && c.ferramenta.presente() && std::isfinite(c.ferramenta.v))
        fator_centro_ = (c.externa() ? 1 : -1) * c.ferramenta.v / 2;
}

// A move of the helix keeps its distance from the axis (along the taper)
// and turns about it: an arc about the axis, or a chord of the pass. Where
// arcs lead in and out as chords, a chord of the helix also turns one degree
// about the axis, which a chord of a lead arc does not.
bool Modelo::parece_helice(const Movimento& m) const {
    const double r_de = std::hypot(m.de.x, m.de.y), r_para = std::hypot(m.para.x, m.para.y);
    const double e = erro_coordenada(std::max(r_de, r_para));
    const double tol = 2 * std::sqrt(2.0) * e + std::fabs(conicidade_raio_ * (m.para.z - m.de.z)) + folga_calculo;
    if (std::fabs(r_de - r_para) > tol || r_de < 50 * e) return false;
    if (m.tipo == TipoMovimento::arco) return std::hypot(m.centro_x, m.centro_y) <= 3 * e;
    const double produto = m.de.x * m.para.x + m.de.y * m.para.y;
    const double vetorial = m.de.x * m.para.y - m.de.y * m.para.x;
    const double graus = std::atan2(std::fabs(vetorial), produto) * graus_por_radiano;
    if (graus <= 0) return false;
    return !tangencial_ || (graus > 0.75 && graus < 1.25);
}

void Modelo::caminho(const Movimento& m, bool entrada) {
    cortou = true;
    ++movimentos;
    const double l = percorrido(m);
    std::vector<PontoPlano>* guia = nullptr;
    const Passe* passe = nullptr;
    if (entrada) {
        comprimento_entrada_ += l;
        ++caminhos_entrada_;
        guia = &guia_entrada_;
    } else if (em_passe_) {
        atual_.comprimento += l;
        ++atual_.caminhos;
        guia = &atual_.guia_saida;
        passe = &atual_;
        ultima_linha_corte_ = m.linha;
    } else {
        comprimento += l;
    }
    if (guia && guia->size() < 400) {
        // A way starts where its first move does, arc or line.
        if (guia->empty()) guia->push_back({static_cast<float>(m.de.x), static_cast<float>(m.de.y)});
        if (m.tipo == TipoMovimento::arco)
            pontos_do_arco(m, 12, [guia](int k, double x, double y) {
                if (k < 12) guia->push_back({static_cast<float>(x), static_cast<float>(y)});
            });
        guia->push_back({static_cast<float>(m.para.x), static_cast<float>(m.para.y)});
    }
    if (m.z_conhecido) {
        z_max = std::max(z_max, m.para.z);
        if (m.para.z < z_min) {
            z_min = m.para.z;
            if (z_min < z_corte_min) linha_z_min = m.linha;
        }
    }
    for (Observador* o : observadores_) o->caminho(passe, m, entrada);
}

void Modelo::soltar_pendentes(bool na_helice) {
    for (std::size_t i = 0; i < quantos_pendentes_; ++i) {
        if (na_helice) {
            cortar(pendentes_[i]);
        } else {
            fase_ = Fase::saida;
            caminho(pendentes_[i], false);
        }
    }
    quantos_pendentes_ = 0;
}

void Modelo::mover_com_modos(const Movimento& m) {
    if (!m.corte()) {
        if (fase_ == Fase::helice || fase_ == Fase::saida) {
            soltar_pendentes(false);
            fase_ = Fase::fora;
        }
        // A rapid move of the way in (down beside the thread) leaves the pass to come open.
        rapido(m);
        return;
    }
    switch (fase_) {
        case Fase::fora: {
            // A move in the air after a pass (the compensation turned off)
            // belongs to it; anything else opens the next pass.
            const double acima = meia_unidade(3);
            if (!volta_pendente_ && passes > 0 && m.de.z > acima && m.para.z > acima) {
                caminho(m, false);
                return;
            }
            fase_ = Fase::entrada;
            comprimento_entrada_ = 0;
            caminhos_entrada_ = 0;
            guia_entrada_.clear();
            [[fallthrough]];
        }
        case Fase::entrada:
            if (parece_helice(m)) {
                fase_ = Fase::helice;
                iniciar_passe(m);
            } else {
                caminho(m, true);
            }
            return;
        case Fase::helice:
            if (!tangencial_ || parece_helice(m)) {
                soltar_pendentes(true);
                cortar(m);
                return;
            }
            if (quantos_pendentes_ < max_pendentes) {
                pendentes_[quantos_pendentes_++] = m;
                return;
            }
            soltar_pendentes(false);
            caminho(m, false);
            return;
        case Fase::saida: caminho(m, false); return;
    }
}

void Modelo::terminar(std::uint64_t total_linhas, bool erro) {
    if (modos_ && (fase_ == Fase::helice || fase_ == Fase::saida)) soltar_pendentes(false);
    if (em_passe_) terminar_passe();
    if (Passe* anterior = passe_anterior()) anterior->saida = entrada_;
    if (tem_ultimo_) {
        retidos.push_back(std::move(ultimo_));
        tem_ultimo_ = false;
    }
    linhas = total_linhas;
    erro_leitura = erro;
    for (Observador* o : observadores_) o->fim_arquivo(*this);
    observadores_.clear();
    observadores_cortes_.clear();
}
