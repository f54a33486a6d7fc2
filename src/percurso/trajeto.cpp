#include "percurso/trajeto.hpp"

#include <algorithm>
#include <cmath>

#include "percurso/guias.hpp"
#include "trabalho/parada_critica.hpp"
#include "vocabulario/geometria.hpp"
#include "vocabulario/regras.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;
double rad(double graus) { return graus * pi / 180; }
double graus(double radianos) { return radianos * 180 / pi; }

// Rounded as the file prints it: the control starts each move from there.
double como_escrito(double v) { return std::nearbyint(v * 1000) / 1000; }

Alvo para_xy(Ponto p, int casas = 3) {
    Alvo a;
    a.tem_xy = true;
    a.xy = p;
    a.casas_xy = casas;
    return a;
}

Alvo para_z(double profundidade, int casas = 3) {
    Alvo a;
    a.tem_z = true;
    a.profundidade = profundidade;
    a.casas_z = casas;
    return a;
}

Alvo para_xyz(Ponto p, double profundidade) {
    Alvo a = para_xy(p);
    a.tem_z = true;
    a.profundidade = profundidade;
    return a;
}

// The helix's ends as a linearisation reaches them: as chords, the last
// chord at or past L; as arcs, L itself.
void extremos_da_helice(const Helice& h, bool arcos, TrechoHelice& t) {
    double t_face, t_fundo, prof_fundo;
    if (arcos) {
        t_face = h.angulo_inicial;
        t_fundo = t_face + 360.0 * h.comprimento / h.passo_rosca;
        prof_fundo = h.comprimento;
    } else {
        const UltimaCorda ultima = ultima_corda(h);
        t.indice_ultimo = ultima.indice;
        t.prof_ultimo = ultima.profundidade;
        t_face = h.angulo_inicial;
        t_fundo = angulo_primeiro(h) + static_cast<double>(ultima.indice);
        prof_fundo = ultima.profundidade;
    }
    if (t.subindo) {
        t.t_ini = t_fundo, t.prof_ini = prof_fundo, t.t_fim = t_face, t.prof_fim = 0;
    } else {
        t.t_ini = t_face, t.prof_ini = 0, t.t_fim = t_fundo, t.prof_fim = prof_fundo;
    }
}

// The chord points of the first turn of a helix whose radius is the same
// in every turn; a tapered one is judged at the face.
void pontos_da_volta(const TrechoHelice& t, PasseTrajeto& p) {
    const Helice& h = t.helice;
    const std::int64_t quantos = std::min<std::int64_t>(t.indice_ultimo + 1, 360);
    const std::int32_t primeiro = angulo_primeiro(h);
    p.quantos_pontos = static_cast<int>(quantos);
    for (int k = 0; k < quantos; ++k) {
        p.pontos[static_cast<std::size_t>(k)] = ponto_helice(h.raio, primeiro + k, h.mao_direita);
        p.extremos.alargar(p.pontos[static_cast<std::size_t>(k)].x, p.pontos[static_cast<std::size_t>(k)].y);
    }
}

// Whether a pass without tangent ways leaves its groove along the radius
// first (sair_pelo_raio): a thread of several starts.
bool sai_pelo_raio(const Percurso& p) { return p.modos.entradas > 1 && !p.modos.tangencial; }

// Out of the groove from the helix's end `fim` (as written) at
// `profundidade`, straight along the radius to where the cutting edge is
// clear of the thread: inside the drilled hole (on the axis where its size
// is not known), or as far out as the retract's corner and past the blank.
// The lead of several starts is several pitches, so a move that leaves the
// groove aslant meets a flank within a fraction of the thread's depth: the
// straight line to the corner of the retract square cut 0.27 mm into eight
// starts of 2.5 mm. Where a control may run a rapid axis by axis, even the
// one to the axis leaves aslant, so the way out is then a feed move, which
// every control runs straight; where a rapid is straight everywhere, a rapid,
// and inside a bore none is needed: the one to the axis is along the radius.
// Appends the moves; returns where they leave the cutter.
//
// The radius is the one through `fim` as the file has it, or along `rumo`
// (a unit vector) where the end is an expression of the final diameter's
// variable: there it moves along its radius, and a target aimed through
// the end rounded would leave the radius as soon as the variable changes.
Ponto sair_pelo_raio(const Percurso& percurso, const PassePercurso& passe, Ponto fim, double profundidade,
                     std::vector<Segmento>& segmentos, const Ponto* rumo = nullptr) {
    if (percurso.interna && percurso.rapido_reto) return fim;
    const vocabulario::EspacoLivre espaco = espaco_livre(percurso);
    const double livre = percurso.interna
                             ? espaco.raio_limite(profundidade)
                             : std::max(passe.helice.raio_em(profundidade) + static_cast<double>(percurso.folga_retracao),
                                        espaco.raio_limite(profundidade));
    const double r = std::hypot(fim.x, fim.y);
    // As the corner of the retract square: only a coordinate that is not a number has no direction.
    if (!percurso.interna && !std::isfinite(r)) parada_estrutura("011");
    // Inside a hole as wide as the pass, the edge is clear where it stands.
    if (percurso.interna && livre >= r) return fim;
    Segmento s;
    s.parte = Parte::saida;
    s.tipo = percurso.rapido_reto ? TipoSegmento::rapido : TipoSegmento::reta;
    if (livre > 0 && r > 0) {
        const Ponto u = rumo != nullptr ? *rumo : Ponto{fim.x / r, fim.y / r};
        const Ponto q{u.x * livre, u.y * livre};
        s.alvo = para_xy(q);
        segmentos.push_back(s);
        return {como_escrito(q.x), como_escrito(q.y)};
    }
    s.alvo = para_xy({0, 0}, 0);
    segmentos.push_back(s);
    return {0, 0};
}

// Today's pass: to the start at the clearance height, the helix from the
// face down, away from the thread at full depth, up.
void tracar_hoje(const Percurso& percurso, PasseTrajeto& p) {
    const Helice& h = p.helice.helice;
    Segmento s;
    s.tipo = TipoSegmento::rapido;
    const PontoHelice inicio = ponto_helice(h.raio, h.angulo_inicial, h.mao_direita);
    s.alvo = para_xy({inicio.x, inicio.y});
    p.segmentos.push_back(s);

    s = Segmento{};
    s.tipo = TipoSegmento::helice;
    s.parte = Parte::helice;
    p.segmentos.push_back(s);

    // The last chord's point, as stored.
    const std::int64_t k = p.helice.indice_ultimo % 360;
    const PontoHelice ultimo =
        ponto_helice(h.raio_em(p.helice.prof_ultimo), angulo_primeiro(h) + static_cast<double>(k), h.mao_direita);
    s = Segmento{};
    s.tipo = TipoSegmento::rapido;
    s.parte = Parte::saida;
    if (sai_pelo_raio(percurso)) {
        // Out along the radius; then, inside a bore, to the axis unless there already.
        const Ponto fora = sair_pelo_raio(percurso, p.passe, {como_escrito(ultimo.x), como_escrito(ultimo.y)},
                                          p.helice.prof_ultimo, p.segmentos);
        if (percurso.retracao == Retracao::ao_eixo && (fora.x != 0 || fora.y != 0)) {
            s.alvo = para_xy({0, 0}, 0);
            s.saindo = true;
            p.segmentos.push_back(s);
        }
    } else if (percurso.retracao == Retracao::ao_eixo) {
        s.alvo = para_xy({0, 0}, 0);
        s.saindo = true;
        p.segmentos.push_back(s);
    } else {
        const double rc = h.raio + static_cast<double>(percurso.folga_retracao);
        vocabulario::Canto canto;
        // Only a coordinate that is not a number has no quadrant.
        if (!vocabulario::canto_retracao(ultimo.x, ultimo.y, rc, canto)) parada_estrutura("011");
        s.alvo = para_xy({canto.x, canto.y});
        p.segmentos.push_back(s);
    }
    s = Segmento{};
    s.tipo = TipoSegmento::rapido;
    s.parte = Parte::saida;
    s.saindo = true;
    s.alvo = para_z(-static_cast<double>(percurso.altura_retracao), 0);
    p.segmentos.push_back(s);
}

// A pass of any other shape: from the thread length up, with tangent arcs
// into and out of the helix, programmed on the thread's diameter for the
// control's compensation, or as arcs.
class Tracador {
public:
    Tracador(const Percurso& percurso, PasseTrajeto& p)
        : percurso_(percurso),
          p_(p),
          espaco_(espaco_livre(percurso)),
          s_(p.passe.helice.mao_direita ? -1 : 1),
          sentido_t_(p.passe.subindo ? -1 : 1),
          giro_(s_ * sentido_t_) {}

    void tracar();

private:
    Ponto radial(double t) const { return {std::cos(rad(t)), s_ * std::sin(rad(t))}; }
    Ponto tangente(double t) const { return {-sentido_t_ * std::sin(rad(t)), sentido_t_ * s_ * std::cos(rad(t))}; }
    double raio_centro(double profundidade) const { return p_.helice.helice.raio_em(profundidade); }
    double raio_programado(double profundidade) const { return p_.helice.raio_programado(profundidade); }
    double meia_ferramenta() const { return percurso_.plano.diametro_ferramenta / 2.0; }
    // How far the programmed path lies from the cutter centre's: the cutter's
    // radius when the control compensates on the thread's contour; nothing
    // when it holds only the wear.
    double meia_programada() const { return compensa() && !percurso_.modos.desgaste ? meia_ferramenta() : 0; }
    bool compensa() const { return percurso_.modos.compensacao(); }
    // The arcs into and out of the helix curve about a centre on its radius:
    // nearer the axis inside a bore, farther out outside a blank.
    double lado_arco_guia() const { return percurso_.interna ? -1 : 1; }
    double raio_arco_guia(double profundidade) const { return ::raio_arco_guia(percurso_, p_.passe, profundidade); }
    double desnivel_arco_guia(double profundidade) const {
        return ::desnivel_arco_guia(percurso_, p_.passe, profundidade);
    }
    // How far from the axis the cutter's centre stands at the far end of one.
    double distancia_ponta_guia(double profundidade) const {
        const double r = raio_centro(profundidade), rho = raio_arco_guia(profundidade);
        return std::hypot(r + lado_arco_guia() * rho, rho);
    }

    Segmento& novo(TipoSegmento tipo) {
        p_.segmentos.emplace_back();
        p_.segmentos.back().tipo = tipo;
        p_.segmentos.back().parte = parte_;
        return p_.segmentos.back();
    }
    void rapido_xy(Ponto p) {
        novo(TipoSegmento::rapido).alvo = para_xy(p);
        posicao_ = {como_escrito(p.x), como_escrito(p.y)};
    }
    void rapido_z(double profundidade, bool saindo = false) {
        Segmento& s = novo(TipoSegmento::rapido);
        s.alvo = para_z(profundidade);
        s.saindo = saindo;
    }
    void reta(const Ponto* p, const double* profundidade, Compensacao c = Compensacao::nenhuma) {
        Segmento& s = novo(TipoSegmento::reta);
        s.compensacao = c;
        if (p) {
            s.alvo.tem_xy = true;
            s.alvo.xy = *p;
            posicao_ = {como_escrito(p->x), como_escrito(p->y)};
        }
        if (profundidade) {
            s.alvo.tem_z = true;
            s.alvo.profundidade = *profundidade;
        }
    }
    void volta() { volta_n(volta_); }
    void volta_n(std::int64_t n) { novo(TipoSegmento::volta).numero = n; }
    void alargar_centro(double x, double y) { p_.extremos.alargar(static_cast<float>(x), static_cast<float>(y)); }

    void arco_guia(bool entrada, double t, double profundidade, Ponto& ponta, double& prof_ponta);
    void percorrer(Ponto centro, double raio, double raio_centro_fresa, double a_de, double varredura,
                   double prof_de, double prof_ate, Ponto fim, int giro);
    // The extents of an arc of the cutter's centre, written as one.
    void alargar_arco(Ponto centro, double raio, double a_de, double varredura);
    // The arcs' circle through the axis, for a helix end at angle `t` and depth `prof`.
    void entrada_pelo_eixo(double t, double prof, double prof_inicio, Ponto inicio, bool do_alto);
    Ponto saida_pelo_eixo(double t, double prof, Ponto ponta, double prof_ponta, Ponto& fim);
    // Several revolutions a pass (a mill of several profiles).
    void tracar_voltas();
    void entrada_volta(const TrechoHelice& v, bool primeira, std::int64_t n);
    void saida_volta(const TrechoHelice& v, bool ultima);
    // Where the cutter stands clear of the material beside the helix's point
    // `inicio`: on the axis inside a bore, farther out than the blank outside.
    Ponto livre_de(Ponto inicio, double profundidade) const;
    void helice();
    void retracao();
    Ponto fora_da_tangente(Ponto ponta, double t, bool entrada) const;
    Ponto fora_da_linha(Ponto ponta, Ponto v, bool entrada) const;

    const Percurso& percurso_;
    PasseTrajeto& p_;
    const vocabulario::EspacoLivre espaco_;
    int s_;          // +1 left hand, -1 right hand
    int sentido_t_;  // +1: the angle grows along the travel (face down)
    int giro_;       // +1 counter-clockwise seen from above, -1 clockwise
    Parte parte_ = Parte::entrada;
    std::int64_t volta_ = 1;  // the turn the next turn comments name
    // Where the cutter stands, as written.
    Ponto posicao_;
    // The helix's end's direction from the axis, unrounded.
    Ponto rumo_fim_;
};

// A quarter circle tangent to the helix at angle `t` and depth
// `profundidade`: into it (entrada) or out of it. Inside a bore it curves as
// the helix does, from a point nearer the axis; outside a blank it curves the
// other way, from a point farther out. Z goes on at the helix's slope.
// `ponta` and `prof_ponta` get its far end.
void Tracador::arco_guia(bool entrada, double t, double profundidade, Ponto& ponta, double& prof_ponta) {
    const double rho = raio_arco_guia(profundidade);
    const double rho_programado = rho + meia_programada();
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
// by `varredura` degrees to `fim`, Z going from `prof_de` to `prof_ate`. The
// cutter's centre runs the same arc at `raio_centro_fresa` about the same
// centre; that widens the extents.
void Tracador::percorrer(Ponto centro, double raio, double raio_centro_fresa, double a_de, double varredura,
                         double prof_de, double prof_ate, Ponto fim, int giro) {
    Segmento& s = novo(TipoSegmento::arco);
    s.alvo = para_xyz(fim, prof_ate);
    s.arco = {centro, raio, raio_centro_fresa, a_de, varredura, prof_de, prof_ate, giro};
    posicao_ = {como_escrito(fim.x), como_escrito(fim.y)};
    if (percurso_.modos.arcos) {
        alargar_arco(centro, raio_centro_fresa, a_de, varredura);
        return;
    }
    // As chords: their points.
    for (int k = 0; k <= 90; ++k) {
        const double a = rad(a_de + varredura * k / 90);
        alargar_centro(centro.x + raio_centro_fresa * std::cos(a), centro.y + raio_centro_fresa * std::sin(a));
    }
}

// An arc reaches farthest at its ends and where it crosses an axis through
// its centre: at every multiple of 90 degrees it passes.
void Tracador::alargar_arco(Ponto centro, double raio, double a_de, double varredura) {
    const double a_ate = a_de + varredura;
    auto em = [&](double a) { alargar_centro(centro.x + raio * std::cos(rad(a)), centro.y + raio * std::sin(rad(a))); };
    em(a_de);
    em(a_ate);
    const double baixo = std::min(a_de, a_ate), alto = std::max(a_de, a_ate);
    // Exactly on the axes: no cosine or sine of a rounded angle.
    const double cosseno[] = {1, 0, -1, 0}, seno[] = {0, 1, 0, -1};
    for (double a = std::ceil(baixo / 90) * 90; a <= alto && a - baixo < 360 + 90; a += 90) {
        const int quarto = static_cast<int>(std::fmod(std::fmod(a / 90, 4) + 4, 4));
        alargar_centro(centro.x + raio * cosseno[quarto], centro.y + raio * seno[quarto]);
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
void Tracador::entrada_pelo_eixo(double t, double prof, double prof_inicio, Ponto inicio, bool do_alto) {
    const Ponto n = radial(t);
    const double r = raio_centro(prof), rho = raio_arco_guia(prof);
    const double rho_p = rho + meia_programada();
    const Ponto centro{(r - rho) * n.x, (r - rho) * n.y};
    const Ponto eixo{centro.x - rho_p * n.x, centro.y - rho_p * n.y};
    if (!do_alto) {
        // Already on the axis, the compensation on where it is asked.
        rapido_z(prof_inicio);
        volta();
    } else if (compensa()) {
        // The direction of travel there, along the circle.
        const Ponto rumo{giro_ * n.y, -giro_ * n.x};
        rapido_xy(fora_da_linha(eixo, {-rumo.x, -rumo.y}, true));
        volta();
        reta(&eixo, nullptr, Compensacao::liga);
        rapido_z(prof_inicio);
    } else {
        rapido_xy(eixo);
        rapido_z(prof_inicio);
        volta();
    }
    percorrer(centro, rho_p, rho, graus(std::atan2(-n.y, -n.x)), giro_ * 90.0, prof_inicio, prof_inicio, inicio, giro_);
}

// The way out of a bore face down, with the control's compensation, when its
// end is not where the hole was drilled: on along the arc's circle to where
// the cutter's centre is on the axis, flat, before it goes up. Returns the
// direction of travel there; `fim` gets the point.
Ponto Tracador::saida_pelo_eixo(double t, double prof, Ponto ponta, double prof_ponta, Ponto& fim) {
    const Ponto n = radial(t);
    const double r = raio_centro(prof), rho = raio_arco_guia(prof);
    const double rho_p = rho + meia_programada();
    const Ponto centro{(r - rho) * n.x, (r - rho) * n.y};
    const Ponto eixo{centro.x - rho_p * n.x, centro.y - rho_p * n.y};
    percorrer(centro, rho_p, rho, graus(std::atan2(ponta.y - centro.y, ponta.x - centro.x)), giro_ * 90.0,
              prof_ponta, prof_ponta, eixo, giro_);
    fim = eixo;
    return {giro_ * n.y, -giro_ * n.x};
}

// The helix as one move; its extents, and where it leaves the cutter.
void Tracador::helice() {
    const TrechoHelice& h = p_.helice;
    parte_ = Parte::helice;
    novo(TipoSegmento::helice);
    parte_ = Parte::saida;
    const Helice& hel = h.helice;
    if (h.arcos) {
        const double r = raio_centro(0);
        const double varredura = h.t_fim - h.t_ini;
        // A whole turn reaches every side of the circle; a shorter helix, its
        // ends and the axes it crosses. Its angle t is at s t from X+,
        // counter-clockwise.
        if (std::fabs(varredura) >= 360) {
            alargar_centro(r, r);
            alargar_centro(-r, -r);
        } else {
            alargar_arco({0, 0}, r, s_ * h.t_ini, s_ * varredura);
        }
        const Ponto n = radial(h.t_fim);
        const double rp = raio_programado(0);
        posicao_ = {como_escrito(rp * n.x), como_escrito(rp * n.y)};
        rumo_fim_ = n;
        return;
    }
    // Every turn visits the first one's whole degrees; a tapered helix is
    // judged at the face. From the thread length up the last chord's point
    // is where the way in ended, not a chord of the helix, and the helix
    // ends at the face, at the start angle: a helix of less than a turn may
    // reach no farther anywhere else.
    const std::int64_t quantos = std::min<std::int64_t>(h.subindo ? h.indice_ultimo : h.indice_ultimo + 1, 360);
    const std::int32_t primeiro = angulo_primeiro(hel);
    for (int k = 0; k < quantos; ++k) {
        const PontoHelice c = ponto_helice(hel.raio, primeiro + k, hel.mao_direita);
        alargar_centro(c.x, c.y);
    }
    if (h.subindo) {
        const PontoHelice c = ponto_helice(hel.raio, hel.angulo_inicial, hel.mao_direita);
        alargar_centro(c.x, c.y);
    }
    // Where the chords leave the cutter.
    PontoHelice fim;
    double angulo_fim;
    if (h.subindo) {
        angulo_fim = hel.angulo_inicial;
        fim = ponto_helice(raio_programado(0), angulo_fim, hel.mao_direita);
    } else {
        angulo_fim = angulo_primeiro(hel) + static_cast<double>(h.indice_ultimo % 360);
        fim = ponto_helice(raio_programado(h.prof_ultimo), angulo_fim, hel.mao_direita);
    }
    posicao_ = {como_escrito(fim.x), como_escrito(fim.y)};
    // As ponto_helice turns it, whatever the radius.
    const double a = angulo_fim * grau_para_radiano;
    rumo_fim_ = {std::cos(a), (hel.mao_direita ? -1 : 1) * std::sin(a)};
}

void Tracador::retracao() {
    const double altura = percurso_.altura_retracao;
    const bool pelo_raio = sai_pelo_raio(percurso_);
    // The finishing pass follows the final diameter's variable, its end too.
    const bool variavel = percurso_.ajuste && p_.passe.acabamento;
    if (pelo_raio)
        posicao_ = sair_pelo_raio(percurso_, p_.passe, posicao_, p_.helice.prof_fim, p_.segmentos,
                                  variavel ? &rumo_fim_ : nullptr);
    if (percurso_.interna) {
        if (posicao_.x != 0 || posicao_.y != 0) {
            // A tangent way out of several starts leaves the cutter in the
            // thread, on a steep lead: to the axis straight along the radius,
            // a feed move, where a rapid may run axis by axis (its second
            // leg dragged the tooth 0.068 mm into a flank of three starts).
            const bool no_filete = percurso_.modos.tangencial && percurso_.modos.entradas > 1 && !percurso_.rapido_reto;
            Segmento& s = novo(no_filete ? TipoSegmento::reta : TipoSegmento::rapido);
            s.alvo = para_xy({0, 0}, 0);
            s.saindo = true;
            posicao_ = {0, 0};
        }
    } else if (!percurso_.modos.tangencial && !pelo_raio) {
        // As today: to the corner of the quadrant of the last point.
        const double rc = p_.passe.helice.raio_em(p_.helice.prof_fim) + static_cast<double>(percurso_.folga_retracao);
        vocabulario::Canto canto;
        if (!vocabulario::canto_retracao(posicao_.x, posicao_.y, rc, canto)) parada_estrutura("011");
        rapido_xy({canto.x, canto.y});
    }
    Segmento& s = novo(TipoSegmento::rapido);
    s.alvo = para_z(-altura, 0);
    s.saindo = true;
}

// The point a line tangent to the arc into (or out of) the helix at `ponta`
// starts (or ends) at, a little over the cutter's radius away: along it the
// control's compensation comes on (goes off) without a corner to gouge. The
// arc into the helix ends its approach moving outward inside a bore (inward
// outside a blank), and the arc out of it leaves moving inward (outward).
// The line out turns a little away from the cutter's side: written as
// chords, the arc's last one is not quite tangent, and a concave corner
// there is one the control refuses.
Ponto Tracador::fora_da_tangente(Ponto ponta, double t, bool entrada) const {
    const Ponto n = radial(t);
    const double sinal = percurso_.interna ? -1 : 1;
    // Both lines lie on the same side of their arc: the axis's side inside
    // a bore, the far side outside a blank.
    return fora_da_linha(ponta, {sinal * n.x, sinal * n.y}, entrada);
}

// The far end of the line along `v` from `ponta`, turned as above when it
// leaves the path.
Ponto Tracador::fora_da_linha(Ponto ponta, Ponto v, bool entrada) const {
    const double comprimento = meia_ferramenta() + 1;
    if (!entrada) {
        // The cutter on the left (climb): turn right; on the right: turn left.
        const double a = rad(vocabulario::concordante(percurso_.interna, giro_) ? -10 : 10);
        v = {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a)};
    }
    return {ponta.x + comprimento * v.x, ponta.y + comprimento * v.y};
}

Ponto Tracador::livre_de(Ponto inicio, double profundidade) const {
    if (percurso_.interna) return {0, 0};
    const double meia = meia_ferramenta();
    const double distancia = std::hypot(inicio.x, inicio.y);
    const double blank = std::max<double>(espaco_.diametro_em(profundidade), p_.passe.diametro) / 2;
    const double raio_livre = std::max(distancia + meia + 1, blank + 2 * meia + 1);
    return {inicio.x / distancia * raio_livre, inicio.y / distancia * raio_livre};
}

// Each revolution in from the space clear of the material beside it (the
// axis of a bore, outside a blank), at its own depth: going down or up
// beside the thread between revolutions, never through what the one before
// cut. The first comes down there from the clearance height; the last goes
// up from there.
void Tracador::entrada_volta(const TrechoHelice& v, bool primeira, std::int64_t n) {
    const Ponto nr = radial(v.t_ini);
    const double rp = raio_programado(v.prof_ini);
    const Ponto helice{rp * nr.x, rp * nr.y};
    if (!percurso_.modos.tangencial) {
        const Ponto livre = livre_de(helice, v.prof_ini);
        if (primeira) rapido_xy(livre);
        rapido_z(v.prof_ini);
        volta_n(n);
        reta(&helice, nullptr);
        return;
    }
    // The start of the arc into the helix.
    const double rho = raio_arco_guia(v.prof_ini) + meia_programada();
    const Ponto tg = tangente(v.t_ini);
    const double lado = lado_arco_guia();
    const Ponto inicio{helice.x + lado * rho * nr.x - rho * tg.x, helice.y + lado * rho * nr.y - rho * tg.y};
    const double prof_inicio = v.prof_ini - sentido_t_ * desnivel_arco_guia(v.prof_ini);
    if (percurso_.interna) {
        volta_ = n;
        entrada_pelo_eixo(v.t_ini, v.prof_ini, prof_inicio, inicio, primeira);
        volta_ = 1;
    } else if (primeira && compensa()) {
        rapido_xy(fora_da_tangente(inicio, v.t_ini, true));
        volta_n(n);
        reta(&inicio, nullptr, Compensacao::liga);
        rapido_z(prof_inicio);
    } else if (primeira) {
        rapido_xy(inicio);
        rapido_z(prof_inicio);
        volta_n(n);
    } else if (compensa()) {
        // Round the far side of the arcs' circle, outside the blank, with the
        // compensation on: out of one revolution into the next.
        rapido_z(prof_inicio);
        volta_n(n);
        const Ponto centro{helice.x + lado * rho * nr.x, helice.y + lado * rho * nr.y};
        const double r_c = raio_arco_guia(v.prof_ini);
        percorrer(centro, rho, r_c, graus(std::atan2(posicao_.y - centro.y, posicao_.x - centro.x)), -giro_ * 180.0,
                  prof_inicio, prof_inicio, inicio, -giro_);
    } else {
        rapido_z(prof_inicio);
        rapido_xy(inicio);
        volta_n(n);
    }
    Ponto ponta;
    double prof_ponta;
    arco_guia(true, v.t_ini, v.prof_ini, ponta, prof_ponta);
}

void Tracador::saida_volta(const TrechoHelice& v, bool ultima) {
    const double altura = percurso_.altura_retracao;
    if (!percurso_.modos.tangencial) {
        // Straight out of the groove, level, to the clear space.
        const Ponto nr = radial(v.t_fim);
        const double rp = raio_programado(v.prof_fim);
        if (percurso_.interna) {
            Segmento& s = novo(TipoSegmento::rapido);
            s.alvo = para_xy({0, 0}, 0);
            s.saindo = true;
            posicao_ = {0, 0};
        } else {
            rapido_xy(livre_de({rp * nr.x, rp * nr.y}, v.prof_fim));
        }
    } else {
        Ponto ponta;
        double prof_ponta;
        arco_guia(false, v.t_fim, v.prof_fim, ponta, prof_ponta);
        if (percurso_.interna && compensa()) {
            Ponto fim;
            const Ponto rumo = saida_pelo_eixo(v.t_fim, v.prof_fim, ponta, prof_ponta, fim);
            if (ultima) {
                rapido_z(-altura, true);
                const Ponto saida = fora_da_linha(fim, rumo, false);
                reta(&saida, nullptr, Compensacao::desliga);
            }
            return;
        }
        if (percurso_.interna) {
            Segmento& s = novo(TipoSegmento::rapido);
            s.alvo = para_xy({0, 0}, 0);
            s.saindo = true;
            posicao_ = {0, 0};
        } else if (ultima && compensa()) {
            rapido_z(-altura, true);
            const Ponto saida = fora_da_tangente(ponta, v.t_fim, false);
            reta(&saida, nullptr, Compensacao::desliga);
            return;
        }
    }
    if (!ultima) return;
    Segmento& s = novo(TipoSegmento::rapido);
    s.alvo = para_z(-altura, 0);
    s.saindo = true;
}

// The revolutions of a mill whose profiles cut several pitches at once.
// Revolution j of m covers, with its lowest profile, from the depth
// L - P - (m - 1 - j) N P one pitch down, on the thread's own helix (or one
// whole pitches from it): the lowest reaches L, and the top profile of the
// first is at the face or above it. From the face down they go in that
// order; from the thread length up, the other way, each run upwards.
void Tracador::tracar_voltas() {
    const Helice& hel = p_.passe.helice;
    const double passo = hel.passo_rosca, comprimento = hel.comprimento;
    const std::int64_t n = percurso_.modos.perfis;
    const std::int64_t m = voltas_por_passe(comprimento, passo, n);
    p_.voltas.clear();
    for (std::int64_t k = 0; k < m; ++k) {
        const std::int64_t j = p_.helice.subindo ? m - 1 - k : k;
        const double prof = vocabulario::profundidade_volta(comprimento, passo, n, m, j);
        const double t = hel.angulo_inicial + 360.0 * prof / passo;
        TrechoHelice v = p_.helice;
        v.generico = true;
        if (v.subindo) {
            v.t_ini = t + 360, v.prof_ini = prof + passo, v.t_fim = t, v.prof_fim = prof;
        } else {
            v.t_ini = t, v.prof_ini = prof, v.t_fim = t + 360, v.prof_fim = prof + passo;
        }
        p_.voltas.push_back(v);
    }
    for (std::size_t k = 0; k < p_.voltas.size(); ++k) {
        const TrechoHelice v = p_.voltas[k];
        entrada_volta(v, k == 0, static_cast<std::int64_t>(k) + 1);
        parte_ = Parte::helice;
        novo(TipoSegmento::helice).indice_helice = static_cast<int>(k);
        parte_ = Parte::saida;
        // A whole turn reaches every side of the circle; a tapered one is judged at the face.
        const double r = hel.conicidade != 0 ? hel.raio : raio_centro(v.prof_ini);
        alargar_centro(r, r);
        alargar_centro(-r, -r);
        const Ponto nr = radial(v.t_fim);
        const double rp = raio_programado(v.prof_fim);
        posicao_ = {como_escrito(rp * nr.x), como_escrito(rp * nr.y)};
        saida_volta(v, k + 1 == p_.voltas.size());
        parte_ = Parte::entrada;
    }
}

void Tracador::tracar() {
    if (percurso_.modos.perfis > 1) {
        tracar_voltas();
        return;
    }
    const TrechoHelice& h = p_.helice;
    const bool tangencial = percurso_.modos.tangencial;
    // Where the cut begins: the start of the arc into the helix, or the helix itself.
    Ponto inicio;
    double prof_inicio = h.prof_ini;
    {
        const Ponto n = radial(h.t_ini);
        const double rp = raio_programado(h.prof_ini);
        inicio = {rp * n.x, rp * n.y};
        if (tangencial) {
            const double rho = raio_arco_guia(h.prof_ini) + meia_programada();
            const Ponto tg = tangente(h.t_ini);
            const double lado = lado_arco_guia();
            inicio = {inicio.x + lado * rho * n.x - rho * tg.x, inicio.y + lado * rho * n.y - rho * tg.y};
            prof_inicio = h.prof_ini - sentido_t_ * desnivel_arco_guia(h.prof_ini);
        }
    }

    // The way in, always clear of the material. Face down: over the start in
    // the air, then down at feed. From the thread length up: down the middle
    // of the bore or outside the blank, then across at feed. With the
    // control's compensation, on along a tangent line in the air first.
    const double distancia_inicio = tangencial ? distancia_ponta_guia(h.prof_ini) : raio_centro(h.prof_ini);
    if (tangencial && h.subindo && percurso_.interna && !espaco_.livre(distancia_inicio, prof_inicio)) {
        entrada_pelo_eixo(h.t_ini, h.prof_ini, prof_inicio, inicio, true);
    } else if (compensa()) {
        rapido_xy(fora_da_tangente(inicio, h.t_ini, true));
        volta();
        reta(&inicio, nullptr, Compensacao::liga);
        if (h.subindo)
            rapido_z(prof_inicio);
        else
            reta(nullptr, &prof_inicio);
    } else if (tangencial || !h.subindo) {
        // The start of an arc into the helix is clear of the material itself.
        rapido_xy(inicio);
        if (h.subindo) rapido_z(prof_inicio);
        volta();
        if (!h.subindo) reta(nullptr, &prof_inicio);
    } else {
        Ponto livre{0, 0};
        if (!percurso_.interna) {
            const double meia = meia_ferramenta();
            const double distancia = std::hypot(inicio.x, inicio.y);
            const double blank = std::max<double>(espaco_.diametro_em(prof_inicio), p_.passe.diametro) / 2;
            const double raio_livre = std::max(distancia + meia + 1, blank + 2 * meia + 1);
            livre = {inicio.x / distancia * raio_livre, inicio.y / distancia * raio_livre};
        }
        rapido_xy(livre);
        rapido_z(prof_inicio);
        volta();
        reta(&inicio, nullptr);
    }
    if (tangencial) {
        Ponto ponta;
        double prof_ponta;
        arco_guia(true, h.t_ini, h.prof_ini, ponta, prof_ponta);
    }

    helice();

    if (tangencial) {
        Ponto ponta;
        double prof_ponta;
        arco_guia(false, h.t_fim, h.prof_fim, ponta, prof_ponta);
        if (compensa()) {
            // Up with the compensation still on, then off along a tangent line in the air.
            Ponto saida;
            if (!h.subindo && percurso_.interna && !espaco_.livre(distancia_ponta_guia(h.prof_fim), prof_ponta)) {
                Ponto fim;
                const Ponto rumo = saida_pelo_eixo(h.t_fim, h.prof_fim, ponta, prof_ponta, fim);
                rapido_z(-static_cast<double>(percurso_.altura_retracao), true);
                saida = fora_da_linha(fim, rumo, false);
            } else {
                rapido_z(-static_cast<double>(percurso_.altura_retracao), true);
                saida = fora_da_tangente(ponta, h.t_fim, false);
            }
            reta(&saida, nullptr, Compensacao::desliga);
            return;
        }
    }
    retracao();
}

}  // namespace

void tracar_passe(const Percurso& percurso, const PassePercurso& passe, PasseTrajeto& t) {
    t.passe = passe;
    t.interna = percurso.interna;
    t.entradas = static_cast<int>(percurso.modos.entradas);
    t.segmentos.clear();
    t.extremos = gerador::Extremos{};
    t.quantos_pontos = 0;
    const vocabulario::ModosCorte& m = percurso.modos;
    TrechoHelice& h = t.helice;
    h = TrechoHelice{};
    h.helice = passe.helice;
    h.subindo = passe.subindo;
    h.arcos = m.arcos;
    h.deslocamento = vocabulario::raio_programado(0, percurso.plano.diametro_ferramenta, percurso.interna,
                                                  m.compensacao() && !m.desgaste);
    t.giro = vocabulario::giro(passe.helice.mao_direita, passe.subindo);
    t.lado_compensacao = vocabulario::lado_compensacao(percurso.interna, t.giro);
    t.corretor = m.corretor;
    t.hoje = !(passe.subindo || m.tangencial || m.compensacao() || m.arcos || m.perfis > 1 || percurso.ajuste);
    extremos_da_helice(passe.helice, m.arcos, h);
    if (t.hoje) {
        // As today's writers take it: the first turn's points give the
        // extents, at the face for a tapered thread.
        if (passe.helice.conicidade != 0) {
            const std::int64_t quantos = std::min<std::int64_t>(h.indice_ultimo + 1, 360);
            const std::int32_t primeiro = angulo_primeiro(passe.helice);
            for (int k = 0; k < quantos; ++k) {
                const PontoHelice c = ponto_helice(passe.helice.raio, primeiro + k, passe.helice.mao_direita);
                t.extremos.alargar(c.x, c.y);
            }
        } else {
            pontos_da_volta(h, t);
        }
        tracar_hoje(percurso, t);
        return;
    }
    Tracador(percurso, t).tracar();
}

void tracar_fim(const Percurso& percurso, std::vector<Segmento>& segmentos) {
    segmentos.clear();
    if (percurso.retracao != Retracao::ao_canto) return;
    Segmento s;
    s.tipo = TipoSegmento::rapido;
    s.saindo = true;
    s.alvo = para_xy({0, 0}, 0);
    segmentos.push_back(s);
}
