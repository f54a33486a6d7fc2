// The segmenter on moves built here: which moves of a pass are its way in,
// its helix and its way out, for each shape a header can announce; and a
// move changed anywhere stays in the part it belongs to.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "visualizar/segmentador.hpp"
#include "vocabulario/geometria.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;

// What the segmenter tells, one letter a call: E way in, I the helix's first
// move, H its others, S way out, A a move in the air after a pass, F end of
// a pass, R a rapid move.
struct Registro {
    std::string s;
    std::uint64_t linha_inicio = 0, linha_fim_helice = 0;
    void entrada(const Movimento&) { s += 'E'; }
    void inicio_helice(const Movimento& m) {
        s += 'I';
        linha_inicio = linha_fim_helice = m.linha;
    }
    void helice(const Movimento& m) {
        s += 'H';
        linha_fim_helice = m.linha;
    }
    void saida(const Movimento&) { s += 'S'; }
    void no_ar(const Movimento&) { s += 'A'; }
    void fim_passe() { s += 'F'; }
    void rapido(const Movimento&) { s += 'R'; }
};

// Letters run together: "E90" for 90 E's.
std::string contado(const std::string& s) {
    std::string r;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t j = i;
        while (j < s.size() && s[j] == s[i]) ++j;
        r += s[i];
        if (j - i > 1) r += std::to_string(j - i);
        i = j;
    }
    return r;
}

// Feeds moves from where the tool stands, printed to three decimals.
struct Percurso {
    Registro r;
    Segmentador<Registro> seg{r};
    Ponto3 pos{0, 0, 3};
    std::uint64_t linha = 0;

    explicit Percurso(const FormaPasse& f) { seg.configurar(f); }
    static double milesimo(double v) { return std::round(v * 1000) / 1000; }
    Movimento mover(TipoMovimento tipo, double x, double y, double z) {
        Movimento m;
        m.tipo = tipo;
        m.linha = ++linha;
        m.de = pos;
        m.de_conhecido = m.z_conhecido = true;
        m.tem_x = m.tem_y = m.tem_z = true;
        m.para = {milesimo(x), milesimo(y), milesimo(z)};
        pos = m.para;
        return m;
    }
    void rapido(double x, double y, double z) { seg.rapido(mover(TipoMovimento::rapido, x, y, z)); }
    void corte(double x, double y, double z) { seg.corte(mover(TipoMovimento::linear, x, y, z)); }
    void arco(double x, double y, double z, double cx, double cy, bool horario, double varredura) {
        Movimento m = mover(TipoMovimento::arco, x, y, z);
        m.centro_x = cx;
        m.centro_y = cy;
        m.horario = horario;
        m.varredura = varredura;
        seg.corte(m);
    }
    // One-degree chords of the circle of radius `raio` about (cx, cy), from
    // angle `a0` (degrees, counter-clockwise) by `n` degrees in the sense
    // `giro`, Z from `z0` (the tool's, unless given) to `z1`.
    void cordas(double cx, double cy, double raio, double a0, int n, int giro, double z1, double z0 = NAN) {
        if (std::isnan(z0)) z0 = pos.z;
        for (int k = 1; k <= n; ++k) {
            const double a = (a0 + giro * k) * pi / 180;
            corte(cx + raio * std::cos(a), cy + raio * std::sin(a), z0 + (z1 - z0) * k / n);
        }
    }
};

constexpr int quarto = vocabulario::passos_arco_guia;

TEST(VisualizarSegmentador, PasseDeHojeEHeliceDesdeOPrimeiroMovimento) {
    // Today's pass: over the start in the air, then straight to the first chord.
    Percurso p(FormaPasse{});
    p.rapido(5, 0, 3);
    p.cordas(0, 0, 5, 0, 720, -1, -2, 0);
    p.rapido(0, 0, -2);
    EXPECT_EQ(contado(p.r.s), "RIH719FR");
    EXPECT_EQ(p.r.linha_inicio, 2u);

    // Modes without tangent ways: down to the face first; a pitch so fine
    // that the first chord prints "-0.000" still starts the helix.
    Percurso fina(FormaPasse{});
    fina.rapido(5, 0, 3);
    fina.corte(5, 0, 0);
    fina.cordas(0, 0, 5, 0, 360, -1, -0.1);
    fina.rapido(0, 0, -0.1);
    EXPECT_EQ(contado(fina.r.s), "REIH359FR");
}

TEST(VisualizarSegmentador, TangenteEmCordasDeCimaParaBaixo) {
    FormaPasse f;
    f.guias = true;
    f.movimentos_quarto = quarto;
    Percurso p(f);
    // Down to the lead's height, a quarter of 90 chords to the helix at the
    // face, the helix to L, a quarter out, and away.
    p.rapido(2.5, -2.5, 3);
    p.corte(2.5, -2.5, 0.25);
    p.cordas(2.5, 0, 2.5, -90, quarto, 1, 0);
    p.cordas(0, 0, 5, 0, 540, 1, -3);
    p.cordas(2.5, 0, 2.5, 180, quarto, 1, -3.25);
    p.rapido(0, 0, -3.25);
    EXPECT_EQ(contado(p.r.s), "RE91IH539S90FR");

    // A chord of the helix moved off it near L stays the helix's.
    Percurso q(f);
    q.rapido(2.5, -2.5, 3);
    q.corte(2.5, -2.5, 0.25);
    q.cordas(2.5, 0, 2.5, -90, quarto, 1, 0);
    q.cordas(0, 0, 5, 0, 530, 1, -3 * 530.0 / 540);
    q.corte(q.pos.x + 0.05, q.pos.y, q.pos.z - 3.0 / 540);
    q.cordas(0, 0, 5, 531, 9, 1, -3);
    q.cordas(2.5, 0, 2.5, 180, quarto, 1, -3.25);
    q.rapido(0, 0, -3.25);
    EXPECT_EQ(contado(q.r.s), "RE91IH539S90FR");
}

TEST(VisualizarSegmentador, TangenteEmArcosTerminaEmL) {
    FormaPasse f;
    f.guias = f.arcos = true;
    f.tem_L = true;
    f.L = 2;
    f.tolerancia_L = 0.0055;
    Percurso p(f);
    p.rapido(2.5, -2.5, 3);
    p.corte(2.5, -2.5, 0.25);
    p.arco(5, 0, 0, 2.5, 0, false, pi / 2);
    p.arco(-5, 0, -1, 0, 0, false, pi);
    // The second arc's start moved: its centre is off the axis, and it is
    // still the helix's, for it does not reach L.
    p.pos.x += 0.05;
    p.arco(5, 0, -2, 0, 0, false, pi);
    p.arco(2.5, 2.5, -2.25, 2.5, 0, false, pi / 2);
    p.arco(0, 0, -2.25, 0, 0, false, pi);  // on, flat
    p.rapido(0, 0, 5);
    p.corte(-4, 0, 5);  // the compensation off, in the air
    p.corte(-4, 2, 5);
    EXPECT_EQ(contado(p.r.s), "RE2IHS2FRA2");
}

TEST(VisualizarSegmentador, DeBaixoParaCimaContaOsQuartosDaEntrada) {
    FormaPasse f;
    f.sobe = f.guias = true;
    f.movimentos_quarto = quarto;
    Percurso p(f);
    // Down on the axis, along the arc's own circle to its start (flat), up
    // the quarter into the helix, the helix to the face, a quarter out.
    p.rapido(0, 0, 3);
    p.rapido(0, 0, -2.25);
    p.cordas(2.5, 0, 2.5, 180, quarto, 1, -2.25);
    p.cordas(2.5, 0, 2.5, 270, quarto, 1, -2);
    p.cordas(0, 0, 5, 0, 360, 1, 0);
    p.cordas(2.5, 0, 2.5, 0, quarto, 1, 0.25);
    p.rapido(0, 0, 0.25);
    EXPECT_EQ(contado(p.r.s), "R2E180IH359S90FR");

    // A fine pitch: the quarter into the helix rises by less than a printed
    // step per chord, and it is still counted whole.
    Percurso q(f);
    q.rapido(2.5, -2.5, 3);
    q.rapido(2.5, -2.5, -1.0125);
    q.cordas(2.5, 0, 2.5, -90, quarto, 1, -1);
    q.cordas(0, 0, 5, 0, 360, 1, 0);
    q.cordas(2.5, 0, 2.5, 0, quarto, 1, 0.0125);
    q.rapido(0, 0, 3);
    EXPECT_EQ(contado(q.r.s), "R2E90IH359S90FR");
}

TEST(VisualizarSegmentador, DeBaixoParaCimaSemGuiasPelaLinhaAteOCirculo) {
    FormaPasse f;
    f.sobe = true;
    Percurso p(f);
    p.rapido(0, 0, 3);
    p.rapido(0, 0, -2);
    p.corte(5, 0, -2);
    p.cordas(0, 0, 5, 0, 720, 1, 0);
    p.rapido(0, 0, 0);
    EXPECT_EQ(contado(p.r.s), "R2EIH719FR");
}

TEST(VisualizarSegmentador, MovimentoNoArSoDepoisDeUmPasseESemVoltaPendente) {
    Percurso p(FormaPasse{});
    // Before any pass a move in the air opens the way in.
    p.corte(1, 0, 3);
    p.cordas(0, 0, 1, 0, 10, -1, -0.1, 0);
    p.rapido(0, 0, 5);
    p.corte(1, 1, 5);
    // A turn comment read: the next pass's way in starts in the air.
    p.seg.volta_pendente(true);
    p.corte(1, 0, 5);
    p.corte(1, 0, 0);
    p.cordas(0, 0, 1, 0, 10, -1, -0.1);
    p.seg.terminar();
    EXPECT_EQ(contado(p.r.s), "EIH9FRAE2IH9F");
}

TEST(VisualizarSegmentador, VoltasContamOsMovimentosRetidos) {
    FormaPasse f;
    f.guias = true;
    f.movimentos_quarto = quarto;
    Percurso p(f);
    p.rapido(5, 0, 3);
    p.corte(5, 0, 0);
    p.cordas(0, 0, 5, 0, 360, -1, -1);
    // The turn comment after 360 moves: 90 of them held, all counted.
    EXPECT_EQ(p.seg.lidos_na_helice(), 360u);
    EXPECT_EQ(contado(p.r.s), "REIH269");
    EXPECT_TRUE(p.seg.em_passe());
}

}  // namespace
