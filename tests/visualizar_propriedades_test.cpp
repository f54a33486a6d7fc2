// The harness of the seeded property tests of the viewer: the same draws
// on every platform, edits at the lines they name, the viewer's verdict read
// line by line.
#include <gtest/gtest.h>

#include <set>

#include "apoio/execucao.hpp"
#include "apoio/sorteio.hpp"
#include "apoio/visualizacao.hpp"

namespace {

// ---------------------------------------------------------- the harness

TEST(Sorteio, OsSorteiosSaoOsMesmosEmQualquerPlataforma) {
    // The standard fixes the 10000th word of the default-seeded generator.
    std::mt19937_64 padrao;
    padrao.discard(9999);
    EXPECT_EQ(padrao(), 9981545732273789042ull);
    // Draws made from its words by integer arithmetic alone: fixed values.
    Sorteio s(7);
    std::string vistos;
    for (int i = 0; i < 8; ++i) vistos += std::to_string(s.entre(-3, 1000)) + " ";
    EXPECT_EQ(vistos, "412 479 763 679 290 633 782 783 ");
    EXPECT_EQ(semente_do_sorteio(1, 0), 10451216379200822465ull);
    // And so the jobs of a seed: the first of seed 1.
    const Trabalho primeiro = sortear_trabalho(1, 0);
    EXPECT_EQ(primeiro.resumo(),
              "I 51 0 38.79 1 2 D 267 3726 0.05 --comando Heidenhain --furos furos.txt --discordante --ajuste-na-maquina");
    EXPECT_EQ(primeiro.furos, "78   -165\n-81.62   267.98\n");
    // One draw is made again alone, and the next is another job.
    const Trabalho a = sortear_trabalho(1, 5), b = sortear_trabalho(1, 5), c = sortear_trabalho(1, 6);
    EXPECT_EQ(a.resumo(), b.resumo());
    EXPECT_EQ(a.furos, b.furos);
    EXPECT_NE(a.resumo(), c.resumo());
}

TEST(Sorteio, NumerosDigitadosComAsCasasSorteadas) {
    EXPECT_EQ((Numero{20112, 3}).texto(), "20.112");
    EXPECT_EQ((Numero{20500, 3}).texto(), "20.5");
    EXPECT_EQ((Numero{4, 4}).texto(), "0.0004");
    EXPECT_EQ((Numero{-105, 1}).texto(), "-10.5");
    EXPECT_EQ((Numero{0, 2}).texto(), "0");
    Sorteio s(3);
    for (int i = 0; i < 2000; ++i) {
        const Numero n = sortear_numero(s, 0.35, 4, 2);
        ASSERT_GE(n.unidades, 35);
        ASSERT_LE(n.unidades, 400);
    }
    // Every value of a small range comes up.
    std::set<long long> vistos;
    for (int i = 0; i < 500; ++i) vistos.insert(s.entre(1, 6));
    EXPECT_EQ(vistos.size(), 6u);
}

// A plain-language program in miniature: block numbers from 0.
const char* const programa_tnc =
    "0 BEGIN PGM P MM\r\n"
    "1 L Z+0.000 F200\r\n"
    "2 L X+5.000 Y+0.000 Z-0.100\r\n"
    "3 L X+4.999 Y-0.087 Z-0.200\r\n"
    "4 L X+4.996 Y-0.174 Z-0.300\r\n"
    "5 L Z+5 R0 FMAX M30\r\n"
    "6 END PGM P MM\r\n";

TEST(Sorteio, EdicoesNasLinhasCertasEOComandoQueAsRefaz) {
    Edicao e;
    e.nome = "teste";
    e.mudancas = {{Edicao::Tipo::inserir, 4, "3 L M5", true}, {Edicao::Tipo::trocar, 1, "0 BEGIN PGM Q MM", false},
                  {Edicao::Tipo::remover, 8, "", false}};
    const std::string editado = e.aplicar(programa_tnc);
    EXPECT_EQ(editado,
              "0 BEGIN PGM Q MM\r\n1 L Z+0.000 F200\r\n2 L X+5.000 Y+0.000 Z-0.100\r\n3 L M5\r\n"
              "4 L X+4.999 Y-0.087 Z-0.200\r\n5 L X+4.996 Y-0.174 Z-0.300\r\n6 L Z+5 R0 FMAX M30\r\n");
    // The shell command a reproduction prints makes the same bytes.
    DiretorioTemporario d;
    gravar_arquivo(d / "p.h", programa_tnc);
    ASSERT_EQ(std::system(("cd '" + d.caminho() + "' && " + e.comando("p.h", "e.h", true)).c_str()), 0);
    EXPECT_EQ(ler_arquivo(d / "e.h"), editado);
    // Lines ending in LF alone stay so.
    Edicao lf;
    lf.mudancas = {{Edicao::Tipo::inserir, 2, "M5", false}};
    gravar_arquivo(d / "g.nc", "G1 Z-1\nG1 Z-2\n");
    ASSERT_EQ(std::system(("cd '" + d.caminho() + "' && " + lf.comando("g.nc", "f.nc", false)).c_str()), 0);
    EXPECT_EQ(ler_arquivo(d / "f.nc"), lf.aplicar("G1 Z-1\nG1 Z-2\n"));
    EXPECT_EQ(lf.aplicar("G1 Z-1\nG1 Z-2\n"), "G1 Z-1\nM5\nG1 Z-2\n");
}

TEST(Sorteio, EdicoesRuinsNoMeioDaHeliceENoCabecalho) {
    // L 0.3: every move of programa_tnc's helix but the last ends inside it.
    Trabalho t = trabalho_de("I 20 0 10 0.3 1 D 0 1000 200 --comando heidenhain --ajuste-na-maquina");
    Sorteio s(1);
    for (const Edicao& e : edicoes_ruins(t, programa_tnc, s)) {
        if (e.nome.find("no meio da helice") == std::string::npos) continue;
        ASSERT_EQ(e.mudancas.size(), 1u) << e.nome;
        // After line 3 (Z-0.1, the first move below the face): between two helix moves.
        EXPECT_EQ(e.mudancas[0].linha, 4u) << e.nome;
        EXPECT_TRUE(e.mudancas[0].texto.starts_with("3 ")) << e.mudancas[0].texto;
        EXPECT_EQ(e.linhas_esperadas, std::vector<std::size_t>{4}) << e.nome;
    }
    const std::string tempo = ";p-Passo Vertical da rosca (1 fio): 2.50 [mm]\r\n;Tempo de corte pelo percurso: 1.4 minutos\r\n";
    const std::string cabecalho = tempo + "#<_diametro_final> = 20.000 ;mude aqui\r\n#<_desbastes> = 1 ;1 faz\r\n";
    t = trabalho_de("I 20 17.5 0.5 0.1 14 3 2.5 D 0 2728 163.7 --comando linuxcnc --ajuste-na-maquina");
    std::set<std::string> feitas;
    for (const Edicao& e : edicoes_ruins(t, cabecalho, s)) feitas.insert(e.aplicar(cabecalho));
    EXPECT_TRUE(feitas.count(";p-Passo Vertical da rosca (1 fio): -1.00 [mm]\r\n" + cabecalho.substr(47)));
    EXPECT_TRUE(feitas.count(tempo.substr(0, 78) + "0.0 minutos\r\n" + cabecalho.substr(tempo.size())));
    EXPECT_TRUE(feitas.count(tempo + "#<_diametro_final> = 30.000 ;mude aqui\r\n#<_desbastes> = 1 ;1 faz\r\n"));
    feitas.clear();
    for (const Edicao& e : edicoes_de_ajuste(t, cabecalho, s)) feitas.insert(e.aplicar(cabecalho));
    EXPECT_TRUE(feitas.count(tempo + "#<_diametro_final> = 19.950 ;mude aqui\r\n#<_desbastes> = 1 ;1 faz\r\n"));
    EXPECT_TRUE(feitas.count(tempo + "#<_diametro_final> = 20.050 ;mude aqui\r\n#<_desbastes> = 0 ;1 faz\r\n"));
    EXPECT_TRUE(feitas.count(tempo + "#<_diametro_final> = 20.000 ;mude aqui\r\n#<_desbastes> = 0 ;1 faz\r\n"));
    EXPECT_EQ(feitas.size(), 5u);
    const auto longe = mudar_diametro(t, cabecalho, 10000, "30");
    ASSERT_TRUE(longe.has_value());
    EXPECT_EQ(longe->mudancas[0].texto, "#<_diametro_final> = 30.000 ;mude aqui");
    EXPECT_EQ(longe->linhas_esperadas, std::vector<std::size_t>{3});
}

TEST(Sorteio, OVereditoDoVisualizadorLinhaALinha) {
    const std::string saida =
        "Verificacoes:\n"
        " 1. Arquivo completo e legivel .......................................... FALHA\n"
        "     linha 1821: o arquivo termina sem M30: incompleto (cortado ou recusado)\n"
        " 2. Pontos de cada passe num circulo em torno do eixo ................... FALHA\n"
        "     linha 102: ponto a 2.1784 mm do eixo; o passe (linha 47) esta a 2.1333 mm,\n"
        "     tolerancia 0.0014 mm\n"
        "     (24 ocorrencias ao todo: linhas 102, 192, 195 e mais 21)\n"
        " 5. Diametro usinado e furo ..................................... NAO SE APLICA\n"
        "     (rosca externa)\n"
        " 6. Preambulo e movimentos rapidos ...................................... FALHA\n"
        "     linha 40: primeiro\n"
        "     linha 41: segundo, que continua\n"
        "     na linha de baixo\n"
        "\n"
        "Linhas que nao se leem: 1\n"
        "  linha 7: G1 X1 lixo\n"
        "\n"
        "Imagem gravada: v.svg\n"
        "Resultado: ATENCAO - ha falhas; confira antes de usinar.\n";
    const Veredito v = ler_veredito(1, saida);
    EXPECT_FALSE(v.tudo_confere);
    for (std::size_t l : {1821u, 102u, 192u, 195u, 40u, 41u, 7u}) EXPECT_TRUE(v.nomeia(l)) << l;
    for (std::size_t l : {47u, 21u, 24u, 0u}) EXPECT_FALSE(v.nomeia(l)) << l;
    EXPECT_EQ(v.classes(), (std::vector<std::string>{
                               "1: o arquivo termina sem M#: incompleto (cortado ou recusado)",
                               "2: ponto a # mm do eixo",
                               "6: primeiro"}));
    EXPECT_EQ(v.relato.find("NAO SE APLICA"), std::string::npos);
    EXPECT_NE(v.relato.find("  linha 7: G1 X1 lixo"), std::string::npos);
    EXPECT_TRUE(ler_veredito(0, "Resultado: arquivo inteiro, tudo confere.\n").tudo_confere);
    // The four extents are one class.
    for (const char* extremo : {"X MAX = 3.51", "Y MIN = -1.80"})
        EXPECT_EQ(ler_veredito(1, std::string("Verificacoes:\n 5. Diametro usinado e furo ...... FALHA\n     linha 70: ") +
                                      extremo + " no comentario; os movimentos dao -4.301\n")
                      .classes(),
                  std::vector<std::string>{"5: X/Y MAX/MIN = # no comentario"});
}

}  // namespace
