// The reader on lines built in the test: the words and number forms the
// controls write, the comments, what makes a line unreadable, and the modal
// position and motion a control keeps between lines.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "apoio/visualizacao.hpp"
#include "visualizar/leitor_gcode.hpp"
#include "vocabulario/codigos.hpp"

namespace {

// Every line of `texto`, as the reader hands them over (texts copied).
struct Lida {
    TipoLinha tipo;
    Movimento movimento;
    int m;
    bool tem_s, tem_f;
    double s, f;
    std::vector<std::string> comentarios;
    std::uint16_t tracos;
    bool pausa, tem_p;
    double p;
};

std::vector<Lida> ler(const std::string& texto) {
    FonteMemoria fonte(texto);
    LeitorGcode leitor(fonte, 5);
    std::vector<Lida> r;
    Linha l;
    while (leitor.proxima(l)) {
        Lida x{l.tipo, l.movimento, l.m, l.tem_s, l.tem_f, l.s, l.f, {}, l.tracos, l.pausa, l.tem_p, l.p};
        for (std::size_t i = 0; i < l.quantidade_comentarios; ++i) x.comentarios.emplace_back(l.comentarios[i]);
        r.push_back(x);
    }
    return r;
}

Lida uma(const std::string& linha) {
    const auto r = ler(linha + "\n");
    EXPECT_EQ(r.size(), 1u) << linha;
    return r.empty() ? Lida{} : r[0];
}

// Reads the lines and returns the last one.
Lida ultima(const std::string& texto) {
    const auto r = ler(texto);
    return r.empty() ? Lida{} : r.back();
}

TEST(VisualizarLeitorGcode, NumerosComoOsComandosEscrevem) {
    const auto r = ler("G1 X5 Y5. Z.5\ng1 x+5 y-0.000 z-.25\nG01X1.5Y-2Z3\n");
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].movimento.para.x, 5);
    EXPECT_EQ(r[0].movimento.para.y, 5);
    EXPECT_EQ(r[0].movimento.para.z, 0.5);
    EXPECT_EQ(r[1].movimento.para.x, 5);
    EXPECT_TRUE(std::signbit(r[1].movimento.para.y));
    EXPECT_EQ(r[1].movimento.para.z, -0.25);
    EXPECT_EQ(r[2].tipo, TipoLinha::movimento);
    EXPECT_EQ(r[2].movimento.para.y, -2);
    // Twenty digits: far past any machine, but a number, and no overflow on the way.
    EXPECT_EQ(uma("g01 x99999999999999999999.000 y0.000 z-0.000").movimento.para.x, 1e20);
}

TEST(VisualizarLeitorGcode, NumeroIgualAoDeFromChars) {
    // The integer shortcut must give the double std::from_chars gives.
    std::mt19937_64 gerador(12345);
    for (int i = 0; i < 200000; ++i) {
        const int digitos = 1 + static_cast<int>(gerador() % 20);
        std::string texto;
        for (int k = 0; k < digitos; ++k) texto += static_cast<char>('0' + gerador() % 10);
        const std::size_t ponto = gerador() % (texto.size() + 1);
        texto = texto.substr(0, ponto) + '.' + texto.substr(ponto);
        double esperado = 0, lido = -1;
        std::from_chars(texto.data(), texto.data() + texto.size(), esperado, std::chars_format::fixed);
        // What follows a number in a line: its end, and bytes that may be read.
        const std::string linha = texto + std::string(1 + folga_numero, '\n');
        ASSERT_EQ(ler_numero(linha.data(), lido), linha.data() + texto.size()) << texto;
        ASSERT_EQ(lido, esperado) << texto;
    }
}

TEST(VisualizarLeitorGcode, LinhaDaFormaDaAnteriorComoLidaInteira) {
    // Runs of chords of each spelling the writers use, their numbers drawn
    // at random (the same shape or not): each line as the full reader reads
    // it alone after the line before, the shape's path taken or not.
    std::mt19937_64 gerador(7);
    for (const char* modelo : {"g01 x%s y%s z%s", "G1 X%s Y%s Z%s", "N%d G01 X%s Y%s Z%s", "%d L X+%s Y%s Z%s"}) {
        std::string texto = std::string(modelo).find(" L ") != std::string::npos ? "0 BEGIN PGM P MM\n" : "G1\n";
        std::vector<std::string> linhas;
        for (int i = 0; i < 2000; ++i) {
            auto numero = [&] {
                char b[32];
                std::snprintf(b, sizeof b, "%s%.3f", gerador() % 3 == 0 ? "-" : "", (gerador() % 20000) / 1000.0);
                return std::string(b);
            };
            const std::string x = numero(), y = numero(), z = numero();
            char b[96];
            if (modelo[0] == '%')
                std::snprintf(b, sizeof b, modelo, i + 1, x.c_str() + (x[0] == '-'), y.c_str(), z.c_str());
            else if (modelo[0] == 'N')
                std::snprintf(b, sizeof b, modelo, i, x.c_str(), y.c_str(), z.c_str());
            else
                std::snprintf(b, sizeof b, modelo, x.c_str(), y.c_str(), z.c_str());
            linhas.push_back(b);
            texto += linhas.back() + "\n";
        }
        const auto r = ler(texto);
        ASSERT_EQ(r.size(), linhas.size() + 1) << modelo;
        for (std::size_t i = 0; i < linhas.size(); ++i) {
            const Lida& l = r[i + 1];
            ASSERT_EQ(l.tipo, TipoLinha::movimento) << linhas[i];
            EXPECT_EQ(l.movimento.tipo, TipoMovimento::linear) << linhas[i];
            const std::string& t = linhas[i];
            for (int k = 0; k < 3; ++k) {
                const std::size_t p = t.find("XYZxyz"[k + (modelo[0] == 'g' ? 3 : 0)]) + 1;
                double esperado = 0;
                ler_numero(t.data() + p, esperado);
                EXPECT_EQ((&l.movimento.para.x)[k], esperado) << t;
            }
        }
    }
    // A digit of a code is no number of the shape: G0 after G1 is a rapid.
    const auto r = ler("G1 X1.000 Y2.000 Z-0.001\nG1 X1.001 Y2.001 Z-0.002\nG0 X1.002 Y2.002 Z-0.003\n");
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[1].movimento.tipo, TipoMovimento::linear);
    EXPECT_EQ(r[2].movimento.tipo, TipoMovimento::rapido);
}

TEST(VisualizarLeitorGcode, PalavrasDosComandosEComentarios) {
    EXPECT_EQ(uma("G21 G90 G17 G94 G40 G80").tipo, TipoLinha::comando);
    EXPECT_EQ(uma("%").tipo, TipoLinha::vazia);
    EXPECT_EQ(uma("O1000").tipo, TipoLinha::vazia);
    EXPECT_EQ(uma("N10").tipo, TipoLinha::vazia);
    EXPECT_EQ(uma("M03").m, 3);
    EXPECT_EQ(uma("m05").m, 5);
    EXPECT_EQ(uma("T1 M06").m, 6);
    EXPECT_EQ(uma("M2").m, 2);
    EXPECT_EQ(uma("G43 H1").tipo, TipoLinha::comando);
    EXPECT_EQ(uma("G41 D1").tipo, TipoLinha::comando);
    EXPECT_EQ(uma("G4 P2.5").tipo, TipoLinha::comando);
    const Lida s = uma("N20 S1000 F200");
    EXPECT_TRUE(s.tem_s && s.tem_f);
    EXPECT_EQ(s.f, 200);

    const Lida c = uma("N30 G0 X1 (um) Y2 (dois)Z3 ; tres");
    EXPECT_EQ(c.tipo, TipoLinha::movimento);
    EXPECT_EQ(c.movimento.para.z, 3);
    EXPECT_EQ(c.comentarios, (std::vector<std::string>{"um", "dois", " tres"}));
    EXPECT_EQ(uma("(so um comentario)").tipo, TipoLinha::comentario);
    EXPECT_EQ(uma(";Df-Diametro final da rosca: 20.00 [mm]").comentarios.at(0),
              "Df-Diametro final da rosca: 20.00 [mm]");
}

// What each line shows of the dialect it was written in.
TEST(VisualizarLeitorGcode, TracosDoDialetoDeCadaLinha) {
    const std::uint16_t palavras = traco_palavras;
    // The case from any word: a block number added by hand in upper case
    // does not hide the lower-case words after it.
    EXPECT_EQ(uma("N10 g00 x0 y0").tracos, palavras | traco_minusculas | traco_numero_bloco);
    EXPECT_EQ(uma("N10 G00 X0 Y0").tracos, palavras | traco_numero_bloco);
    EXPECT_EQ(uma("g51 x1.00 y1.00").tracos, palavras | traco_minusculas | traco_escala);
    // Parentheses inside a ";" comment are its text, not a comment of their own.
    EXPECT_EQ(uma(";Percurso em arcos helicoidais (G2/G3)").tracos, traco_ponto_e_virgula);
    EXPECT_EQ(uma("G0 X1 (um) ; dois").tracos, palavras | traco_parenteses | traco_ponto_e_virgula);

    // The dwell: its spelling and its P as written, whatever the unit.
    const Lida fanuc = uma("G04 P3000");
    EXPECT_EQ(fanuc.tracos, palavras | traco_pausa_g04);
    EXPECT_TRUE(fanuc.pausa && fanuc.tem_p);
    EXPECT_EQ(fanuc.p, 3000);
    const Lida linuxcnc = uma("G4 P2.5");
    EXPECT_EQ(linuxcnc.tracos, palavras | traco_pausa_g4);
    EXPECT_EQ(linuxcnc.p, 2.5);
    const Lida sem_p = uma("G04");
    EXPECT_TRUE(sem_p.pausa);
    EXPECT_FALSE(sem_p.tem_p);

    // A line that does not read tells nothing, not even the words before the fault.
    const auto r = ler("G04 P3\ng04 p3 x1\n;um\n");
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[1].tipo, TipoLinha::ilegivel);
    EXPECT_EQ(r[1].tracos, 0);
    EXPECT_FALSE(r[1].pausa);
    EXPECT_EQ(r[2].tracos, traco_ponto_e_virgula);
    EXPECT_FALSE(r[2].pausa);
}

TEST(VisualizarLeitorGcode, PalavraDesconhecidaOuNumeroMalFeitoNaoSeLe) {
    for (const char* linha : {"G99", "G1.5 X1", "G-1 X1", "X1 X2", "G0 G1 X1", "M8", "Q5", "G1 X1.2.3", "G1 X-",
                              "G1 X.", "G1 P2", "G1 X1 (sem fim", "%lixo", "G1 X1 %", "G2 X1 Y1 I1", "G1 X1 I1 J1",
                              "G50 X1", "G4 X1 P1", "lixo", "G1 X1\rG1 X2", "\x80"})
        EXPECT_EQ(ultima(std::string("G0 X0 Y0 Z0\n") + linha + "\n").tipo, TipoLinha::ilegivel) << linha;
    // Coordinates before any motion code: nothing says how to move.
    EXPECT_EQ(uma("X1 Y1").tipo, TipoLinha::ilegivel);
}

TEST(VisualizarLeitorGcode, PosicaoEMovimentoModais) {
    // A coordinate left out keeps the position's, not the last value of
    // that letter on any line: scale factors are not coordinates.
    const Lida z = ultima("g00 z3\ng00 x5 y-1\ng51 x1.00 y1.00\ng01 z-0.011\n");
    EXPECT_EQ(z.tipo, TipoLinha::movimento);
    EXPECT_EQ(z.movimento.tipo, TipoMovimento::linear);
    EXPECT_EQ(z.movimento.de.x, 5);
    EXPECT_EQ(z.movimento.para.x, 5);
    EXPECT_EQ(z.movimento.para.y, -1);
    EXPECT_EQ(z.movimento.para.z, -0.011);
    EXPECT_TRUE(z.movimento.de_conhecido);
    // A dwell's P is no coordinate either, and the motion code stays in force.
    const Lida p = ultima("G0 X1 Y2 Z3\nG4 P5\nX7\n");
    EXPECT_EQ(p.movimento.tipo, TipoMovimento::rapido);
    EXPECT_EQ(p.movimento.para.x, 7);
    EXPECT_EQ(p.movimento.para.z, 3);
    // Until every axis was given, where the tool stands is not known.
    EXPECT_FALSE(ultima("G0 Z3\nX1 Y1\n").movimento.de_conhecido);
    // An unreadable line changes nothing.
    EXPECT_EQ(ultima("G0 X1 Y1 Z1\nG1 X9 lixo\nZ0\n").movimento.para.x, 1);
}

TEST(VisualizarLeitorGcode, ArcoComCentroESentido) {
    const Lida a = ultima("G0 X5 Y0 Z-1\nG2 X0 Y-5 I-5 J0\n");
    EXPECT_EQ(a.movimento.tipo, TipoMovimento::arco);
    EXPECT_TRUE(a.movimento.corte());
    EXPECT_TRUE(a.movimento.horario);
    EXPECT_EQ(a.movimento.centro_x, 0);
    EXPECT_EQ(a.movimento.centro_y, 0);
    EXPECT_EQ(a.movimento.para.y, -5);
    const Lida b = ultima("G0 X5 Y0 Z-1\nG3 X0 Y5 I-5 J0\nX-5 Y0 I0 J-5\n");
    EXPECT_FALSE(b.movimento.horario);
    EXPECT_EQ(b.movimento.centro_y, 0);
    EXPECT_EQ(b.movimento.para.x, -5);
}

}  // namespace

namespace {

// The G codes are those of the table the writer spells its dialects with:
// each reads, in either spelling the controls use; inches and incremental
// coordinates, which the files never use and the viewer does not convert,
// make the line unreadable.
TEST(VisualizarLeitorGcode, CodigosGDaTabelaDoVocabulario) {
    for (const vocabulario::CodigoG& c : vocabulario::codigos_g) {
        // Sinumerik's G710 belongs to the Sinumerik reader, not to a line of G-code.
        const bool lidos = c.funcao != vocabulario::Funcao::polegadas && c.funcao != vocabulario::Funcao::incrementais &&
                           c.numero < 100;
        // Alone on a line, with the words a line of that code needs.
        std::string palavras = c.funcao == vocabulario::Funcao::pausa                 ? " P3"
                               : c.funcao == vocabulario::Funcao::arco_horario ||
                                         c.funcao == vocabulario::Funcao::arco_anti_horario ? " X1 Y0 I0.5 J0"
                               : c.funcao == vocabulario::Funcao::rapido || c.funcao == vocabulario::Funcao::corte
                                   ? " X1"
                                   : "";
        for (const char* prefixo : {"G", c.numero < 10 ? "G0" : "G"}) {
            std::string linha = "G0 X0 Y0 Z0\n";
            linha.append(prefixo).append(std::to_string(c.numero)).append(palavras).append("\n");
            EXPECT_EQ(ultima(linha).tipo != TipoLinha::ilegivel, lidos) << linha;
        }
    }
}

// Each move knows the line that put the tool where it starts: a start
// point off its place is named there.
TEST(VisualizarLeitorGcode, LinhaDoMovimentoQueLevouAFerramenta) {
    const std::string texto = "G0 Z3\nG0 X5 Y0\n(comentario)\nM3 S1000\nG1 Z0\nG1 X4 Y1 Z-1\n";
    FonteMemoria fonte(texto);
    LeitorGcode leitor(fonte, 3);
    std::vector<std::uint64_t> de;
    for (Linha l; leitor.proxima(l);)
        if (l.tipo == TipoLinha::movimento) de.push_back(l.movimento.linha_de);
    EXPECT_EQ(de, (std::vector<std::uint64_t>{0, 1, 2, 5}));
}

}  // namespace
