// Threads of several starts and start angles with a fraction, in the files
// the options write: every chord of a helix ends on the thread's family of
// helices, the starts evenly spaced, in every dialect and as arcs alike;
// rs274 takes the LinuxCNC files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/dialetos.hpp"
#include "apoio/execucao.hpp"
#include "vocabulario/comentarios.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;

struct Movimento {
    bool rapido = false;
    double x = 0, y = 0, z = 0;  // where it ends
    int linha = 0;
};

// Every straight move's end and every arc's end of a G-word file, or of
// Heidenhain's L blocks, the coordinates not written taken from before.
std::vector<Movimento> movimentos(const std::string& arquivo) {
    std::vector<Movimento> r;
    Movimento m;
    bool rapido = false;
    std::istringstream texto(arquivo);
    int n = 0;
    for (std::string linha; std::getline(texto, linha);) {
        ++n;
        std::string t;
        int parenteses = 0;
        for (char c : linha) {
            if (c == ';') break;
            if (c == '(') ++parenteses;
            if (parenteses == 0) t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (c == ')') --parenteses;
        }
        std::istringstream palavras(t);
        bool move = false, heidenhain = false, fmax = false;
        for (std::string p; palavras >> p;) {
            if (p == "L") heidenhain = true;
            if (p == "FMAX") fmax = true;
            if (p.size() >= 2 && p[0] == 'G' && std::isdigit(static_cast<unsigned char>(p[1]))) {
                const int g = std::atoi(p.c_str() + 1);
                if (g <= 3) rapido = g == 0;
            }
            if (p.size() >= 2 && (p[0] == 'X' || p[0] == 'Y' || p[0] == 'Z')) {
                const char* v = p.c_str() + 1;
                if (*v == '=') ++v;
                char* fim = nullptr;
                const double valor = std::strtod(v, &fim);
                if (fim == v) continue;
                (p[0] == 'X' ? m.x : p[0] == 'Y' ? m.y : m.z) = valor;
                move = true;
            }
        }
        if (!move) continue;
        m.rapido = heidenhain ? fmax : rapido;
        m.linha = n;
        r.push_back(m);
    }
    return r;
}

struct Rosca {
    double passo = 0;
    int entradas = 1;
    double angulo_inicial = 0;
    bool direita = true;
};

// How far, in Z, a point of the cutter's centre is from the nearest helix of
// the thread's family: the helix through the face at the start angle and
// those a whole pitch from it, which a thread of several starts cuts, each
// advancing the lead a turn.
double fora_da_familia(const Rosca& r, const Movimento& m) {
    const double t = std::atan2(r.direita ? -m.y : m.y, m.x) * 180 / pi;
    const double avanco = r.passo * r.entradas;
    double d = std::fmod(-m.z - (t - r.angulo_inicial) / 360 * avanco, r.passo);
    if (d < 0) d += r.passo;
    return std::min(d, r.passo - d);
}

// The feed moves below the face farthest from the family, and how far.
struct Desvio {
    double mm = 0;
    int linha = 0;
    int cortes = 0;
};
Desvio maior_desvio(const Rosca& r, const std::string& arquivo) {
    Desvio d;
    for (const Movimento& m : movimentos(arquivo)) {
        if (m.rapido || m.z >= 0) continue;
        ++d.cortes;
        const double v = fora_da_familia(r, m);
        if (v > d.mm) d.mm = v, d.linha = m.linha;
    }
    return d;
}

std::string gerar(const std::string& opcoes, const std::string& respostas) {
    const Execucao e = executar_com_argumentos(opcoes + " --saida p.nc", respostas);
    EXPECT_EQ(e.status, 0) << opcoes << "\n" << e.erros << e.console.substr(e.console.size() > 400 ? e.console.size() - 400 : 0);
    const auto f = e.outros_conteudos.find("p.nc");
    return f == e.outros_conteudos.end() ? std::string() : f->second;
}

// Three decimals leave a point within 0.0005 of where it is meant in each
// coordinate: in Z, and in the angle the depth is judged at.
constexpr double tolerancia_familia = 0.002;

const char* const interna_sete = "I\n40\n34\n1\n0.1\n20\n12\n6\nD\n0\n1000\n200\n";
const char* const externa_onze = "E\n26.3\n30\n0.5\n0.1\n20\n9\n1.5\nE\n0\n1000\n300\n";
const char* const inicio_fracionario = "I\n40\n34\n1\n0.1\n20\n12\n6\nD\n123.4\n1000\n200\n";

}  // namespace

// Starts on fractional degrees (a seventh and an eleventh of a turn), and one
// start at 123.4 degrees: every chord ends on the helix, its first one too,
// which turns only to the next whole degree; in every dialect, as chords and
// as arcs, so that both files of one job cut the same thread.
TEST(EntradasPontaAPonta, CadaCordaTerminaNaHeliceDaSuaEntrada) {
    struct Caso {
        const char* respostas;
        const char* opcoes;
        Rosca rosca;
    } casos[] = {
        {interna_sete, "--entradas 7", {6, 7, 0, true}},
        {externa_onze, "--entradas 11 --concordante", {1.5, 11, 0, false}},
        {inicio_fracionario, "", {6, 1, 123.4, true}},
    };
    for (const Caso& c : casos)
        for (const char* comando : {"padrao", "linuxcnc", "grbl", "fanuc", "siemens", "heidenhain"})
            for (const char* arcos : {"", " --arcos"}) {
                // Heidenhain's arcs are written by their angle, not their end.
                if (std::string(comando) == "heidenhain" && *arcos) continue;
                const std::string opcoes = std::string("--comando ") + comando + " " + c.opcoes + arcos;
                SCOPED_TRACE(opcoes + " | " + std::string(c.respostas).substr(0, 14));
                const std::string arquivo = gerar(opcoes, c.respostas);
                const Desvio d = maior_desvio(c.rosca, arquivo);
                EXPECT_GT(d.cortes, 0);
                EXPECT_LE(d.mm, tolerancia_familia) << "linha " << d.linha;
            }
}

// rs274 takes the files and moves the cutter as they say.
TEST(EntradasPontaAPonta, Rs274NaFamiliaDaRosca) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) nao instalado";
    const Rosca sete{6, 7, 0, true};
    for (const char* arcos : {"", " --arcos"}) {
        const std::string arquivo = gerar(std::string("--comando linuxcnc --entradas 7") + arcos, interna_sete);
        std::string saida;
        ASSERT_TRUE(rodar_rs274(arquivo, "", saida)) << saida.substr(0, 400);
        double pior = 0;
        int cortes = 0;
        std::istringstream linhas(saida);
        for (std::string l; std::getline(linhas, l);) {
            // STRAIGHT_FEED(x, y, z, ...) and ARC_FEED(x, y, centre x, centre y, turns, z, ...): where each ends.
            const bool reta = l.find("STRAIGHT_FEED(") != std::string::npos;
            const bool arco = l.find("ARC_FEED(") != std::string::npos;
            double v[6];
            if ((!reta && !arco) || std::sscanf(l.c_str() + l.find('(') + 1, "%lf, %lf, %lf, %lf, %lf, %lf", &v[0],
                                                &v[1], &v[2], &v[3], &v[4], &v[5]) != 6)
                continue;
            const double z = arco ? v[5] : v[2];
            if (z >= 0) continue;
            ++cortes;
            pior = std::max(pior, fora_da_familia(sete, {false, v[0], v[1], z, 0}));
        }
        EXPECT_GT(cortes, 0) << arcos;
        EXPECT_LE(pior, tolerancia_familia) << arcos;
    }
}

namespace {

// The lowest Z of every move's end (a helical arc's Z changes evenly, so
// its ends are its extremes), and the header's "Z minimo" line; NAN where
// the header has none.
struct Fundo {
    double percurso = 0, cabecalho = NAN, comprimento = NAN;
};
Fundo fundo(const std::string& arquivo) {
    Fundo f;
    for (const Movimento& m : movimentos(arquivo)) f.percurso = std::min(f.percurso, m.z);
    std::string minusculo = arquivo;
    for (char& c : minusculo) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto valor = [&minusculo](const std::string& rotulo) {
        const std::size_t i = minusculo.find(rotulo);
        return i == std::string::npos ? NAN : std::strtod(minusculo.c_str() + i + rotulo.size(), nullptr);
    };
    f.cabecalho = valor("z minimo do percurso: ");
    f.comprimento = valor("comprimento da rosca: ");
    return f;
}

}  // namespace

// The header's and the summary's deepest Z is the path's own, whatever cuts
// it: revolutions of a mill of several profiles end on their depths, the
// chords of a helix at or past L, the arcs into and out of it below.
TEST(EntradasPontaAPonta, ZMinimoDoCabecalhoEOMaisFundoDoPercurso) {
    const char* const trabalhos[] = {"I\n20\n17\n0.5\n0.1\n10\n0.5\n0.7\nD\n0\n1000\n200\n",
                                     "I\n20\n17.5\n0.5\n0.1\n14\n10\n2.5\nD\n45.5\n1000\n200\n",
                                     "E\n16.933\n20\n0.5\n0.1\n14\n12\n2.5\nE\n0\n1000\n200\n"};
    const char* const opcoes[] = {"--perfis 2",   "--perfis 3 --concordante",           "--perfis 2 --arcos",
                                  "--perfis 3 --entrada-tangencial", "--entradas 3", "--entradas 7 --entrada-tangencial",
                                  "--comando linuxcnc", "--arcos"};
    for (const char* t : trabalhos)
        for (const char* o : opcoes) {
            SCOPED_TRACE(std::string(o) + " | " + std::string(t).substr(0, 12));
            const Fundo f = fundo(gerar(o, t));
            ASSERT_FALSE(std::isnan(f.comprimento));
            // No line: the path goes no deeper than L, as printed.
            if (std::isnan(f.cabecalho))
                EXPECT_GE(f.percurso, -f.comprimento - 0.0005);
            else
                EXPECT_NEAR(f.cabecalho, f.percurso, 0.0005);
        }
}

namespace {

// The comment texts of a file, each without its marker, in order: ";" to
// the end of the line or "(" to ")", after a Heidenhain block number.
std::vector<std::string> comentarios(const std::string& arquivo) {
    std::vector<std::string> r;
    std::istringstream texto(arquivo);
    for (std::string l; std::getline(texto, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (const std::size_t p = l.find(';'); p != std::string::npos)
            r.push_back(l.substr(p + 1));
        else if (const std::size_t a = l.find('('); a != std::string::npos && l.back() == ')')
            r.push_back(l.substr(a + 1, l.size() - a - 2));
    }
    return r;
}

}  // namespace

// Before each turn of a thread of several starts, the comment names the
// start its helix cuts, 1 to S in order within every pass, beside the turn's
// number, which counts as before; the viewer's reader takes both.
TEST(EntradasPontaAPonta, ComentarioDeCadaVoltaComASuaEntrada) {
    for (const char* comando : {"padrao", "linuxcnc", "grbl", "fanuc", "siemens", "heidenhain"})
        for (const char* arcos : {"", " --arcos"}) {
            SCOPED_TRACE(std::string(comando) + arcos);
            // Seven starts of a 1.5 pitch over 20 mm: two turns each.
            const std::string arquivo = gerar(std::string("--comando ") + comando + " --entradas 7" + arcos,
                                              "I\n20\n17.5\n0.5\n0.1\n14\n20\n1.5\nD\n0\n1000\n200\n");
            std::int64_t passe = -1, entrada = 0, volta = 0;
            int comentarios_volta = 0, entradas_vistas = 0;
            for (const std::string& t : comentarios(arquivo)) {
                const Comentario c = interpretar_comentario(t);
                if (c.tipo != TipoComentario::volta) continue;
                ++comentarios_volta;
                ASSERT_EQ(c.entradas, 7) << t;
                if (c.entrada != entrada || c.i != passe) {
                    // A start begins: the next one of the pass, or the first of the next pass.
                    EXPECT_EQ(c.entrada, c.i == passe ? entrada + 1 : 1) << t;
                    EXPECT_EQ(c.j, 1) << t;
                    passe = c.i;
                    entrada = c.entrada;
                    ++entradas_vistas;
                } else {
                    EXPECT_EQ(c.j, volta + 1) << t;
                }
                volta = c.j;
            }
            // Four passes of seven starts; as chords, a comment every turn.
            EXPECT_EQ(entradas_vistas, 4 * 7);
            EXPECT_EQ(comentarios_volta, *arcos ? 4 * 7 : 4 * 7 * 2);
        }
}

// The header names the dialect's own arc blocks: G2/G3, or CP in
// Heidenhain's plain language; the reader takes both as the arcs' line.
TEST(EntradasPontaAPonta, CabecalhoDosArcosComOsBlocosDoDialeto) {
    for (const char* comando : {"padrao", "linuxcnc", "fanuc", "siemens", "heidenhain"}) {
        SCOPED_TRACE(comando);
        const std::string arquivo =
            gerar(std::string("--comando ") + comando + " --arcos", "I\n20\n0\n10\n6\n1.5\nD\n0\n1000\n200\n");
        const bool heidenhain = std::string(comando) == "heidenhain";
        int arcos = 0;
        for (const std::string& t : comentarios(arquivo)) {
            if (interpretar_comentario(t).tipo != TipoComentario::arcos) continue;
            ++arcos;
            EXPECT_NE(t.find(heidenhain ? "(CP)" : "G2/G3"), std::string::npos) << t;
            EXPECT_EQ(t.find(heidenhain ? "G2" : "CP"), std::string::npos) << t;
        }
        EXPECT_EQ(arcos, 1);
    }
}

// The turn comment read back: as every file has always had it, and with the
// start of a thread of several after the turn; anything else after the turn
// is no turn comment.
TEST(ComentarioDaVolta, ComESemAEntrada) {
    Comentario c = interpretar_comentario("passo lateral: 3 - fio rosca N: 12");
    EXPECT_EQ(c.tipo, TipoComentario::volta);
    EXPECT_EQ(c.i, 3);
    EXPECT_EQ(c.j, 12);
    EXPECT_EQ(c.entrada, 0);
    c = interpretar_comentario("PASSO LATERAL: 3 - FIO ROSCA N: 2 - ENTRADA 5 DE 7");
    EXPECT_EQ(c.tipo, TipoComentario::volta);
    EXPECT_EQ(c.i, 3);
    EXPECT_EQ(c.j, 2);
    EXPECT_EQ(c.entrada, 5);
    EXPECT_EQ(c.entradas, 7);
    for (const char* errado : {"passo lateral: 3 - fio rosca N: 2 - entrada 8 de 7",
                               "passo lateral: 3 - fio rosca N: 2 - entrada 0 de 7",
                               "passo lateral: 3 - fio rosca N: 2 - entrada 5", "passo lateral: 3 - fio rosca N: 2 x",
                               "passo lateral: 3 - fio rosca N: 2 - entrada 5 de 7 x"})
        EXPECT_EQ(interpretar_comentario(errado).tipo, TipoComentario::outro) << errado;
}

namespace {

// A control's way of running a rapid from `de` to `ate`: straight, or each
// axis at the same rapid rate on its own (aslant until one axis is there,
// then along the other). The points where it turns, `ate` last.
std::vector<Movimento> como_roda(const Movimento& de, const Movimento& ate, bool eixo_a_eixo) {
    std::vector<Movimento> r;
    const double dx = ate.x - de.x, dy = ate.y - de.y;
    if (eixo_a_eixo && ate.rapido) {
        const double d = std::min(std::fabs(dx), std::fabs(dy));
        Movimento canto = ate;
        canto.x = de.x + std::copysign(d, dx);
        canto.y = de.y + std::copysign(d, dy);
        canto.z = de.z;
        r.push_back(canto);
    }
    r.push_back(ate);
    return r;
}

// How far the cutter's centre strays from the radius through `fim` while
// it goes from `a` to `b`, as long as its edge may touch the thread: its
// centre farther from the axis than `livre` inside a bore, nearer outside.
double fora_do_raio(const Movimento& fim, const Movimento& a, const Movimento& b, bool interna, double livre) {
    const double rf = std::hypot(fim.x, fim.y);
    double pior = 0;
    for (int k = 0; k <= 200; ++k) {
        const double u = k / 200.0;
        const double x = a.x + u * (b.x - a.x), y = a.y + u * (b.y - a.y);
        const double r = std::hypot(x, y);
        if (interna ? r <= livre : r >= livre) break;
        // Off the line through the axis and the helix's end, or back past the axis.
        const double lado = std::fabs(x * fim.y - y * fim.x) / rf;
        pior = std::max(pior, (x * fim.x + y * fim.y) < 0 ? r : lado);
    }
    return pior;
}

struct Saida {
    double desvio = 0;  // the most a way out strays from the radius in the thread
    int linha = 0;
    int saidas = 0;
};

// Every way out of a helix: from the last move on the pass's circle, each
// move after it while the cutter is below the top of the tooth's reach.
Saida saidas(const std::string& arquivo, bool interna, double livre, double alcance, bool eixo_a_eixo) {
    Saida s;
    const std::vector<Movimento> ms = movimentos(arquivo);
    auto raio = [](const Movimento& m) { return std::hypot(m.x, m.y); };
    for (std::size_t k = 1; k + 1 < ms.size(); ++k) {
        const Movimento& fim = ms[k];
        // The helix's last point: a feed move along its circle, then off it.
        if (fim.rapido || fim.z > alcance || ms[k - 1].rapido || std::fabs(raio(ms[k - 1]) - raio(fim)) > 0.002 ||
            std::fabs(raio(ms[k + 1]) - raio(fim)) <= 0.002 || raio(fim) < 0.5)
            continue;
        ++s.saidas;
        Movimento em = fim;
        for (std::size_t q = k + 1; q < ms.size() && em.z <= alcance; ++q)
            for (const Movimento& p : como_roda(em, ms[q], eixo_a_eixo)) {
                const double d = fora_do_raio(fim, em, p, interna, livre);
                if (d > s.desvio) s.desvio = d, s.linha = ms[q].linha;
                em = p;
            }
    }
    return s;
}

}  // namespace

// Out of the groove of a thread of several starts, the cutter goes along the
// radius until its edge is clear of the thread (inside the drilled hole,
// outside the blank), whether the control runs a rapid straight or axis by
// axis: with a lead of several pitches, a way out aslant cuts the flanks.
TEST(EntradasPontaAPonta, SaidaDoFileteAoLongoDoRaioComQualquerRapido) {
    struct Caso {
        const char* respostas;
        bool interna;
        double livre;  // the centre's distance from the axis where the edge is clear
        const char* opcoes;
    } casos[] = {
        // Blank 20, mill 14: clear outside 17; bore 34, mill 20: inside 7.
        {"E\n16.933\n20\n0.5\n0.1\n14\n10\n2.5\nD\n0\n1200\n200\n", false, 17, "--entradas 8 --arcos --discordante"},
        {"E\n16.933\n20\n0.5\n0.1\n14\n10\n2.5\nD\n0\n1200\n200\n", false, 17, "--entradas 6"},
        {"E\n16.933\n20\n0.5\n0.1\n14\n10\n2.5\nE\n0\n1200\n200\n", false, 17, "--entradas 4 --concordante"},
        {interna_sete, true, 7, "--entradas 7 --arcos"},
        {interna_sete, true, 7, "--entradas 7 --discordante"},
    };
    const struct {
        const char* nome;
        bool eixo_a_eixo;  // its controls may run a rapid axis by axis
    } comandos[] = {{"padrao", true}, {"linuxcnc", false}, {"grbl", false},
                    {"fanuc", true},  {"siemens", true},   {"heidenhain", false}};
    for (const Caso& c : casos)
        for (const auto& comando : comandos) {
            // Heidenhain's arcs are written by their angle, not their end.
            if (std::string(comando.nome) == "heidenhain" && std::string(c.opcoes).find("--arcos") != std::string::npos)
                continue;
            const std::string opcoes = std::string("--comando ") + comando.nome + " " + c.opcoes;
            SCOPED_TRACE(opcoes + " | " + std::string(c.respostas).substr(0, 9));
            const std::string arquivo = gerar(opcoes, c.respostas);
            // A tooth of a 2.5 or 6 mm pitch reaches half of it above its centre.
            const double alcance = c.interna ? 3 : 1.25;
            for (bool eixo_a_eixo : {false, true}) {
                if (eixo_a_eixo && !comando.eixo_a_eixo) continue;
                const Saida s = saidas(arquivo, c.interna, c.livre, alcance, eixo_a_eixo);
                EXPECT_GE(s.saidas, 8);
                EXPECT_LE(s.desvio, 0.002) << "linha " << s.linha << (eixo_a_eixo ? " (rapido eixo a eixo)" : "");
            }
        }
}
