#include "visualizar/modelo.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "visualizar/arco.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/geometria.hpp"
#include "vocabulario/regras.hpp"

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
    preambulo.termina_em_m30 = lida && l.m == 30;
    if (l.sem_fim_de_linha && !(l.tipo == TipoLinha::comando && l.m == 30)) {
        // A move or a word cut by the end of the file: what it says is not known.
        linha_cortada = l.numero;
        preambulo.termina_em_m30 = false;
        if (!lida) ilegivel(l);
        return;
    }
    if (!lida) {
        ilegivel(l);
        return;
    }
    for (std::size_t i = 0; i < l.quantidade_comentarios; ++i) comentario(l.comentarios[i], l.numero);
    if (preambulo.cortou) mudanca(l);
    liga_compensacao_ = l.compensacao != 0 && l.compensacao != compensacao_;
    if (l.compensacao != 0) compensacao_ = l.compensacao;
    if (l.m >= 0 || l.tem_s || l.tem_f || l.escala) comando(l);
    if (l.tipo != TipoLinha::movimento) return;
    if (!forma_definida_) {
        // The header ends before the first move.
        forma_definida_ = true;
        segmentador_.configurar(forma_do_cabecalho(cabecalho));
        const Cabecalho& c = cabecalho;
        if (c.compensa_contorno() && c.ferramenta.presente() && std::isfinite(c.ferramenta.v))
            fator_centro_ = -vocabulario::raio_programado(0.0, c.ferramenta.v, !c.externa(), true);
        alargar_no_centro_ = forma().conicidade_raio != 0 || fator_centro_ != 0;
        alargar_caminhos_ = c.interna() && c.modos.tangencial;
    }
    const Movimento& m = l.movimento;
    if (m.polar)
        ++polares_;
    else if (m.tem_x && m.tem_y)
        polares_ = 0;
    if (m.corte())
        segmentador_.corte(m);
    else
        segmentador_.rapido(m);
}

void Modelo::mudou(std::uint64_t linha, const std::string& texto) {
    for (Observador* o : observadores_) o->mudanca(linha, texto);
}

void Modelo::mudanca(const Linha& l) {
    Preambulo& p = preambulo;
    const Cabecalho& c = cabecalho;
    if (l.tipo == TipoLinha::movimento) {
        if (p.linha_fim != 0)
            mudou(p.linha_fim, formatar("fim do programa antes do fim do percurso: o movimento da linha %llu nao "
                                        "seria feito",
                                        static_cast<unsigned long long>(l.numero)));
        if (p.linha_m5_aberta != 0 && l.movimento.corte())
            mudou(p.linha_m5_aberta, formatar("fuso desligado (M5) e o percurso corta depois dele (linha %llu)",
                                              static_cast<unsigned long long>(l.numero)));
        p.linha_fim = p.linha_m5_aberta = 0;
    }
    if (l.compensacao != 0 && l.compensacao != compensacao_ && segmentador_.fase() == Segmentador<Modelo>::Fase::helice)
        mudou(l.numero, formatar("compensacao mudada (G%d) no meio da helice", l.compensacao));
    if ((l.m == 2 || l.m == 30) && p.linha_fim == 0) p.linha_fim = l.numero;
    if (l.m == 5) p.linha_m5_aberta = l.numero;
    if (l.m == 3) p.linha_m5_aberta = 0;
    if (l.ferramenta) mudou(l.numero, "troca de ferramenta no meio do percurso");
    if (l.tem_s) {
        if (!(l.s > 0))
            mudou(l.numero, formatar("S%g no meio do percurso: o fuso para", l.s));
        else if (c.S.presente() && std::fabs(l.s - c.S.v) > 0.5 + meia_unidade(c.S.decimais))
            mudou(l.numero, formatar("S%g no meio do percurso; o cabecalho diz %.0f rpm", l.s, c.S.v));
    }
    if (l.tem_f) {
        // At the cutting edge each pass has its own feed (check 7), given before its helix.
        if (!(l.f > 0))
            mudou(l.numero, formatar("f%g no meio do percurso: a ferramenta para", l.f));
        else if (!c.modos.avanco_na_aresta && c.F.presente() &&
                 std::fabs(l.f - c.F.v) > 0.5 + meia_unidade(c.F.decimais))
            mudou(l.numero, formatar("f%g no meio do percurso; o cabecalho diz %.1f mm/min", l.f, c.F.v));
        else if (c.modos.avanco_na_aresta && segmentador_.fase() == Segmentador<Modelo>::Fase::helice)
            mudou(l.numero, formatar("f%g no meio da helice: o avanco de um passe muda nele", l.f));
    }
}

void Modelo::comando(const Linha& l) {
    Preambulo& p = preambulo;
    if (!p.cortou) {
        if (l.tem_s) {
            p.tem_s = true;
            p.s = l.s;
            p.linha_s = l.numero;
        }
        // With the feed at the cutting edge each pass carries the centre's
        // own: the preamble's is the first.
        // An F on a feed move is then its pass's, where a dialect writes no
        // feed of its own before the passes.
        const bool do_passe = l.tipo == TipoLinha::movimento && l.movimento.corte();
        if (l.tem_f && !(cabecalho.modos.avanco_na_aresta && (p.tem_f || do_passe))) {
            p.tem_f = true;
            p.f = l.f;
            p.linha_f = l.numero;
        }
    }
    if (l.tem_f) {
        fechar_trecho();
        tem_f_atual_ = true;
        f_atual_ = l.f;
        linha_f_atual_ = l.numero;
    }
    if (l.m == 3 && p.linha_m3 == 0) p.linha_m3 = l.numero;
    if (l.m == 5) p.linha_m5 = l.numero;
    if (l.m == 30 && p.linha_m30 == 0) p.linha_m30 = l.numero;
    if (l.escala) {
        p.tem_escala = true;
        p.escala_x = l.escala_x;
        p.escala_y = l.escala_y;
        p.linha_escala = l.numero;
    }
}

void Modelo::ajustar(double diametro, bool desbastes, std::uint64_t linha) {
    Cabecalho& c = cabecalho;
    if (!c.Df.presente() || !std::isfinite(diametro)) return;
    const double antigo = c.Df.v;
    // The list's last pass is at Df; the finishing passes are those printed
    // as it is (the pass's stored diameter may print a unit off the answered
    // one: 26.713 against 26.712 for 26.7125). Without a list, Df itself.
    const Valor ultimo = c.lista.empty() ? Valor{} : c.lista.back().diametro;
    auto final = [antigo, ultimo](const Valor& d) {
        if (!d.presente()) return false;
        if (ultimo.presente() && ultimo.decimais == d.decimais) return std::fabs(d.v - ultimo.v) <= folga_calculo;
        return std::fabs(d.v - antigo) <= meia_unidade(d.decimais) + folga_calculo;
    };
    // The finishing step: from the last roughing pass of the list to the first at Df.
    ajuste = Ajuste{true, antigo, diametro, janela_sem_desbaste, linha};
    for (std::size_t i = 2; i < c.lista.size(); ++i)
        if (final(c.lista[i].diametro) && c.lista[i - 1].diametro.presente()) {
            ajuste.janela = std::max(janela_minima, std::fabs(antigo - c.lista[i - 1].diametro.v));
            ajuste.acabamento = c.lista[i].indice;
            break;
        }
    const bool mudou = std::fabs(diametro - antigo) > meia_unidade(c.Df.decimais) + folga_calculo;
    if (!mudou && desbastes) return;
    // What the path takes at its feeds is no longer the header's.
    c.tempo_percurso = Valor{};
    if (!desbastes && c.itens_lista > 0 && c.itens_lista == c.lista.size()) {
        std::vector<ItemLista> acabamento{c.lista[0]};
        for (std::size_t i = 1; i < c.lista.size(); ++i)
            if (final(c.lista[i].diametro)) acabamento.push_back(c.lista[i]);
        c.lista = std::move(acabamento);
        c.itens_lista = c.lista.size();
        c.np = static_cast<std::int64_t>(c.lista.size()) - 1;
    }
    if (!mudou) return;
    for (ItemLista& i : c.lista)
        if (final(i.diametro)) i.diametro.v = diametro;
    c.Df.v = diametro;
    diametro_de_ = antigo;
    diametro_para_ = diametro;
    ajustado_ = true;
}

bool Modelo::passe_no_acabamento(const Valor& diametro) const {
    // The pass the comment is of: the next one's, or the one being read.
    const std::int64_t numero = volta_pendente_ ? passe_pendente_ : segmentador_.em_passe() ? atual_.numero : -1;
    if (ajuste.acabamento >= 0 && numero >= 0) return numero >= ajuste.acabamento;
    return std::fabs(diametro.v - diametro_de_) <= meia_unidade(diametro.decimais) + folga_calculo;
}

void Modelo::comentario(std::string_view texto, std::uint64_t linha) {
    Comentario c = interpretar_comentario(texto);
    if (ajustado_ && !no_cabecalho_) {
        // The finishing pass's comments at the operator's diameter (the
        // extents' are the answered job's: check 5 allows for the change).
        if (c.tipo == TipoComentario::diametro_volta && passe_no_acabamento(c.a)) c.a.v = diametro_para_;
    }
    if (no_cabecalho_) {
        cabecalho.aplicar(c, linha);
        return;
    }
    const bool em_passe = segmentador_.em_passe();
    switch (c.tipo) {
        case TipoComentario::volta:
            if (!em_passe) {
                volta_pendente_ = true;
                segmentador_.volta_pendente(true);
                passe_pendente_ = c.i;
                fio_pendente_ = c.j;
                entrada_pendente_ = c.entrada;
                linha_pendente_ = linha;
                break;
            }
            for (Observador* o : observadores_)
                o->comentario_no_passe(atual_, c, linha, segmentador_.lidos_na_helice());
            atual_.voltas = c.j;
            break;
        case TipoComentario::diametro_volta:
            if (!em_passe) {
                diametro_pendente_ = c.a;
                break;
            }
            for (Observador* o : observadores_)
                o->comentario_no_passe(atual_, c, linha, segmentador_.lidos_na_helice());
            if (!atual_.diametro.presente()) atual_.diametro = c.a;
            break;
        case TipoComentario::extensao_x:
            extensoes.x_max = c.a;
            extensoes.x_min = c.b;
            extensoes.linha = linha;
            extensoes.apos_ultimo_passe = !em_passe;
            break;
        case TipoComentario::extensao_y:
            extensoes.y_max = c.a;
            extensoes.y_min = c.b;
            if (extensoes.linha == 0) extensoes.linha = linha;
            break;
        case TipoComentario::diametro_usinado:
            extensoes.diametro = c.a;
            if (extensoes.linha == 0) extensoes.linha = linha;
            extensoes.linha_diametro = linha;
            break;
        default: break;
    }
}

void Modelo::ilegivel(const Linha& l) {
    ++total_ilegiveis;
    if (ilegiveis.size() < max_ilegiveis) ilegiveis.push_back({l.numero, texto_visivel(l.texto, max_texto), l.bytes, std::string(l.motivo)});
}

double Modelo::percorrido(const Movimento& m) {
    const double l = comprimento_do_movimento(m);
    trecho_ += l;
    movido_no_trecho_ = true;
    return l;
}

void Modelo::fechar_trecho() {
    if (!movido_no_trecho_) return;
    minutos += f_atual_ > 0 ? trecho_ / f_atual_ : std::numeric_limits<double>::infinity();
    trecho_ = 0;
    movido_no_trecho_ = false;
}

// Where a move off the helix takes the tool: the file's heights.
void Modelo::alcancar_z(const Movimento& m) {
    if (!m.z_conhecido) return;
    visualizador::Extremos& e = extremos;
    e.z_max = std::max(e.z_max, m.para.z);
    if (m.para.z < e.z_min) {
        e.z_min = m.para.z;
        if (e.z_min < e.z_corte_min) e.linha_z_min = m.linha;
    }
}

void Modelo::caminho(const Movimento& m, std::vector<PontoPlano>* guia) {
    preambulo.cortou = true;
    ++movimentos;
    if (guia != nullptr) {
        amostrar_guia(*guia, m);
        if (alargar_caminhos_) alargar_caminho(m);
    }
    alcancar_z(m);
}

void Modelo::entrada(const Movimento& m) {
    caminho(m, &guia_entrada_);
    comprimento_entrada_ += percorrido(m);
    for (Observador* o : observadores_) o->entrada(m);
}

void Modelo::saida(const Movimento& m) {
    caminho(m, &atual_.guia_saida);
    atual_.comprimento += percorrido(m);
    for (Observador* o : observadores_) o->saida(&atual_, m);
}

void Modelo::no_ar(const Movimento& m) {
    caminho(m, nullptr);
    comprimento += percorrido(m);
    for (Observador* o : observadores_) o->saida(nullptr, m);
}

void Modelo::inicio_helice(const Movimento& m) {
    if (!amostra_definida_) definir_amostra();
    preambulo.cortou = true;
    if (Passe* anterior = passe_anterior()) anterior->saida = entrada_;

    atual_ = Passe{};
    Passe& ps = atual_;
    ps.ordem = passes;
    ps.entrada = std::move(entrada_);
    entrada_.clear();
    extensoes.apos_ultimo_passe = false;
    if (volta_pendente_) {
        ps.tem_volta = true;
        ps.numero = passe_pendente_;
        ps.voltas = fio_pendente_;
        ps.numero_entrada = entrada_pendente_;
        ps.linha_volta = linha_pendente_;
    }
    ps.diametro = diametro_pendente_;
    volta_pendente_ = false;
    segmentador_.volta_pendente(false);
    diametro_pendente_ = Valor{};

    const double conicidade = forma().conicidade_raio;
    ps.iniciar(m, conicidade);
    ps.erro += static_cast<double>(polares_) * erro_polar;
    ps.sobe = forma().sobe;
    // The hand's turning direction, the other way for a helix run up; without
    // the hand in the header, the path's own.
    if (cabecalho.sentido == 'D' || cabecalho.sentido == 'E') {
        ps.sinal_giro = vocabulario::giro(cabecalho.mao_direita(), ps.sobe);
    } else {
        const double giro =
            m.tipo == TipoMovimento::arco ? (m.horario ? -1 : 1) : ps.antes.x * m.para.y - ps.antes.y * m.para.x;
        ps.sinal_giro = giro > 0 ? 1 : -1;
    }
    ps.tem_avanco = tem_f_atual_;
    ps.avanco = f_atual_;
    ps.linha_avanco = linha_f_atual_;
    ps.comprimento = comprimento_entrada_ + percorrido(m);
    comprimento_entrada_ = 0;
    ps.guia_entrada = std::move(guia_entrada_);
    guia_entrada_.clear();

    visualizador::Extremos& e = extremos;
    if (ps.ultimo_arco) {
        // An arc's start is a point of the helix too: where a helix is less
        // than a turn, nothing else may reach as far.
        alargar(m.de.x, m.de.y, m.de.z);
        alargar_arco(m, 0);
    }
    alargar(m.para.x, m.para.y, m.para.z);
    e.tem = true;
    e.erro = std::max(e.erro, ps.erro);
    if (ps.z_min < e.z_corte_min) {
        e.z_corte_min = ps.z_min;
        if (e.z_corte_min < e.z_min) e.linha_z_min = m.linha;
    }
    amostrar_inicio(m);
    for (Observador* o : observadores_) o->inicio_helice(ps, m);
}

void Modelo::helice(const Movimento& m) {
    for (Observador* o : observadores_helice_) o->helice(atual_, m);
    Passe& ps = atual_;
    const double graus_antes = ps.graus;
    ps.somar(m, forma().conicidade_raio);
    const double x = m.para.x, y = m.para.y, z = m.para.z;
    visualizador::Extremos& e = extremos;
    if (alargar_no_centro_ || ps.ultimo_arco) [[unlikely]] {
        if (ps.ultimo_arco) alargar_arco(m, graus_antes);
        alargar(x, y, z);
    } else {
        e.incluir(x, y);
    }
    ps.comprimento += percorrido(m);
    if (z < e.z_corte_min) [[unlikely]] {
        e.z_corte_min = z;
        if (z < e.z_min) e.linha_z_min = m.linha;
    }
    if (ps.ultimo_arco) [[unlikely]] {
        amostrar_arco(m);
        return;
    }
    if (ps.movimentos <= vocabulario::passos_por_volta) ps.topo.push_back({static_cast<float>(x), static_cast<float>(y)});
    if (--ate_amostra_ == 0) {
        ate_amostra_ = ps.amostra;
        amostrar(x, z);
    }
}

void Modelo::fim_passe() {
    Passe& ps = atual_;
    if (alargar_caminhos_) juntar_caminhos(ps);
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
    ++rapidos;
    if (m.de_conhecido && entrada_.size() < max_rapidos_passe) entrada_.push_back({m.de, m.para});
    for (Observador* o : observadores_) o->rapido(m);
    alcancar_z(m);
}

void Modelo::terminar(std::uint64_t total_linhas, bool erro) {
    segmentador_.terminar();
    fechar_trecho();
    if (Passe* anterior = passe_anterior()) anterior->saida = entrada_;
    if (tem_ultimo_) {
        retidos.push_back(std::move(ultimo_));
        tem_ultimo_ = false;
    }
    linhas = total_linhas;
    erro_leitura = erro;
    for (Observador* o : observadores_) o->fim_arquivo(*this);
    observadores_.clear();
    observadores_helice_.clear();
}
