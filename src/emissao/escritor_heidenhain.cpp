#include "emissao/escritor_heidenhain.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "emissao/avanco.hpp"
#include "emissao/cordas.hpp"
#include "emissao/linearizacao.hpp"
#include "emissao/nome_programa.hpp"
#include "nucleo/juntar.hpp"
#include "vocabulario/cabecalho.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;

// Rounded as the file prints it: the control starts each move from there.
double como_escrito(double v) { return std::nearbyint(v * 1000) / 1000; }

// A number as written: the rise of an arc is the difference of the heights
// the file gives, rounded as printf rounds them. In extended precision the
// difference of two numbers of three decimals prints exactly for any real
// part; a height of no real job gives some number, never a fault.
long double como_numero(const std::string& numero) { return std::strtold(numero.c_str(), nullptr); }

class EscritorHeidenhain final : public EscritorDialeto {
public:
    EscritorHeidenhain(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo, std::string_view nome_arquivo)
        : escrita_(dialeto, arquivo), d_(dialeto), nome_(nome_programa(dialeto, nome_arquivo)) {
        arquivo.usar_fim_de_linha(dialeto.fim_de_linha);
        arquivo.numerar_blocos();
    }

    Escrita& escrita() override { return escrita_; }
    void usar_progresso(Progresso* progresso) override { progresso_ = progresso; }

    void inicio(const Percurso&) override { escrita_.texto(juntar({"BEGIN PGM ", nome_, " MM\n"})); }
    void preambulo(const Percurso& percurso) override;
    void final(const Percurso& percurso) override;

    void abrir_passe(const PasseTrajeto& passe) override;
    void helice_de_hoje(const PasseTrajeto& passe, Verbos* verbos) override;
    void fechar_passe() override;
    std::uint64_t linhas() const override { return linhas_; }

    void mover_para(const Furo& centro) override { centro_furo_ = centro; }
    void abrir_subprograma(const Percurso& percurso) override;
    void fechar_subprograma() override;
    void chamar_subprograma(const Percurso& percurso, const Furo& centro) override;
    void fim_das_chamadas() override { deslocar({}); }
    void final_principal(const Percurso& percurso) override { fim_do_programa(percurso); }
    void variaveis(const Percurso& percurso) override;
    void abrir_desbastes() override;
    // A jump lands here past the roughing passes' CC: the next arc writes its own.
    void fechar_desbastes() override {
        linha(juntar({"LBL ", std::to_string(lbl_acabamento)}));
        centro_.clear();
    }
    void arco_variavel(const Alvo& fim, Ponto centro, Ponto variacao_centro, double varredura) override;
    bool coordenadas_simples() const override { return centro_furo_.x == 0 && centro_furo_.y == 0; }

    void rapido(const Alvo& alvo, bool saindo) override;
    void reta(const Alvo& alvo, Compensacao compensacao) override;
    void arco(const Alvo& fim, Ponto centro, double varredura) override;
    void volta(std::int64_t n) override;

private:
    // The hole's labelled subprogram, and the one that skips the roughing passes.
    static constexpr int lbl_furo = 1, lbl_acabamento = 2;
    // Q parameters that carry a coordinate that follows the final diameter,
    // X and Y of a move and of a centre.
    static constexpr int q_ponto = 1610, q_centro = 1612;

    // `v` with its sign and `casas` decimals, after the letter; returns the number as written.
    std::string palavra(std::string& linha, std::string_view letra, double v, int casas) const;
    // X and Y of `p`, each either a number or, where it moves with the final
    // diameter by `variacao` per mm, the Q parameter from `q` on set to it
    // by a formula block first.
    void palavras_xy(std::string& linha, Ponto p, Ponto variacao, int casas, int q);
    void arco_de(const Alvo& fim, Ponto centro, Ponto variacao_centro, double varredura);
    void deslocar(const Furo& origem);
    void fim_do_programa(const Percurso& percurso);
    void palavras(std::string& linha, const Alvo& alvo);
    void avanco(std::string& linha);
    void linha(const std::string& texto);

    Escrita escrita_;
    const vocabulario::Dialeto& d_;
    const std::string nome_;
    Progresso* progresso_ = nullptr;
    std::string avanco_preambulo_;  // the answered feed, as the other dialects' preamble has it
    // The pass being written.
    std::string avanco_passe_;
    std::string volta_, diametro_;  // its turn comments: the first up to the turn's number
    std::string entrada_;           // and after it
    std::string lado_;              // RL or RR, with the control's compensation
    // The control's state as the blocks leave it: FMAX holds for its own
    // block only, F and the compensation until changed.
    bool avanco_pendente_ = true;
    bool compensando_ = false;
    std::string centro_;  // the last CC block
    // Where the cutter stands: as written after a line, as the control
    // computes it after an arc.
    Ponto posicao_;
    long double z_ = 0;
    Furo centro_furo_;                 // the hole being written out, where it is moved by numbers
    bool subprograma_depois_ = false;  // the hole's label follows the program's end
    double diametro_final_ = 0;        // the answered final diameter, where it is a variable
    std::uint64_t linhas_ = 0, contadas_ = 0;
};

std::string EscritorHeidenhain::palavra(std::string& l, std::string_view letra, double v, int casas) const {
    std::string numero;
    escrita_.acrescentar_coordenada(numero, v, casas);
    l += ' ';
    l += letra;
    if (numero.empty() || numero[0] != '-') l += '+';
    l += numero;
    return numero;
}

void EscritorHeidenhain::palavras_xy(std::string& l, Ponto p, Ponto variacao, int casas, int q) {
    const double v[2] = {p.x, p.y}, b[2] = {variacao.x, variacao.y};
    const char* letras[2] = {"X", "Y"};
    for (int k = 0; k < 2; ++k) {
        if (b[k] == 0) {
            palavra(l, letras[k], v[k], casas);
            continue;
        }
        // Worth v at the answered diameter D0: v - b D0 + b Q1600.
        char formula[160];
        std::snprintf(formula, sizeof formula, "Q%d = %.4f %c %.6f * %.*s", q + k, v[k] - b[k] * diametro_final_,
                      b[k] < 0 ? '-' : '+', std::fabs(b[k]), static_cast<int>(d_.variavel_diametro.size()),
                      d_.variavel_diametro.data());
        linha(formula);
        l += juntar({" ", letras[k], "+Q", std::to_string(q + k)});
    }
}

void EscritorHeidenhain::palavras(std::string& l, const Alvo& a) {
    if (a.tem_xy) {
        // At a hole, moved to its centre with the coordinates' decimals.
        const bool movido = centro_furo_.x != 0 || centro_furo_.y != 0;
        const Ponto p = movido ? Ponto{centro_furo_.x + a.xy.x, centro_furo_.y + a.xy.y} : a.xy;
        palavras_xy(l, p, a.variacao, movido ? 3 : a.casas_xy, q_ponto);
        // Where the control stands: as printed, or a parameter's own value.
        posicao_ = {a.variacao.x != 0 ? p.x : como_escrito(p.x), a.variacao.y != 0 ? p.y : como_escrito(p.y)};
    }
    if (a.tem_z) {
        z_ = como_numero(palavra(l, "Z", a.profundidade == 0 ? 0.0 : -a.profundidade, a.casas_z));
    }
}

// F on the first feed move after a rapid: the control goes back to the last
// F by itself, but the block reads on its own.
void EscritorHeidenhain::avanco(std::string& l) {
    if (!avanco_pendente_) return;
    l += " F";
    l += avanco_passe_.empty() ? avanco_preambulo_ : avanco_passe_;
    avanco_pendente_ = false;
}

void EscritorHeidenhain::linha(const std::string& texto) {
    escrita_.quebras(1);
    escrita_.texto(texto);
    ++linhas_;
    if (progresso_ != nullptr && linhas_ - contadas_ >= 364) {
        progresso_->avancar(linhas_ - contadas_);
        contadas_ = linhas_;
    }
}

void EscritorHeidenhain::preambulo(const Percurso& percurso) {
    const Escrita& e = escrita_;
    avanco_preambulo_ = e.numero(percurso.avanco, casas_avanco);
    // Without --ferramenta, tool 1: the control runs nothing before a TOOL CALL
    // gives it the spindle's axis and speed.
    const int ferramenta = percurso.ferramenta > 0 ? percurso.ferramenta : 1;
    linha(juntar({"TOOL CALL ", std::to_string(ferramenta), " Z S", e.numero(percurso.rotacao, 0)}));
    // The spindle comes on with the first positioning.
    std::string altura = "L";
    z_ = como_numero(palavra(altura, "Z", percurso.altura_aproximacao, 0));
    linha(juntar({altura, " R0 FMAX ", d_.liga_fuso}));
    std::string origem = "L";
    palavra(origem, "X", 0, 0);
    palavra(origem, "Y", 0, 0);
    linha(juntar({origem, " R0 FMAX"}));
    posicao_ = {0, 0};
    linha("CYCL DEF 9.0 DWELL TIME");
    linha(juntar({"CYCL DEF 9.1 DWELL ", std::to_string(vocabulario::segundos_pausa)}));
}

void EscritorHeidenhain::fim_do_programa(const Percurso& percurso) {
    // At the height the last pass left the cutter.
    std::string l = "L";
    palavra(l, "Z", percurso.altura_retracao, 0);
    linha(juntar({l, " R0 FMAX ", d_.desliga_fuso}));
    linha(juntar({l, " R0 FMAX ", d_.fim_programa}));
}

void EscritorHeidenhain::final(const Percurso& percurso) {
    if (!subprograma_depois_) fim_do_programa(percurso);
    linha(juntar({"END PGM ", nome_, " MM"}));
    escrita_.quebras(1);
}

// The final diameter and the choice of the roughing passes as Q parameters
// the operator changes at the control.
void EscritorHeidenhain::variaveis(const Percurso& percurso) {
    diametro_final_ = percurso.plano.diametro_final_total;
    escrita_.linha_comentario(1, "diametro final da rosca: mude aqui para ajustar a medida");
    std::string l = juntar({"FN 0: ", d_.variavel_diametro, " ="});
    palavra(l, "", diametro_final_, 3);
    linha(l);
    escrita_.linha_comentario(1, "1 faz os desbastes, 0 so o acabamento no diametro acima");
    linha(juntar({"FN 0: ", d_.variavel_desbastes, " = +1"}));
    linhas_ += 2;
}

void EscritorHeidenhain::abrir_desbastes() {
    linha(juntar({"FN 9: IF +", d_.variavel_desbastes, " EQU +0 GOTO LBL ", std::to_string(lbl_acabamento)}));
}

// One hole's passes as a label after the program's end, called at each
// centre through a datum shift (cycle 7) cancelled after the last hole.
void EscritorHeidenhain::abrir_subprograma(const Percurso&) {
    subprograma_depois_ = true;
    // Each call runs the label from its top: no CC of the caller's is taken for granted.
    centro_.clear();
    linha(juntar({"LBL ", std::to_string(lbl_furo)}));
    escrita_.linha_comentario(1, "um furo, chamado pelo programa acima no centro de cada furo");
    ++linhas_;
}

void EscritorHeidenhain::fechar_subprograma() { linha("LBL 0"); }

void EscritorHeidenhain::deslocar(const Furo& origem) {
    const int casas = origem.x == 0 && origem.y == 0 ? 0 : 3;
    linha("CYCL DEF 7.0 DATUM SHIFT");
    std::string x = "CYCL DEF 7.1", y = "CYCL DEF 7.2";
    palavra(x, "X", origem.x, casas);
    palavra(y, "Y", origem.y, casas);
    linha(x);
    linha(y);
}

void EscritorHeidenhain::chamar_subprograma(const Percurso&, const Furo& centro) {
    deslocar(centro);
    std::string l = "L";
    palavra(l, "X", 0, 0);
    palavra(l, "Y", 0, 0);
    linha(juntar({l, " R0 FMAX"}));
    posicao_ = {0, 0};
    linha(juntar({"CALL LBL ", std::to_string(lbl_furo)}));
}

void EscritorHeidenhain::abrir_passe(const PasseTrajeto& p) {
    namespace f = vocabulario::formato;
    char texto[128 + 32];
    std::snprintf(texto, sizeof texto, f::volta.texto(), p.passe.numero);
    volta_ = texto;
    entrada_ = texto_entrada(p);
    std::snprintf(texto, sizeof texto, p.interna ? f::diametro_volta_interna.texto() : f::diametro_volta_externa.texto(),
                  static_cast<double>(p.passe.diametro));
    diametro_ = texto;
    lado_.clear();
    if (p.corretor >= 0) lado_ = vocabulario::palavra_lado(d_, p.lado_compensacao);
    avanco_passe_.clear();
    if (p.passe.avanco > 0) avanco_passe_ = escrita_.numero(p.passe.avanco, casas_avanco_passe);
    avanco_pendente_ = true;
}

void EscritorHeidenhain::fechar_passe() {
    if (progresso_ != nullptr) {
        progresso_->avancar(linhas_ - contadas_);
        contadas_ = linhas_;
    }
}

void EscritorHeidenhain::rapido(const Alvo& a, bool) {
    std::string l = "L";
    palavras(l, a);
    // R0 would take the compensation off: a rapid under it leaves it on.
    l += compensando_ ? " FMAX" : " R0 FMAX";
    linha(l);
    avanco_pendente_ = true;
}

void EscritorHeidenhain::reta(const Alvo& a, Compensacao c) {
    std::string l = "L";
    palavras(l, a);
    if (c == Compensacao::liga) {
        l += ' ';
        l += lado_;
        compensando_ = true;
    } else if (c == Compensacao::desliga) {
        l += " R0";
        compensando_ = false;
    }
    avanco(l);
    linha(l);
}

// About a centre of its own, from where the cutter stands: IPA the angle
// turned, its sign the sense as DR's, IZ the rise.
void EscritorHeidenhain::arco(const Alvo& fim, Ponto centro, double varredura) { arco_de(fim, centro, {}, varredura); }

// Where the final diameter is a variable the centre may follow it; the
// angle turned does not (the finishing pass keeps its shape).
void EscritorHeidenhain::arco_variavel(const Alvo& fim, Ponto centro, Ponto variacao_centro, double varredura) {
    arco_de(fim, centro, variacao_centro, varredura);
}

void EscritorHeidenhain::arco_de(const Alvo& fim, Ponto centro, Ponto variacao_centro, double varredura) {
    centro = {centro_furo_.x + centro.x, centro_furo_.y + centro.y};
    const Ponto fim_xy{centro_furo_.x + fim.xy.x, centro_furo_.y + fim.xy.y};
    const Ponto ate{fim.variacao.x != 0 ? fim_xy.x : como_escrito(fim_xy.x),
                    fim.variacao.y != 0 ? fim_xy.y : como_escrito(fim_xy.y)};
    const VoltasArco v = voltas_do_arco(posicao_, ate, centro, varredura);
    if (v.voltas < 0) {
        reta(fim, Compensacao::nenhuma);
        return;
    }
    // The axis is a whole number in the file, as everywhere else.
    const int casas = centro.x == 0 && centro.y == 0 ? 0 : 3;
    std::string cc = "CC";
    palavras_xy(cc, centro, variacao_centro, casas, q_centro);
    const bool por_parametros = variacao_centro.x != 0 || variacao_centro.y != 0;
    // A centre in parameters is written each time: their values change.
    if (cc != centro_ || por_parametros) {
        linha(cc);
        centro_ = por_parametros ? std::string() : cc;
    }
    const int giro = varredura > 0 ? 1 : -1;
    const double graus = giro * (v.angulo + 360.0 * static_cast<double>(v.voltas));
    const double ipa = como_escrito(graus);
    const long double z = como_numero(escrita_.numero(fim.profundidade == 0 ? 0.0 : -fim.profundidade, 3));
    std::string l = "CP";
    palavra(l, "IPA", ipa, 3);
    palavra(l, "IZ", static_cast<double>(z - z_ + 0.0L), 3);  // never "-0.000"
    l += giro > 0 ? " DR+" : " DR-";
    avanco(l);
    linha(l);
    // Where the control ends it: the start turned by the angle as written.
    const double a = ipa * pi / 180;
    const double dx = posicao_.x - centro.x, dy = posicao_.y - centro.y;
    posicao_ = {centro.x + dx * std::cos(a) - dy * std::sin(a), centro.y + dx * std::sin(a) + dy * std::cos(a)};
    z_ = z;
}

void EscritorHeidenhain::volta(std::int64_t n) {
    escrita_.linha_comentario(1, juntar({volta_, std::to_string(n), entrada_}));
    escrita_.linha_comentario(1, diametro_);
    linhas_ += 2;
}

void EscritorHeidenhain::helice_de_hoje(const PasseTrajeto& p, Verbos* verbos) {
    Verbos& v = verbos != nullptr ? *verbos : *this;
    v.volta(1);
    linearizar_helice(p.helice, v, d_.graus_por_arco);
}

}  // namespace

std::unique_ptr<EscritorDialeto> criar_escritor_heidenhain(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo,
                                                           std::string_view nome_arquivo) {
    return std::make_unique<EscritorHeidenhain>(dialeto, arquivo, nome_arquivo);
}
