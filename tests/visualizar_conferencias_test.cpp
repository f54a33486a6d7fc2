// Each check on a few moves built here, with only that check observing the
// model: what it flags, on which line, and how often.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "apoio/visualizacao.hpp"
#include "visualizar/conferencias.hpp"

namespace {

// A header for an internal right-hand thread: Df 20, cutter 10 (path radius
// 5), one pass, L 2, p 1.
const char* const cabecalho_interna[] = {
    "Df-Diametro final da rosca: 20.00 [mm]",
    "Di-diametro inicial da rosca: DESABILITADO",
    "np-Quantidade de Passes Laterais da rosca: 0 - PASSE UNICO",
    "L-Comprimento da rosca: 2.00 [mm]",
    "p-Passo Vertical da rosca (1 fio): 1.00 [mm]",
    "Angulo Inicial de Rosca: 0.0 [graus] -> Direita",
    "Rosca [INTERNA] [Direita >> sentido Horario]",
    "Df-ferramenta: 10.00 mm",
    "Rotacao S: 1000 rpm",
    "Avanco Feed-Rate (fn): 200.0 [mm / min]",
};

double milesimo(double v) { return std::round(v * 1000) / 1000; }

// A stream of lines fed to a model that only check C observes.
template <class C>
struct Ensaio {
    Modelo m;
    Verificacoes v;
    C conferencia{m, v};
    std::uint64_t n = 0;
    Ponto3 pos;
    int eixos = 0;

    // `trocas`: header lines in place of those with the same label.
    explicit Ensaio(const std::vector<std::string>& trocas = {}) {
        m.observar(conferencia);
        for (std::string c : cabecalho_interna) {
            for (const std::string& t : trocas)
                if (t.substr(0, t.find(':')) == c.substr(0, c.find(':'))) c = t;
            comentario(c);
        }
    }
    void comentario(const std::string& texto) {
        Linha l;
        l.tipo = TipoLinha::comentario;
        l.numero = ++n;
        l.comentarios[0] = texto;
        l.quantidade_comentarios = 1;
        m.acumular(l);
    }
    void comando(int codigo_m, double s = -1, double f = -1) {
        Linha l;
        l.tipo = TipoLinha::comando;
        l.numero = ++n;
        l.m = codigo_m;
        l.tem_s = s >= 0, l.s = s;
        l.tem_f = f >= 0, l.f = f;
        m.acumular(l);
    }
    void mover(TipoMovimento tipo, double x, double y, double z) {
        Linha l;
        l.tipo = TipoLinha::movimento;
        l.numero = ++n;
        Movimento& mv = l.movimento;
        mv.tipo = tipo;
        mv.linha = l.numero;
        mv.de = pos;
        mv.de_conhecido = eixos == 3;
        mv.para = {x, y, z};
        mv.tem_x = mv.tem_y = mv.tem_z = mv.z_conhecido = true;
        pos = mv.para;
        eixos = 3;
        m.acumular(l);
    }
    void rapido(double x, double y, double z) { mover(TipoMovimento::rapido, x, y, z); }
    void corte(double x, double y, double z) { mover(TipoMovimento::linear, x, y, z); }
    // The preamble and the approach to the start point at 0 degrees.
    void preambulo() {
        rapido(0, 0, 3);
        comando(3, 1000, 200);
        rapido(5, 0, 3);
    }
    // Turn comments and `voltas` turns of one-degree moves, clockwise,
    // radius 5, pitch 1, printed to three decimals; `desvio` moves the
    // point of step `alterado` (0 for none) by (dx, dy, dz).
    void passe(int voltas, int alterado = 0, double dx = 0, double dy = 0, double dz = 0) {
        for (int k = 1; k <= voltas * 360; ++k) {
            if (k % 360 == 1) {
                comentario("passo lateral: 0 - fio rosca N: " + std::to_string(k / 360 + 1));
                comentario("diametro: 20.000 [mm]");
            }
            const double a = k * 3.14159265358979 / 180;
            double x = milesimo(5 * std::cos(a)), y = milesimo(-5 * std::sin(a)), z = milesimo(-k / 360.0);
            if (k == alterado) x += dx, y += dy, z += dz;
            corte(x, y, z);
        }
    }
    // Away to the axis, up, and the end of the program.
    void fim(const char* extensao_x = "X MAX = 5.00 --- X MIN = -5.00") {
        rapido(0, 0, pos.z);
        rapido(0, 0, 5);
        comentario(extensao_x);
        comentario("Y MAX = 5.00 --- Y MIN = -5.00");
        comentario("DIAMETRO USINADO MAXIMO = 20.000 [mm]");
        comando(5);
        comando(30);
        m.terminar(n, false);
    }
    const ResultadoVerificacao& r(int numero) const { return v[numero]; }
};

// The line of step k of the pass, after the preamble and header.
constexpr std::uint64_t inicio_passe = 10 + 3;
std::uint64_t linha_do_passo(int k) { return inicio_passe + static_cast<std::uint64_t>(k + 2 * ((k - 1) / 360 + 1)); }

TEST(VisualizarConferencias, CirculoAcusaCadaPontoForaDoRaio) {
    Ensaio<ConferenciaCirculo> bom;
    bom.preambulo();
    bom.passe(2);
    bom.fim();
    EXPECT_EQ(bom.r(Verificacoes::circulo).estado, Estado::ok);

    // 0.05 mm outward, in the second turn, where the pair of points repeats
    // the first turn's but for this one: every occurrence counts.
    Ensaio<ConferenciaCirculo> fora;
    fora.preambulo();
    fora.passe(2, 400, 0.05 * std::cos(40 * 3.14159265358979 / 180), -0.05 * std::sin(40 * 3.14159265358979 / 180));
    fora.fim();
    const ResultadoVerificacao& r = fora.r(Verificacoes::circulo);
    EXPECT_EQ(r.estado, Estado::falha);
    EXPECT_EQ(r.linha, linha_do_passo(400));
    EXPECT_EQ(r.ocorrencias, 1u);
    EXPECT_NEAR(r.x, 3.830 + 0.038, 0.002);

    Ensaio<ConferenciaCirculo> vazio;
    vazio.m.terminar(vazio.n, false);
    EXPECT_EQ(vazio.r(Verificacoes::circulo).estado, Estado::nao_avaliada);
}

TEST(VisualizarConferencias, ProfundidadeEAvancoDeUmGrau) {
    Ensaio<ConferenciaProfundidade> bom;
    bom.preambulo();
    bom.passe(2);
    bom.fim();
    EXPECT_EQ(bom.r(Verificacoes::profundidade_e_avanco).estado, Estado::ok) << bom.r(4).detalhe;

    // Along the circle: the advance is no longer one degree (twice: to the
    // moved point and from it).
    Ensaio<ConferenciaProfundidade> ao_longo;
    ao_longo.preambulo();
    ao_longo.passe(2, 100, -0.05 * std::sin(100 * 3.14159265358979 / 180), -0.05 * std::cos(100 * 3.14159265358979 / 180));
    ao_longo.fim();
    const ResultadoVerificacao& a = ao_longo.r(Verificacoes::profundidade_e_avanco);
    EXPECT_EQ(a.linha, linha_do_passo(100));
    EXPECT_EQ(a.ocorrencias, 2u);
    EXPECT_NE(a.detalhe.find("fora do avanco de 1 grau horario"), std::string::npos) << a.detalhe;

    // Three thousandths along it: past what the printing of two points
    // explains (a few ten-thousandths), so a slack tolerance would miss it.
    Ensaio<ConferenciaProfundidade> pouco;
    pouco.preambulo();
    pouco.passe(2, 100, -0.003 * std::sin(100 * 3.14159265358979 / 180), -0.003 * std::cos(100 * 3.14159265358979 / 180));
    pouco.fim();
    EXPECT_EQ(pouco.r(Verificacoes::profundidade_e_avanco).linha, linha_do_passo(100));

    // 0.05 mm deeper: the step down and the step after it, and the turn
    // after (a turn's depth against the same step one turn before).
    Ensaio<ConferenciaProfundidade> fundo;
    fundo.preambulo();
    fundo.passe(2, 300, 0, 0, -0.05);
    fundo.fim();
    const ResultadoVerificacao& f = fundo.r(Verificacoes::profundidade_e_avanco);
    EXPECT_EQ(f.linha, linha_do_passo(300));
    EXPECT_EQ(f.ocorrencias, 3u);

    // Short of L: the pass ends a turn early.
    Ensaio<ConferenciaProfundidade> curto;
    curto.preambulo();
    curto.passe(1);
    curto.fim();
    EXPECT_NE(curto.r(4).detalhe.find("termina a Z -1.000; L = 2.00"), std::string::npos) << curto.r(4).detalhe;
}

TEST(VisualizarConferencias, PassesConferemComentariosEFerramenta) {
    Ensaio<ConferenciaPasses> bom;
    bom.preambulo();
    bom.passe(2);
    bom.fim();
    EXPECT_EQ(bom.r(Verificacoes::raio_e_passes).estado, Estado::ok) << bom.r(3).detalhe;

    // Cut without the turn comments, on a radius the cutter does not give.
    Ensaio<ConferenciaPasses> sem;
    sem.preambulo();
    for (int k = 1; k <= 720; ++k) {
        const double a = k * 3.14159265358979 / 180;
        sem.corte(milesimo(5.5 * std::cos(a)), milesimo(-5.5 * std::sin(a)), milesimo(-k / 360.0));
    }
    sem.fim();
    const ResultadoVerificacao& r = sem.r(Verificacoes::raio_e_passes);
    EXPECT_EQ(r.linha, inicio_passe + 1);
    EXPECT_EQ(r.detalhe, "passe sem o comentario de passe e volta");
    EXPECT_EQ(r.ocorrencias, 3u);  // nor the diameter comment, nor the pass number the header expects
}

TEST(VisualizarConferencias, PreambuloERetracao) {
    Ensaio<ConferenciaPreambulo> bom;
    bom.preambulo();
    bom.passe(2);
    bom.fim();
    EXPECT_EQ(bom.r(Verificacoes::rapidos_e_preambulo).estado, Estado::ok) << bom.r(6).detalhe;

    // Straight up out of the thread, then no M5 before M30.
    Ensaio<ConferenciaPreambulo> sobe;
    sobe.preambulo();
    sobe.passe(2);
    sobe.rapido(sobe.pos.x, sobe.pos.y, 5);
    sobe.m.terminar(sobe.n, false);
    EXPECT_EQ(sobe.r(6).detalhe, "sobe sem antes se afastar ao eixo da rosca");
    EXPECT_EQ(sobe.r(6).linha, sobe.n);

    // No spindle: cut without M3 and without S.
    Ensaio<ConferenciaPreambulo> sem_fuso;
    sem_fuso.rapido(0, 0, 3);
    sem_fuso.comando(-1, -1, 200);
    sem_fuso.rapido(5, 0, 3);
    sem_fuso.passe(1);
    sem_fuso.fim();
    EXPECT_EQ(sem_fuso.r(6).detalhe, "corte sem M3 (fuso ligado) antes do primeiro movimento");
    EXPECT_EQ(sem_fuso.r(6).ocorrencias, 2u);
}

TEST(VisualizarConferencias, AvancoOuRotacaoZeroNoPreambulo) {
    // The header agrees (F 0.0): a feed of zero is no preamble all the same.
    Ensaio<ConferenciaPreambulo> f0({"Avanco Feed-Rate (fn): 0.0 [mm / min]"});
    f0.rapido(0, 0, 3);
    f0.comando(3, 1000, 0);
    f0.rapido(5, 0, 3);
    f0.passe(2);
    f0.fim();
    EXPECT_EQ(f0.r(6).detalhe, "f0 antes do primeiro corte: a ferramenta nao avanca");
    EXPECT_EQ(f0.r(6).linha, inicio_passe - 1);

    Ensaio<ConferenciaPreambulo> s0;
    s0.rapido(0, 0, 3);
    s0.comando(3, 0, 200);
    s0.rapido(5, 0, 3);
    s0.passe(2);
    s0.fim();
    EXPECT_EQ(s0.r(6).detalhe, "S0 antes do primeiro corte: o fuso nao gira");
}

TEST(VisualizarConferencias, ValorDoCabecalhoIlegivelNaoDesligaAVerificacao) {
    // p halved: with L beyond a float, every comparison would hold.
    Ensaio<ConferenciaProfundidade> l({"L-Comprimento da rosca: 1000000000000000000000000000000000000000.00 [mm]"});
    l.preambulo();
    l.passe(2);
    l.fim();
    EXPECT_EQ(l.r(4).estado, Estado::falha);
    EXPECT_EQ(l.r(4).linha, 4u);
    EXPECT_NE(l.r(4).detalhe.find("L do cabecalho ilegivel (1e+39)"), std::string::npos) << l.r(4).detalhe;

    Ensaio<ConferenciaPasses> ferramenta({"Df-ferramenta: nan mm"});
    ferramenta.preambulo();
    ferramenta.passe(2);
    ferramenta.fim();
    EXPECT_NE(ferramenta.r(3).detalhe.find("ferramenta do cabecalho ilegivel (nan)"), std::string::npos)
        << ferramenta.r(3).detalhe;
}

TEST(VisualizarConferencias, ArquivoEDiametroUsinado) {
    Ensaio<ConferenciaArquivo> sem_m30;
    sem_m30.preambulo();
    sem_m30.passe(2);
    sem_m30.rapido(0, 0, -2);
    sem_m30.m.terminar(sem_m30.n, false);
    EXPECT_EQ(sem_m30.r(1).estado, Estado::falha);
    EXPECT_NE(sem_m30.r(1).detalhe.find("sem M30"), std::string::npos) << sem_m30.r(1).detalhe;

    Ensaio<ConferenciaDiametro> bom;
    bom.preambulo();
    bom.passe(2);
    bom.fim();
    EXPECT_EQ(bom.r(Verificacoes::diametro_usinado).estado, Estado::ok) << bom.r(5).detalhe;

    // The extents comment says more than the path reaches.
    Ensaio<ConferenciaDiametro> maior;
    maior.preambulo();
    maior.passe(2);
    maior.fim("X MAX = 5.20 --- X MIN = -5.00");
    EXPECT_NE(maior.r(5).detalhe.find("X MAX = 5.20 no comentario"), std::string::npos) << maior.r(5).detalhe;
}

TEST(VisualizarConferencias, LinhaRecusadaNaoEncobreAProxima) {
    // A junk copy of a moved point, then the moved point itself, in the
    // second turn: the point must still fail its circle and advance checks.
    std::string t = arquivo_do_gerador("I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n");
    const std::string linha = "g01 x-3.886 y-3.147 z-1.392\r\n";
    const std::size_t onde = t.find(linha);
    ASSERT_NE(onde, std::string::npos);
    t.replace(onde, linha.size(), "g01 x-4.386 y-3.147 z-1.392 lixo\r\ng01 x-4.386 y-3.147 z-1.392\r\n");
    const auto a = analisar_bytes(t);
    EXPECT_EQ(a->verificacoes[Verificacoes::arquivo_completo].estado, Estado::falha);
    EXPECT_EQ(a->verificacoes[Verificacoes::circulo].estado, Estado::falha);
    EXPECT_EQ(a->verificacoes[Verificacoes::profundidade_e_avanco].estado, Estado::falha);
    EXPECT_EQ(a->verificacoes[Verificacoes::circulo].linha, a->verificacoes[Verificacoes::arquivo_completo].linha + 1);
}

}  // namespace
