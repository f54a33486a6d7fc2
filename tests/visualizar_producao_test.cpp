// The viewer on production files: several holes, the size the operator
// adjusts at the control, compensation of the wear only. The files the
// generator writes pass every check in every dialect, run as the control
// would with the values at their top, edited or not; each hole is compared
// with the first at its centre; a hole moved or missing, a call removed, a
// shift left on and a program that would not end fail at their line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"
#include "visualizar/execucao.hpp"
#include "visualizar/expressao.hpp"

namespace {

const char* const interna = "I\n20\n17.5\n0.5\n0.1\n14\n10\n2.5\nD\n0\n1000\n200\n";
const char* const furos = "40 0\n0 40\n-40 -20\n";

std::string gerar(const std::string& comando, const std::string& opcoes) {
    const Execucao r = executar_com_argumentos(
        (comando.empty() ? "" : "--comando " + comando) + " --furos f.txt " + opcoes + " --saida p.x", interna,
        [](const std::string& dir) { gravar_arquivo(dir + "/f.txt", furos); });
    EXPECT_EQ(r.status, 0) << comando << " " << opcoes << r.erros;
    const auto f = r.outros_conteudos.find("p.x");
    return f == r.outros_conteudos.end() ? std::string() : f->second;
}

// `arquivo` with the first `de` replaced by `para`; the line it is on in `linha`.
std::string trocar(const std::string& arquivo, const std::string& de, const std::string& para,
                   std::size_t* linha = nullptr) {
    const std::size_t i = arquivo.find(de);
    EXPECT_NE(i, std::string::npos) << de;
    if (i == std::string::npos) return arquivo;
    if (linha != nullptr) {
        *linha = 1;
        for (std::size_t k = 0; k < i; ++k) *linha += arquivo[k] == '\n';
    }
    return arquivo.substr(0, i) + para + arquivo.substr(i + de.size());
}

const Verificacoes::Numero arquivo = Verificacoes::arquivo_completo;

}  // namespace

TEST(VisualizarProducao, CadaDialetoPassaComFurosAjusteEDesgaste) {
    struct {
        const char* comando;
        bool variaveis;
    } dialetos[] = {{"linuxcnc", true}, {"fanuc", true},  {"heidenhain", true},
                    {"siemens", true},  {"grbl", false}, {"", false}};
    for (const auto& d : dialetos)
        for (const char* opcoes : {"--arcos", "--ajuste-na-maquina --arcos", "--compensacao desgaste",
                                   "--ajuste-na-maquina --compensacao desgaste --concordante"}) {
            const std::string o = opcoes;
            if (!d.variaveis && o.find("ajuste") != std::string::npos) continue;
            if (std::string(d.comando) == "grbl" && o.find("compensacao") != std::string::npos) continue;
            const auto a = analisar_bytes(gerar(d.comando, o), 7);
            EXPECT_EQ(falhas_por_linha(*a), "") << d.comando << " " << o;
            ASSERT_EQ(a->furos.size(), 3u) << d.comando << " " << o;
            for (const FuroVisto& f : a->furos) {
                EXPECT_NE(f.linha_inicio, 0u) << d.comando << " " << o;
                EXPECT_TRUE(f.confere) << d.comando << " " << o;
            }
            EXPECT_DOUBLE_EQ(a->furos[2].x, -40);
            EXPECT_DOUBLE_EQ(a->furos[2].y, -20);
        }
    // Without holes, only the wear in the register: the cutter centre's path.
    for (const char* comando : {"linuxcnc", "fanuc", "heidenhain", "siemens"}) {
        const Execucao r = executar_com_argumentos(std::string("--comando ") + comando +
                                                       " --compensacao desgaste --saida p.x",
                                                   interna);
        EXPECT_EQ(falhas_por_linha(*analisar_bytes(r.outros_conteudos.at("p.x"))), "") << comando;
    }
}

TEST(VisualizarProducao, OArquivoConfereComoRodaComOsValoresEditados) {
    struct {
        const char *comando, *diametro, *novo, *desbastes, *sem_desbastes;
    } casos[] = {
        {"linuxcnc", "#<_diametro_final> = 20.000", "#<_diametro_final> = 20.060", "#<_desbastes> = 1",
         "#<_desbastes> = 0"},
        {"fanuc", "#100 = 20.000", "#100 = 20.060", "#101 = 1", "#101 = 0"},
        {"heidenhain", "Q1600 = +20.000", "Q1600 = +20.060", "Q1601 = +1", "Q1601 = +0"},
        {"siemens", "R90=20.000", "R90=20.060", "R91=1", "R91=0"},
    };
    for (const auto& c : casos) {
        const std::string original = gerar(c.comando, "--ajuste-na-maquina --arcos");
        const std::string maior = trocar(original, c.diametro, c.novo);
        const std::string so_acabamento = trocar(maior, c.desbastes, c.sem_desbastes);
        const auto a = analisar_bytes(maior);
        EXPECT_EQ(falhas_por_linha(*a), "") << c.comando;
        // The finishing pass at the new diameter, the roughing ones as they were.
        EXPECT_EQ(a->modelo.passes, 4u) << c.comando;
        ASSERT_NE(a->modelo.ultimo_passe(), nullptr);
        EXPECT_NEAR(a->modelo.ultimo_passe()->raio(), (20.06 - 14) / 2, 0.002) << c.comando;
        // Heidenhain's finishing pass writes its own CC: the jump passes over the roughing's.
        const auto b = analisar_bytes(so_acabamento);
        EXPECT_EQ(falhas_por_linha(*b), "") << c.comando;
        EXPECT_EQ(b->modelo.passes, 1u) << c.comando;
        // Beyond the window the finishing pass would cut far from its plan: named at the variable.
        std::size_t linha = 0;
        std::string novo = c.novo;
        novo.replace(novo.find("20.060"), 6, "30.000");
        const auto longe = analisar_bytes(trocar(original, c.diametro, novo, &linha));
        EXPECT_NE(falhas_por_linha(*longe).find("3: linha " + std::to_string(linha) + ": diametro final 30.000"),
                  std::string::npos)
            << c.comando << "\n"
            << falhas_por_linha(*longe);
    }
    // An answered diameter of three decimals (the summary has two), edited,
    // or with the roughing skipped alone.
    const std::string l = arquivo_gerado("--ajuste-na-maquina --comando linuxcnc --arcos",
                                         "I\n20.112\n17.5\n0.5\n0.1\n14\n20\n2.5\nD\n0\n2728\n163.7\n");
    EXPECT_EQ(falhas_por_linha(*analisar_bytes(trocar(l, "= 20.112", "= 20.152"))), "");
    EXPECT_EQ(falhas_por_linha(*analisar_bytes(trocar(l, "#<_desbastes> = 1", "#<_desbastes> = 0"))), "");
    // The last roughing pass 0.004 from Df, its comment printing it as Df:
    // it keeps its own diameter, in each of its turns, when the finishing pass's changes.
    const std::string perto = arquivo_gerado("--ajuste-na-maquina --comando linuxcnc",
                                             "E\n45.7\n45.9\n0.04\n0.002\n9.5\n1.76\n0.9\nD\n0\n1000\n200\n");
    EXPECT_EQ(falhas_por_linha(*analisar_bytes(trocar(perto, "= 45.700", "= 45.750"))), "");
    // A Df of four decimals whose finishing pass prints a unit off it in the list.
    const std::string quatro = arquivo_gerado("--ajuste-na-maquina --comando heidenhain",
                                              "E\n26.7125\n27.9231\n0.2685\n0\n9.4909\n0.7\n0.7\nD\n0\n1000\n200\n");
    for (const char* novo : {"Q1600 = +26.762", "Q1600 = +26.662"})
        EXPECT_EQ(falhas_por_linha(*analisar_bytes(trocar(quatro, "Q1600 = +26.712", novo))), "") << novo;
    // Df at the window's edge: the way out of a small bore nearer its wall by half of it.
    const std::string furo = arquivo_gerado("--ajuste-na-maquina --compensacao desgaste --comando fanuc",
                                            "I\n4.7\n4.12\n0.19\n0\n1.94\n1.25\n1.25\nD\n0\n1000\n200\n");
    EXPECT_EQ(falhas_por_linha(*analisar_bytes(trocar(furo, "#100 = 4.700", "#100 = 4.750"))), "");
    // Df moved onto a roughing pass's diameter: that pass keeps its feed at the edge.
    const std::string sobre = arquivo_gerado("--ajuste-na-maquina --avanco-na-aresta --comando siemens",
                                             "E\n17.82\n18.18\n0.08\n0.027\n13.22\n2.7\n2.7\nD\n0\n1000\n200\n");
    EXPECT_EQ(falhas_por_linha(*analisar_bytes(trocar(sobre, "R90=17.820", "R90=17.870"))), "");
}

TEST(VisualizarProducao, UmFuroMovidoFaltandoOuSemChamadaFalhaNaSuaLinha) {
    const std::string linuxcnc = gerar("linuxcnc", "--ajuste-na-maquina --arcos");
    std::size_t linha = 0;
    // The call's centre moved: the hole's first cut off the first's.
    auto a = analisar_bytes(trocar(linuxcnc, "call [0.000] [40.000]", "call [0.500] [40.000]", &linha));
    EXPECT_EQ(a->verificacoes[arquivo].estado, Estado::falha);
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("furo 2 (X0.000 Y40.000): o corte nao repete"), std::string::npos)
        << a->verificacoes[arquivo].detalhe;
    EXPECT_FALSE(a->furos[1].confere);
    EXPECT_TRUE(a->furos[2].confere);
    // The call removed: the hole has no cut, named at the rapid that reaches it.
    a = analisar_bytes(trocar(linuxcnc, "o<rosca> call [0.000] [40.000]", "", &linha));
    EXPECT_EQ(a->verificacoes[arquivo].linha, linha - 1);
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("furo 2 (X0.000 Y40.000): 0 movimentos de corte"),
              std::string::npos)
        << a->verificacoes[arquivo].detalhe;
    // A hole more than the header lists, cut again at the last centre.
    a = analisar_bytes(trocar(linuxcnc, "o<rosca> call [-40.000] [-20.000]\r\n",
                              "o<rosca> call [-40.000] [-20.000]\r\no<rosca> call [-40.000] [-20.000]\r\n"));
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("furo 3 (X-40.000 Y-20.000): mais movimentos de corte"),
              std::string::npos)
        << a->verificacoes[arquivo].detalhe;
    // The last hole never reached.
    const std::string grbl = gerar("grbl", "--arcos");
    const std::size_t fim = grbl.find("G0 X-37.867 Y-20.000");
    ASSERT_NE(fim, std::string::npos);
    a = analisar_bytes(grbl.substr(0, fim) + grbl.substr(grbl.find("\n(X MAX")));
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("furo 3 (X-40.000 Y-20.000) sem percurso"), std::string::npos)
        << a->verificacoes[arquivo].detalhe;
    // Two centres closer than the thread and the mill: the holes cut into each other.
    a = analisar_bytes(trocar(grbl, "(Furo 2: X0.000 Y40.000)", "(Furo 2: X30.000 Y0.000)", &linha));
    EXPECT_EQ(a->verificacoes[arquivo].linha, linha) << falhas_por_linha(*a);
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("furos 1 e 2 (linhas"), std::string::npos)
        << a->verificacoes[arquivo].detalhe;
    // A plain file's hole moved by a hand edit.
    a = analisar_bytes(trocar(grbl, "G0 X2.133 Y40.000", "G0 X2.233 Y40.000", &linha));
    EXPECT_EQ(a->verificacoes[arquivo].linha, linha + 4) << falhas_por_linha(*a);
}

TEST(VisualizarProducao, DeslocamentoNaoCanceladoELacosFalhamNaSuaLinha) {
    std::size_t linha = 0;
    const std::string fanuc = gerar("fanuc", "--arcos");
    auto a = analisar_bytes(trocar(fanuc, "G52 X0. Y0.\r\n", "", &linha));
    EXPECT_EQ(a->verificacoes[arquivo].linha, linha - 3);
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("ainda ativo no fim do programa"), std::string::npos);
    const std::string siemens = gerar("siemens", "--arcos");
    a = analisar_bytes(trocar(siemens, "\nTRANS\r\n", "\n", &linha));
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("ainda ativo no fim do programa"), std::string::npos);
    // M99 in the main program would start it again, without end.
    a = analisar_bytes(trocar(fanuc, "M30\r\n", "M99\r\n", &linha));
    EXPECT_EQ(a->verificacoes[arquivo].linha, linha);
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("M99 no programa principal"), std::string::npos);

    // Every run bounded: a jump back, a call of itself, REPEAT within REPEAT.
    struct {
        const char* programa;
        std::uint64_t linha;
        const char* motivo;
    } casos[] = {
        {"G0 X0\nN10 G1 X1\nGOTO 10\nM30\n", 3, "blocos executados"},
        {"o<a> sub\no<a> call\no<a> endsub\no<a> call\nM30\n", 2, "chamadas aninhadas demais"},
        {"A:\nREPEAT A B\nB:\nM30\n", 2, "chamadas aninhadas demais"},
        {"#1 = [1 / 0]\nM30\n", 1, "divisao por zero"},
        {"G0 X#7\nM30\n", 1, "variavel #7 sem valor"},
        {"M98 P5\nM30\n", 1, "O5 nao esta no arquivo"},
        {"o1 while [1]\nM30\n", 1, "nao executa"},
    };
    for (const auto& c : casos) {
        ExecucaoPrograma e(c.programa, 1, {}, 0, 1000);
        BlocoExecutado b;
        while (e.proximo(b)) {
        }
        EXPECT_EQ(e.linha_erro(), c.linha) << c.programa;
        EXPECT_NE(e.erro().find(c.motivo), std::string::npos) << c.programa << ": " << e.erro();
    }
    // Nested deeper than any program nests: a message, not a stack overflow.
    ExecucaoPrograma e("#1 = " + std::string(101, '[') + "1" + std::string(101, ']') + "\nM30\n", 1);
    BlocoExecutado b;
    while (e.proximo(b)) {
    }
    EXPECT_EQ(e.linha_erro(), 1u);
    EXPECT_NE(e.erro().find("mais de 100 colchetes"), std::string::npos) << e.erro();
}

TEST(VisualizarProducao, DestinoQueFaltaOuRepetidoFalhaMesmoSemOSalto) {
    // A branch the run does not take still must have its target: the control
    // finds out when an operator changes a variable.
    struct {
        const char* programa;
        std::uint64_t linha;
        const char* motivo;
    } casos[] = {
        {"#101 = 1\nIF [#101 EQ 0] GOTO 9001\nG0 X1\nN9000\nM30\n", 2, "N 9001, que nao esta no arquivo"},
        {"#101 = 1\nIF [#101 EQ 0] GOTO 9000\nN9000 G0 X1\nN9000\nM30\n", 2, "em mais de uma linha"},
        {"0 BEGIN PGM P MM\n1 FN 0: Q1 = +1\n2 FN 9: IF +Q1 EQU +0 GOTO LBL 2\n3 LBL 1\n4 LBL 1\n5 LBL 2\n"
         "6 L Z+5 R0 FMAX M30\n7 END PGM P MM\n",
         5, "LBL 1 definido mais de uma vez (primeiro na linha 4)"},
        {"R1=1\nIF R1==0 GOTOF FIM\nG0 X1\nM30\n", 2, "ROTULO FIM, que nao esta no arquivo"},
    };
    for (const auto& c : casos) {
        ExecucaoPrograma e(c.programa, 1);
        BlocoExecutado b;
        while (e.proximo(b)) {
        }
        EXPECT_EQ(e.erro(), "") << c.programa;
        ASSERT_EQ(e.problemas().size(), 1u) << c.programa;
        EXPECT_EQ(e.problemas()[0].first, c.linha) << c.programa;
        EXPECT_NE(e.problemas()[0].second.find(c.motivo), std::string::npos) << e.problemas()[0].second;
    }
}

TEST(VisualizarProducao, SoOArquivoComVariaveisChamadasOuDeslocamentosEExecutado) {
    // A plain file streams, whatever its comments say: it may be far larger than one to run.
    EXPECT_FALSE(precisa_executar("(TRANSMITIR; GOTO 10)\nG0 X1 ;REPEAT\nG2 X1 Y0 I-1 J0 TURN=3\nN10 G1 X2\n"));
    EXPECT_FALSE(precisa_executar("12 L X+1 Y+0 R0 FMAX ;CALL LBL 1\n"));
    for (const char* bloco : {"#100 = 2\n", "o<rosca> sub\n", "o100 if [1]\n", "G52 X1 Y0\n", "M98 P2\n",
                              "R90=20\n", "ROSCA:\n", "TRANS X1\n", "12 FN 0: Q1600 = +20\n",
                              "13 Q1610 = 1 + Q1600\n", "14 CYCL DEF 7.0 DATUM SHIFT\n", "IF [#1 EQ 0] GOTO 9\n"})
        EXPECT_TRUE(precisa_executar(std::string("G0 X0\n") + bloco)) << bloco;
}

TEST(VisualizarProducao, DezMilFurosPassam) {
    // Their header alone is longer than the first bytes the viewer looks at
    // to decide whether the file is a program to run.
    std::string lista;
    for (int i = 0; i < 10000; ++i) lista += std::to_string(i % 100 * 40) + " " + std::to_string(i / 100 * 40) + "\n";
    for (const char* comando : {"linuxcnc", "fanuc"}) {
        const Execucao r = executar_com_argumentos(std::string("--comando ") + comando +
                                                       " --arcos --furos f.txt --saida p.x",
                                                   interna,
                                                   [&](const std::string& dir) { gravar_arquivo(dir + "/f.txt", lista); });
        ASSERT_EQ(r.status, 0) << r.erros;
        const auto a = analisar_bytes(r.outros_conteudos.at("p.x"));
        EXPECT_EQ(falhas_por_linha(*a), "") << comando;
        ASSERT_EQ(a->furos.size(), 10000u);
        EXPECT_NE(a->furos.back().linha_inicio, 0u);
    }
}

namespace {

// The blocks a program hands on: "line:text@dx,dy", one a line.
std::string blocos(const std::string& programa) {
    ExecucaoPrograma e(programa, 1, {}, 0, 100000);
    BlocoExecutado b;
    std::string r;
    char deslocamento[64];
    while (e.proximo(b)) {
        std::snprintf(deslocamento, sizeof deslocamento, "@%g,%g", b.dx, b.dy);
        r += std::to_string(b.linha.numero) + ":" + std::string(b.linha.texto) +
             (b.dx != 0 || b.dy != 0 ? deslocamento : "") + "\n";
    }
    EXPECT_EQ(e.erro(), "") << programa;
    return r;
}

}  // namespace

TEST(VisualizarProducao, FuroQueRepeteUmAnteriorNaoRodaDeNovoEAindaFalhaNaSuaLinha) {
    // A thousand holes in one-degree chords: 45 million blocks if each call
    // ran again. Each later call repeats the first with the same values, at
    // its own centre.
    std::string lista;
    for (int i = 0; i < 1000; ++i) lista += std::to_string(i % 40 * 40) + " " + std::to_string(i / 40 * 40) + "\n";
    for (const char* comando : {"linuxcnc", "fanuc", "heidenhain", "siemens"}) {
        const Execucao r = executar_com_argumentos(std::string("--comando ") + comando +
                                                       " --ajuste-na-maquina --furos f.txt --saida p.x",
                                                   "I\n20\n0\n10\n50\n1\nD\n0\n1000\n200\n",
                                                   [&](const std::string& dir) { gravar_arquivo(dir + "/f.txt", lista); });
        ASSERT_EQ(r.status, 0) << r.erros;
        const std::string& p = r.outros_conteudos.at("p.x");
        const auto a = analisar_bytes(p);
        EXPECT_EQ(falhas_por_linha(*a), "") << comando;
        ASSERT_EQ(a->furos.size(), 1000u);
        EXPECT_TRUE(a->furos.back().confere) << comando;
    }
    // A repeated call's shift off its hole's centre, and a call whose values
    // differ (run again, and compared move by move), fail at their lines.
    const std::string fanuc = gerar("fanuc", "--ajuste-na-maquina");
    std::size_t linha = 0;
    auto a = analisar_bytes(trocar(fanuc, "G52 X-40.000 Y-20.000", "G52 X-10.000 Y-20.020", &linha));
    EXPECT_EQ(a->verificacoes[arquivo].linha, linha + 2) << falhas_por_linha(*a);
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("furo 3 (X-40.000 Y-20.000): o corte nao repete"), std::string::npos)
        << a->verificacoes[arquivo].detalhe;
    a = analisar_bytes(trocar(fanuc, "G52 X-40.000 Y-20.000", "#100 = 20.050\r\nG52 X-40.000 Y-20.000"));
    EXPECT_NE(a->verificacoes[arquivo].detalhe.find("furo 3 (X-40.000 Y-20.000): o corte nao repete o do furo 1 (linha"),
              std::string::npos)
        << a->verificacoes[arquivo].detalhe;
}

TEST(VisualizarProducao, CentroAlemDasCasasDoArquivoEODiametroDasSuasCasas) {
    // A centre to four decimals is taken to the file's three: the header's
    // centre is the one the path turns about.
    for (const char* comando : {"", "grbl", "linuxcnc"}) {
        const Execucao r = executar_com_argumentos(
            std::string(*comando ? "--comando " : "") + comando + " --furos f.txt --saida p.x",
            "I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n",
            [](const std::string& dir) { gravar_arquivo(dir + "/f.txt", "0.0004 0\n30.0006 -0.0004\n"); });
        ASSERT_EQ(r.status, 0) << r.erros;
        EXPECT_EQ(falhas_por_linha(*analisar_bytes(r.outros_conteudos.at("p.x"))), "") << comando;
    }
    // A final diameter of three decimals, which the summary rounds to two,
    // on a single external pass with tangent ways.
    const std::string e = arquivo_gerado("--comando linuxcnc --entrada-tangencial",
                                         "E\n16.806\n0\n14\n20\n2.5\nD\n0\n2728\n163.7\n");
    EXPECT_EQ(falhas_por_linha(*analisar_bytes(e)), "");
}

TEST(VisualizarProducao, ExpressoesComoOComandoAsAvalia) {
    const Variaveis v{{"#1", 2}, {"#<_D>", 8}, {"Q1600", 20}, {"R90", -1.5}};
    struct {
        const char* texto;
        double valor;
    } casos[] = {{"1+2*3", 7},           {"[1+2]*3", 9},      {"-#1*-#1", 4},         {"#<_d>/4-#1", 0},
                 {"7-0.5*Q1600", -3},    {"R90+.5", -1},      {"#1 EQ 2", 1},         {"[#1 GT 2]", 0},
                 {"R90==-1.5", 1},       {"R90<>-1.5", 0},    {"Q1600 >= 20", 1},     {"5. / 2", 2.5}};
    for (const auto& c : casos) {
        double r = 0;
        std::string erro;
        EXPECT_TRUE(avaliar(c.texto, v, r, erro)) << c.texto << ": " << erro;
        EXPECT_DOUBLE_EQ(r, c.valor) << c.texto;
    }
    for (const char* errado : {"SQRT[4]", "1+", "[1", "#9", "1/0", "2 3", "1..2"}) {
        double r = 0;
        std::string erro;
        EXPECT_FALSE(avaliar(errado, v, r, erro)) << errado;
        EXPECT_FALSE(erro.empty()) << errado;
    }
}

TEST(VisualizarProducao, ChamadasSaltosEDeslocamentosRodamComoNoComando) {
    // LinuxCNC: a call's arguments, the caller's back after it; an if's branches.
    EXPECT_EQ(blocos("#1 = 5\no<f> sub\nG0 X#1\no1 if [#1 GT 1]\nG1 Y1\no1 else\nG1 Y2\no1 endif\no<f> endsub\n"
                     "o<f> call [3]\no<f> call [0]\nG0 X#1\nM30\n"),
              "3:G0 X3.000000\n5:G1 Y1\n3:G0 X0.000000\n7:G1 Y2\n12:G0 X5.000000\n13:M30\n");
    // Fanuc: GOTO forward in a program called twice under a shift, cancelled.
    EXPECT_EQ(blocos("G52 X1 Y2\nM98 P7\nG52 X0 Y0\nM30\nO0007\nIF [1 EQ 1] GOTO 5\nG0 X9\nN5 G1 X[2*2]\nM99\n"),
              "8:N5 G1 X4.000000@1,2\n4:M30\n");
    // Sinumerik: REPEAT runs from its label to its end label and comes back; GOTOB jumps back.
    EXPECT_EQ(blocos("R1=0\nTRANS X3\nA:\nG1 X=R1+1\nB:\nTRANS\nR1=R1+1\nIF R1<2 GOTOB B\nREPEAT A B\nM30\n"),
              "4:G1 X1.000000@3,0\n4:G1 X3.000000\n10:M30\n");
    // Plain language: FN 11 jumps when greater; a label called and left at LBL 0; the datum shift.
    EXPECT_EQ(blocos("0 BEGIN PGM P MM\n1 FN 0: Q1 = +2\n2 CYCL DEF 7.0 DATUM SHIFT\n3 CYCL DEF 7.1 X+4\n"
                     "4 CALL LBL 1\n5 CYCL DEF 7.1 X+0\n6 L Z+5 R0 FMAX M30\n7 LBL 1\n8 FN 11: IF +Q1 GT +1 GOTO LBL 2\n"
                     "9 L X+9 R0 FMAX\n10 LBL 2\n11 L X-Q1 R0 FMAX\n12 LBL 0\n13 END PGM P MM\n"),
              "1:0 BEGIN PGM P MM\n12:11 L X-2.000000 R0 FMAX@4,0\n7:6 L Z+5 R0 FMAX M30\n14:13 END PGM P MM\n");
}
