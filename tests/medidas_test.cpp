// The --medidas report: figures of each standard, the answers for the
// dialogue, what is not standard, and what is refused.
#include "medidas/medidas.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "medidas/decimal.hpp"
#include "medidas/tabelas.hpp"

namespace {

std::string relatorio(std::string_view designacao) {
    std::string texto, erro;
    EXPECT_TRUE(relatorio_medidas(designacao, texto, erro)) << designacao << ": " << erro;
    return texto;
}

std::string erro(std::string_view designacao) {
    std::string texto, e;
    EXPECT_FALSE(relatorio_medidas(designacao, texto, e)) << designacao;
    EXPECT_EQ(texto, "") << designacao;
    return e;
}

// The figure after the dots on the first line naming `rotulo` after `secao`:
// "  Diametro maior ....    20.000" gives "20.000".
std::string valor(const std::string& texto, std::string_view rotulo, std::string_view secao = "Perfil") {
    std::size_t i = texto.find(std::string("\n  ").append(rotulo), texto.find(secao));
    if (i == std::string::npos) return std::string(rotulo).append(": nao achado");
    i = texto.find_first_not_of(" .", texto.find(" .", i));
    return texto.substr(i, texto.find_first_of(" \n", i) - i);
}

constexpr std::string_view interna = "Rosca interna";
constexpr std::string_view externa = "Rosca externa";

// Final, initial diameter and pitch answers of one kind of thread.
std::string respostas(const std::string& texto, std::string_view tipo) {
    return valor(texto, "Diametro Final", tipo) + " / " + valor(texto, "Diametro Inicial", tipo) +
           " / " + valor(texto, "Passo da rosca", tipo);
}

TEST(MedidasMetrica, M20x2_5PorInteiro) {
    EXPECT_EQ(relatorio("M20x2.5"),
              "Rosca M20x2.5: metrica ISO, perfil de 60 graus (ISO 68-1)\n"
              "Passo grosso da ISO 261.\n"
              "\n"
              "Perfil basico [mm]:\n"
              "  Diametro maior ...................    20.000\n"
              "  Passo P ..........................     2.500\n"
              "  Altura do triangulo H ............     2.165\n"
              "  Diametro de flanco ...............    18.376\n"
              "  Diametro menor do furo ...........    17.294\n"
              "  Diametro menor do parafuso .......    16.933\n"
              "  Altura do filete do furo .........     1.353\n"
              "  Altura do filete do parafuso .....     1.534\n"
              "\n"
              "Broca para o furo: 17.5 mm\n"
              "  dentro do menor do furo 6H: 17.294 a 17.744 mm\n"
              "  (regra D - P: 17.5 mm, so como referencia)\n"
              "\n"
              "Rosca interna (furo), respostas do dialogo:\n"
              "  Tipo de Rosca [I / E] .......... I\n"
              "  Diametro Final da rosca [mm] ... 20         diametro maior\n"
              "  Diametro Inicial da rosca [mm] . 17.5       broca 17.5\n"
              "  (Passo Lateral: profundidade radial de 1.250 mm; fresa menor que 17.5)\n"
              "  Passo da rosca (1 fio) [mm] .... 2.5        passo grosso da ISO 261\n"
              "\n"
              "Rosca externa (parafuso), respostas do dialogo:\n"
              "  Tipo de Rosca [I / E] .......... E\n"
              "  Diametro Final da rosca [mm] ... 16.933     diametro menor do parafuso\n"
              "  Diametro Inicial da rosca [mm] . 20         blank no diametro maior\n"
              "  (Passo Lateral: profundidade radial de 1.534 mm)\n"
              "  Passo da rosca (1 fio) [mm] .... 2.5        passo grosso da ISO 261\n"
              "\n"
              "Medidas basicas: a tolerancia (6H no furo, 6g no parafuso) as desloca\n"
              "um pouco, e quem decide a medida final e o usinador.\n"
              "\n"
              "Sem classe na designacao: 6H/6g, as mais comuns (ISO 965-1, engate normal):\n"
              "                                          min mm    max mm\n"
              "  Furo 6H, diametro maior ............    20.000         -\n"
              "  Furo 6H, diametro de flanco ........    18.376    18.600\n"
              "  Furo 6H, diametro menor ............    17.294    17.744\n"
              "  Parafuso 6g, diametro maior ........    19.623    19.958\n"
              "  Parafuso 6g, diametro de flanco ....    18.164    18.334\n"
              "  Parafuso 6g, diametro menor ........         -    16.891\n"
              "\n"
              "Respostas no meio das faixas (fresa de perfil completo):\n"
              "  Furo 6H:\n"
              "  Diametro Final da rosca [mm] ... 20.112     flanco 18.376 a 18.600\n"
              "  Diametro Inicial da rosca [mm] . 17.5       broca; menor 17.294 a 17.744\n"
              "  Parafuso 6g:\n"
              "  Diametro Final da rosca [mm] ... 16.806     flanco 18.164 a 18.334\n"
              "  Diametro Inicial da rosca [mm] . 19.791     maior 19.623 a 19.958\n");
}

TEST(MedidasMetrica, PassoGrossoImplicitoVirgulaMaiusculasEBrancos) {
    const std::string grosso = relatorio("M20");
    EXPECT_NE(grosso.find("Rosca M20: metrica"), std::string::npos);
    EXPECT_NE(grosso.find("Passo grosso da ISO 261: 2.5 mm.\n"), std::string::npos);
    const std::string explicito = relatorio(" m 20 X 2.5 ");
    EXPECT_EQ(grosso.substr(grosso.find("\nPerfil")), explicito.substr(explicito.find("\nPerfil")));

    const std::string fino = relatorio("M20x1,5");
    EXPECT_EQ(fino, relatorio("m20X1.5"));
    EXPECT_NE(fino.find("Rosca M20x1.5: metrica ISO, perfil de 60 graus (ISO 68-1)\nPasso fino da ISO 261.\n"),
              std::string::npos);
    EXPECT_EQ(valor(fino, "Diametro de flanco"), "19.026");
    EXPECT_EQ(valor(fino, "Diametro menor do furo"), "18.376");
    EXPECT_EQ(respostas(fino, interna), "20 / 18.5 / 1.5");
    EXPECT_EQ(respostas(fino, externa), "18.16 / 20 / 1.5");
}

TEST(MedidasMetrica, OutrosTamanhosConferemComATabelaDaNorma) {
    // Pitch and minor diameters as ISO 724 tabulates them.
    const std::string m8 = relatorio("M8x1");
    EXPECT_EQ(valor(m8, "Diametro de flanco"), "7.350");
    EXPECT_EQ(valor(m8, "Diametro menor do furo"), "6.917");
    const std::string m64 = relatorio("M64");
    EXPECT_EQ(valor(m64, "Diametro de flanco"), "60.103");
    EXPECT_EQ(valor(m64, "Diametro menor do furo"), "57.505");
    EXPECT_EQ(respostas(m64, externa), "56.639 / 64 / 6");
    EXPECT_EQ(respostas(relatorio("M1"), interna), "1 / 0.75 / 0.25");
    // H = 17.3205 exactly: a half is rounded up, never lost in binary.
    EXPECT_EQ(valor(relatorio("M80x20"), "Altura do triangulo H"), "17.321");
}

TEST(MedidasMetrica, ForaDaNormaSaiDoPerfilComAviso) {
    const std::string passo = relatorio("M20x3");
    EXPECT_NE(passo.find("Atencao: passo 3 nao normalizado; medidas pelo perfil basico.\n"
                         "ISO 261 para M20: grosso 2.5; finos 2, 1.5, 1.\n"),
              std::string::npos);
    EXPECT_EQ(valor(passo, "Diametro de flanco"), "18.051");
    EXPECT_EQ(respostas(passo, interna), "20 / 17 / 3");
    EXPECT_NE(passo.find("3          fora da ISO 261"), std::string::npos);

    const std::string tamanho = relatorio("M21x1.5");
    EXPECT_NE(tamanho.find("Atencao: M21 nao consta da ISO 261; medidas pelo perfil basico.\n"),
              std::string::npos);
    EXPECT_EQ(respostas(tamanho, externa), "19.16 / 21 / 1.5");
}

TEST(MedidasMetrica, ProfundidadeDoParafusoEAAlturaDoFileteSaoUmNumeroSo) {
    // 17/24 H of 3 mm is 1.8403: (24 - 20.319) / 2 rounded again would say 1.841.
    const std::string m24 = relatorio("M24x3");
    EXPECT_EQ(valor(m24, "Altura do filete do parafuso"), "1.840");
    EXPECT_NE(m24.find("(Passo Lateral: profundidade radial de 1.840 mm)\n"), std::string::npos);
}

TEST(MedidasMao, LhPedeEsquerdaNoDialogoEmCadaFamilia) {
    const std::pair<const char*, const char*> casos[] = {
        {"M20x2.5LH", "Rosca M20x2.5-LH: metrica"},
        {"m20x2.5 - lh", "Rosca M20x2.5-LH: metrica"},
        {"M20 LH", "Rosca M20-LH: metrica"},
        {"1/4-20 UNC LH", "Rosca 1/4-20 UNC-LH: unificada"},
        {"1/4-20LH", "Rosca 1/4-20 UNC-LH: unificada"},
        {"G1/2 LH", "Rosca G1/2 LH: tubo"},
    };
    for (const auto& [designacao, cabecalho] : casos) {
        const std::string t = relatorio(designacao);
        EXPECT_EQ(t.rfind(cabecalho, 0), 0u) << t;
        // Once for the hole, once for the screw.
        const std::string esquerda = "  Direita ou Esquerda [D / E] .... E          rosca esquerda (LH)\n";
        const std::size_t primeira = t.find(esquerda);
        ASSERT_NE(primeira, std::string::npos) << t;
        EXPECT_NE(t.find(esquerda, primeira + 1), std::string::npos) << t;
    }
    EXPECT_EQ(relatorio("M20x2.5").find("Direita ou Esquerda"), std::string::npos);
}

TEST(MedidasTubo, ClassesAEBDoParafuso) {
    const std::string a = relatorio("G3/4A");
    EXPECT_NE(a.find("Rosca G3/4 A: tubo BSP paralela"), std::string::npos);
    EXPECT_NE(a.find("\nClasse A: tolerancia apertada no flanco do parafuso"), std::string::npos);
    const std::string b = relatorio("g 3/4 b");
    EXPECT_NE(b.find("Rosca G3/4 B: tubo BSP paralela"), std::string::npos);
    EXPECT_NE(b.find("\nClasse B: tolerancia larga no flanco do parafuso"), std::string::npos);
    // The class changes no figure of the profile, nor the drill.
    const std::string sem = relatorio("G3/4");
    EXPECT_EQ(a.substr(a.find("\nPerfil"), a.find("\nClasse A (") - a.find("\nPerfil")),
              sem.substr(sem.find("\nPerfil"), sem.find("\nSem classe") - sem.find("\nPerfil")));
    EXPECT_NE(relatorio("G3/4B-LH").find("Rosca G3/4 B LH:"), std::string::npos);
}

// "min max" of the limits row `rotulo` ("Furo 6H, diametro de flanco"), the
// columns joined by one blank: "9.026 9.206", or inches then mm for Unified.
std::string limites(const std::string& texto, const std::string& rotulo) {
    std::size_t i = texto.find("\n  " + rotulo + " ");
    if (i == std::string::npos) return rotulo + ": nao achado";
    i = texto.find_first_not_of(" .", i + 3 + rotulo.size());
    std::string colunas;
    for (char c : texto.substr(i, texto.find('\n', i) - i))
        if (c != ' ' || (!colunas.empty() && colunas.back() != ' ')) colunas += c;
    return colunas;
}

TEST(MedidasClasses, LimitesDaIso965ConferemComATabela) {
    const std::string m10 = relatorio("M10x1.5-6H/6g");
    EXPECT_EQ(m10.rfind("Rosca M10x1.5-6H/6g: metrica", 0), 0u);
    EXPECT_NE(m10.find("\nClasse 6H/6g (ISO 965-1, engate normal):\n"), std::string::npos);
    EXPECT_EQ(limites(m10, "Parafuso 6g, diametro maior"), "9.732 9.968");
    EXPECT_EQ(limites(m10, "Parafuso 6g, diametro de flanco"), "8.862 8.994");
    EXPECT_EQ(limites(m10, "Parafuso 6g, diametro menor"), "- 8.128");
    EXPECT_EQ(limites(m10, "Furo 6H, diametro maior"), "10.000 -");
    EXPECT_EQ(limites(m10, "Furo 6H, diametro de flanco"), "9.026 9.206");
    EXPECT_EQ(limites(m10, "Furo 6H, diametro menor"), "8.376 8.676");
    // The screw's class first, the nut's written first all the same.
    EXPECT_EQ(relatorio("M10x1.5-6g/6H"), m10);

    // ISO 965-2 and the ASME B1.13M tables: grades, positions, bands of size.
    const std::pair<std::pair<const char*, const char*>, const char*> casos[] = {
        {{"M20x2.5-6g", "Parafuso 6g, diametro maior"}, "19.623 19.958"},
        {{"M20x2.5-6g", "Parafuso 6g, diametro de flanco"}, "18.164 18.334"},
        {{"M20x2.5-6H", "Furo 6H, diametro de flanco"}, "18.376 18.600"},
        {{"M20x2.5-6H", "Furo 6H, diametro menor"}, "17.294 17.744"},
        {{"M3-4g6g", "Parafuso 4g6g, diametro de flanco"}, "2.607 2.655"},
        {{"M3-4g6g", "Parafuso 4g6g, diametro maior"}, "2.874 2.980"},
        {{"M6-4H", "Furo 4H, diametro de flanco"}, "5.350 5.445"},
        {{"M6-5H", "Furo 5H, diametro de flanco"}, "5.350 5.468"},
        {{"M6-4H", "Furo 4H, diametro menor"}, "4.917 5.067"},
        {{"M6x0.75-6e", "Parafuso 6e, diametro maior"}, "5.804 5.944"},
        {{"M8x1-6f", "Parafuso 6f, diametro de flanco"}, "7.198 7.310"},
        {{"M5-6G", "Furo 6G, diametro de flanco"}, "4.504 4.629"},
        {{"M12x1.25-6H", "Furo 6H, diametro de flanco"}, "11.188 11.368"},
        {{"M36-6g", "Parafuso 6g, diametro maior"}, "35.465 35.940"},
        {{"M48-6H", "Furo 6H, diametro de flanco"}, "44.752 45.087"},
        {{"M64-6g", "Parafuso 6g, diametro de flanco"}, "59.743 60.023"},
    };
    for (const auto& [caso, esperado] : casos)
        EXPECT_EQ(limites(relatorio(caso.first), caso.second), esperado) << caso.first << ", " << caso.second;
}

TEST(MedidasClasses, LimitesDaAsmeB11ConferemComATabela) {
    const std::string meio = relatorio("1/2-13 UNC-2B");
    EXPECT_EQ(limites(meio, "Furo 2B, diametro de flanco"), "0.4500 0.4565 11.430 11.595");
    // Four decimals in inches everywhere; the 2B minor limits are thousandths from #6 on.
    EXPECT_EQ(limites(meio, "Furo 2B, diametro menor"), "0.4170 0.4340 10.592 11.024");
    EXPECT_EQ(meio.find("Parafuso"), std::string::npos);
    const std::string a = relatorio("1/2-13 UNC-2A");
    EXPECT_EQ(limites(a, "Parafuso 2A, diametro maior"), "0.4876 0.4985 12.385 12.662");
    EXPECT_EQ(limites(a, "Parafuso 2A, diametro de flanco"), "0.4435 0.4485 11.265 11.392");
    const std::pair<std::pair<const char*, const char*>, const char*> casos[] = {
        {{"1/4-20 UNC-2B", "Furo 2B, diametro de flanco"}, "0.2175 0.2224 5.525 5.649"},
        {{"1/4-20 UNC-2A", "Parafuso 2A, diametro maior"}, "0.2408 0.2489 6.116 6.322"},
        {{"#10-24 UNC-2B", "Furo 2B, diametro menor"}, "0.1450 0.1560 3.683 3.962"},
        {{"3/8-24 UNF-2B", "Furo 2B, diametro de flanco"}, "0.3479 0.3528 8.837 8.961"},
        // The smallest minor diameter is tabulated to thousandths for 3B too.
        {{"1/2-13 UNC-3B", "Furo 3B, diametro menor"}, "0.4170 0.4284 10.592 10.881"},
        {{"1/2-13 UNC-1A", "Parafuso 1A, diametro maior"}, "0.4822 0.4985 12.248 12.662"},
        {{"1/2-13 UNC-3A", "Parafuso 3A, diametro de flanco"}, "0.4463 0.4500 11.336 11.430"},
    };
    for (const auto& [caso, esperado] : casos)
        EXPECT_EQ(limites(relatorio(caso.first), caso.second), esperado) << caso.first << ", " << caso.second;
}

TEST(MedidasClasses, BrocaMaisPertoDoMeioDoMenor) {
    const std::pair<const char*, const char*> casos[] = {
        {"M10", "8.5 mm\n"},  {"M20x2.5", "17.5 mm\n"}, {"M12x1.25", "10.8 mm\n"},
        {"M6", "5.0 mm\n"},   {"1/4-20", "#7 = 5.105 mm (0.2010 pol)\n"},
        {"3/8-24", "Q = 8.433 mm (0.3320 pol)\n"}, {"1/2-13", "27/64 = 10.716 mm (0.4219 pol)\n"},
    };
    for (const auto& [designacao, broca] : casos) {
        const std::string t = relatorio(designacao);
        EXPECT_NE(t.find(std::string("\nBroca para o furo: ") + broca), std::string::npos) << designacao << "\n" << t;
    }
    // One drill per report; the size-less-pitch rule beside it, as information only.
    const std::string fino = relatorio("M12x1.25");
    EXPECT_NE(fino.find("\nBroca para o furo: 10.8 mm\n"
                        "  dentro do menor do furo 6H: 10.647 a 10.912 mm\n"
                        "  (regra D - P: 10.75 mm, so como referencia)\n"),
              std::string::npos)
        << fino;
    EXPECT_EQ(fino.find("Broca", fino.find("Broca") + 1), std::string::npos);
    EXPECT_EQ(respostas(fino, interna), "12 / 10.8 / 1.25");
}

TEST(MedidasClasses, RespostasNoMeioDasFaixas) {
    // Without a class: the lines of the basic profile as before, then 6H/6g.
    const std::string m20 = relatorio("M20x2.5");
    EXPECT_NE(m20.find("\nSem classe na designacao: 6H/6g, as mais comuns (ISO 965-1, engate normal):\n"),
              std::string::npos);
    const std::string meio = m20.substr(m20.find("Respostas no meio"));
    // 18.488 + 3/8 sqrt(3) 2.5 = 20.1118; 18.249 - 2.5 / sqrt(3) = 16.8056.
    EXPECT_EQ(respostas(meio, "Furo 6H:"), "20.112 / 17.5 / Passo da rosca: nao achado");
    EXPECT_EQ(respostas(meio, "Parafuso 6g:"), "16.806 / 19.791 / Passo da rosca: nao achado");
    const std::string un = relatorio("1/2-13 UNC");
    EXPECT_NE(un.find("\nSem classe na designacao: 2B/2A, as mais comuns (ASME B1.1):\n"), std::string::npos);
    // Only the side typed.
    const std::string furo = relatorio("M20x2.5-6H");
    EXPECT_EQ(furo.find("Parafuso 6g"), std::string::npos);
    EXPECT_EQ(furo.rfind("Rosca M20x2.5-6H: metrica", 0), 0u);
    EXPECT_EQ(furo.substr(furo.find("\nPerfil"), furo.find("\nClasse") - furo.find("\nPerfil")),
              m20.substr(m20.find("\nPerfil"), m20.find("\nSem classe") - m20.find("\nPerfil")));
}

TEST(MedidasUnificada, SeriesTamanhosNumeradosEFracoesMistas) {
    const std::string quarto = relatorio("1/4-20 UNC");
    EXPECT_NE(quarto.find("Rosca 1/4-20 UNC: unificada (ASME B1.1), perfil de 60 graus\n"
                          "1/4 pol = 6.350 mm; 20 fios por polegada.\nPasso da serie UNC.\n"),
              std::string::npos);
    EXPECT_EQ(valor(quarto, "Diametro de flanco"), "5.525");
    EXPECT_EQ(respostas(quarto, interna), "6.35 / 5.105 / 1.27");
    // The UNR root: 1.19078493 P under the major diameter.
    EXPECT_EQ(respostas(quarto, externa), "4.838 / 6.35 / 1.27");
    EXPECT_NE(quarto.find("1.27       25.4 / 20 fios por polegada\n"), std::string::npos);
    EXPECT_EQ(relatorio("1/4 unc"), quarto);
    EXPECT_EQ(relatorio(" 1/4 - 20 "), quarto);

    const std::string dez = relatorio("#10-32 UNF");
    EXPECT_NE(dez.find("#10 (0.190 pol) = 4.826 mm; 32 fios por polegada.\nPasso da serie UNF.\n"),
              std::string::npos);
    EXPECT_EQ(valor(dez, "Diametro de flanco"), "4.310");
    EXPECT_EQ(respostas(dez, interna), "4.826 / 4.039 / 0.79375");

    // The pitch is typed to the millionth: three decimals would drift along the thread.
    const std::string misto = relatorio("1 1/4-7");
    EXPECT_NE(misto.find("Rosca 1 1/4-7 UNC:"), std::string::npos);
    EXPECT_EQ(valor(misto, "Diametro de flanco"), "29.393");
    EXPECT_EQ(respostas(misto, interna), "31.75 / 28.178 / 3.628571");

    const std::string meio = relatorio("1/2-13");
    EXPECT_NE(meio.find("Rosca 1/2-13 UNC:"), std::string::npos);
    EXPECT_EQ(valor(meio, "Diametro de flanco"), "11.431");
    EXPECT_EQ(valor(meio, "Passo P"), "1.954");
    EXPECT_EQ(respostas(meio, externa), "10.373 / 12.7 / 1.953846");
    EXPECT_NE(relatorio("2-4.5").find("Rosca 2-4.5 UNC:"), std::string::npos);
}

TEST(MedidasUnificada, PassoOuMedidaForaDasSeries) {
    EXPECT_NE(relatorio("1/4-20 UNF").find("Atencao: passo fora da serie UNF; medidas pelo perfil basico.\n"
                                           "ASME B1.1 para 1/4: UNC 20, UNF 28, UNEF 32.\n"),
              std::string::npos);
    EXPECT_NE(relatorio("1/4-18").find("Rosca 1/4-18: unificada"), std::string::npos);
    EXPECT_NE(relatorio("1/4-18").find("Atencao: passo fora das series UNC, UNF e UNEF;"), std::string::npos);
    EXPECT_NE(relatorio("5/32-32").find("Atencao: medida fora das series UNC, UNF e UNEF;"), std::string::npos);
    EXPECT_NE(relatorio("1-8 UN").find("Passo da serie UNC."), std::string::npos);
}

TEST(MedidasTubo, TamanhosDaIso228) {
    const std::string meio = relatorio("G1/2");
    EXPECT_NE(meio.find("Rosca G1/2: tubo BSP paralela (ISO 228-1), perfil Whitworth\n"
                        "14 fios por polegada; flancos de 55 graus: use fresa de 55 graus.\n"),
              std::string::npos);
    EXPECT_EQ(valor(meio, "Diametro de flanco"), "19.793");
    EXPECT_EQ(valor(meio, "Altura do filete h"), "1.162");
    // The drill inside the nut's minor diameter band, 18.631 to 19.172.
    EXPECT_NE(meio.find("\nBroca para o furo: 18.9 mm\n  dentro do menor do furo: 18.631 a 19.172 mm\n"),
              std::string::npos);
    EXPECT_EQ(respostas(meio, interna), "20.955 / 18.9 / 1.814286");
    EXPECT_EQ(respostas(meio, externa), "18.631 / 20.955 / 1.814286");
    EXPECT_EQ(relatorio("g 1/2"), meio);

    const std::string misto = relatorio("G 1 1/4");
    EXPECT_NE(misto.find("Rosca G1 1/4:"), std::string::npos);
    EXPECT_EQ(respostas(misto, interna), "41.91 / 39.3 / 2.309091");
    EXPECT_EQ(respostas(misto, externa), "38.952 / 41.91 / 2.309091");
    EXPECT_EQ(respostas(relatorio("G1/16"), interna), "7.723 / 6.7 / 0.907143");
    EXPECT_EQ(respostas(relatorio("G6"), externa), "160.872 / 163.83 / 2.309091");
}

// "pol mm" of the NPT row `rotulo`.
std::string npt(const std::string& texto, const std::string& rotulo) { return limites(texto, rotulo); }

TEST(MedidasConica, NptNoPlanoDeCalibreENaPontaDoTubo) {
    const std::string meio = relatorio("1/2 NPT");
    const std::string com_fios = relatorio("1/2-14 npt");
    EXPECT_EQ(meio.substr(meio.find('\n')), com_fios.substr(com_fios.find('\n')));
    EXPECT_EQ(meio.rfind("Rosca 1/2 NPT: tubo conica NPT (ASME B1.20.1), perfil de 60 graus\n", 0), 0u);
    EXPECT_EQ(npt(meio, "E0, flanco na ponta do tubo"), "0.75843 19.264");
    EXPECT_EQ(npt(meio, "E1, flanco no plano de calibre"), "0.77843 19.772");
    EXPECT_EQ(npt(meio, "L1, aperto manual"), "0.32000 8.128");
    EXPECT_EQ(npt(meio, "Altura do filete h = 0.8 P"), "0.05714 1.451");
    // Inside, the major diameter at the face; outside, at the pipe's end.
    EXPECT_EQ(respostas(meio, "Rosca interna"), "21.224 / 17.463 / 1.814286");
    EXPECT_NE(meio.find("17.463     broca 11/16: menor no fim de L2\n"), std::string::npos);
    EXPECT_EQ(respostas(meio, "Rosca externa"), "17.813 / 20.716 / 1.814286");
    EXPECT_NE(meio.find("calibres L1 (tampao e anel), nao por diametros"), std::string::npos);

    const std::pair<const char*, const char*> casos[] = {
        {"1/8 NPT", "0.37360 9.489"}, {"1 NPT", "1.23863 31.461"}, {"2 NPT", "2.29627 58.325"},
        {"4 NPT", "4.38712 111.433"},
    };
    for (const auto& [designacao, e1] : casos)
        EXPECT_EQ(npt(relatorio(designacao), "E1, flanco no plano de calibre"), e1) << designacao;
    EXPECT_NE(relatorio("1 NPT").find("11.5 fios por polegada;"), std::string::npos);
}

TEST(MedidasConica, Iso7RRcERp) {
    const std::string r = relatorio("R 1/2");
    EXPECT_EQ(r.rfind("Rosca R 1/2: tubo ISO 7-1 (R: parafuso conico), perfil Whitworth\n", 0), 0u);
    EXPECT_EQ(valor(r, "Passo P", "Plano"), "1.814");
    EXPECT_EQ(valor(r, "Diametro maior", "Plano"), "20.955");
    EXPECT_EQ(valor(r, "Diametro de flanco", "Plano"), "19.793");
    EXPECT_EQ(valor(r, "Diametro menor", "Plano"), "18.631");
    EXPECT_EQ(valor(r, "Comprimento de calibre", "Plano"), "8.200");
    // 8.2 mm back along 1:16: 0.5125 mm less on the diameter.
    EXPECT_EQ(respostas(r, "Rosca externa"), "18.119 / 20.443 / 1.814286");
    EXPECT_EQ(r.find("Rosca interna"), std::string::npos);
    EXPECT_NE(r.find("calibres da ISO 7-2"), std::string::npos);

    const std::string rc = relatorio("rc1/2");
    EXPECT_EQ(respostas(rc, "Rosca interna"), "20.955 / 17.8 / 1.814286");
    EXPECT_EQ(rc.find("Rosca externa"), std::string::npos);
    const std::string rp = relatorio("Rp 1/2");
    EXPECT_NE(rp.find("(furo paralelo), respostas do dialogo sem --conica:"), std::string::npos);
    EXPECT_EQ(respostas(rp, "Rosca interna"), "20.955 / 18.7 / 1.814286");

    EXPECT_EQ(valor(relatorio("R 1"), "Comprimento de calibre", "Plano"), "10.400");
    EXPECT_EQ(respostas(relatorio("R 6"), "Rosca externa"), "159.085 / 162.043 / 2.309091");
    EXPECT_NE(relatorio("Rc 1/4 LH").find("Rosca Rc 1/4 LH:"), std::string::npos);
}

// Rounds a / b to the nearest integer, halves to even, as ASME B1.20.1 does.
std::int64_t par(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b, r = a % b;
    return 2 * r > b || (2 * r == b && q % 2 != 0) ? q + 1 : q;
}

TEST(MedidasTabelas, NptPelasFormulasDaNorma) {
    for (const auto& m : tabela_npt()) {
        const std::int64_t n = m.fios_decimos, d = m.d_cem_milesimos;
        // E0 = D - (0.05 D + 1.1) P, E1 = E0 + L1 / 16, L2 = (0.8 D + 6.8) P.
        const std::int64_t e0 = 2 * n * d - (d + 2200000);
        EXPECT_EQ(m.e0_cem_milesimos, par(e0, 2 * n)) << m.nome;
        EXPECT_EQ(m.e1_cem_milesimos, par(8 * e0 + 10 * n * m.l1_dez_milesimos, 16 * n)) << m.nome;
        EXPECT_EQ(m.l2_dez_milesimos, par(8 * d + 6800000, 10 * n)) << m.nome;
    }
    for (const auto& m : tabela_iso7()) {
        EXPECT_NE(procurar_iso228(m.medida_upol), nullptr) << m.nome;
        EXPECT_GT(m.util_um, m.calibre_um) << m.nome;
    }
}

TEST(MedidasTabelas, DadosCoerentesEntreSi) {
    for (const auto& m : tabela_iso228()) {
        // Pitch and minor diameters lie one thread depth h = 0.640327 P apart.
        const std::int64_t h = arredondar(25400LL * 640327, 1000000LL * m.fios_por_polegada);
        EXPECT_EQ(m.maior_um - m.flanco_um, h) << m.nome;
        EXPECT_EQ(m.flanco_um - m.menor_um, h) << m.nome;
    }
    std::int32_t anterior = 0;
    for (const auto& m : tabela_iso261()) {
        EXPECT_GT(m.diametro_um, anterior);
        anterior = m.diametro_um;
        std::int32_t maior = m.passo_grosso_um != 0 ? m.passo_grosso_um : 1000000;
        for (auto p : m.passos_finos_um) {
            if (p == 0) break;
            EXPECT_LT(p, maior) << m.diametro_um;
            maior = p;
        }
    }
    anterior = 0;
    for (const auto& m : tabela_unificada()) {
        EXPECT_GT(m.diametro_upol, anterior) << m.nome;
        anterior = m.diametro_upol;
        std::int16_t fios = 0;
        for (auto f : m.fios_decimos) {
            if (f == 0) continue;
            EXPECT_GT(f, fios) << m.nome;
            fios = f;
        }
    }
}

// Every size and pitch the tables list gives a report that fits the console
// and answers the dialogue would accept.
TEST(MedidasTabelas, CadaTamanhoDaNormaCabeEmOitentaColunas) {
    std::vector<std::string> designacoes;
    for (const auto& m : tabela_iso261()) {
        const std::string d = std::string("M").append(texto_enxuto(m.diametro_um, 3));
        if (m.passo_grosso_um != 0) designacoes.push_back(d);
        for (auto p : m.passos_finos_um)
            if (p != 0) designacoes.push_back(d + "x" + texto_enxuto(p, 3));
    }
    for (const auto& m : tabela_unificada())
        for (auto f : m.fios_decimos)
            if (f != 0) designacoes.push_back(std::string(m.nome) + "-" + texto_enxuto(f, 1));
    for (const auto& m : tabela_iso228()) designacoes.push_back(std::string("G") + m.nome);
    for (const auto& m : tabela_npt()) designacoes.push_back(std::string(m.nome) + " NPT");
    for (const auto& m : tabela_iso7())
        for (const char* r : {"R ", "Rc ", "Rp "}) designacoes.push_back(r + std::string(m.nome));

    for (const auto& d : designacoes) {
        const std::string t = relatorio(d);
        EXPECT_EQ(t.find("Atencao"), std::string::npos) << d;
        for (std::size_t i = 0, fim; i < t.size(); i = fim + 1) {
            fim = t.find('\n', i);
            ASSERT_NE(fim, std::string::npos) << d;
            EXPECT_LE(fim - i, 80u) << d << ": " << t.substr(i, fim - i);
        }
        for (char c : t) EXPECT_TRUE(c == '\n' || (c >= ' ' && c <= '~')) << d;
        // A taper R has no nut, an Rc no screw.
        if (t.find(interna) != std::string::npos) {
            EXPECT_LT(std::stod(valor(t, "Diametro Inicial", interna)), std::stod(valor(t, "Diametro Final", interna)))
                << d;
        }
        if (t.find(externa) != std::string::npos) {
            EXPECT_GT(std::stod(valor(t, "Diametro Inicial", externa)), std::stod(valor(t, "Diametro Final", externa)))
                << d;
        }
    }
}

TEST(MedidasRecusadas, UmaLinhaCurtaDizOQueEstaErrado) {
    const std::string muitos(1000, '9');
    const std::pair<std::string, std::string> casos[] = {
        {"M", "\"M\": falta o diametro depois de M"},
        {"Mx1", "\"Mx1\": falta o diametro depois de M"},
        {"M-5", "\"M-5\": falta o diametro depois de M"},
        {"20x", "\"20x\": rosca metrica comeca por M (ex.: M20x1.5)"},
        {"G1/3", "\"G1/3\": denominador invalido: use 2, 4, 8, 16, 32 ou 64"},
        {"G3/16", "\"G3/16\": tamanho fora da ISO 228-1 (de G1/16 a G6)"},
        {"", "designacao vazia (ex.: M20x2.5, 1/4-20 UNC, G1/2)"},
        {" \t", "designacao vazia (ex.: M20x2.5, 1/4-20 UNC, G1/2)"},
        {"M1e30", "\"M1e30\": texto a mais depois da designacao: \"e30\""},
        {"M1234567890", "\"M1234567890\": diametro: numero grande demais"},
        {"M" + muitos, "\"M999999999999999...\": designacao longa demais (mais de 64 caracteres)"},
        {"  1,4UNS      ", "\"1,4UNS\": serie UNS: informe os fios por polegada (ex.: 1-8 UN)"},
        {std::string("1/4-").append(40, '9'), "\"1/4-999999999999...\": fios por polegada: numero grande demais"},
        {"M20x", "\"M20x\": falta o passo depois de x"},
        {"M20x-2", "\"M20x-2\": passo negativo: o passo vai sem sinal (ex.: M20x2)"},
        {"M20x +2", "\"M20x +2\": passo com sinal: o passo vai sem sinal (ex.: M20x2)"},
        {"M20x2.5LHX", "\"M20x2.5LHX\": texto a mais depois da designacao: \"LHX\""},
        {"G3/4C", "\"G3/4C\": texto a mais depois da designacao: \"C\""},
        {"M20x1.2345", "\"M20x1.2345\": passo: casas decimais demais (no maximo 3)"},
        {"M20x0", "\"M20x0\": passo abaixo do minimo de 0.1 mm"},
        {"M20x6", "\"M20x6\": passo acima de 1/4 do diametro (no maximo 5 mm)"},
        {"M0.5", "\"M0.5\": diametro fora do alcance de 1 a 1000 mm"},
        {"M15", "\"M15\": sem passo grosso na ISO 261: informe o passo (M15xP)"},
        {"M21", "\"M21\": diametro fora da ISO 261: informe o passo (M21xP)"},
        {"1/4", "\"1/4\": faltam os fios por polegada (ex.: 1/4-20 UNC)"},
        {"1/4-0", "\"1/4-0\": zero fios por polegada"},
        {"1/4-300", "\"1/4-300\": mais de 254 fios por polegada: passo abaixo de 0.1 mm"},
        {"1/4-2", "\"1/4-2\": passo acima de 1/4 da medida"},
        {"1 5/4-7", "\"1 5/4-7\": fracao de polegada maior que 1 depois do inteiro"},
        {"#13-20", "\"#13-20\": medida numerada #13 (existem de #0 a #12)"},
        {"1/4-20 UNX", "\"1/4-20 UNX\": serie \"UNX\" desconhecida (UNC, UNF, UNEF, UN, UNS)"},
        {"1 3/4 UNF", "\"1 3/4 UNF\": medida sem passo UNF na ASME B1.1: informe os fios"},
        {"M20-6", "\"M20-6\": classe \"6\" incompleta: falta a posicao (ex.: 6H, 6g)"},
        {"M20x2.5-6X", "\"M20x2.5-6X\": posicao \"X\" desconhecida (G, H no furo; e, f, g, h no parafuso)"},
        {"M10-7g", "\"M10-7g\": grau 7 nao existe no diametro maior do parafuso (4, 6 ou 8)"},
        {"M10-3H", "\"M10-3H\": grau 3 fora de 4 a 8"},
        {"M10-5g6h", "\"M10-5g6h\": classe mal escrita: a mesma posicao duas vezes (ex.: 5H6H, 5g6g)"},
        {"M10-6H/6G", "\"M10-6H/6G\": duas classes de furo (ex.: 6H/6g)"},
        {"M1.6-6e", "\"M1.6-6e\": a ISO 965-1 nao da a posicao e para este passo"},
        {"M400x6-6H", "\"M400x6-6H\": diametro sem tolerancia na ISO 965-1 (de 1 a 355 mm)"},
        {"M21x1.7-6H", "\"M21x1.7-6H\": passo sem tolerancia na ISO 965-1"},
        {"1/2-13 UNC-4A", "\"1/2-13 ...\": classe 4A inexistente (1A, 2A, 3A no parafuso; 1B, 2B, 3B no furo)"},
        {"1/2-13 UNC-2", "\"1/2-13 UNC-2\": classe \"2\" incompleta: falta A (parafuso) ou B (furo)"},
        {"X1/2", "\"X1/2\": comece por M (metrica), G ou R (tubo) ou a medida em polegadas"},
        {"NPT", "\"NPT\": falta a medida antes de NPT (ex.: 1/2 NPT)"},
        {"1/3 NPT", "\"1/3 NPT\": denominador invalido: use 2, 4, 8, 16, 32 ou 64"},
        {"5 NPT", "\"5 NPT\": tamanho fora da ASME B1.20.1 (NPT de 1/16 a 4)"},
        {"1/2-18 NPT", "\"1/2-18 NPT\": 1/2 NPT tem 14 fios por polegada"},
        {"R", "\"R\": falta a medida depois de R (ex.: R 1/2, Rc 1/2, Rp 1/2)"},
        {"Rc 5/16", "\"Rc 5/16\": tamanho fora da ISO 7-1 (de 1/16 a 6)"},
        {std::string("M20\x01\xe9", 5), "\"M20??\": texto a mais depois da designacao: \"??\""},
    };
    for (const auto& [designacao, esperado] : casos) {
        const std::string e = erro(designacao);
        EXPECT_EQ(e, esperado);
        EXPECT_LE(e.size(), 80u) << e;
    }
}

}  // namespace
