// Heidenhain's plain language and Siemens's Sinumerik: each file read by a
// small interpreter of its blocks (apoio/controles.hpp) describes the moves
// LinuxCNC's own interpreter finds in the LinuxCNC file of the same job, in
// every way of cutting; the Siemens file, in LinuxCNC's words, runs through
// rs274 with the same canonical moves; the frame of each file, its program's
// name, and the whole turns of a helix in one block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/controles.hpp"
#include "apoio/dialetos.hpp"
#include "apoio/execucao.hpp"
#include "emissao/linearizacao.hpp"
#include "emissao/nome_programa.hpp"
#include "emissao/saida_arquivo.hpp"
#include "vocabulario/dialeto.hpp"

namespace {

struct Trabalho {
    const char* nome;
    const char* respostas;
    bool so_arcos = false;  // long in chords: only the cases in arcs
};
// The jobs of the other dialects' tests; a helix of whole turns; one of 16
// turns, more than one of Heidenhain's CP blocks takes.
const Trabalho trabalhos[] = {
    {"interna direita", "I\n20\n17\n0.5\n0.1\n10\n4\n1.5\nD\n0\n1000\n200\n"},
    {"interna esquerda", "I\n16\n14\n0.3\n0.1\n12\n6\n2\nE\n33\n4000\n200\n"},
    {"externa direita", "E\n20\n24\n0.5\n0.2\n10\n4\n1.5\nD\n90\n1000\n200\n"},
    {"externa esquerda", "E\n12\n14\n0.4\n0\n8\n3\n1\nE\n270.5\n1500\n300\n"},
    {"interna curta", "I\n20\n17\n0.5\n0.1\n10\n2\n1\nD\n0\n1000\n200\n"},
    {"externa 30.5", "E\n20\n24\n0.5\n0.2\n10\n2\n1\nD\n30.5\n1000\n200\n"},
    {"esquerda rapida", "I\n16\n14\n0.3\n0\n10\n3\n2\nE\n90\n4000\n150\n"},
    {"voltas inteiras", "I\n20\n17.5\n0.5\n0.1\n14\n5\n2.5\nD\n0\n1000\n200\n"},
    {"16 voltas", "I\n16\n14\n0.3\n0.1\n10\n32\n2\nD\n10\n1000\n200\n", true},
};

struct Caso {
    const char* opcoes;
    bool arcos;
};
const Caso casos[] = {
    {"", false},
    {"--arcos", true},
    {"--concordante", false},
    {"--discordante", false},
    {"--entrada-tangencial", false},
    {"--compensacao", true},
    {"--repetir-acabamento 2 --avanco-na-aresta", false},
    {"--arcos --concordante --entrada-tangencial --compensacao", true},
    {"--discordante --entrada-tangencial --repetir-acabamento 1 --avanco-na-aresta", false},
    {"--compensacao --discordante --ferramenta 7", true},
    {"--arcos --entrada-tangencial --discordante --ferramenta 7", true},
    {"--conica", false},
    {"--conica --concordante --entrada-tangencial", false},
    {"--conicidade 1:5 --discordante --avanco-na-aresta", false},
};

// Zero diameters: rs274 then gives the path as programmed, and says where
// the compensation comes on and goes off.
constexpr const char* tabela = "T1 P1 D0 Z0\nT7 P7 D0 Z0\n";

std::string gerar(const std::string& comando, const std::string& opcoes, const char* respostas,
                  std::string* console = nullptr) {
    const Execucao r = executar_com_argumentos("--comando " + comando + " " + opcoes + " --saida p.txt", respostas);
    EXPECT_EQ(r.status, 0) << comando << " " << opcoes << "\n" << r.erros;
    if (console) *console = r.console;
    const auto f = r.outros_conteudos.find("p.txt");
    return f == r.outros_conteudos.end() ? std::string() : f->second;
}

bool com_ferramenta(const char* opcoes) { return std::string(opcoes).find("--ferramenta 7") != std::string::npos; }

// What the program does besides moving, as LinuxCNC's file does it.
void mesmos_eventos(const ProgramaLido& esperado, const ProgramaLido& lido, const std::vector<int>& ferramentas) {
    EXPECT_EQ(lido.ferramentas, ferramentas);
    EXPECT_EQ(lido.rotacao, esperado.rotacao);
    EXPECT_EQ(lido.ligacoes, 1);
    EXPECT_EQ(lido.pausas, esperado.pausas);
    EXPECT_TRUE(lido.ligado_antes_do_corte);
    EXPECT_TRUE(lido.pausa_antes_do_corte);
    EXPECT_TRUE(lido.desligado_depois);
    EXPECT_TRUE(lido.fim);
}

// Each file against rs274's reading of the LinuxCNC file of the same job:
// the Heidenhain and the Siemens file as the small readers take them, and
// the Siemens file in LinuxCNC's words as rs274 itself takes it.
TEST(ControlesPontaAPonta, HeidenhainESiemensFazemOsMovimentosDoLinuxcnc) {
    if (!rs274_disponivel()) GTEST_SKIP() << "rs274 (linuxcnc-uspace) is not installed";
    int arcos_conferidos = 0, voltas = 0;
    for (const Trabalho& t : trabalhos)
        for (const Caso& c : casos) {
            if (t.so_arcos && !c.arcos) continue;
            SCOPED_TRACE(std::string(t.nome) + " " + c.opcoes);
            std::string saida;
            ASSERT_TRUE(rodar_rs274(gerar("linuxcnc", c.opcoes, t.respostas), tabela, saida))
                << saida.substr(saida.size() > 600 ? saida.size() - 600 : 0);
            const ProgramaLido linuxcnc = ler_rs274(saida);
            ASSERT_EQ(linuxcnc.erro, "");
            ASSERT_EQ(linuxcnc.pausas, std::vector<double>{3});
            const auto esperados = juntar_arcos(linuxcnc.movimentos);
            ASSERT_GT(esperados.size(), 5u);
            arcos_conferidos += static_cast<int>(std::count_if(esperados.begin(), esperados.end(), [](const auto& m) {
                return m.tipo == MovimentoCanonico::Tipo::arco;
            }));

            const ProgramaLido heidenhain = ler_heidenhain(gerar("heidenhain", c.opcoes, t.respostas));
            EXPECT_EQ(heidenhain.erro, "");
            // CP ends where the control turns the start by IPA: within rounding of the ends as written.
            EXPECT_EQ(diferenca_movimentos(esperados, juntar_arcos(heidenhain.movimentos), 0.002), "");
            mesmos_eventos(linuxcnc, heidenhain, {com_ferramenta(c.opcoes) ? 7 : 1});

            const std::string arquivo_siemens = gerar("siemens", c.opcoes, t.respostas);
            const ProgramaLido siemens = ler_siemens(arquivo_siemens);
            EXPECT_EQ(siemens.erro, "");
            EXPECT_EQ(diferenca_movimentos(esperados, juntar_arcos(siemens.movimentos), 1e-6), "");
            mesmos_eventos(linuxcnc, siemens, linuxcnc.ferramentas);

            for (std::size_t i = 0; (i = arquivo_siemens.find("TURN=", i)) != std::string::npos; ++i) ++voltas;
            std::string saida_siemens;
            ASSERT_TRUE(rodar_rs274(siemens_para_linuxcnc(arquivo_siemens), tabela, saida_siemens))
                << saida_siemens.substr(saida_siemens.size() > 600 ? saida_siemens.size() - 600 : 0);
            const ProgramaLido convertido = ler_rs274(saida_siemens);
            // rs274 prints four decimals: the same numbers from both files.
            EXPECT_EQ(diferenca_movimentos(esperados, juntar_arcos(convertido.movimentos), 1e-9), "");
            mesmos_eventos(linuxcnc, convertido, linuxcnc.ferramentas);
        }
    EXPECT_GT(arcos_conferidos, 300);
    // The helices in one block each did reach rs274 with their turns.
    EXPECT_GT(voltas, 100);
}

// The lines of a file, without their CR LF.
std::vector<std::string> linhas(const std::string& arquivo) {
    std::vector<std::string> r;
    std::istringstream texto(arquivo);
    for (std::string l; std::getline(texto, l);) {
        EXPECT_TRUE(!l.empty() && l.back() == '\r') << l;
        if (!l.empty() && l.back() == '\r') l.pop_back();
        r.push_back(l);
    }
    return r;
}

// The lines of a Heidenhain file without their block numbers, which run from 0.
std::vector<std::string> blocos(const std::string& arquivo) {
    std::vector<std::string> r;
    for (const std::string& l : linhas(arquivo)) {
        const std::string numero = std::to_string(r.size()) + " ";
        EXPECT_TRUE(l.starts_with(numero)) << l;
        r.push_back(l.substr(std::min(numero.size(), l.size())));
    }
    return r;
}

// Where the lines `trecho` follow one another in `ls`; -1 when nowhere.
long trecho_em(const std::vector<std::string>& ls, const std::vector<std::string>& trecho) {
    for (std::size_t i = 0; i + trecho.size() <= ls.size(); ++i)
        if (std::equal(trecho.begin(), trecho.end(), ls.begin() + static_cast<long>(i))) return static_cast<long>(i);
    return -1;
}

TEST(ControlesPontaAPonta, HeidenhainNomeInicioEFim) {
    const char* interna = trabalhos[4].respostas;
    Execucao r = executar_com_argumentos("--comando heidenhain", interna);
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.outros_conteudos.count("ROSCA-HELICOIDAL_PARALELA.h"), 1u);
    const std::string arquivo = r.outros_conteudos.at("ROSCA-HELICOIDAL_PARALELA.h");
    const std::vector<std::string> b = blocos(arquivo);
    // The default name has 25 characters: the TNC's program takes 24, and the screen says so.
    ASSERT_GT(b.size(), 40u);
    EXPECT_EQ(b.front(), "BEGIN PGM ROSCA-HELICOIDAL_PARALEL MM");
    EXPECT_EQ(b.back(), "END PGM ROSCA-HELICOIDAL_PARALEL MM");
    EXPECT_NE(r.console.find("\nPrograma BEGIN PGM ROSCA-HELICOIDAL_PARALEL: o comando aceita nomes so com letras, "
                             "digitos, _ e -, ate 24 caracteres\n(cortado em 24): grave ou renomeie o arquivo como "
                             "ROSCA-HELICOIDAL_PARALEL.h\n\n-----"),
              std::string::npos)
        << r.console.substr(r.console.size() > 600 ? r.console.size() - 600 : 0);
    EXPECT_EQ(b[1], ";Df-Diametro final da rosca: 20.00 [mm]");
    // No G word anywhere; the header's comments as ";" blocks, none empty.
    for (const std::string& l : b) {
        EXPECT_FALSE(l.empty());
        if (l.starts_with(";")) continue;
        std::istringstream palavras(l);
        for (std::string p; palavras >> p;) EXPECT_FALSE(p.size() > 1 && p[0] == 'G' && std::isdigit(p[1])) << l;
    }
    EXPECT_GE(trecho_em(b, {";Avanco por rotacao (Fz): 0.200 [mm / rotacao]",
                            ";Medidas do percurso: Df 20.000 Di 17.000 ferramenta 10.000 [mm]", "TOOL CALL 1 Z S1000",
                            "L Z+3 R0 FMAX M3", "L X+0 Y+0 R0 FMAX", "CYCL DEF 9.0 DWELL TIME",
                            "CYCL DEF 9.1 DWELL 3", "L X+3.967 Y-0.000 R0 FMAX", ";passo lateral: 1 - fio rosca N: 1",
                            ";diametro: 17.933 [mm]", "L X+3.966 Y-0.069 Z-0.003 F200",
                            "L X+3.964 Y-0.138 Z-0.006"}),
              0);
    EXPECT_GE(trecho_em(b, {"L X+0 Y+0 R0 FMAX", "L Z+5 R0 FMAX", ";X MAX = 5.00 --- X MIN = -5.00",
                            ";Y MAX = 5.00 --- Y MIN = -5.00", ";DIAMETRO USINADO MAXIMO = 20.000 [mm]",
                            "L Z+5 R0 FMAX M5", "L Z+5 R0 FMAX M30", "END PGM ROSCA-HELICOIDAL_PARALEL MM"}),
              0);
    EXPECT_TRUE(arquivo.ends_with(" END PGM ROSCA-HELICOIDAL_PARALEL MM\r\n"));

    // A taper's name fits; a name of other characters is changed and said.
    r = executar_com_argumentos("--comando heidenhain --conica --ferramenta 12", interna);
    ASSERT_EQ(r.outros_conteudos.count("ROSCA-HELICOIDAL_CONICA.h"), 1u);
    EXPECT_TRUE(r.outros_conteudos.begin()->second.starts_with("0 BEGIN PGM ROSCA-HELICOIDAL_CONICA MM\r\n"));
    EXPECT_NE(r.outros_conteudos.begin()->second.find(" TOOL CALL 12 Z S1000\r\n"), std::string::npos);
    EXPECT_EQ(r.console.find("Programa BEGIN PGM"), std::string::npos);
    r = executar_com_argumentos("--comando heidenhain --saida 'M20 x2,5 (1).H'", interna);
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.outros_conteudos.at("M20 x2,5 (1).H").starts_with("0 BEGIN PGM M20_x2_5__1_ MM\r\n"));
    EXPECT_NE(r.console.find("(outros caracteres trocados por _): grave ou renomeie o arquivo como M20_x2_5__1_.H"),
              std::string::npos)
        << r.console;
}

TEST(ControlesPontaAPonta, HeidenhainHeliceEmBlocosCpDeAte5400Graus) {
    // 16 turns a pass, face down, with the compensation and its tangent arcs.
    const std::vector<std::string> b =
        blocos(gerar("heidenhain", "--compensacao --ferramenta 3", trabalhos[8].respostas));
    int passes = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (b[i] == "CC X+0 Y+0") {
            ++passes;
            double graus = 0;
            int blocos_cp = 0;
            for (std::size_t k = i + 1; k < b.size() && b[k].starts_with("CP IPA"); ++k, ++blocos_cp) {
                const double ipa = std::atof(b[k].c_str() + 6);
                EXPECT_LE(std::fabs(ipa), 5400) << b[k];
                EXPECT_NE(b[k].find(ipa > 0 ? " DR+" : " DR-"), std::string::npos) << b[k];
                graus += ipa;
            }
            // A right hand face down turns clockwise: 16 turns in two equal blocks.
            EXPECT_EQ(blocos_cp, 2);
            EXPECT_NEAR(graus, -16 * 360.0, 0.05);
        }
        // Compensation on along a line, before the cut; off along a line, after it.
        if (b[i].find(" RL") != std::string::npos || b[i].find(" RR") != std::string::npos) {
            EXPECT_TRUE(b[i].starts_with("L X")) << b[i];
        }
    }
    EXPECT_GE(passes, 4);
    // Each block rises its share of the 32 mm, as the heights written give it.
    EXPECT_EQ(std::count_if(b.begin(), b.end(), [](const std::string& l) { return l.find(" IZ-16.000 DR-") != std::string::npos; }),
              2 * passes);
}

// The console names the compensation's side as the file writes it: RL and
// RR in plain language, G41 and G42 elsewhere.
TEST(ControlesPontaAPonta, LadoDaCompensacaoNaTelaComoNoArquivo) {
    const struct {
        const char *opcoes, *tela, *arquivo;
    } casos[] = {{"--comando heidenhain --compensacao", "compensacao RR D1", " RR F"},
                 {"--comando heidenhain --compensacao --concordante", "compensacao RL D1", " RL F"},
                 {"--comando linuxcnc --compensacao --ferramenta 2", "compensacao G42 D2", " G42 D2"}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.opcoes);
        const Execucao r = executar_com_argumentos(std::string(c.opcoes) + " --saida p.txt", trabalhos[4].respostas);
        ASSERT_EQ(r.status, 0) << r.erros;
        const std::size_t modos = r.console.find("\nModos de cortar: ");
        ASSERT_NE(modos, std::string::npos);
        const std::string linha = r.console.substr(modos + 1, r.console.find('\n', modos + 1) - modos - 1);
        EXPECT_TRUE(linha.ends_with(std::string("; ") + c.tela)) << linha;
        EXPECT_NE(r.outros_conteudos.at("p.txt").find(c.arquivo), std::string::npos);
    }
}

// Answers that give heights of 36 digits (a pitch of 2e38, found by the
// fuzzer): numbers of no real job, written as numbers all the same, with no
// overflow on the way.
TEST(ControlesPontaAPonta, HeidenhainComAlturasEnormesTerminaOArquivo) {
    const Execucao r = executar_com_argumentos(
        "--comando heidenhain --conica --repetir-acabamento 1 --avanco-na-aresta --saida h.h",
        "E\n20\n24\n1.50\n17.5\n0.5\n0.1\n14\n5\n2.e38\n0.2\n10\n4\n1.5\nE\n90\n1000\n200\n");
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> b = blocos(r.outros_conteudos.at("h.h"));
    ASSERT_FALSE(b.empty());
    EXPECT_EQ(b.back(), "END PGM h MM");
    EXPECT_NE(std::find_if(b.begin(), b.end(), [](const std::string& l) { return l.find(" Z-5555555") != std::string::npos; }),
              b.end());
}

TEST(ControlesPontaAPonta, SiemensInicioFimEVoltasNumBloco) {
    const char* m20 = trabalhos[7].respostas;  // L 5, pitch 2.5: two whole turns
    const Execucao padrao = executar_com_argumentos("--comando siemens --ferramenta 7 --arcos", m20);
    ASSERT_EQ(padrao.outros_conteudos.count("ROSCA-HELICOIDAL_PARALELA.mpf"), 1u);
    const std::string& console = padrao.console;
    const std::vector<std::string> l = linhas(padrao.outros_conteudos.at("ROSCA-HELICOIDAL_PARALELA.mpf"));
    EXPECT_GE(trecho_em(l, {"G17 G90 G710 G94 G40", "T7 D1", "M6", "G0 Z3", "G0 X0 Y0", "S1000 M3", "G4 F3", "F200",
                            "", "G0 X2.133 Y-0.000", ";passo lateral: 1 - fio rosca N: 1", ";diametro: 18.267 [mm]", "",
                            "G1 Z0.000", "G2 X2.133 Y0.000 Z-5.000 I-2.133 J0.000 TURN=1", "G0 X0 Y0", "G0 Z5"}),
              0);
    ASSERT_GE(l.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(l.end() - 3, l.end()), (std::vector<std::string>{"", "M5", "M30"}));
    // One block a pass, ending where it started: a full circle and one turn more.
    EXPECT_EQ(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.ends_with(" TURN=1"); }), 4);
    EXPECT_NE(console.find("\nPrograma ROSCA_HELICOIDAL_PARALEL: o comando aceita nomes so com letras, digitos e _, "
                           "ate 24 caracteres\n(outros caracteres trocados por _, cortado "
                           "em 24): grave ou renomeie o arquivo como ROSCA_HELICOIDAL_PARALEL.mpf"),
              std::string::npos)
        << console;

    // Without a tool, no tool change; the compensation on the cutting edge D1 of whatever tool is in.
    const std::vector<std::string> c = linhas(gerar("siemens", "--compensacao --concordante", m20));
    EXPECT_GE(trecho_em(c, {"G17 G90 G710 G94 G40", "G0 Z3"}), 0);
    EXPECT_EQ(std::count_if(c.begin(), c.end(), [](const std::string& s) { return s.starts_with("G1 G41 D1 CFTCP X"); }),
              4);
    EXPECT_EQ(std::count_if(c.begin(), c.end(), [](const std::string& s) { return s.starts_with("G1 G40 X"); }), 4);
    EXPECT_NE(std::find(c.begin(), c.end(), ";Compensacao de raio: D1 - raio da fresa na tabela de ferramentas do comando"),
              c.end());

    // A name the control takes, as it is.
    const Execucao r = executar_com_argumentos("--comando siemens --saida ROSCA_M20.MPF", m20);
    EXPECT_EQ(r.outros_conteudos.count("ROSCA_M20.MPF"), 1u);
    EXPECT_EQ(r.console.find("Programa "), std::string::npos);
}

TEST(ControlesPontaAPonta, OpcoesDosNovosComandos) {
    const char* interna = trabalhos[0].respostas;
    // Named in --help, taken in any case, refused where no control could cut it.
    const Execucao ajuda = executar_com_argumentos("--help");
    EXPECT_NE(ajuda.console.find("  heidenhain  Heidenhain TNC, texto claro (.h)\n"), std::string::npos) << ajuda.console;
    EXPECT_NE(ajuda.console.find("  siemens     Siemens Sinumerik 828D e 840D (.mpf)\n"), std::string::npos);
    EXPECT_EQ(gerar("Heidenhain", "", interna), gerar("heidenhain", "", interna));
    for (const char* argumentos : {"--comando siemens --programa 5", "--comando heidenhain --programa 5",
                                   "--comando heidenhain --conica --arcos", "--comando siemens --conica --compensacao"}) {
        SCOPED_TRACE(argumentos);
        const Execucao r = executar_com_argumentos(argumentos, interna);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.outros_arquivos.empty());
        EXPECT_EQ(r.erros.find('\n'), r.erros.size() - 1) << r.erros;
    }
    const Execucao r = executar_com_argumentos("--comando fagor", interna);
    EXPECT_EQ(r.erros,
              "rosca-helicoidal: --comando 'fagor' desconhecido: use padrao, linuxcnc, grbl, fanuc, heidenhain ou siemens\n");
}

// Every line a block: the number before it, the blank lines out, whatever
// pieces the text came in.
TEST(NumeracaoDeBlocos, CadaLinhaUmNumeroSemLinhasEmBranco) {
    std::string bytes;
    {
        SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&bytes));
        arquivo.numerar_blocos();
        arquivo.texto("BEGIN PGM A MM\n;um");
        arquivo.texto("\n\n\n");
        arquivo.texto(";do");
        arquivo.texto("is\n");
        arquivo.texto("\nL Z+5 R0 FMAX\nEND PGM A MM");
        arquivo.texto("\n");
        arquivo.fechar();
    }
    EXPECT_EQ(bytes, "0 BEGIN PGM A MM\r\n1 ;um\r\n2 ;dois\r\n3 L Z+5 R0 FMAX\r\n4 END PGM A MM\r\n");
    // Off, the text as it is.
    std::string sem;
    {
        SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&sem));
        arquivo.usar_fim_de_linha("\n");
        arquivo.texto("a\n\nb\n");
        arquivo.fechar();
    }
    EXPECT_EQ(sem, "a\n\nb\n");
}

// The whole turns of an arc, counted from its ends as written.
TEST(VoltasDoArco, DasPontasComoEscritas) {
    // The same point: a full circle, and the turns more.
    VoltasArco v = voltas_do_arco({10, 0}, {10, 0}, {0, 0}, -720);
    EXPECT_EQ(v.angulo, 360);
    EXPECT_EQ(v.voltas, 1);
    // A thousandth past the start or short of it: the turns still add up.
    v = voltas_do_arco({10, 0}, {10, 0.001}, {0, 0}, 720);
    EXPECT_NEAR(v.angulo, 0.0057, 1e-4);
    EXPECT_EQ(v.voltas, 2);
    v = voltas_do_arco({10, 0}, {10, -0.001}, {0, 0}, 720);
    EXPECT_NEAR(v.angulo, 359.9943, 1e-4);
    EXPECT_EQ(v.voltas, 1);
    // Clockwise, two and a half turns about another centre.
    v = voltas_do_arco({2, 1}, {0, 1}, {1, 1}, -900);
    EXPECT_NEAR(v.angulo, 180, 1e-9);
    EXPECT_EQ(v.voltas, 2);
    // So short that its ends as written meet: no arc (a control would cut a full circle).
    v = voltas_do_arco({0.1, 0}, {0.1, 0}, {0, 0}, 0.2);
    EXPECT_EQ(v.voltas, -1);
}

TEST(NomePrograma, ComoOComandoAceita) {
    const vocabulario::Dialeto& h = vocabulario::heidenhain;
    const vocabulario::Dialeto& s = vocabulario::siemens;
    EXPECT_EQ(nome_programa(h, "pecas/M20-A_1.h"), "M20-A_1");
    EXPECT_EQ(nome_programa(h, "C:\\cnc\\rosca m20.h"), "rosca_m20");
    // One "_" for each character, however many bytes it takes in UTF-8.
    EXPECT_EQ(nome_programa(h, "pe\xc3\xa7" "a.h"), "pe_a");
    EXPECT_EQ(nome_programa(h, "ABCDEFGHIJKLMNOPQRSTUVWXYZ.h"), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(nome_programa(h, ".h"), "_h");
    EXPECT_EQ(nome_programa(h, "pasta/"), "ROSCA");
    EXPECT_EQ(nome_programa(h, "sem_extensao"), "sem_extensao");
    EXPECT_EQ(aviso_nome_programa(h, "M20-A_1.h"), "");
    EXPECT_EQ(nome_programa(s, "M20-A_1.mpf"), "M20_A_1");
    EXPECT_EQ(nome_programa(s, "20x2.mpf"), "20x2");
    EXPECT_EQ(aviso_nome_programa(s, "ROSCA_M20.mpf"), "");
    // The dialects without a rule keep the name as it is, and say nothing.
    EXPECT_EQ(nome_programa(vocabulario::linuxcnc, "a b.ngc"), "a b");
    EXPECT_EQ(aviso_nome_programa(vocabulario::fanuc, "a (b).nc"), "");
}

}  // namespace
