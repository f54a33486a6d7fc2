#include "emissao/emissor.hpp"

#include <algorithm>
#include <cmath>

#include "emissao/escritor_heidenhain.hpp"
#include "emissao/escritor_iso.hpp"
#include "emissao/linearizacao.hpp"
#include "percurso/guias.hpp"
#include "trabalho/parada_critica.hpp"

namespace {

// The verbs to the dialect's writer and to a listener beside it.
class Repassa final : public Verbos {
public:
    Repassa(Verbos& escritor, Verbos& ouvinte) : escritor_(escritor), ouvinte_(ouvinte) {}
    void rapido(const Alvo& a, bool saindo) override {
        ouvinte_.rapido(a, saindo);
        escritor_.rapido(a, saindo);
    }
    void reta(const Alvo& a, Compensacao c) override {
        ouvinte_.reta(a, c);
        escritor_.reta(a, c);
    }
    void arco(const Alvo& fim, Ponto centro, double varredura) override {
        ouvinte_.arco(fim, centro, varredura);
        escritor_.arco(fim, centro, varredura);
    }
    void volta(std::int64_t n) override {
        ouvinte_.volta(n);
        escritor_.volta(n);
    }

private:
    Verbos& escritor_;
    Verbos& ouvinte_;
};

// The verbs of a pass kept, to be written once it is known how they move
// with the final diameter.
struct Gravacao final : public Verbos {
    struct Verbo {
        enum Tipo { rapido, reta, arco, volta } tipo;
        Alvo alvo;
        bool saindo = false;
        Compensacao compensacao = Compensacao::nenhuma;
        Ponto centro;
        double varredura = 0;
        std::int64_t n = 0;
    };
    std::vector<Verbo> verbos;
    void rapido(const Alvo& a, bool saindo) override { verbos.push_back({Verbo::rapido, a, saindo, {}, {}, 0, 0}); }
    void reta(const Alvo& a, Compensacao c) override { verbos.push_back({Verbo::reta, a, false, c, {}, 0, 0}); }
    void arco(const Alvo& fim, Ponto centro, double varredura) override {
        verbos.push_back({Verbo::arco, fim, false, Compensacao::nenhuma, centro, varredura, 0});
    }
    void volta(std::int64_t n) override { verbos.push_back({Verbo::volta, {}, false, {}, {}, 0, n}); }
};

// `angulos`: each arc turning as far, where the dialect writes an arc by
// its angle from wherever the cutter stands, not by its end.
bool mesma_forma(const Gravacao& a, const Gravacao& b, bool angulos) {
    if (a.verbos.size() != b.verbos.size()) return false;
    for (std::size_t i = 0; i < a.verbos.size(); ++i) {
        const auto& x = a.verbos[i];
        const auto& y = b.verbos[i];
        if (x.tipo != y.tipo || x.alvo.tem_xy != y.alvo.tem_xy || x.alvo.tem_z != y.alvo.tem_z ||
            (x.varredura > 0) != (y.varredura > 0) || x.compensacao != y.compensacao || x.saindo != y.saindo)
            return false;
        if (angulos && std::fabs(x.varredura - y.varredura) > 1e-6) return false;
    }
    return true;
}

// The dialect's writer: the ISO one from the table, or a language's own.
std::unique_ptr<EscritorDialeto> escritor_do_dialeto(const vocabulario::Dialeto& d, SaidaArquivo& arquivo,
                                                     const OpcoesEmissao& opcoes) {
    switch (d.linguagem) {
        case vocabulario::Linguagem::texto_claro: return criar_escritor_heidenhain(d, arquivo, opcoes.arquivo);
        case vocabulario::Linguagem::iso: break;
    }
    return std::make_unique<EscritorIso>(d, arquivo);
}

}  // namespace

Emissor::Emissor(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo, OpcoesEmissao opcoes)
    : dialeto_(dialeto), escritor_(escritor_do_dialeto(dialeto, arquivo, opcoes)), opcoes_(std::move(opcoes)) {
    if (opcoes_.ouvinte) repassa_ = std::make_unique<Repassa>(*escritor_, *opcoes_.ouvinte);
}

Emissor::~Emissor() = default;

Verbos& Emissor::verbos() { return repassa_ ? *repassa_ : static_cast<Verbos&>(*escritor_); }

void Emissor::inicio(const Percurso& percurso) { escritor_->inicio(percurso); }

void Emissor::preambulo(const Percurso& percurso) {
    escritor_->preambulo(percurso);
    if (percurso.ajuste) escritor_->variaveis(percurso);
}

void Emissor::passe(const Percurso& percurso, const PasseTrajeto& t, Verbos& verbos, double graus_por_arco) {
    if (graus_por_arco <= 0) graus_por_arco = dialeto_.graus_por_arco;
    for (const Segmento& s : t.segmentos) {
        switch (s.tipo) {
            case TipoSegmento::rapido: verbos.rapido(s.alvo, s.saindo); break;
            case TipoSegmento::reta: verbos.reta(s.alvo, s.compensacao); break;
            case TipoSegmento::arco: linearizar_arco(s, percurso.modos.arcos, verbos); break;
            case TipoSegmento::volta: verbos.volta(s.numero); break;
            case TipoSegmento::helice: {
                // Today's pass keeps today's layout, and the fast way of
                // writing it where its coordinates are plain numbers.
                const bool simples =
                    opcoes_.escrita_simples || opcoes_.ouvinte || !escritor_->coordenadas_simples();
                if (s.indice_helice >= 0)
                    linearizar_helice(t.voltas[static_cast<std::size_t>(s.indice_helice)], verbos, graus_por_arco);
                else if (t.hoje)
                    escritor_->helice_de_hoje(t, simples ? &verbos : nullptr);
                else
                    linearizar_helice(t.helice, verbos, graus_por_arco);
                break;
            }
        }
    }
}

// The finishing pass where the final diameter is a variable: its moves at
// the answered diameter, each coordinate with how it changes per mm of the
// diameter, measured on the same pass traced a hundredth smaller.
void Emissor::passe_variavel(const Percurso& percurso, const PasseTrajeto& t, Verbos& verbos) {
    constexpr double delta = 0.01;
    // Arcs of at most half a turn: a block of whole turns would need its
    // ends written alike, and expressions are not.
    constexpr double meia_volta = 180;
    const bool angulos = dialeto_.linguagem == vocabulario::Linguagem::texto_claro;
    Gravacao a, b;
    passe(percurso, t, a, meia_volta);
    PasseTrajeto outro;
    for (const double sinal : {-1.0, 1.0}) {
        PassePercurso p = t.passe;
        mudar_diametro(percurso, p, static_cast<float>(p.diametro + sinal * delta));
        tracar_passe(percurso, p, outro);
        b.verbos.clear();
        passe(percurso, outro, b, meia_volta);
        if (!mesma_forma(a, b, angulos)) continue;
        const double escala = 1 / (static_cast<double>(t.passe.diametro) - static_cast<double>(p.diametro));
        for (std::size_t i = 0; i < a.verbos.size(); ++i) {
            Gravacao::Verbo v = a.verbos[i];
            const Gravacao::Verbo& w = b.verbos[i];
            if (v.alvo.tem_xy) v.alvo.variacao = {(v.alvo.xy.x - w.alvo.xy.x) * escala, (v.alvo.xy.y - w.alvo.xy.y) * escala};
            switch (v.tipo) {
                case Gravacao::Verbo::rapido: verbos.rapido(v.alvo, v.saindo); break;
                case Gravacao::Verbo::reta: verbos.reta(v.alvo, v.compensacao); break;
                case Gravacao::Verbo::volta: verbos.volta(v.n); break;
                case Gravacao::Verbo::arco:
                    verbos.arco_variavel(v.alvo, v.centro,
                                         {(v.centro.x - w.centro.x) * escala, (v.centro.y - w.centro.y) * escala}, v.varredura);
                    break;
            }
        }
        return;
    }
    parada_critica("\n\aERRO! O diametro final nao pode ficar numa variavel com este percurso: o acabamento muda de "
                   "forma perto desse diametro.\n\a");
}

void Emissor::furo(const Percurso& percurso, Verbos& verbos, bool escrever) {
    SequenciaPasses sequencia(percurso);
    PassePercurso p;
    PasseTrajeto t;
    bool desbastes = false;
    while (sequencia.proximo(p)) {
        tracar_passe(percurso, p, t);
        extremos_.juntar(t.extremos);
        if (!escrever) continue;
        // The roughing passes run only where the operator's variable says so.
        const bool acabamento = p.acabamento;
        if (percurso.ajuste && !acabamento && !desbastes) escritor_->abrir_desbastes();
        if (percurso.ajuste && acabamento && desbastes) escritor_->fechar_desbastes();
        desbastes = percurso.ajuste && !acabamento;
        escritor_->abrir_passe(t);
        ++passes_escritos_;
        if (percurso.ajuste && acabamento)
            passe_variavel(percurso, t, verbos);
        else
            passe(percurso, t, verbos);
        escritor_->fechar_passe();
    }
    if (!escrever) return;
    if (desbastes) escritor_->fechar_desbastes();
    std::vector<Segmento> fim;
    tracar_fim(percurso, fim);
    if (!fim.empty()) {
        for (const Segmento& s : fim) verbos.rapido(s.alvo, s.saindo);
        escritor_->fechar_passe();
    }
}

namespace {

// How many times the path of one hole is written: once, or at every centre
// where the dialect has no subprogram.
double vezes_escrito(const Percurso& percurso, const vocabulario::Dialeto& dialeto) {
    const bool escrito_uma_vez =
        !percurso.furos.empty() && dialeto.subprograma != vocabulario::Dialeto::Subprograma::nenhum;
    return percurso.furos.empty() || escrito_uma_vez ? 1.0 : static_cast<double>(percurso.furos.size());
}

// A number of `casas` decimals no larger than `maior` in magnitude as the
// file writes it: its sign, digits, point and decimals; where no bound is
// known, the widest a coordinate is ever written.
double largura_numero(double maior, int casas = 3) {
    if (!(maior < 1e44)) return static_cast<double>(Escrita::max_coordenada);
    const double digitos = maior >= 10 ? std::floor(std::log10(maior)) + 1 : 1;
    return digitos + 2 + casas;
}

// The lines of a pass, at most, by kind: its straight moves of one form
// (the helix's chords, and its arcs' where they are written as chords); the
// turn comments with the blank lines around them; all the others (rapids,
// lines, arcs as blocks, its feed and blank lines, its line in the header's
// list of passes).
struct LinhasPasse {
    double cordas = 0, comentarios = 0, outras = 0;
};

LinhasPasse linhas_do_passe(const PasseTrajeto& t, bool arcos, double graus_por_arco) {
    LinhasPasse n;
    auto helice = [&](const TrechoHelice& h) {
        const double graus = std::fabs(h.t_fim - h.t_ini);
        if (h.arcos) {
            // A block a piece, and the centre's where the dialect writes it apart.
            n.outras += 2 * (std::ceil(graus / graus_por_arco) + 1);
        } else if (h.generico) {
            n.cordas += std::ceil(graus) + 2;
        } else {
            n.cordas += static_cast<double>(h.indice_ultimo) + 2;
            n.comentarios += 4 * (std::floor(static_cast<double>(h.indice_ultimo) / vocabulario::passos_por_volta) + 1);
        }
    };
    for (const Segmento& s : t.segmentos) {
        switch (s.tipo) {
            case TipoSegmento::rapido:
            case TipoSegmento::reta: n.outras += 1; break;
            case TipoSegmento::volta: n.comentarios += 4; break;
            case TipoSegmento::arco:
                if (arcos)
                    n.outras += 2;
                else
                    n.cordas += std::ceil(std::fabs(s.arco.varredura)) + 1;
                break;
            case TipoSegmento::helice:
                helice(s.indice_helice >= 0 ? t.voltas[static_cast<std::size_t>(s.indice_helice)] : t.helice);
                break;
        }
    }
    n.outras += 8;
    return n;
}

}  // namespace

double cota_bytes_passes(const Percurso& percurso, const vocabulario::Dialeto& dialeto, double limite) {
    using Subprograma = vocabulario::Dialeto::Subprograma;
    const PlanoPasses& p = percurso.plano;
    const double vezes = vezes_escrito(percurso, dialeto);
    // The farthest any X or Y goes from the axis: the largest pass's radius,
    // widened by the taper to the deepest point, the cutter and the blank
    // beside it (the ways out, the retract's corner); and the centre of a
    // hole where the path is written out there.
    const double fundo = profundidade_maxima(percurso, percurso.modos.arcos);
    const double diametro = std::max({std::fabs(static_cast<double>(p.diametro_inicial)),
                                      std::fabs(static_cast<double>(p.diametro_final)),
                                      std::fabs(static_cast<double>(p.diametro_final_total))});
    const double passo = std::fabs(static_cast<double>(percurso.helice.passo_rosca));
    double centro = 0;
    if (dialeto.subprograma == Subprograma::nenhum)
        for (const Furo& f : percurso.furos) centro = std::max({centro, std::fabs(f.x), std::fabs(f.y)});
    const double xy = diametro + 2.5 * std::fabs(static_cast<double>(p.diametro_ferramenta)) + passo +
                      percurso.conicidade_diametro * fundo + static_cast<double>(percurso.folga_retracao) + 5 + centro;
    const double numero = std::max(largura_numero(xy), largura_numero(fundo + passo + 10));
    const double fim = static_cast<double>(dialeto.fim_de_linha.size());
    // A chord: its word and three coordinates; X and Y relative to the
    // arguments of a subprogram ("X[#1+1.000]").
    const bool argumentos = !percurso.furos.empty() && dialeto.subprograma == Subprograma::argumentos;
    const double corda = fim + std::max<double>(static_cast<double>(dialeto.corte.size()), 3) + 3 * (2 + numero) +
                         (argumentos ? 10 : 0);
    // Where the final diameter is a variable, X and Y each an expression of
    // it, or a parameter set by a formula line first.
    const double expressao = fim + 30 + 2 * numero + static_cast<double>(dialeto.variavel_diametro.size());
    const double corda_variavel = corda + 2 * expressao;
    // A turn comment names the pass, the turn and the start, or the diameter.
    const double comentario = fim + 128 + numero;
    // Any other line: an arc's with four expressions is the widest.
    const double outra = fim + 256 + 10 * numero;

    double cordas = 0, variaveis = 0, comentarios = 0, outras = static_cast<double>(percurso.furos.size()) * 8;
    // Where every line is a numbered block: the number, as wide as the
    // lines counted so far make it, and its blank.
    const bool blocos = dialeto.linguagem == vocabulario::Linguagem::texto_claro;
    auto bytes = [&] {
        const double linhas = cordas + variaveis + comentarios + outras + 1000;
        const double bloco = blocos ? std::floor(std::log10(linhas)) + 2 : 0;
        return cordas * (corda + bloco) + variaveis * (corda_variavel + 3 * bloco) +
               comentarios * (comentario + bloco) + outras * (outra + bloco);
    };
    SequenciaPasses sequencia(percurso);
    PassePercurso passe;
    PasseTrajeto t;
    while (bytes() <= limite && sequencia.proximo(passe)) {
        tracar_passe(percurso, passe, t);
        // The variable's pass: arcs of at most half a turn, each with its
        // centre's formulas too.
        const bool variavel = percurso.ajuste && passe.acabamento;
        const LinhasPasse n = linhas_do_passe(t, percurso.modos.arcos, variavel ? 180 : dialeto.graus_por_arco);
        (variavel ? variaveis : cordas) += vezes * n.cordas;
        comentarios += vezes * n.comentarios;
        outras += vezes * n.outras * (variavel ? 3 : 1);
    }
    return bytes();
}

double Emissor::parte_escrita(const Percurso& percurso) const {
    SequenciaPasses sequencia(percurso);
    PassePercurso p;
    double passes = 0;
    while (sequencia.proximo(p)) ++passes;
    passes *= vezes_escrito(percurso, dialeto_);
    return passes > 0 && passes_escritos_ > 1 ? (static_cast<double>(passes_escritos_) - 0.5) / passes : 0;
}

void Emissor::passes(const Percurso& percurso, Console* console) {
    const std::vector<Furo>& furos = percurso.furos;
    using vocabulario::Dialeto;
    const bool escrito_uma_vez = !furos.empty() && dialeto_.subprograma != Dialeto::Subprograma::nenhum;
    const double vezes = vezes_escrito(percurso, dialeto_);
    // Erased when this returns or a stop unwinds, before the console goes on.
    Progresso progresso(opcoes_.progresso ? linhas_previstas(percurso) * vezes : 0, console);
    escritor_->usar_progresso(&progresso);
    struct Sem {
        EscritorDialeto& escritor;
        ~Sem() { escritor.usar_progresso(nullptr); }
    } sem{*escritor_};

    if (furos.empty()) {
        furo(percurso, verbos());
        return;
    }
    if (!escrito_uma_vez) {
        // Written out at every centre, the coordinates moved there.
        for (const Furo& f : furos) {
            escritor_->mover_para(f);
            furo(percurso, verbos());
        }
        escritor_->mover_para({});
        return;
    }
    switch (dialeto_.subprograma) {
        case Dialeto::Subprograma::argumentos:
            // Defined before it is called.
            escritor_->abrir_subprograma(percurso);
            furo(percurso, verbos());
            escritor_->fechar_subprograma();
            break;
        case Dialeto::Subprograma::apos_o_fim:
            // It follows the main program's end (final); its extents now.
            furo(percurso, verbos(), false);
            break;
        case Dialeto::Subprograma::trecho_repetido:
            // Written where the first hole is cut, between its labels; the
            // other holes repeat it.
            escritor_->chamar_subprograma(percurso, furos.front());
            escritor_->abrir_subprograma(percurso);
            furo(percurso, verbos());
            escritor_->fechar_subprograma();
            break;
        case Dialeto::Subprograma::nenhum: break;
    }
    const bool primeiro_cortado = dialeto_.subprograma == Dialeto::Subprograma::trecho_repetido;
    for (std::size_t i = primeiro_cortado ? 1 : 0; i < furos.size(); ++i) escritor_->chamar_subprograma(percurso, furos[i]);
    escritor_->fim_das_chamadas();
}

void Emissor::final(const Percurso& percurso) {
    if (!percurso.furos.empty() && dialeto_.subprograma == vocabulario::Dialeto::Subprograma::apos_o_fim) {
        escritor_->final_principal(percurso);
        escritor_->abrir_subprograma(percurso);
        gerador::Extremos extremos = extremos_;
        furo(percurso, verbos());
        extremos_ = extremos;
        escritor_->fechar_subprograma();
    }
    escritor_->final(percurso);
}
