// The cutting data section of --medidas: the spindle speed and the feeds
// from the mill's catalogue values, what the mill cannot do, and the
// answers the dialogue takes as they are.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <string_view>

#include "apoio/execucao.hpp"
#include "medidas/corte.hpp"
#include "medidas/medidas.hpp"
#include "nucleo/juntar.hpp"

namespace {

DadosCorte dados(std::string_view fresa, std::string_view arestas, std::string_view vc, std::string_view fz) {
    DadosCorte d;
    std::string erro;
    EXPECT_TRUE(ler_dado_corte("--fresa", fresa, d, erro)) << erro;
    EXPECT_TRUE(ler_dado_corte("--arestas", arestas, d, erro)) << erro;
    EXPECT_TRUE(ler_dado_corte("--vc", vc, d, erro)) << erro;
    EXPECT_TRUE(ler_dado_corte("--fz", fz, d, erro)) << erro;
    return d;
}

std::string relatorio(std::string_view designacao, const DadosCorte& d) {
    std::string texto, erro;
    EXPECT_TRUE(relatorio_medidas(designacao, &d, texto, erro)) << designacao << ": " << erro;
    return texto;
}

std::string secao(const std::string& texto) {
    const std::size_t i = texto.find("\nDados de corte");
    return i == std::string::npos ? "sem secao" : texto.substr(i);
}

TEST(MedidasCorte, ExemploDoFabricanteDeFerramentas) {
    // A tool maker's guide: M10x1.5, DC 8.2, Z 3, vc 250, fz 0.09 gives about
    // 9,705 rpm, 2,620 mm/min at the edge and 472 at the centre.
    const std::string t = secao(relatorio("M10x1.5", dados("8.2", "3", "250", "0.09")));
    EXPECT_NE(t.find("\nDados de corte: fresa DC 8.2 mm, 3 arestas, vc 250 m/min, fz 0.09 mm\n"
                     "  Rotacao n = 1000 vc / (pi DC) ....      9705 rpm\n"
                     "  Avanco na aresta vf = fz Z n .....    2620.2 mm/min\n"
                     "  No centro, rosca interna .........     471.6 mm/min, vf (D - DC) / D\n"
                     "  Entrada, a metade ................     235.8 mm/min\n"
                     "  No centro, rosca externa .........    4768.8 mm/min, vf (D + DC) / D\n"
                     "  Entrada, a metade ................    2384.4 mm/min\n"),
              std::string::npos)
        << t;
    // 8.2 is 82 % of 10: said plainly, with the largest mill that is not.
    EXPECT_NE(t.find("\nFresa acima de 70 % do diametro maior (82 %): para rosca interna,\n"
                     "use fresa de no maximo 7 mm.\n"),
              std::string::npos);
    EXPECT_NE(t.find("  Diametro da Ferramenta [mm] .... 8.2\n"
                     "  Rotacao do spindle [rpm] ....... 9705\n"
                     "  Velocidade de Corte [mm / min] . 471.6      rosca interna, no centro\n"),
              std::string::npos);
    // Outside, the centre feed passes the dialogue's 2000 mm/min: typed as
    // 2000, with the feed per tooth that leaves.
    EXPECT_NE(t.find("  Velocidade de Corte [mm / min] . 2000       rosca externa, no centro\n"
                     "  (4768.8 mm/min passa de 2000, o maximo do dialogo;\n"
                     "  com 2000 o fz cai para 0.0377 mm)\n"),
              std::string::npos);
}

TEST(MedidasCorte, AsFormulasNumOutroCaso) {
    // n = 1000 vc / (pi DC); vf = fz Z n; inside vf (D - DC) / D, outside vf (D + DC) / D.
    const double n = 1000 * 120 / (std::numbers::pi * 12), vf = 0.05 * 4 * n;
    const auto decimo = [](double v) {
        return juntar({std::to_string(std::llround(v * 10) / 10), ".", std::to_string(std::llround(v * 10) % 10)});
    };
    const std::string t = secao(relatorio("M20", dados("12", "4", "120", "0,05")));
    EXPECT_NE(t.find(juntar({" ", std::to_string(std::llround(n)), " rpm\n"})), std::string::npos) << t;
    EXPECT_NE(t.find(juntar({" ", decimo(vf), " mm/min\n"})), std::string::npos) << t;
    EXPECT_NE(t.find(juntar({" ", decimo(vf * 8 / 20), " mm/min, vf (D - DC) / D\n"})), std::string::npos) << t;
    EXPECT_NE(t.find(juntar({" ", decimo(vf * 32 / 20), " mm/min, vf (D + DC) / D\n"})), std::string::npos) << t;
    EXPECT_NE(t.find(juntar({" ", decimo(vf * 32 / 20 / 2), " mm/min\n"})), std::string::npos) << t;
    // 12 mm in a 17.5 mm hole, 60 % of D: nothing to say about the mill.
    EXPECT_EQ(t.find("Fresa acima"), std::string::npos);
    EXPECT_EQ(t.find("nao entra"), std::string::npos);
    // With --avanco-na-aresta the edge feed is the answer, for both threads.
    EXPECT_NE(t.find(std::string("Com --avanco-na-aresta, responda o avanco da aresta; o programa da a cada\n"
                     "passe o avanco do seu centro:\n"
                     "  Velocidade de Corte [mm / min] . ") + decimo(vf) + "      na aresta\n"),
              std::string::npos)
        << t;
}

TEST(MedidasCorte, FresaQueNaoEntraEAvancoQueNaoSeDigita) {
    // The M10 drill is 8.5 mm: a 9 mm mill cannot enter it.
    const std::string t = secao(relatorio("M10", dados("9", "3", "250", "0.09")));
    EXPECT_NE(t.find("\nA fresa de 9 mm nao entra no furo de 8.5 mm (broca 8.5):\nrosca interna impossivel com ela.\n"),
              std::string::npos)
        << t;
    EXPECT_EQ(t.find("rosca interna, no centro"), std::string::npos);
    // A feed of tenths: an answer up to 0.4 is a factor of the spindle speed.
    const std::string lento = secao(relatorio("M3", dados("2", "1", "1", "0.001")));
    EXPECT_NE(lento.find("  Velocidade de Corte [mm / min] . -          rosca interna, no centro\n"
                         "  (0.1 mm/min nao se digita: o dialogo le ate 0.4 como fator da\n"
                         "  rotacao, nao como mm/min; aumente fz ou vc)\n"),
              std::string::npos)
        << lento;
    // 0.4 itself is typed: above the limit in single precision.
    const std::string limite = secao(relatorio("M3", dados("2", "1", "2.5", "0.001")));
    EXPECT_NE(limite.find("Velocidade de Corte [mm / min] . 0.4        na aresta\n"), std::string::npos) << limite;
    // Below half a turn a minute there is no speed to type.
    const std::string parado = secao(relatorio("M1000x6", dados("1000", "1", "1", "0.001")));
    EXPECT_NE(parado.find("  Rotacao do spindle [rpm] ....... -\n  (0.32 rpm nao se digita"), std::string::npos)
        << parado;
}

TEST(MedidasCorte, RoscasConicasSoOLadoQueExiste) {
    const DadosCorte d = dados("12", "1", "100", "0.05");
    // R is a screw only; its D the gauge plane's major diameter.
    const std::string r = secao(relatorio("R 1/2", d));
    EXPECT_NE(r.find("No centro, rosca externa"), std::string::npos) << r;
    EXPECT_EQ(r.find("rosca interna"), std::string::npos) << r;
    EXPECT_NE(r.find("(D = 20.955 mm"), std::string::npos);
    // Rc is a nut only, drilled 17.8 mm: a 20 mm mill does not enter.
    const std::string rc = secao(relatorio("Rc 1/2", dados("20", "1", "100", "0.05")));
    EXPECT_NE(rc.find("nao entra no furo de 17.8 mm (broca 17.8)"), std::string::npos) << rc;
    EXPECT_EQ(rc.find("Com --avanco-na-aresta"), std::string::npos) << rc;
    // NPT: both, D the major diameter at the gauge plane.
    const std::string npt = secao(relatorio("1/2 NPT", d));
    EXPECT_NE(npt.find("(D = 21.224 mm"), std::string::npos) << npt;
    EXPECT_NE(npt.find("rosca interna, no centro"), std::string::npos);
    for (const std::string& t : {r, rc, npt, secao(relatorio("M10", dados("9", "3", "250", "0.09")))})
        for (std::size_t i = 0, fim; i < t.size(); i = fim + 1) {
            fim = t.find('\n', i);
            EXPECT_LE(fim - i, 80u) << t.substr(i, fim - i);
        }
}

TEST(MedidasCorte, ValoresRecusadosDizemOQueCadaOpcaoToma) {
    const std::pair<std::pair<const char*, const char*>, const char*> casos[] = {
        {{"--fresa", "0"}, "--fresa '0': diametro da fresa em mm, de 0.1 a 1000"},
        {{"--fresa", "8.2x"}, "--fresa '8.2x': diametro da fresa em mm, de 0.1 a 1000"},
        {{"--fresa", "8.2345"}, "--fresa '8.2345': diametro da fresa em mm, de 0.1 a 1000"},
        {{"--arestas", "2.5"}, "--arestas '2.5': arestas (dentes) da fresa, de 1 a 99"},
        {{"--arestas", "100"}, "--arestas '100': arestas (dentes) da fresa, de 1 a 99"},
        {{"--vc", "-250"}, "--vc '-250': velocidade de corte em m/min, de 1 a 5000"},
        {{"--vc", "99999999999999"}, "--vc '999999999999...': velocidade de corte em m/min, de 1 a 5000"},
        {{"--fz", "0.0001"}, "--fz '0.0001': avanco por aresta em mm, de 0.001 a 2"},
        {{"--fz", " 0.1"}, "--fz ' 0.1': avanco por aresta em mm, de 0.001 a 2"},
        {{"--rpm", "1000"}, "opcao '--rpm' desconhecida depois de --medidas"},
    };
    for (const auto& [opcao, esperado] : casos) {
        DadosCorte d;
        std::string erro;
        EXPECT_FALSE(ler_dado_corte(opcao.first, opcao.second, d, erro)) << opcao.first << " " << opcao.second;
        EXPECT_EQ(erro, esperado);
    }
    DadosCorte d;
    std::string erro;
    EXPECT_TRUE(ler_dado_corte("--fz", "0,125", d, erro));
    EXPECT_EQ(d.fz_decimilesimos, 1250);
    EXPECT_FALSE(d.completos());
}

TEST(MedidasCortePontaAPonta, AsQuatroJuntasEmQualquerOrdem) {
    const Execucao a = executar_com_argumentos("--medidas M10x1.5 --fresa 8.2 --arestas 3 --vc 250 --fz 0.09");
    EXPECT_EQ(a.status, 0) << a.erros;
    EXPECT_EQ(a.erros, "");
    EXPECT_NE(a.console.find("Rotacao do spindle [rpm] ....... 9705\n"), std::string::npos) << a.console;
    EXPECT_EQ(executar_com_argumentos("--medidas=M10x1.5 --fz=0,09 --vc 250 --fresa=8,2 --arestas 3").console,
              a.console);
    // A designation of several arguments, then the options.
    const Execucao g = executar_com_argumentos("--medidas G 1 1/4 --fresa 20 --arestas 2 --vc 150 --fz 0.1");
    EXPECT_EQ(g.status, 0) << g.erros;
    EXPECT_EQ(g.console, executar_com_argumentos("--medidas 'G1 1/4' --fresa 20 --arestas 2 --vc 150 --fz 0.1").console);
    // Without them, the report as before.
    EXPECT_EQ(executar_com_argumentos("--medidas M10x1.5").console, a.console.substr(0, a.console.find("\nDados de corte")));

    const std::pair<const char*, const char*> recusados[] = {
        {"--medidas M10 --fresa 8 --arestas 3 --vc 250", "--fresa, --arestas, --vc e --fz vao juntas: falta --fz"},
        {"--medidas M10 --vc 250", "--fresa, --arestas, --vc e --fz vao juntas: falta --fresa, --arestas, --fz"},
        {"--medidas M10 --fresa", "--fresa sem valor"},
        {"--medidas M10 --fresa= --arestas 3 --vc 250 --fz 0.1", "--fresa sem valor"},
        {"--medidas M10 --fresa 8 --fresa 8", "--fresa dada duas vezes"},
        {"--medidas M10 --fresa abc --arestas 3 --vc 250 --fz 0.1", "--fresa 'abc': diametro da fresa em mm, de 0.1 a 1000"},
        {"--medidas M10 --fresa 8 x2 --arestas 3 --vc 250 --fz 0.1", "'x2' depois das opcoes: a designacao vem antes delas"},
        {"--medidas M10 --avanco-na-aresta", "'--avanco-na-aresta' nao vale com --medidas (so --fresa, --arestas, --vc, --fz)"},
        {"--medidas --fresa 8 --arestas 3 --vc 250 --fz 0.1", "--medidas sem designacao"},
    };
    for (const auto& [argumentos, mensagem] : recusados) {
        SCOPED_TRACE(argumentos);
        const Execucao r = executar_com_argumentos(argumentos);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.console, "");
        EXPECT_EQ(r.erros, juntar({"rosca-helicoidal: ", mensagem, " (veja rosca-helicoidal --help)\n"}));
    }
}

}  // namespace
