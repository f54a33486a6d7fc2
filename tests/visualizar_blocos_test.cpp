// Where a block boundary falls must not show: the report and the picture of
// a file read in blocks of a few bytes are those of the default block.
#include <gtest/gtest.h>

#include "apoio/visualizacao.hpp"
#include "visualizar/desenho_svg.hpp"

namespace {

TEST(VisualizarBlocos, RelatorioEImagemNaoDependemDoTamanhoDoBloco) {
    const std::string interna = arquivo_do_gerador("I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n");
    const std::string externa = arquivo_do_gerador("E\n20\n24\n0.5\n0.2\n10\n2\n1\nE\n30.5\n1000\n200\n");
    std::string lixo = interna;
    for (std::size_t i = 1000; i < lixo.size(); i += 997) lixo[i] = static_cast<char>(i * 131);
    std::string binario(20000, '\0');
    for (std::size_t i = 0; i < binario.size(); ++i) binario[i] = static_cast<char>((i * 2654435761u) >> 13);
    const std::string casos[] = {
        interna,
        externa,
        lixo,                                            // bytes changed here and there
        binario,                                         // no G-code at all
        std::string(9000, 'x') + "\r\n" + interna,       // a line longer than any block
        interna.substr(0, interna.size() / 2),           // cut in the middle of a line
        interna + std::string(5000, 'y'),                // ends in a long line without a line end
    };
    for (const std::string& bytes : casos) {
        const auto base = analisar_bytes(bytes);
        const std::string relatorio = relatorio_de(*base, "f.tap");
        const std::string svg = desenhar_svg(*base, "f.tap");
        for (std::size_t bloco : {1, 2, 3, 7, 64, 4095, 4097}) {
            const auto a = analisar_bytes(bytes, bloco);
            EXPECT_EQ(relatorio_de(*a, "f.tap"), relatorio) << "bloco " << bloco;
            EXPECT_TRUE(desenhar_svg(*a, "f.tap") == svg) << "bloco " << bloco;
        }
    }
}

}  // namespace
