#include "emissao/passe_geral.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "nucleo/juntar.hpp"
#include "percurso/guias.hpp"
#include "percurso/ponto_helice.hpp"
#include "trabalho/parada_critica.hpp"
#include "vocabulario/geometria.hpp"

// A pass of any other shape than today's: run from the thread length up,
// entered and left along tangent arcs, programmed on the thread's diameter
// for the control's cutter compensation, or written as helical arcs. The
// moves are worked out here, from the pass's description and the
// linearisation, and written one by one.
//
// Angles are the generator's (ponto_helice.hpp): a point of the helix at
// angle t is (r cos t, s r sin t), s = -1 for a right hand; in the XY plane's
// own terms, counter-clockwise from X+, that is the angle s t.

namespace {

constexpr double pi = 3.14159265358979323846;
double rad(double graus) { return graus * pi / 180; }
double graus(double radianos) { return radianos * 180 / pi; }

struct Ponto {
    double x = 0, y = 0;
};

// Rounded as the file prints it: the control starts each move from there.
double como_escrito(double v) { return std::nearbyint(v * 1000) / 1000; }

class EscritorPasse {
public:
    EscritorPasse(const Percurso& percurso, const PassePercurso& passe, ContextoCordas& c, bool arcos);
    void escrever();

private:
    // The geometry.
    Ponto radial(double t) const { return {std::cos(rad(t)), s_ * std::sin(rad(t))}; }
    Ponto tangente(double t) const {
        return {-sentido_t_ * std::sin(rad(t)), sentido_t_ * s_ * std::cos(rad(t))};
    }
    double raio_centro(double profundidade) const { return passe_.helice.raio_em(profundidade); }
    // Where the path is programmed: the cutter's centre, or the cutting edge
    // when the control compensates.
    double raio_programado(double profundidade) const {
        const double r = raio_centro(profundidade);
        if (!percurso_.compensacao) return r;
        const double meia = percurso_.plano.diametro_ferramenta / 2.0;
        return percurso_.interna ? r + meia : r - meia;
    }
    // The arcs into and out of the helix curve about a centre on its radius:
    // nearer the axis inside a bore, farther out outside a blank.
    double lado_arco_guia() const { return percurso_.interna ? -1 : 1; }
    // Their radius, for the cutter's centre, and how far Z goes along them.
    double raio_arco_guia(double profundidade) const { return ::raio_arco_guia(percurso_, passe_, profundidade); }
    double desnivel_arco_guia(double profundidade) const {
        return ::desnivel_arco_guia(percurso_, passe_, profundidade);
    }
    // How far from the axis the cutter's centre stands at the far end of one.
    double distancia_ponta_guia(double profundidade) const {
        const double r = raio_centro(profundidade), rho = raio_arco_guia(profundidade);
        return std::hypot(r + lado_arco_guia() * rho, rho);
    }

    // The words.
    std::string palavra(std::string_view letra, double v, int casas) const {
        return juntar({letra, escrita_.coordenada(v, casas)});
    }
    double z_de(double profundidade) const { return profundidade == 0 ? 0.0 : -profundidade; }
    void linha(const std::string& texto) {
        escrita_.quebras(1);
        escrita_.texto(texto);
        ++linhas_;
    }
    void rapido_xy(Ponto p);
    void rapido_z(double profundidade, std::string_view g);
    void corte(const Ponto* p, const double* profundidade, std::string_view extra = {});
    void arco(Ponto centro, Ponto fim, double profundidade, int giro);
    void alargar_centro(double x, double y) {
        c_.extremos.alargar(static_cast<float>(x), static_cast<float>(y));
    }
    void comentarios_volta(std::int64_t volta);

    // The parts of the pass.
    void arco_guia(bool entrada, double t, double profundidade, Ponto& ponta, double& prof_ponta);
    void percorrer(Ponto centro, double raio, double raio_centro_fresa, double a_de, double varredura,
                   double prof_de, double prof_ate, Ponto fim, int giro);
    void entrada_pelo_eixo(double prof_inicio, Ponto inicio, const std::string& lado_compensacao);
    Ponto saida_pelo_eixo(Ponto ponta, double prof_ponta, Ponto& fim);
    void helice_arcos();
    void helice_cordas();
    void retracao();
    Ponto fora_da_tangente(Ponto ponta, double t, bool entrada) const;
    Ponto fora_da_linha(Ponto ponta, Ponto v, bool entrada) const;

    const Percurso& percurso_;
    const PassePercurso& passe_;
    ContextoCordas& c_;
    Escrita& escrita_;
    const vocabulario::Dialeto& d_;
    const vocabulario::EspacoLivre espaco_;
    bool arcos_;
    int s_;           // +1 left hand, -1 right hand
    int sentido_t_;   // +1: the angle grows along the travel (face down)
    int giro_;        // +1 counter-clockwise seen from above, -1 clockwise
    // The helix's ends, as travelled.
    double t_ini_ = 0, prof_ini_ = 0, t_fim_ = 0, prof_fim_ = 0;
    // The last chord of the helix (face down), when written as chords.
    std::int64_t indice_ultimo_ = 0;
    double t_ultimo_ = 0;
    float prof_ultimo_ = 0;
    // Where the cutter stands, as written.
    Ponto posicao_;
    double prof_posicao_ = 0;
    TextosVolta textos_;
    std::uint64_t linhas_ = 0;
    std::string avanco_;  // the F word for the first feed move, then empty
};

EscritorPasse::EscritorPasse(const Percurso& percurso, const PassePercurso& passe, ContextoCordas& c, bool arcos)
    : percurso_(percurso),
      passe_(passe),
      c_(c),
      escrita_(c.escrita),
      d_(c.escrita.dialeto()),
      espaco_(espaco_livre(percurso)),
      arcos_(arcos),
      s_(passe.helice.mao_direita ? -1 : 1),
      sentido_t_(passe.subindo ? -1 : 1),
      giro_(s_ * sentido_t_) {
    const Helice& h = passe.helice;
    double t_face, t_fundo, prof_fundo;
    if (arcos_) {
        // The helix meets the face at the start angle and ends exactly at L.
        t_face = h.angulo_inicial;
        t_fundo = t_face + 360.0 * h.comprimento / h.passo_rosca;
        prof_fundo = h.comprimento;
    } else {
        // Today's chords: the helix meets the face at the start angle, then
        // whole degrees after it, the first one a step below the face; the
        // last one the first at or past L.
        const std::int32_t primeiro = angulo_primeiro(h);
        t_face = h.angulo_inicial;
        const UltimaCorda ultima = ultima_corda(h);
        indice_ultimo_ = ultima.indice;
        prof_ultimo_ = ultima.profundidade;
        t_ultimo_ = primeiro + static_cast<double>(ultima.indice);
        t_fundo = t_ultimo_;
        prof_fundo = prof_ultimo_;
    }
    if (passe.subindo) {
        t_ini_ = t_fundo, prof_ini_ = prof_fundo, t_fim_ = t_face, prof_fim_ = 0;
    } else {
        t_ini_ = t_face, prof_ini_ = 0, t_fim_ = t_fundo, prof_fim_ = prof_fundo;
    }
    textos_ = textos_volta(escrita_, passe, percurso.interna);
    if (passe.avanco > 0) avanco_ = juntar({" ", d_.f, escrita_.numero(passe.avanco, 1)});
}

void EscritorPasse::rapido_xy(Ponto p) {
    linha(juntar({d_.rapido, " ", palavra(d_.x, p.x, 3), " ", palavra(d_.y, p.y, 3)}));
    posicao_ = {como_escrito(p.x), como_escrito(p.y)};
}

void EscritorPasse::rapido_z(double profundidade, std::string_view g) {
    linha(juntar({g, " ", palavra(d_.z, z_de(profundidade), 3)}));
    prof_posicao_ = profundidade;
}

void EscritorPasse::corte(const Ponto* p, const double* profundidade, std::string_view extra) {
    std::string t = juntar({d_.corte, extra});
    if (p) t = juntar({t, " ", palavra(d_.x, p->x, 3), " ", palavra(d_.y, p->y, 3)});
    if (profundidade) t = juntar({t, " ", palavra(d_.z, z_de(*profundidade), 3)});
    t += avanco_;
    avanco_.clear();
    linha(t);
    if (p) posicao_ = {como_escrito(p->x), como_escrito(p->y)};
    if (profundidade) prof_posicao_ = *profundidade;
}

// An arc about `centro` from where the cutter stands to `fim`; the centre as
// offsets from the start, both always written.
void EscritorPasse::arco(Ponto centro, Ponto fim, double profundidade, int giro) {
    // A helix of many turns is mostly these lines: formed in the file's own buffer.
    const std::string_view g = giro > 0 ? d_.arco_anti_horario : d_.arco_horario;
    SaidaArquivo& arquivo = escrita_.arquivo();
    const std::string_view fim_de_linha = arquivo.fim_de_linha();
    const std::size_t maximo = fim_de_linha.size() + g.size() + 5 * (2 + 8 + Escrita::max_coordenada) + avanco_.size();
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
    palavra_em(d_.x, fim.x);
    palavra_em(d_.y, fim.y);
    palavra_em(d_.z, z_de(profundidade));
    palavra_em(d_.i, centro.x - posicao_.x);
    palavra_em(d_.j, centro.y - posicao_.y);
    copiar(avanco_);
    avanco_.clear();
    arquivo.avancar(static_cast<std::size_t>(p - inicio));
    ++linhas_;
    posicao_ = {como_escrito(fim.x), como_escrito(fim.y)};
    prof_posicao_ = profundidade;
}

void EscritorPasse::comentarios_volta(std::int64_t volta) {
    char numero[24];
    const auto fim = std::to_chars(numero, numero + sizeof numero, volta).ptr;
    escrita_.arquivo().bruto(textos_.abertura.data(), textos_.abertura.size());
    escrita_.arquivo().bruto(numero, static_cast<std::size_t>(fim - numero));
    // The closing text ends with a line break; the next move starts its own.
    const std::string_view fechamento(textos_.fechamento.data(),
                                      textos_.fechamento.size() - escrita_.arquivo().fim_de_linha().size());
    escrita_.arquivo().bruto(fechamento.data(), fechamento.size());
    escrita_.quebras(1);
    linhas_ += 4;
}

// A quarter circle tangent to the helix at angle `t` and depth
// `profundidade`: into it (entrada) or out of it. Inside a bore it curves as
// the helix does, from a point nearer the axis; outside a blank it curves the
// other way, from a point farther out. Z goes on at the helix's slope.
// `ponta` and `prof_ponta` get its far end.
void EscritorPasse::arco_guia(bool entrada, double t, double profundidade, Ponto& ponta, double& prof_ponta) {
    const double rho = raio_arco_guia(profundidade);
    const double rho_programado = rho + (percurso_.compensacao ? percurso_.plano.diametro_ferramenta / 2.0 : 0);
    const Ponto n = radial(t), tg = tangente(t);
    const double rp = raio_programado(profundidade);
    const Ponto p{rp * n.x, rp * n.y};
    const double lado = lado_arco_guia();
    // The same centre for the cutter's centre and for its edge.
    const Ponto centro{p.x + lado * rho_programado * n.x, p.y + lado * rho_programado * n.y};
    // Before the helix's start the far end lies back along the travel; after its end, on.
    const double sinal = entrada ? -1 : 1;
    ponta = {centro.x + sinal * rho_programado * tg.x, centro.y + sinal * rho_programado * tg.y};
    prof_ponta = profundidade + sinal * sentido_t_ * desnivel_arco_guia(profundidade);
    const int giro = percurso_.interna ? giro_ : -giro_;

    const double a_ponta = graus(std::atan2(sinal * tg.y, sinal * tg.x));
    const double a_helice = graus(std::atan2(-lado * n.y, -lado * n.x));
    const double a_de = entrada ? a_ponta : a_helice;
    double varredura = (entrada ? a_helice : a_ponta) - a_de;
    while (giro > 0 && varredura <= 0) varredura += 360;
    while (giro < 0 && varredura >= 0) varredura -= 360;
    const double prof_de = entrada ? prof_ponta : profundidade;
    const double prof_ate = entrada ? profundidade : prof_ponta;
    const Ponto fim = entrada ? p : ponta;

    percorrer(centro, rho_programado, rho, a_de, varredura, prof_de, prof_ate, fim, giro);
}

// An arc about `centro` of radius `raio` (as programmed) from angle `a_de`
// by `varredura` degrees to `fim`, Z going from `prof_de` to `prof_ate`: one
// block, or one-degree chords. The cutter's centre runs the same arc at
// `raio_centro_fresa` about the same centre; that widens the extents.
void EscritorPasse::percorrer(Ponto centro, double raio, double raio_centro_fresa, double a_de, double varredura,
                              double prof_de, double prof_ate, Ponto fim, int giro) {
    const int passos = arcos_ ? 1 : static_cast<int>(std::lround(std::fabs(varredura)));
    for (int k = 1; k <= passos; ++k) {
        const double a = rad(a_de + varredura * k / passos);
        const double prof = prof_de + (prof_ate - prof_de) * k / passos;
        const Ponto q = k == passos ? fim : Ponto{centro.x + raio * std::cos(a), centro.y + raio * std::sin(a)};
        if (arcos_)
            arco(centro, q, prof, giro);
        else
            corte(&q, &prof);
    }
    for (int k = 0; k <= 90; ++k) {
        const double a = rad(a_de + varredura * k / 90);
        alargar_centro(centro.x + raio_centro_fresa * std::cos(a), centro.y + raio_centro_fresa * std::sin(a));
    }
}

// Inside a bore, from the thread length up, the arc into the helix starts
// about 0.7 of the path radius from the axis: where the hole was drilled
// smaller, going down there at rapid would cut through every crest the
// passes before left. The arc's own circle passes through the axis, so the
// cutter goes down on the axis and reaches the arc's start along that
// circle, flat and at feed. With the control's compensation, it comes on
// in the air along the circle's tangent where the cutter's centre is on
// the axis.
void EscritorPasse::entrada_pelo_eixo(double prof_inicio, Ponto inicio, const std::string& lado_compensacao) {
    const Ponto n = radial(t_ini_);
    const double r = raio_centro(prof_ini_), rho = raio_arco_guia(prof_ini_);
    const double rho_p = rho + (percurso_.compensacao ? percurso_.plano.diametro_ferramenta / 2.0 : 0);
    const Ponto centro{(r - rho) * n.x, (r - rho) * n.y};
    const Ponto eixo{centro.x - rho_p * n.x, centro.y - rho_p * n.y};
    if (percurso_.compensacao) {
        // The direction of travel there, along the circle.
        const Ponto rumo{giro_ * n.y, -giro_ * n.x};
        rapido_xy(fora_da_linha(eixo, {-rumo.x, -rumo.y}, true));
        comentarios_volta(1);
        corte(&eixo, nullptr, lado_compensacao);
        rapido_z(prof_inicio, d_.rapido);
    } else {
        rapido_xy(eixo);
        rapido_z(prof_inicio, d_.rapido);
        comentarios_volta(1);
    }
    percorrer(centro, rho_p, rho, graus(std::atan2(-n.y, -n.x)), giro_ * 90.0, prof_inicio, prof_inicio, inicio, giro_);
}

// The way out of a bore face down, with the control's compensation, when its
// end is not where the hole was drilled: on along the arc's circle to where
// the cutter's centre is on the axis, flat, before it goes up. Returns the
// direction of travel there; `fim` gets the point.
Ponto EscritorPasse::saida_pelo_eixo(Ponto ponta, double prof_ponta, Ponto& fim) {
    const Ponto n = radial(t_fim_);
    const double r = raio_centro(prof_fim_), rho = raio_arco_guia(prof_fim_);
    const double rho_p = rho + percurso_.plano.diametro_ferramenta / 2.0;
    const Ponto centro{(r - rho) * n.x, (r - rho) * n.y};
    const Ponto eixo{centro.x - rho_p * n.x, centro.y - rho_p * n.y};
    percorrer(centro, rho_p, rho, graus(std::atan2(ponta.y - centro.y, ponta.x - centro.x)), giro_ * 90.0,
              prof_ponta, prof_ponta, eixo, giro_);
    fim = eixo;
    return {giro_ * n.y, -giro_ * n.x};
}

void EscritorPasse::helice_arcos() {
    const double varredura = t_fim_ - t_ini_;
    // A helix of more turns than any file could hold is written until the
    // file stops taking them; the count only must stay a number.
    const double quantas = std::ceil(std::fabs(varredura) / 180 - 1e-9);
    const auto pecas = quantas < 0x1p62 ? static_cast<std::int64_t>(quantas) : std::int64_t{1} << 62;
    const double rp = raio_programado(0);
    const double r = raio_centro(0);
    for (std::int64_t k = 1; k <= pecas; ++k) {
        const bool ultima = k == pecas;
        const double t = ultima ? t_fim_ : t_ini_ + varredura * static_cast<double>(k) / static_cast<double>(pecas);
        const double prof = ultima ? prof_fim_
                                   : prof_ini_ + (prof_fim_ - prof_ini_) * static_cast<double>(k) /
                                                     static_cast<double>(pecas);
        const Ponto n = radial(t);
        arco({0, 0}, {rp * n.x, rp * n.y}, prof, giro_);
        c_.progresso.avancar(1);
    }
    // A whole turn reaches every side of the circle; a shorter helix, its ends and what lies between.
    if (std::fabs(varredura) >= 360) {
        alargar_centro(r, r);
        alargar_centro(-r, -r);
    } else {
        for (int k = 0; k <= 64; ++k) {
            const Ponto n = radial(t_ini_ + varredura * k / 64);
            alargar_centro(r * n.x, r * n.y);
        }
    }
}

// Today's chord points, face down or from the last one back up to the face;
// the turn comments every 360 moves.
void EscritorPasse::helice_cordas() {
    const Helice& h = passe_.helice;
    const std::int32_t primeiro = angulo_primeiro(h);
    const bool compensa = percurso_.compensacao;
    const std::int64_t total = indice_ultimo_ + 1;
    // From the thread length up, the way in already ends on the last chord point.
    for (std::int64_t n = passe_.subindo ? 1 : 0; n < total; ++n) {
        const std::int64_t i = passe_.subindo ? indice_ultimo_ - n : n;
        if (n > 0 && n % 360 == 0) comentarios_volta(n / 360 + 1);
        const std::int64_t fio = i / 360;
        const int k = static_cast<int>(i % 360);
        const float prof = i == indice_ultimo_ ? prof_ultimo_ : profundidade_corda(h, fio, k + 1);
        const PontoHelice centro = ponto_helice(raio_centro(prof), primeiro + k, h.mao_direita);
        const PontoHelice p = compensa ? ponto_helice(raio_programado(prof), primeiro + k, h.mao_direita) : centro;
        const Ponto q{p.x, p.y};
        const double z = prof;
        corte(&q, &z);
        // A tapered thread is judged at the face.
        if (h.conicidade != 0)
            alargar_centro(ponto_helice(h.raio, primeiro + k, h.mao_direita).x,
                           ponto_helice(h.raio, primeiro + k, h.mao_direita).y);
        else
            alargar_centro(centro.x, centro.y);
        if (linhas_ % 364 == 0) c_.progresso.avancar(364);
    }
    if (passe_.subindo) {
        // Back to the face, where the helix meets it.
        const PontoHelice p = ponto_helice(raio_programado(0), h.angulo_inicial, h.mao_direita);
        const Ponto q{p.x, p.y};
        const double z = 0;
        corte(&q, &z);
    }
}

void EscritorPasse::retracao() {
    const double altura = percurso_.altura_retracao;
    if (percurso_.interna) {
        if (posicao_.x != 0 || posicao_.y != 0) {
            linha(juntar({d_.rapido_retracao, " ", palavra(d_.x, 0, 0), " ", palavra(d_.y, 0, 0)}));
            posicao_ = {0, 0};
        }
    } else if (!percurso_.tangencial) {
        // As today: to the corner of the quadrant of the last point.
        const double rc = passe_.helice.raio_em(prof_fim_) + static_cast<double>(percurso_.folga_retracao);
        vocabulario::Canto canto;
        if (!vocabulario::canto_retracao(posicao_.x, posicao_.y, rc, canto)) parada_estrutura("011");
        linha(juntar({d_.rapido, " ", palavra(d_.x, canto.x, 3), " ", palavra(d_.y, canto.y, 3)}));
        posicao_ = {canto.x, canto.y};
    }
    linha(juntar({d_.rapido_retracao, " ", palavra(d_.z, altura, 0)}));
}

// The point a line tangent to the arc into (or out of) the helix at `ponta`
// starts (or ends) at, a little over the cutter's radius away: along it the
// control's compensation comes on (goes off) without a corner to gouge. The
// arc into the helix ends its approach moving outward inside a bore (inward
// outside a blank), and the arc out of it leaves moving inward (outward).
// The line out turns a little away from the cutter's side: written as
// chords, the arc's last one is not quite tangent, and a concave corner
// there is one the control refuses.
Ponto EscritorPasse::fora_da_tangente(Ponto ponta, double t, bool entrada) const {
    const Ponto n = radial(t);
    const double sinal = percurso_.interna ? -1 : 1;
    // Both lines lie on the same side of their arc: the axis's side inside
    // a bore, the far side outside a blank.
    return fora_da_linha(ponta, {sinal * n.x, sinal * n.y}, entrada);
}

// The far end of the line along `v` from `ponta`, turned as above when it
// leaves the path.
Ponto EscritorPasse::fora_da_linha(Ponto ponta, Ponto v, bool entrada) const {
    const double comprimento = percurso_.plano.diametro_ferramenta / 2.0 + 1;
    if (!entrada) {
        const bool concordante = percurso_.interna ? giro_ > 0 : giro_ < 0;
        // The cutter on the left (climb): turn right; on the right: turn left.
        const double a = rad(concordante ? -10 : 10);
        v = {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a)};
    }
    return {ponta.x + comprimento * v.x, ponta.y + comprimento * v.y};
}

void EscritorPasse::escrever() {
    const bool compensa = percurso_.compensacao;
    const bool tangencial = percurso_.tangencial;
    // Where the cut begins: the start of the arc into the helix, or the helix itself.
    Ponto inicio;
    double prof_inicio = prof_ini_;
    {
        const Ponto n = radial(t_ini_);
        const double rp = raio_programado(prof_ini_);
        inicio = {rp * n.x, rp * n.y};
        if (tangencial) {
            const double rho = raio_arco_guia(prof_ini_) + (compensa ? percurso_.plano.diametro_ferramenta / 2.0 : 0);
            const Ponto tg = tangente(t_ini_);
            const double lado = lado_arco_guia();
            inicio = {inicio.x + lado * rho * n.x - rho * tg.x, inicio.y + lado * rho * n.y - rho * tg.y};
            prof_inicio = prof_ini_ - sentido_t_ * desnivel_arco_guia(prof_ini_);
        }
    }
    const std::string lado_compensacao = [&] {
        const bool concordante = percurso_.interna ? giro_ > 0 : giro_ < 0;
        return juntar({" ", concordante ? d_.compensacao_esquerda : d_.compensacao_direita, " ", d_.d,
                       std::to_string(percurso_.corretor)});
    }();

    // The way in, always clear of the material. Face down: over the start in
    // the air, then down at feed. From the thread length up: down the middle
    // of the bore or outside the blank, then across at feed. With the
    // control's compensation, on along a tangent line in the air first.
    // Where the cutter's centre stands at the start of the cut.
    const double distancia_inicio = tangencial ? distancia_ponta_guia(prof_ini_) : raio_centro(prof_ini_);
    if (tangencial && passe_.subindo && percurso_.interna && !espaco_.livre(distancia_inicio, prof_inicio)) {
        entrada_pelo_eixo(prof_inicio, inicio, lado_compensacao);
    } else if (compensa) {
        rapido_xy(fora_da_tangente(inicio, t_ini_, true));
        comentarios_volta(1);
        corte(&inicio, nullptr, lado_compensacao);
        if (passe_.subindo)
            rapido_z(prof_inicio, d_.rapido);
        else
            corte(nullptr, &prof_inicio);
    } else if (tangencial || !passe_.subindo) {
        // The start of an arc into the helix is clear of the material itself.
        rapido_xy(inicio);
        if (passe_.subindo) rapido_z(prof_inicio, d_.rapido);
        comentarios_volta(1);
        if (!passe_.subindo) corte(nullptr, &prof_inicio);
    } else {
        Ponto livre{0, 0};
        if (!percurso_.interna) {
            const double meia = percurso_.plano.diametro_ferramenta / 2.0;
            const double distancia = std::hypot(inicio.x, inicio.y);
            const double blank = std::max<double>(espaco_.diametro_em(prof_inicio), passe_.diametro) / 2;
            const double raio_livre = std::max(distancia + meia + 1, blank + 2 * meia + 1);
            livre = {inicio.x / distancia * raio_livre, inicio.y / distancia * raio_livre};
        }
        rapido_xy(livre);
        rapido_z(prof_inicio, d_.rapido);
        comentarios_volta(1);
        corte(&inicio, nullptr);
    }
    if (tangencial) {
        Ponto ponta;
        double prof_ponta;
        arco_guia(true, t_ini_, prof_ini_, ponta, prof_ponta);
    }

    if (arcos_)
        helice_arcos();
    else
        helice_cordas();

    if (tangencial) {
        Ponto ponta;
        double prof_ponta;
        arco_guia(false, t_fim_, prof_fim_, ponta, prof_ponta);
        if (compensa) {
            // Up with the compensation still on, then off along a tangent line in the air.
            Ponto saida;
            if (!passe_.subindo && percurso_.interna && !espaco_.livre(distancia_ponta_guia(prof_fim_), prof_ponta)) {
                Ponto fim;
                const Ponto rumo = saida_pelo_eixo(ponta, prof_ponta, fim);
                rapido_z(-static_cast<double>(percurso_.altura_retracao), d_.rapido_retracao);
                saida = fora_da_linha(fim, rumo, false);
            } else {
                rapido_z(-static_cast<double>(percurso_.altura_retracao), d_.rapido_retracao);
                saida = fora_da_tangente(ponta, t_fim_, false);
            }
            corte(&saida, nullptr, juntar({" ", d_.compensacao_desliga}));
            escrita_.quebras(1);
            c_.z_atual = passe_.helice.comprimento;
            c_.progresso.avancar(linhas_ % 364);
            return;
        }
    }
    retracao();
    escrita_.quebras(1);
    c_.z_atual = passe_.helice.comprimento;
    c_.progresso.avancar(linhas_ % 364);
}

}  // namespace

void escrever_passe_geral(const Percurso& percurso, const PassePercurso& passe, ContextoCordas& c, bool arcos) {
    EscritorPasse(percurso, passe, c, arcos).escrever();
}
