#include "emissao/escritor_iso.hpp"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "emissao/avanco.hpp"
#include "emissao/linearizacao.hpp"
#include "nucleo/formato_fixo.hpp"
#include "nucleo/juntar.hpp"
#include "vocabulario/cabecalho.hpp"

using vocabulario::Bloco;
using Subprograma = vocabulario::Dialeto::Subprograma;

namespace {

// Z as the file writes it: minus the depth, and a face of exactly 0 as 0.
double z_de(double profundidade) { return profundidade == 0 ? 0.0 : -profundidade; }

// Rounded as the file prints it: the control starts each move from there.
double como_escrito(double v) { return std::nearbyint(v * 1000) / 1000; }

}  // namespace

std::string texto_entrada(const PasseTrajeto& p) {
    if (p.entradas <= 1) return {};
    char texto[64];
    std::snprintf(texto, sizeof texto, vocabulario::formato::volta_entrada.texto(), p.passe.entrada + 1, p.entradas);
    return texto;
}

TextosVolta textos_volta(const Escrita& escrita, const PasseTrajeto& p) {
    namespace f = vocabulario::formato;
    const PassePercurso& passe = p.passe;
    const bool interna = p.interna;
    char texto[128 + max_fixo3];
    std::snprintf(texto, sizeof texto, f::volta.texto(), passe.numero);
    std::string inicio, fim;
    escrita.comentario_partido(texto, texto_entrada(p), inicio, fim);
    std::snprintf(texto, sizeof texto, interna ? f::diametro_volta_interna.texto() : f::diametro_volta_externa.texto(),
                  static_cast<double>(passe.diametro));
    TextosVolta t;
    t.abertura = escrita.em_linhas(juntar({"\n", inicio}));
    t.fechamento = escrita.em_linhas(juntar({fim, "\n", escrita.comentario(texto), "\n"}));
    return t;
}

EscritorIso::EscritorIso(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo, Progresso* progresso)
    : escrita_(dialeto, arquivo), d_(dialeto), progresso_(progresso), cordas_(dialeto) {
    arquivo.usar_fim_de_linha(dialeto.fim_de_linha);
}

std::string EscritorIso::palavra(std::string_view letra, double v, int casas) const {
    return juntar({letra, escrita_.coordenada(v, casas)});
}

std::string EscritorIso::bloco(const Percurso& percurso, Bloco b) const {
    const Escrita& e = escrita_;
    const std::string ferramenta = std::to_string(percurso.ferramenta);
    auto movimento = [&](std::string_view g, double x, double y, int casas) {
        return juntar({g, " ", palavra(d_.x, x, casas), " ", palavra(d_.y, y, casas)});
    };
    switch (b) {
        case Bloco::seguro: return std::string(d_.seguro);
        case Bloco::troca_ferramenta:
            if (percurso.ferramenta <= 0) return {};
            return juntar({d_.t, ferramenta, " ", d_.troca_ferramenta});
        case Bloco::ferramenta_e_gume:
            if (percurso.ferramenta <= 0) return {};
            return juntar({d_.t, ferramenta, " ", d_.d, "1"});
        case Bloco::troca:
            if (percurso.ferramenta <= 0) return {};
            return std::string(d_.troca_ferramenta);
        case Bloco::compensacao_comprimento:
            if (percurso.ferramenta <= 0) return {};
            return juntar({d_.compensacao_comprimento, " ", d_.h, ferramenta});
        case Bloco::comentario_ferramenta:
            if (percurso.ferramenta <= 0) return {};
            return e.comentario(juntar({"ferramenta ", d_.t, ferramenta, ": troque e ajuste o comprimento a mao"}));
        case Bloco::altura_aproximacao:
            return juntar({d_.rapido, " ", palavra(d_.z, percurso.altura_aproximacao, 0)});
        case Bloco::origem: return movimento(d_.rapido, 0, 0, 0);
        case Bloco::liga_fuso: return std::string(d_.liga_fuso);
        case Bloco::rotacao: return juntar({d_.s, e.numero(percurso.rotacao, 0)});
        case Bloco::rotacao_e_fuso: return juntar({d_.s, e.numero(percurso.rotacao, 0), " ", d_.liga_fuso});
        case Bloco::pausa:
            return juntar({d_.pausa, " ", d_.p, std::to_string(vocabulario::segundos_pausa * d_.pausa_por_segundo)});
        case Bloco::avanco: return palavra(d_.f, percurso.avanco, casas_avanco);
        case Bloco::escala_liga:
            return juntar({d_.escala_liga, " ", d_.x, e.numero(1, 2), " ", d_.y, e.numero(1, 2)});
        case Bloco::escala_desliga: return std::string(d_.escala_desliga);
        case Bloco::desliga_fuso: return std::string(d_.desliga_fuso);
        case Bloco::fim_programa: return std::string(d_.fim_programa);
    }
    return {};
}

void EscritorIso::blocos(const Percurso& percurso, std::span<const vocabulario::LinhaBloco> linhas) {
    for (const vocabulario::LinhaBloco& l : linhas) {
        const std::string texto = bloco(percurso, l.bloco);
        if (texto.empty()) continue;
        escrita_.quebras(l.quebras);
        escrita_.texto(texto);
    }
    escrita_.quebras(1);
}

void EscritorIso::inicio(const Percurso& percurso) {
    if (!d_.enquadramento) return;
    char numero[16];
    std::snprintf(numero, sizeof numero, "O%04d", percurso.programa);
    escrita_.texto(juntar({"%\n", numero, "\n"}));
}

void EscritorIso::preambulo(const Percurso& percurso) { blocos(percurso, d_.preambulo); }

void EscritorIso::final(const Percurso& percurso) {
    if (!subprograma_depois_) blocos(percurso, d_.final);
    if (d_.enquadramento) escrita_.texto("%\n");
}

void EscritorIso::contar(std::uint64_t n) {
    linhas_ += n;
    // The progress line is told every few hundred lines.
    if (progresso_ != nullptr && linhas_ - contadas_ >= 364) {
        progresso_->avancar(linhas_ - contadas_);
        contadas_ = linhas_;
    }
}

void EscritorIso::linha(const std::string& texto) {
    escrita_.quebras(1);
    escrita_.texto(texto);
    contar(1);
}

void EscritorIso::abrir_passe(const PasseTrajeto& p) {
    passe_ = &p;
    hoje_ = p.hoje;
    textos_ = textos_volta(escrita_, p);
    lado_compensacao_.clear();
    if (p.corretor >= 0) {
        lado_compensacao_ = juntar({" ", vocabulario::palavra_lado(d_, p.lado_compensacao),
                                    " ", d_.d, std::to_string(p.corretor)});
        if (!d_.avanco_no_centro.empty()) lado_compensacao_ += juntar({" ", d_.avanco_no_centro});
    }
    avanco_.clear();
    if (p.passe.avanco > 0 && !hoje_) avanco_ = juntar({" ", d_.f, escrita_.numero(p.passe.avanco, casas_avanco_passe)});
}

void EscritorIso::fechar_passe() {
    escrita_.quebras(1);
    if (progresso_ != nullptr) {
        progresso_->avancar(linhas_ - contadas_);
        contadas_ = linhas_;
    }
    passe_ = nullptr;
}

std::string EscritorIso::expressao(double v, double variacao, const char* argumento) const {
    // Worth v at the answered diameter D0: v - b D0 + b V.
    char texto[128];
    std::snprintf(texto, sizeof texto, "%s%s%.4f%s%.6f*%.*s", argumento ? argumento : "",
                  argumento && v - variacao * diametro_ >= 0 ? "+" : "", v - variacao * diametro_,
                  variacao < 0 ? "-" : "+", std::fabs(variacao), static_cast<int>(d_.variavel_diametro.size()),
                  d_.variavel_diametro.data());
    return juntar({d_.abre_expressao, texto, d_.fecha_expressao});
}

void EscritorIso::coordenada_xy(std::string& l, double v, int casas, double centro, const char* argumento,
                                double variacao) const {
    if (variacao != 0) {
        l += expressao(centro != 0 ? centro + v : v, variacao, argumento);
        return;
    }
    if (argumento != nullptr) {
        std::string numero;
        escrita_.acrescentar_coordenada(numero, v, casas);
        l += juntar({"[", argumento, numero[0] == '-' ? "" : "+", numero, "]"});
        return;
    }
    // Moved only where there is a centre: 0 + -0 would lose the sign today's files print.
    escrita_.acrescentar_coordenada(l, centro != 0 ? centro + v : v, casas);
}

void EscritorIso::palavras(std::string& l, const Alvo& a) const {
    if (a.tem_xy) {
        // A centre moved by numbers keeps the coordinates' decimals.
        const int casas = centro_.x != 0 || centro_.y != 0 ? 3 : a.casas_xy;
        l += ' ';
        l += d_.x;
        coordenada_xy(l, a.xy.x, casas, centro_.x, argumentos_ ? "#1" : nullptr, a.variacao.x);
        l += ' ';
        l += d_.y;
        coordenada_xy(l, a.xy.y, casas, centro_.y, argumentos_ ? "#2" : nullptr, a.variacao.y);
    }
    if (a.tem_z) {
        l += ' ';
        l += d_.z;
        escrita_.acrescentar_coordenada(l, z_de(a.profundidade), a.casas_z);
    }
}

void EscritorIso::rapido(const Alvo& a, bool saindo) {
    std::string l(saindo ? d_.rapido_retracao : d_.rapido);
    palavras(l, a);
    linha(l);
    if (a.tem_xy) lembrar_posicao(a);
}

void EscritorIso::reta(const Alvo& a, Compensacao c) {
    std::string l(d_.corte);
    if (c == Compensacao::liga) l += lado_compensacao_;
    if (c == Compensacao::desliga) l += juntar({" ", d_.compensacao_desliga});
    palavras(l, a);
    l += avanco_;
    avanco_.clear();
    linha(l);
    if (a.tem_xy) lembrar_posicao(a);
}

// The centre as offsets from the start, both always written. A helix of many
// turns is mostly these lines: formed in the file's own buffer.
void EscritorIso::arco(const Alvo& fim, Ponto centro, double varredura) {
    const int giro = varredura > 0 ? 1 : -1;
    const std::string_view g = giro > 0 ? d_.arco_anti_horario : d_.arco_horario;
    // Whole turns more where the dialect writes them, counted from the ends
    // as written: those of a helix of whole turns are the same point, which
    // the control takes for a full circle.
    std::int64_t voltas = 0;
    if (!d_.voltas.empty()) {
        const VoltasArco v =
            voltas_do_arco(posicao_, {como_escrito(fim.xy.x), como_escrito(fim.xy.y)}, centro, varredura);
        if (v.voltas < 0) {
            reta(fim, Compensacao::nenhuma);
            return;
        }
        voltas = v.voltas;
    }
    SaidaArquivo& arquivo = escrita_.arquivo();
    const std::string_view fim_de_linha = arquivo.fim_de_linha();
    const std::size_t maximo = fim_de_linha.size() + g.size() + 5 * (2 + 8 + Escrita::max_coordenada) +
                               d_.voltas.size() + 24 + avanco_.size();
    char* const inicio = arquivo.reservar(maximo);
    char* p = inicio;
    auto copiar = [&p](std::string_view t) {
        std::memcpy(p, t.data(), t.size());
        p += t.size();
    };
    auto palavra_em = [&](std::string_view letra, double v) {
        *p++ = ' ';
        copiar(letra);
        p = escrita_.escrever_coordenada(p, v, 3);
    };
    copiar(fim_de_linha);
    copiar(g);
    if (argumentos_ || centro_.x != 0 || centro_.y != 0) {
        std::string xy;
        coordenada_xy(xy, fim.xy.x, 3, centro_.x, argumentos_ ? "#1" : nullptr);
        copiar(juntar({" ", d_.x, xy}));
        xy.clear();
        coordenada_xy(xy, fim.xy.y, 3, centro_.y, argumentos_ ? "#2" : nullptr);
        copiar(juntar({" ", d_.y, xy}));
    } else {
        palavra_em(d_.x, fim.xy.x);
        palavra_em(d_.y, fim.xy.y);
    }
    palavra_em(d_.z, z_de(fim.profundidade));
    palavra_em(d_.i, centro.x - posicao_.x);
    palavra_em(d_.j, centro.y - posicao_.y);
    if (voltas > 0) {
        *p++ = ' ';
        copiar(d_.voltas);
        p = std::to_chars(p, p + 24, voltas).ptr;
    }
    copiar(avanco_);
    avanco_.clear();
    arquivo.avancar(static_cast<std::size_t>(p - inicio));
    contar(1);
    posicao_ = {como_escrito(fim.xy.x), como_escrito(fim.xy.y)};
    variacao_posicao_ = {};
}

// The centre as offsets from the start, each moving with the final diameter
// as the centre and the start do.
void EscritorIso::arco_variavel(const Alvo& fim, Ponto centro, Ponto variacao_centro, double varredura) {
    if (fim.variacao.x == 0 && fim.variacao.y == 0 && variacao_centro.x == 0 && variacao_centro.y == 0 &&
        variacao_posicao_.x == 0 && variacao_posicao_.y == 0) {
        arco(fim, centro, varredura);
        return;
    }
    std::string l(varredura > 0 ? d_.arco_anti_horario : d_.arco_horario);
    palavras(l, fim);
    const double vi = variacao_centro.x - variacao_posicao_.x, vj = variacao_centro.y - variacao_posicao_.y;
    l += juntar({" ", d_.i, vi != 0 ? expressao(centro.x - posicao_.x, vi, nullptr) : escrita_.coordenada(centro.x - posicao_.x, 3)});
    l += juntar({" ", d_.j, vj != 0 ? expressao(centro.y - posicao_.y, vj, nullptr) : escrita_.coordenada(centro.y - posicao_.y, 3)});
    l += avanco_;
    avanco_.clear();
    linha(l);
    lembrar_posicao(fim);
}

// Where the control stands after a move: the coordinates as printed, or an
// expression's own value.
void EscritorIso::lembrar_posicao(const Alvo& a) {
    const bool x = a.variacao.x != 0, y = a.variacao.y != 0;
    posicao_ = {x ? a.xy.x : como_escrito(a.xy.x), y ? a.xy.y : como_escrito(a.xy.y)};
    variacao_posicao_ = a.variacao;
}

void EscritorIso::variaveis(const Percurso& percurso) {
    diametro_ = percurso.plano.diametro_final_total;
    const std::string d = escrita_.numero(diametro_, 3);
    escrita_.quebras(1);
    escrita_.texto(juntar({d_.variavel_diametro, d_.atribuicao, d, " ",
                           escrita_.comentario("diametro final da rosca: mude aqui para ajustar a medida")}));
    escrita_.quebras(1);
    escrita_.texto(juntar({d_.variavel_desbastes, d_.atribuicao, "1 ",
                           escrita_.comentario("1 faz os desbastes, 0 so o acabamento no diametro acima")}));
    if (d_.subprograma == Subprograma::apos_o_fim)
        escrita_.linha_comentario(1, "variaveis de macro: o comando precisa da opcao de macro do cliente (custom macro)");
    escrita_.quebras(1);
    contar(3);
}

// The roughing passes run only where the variable says so: a block that
// jumps past them to a label, or LinuxCNC's conditional around them.
void EscritorIso::abrir_desbastes() {
    switch (d_.subprograma) {
        case Subprograma::apos_o_fim: linha(juntar({"IF [", d_.variavel_desbastes, " EQ 0] GOTO 9000"})); break;
        case Subprograma::trecho_repetido: linha(juntar({"IF ", d_.variavel_desbastes, "==0 GOTOF ACABAMENTO"})); break;
        default: linha(juntar({"o100 if [", d_.variavel_desbastes, " EQ 1]"})); break;
    }
}

void EscritorIso::fechar_desbastes() {
    switch (d_.subprograma) {
        case Subprograma::apos_o_fim: linha("N9000"); break;
        case Subprograma::trecho_repetido: linha("ACABAMENTO:"); break;
        default: linha("o100 endif"); break;
    }
    escrita_.quebras(1);
}

// LinuxCNC's subroutine takes the centre as its arguments; Fanuc's second
// program, after the first one's M30, is reached through a local shift of
// the coordinates (G52) made before each call; Sinumerik's labelled
// section is written at the first hole and repeated after a programmable
// shift (TRANS) at every other.
void EscritorIso::abrir_subprograma(const Percurso& percurso) {
    switch (d_.subprograma) {
        case Subprograma::argumentos:
            escrita_.quebras(1);
            escrita_.texto("o<rosca> sub");
            escrita_.linha_comentario(1, "um furo: o centro em #1 (X) e #2 (Y)");
            argumentos_ = true;
            break;
        case Subprograma::apos_o_fim: {
            subprograma_depois_ = true;
            char numero[16];
            std::snprintf(numero, sizeof numero, "O%04d", percurso.programa + 1);
            escrita_.texto(numero);
            escrita_.linha_comentario(1, "um furo, chamado pelo programa anterior no centro de cada furo");
            break;
        }
        default:
            escrita_.quebras(1);
            escrita_.texto("ROSCA:");
            escrita_.linha_comentario(1, "um furo, repetido no centro de cada furo seguinte");
            break;
    }
    contar(2);
}

void EscritorIso::fechar_subprograma() {
    escrita_.quebras(1);
    switch (d_.subprograma) {
        case Subprograma::argumentos: escrita_.texto("o<rosca> endsub"); break;
        case Subprograma::apos_o_fim: escrita_.texto("M99"); break;
        default: escrita_.texto("FIM_ROSCA:"); break;
    }
    escrita_.quebras(1);
    argumentos_ = false;
    trecho_escrito_ = true;
    contar(1);
}

void EscritorIso::chamar_subprograma(const Percurso& percurso, const Furo& f) {
    auto numero = [&](double v) { return escrita_.coordenada(v, 3); };
    const std::string origem = juntar({d_.rapido, " ", d_.x, escrita_.coordenada(0, 0), " ", d_.y, escrita_.coordenada(0, 0)});
    switch (d_.subprograma) {
        case Subprograma::argumentos:
            linha(juntar({d_.rapido, " ", d_.x, numero(f.x), " ", d_.y, numero(f.y)}));
            linha(juntar({"o<rosca> call [", numero(f.x), "] [", numero(f.y), "]"}));
            break;
        case Subprograma::apos_o_fim: {
            char chamada[32];
            std::snprintf(chamada, sizeof chamada, "M98 P%04d", percurso.programa + 1);
            linha(juntar({"G52 ", d_.x, numero(f.x), " ", d_.y, numero(f.y)}));
            linha(origem);
            linha(chamada);
            break;
        }
        default:
            linha(juntar({"TRANS ", d_.x, numero(f.x), " ", d_.y, numero(f.y)}));
            linha(origem);
            if (trecho_escrito_) linha("REPEAT ROSCA FIM_ROSCA");
            break;
    }
}

void EscritorIso::fim_das_chamadas() {
    // No shift outlives the last hole.
    if (d_.subprograma == Subprograma::apos_o_fim)
        linha(juntar({"G52 ", d_.x, escrita_.coordenada(0, 0), " ", d_.y, escrita_.coordenada(0, 0)}));
    if (d_.subprograma == Subprograma::trecho_repetido) linha("TRANS");
    escrita_.quebras(1);
}

void EscritorIso::final_principal(const Percurso& percurso) { blocos(percurso, d_.final); }

void EscritorIso::volta(std::int64_t n) {
    // Today's layout ends a turn's last chord with its own line break.
    if (hoje_ && n > 1) escrita_.quebras(1);
    char numero[24];
    const auto fim = std::to_chars(numero, numero + sizeof numero, n).ptr;
    SaidaArquivo& arquivo = escrita_.arquivo();
    arquivo.bruto(textos_.abertura.data(), textos_.abertura.size());
    arquivo.bruto(numero, static_cast<std::size_t>(fim - numero));
    // The closing text ends with a line break; the next move starts its own.
    const std::string_view fechamento(textos_.fechamento.data(),
                                      textos_.fechamento.size() - arquivo.fim_de_linha().size());
    arquivo.bruto(fechamento.data(), fechamento.size());
    escrita_.quebras(1);
    contar(4);
}

void EscritorIso::helice_de_hoje(const PasseTrajeto& p, Verbos* verbos) {
    // Its feed on a line of its own, then a blank line before the turns.
    if (p.passe.avanco > 0) {
        escrita_.quebras(1);
        escrita_.texto(juntar({d_.f, escrita_.numero(p.passe.avanco, casas_avanco_passe)}));
    }
    escrita_.quebras(1);
    // A tapered helix changes its radius point by point: no text repeats.
    if (verbos != nullptr || p.helice.helice.conicidade != 0) {
        Verbos& v = verbos != nullptr ? *verbos : *this;
        v.volta(1);
        linearizar_helice(p.helice, v, d_.graus_por_arco);
        escrita_.quebras(1);
        return;
    }
    const std::uint64_t n = cordas_.escrever(p, textos_, escrita_.arquivo(), progresso_);
    linhas_ += n;
    contadas_ += n;
}
