// Nearly every line of a file is a chord. Read in large blocks and fed a
// byte at a time: the same report, picture and failures at the same lines,
// for the ways of cutting whose helix ends inside a run of chords, intact and
// with a chord moved; a moved chord fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"
#include "visualizar/desenho_svg.hpp"

namespace {

// The failures of `bytes`, then its report and picture.
std::string tudo(const std::string& bytes, std::string& falhas, std::size_t bloco = LeitorLinhas::bloco_padrao) {
    const auto a = analisar_bytes(bytes, bloco);
    falhas = falhas_por_linha(*a);
    return falhas + relatorio_de(*a, "r") + desenhar_svg(*a, "r");
}

// The `n`-th chord line (from 1) with `d` added to its X, or to its Z.
std::string mudar_corda(const std::string& arquivo, int n, double d, bool em_z) {
    std::size_t inicio = 0;
    for (;;) {
        inicio = arquivo.find("\ng01 x", inicio);
        if (inicio == std::string::npos) return arquivo;
        ++inicio;
        if (--n == 0) break;
    }
    const std::size_t fim = arquivo.find('\n', inicio);
    const std::size_t letra = arquivo.find(em_z ? " z" : " x", inicio) + 2;
    const std::size_t depois = arquivo.find_first_of(" \r\n", letra);
    char v[32];
    std::snprintf(v, sizeof v, "%.3f", std::stod(arquivo.substr(letra, depois - letra)) + d);
    EXPECT_LT(depois, fim + 1);
    return arquivo.substr(0, letra) + v + arquivo.substr(depois);
}

TEST(VisualizarCordas, EmBlocosGrandesComoByteAByte) {
    const char* const respostas = "I\n20\n17.5\n0.5\n0.1\n14\n12\n2.5\nD\n30\n1200\n150\n";
    for (const char* opcoes : {"", "--entrada-tangencial", "--entrada-tangencial --concordante", "--perfis 3",
                               "--conica", "--compensacao contorno"}) {
        const std::string arquivo = arquivo_gerado(opcoes, respostas);
        ASSERT_GT(arquivo.size(), 4000u) << opcoes;
        // A chord in the middle of a pass, near the end of one, early in the next and at the start.
        int mudada = 0;
        for (const std::string& bytes : {arquivo, mudar_corda(arquivo, 700, 0.05, false),
                                         mudar_corda(arquivo, 1439, 0.02, true), mudar_corda(arquivo, 1501, 0.05, false),
                                         mudar_corda(arquivo, 3, -0.04, true)}) {
            std::string falhas, falhas_uma_a_uma;
            const std::string juntas = tudo(bytes, falhas);
            const std::string uma_a_uma = tudo(bytes, falhas_uma_a_uma, 1);
            EXPECT_EQ(falhas, falhas_uma_a_uma) << opcoes;
            EXPECT_TRUE(juntas == uma_a_uma) << opcoes << ": the report or the picture differs";
            // The chord at the start may be a way's, which nothing checks that closely.
            if (mudada++ < 4) {
                EXPECT_EQ(falhas.empty(), bytes == arquivo) << opcoes << " " << mudada << "\n" << falhas;
            }
        }
    }
}

}  // namespace
