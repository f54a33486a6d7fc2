#include "dialogue/dialogo_diametros.hpp"

#include <gtest/gtest.h>

#include "dialogo_esperado.hpp"
#include "trabalho/parada_critica.hpp"

namespace {

using namespace esperado;

Respondido responder(const std::string& respostas) { return responder_com(respostas, dialogo_diametros); }

TEST(DialogoDiametros, InternaComRecusasEmCadaPerguntaECorteDoPasso) {
    // A wrong key, an Enter, then lower-case 'i'; a bad token drops the rest of its line.
    Respondido r = responder("x\n\ni\n0\nabc 7\n20\n25\n16\n3\n2\n-1\n0\n4\n16\n15.96\n");
    EXPECT_EQ(r.parada, "");
    EXPECT_EQ(r.console,
              tipo + tipo_errado + tipo + tipo_errado + tipo + "\n" + furo + "\n" +
                  diametro_final +
                  "\aERRO! O diametro final da rosca deve ser maior que ZERO... --- tente novamente!\n" +
                  diametro_final + valor_invalido + diametro_final +
                  diametro_inicial +
                  "\aERRO! O diametro inicial da rosca deve ser menor que o diametro final... --- tente "
                  "novamente!\nD-inicial: (25.000)\nD-final: (20.000)\n" +
                  diametro_inicial +
                  passo + "\n" + passo_lateral +
                  "\a\n passo lateral = 3.00\a\n passo lateral = 2.00" +
                  acabamento +
                  "\aERRO! O passo lateral de acabamento (do filete) da rosca deve ser menor que o passo "
                  "lateral... (passo_lateral_acabamento = 2.00 ///// passo_lateral = 2.00) --- tente "
                  "novamente!\n" +
                  acabamento +
                  "\aERRO! O passo lateral de acabamento (do filete) da rosca deve ser maior que ZERO... "
                  "(-1.00) --- tente novamente!\n" +
                  acabamento + fim_dos_passos +
                  ferramenta +
                  "\aERRO! Passo Lateral deve ser menor que o Raio da ferramenta... --- tente "
                  "novamente!\nPasso Lateral: (2.000)\nRaio-ferramenta: (2.000)\n" +
                  ferramenta +
                  "\aERRO! Diametro da Ferramenta deve ser menor que o diametro inicial... --- tente "
                  "novamente!\nD-ferramenta: (16.000)\nD-inicial: (16.000)\n" +
                  ferramenta +
                  "(verificacao: D-ferramenta 16.0 < D-inicial 16.0 --- OK)\n(D-final 20.0)\n");
    EXPECT_EQ(r.d.tipo_rosca, 'i');
    EXPECT_EQ(r.d.Diametro_final, 20.0f);
    EXPECT_EQ(r.d.Diametro_inicial, 16.0f);
    EXPECT_EQ(r.d.passo_lateral, 2.0f);
    EXPECT_EQ(r.d.passo_lateral_acabamento, 2.0f);  // answered 0: no separate finishing pass
    EXPECT_EQ(r.d.D_ferramenta, 15.96f);
}

TEST(DialogoDiametros, ExternaComDiametroInicialIgualAoFinalNaoPerguntaPassos) {
    Respondido r = responder("E\n20\n18\n-1\n20\n-2\n0\n25\n");
    EXPECT_EQ(r.parada, "");
    EXPECT_EQ(r.console,
              tipo + "\n" + parafuso + "\n" + diametro_final + diametro_inicial +
                  "\aERRO! O diametro inicial da rosca deve ser maior que o diametro final... --- tente "
                  "novamente!\nD-inicial: (18.000)\nD-final: (20.000)\n" +
                  diametro_inicial +
                  "\aERRO! O diametro inicial da rosca deve ser maior que ZERO... --- tente novamente!\n" +
                  diametro_inicial +
                  "\aERRO! Diametro inicial = Diametro final... o programa DESABILITAR e CONTINUAR!\n\n" +
                  ferramenta +
                  "\aERRO! Diametro da Ferramenta n\xE3o pode ser NEGATIVO... --- tente "
                  "novamente!\nD-ferramenta: (-2.000)\n" +
                  ferramenta +
                  "\aERRO! Passo Lateral deve ser menor que o Raio da ferramenta... --- tente "
                  "novamente!\nPasso Lateral: (0.000)\nRaio-ferramenta: (0.000)\n" +
                  ferramenta + "(verificacao: --- OK)\n");
    EXPECT_EQ(r.d.tipo_rosca, 'E');
    EXPECT_EQ(r.d.Diametro_inicial, 0.0f);
    EXPECT_EQ(r.d.passo_lateral, 0.0f);
    EXPECT_EQ(r.d.passo_lateral_acabamento, 0.0f);
    EXPECT_EQ(r.d.D_ferramenta, 25.0f);  // larger than both diameters: fine outside
}

TEST(DialogoDiametros, ExternaComPassesVirgulaDecimalERespostasNaMesmaLinha) {
    // After a bad token at the radial step, only "\n" and its prompt come back, not the drawing.
    Respondido r = responder("e 20,5 24\r\n1.5x 9\r\n0\r\n1,5 0,5 3 3,5\r\n");
    EXPECT_EQ(r.parada, "");
    EXPECT_EQ(r.console,
              tipo + "\n" + parafuso + "\n" + diametro_final + diametro_inicial + passo + "\n" +
                  passo_lateral + valor_invalido + passo_lateral +
                  "\aERRO! O passo lateral (do filete) da rosca deve ser maior que ZERO... (0.00) --- "
                  "tente novamente!\n" +
                  passo_lateral + "(Passo lateral = 1.50\n" + acabamento + fim_dos_passos +
                  ferramenta +
                  "\aERRO! Passo Lateral deve ser menor que o Raio da ferramenta... --- tente "
                  "novamente!\nPasso Lateral: (1.500)\nRaio-ferramenta: (1.500)\n" +
                  ferramenta + "(verificacao: --- OK)\n");
    EXPECT_EQ(r.d.tipo_rosca, 'e');
    EXPECT_EQ(r.d.Diametro_final, 20.5f);
    EXPECT_EQ(r.d.Diametro_inicial, 24.0f);
    EXPECT_EQ(r.d.passo_lateral, 1.5f);
    EXPECT_EQ(r.d.passo_lateral_acabamento, 0.5f);
    EXPECT_EQ(r.d.D_ferramenta, 3.5f);
}

TEST(DialogoDiametros, InternaSemPassesLimitaAFerramentaPeloDiametroFinal) {
    Respondido r = responder("I\n-5\n20\n0\n20\n0\n19.5\n");
    EXPECT_EQ(r.parada, "");
    EXPECT_EQ(r.console,
              tipo + "\n" + furo + "\n" + diametro_final +
                  "\aERRO! O diametro final da rosca deve ser maior que ZERO... --- tente novamente!\n" +
                  diametro_final + diametro_inicial + ferramenta +
                  "\aERRO! Diametro da Ferramenta deve ser menor que o diametro final... --- tente "
                  "novamente!\nD-ferramenta: (20.000)\nD-final: (20.000)\n" +
                  ferramenta +
                  "\aERRO! Passo Lateral deve ser menor que o Raio da ferramenta... --- tente "
                  "novamente!\nPasso Lateral: (0.000)\nRaio-ferramenta: (0.000)\n" +
                  ferramenta +
                  "(verificacao: D-ferramenta 19.5 < D-final 20.0 --- OK)\n(D-inicial 0.0 --- DESABILITADO)\n");
    EXPECT_EQ(r.d.passo_lateral, 0.0f);
    EXPECT_EQ(r.d.passo_lateral_acabamento, 0.0f);
}

TEST(DialogoDiametros, PassoIgualAProfundidadeNaoEhCortado) {
    Respondido r = responder("I 20 16 2 1 5");
    EXPECT_NE(r.console.find(passo_lateral + "(Passo lateral = 2.00\n" + acabamento), std::string::npos);
    EXPECT_EQ(r.console.find("\a\n passo lateral"), std::string::npos);
    EXPECT_EQ(r.d.passo_lateral, 2.0f);
    EXPECT_EQ(r.d.passo_lateral_acabamento, 1.0f);
}

TEST(DialogoDiametros, ProfundidadeRadialEhComparadaEmDouble) {
    // The depth (1 - 1e-10) / 2 rounds to 0.5 in float but stays below it in
    // double, so a step of 0.5 is cut, and takes the depth rounded to float.
    Respondido r = responder("E 1e-10 1 0.5 0.25 2");
    EXPECT_EQ(r.parada, "");
    EXPECT_NE(r.console.find(passo_lateral + "\a\n passo lateral = 0.50\a\n passo lateral = 0.50" + acabamento),
              std::string::npos);
    EXPECT_EQ(r.d.passo_lateral, 0.5f);

    // A step above the depth of a narrow thread is cut to that depth.
    Respondido s = responder("I 20.1 20 1 0 0.5");
    EXPECT_NE(s.console.find("\a\n passo lateral = 1.00\a\n passo lateral = 0.05" + acabamento),
              std::string::npos);
    EXPECT_EQ(s.d.passo_lateral, static_cast<float>((static_cast<double>(20.1f) - 20.0) / 2));
    EXPECT_EQ(s.d.passo_lateral_acabamento, s.d.passo_lateral);
}

TEST(DialogoDiametros, FimDaEntradaParaSemPerguntarDeNovo) {
    for (const char* respostas : {"", "x", "I", "I 20", "I 20 16", "I 20 16 2", "I 20 16 2 0", "I 20 16 2 0 3"}) {
        Respondido r = responder(respostas);
        EXPECT_EQ(r.parada, entrada_encerrada) << respostas;
    }
}

}  // namespace
