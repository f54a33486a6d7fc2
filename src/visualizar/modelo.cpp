#include "visualizar/modelo.hpp"

#include <limits>

#include "visualizar/tolerancias.hpp"

namespace {

constexpr double graus_por_radiano = 180 / 3.14159265358979323846;

// Angle of a point as the generator counts it: counter-clockwise for a left
// hand, clockwise for a right hand (its Y is the sine times minus the radius).
double angulo_gerador(double x, double y, int sentido) {
    return std::atan2(sentido * y, x) * graus_por_radiano;
}

double reduzir_180(double graus) {
    double r = std::fmod(graus, 360.0);
    if (r > 180) r -= 360;
    if (r <= -180) r += 360;
    return r;
}

const char* nome_giro(int sentido) { return sentido > 0 ? "anti-horario" : "horario"; }

// ASCII only, so the console and the picture can show it.
std::string texto_visivel(std::string_view texto, std::size_t max) {
    std::string r;
    for (char c : texto) {
        if (r.size() >= max) {
            r += "...";
            break;
        }
        const auto b = static_cast<unsigned char>(c);
        r += (b >= 0x20 && b < 0x7f) ? c : (c == '\t' ? ' ' : '?');
    }
    return r;
}

}  // namespace

Modelo::Modelo() { retidos.reserve(max_retidos + 2); }

Passe* Modelo::passe_anterior() {
    if (passes == 0) return nullptr;
    if (tem_ultimo_) return &ultimo_;
    return retidos.empty() ? nullptr : &retidos.back();
}

void Modelo::outra(const Linha& l) {
    if (l.tipo != TipoLinha::vazia && l.tipo != TipoLinha::comentario) {
        // The header ends at the first line that reads as G-code.
        if (l.tipo != TipoLinha::ilegivel) no_cabecalho_ = false;
        termina_em_m30 = l.tipo == TipoLinha::comando && l.m == 30;
    }
    if (l.sem_fim_de_linha && l.tipo != TipoLinha::vazia && l.tipo != TipoLinha::comentario &&
        !(l.tipo == TipoLinha::comando && l.m == 30)) {
        // A move or a word cut by the end of the file: what it says is not known.
        linha_cortada = l.numero;
        termina_em_m30 = false;
        if (l.tipo == TipoLinha::ilegivel) ilegivel(l);
        return;
    }
    switch (l.tipo) {
        case TipoLinha::vazia: break;
        case TipoLinha::comentario: comentario(l); break;
        case TipoLinha::corte:
            if (l.tem_f && !cortou) {
                tem_f = true;
                f = l.f;
                linha_f = l.numero;
            }
            iniciar_passe(l);
            break;
        case TipoLinha::rapido: rapido(l); break;
        case TipoLinha::comando: comando(l); break;
        case TipoLinha::ilegivel: ilegivel(l); break;
    }
}

void Modelo::comentario(const Linha& l) {
    const Comentario c = interpretar_comentario(l.texto);
    if (no_cabecalho_) {
        cabecalho.aplicar(c);
        return;
    }
    switch (c.tipo) {
        case TipoComentario::volta:
            if (!em_passe_) {
                volta_pendente_ = true;
                passe_pendente_ = c.i;
                fio_pendente_ = c.j;
                linha_pendente_ = l.numero;
                break;
            }
            if (c.i != atual_.numero)
                verificacoes.falha(Verificacoes::raio_e_passes, l.numero,
                                   formatar("comentario do passe %lld dentro do passe %lld, sem movimento "
                                            "rapido entre eles",
                                            static_cast<long long>(c.i), static_cast<long long>(atual_.numero)));
            if (c.j != atual_.voltas + 1)
                verificacoes.falha(Verificacoes::profundidade_e_avanco, l.numero,
                                   formatar("volta %lld depois da volta %lld", static_cast<long long>(c.j),
                                            static_cast<long long>(atual_.voltas)));
            else if (atual_.movimentos != static_cast<std::uint64_t>(c.j - 1) * LeitorGcode::graus_volta)
                verificacoes.falha(Verificacoes::profundidade_e_avanco, l.numero,
                                   formatar("volta %lld comeca depois de %llu movimentos do passe; esperado %llu",
                                            static_cast<long long>(c.j),
                                            static_cast<unsigned long long>(atual_.movimentos),
                                            static_cast<unsigned long long>(c.j - 1) * LeitorGcode::graus_volta));
            atual_.voltas = c.j;
            break;
        case TipoComentario::diametro_volta:
            if (!em_passe_) {
                diametro_pendente_ = c.a;
            } else if (!atual_.diametro.presente()) {
                atual_.diametro = c.a;
            } else if (c.a.v != atual_.diametro.v) {
                verificacoes.falha(Verificacoes::raio_e_passes, l.numero,
                                   formatar("diametro %.3f no meio do passe de diametro %.3f", c.a.v,
                                            atual_.diametro.v));
            }
            break;
        case TipoComentario::extensao_x:
            x_max_comentario = c.a;
            x_min_comentario = c.b;
            linha_extensoes = l.numero;
            extensoes_apos_ultimo_passe = !em_passe_;
            break;
        case TipoComentario::extensao_y:
            y_max_comentario = c.a;
            y_min_comentario = c.b;
            if (linha_extensoes == 0) linha_extensoes = l.numero;
            break;
        case TipoComentario::diametro_usinado:
            diametro_comentario = c.a;
            if (linha_extensoes == 0) linha_extensoes = l.numero;
            linha_diametro_comentario = l.numero;
            break;
        default: break;
    }
}

void Modelo::comando(const Linha& l) {
    if (l.m == 3 && linha_m3 == 0) linha_m3 = l.numero;
    if (l.m == 5) linha_m5 = l.numero;
    if (l.m == 30 && linha_m30 == 0) linha_m30 = l.numero;
    if (l.tem_s && !cortou) {
        tem_s = true;
        s = l.s;
        linha_s = l.numero;
    }
    if (l.tem_f && !cortou) {
        tem_f = true;
        f = l.f;
        linha_f = l.numero;
    }
    if (l.g == 51) {
        tem_escala = true;
        escala_x = l.tem_x ? l.x : 1;
        escala_y = l.tem_y ? l.y : 1;
        linha_escala = l.numero;
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
    const std::uint64_t previstos =
        std::clamp<std::uint64_t>(passes_esperados(cabecalho), 1, max_retidos + 1);
    capacidade_lado_ = orcamento_lado / previstos;
    limite_retidos_ = std::clamp<std::size_t>(2 * orcamento_lado / capacidade_lado_, 2, max_retidos);
    amostra_ = 10;
    const Cabecalho& c = cabecalho;
    if (c.L.presente() && c.p.presente() && c.p.v > 0 && std::isfinite(c.L.v) && c.L.v > 0) {
        const double voltas = std::ceil(c.L.v / c.p.v);
        if (voltas < 1e9) {
            const double pontos = voltas * LeitorGcode::graus_volta + 1;
            amostra_ = static_cast<int>(std::clamp(std::ceil(pontos / static_cast<double>(capacidade_lado_)), 1.0, 10.0));
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

void Modelo::iniciar_passe(const Linha& l) {
    if (!amostra_definida_) definir_amostra();
    if (!cortou) {
        cortou = true;
        if (linha_m3 == 0)
            verificacoes.falha(Verificacoes::rapidos_e_preambulo, l.numero,
                               "corte sem M3 (fuso ligado) antes do primeiro movimento");
    }
    if (estado_retracao_ != 0) {
        verificacoes.falha(Verificacoes::rapidos_e_preambulo, l.numero,
                           "novo passe sem antes subir acima de Z 0");
        estado_retracao_ = 0;
    }
    if (Passe* anterior = passe_anterior()) anterior->saida = entrada_;

    atual_ = Passe{};
    Passe& ps = atual_;
    ps.ordem = passes;
    ps.linha_inicio = l.numero;
    ps.antes = pos_;
    ps.tem_inicio = inicio_xy_;
    ps.entrada = std::move(entrada_);
    entrada_.clear();
    extensoes_apos_ultimo_passe = false;
    if (volta_pendente_) {
        ps.numero = passe_pendente_;
        ps.voltas = fio_pendente_;
        if (fio_pendente_ != 1)
            verificacoes.falha(Verificacoes::profundidade_e_avanco, linha_pendente_,
                               formatar("o passe comeca pela volta %lld", static_cast<long long>(fio_pendente_)));
    } else {
        verificacoes.falha(Verificacoes::raio_e_passes, l.numero, "passe sem o comentario de passe e volta");
    }
    if (diametro_pendente_.presente())
        ps.diametro = diametro_pendente_;
    else
        verificacoes.falha(Verificacoes::raio_e_passes, l.numero, "passe sem o comentario de diametro");
    volta_pendente_ = false;
    diametro_pendente_ = Valor{};

    const double x = l.tem_x ? l.x : pos_.x;
    const double y = l.tem_y ? l.y : pos_.y;
    const double z = l.tem_z ? l.z : pos_.z;
    const double r0 = std::hypot(x, y);
    const double e = erro_coordenada(r0);
    ps.erro = e;
    const double banda = 2 * std::sqrt(2.0) * e + folga_calculo;
    r2_baixo_ = std::max(0.0, r0 - banda);
    r2_baixo_ *= r2_baixo_;
    r2_alto_ = (r0 + banda) * (r0 + banda);
    ps.r2_min = ps.r2_max = x * x + y * y;

    // The hand's turning direction; without it in the header, the path's own.
    int sentido = cabecalho.sentido == 'D' ? -1 : cabecalho.sentido == 'E' ? 1 : 0;
    if (sentido == 0) {
        const double giro = ps.antes.x * y - ps.antes.y * x;
        sentido = giro > 0 ? 1 : -1;
    }
    sentido_passe_ = sentido;
    ps.sinal_giro = sentido;
    giro_c_ = cos_grau;
    giro_s_ = sentido * sen_grau;
    tol_giro_ = e * (1 + cos_grau + sen_grau) + r0 * 1e-9 + folga_calculo;

    const Cabecalho& c = cabecalho;
    const double magnitude = (c.L.presente() && std::isfinite(c.L.v) ? std::fabs(c.L.v) : std::fabs(z)) +
                             (c.p.presente() && std::isfinite(c.p.v) ? 2 * std::fabs(c.p.v) : 0) + 1;
    const double e_z = erro_coordenada(magnitude);
    if (c.p.presente() && std::isfinite(c.p.v) && c.p.v > 0) {
        const double pz = c.p.v / LeitorGcode::graus_volta;
        const double tp = meia_unidade(c.p.decimais) + meio_ulp(c.p.v);
        passo_min_ = std::max(0.0, pz - 2 * e_z - tp / LeitorGcode::graus_volta - folga_calculo);
        passo_max_ = pz + 2 * e_z + tp / LeitorGcode::graus_volta + folga_calculo;
        volta_min_ = c.p.v - 2 * e_z - tp - folga_calculo;
        volta_max_ = c.p.v + 2 * e_z + tp + folga_calculo;
        conferir_volta_ = true;
        const double profundidade = -z;
        if (std::fabs(profundidade - pz) > e_z + tp / LeitorGcode::graus_volta + folga_calculo)
            verificacoes.falha_no_ponto(
                Verificacoes::profundidade_e_avanco, l.numero,
                formatar("primeiro ponto do passe a Z %.3f; esperado Z %.3f (um grau abaixo de Z 0)", z, -pz), x, y,
                z);
    } else {
        passo_min_ = 0;
        passo_max_ = std::numeric_limits<double>::infinity();
        conferir_volta_ = false;
    }

    // The start point lies at the start angle, the first move at the next
    // whole degree, at most one degree on in the hand's direction.
    if (ps.tem_inicio && r0 > 50 * e) {
        const double tol = 2 * e / r0 * graus_por_radiano;
        const double a0 = angulo_gerador(ps.antes.x, ps.antes.y, sentido);
        const double a1 = angulo_gerador(x, y, sentido);
        if (c.angulo_inicial.presente()) {
            const double d = reduzir_180(a0 - c.angulo_inicial.v);
            if (std::fabs(d) > meia_unidade(c.angulo_inicial.decimais) + tol)
                verificacoes.falha_no_ponto(Verificacoes::profundidade_e_avanco, l.numero,
                                            formatar("ponto inicial a %.2f graus; o cabecalho diz %.1f graus", a0,
                                                     c.angulo_inicial.v),
                                            ps.antes.x, ps.antes.y, ps.antes.z);
        }
        double avanco = std::fmod(a1 - a0 + 720.0, 360.0);
        if (avanco > 360 - tol) avanco -= 360;
        const double inteiro = std::fabs(reduzir_180(a1 - std::round(a1)));
        if (avanco < -tol || avanco > 1 + tol || inteiro > tol)
            verificacoes.falha_no_ponto(Verificacoes::profundidade_e_avanco, l.numero,
                                        formatar("primeiro movimento a %.3f graus do ponto inicial; esperado ate 1 "
                                                 "grau no sentido %s, num grau inteiro",
                                                 avanco, nome_giro(sentido)),
                                        x, y, z);
    }

    x_max = std::max(x_max, x);
    x_min = std::min(x_min, x);
    y_max = std::max(y_max, y);
    y_min = std::min(y_min, y);
    tem_extremos = true;
    erro_extremos = std::max(erro_extremos, e);
    ps.topo.push_back({static_cast<float>(x), static_cast<float>(y)});
    const std::size_t k = static_cast<std::size_t>(l.indice % LeitorGcode::graus_volta);
    const double dx = x - pos_.x, dy = y - pos_.y, dz = z - pos_.z;
    dxy2_[k] = dx * dx + dy * dy;
    x_vaga_[k] = x;
    y_vaga_[k] = y;
    z_volta_[k] = z;
    ps.comprimento += std::sqrt(dx * dx + dy * dy + dz * dz);
    ps.z_min = ps.z_max = z;
    ps.primeiro = {x, y, z};
    pos_ = ps.primeiro;
    pos_x_ = pos_y_ = pos_z_ = true;
    ps.movimentos = 1;
    ultima_linha_corte_ = l.numero;
    ps.amostra = amostra_;
    ps.lado_inicio.push_back({static_cast<float>(x), static_cast<float>(z)});
    ate_amostra_ = ps.amostra;
    em_passe_ = true;
}

// Moves whose pair of points repeats the pair 360 moves before: only the
// depth is new. The same work as `corte` does for such a move, in one loop.
void Modelo::cortes_repetidos(const Linha& l) {
    Passe& ps = atual_;
    std::size_t k = static_cast<std::size_t>(l.indice % LeitorGcode::graus_volta);
    const double* const z = l.lote;
    const std::size_t n = l.tamanho_lote;
    double anterior = pos_.z;
    double comprimento = 0;
    double z_min = ps.z_min, z_max = ps.z_max;
    const bool volta = conferir_volta_ && ps.movimentos >= LeitorGcode::graus_volta;
    for (std::size_t i = 0; i < n; ++i) {
        const double zi = z[i];
        const double passo = anterior - zi;
        const double dz2 = passo * passo;
        if (dz2 < 1e-3 * dxy2_[k])
            comprimento += raiz_xy_[k] + dz2 * (meio_inverso_xy_[k] - dz2 * oitavo_inverso_cubo_xy_[k]);
        else
            comprimento += std::sqrt(dxy2_[k] + dz2);
        if (passo < passo_min_ || passo > passo_max_) {
            Linha li = l;
            li.numero = l.numero + i;
            falha_profundidade(li, x_vaga_[k], y_vaga_[k], zi, passo);
        }
        if (volta) {
            const double v = z_volta_[k] - zi;
            if (v < volta_min_ || v > volta_max_) {
                Linha li = l;
                li.numero = l.numero + i;
                falha_volta(li, x_vaga_[k], y_vaga_[k], zi, v);
            }
        }
        z_volta_[k] = zi;
        z_min = std::min(z_min, zi);
        z_max = std::max(z_max, zi);
        anterior = zi;
        if (--ate_amostra_ == 0) {
            ate_amostra_ = ps.amostra;
            amostrar(x_vaga_[k], zi);
        }
        if (++k == LeitorGcode::graus_volta) k = 0;
    }
    ps.comprimento += comprimento;
    ps.z_min = z_min;
    ps.z_max = z_max;
    ps.movimentos += n;
    pos_ = {l.x, l.y, l.z};
    ultima_linha_corte_ = l.numero + n - 1;
}

void Modelo::terminar_passe() {
    em_passe_ = false;
    Passe& ps = atual_;
    ps.ultimo = pos_;
    ps.linha_fim = ultima_linha_corte_;
    conferir_passe(ps, cabecalho, verificacoes);
    movimentos += ps.movimentos;
    comprimento += ps.comprimento;
    ++passes;
    ultimo_corte_ = pos_;
    raio_ultimo_ = ps.raio();
    erro_ultimo_ = ps.erro;
    estado_retracao_ = 1;

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

void Modelo::rapido(const Linha& l) {
    if (em_passe_) terminar_passe();
    ++rapidos;
    Ponto3 para = pos_;
    if (l.tem_x) para.x = l.x;
    if (l.tem_y) para.y = l.y;
    if (l.tem_z) para.z = l.z;
    const bool conhecido = pos_x_ && pos_y_ && pos_z_;
    if (conhecido) {
        if (entrada_.size() < max_rapidos_passe) entrada_.push_back({pos_, para});
        conferir_retracao(para, l.numero);
    }
    pos_ = para;
    pos_x_ = pos_x_ || l.tem_x;
    pos_y_ = pos_y_ || l.tem_y;
    pos_z_ = pos_z_ || l.tem_z;
    inicio_xy_ = l.tem_x && l.tem_y;
    if (pos_z_) {
        z_max = std::max(z_max, pos_.z);
        z_min = std::min(z_min, pos_.z);
    }
}

// After a pass: first away from the thread in X and Y at full depth (to the
// axis inside a bore, to the corner of the retract square outside a part),
// then up above the part; no rapid move in X and Y below Z 0 otherwise.
void Modelo::conferir_retracao(const Ponto3& para, std::uint64_t linha) {
    const double tol_xy = meia_unidade(3);
    const bool move_xy = std::fabs(para.x - pos_.x) > tol_xy || std::fabs(para.y - pos_.y) > tol_xy;
    const bool sobe = para.z >= -tol_xy;
    auto falha = [&](const std::string& texto) {
        verificacoes.falha_no_ponto(Verificacoes::rapidos_e_preambulo, linha, texto, para.x, para.y, para.z);
    };
    if (para.z < pos_.z - tol_xy && para.z < -tol_xy) falha(formatar("movimento rapido desce a Z %.3f", para.z));
    if (estado_retracao_ == 1) {
        if (!move_xy) {
            if (sobe) {
                falha(cabecalho.externa() ? "sobe sem antes se afastar ao canto de retracao"
                                          : "sobe sem antes se afastar ao eixo da rosca");
                estado_retracao_ = 0;
            }
            return;
        }
        const bool ao_eixo = std::fabs(para.x) <= tol_xy && std::fabs(para.y) <= tol_xy;
        const double rc = raio_ultimo_ + folga_retracao;
        const double tol_rc = tol_xy + 2 * std::sqrt(2.0) * erro_ultimo_ + folga_calculo;
        auto lado_ok = [&](double fim_corte, double alvo, bool nao_positivo_conta_negativo) {
            // The quadrant of the last point: X exactly 0 counts as negative,
            // Y exactly 0 as positive; printed values near 0 may be either.
            const bool ambiguo = std::fabs(fim_corte) <= erro_ultimo_;
            const bool negativo = nao_positivo_conta_negativo ? fim_corte <= 0 : fim_corte < 0;
            const bool ok_neg = std::fabs(alvo + rc) <= tol_rc;
            const bool ok_pos = std::fabs(alvo - rc) <= tol_rc;
            return ambiguo ? (ok_neg || ok_pos) : (negativo ? ok_neg : ok_pos);
        };
        const bool ao_canto = lado_ok(ultimo_corte_.x, para.x, true) && lado_ok(ultimo_corte_.y, para.y, false);
        const bool ok = cabecalho.interna() ? ao_eixo : cabecalho.externa() ? ao_canto : (ao_eixo || ao_canto);
        if (!ok) {
            if (cabecalho.externa())
                falha(formatar("retracao a X %.3f Y %.3f; esperado o canto (+-%.3f, +-%.3f) do quadrante do "
                               "ultimo ponto",
                               para.x, para.y, rc, rc));
            else
                falha(formatar("retracao a X %.3f Y %.3f; esperado o eixo da rosca (X 0 Y 0)", para.x, para.y));
        }
        estado_retracao_ = sobe ? 0 : 2;
        return;
    }
    if (estado_retracao_ == 2) {
        if (sobe) {
            estado_retracao_ = 0;
            return;
        }
        if (move_xy) falha("movimento rapido em X e Y abaixo de Z 0 antes de subir");
        return;
    }
    if (move_xy && pos_.z < -tol_xy) falha("movimento rapido em X e Y abaixo de Z 0");
}

void Modelo::falha_circulo(const Linha& l, double x, double y, double z) {
    const Passe& ps = atual_;
    const double r0 = std::sqrt(ps.primeiro.x * ps.primeiro.x + ps.primeiro.y * ps.primeiro.y);
    verificacoes.falha_no_ponto(Verificacoes::circulo, l.numero,
                                formatar("ponto a %.4f mm do eixo; o passe (linha %llu) esta a %.4f mm, "
                                         "tolerancia %.4f mm",
                                         std::hypot(x, y), static_cast<unsigned long long>(ps.linha_inicio), r0,
                                         2 * std::sqrt(2.0) * ps.erro),
                                x, y, z);
}

void Modelo::falha_avanco(const Linha& l, double x, double y, double z, double xr, double yr) {
    verificacoes.falha_no_ponto(Verificacoes::profundidade_e_avanco, l.numero,
                                formatar("ponto X %.3f Y %.3f fora do avanco de 1 grau %s; esperado X %.3f "
                                         "Y %.3f",
                                         x, y, nome_giro(sentido_passe_), xr, yr),
                                x, y, z);
}

void Modelo::falha_profundidade(const Linha& l, double x, double y, double z, double passo) {
    std::string texto;
    if (passo < 0)
        texto = formatar("a profundidade sobe de Z %.3f para Z %.3f", z + passo, z);
    else if (cabecalho.p.presente())
        texto = formatar("avanco em Z de %.4f mm num grau; esperado p / 360 = %.4f mm", passo,
                         cabecalho.p.v / LeitorGcode::graus_volta);
    else
        texto = formatar("avanco em Z de %.4f mm num grau", passo);
    verificacoes.falha_no_ponto(Verificacoes::profundidade_e_avanco, l.numero, texto, x, y, z);
}

void Modelo::falha_volta(const Linha& l, double x, double y, double z, double volta) {
    verificacoes.falha_no_ponto(
        Verificacoes::profundidade_e_avanco, l.numero,
        formatar("avanco em Z de %.4f mm numa volta; o passo p do cabecalho e %.2f mm", volta, cabecalho.p.v), x, y,
        z);
}

void Modelo::terminar(std::uint64_t total_linhas, bool erro) {
    if (em_passe_) terminar_passe();
    if (Passe* anterior = passe_anterior()) anterior->saida = entrada_;
    if (tem_ultimo_) {
        retidos.push_back(std::move(ultimo_));
        tem_ultimo_ = false;
    }
    linhas = total_linhas;
    erro_leitura = erro;
    saida_pendente = estado_retracao_ != 0;
    conferir_arquivo(*this, verificacoes);
}
