#include "emissao/escritor_heidenhain.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

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

    // Without labels yet, each hole is written out with its coordinates moved.
    void mover_para(const Furo& centro) override { centro_furo_ = centro; }
    void abrir_subprograma(const Percurso&) override {}
    void fechar_subprograma() override {}
    void chamar_subprograma(const Percurso&, const Furo&) override {}
    void fim_das_chamadas() override {}
    void final_principal(const Percurso&) override {}
    void variaveis(const Percurso&) override {}
    void abrir_desbastes() override {}
    void fechar_desbastes() override {}
    bool coordenadas_simples() const override { return centro_furo_.x == 0 && centro_furo_.y == 0; }

    void rapido(const Alvo& alvo, bool saindo) override;
    void reta(const Alvo& alvo, Compensacao compensacao) override;
    void arco(const Alvo& fim, Ponto centro, double varredura) override;
    void volta(std::int64_t n) override;

private:
    // `v` with its sign and `casas` decimals, after the letter; returns the number as written.
    std::string palavra(std::string& linha, std::string_view letra, double v, int casas) const;
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
    Furo centro_furo_;  // the hole being written
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

void EscritorHeidenhain::palavras(std::string& l, const Alvo& a) {
    if (a.tem_xy) {
        // At a hole, moved to its centre with the coordinates' decimals.
        const bool movido = centro_furo_.x != 0 || centro_furo_.y != 0;
        const Ponto p = movido ? Ponto{centro_furo_.x + a.xy.x, centro_furo_.y + a.xy.y} : a.xy;
        const int casas = movido ? 3 : a.casas_xy;
        palavra(l, "X", p.x, casas);
        palavra(l, "Y", p.y, casas);
        posicao_ = {como_escrito(p.x), como_escrito(p.y)};
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
    avanco_preambulo_ = e.numero(percurso.avanco, 0);
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

void EscritorHeidenhain::final(const Percurso& percurso) {
    // At the height the last pass left the cutter.
    std::string l = "L";
    palavra(l, "Z", percurso.altura_retracao, 0);
    linha(juntar({l, " R0 FMAX ", d_.desliga_fuso}));
    linha(juntar({l, " R0 FMAX ", d_.fim_programa}));
    linha(juntar({"END PGM ", nome_, " MM"}));
    escrita_.quebras(1);
}

void EscritorHeidenhain::abrir_passe(const PasseTrajeto& p) {
    namespace f = vocabulario::formato;
    char texto[128 + 32];
    std::snprintf(texto, sizeof texto, f::volta.texto(), p.passe.numero);
    volta_ = texto;
    std::snprintf(texto, sizeof texto, p.interna ? f::diametro_volta_interna.texto() : f::diametro_volta_externa.texto(),
                  static_cast<double>(p.passe.diametro));
    diametro_ = texto;
    lado_.clear();
    if (p.corretor >= 0) lado_ = p.lado_compensacao == 41 ? "RL" : "RR";
    avanco_passe_.clear();
    if (p.passe.avanco > 0) avanco_passe_ = escrita_.numero(p.passe.avanco, 1);
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
void EscritorHeidenhain::arco(const Alvo& fim, Ponto centro, double varredura) {
    centro = {centro_furo_.x + centro.x, centro_furo_.y + centro.y};
    const Ponto ate{como_escrito(centro_furo_.x + fim.xy.x), como_escrito(centro_furo_.y + fim.xy.y)};
    const VoltasArco v = voltas_do_arco(posicao_, ate, centro, varredura);
    if (v.voltas < 0) {
        reta(fim, Compensacao::nenhuma);
        return;
    }
    // The axis is a whole number in the file, as everywhere else.
    const int casas = centro.x == 0 && centro.y == 0 ? 0 : 3;
    std::string cc = "CC";
    palavra(cc, "X", centro.x, casas);
    palavra(cc, "Y", centro.y, casas);
    if (cc != centro_) {
        linha(cc);
        centro_ = cc;
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
    escrita_.linha_comentario(1, juntar({volta_, std::to_string(n)}));
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
