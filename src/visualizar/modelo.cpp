#include "visualizar/modelo.hpp"

#include <algorithm>
#include <cmath>

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
        if (l.tem_f) {
            tem_f = true;
            f = l.f;
            linha_f = l.numero;
        }
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
        const double giro = ps.antes.x * y - ps.antes.y * x;
        sentido = giro > 0 ? 1 : -1;
    }
    ps.sinal_giro = sentido;

    x_max = std::max(x_max, x);
    x_min = std::min(x_min, x);
    y_max = std::max(y_max, y);
    y_min = std::min(y_min, y);
    tem_extremos = true;
    erro_extremos = std::max(erro_extremos, ps.erro);
    ps.topo.push_back({static_cast<float>(x), static_cast<float>(y)});
    const double dx = x - m.de.x, dy = y - m.de.y, dz = z - m.de.z;
    ps.comprimento += std::sqrt(dx * dx + dy * dy + dz * dz);
    ps.z_min = ps.z_max = z;
    ps.primeiro = ps.ultimo = m.para;
    ps.movimentos = 1;
    ultima_linha_corte_ = m.linha;
    ps.amostra = amostra_;
    ps.lado_inicio.push_back({static_cast<float>(x), static_cast<float>(z)});
    ate_amostra_ = ps.amostra;
    em_passe_ = true;
    for (Observador* o : observadores_) o->inicio_passe(ps, m);
}

void Modelo::cortar(const Movimento& m) {
    Passe& ps = atual_;
    for (Observador* o : observadores_cortes_) o->corte(ps, m);
    const double x = m.para.x, y = m.para.y, z = m.para.z;
    const double r2 = x * x + y * y;
    ps.r2_min = std::min(ps.r2_min, r2);
    ps.r2_max = std::max(ps.r2_max, r2);
    x_max = std::max(x_max, x);
    x_min = std::min(x_min, x);
    y_max = std::max(y_max, y);
    y_min = std::min(y_min, y);
    if (ps.movimentos < passos_volta) ps.topo.push_back({static_cast<float>(x), static_cast<float>(y)});
    const double dx = x - m.de.x, dy = y - m.de.y, dz = z - m.de.z;
    ps.comprimento += std::sqrt(dx * dx + dy * dy + dz * dz);
    ps.z_min = std::min(ps.z_min, z);
    ps.z_max = std::max(ps.z_max, z);
    ps.ultimo.x = x;
    ps.ultimo.y = y;
    ps.ultimo.z = z;
    ++ps.movimentos;
    ultima_linha_corte_ = m.linha;
    if (--ate_amostra_ == 0) {
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
        z_min = std::min(z_min, m.para.z);
    }
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
    for (Observador* o : observadores_) o->fim_arquivo(*this);
    observadores_.clear();
    observadores_cortes_.clear();
}
