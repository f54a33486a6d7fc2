// Threads of several starts, start angles with a fraction and mills of
// several profiles in the files the options write: each chord on its
// start's helix, each way out of a groove along the radius however the
// control runs a rapid, the turn comments naming the start, the deepest Z
// the path's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/dialetos.hpp"
#include "apoio/execucao.hpp"
#include "vocabulario/comentarios.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;
const char* const interna_sete = "I 40 34 1 0.1 20 12 6 D 0 1000 200\n";
const char* const externa = "E 16.933 20 0.5 0.1 14 10 2.5 D 0 1200 200\n";
const char* const dialetos[] = {"padrao", "linuxcnc", "grbl", "fanuc", "siemens"};

// How far in Z the point is from the nearest helix of the family a thread of
// `entradas` starts cuts: through the face at the start angle, and whole
// pitches from it.
double fora_da_familia(double passo, int entradas, double angulo, bool direita, const MovimentoLido& m) {
    const double t = std::atan2(direita ? -m.y : m.y, m.x) * 180 / pi;
    const double d = std::fmod(std::fmod(-m.z - (t - angulo) / 360 * passo * entradas, passo) + passo, passo);
    return std::min(d, passo - d);
}

}  // namespace

// Starts on fractional degrees, and one start at 123.4 degrees: every chord
// ends on the helix, the first one too, which turns only to the next whole
// degree; the files are as the controls take them.
TEST(EntradasPontaAPonta, CadaCordaNaHeliceDaSuaEntrada) {
    struct {
        const char* respostas;
        const char* opcoes;
        double passo;
        int entradas;
        double angulo;
        bool direita;
    } casos[] = {{interna_sete, "--entradas 7", 6, 7, 0, true},
                 {"E 26.3 30 0.5 0.1 20 9 1.5 E 0 1000 300\n", "--entradas 11 --concordante", 1.5, 11, 0, false},
                 {"I 40 34 1 0.1 20 12 6 D 123.4 1000 200\n", "", 6, 1, 123.4, true}};
    for (const auto& c : casos)
        for (const std::string comando : dialetos) {
            SCOPED_TRACE(comando + " " + c.opcoes + " | " + c.respostas);
            const std::string arquivo = arquivo_gerado("--comando " + comando + " " + c.opcoes, c.respostas);
            double pior = 0;
            for (const MovimentoLido& m : movimentos_do_arquivo(arquivo))
                if (!m.rapido && m.z < 0) pior = std::max(pior, fora_da_familia(c.passo, c.entradas, c.angulo, c.direita, m));
            // Three decimals in Z and in the angle.
            EXPECT_LE(pior, 0.002);
            std::string saida;
            EXPECT_TRUE(comando != "grbl" || conferir_grbl(arquivo).empty());
            EXPECT_TRUE(comando != "fanuc" || conferir_fanuc(arquivo).empty());
            EXPECT_TRUE(comando != "linuxcnc" || !rs274_disponivel() || rodar_rs274(arquivo, "", saida)) << saida;
        }
}

namespace {

// How far the cutter's centre strays from the radius through `fim`, the
// helix's end, on its way from `fim` out: while it is farther from the axis
// than `livre` inside a bore (nearer outside a blank) its edge may touch the
// thread. A rapid run axis by axis goes aslant first, then along one axis.
double fora_do_raio(const std::vector<MovimentoLido>& ms, std::size_t fim, bool interna, double livre,
                    bool eixo_a_eixo) {
    const MovimentoLido f = ms[fim];
    const double rf = std::hypot(f.x, f.y);
    double pior = 0;
    MovimentoLido em = f;
    for (std::size_t q = fim + 1; q < ms.size() && em.z < 0.5; ++q) {
        std::vector<MovimentoLido> trechos{ms[q]};
        if (eixo_a_eixo && ms[q].rapido) {
            const double dx = ms[q].x - em.x, dy = ms[q].y - em.y, d = std::min(std::fabs(dx), std::fabs(dy));
            trechos.insert(trechos.begin(), {true, em.x + std::copysign(d, dx), em.y + std::copysign(d, dy), em.z});
        }
        for (const MovimentoLido& p : trechos) {
            for (int k = 0; k <= 100; ++k) {
                const double x = em.x + (p.x - em.x) * k / 100, y = em.y + (p.y - em.y) * k / 100;
                const double r = std::hypot(x, y);
                if (interna ? r <= livre : r >= livre) return pior;
                pior = std::max(pior, x * f.x + y * f.y < 0 ? r : std::fabs(x * f.y - y * f.x) / rf);
            }
            em = p;
        }
    }
    return pior;
}

}  // namespace

// With a lead of several pitches a way out of the groove aslant cuts the
// flanks: out along the radius until the edge is clear (inside the drilled
// hole, outside the blank), whether the control runs a rapid straight or
// axis by axis; face down and from the thread length up.
TEST(EntradasPontaAPonta, SaidaDoFileteAoLongoDoRaioComQualquerRapido) {
    struct {
        const char* respostas;
        const char* opcoes;
        bool interna;
        double livre;  // blank 20, mill 14: clear outside 17; bore 34, mill 20: inside 7
    } casos[] = {{externa, "--entradas 8 --discordante", false, 17},
                 {externa, "--entradas 6", false, 17},
                 {interna_sete, "--entradas 7", true, 7},
                 {interna_sete, "--entradas 7 --discordante", true, 7}};
    for (const auto& c : casos)
        for (const std::string comando : dialetos) {
            SCOPED_TRACE(comando + " " + c.opcoes);
            const auto ms = movimentos_do_arquivo(arquivo_gerado("--comando " + comando + " " + c.opcoes, c.respostas));
            // Where a control may run a rapid axis by axis.
            const bool eixo_a_eixo = comando != "linuxcnc" && comando != "grbl";
            int saidas = 0;
            auto raio = [&ms](std::size_t i) { return std::hypot(ms[i].x, ms[i].y); };
            for (std::size_t k = 1; k + 1 < ms.size(); ++k) {
                // The helix's last point: a chord on its circle, then off it.
                if (ms[k].rapido || ms[k - 1].rapido || ms[k].z > 0.5 || std::fabs(raio(k - 1) - raio(k)) > 0.002 ||
                    std::fabs(raio(k + 1) - raio(k)) <= 0.002)
                    continue;
                ++saidas;
                EXPECT_LE(fora_do_raio(ms, k, c.interna, c.livre, false), 0.002) << k;
                EXPECT_LE(fora_do_raio(ms, k, c.interna, c.livre, eixo_a_eixo), 0.002) << k << " eixo a eixo";
            }
            EXPECT_GE(saidas, 20);
        }
}

// Each turn comment names its start after the turn, which counts as before;
// Heidenhain's header names its own arc blocks; the reader takes both, and
// the comments files have always had.
TEST(EntradasPontaAPonta, ComentariosDaEntradaEDosArcosDoDialeto) {
    for (const std::string comando : {"padrao", "fanuc", "heidenhain"}) {
        SCOPED_TRACE(comando);
        // Seven starts of a 1.5 mm pitch over 20 mm, as arcs: two turns each, four passes.
        const std::string arquivo =
            arquivo_gerado("--comando " + comando + " --entradas 7 --arcos", "I 20 17.5 0.5 0.1 14 20 1.5 D 0 1000 200\n");
        std::istringstream linhas(arquivo);
        std::int64_t esperada = 0, arcos = 0;
        for (std::string l; std::getline(linhas, l);) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            const std::size_t i = l.find_first_of(";(");
            if (i == std::string::npos) continue;
            // ";" to the end of the line, or "(" to ")".
            const std::string texto = l.substr(i + 1, l.size() - i - (l[i] == '(' ? 2 : 1));
            const Comentario c = interpretar_comentario(texto);
            if (c.tipo == TipoComentario::arcos) {
                ++arcos;
                EXPECT_NE(texto.find(comando == "heidenhain" ? "(CP)" : "G2/G3"), std::string::npos) << texto;
            }
            if (c.tipo != TipoComentario::volta) continue;
            EXPECT_EQ(c.entradas, 7) << texto;
            EXPECT_EQ(c.entrada, esperada % 7 + 1) << texto;
            ++esperada;
        }
        EXPECT_EQ(esperada, 4 * 7);
        EXPECT_EQ(arcos, 1);
    }
    const Comentario antigo = interpretar_comentario("passo lateral: 3 - fio rosca N: 12");
    EXPECT_EQ(antigo.tipo, TipoComentario::volta);
    EXPECT_EQ(antigo.j, 12);
    EXPECT_EQ(antigo.entrada, 0);
    for (const char* errado : {"passo lateral: 3 - fio rosca N: 2 - entrada 8 de 7", "passo lateral: 3 - fio rosca N: 2 x"})
        EXPECT_EQ(interpretar_comentario(errado).tipo, TipoComentario::outro) << errado;
}

// The header's and the summary's deepest Z is the path's own: the
// revolutions of a mill of several profiles end on their depths (no line
// where that is L), its arcs out go below; each start of several ends its
// chords on its own helix, not on the thread's of one pitch a turn.
TEST(EntradasPontaAPonta, ZMinimoEOMaisFundoDoPercurso) {
    const char* const perfis = "I 20 17 0.5 0.1 10 0.5 0.7 D 0 1000 200\n";
    struct {
        const char* opcoes;
        const char* respostas;
        double comprimento;
    } casos[] = {{"--perfis 2", perfis, 0.5},
                 {"--perfis 3 --concordante", perfis, 0.5},
                 {"--perfis 3 --entrada-tangencial", perfis, 0.5},
                 {"--entradas 2", "I 7.5 0 3.67 1 1.814286 D 190.684 1000 200\n", 1}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.opcoes);
        const std::string arquivo = arquivo_gerado(c.opcoes, c.respostas);
        double fundo = 0;
        for (const MovimentoLido& m : movimentos_do_arquivo(arquivo)) fundo = std::min(fundo, m.z);
        const std::size_t linha = arquivo.find(";Z minimo do percurso: ");
        EXPECT_NEAR(linha == std::string::npos ? -c.comprimento : std::strtod(arquivo.c_str() + linha + 23, nullptr),
                    fundo, 0.0005);
    }
}
