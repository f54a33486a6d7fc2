// The text helper the report and the picture share: lines within a width,
// words kept whole where they fit, cut where a word is longer than a line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nucleo/texto.hpp"

namespace {

TEST(VisualizarTexto, QuebraEmPalavrasComMargemELinhasSemEla) {
    const std::string texto = "linha 83: ponto a 2.8537 mm do eixo; o passe (linha 83) esta a 2.8996 mm";
    EXPECT_EQ(quebrar(texto, 5, 40),
              "     linha 83: ponto a 2.8537 mm do\n"
              "     eixo; o passe (linha 83) esta a\n"
              "     2.8996 mm\n");
    // The picture's lines are the console's, without margin or line breaks.
    EXPECT_EQ(linhas_quebradas(texto, 35),
              (std::vector<std::string>{"linha 83: ponto a 2.8537 mm do", "eixo; o passe (linha 83) esta a",
                                        "2.8996 mm"}));
    // A word longer than a line is cut; an empty text is one empty line.
    EXPECT_EQ(linhas_quebradas(std::string(25, 'x'), 10),
              (std::vector<std::string>{std::string(10, 'x'), std::string(10, 'x'), std::string(5, 'x')}));
    EXPECT_EQ(quebrar("", 2), "\n");
    EXPECT_EQ(linhas_quebradas("", 10), std::vector<std::string>{""});
}

}  // namespace
