// Designations as the standards and the shop floor write them: each form is
// the same thread as its plainer spelling, and a wrong one says what is wrong.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "medidas/medidas.hpp"

namespace {

std::string relatorio(std::string_view designacao) {
    std::string texto, erro;
    EXPECT_TRUE(relatorio_medidas(designacao, texto, erro)) << designacao << ": " << erro;
    return texto;
}

std::string erro(std::string_view designacao) {
    std::string texto, e;
    EXPECT_FALSE(relatorio_medidas(designacao, texto, e)) << designacao;
    return e;
}

TEST(MedidasDesignacoes, HifensEFracoesDasNormasSaoAMesmaRosca) {
    const std::pair<const char*, const char*> iguais[] = {
        {"G1/2-A", "G1/2 A"},
        {"G3/4-B", "G3/4B"},
        {"g 3/4 - b", "G3/4 B"},
        {"1-1/4-7 UNC", "1 1/4-7 UNC"},
        {"G1-1/4", "G 1 1/4"},
        {"1-1/4 NPT", "1 1/4 NPT"},
        {"2-4 1/2 UNC-2A", "2-4.5 UNC-2A"},
        {"2 - 4 1/2", "2-4.5"},
    };
    for (const auto& [forma, simples] : iguais) {
        const std::string a = relatorio(forma), b = relatorio(simples);
        EXPECT_EQ(a, b) << forma;
    }
    // Written back as each standard names it.
    EXPECT_EQ(relatorio("G1/2-A").rfind("Rosca G1/2 A: tubo", 0), 0u);
    EXPECT_EQ(relatorio("1-1/4-7 UNC").rfind("Rosca 1 1/4-7 UNC: unificada", 0), 0u);
    EXPECT_EQ(relatorio("2-4 1/2 UNC-2A").rfind("Rosca 2-4.5 UNC-2A: unificada", 0), 0u);
}

TEST(MedidasDesignacoes, GrupoDeEngateDaIso965) {
    const std::string curto = relatorio("M6x0.75-5h6h-S-LH");
    EXPECT_EQ(curto.rfind("Rosca M6x0.75-5h6h-S-LH: metrica", 0), 0u) << curto;
    EXPECT_NE(curto.find("\nClasse 5h6h (ISO 965-1, engate curto S):\n"), std::string::npos) << curto;
    EXPECT_NE(curto.find("Direita ou Esquerda [D / E] .... E"), std::string::npos);
    // The group picks the class; the limits are the class's.
    const std::string normal = relatorio("M6x0.75-5h6h");
    EXPECT_EQ(curto.substr(curto.find("  Parafuso 5h6h, diametro maior")),
              normal.substr(normal.find("  Parafuso 5h6h, diametro maior")));

    const std::string longo = relatorio("m12-6G-l");
    EXPECT_EQ(longo.rfind("Rosca M12-6G-L: metrica", 0), 0u) << longo;
    EXPECT_NE(longo.find("(ISO 965-1, engate longo L)"), std::string::npos);
    EXPECT_EQ(relatorio("M12-6g-N").rfind("Rosca M12-6g-N:", 0), 0u);
}

// "min max" of a limits row.
std::string limites(const std::string& texto, const std::string& rotulo) {
    std::size_t i = texto.find("\n  " + rotulo + " ");
    if (i == std::string::npos) return rotulo + ": nao achado";
    i = texto.find_first_not_of(" .", i + 3 + rotulo.size());
    std::string colunas;
    for (char c : texto.substr(i, texto.find('\n', i) - i))
        if (c != ' ' || (!colunas.empty() && colunas.back() != ' ')) colunas += c;
    return colunas;
}

TEST(MedidasDesignacoes, GrausTresENoveDoFlancoDoParafuso) {
    // ISO 965-1: grade 3 is half of grade 6, grade 9 twice, on the R40
    // series; M10x1.5 6g has Td2 132 um, so 3h has 67 and 9g 265. The major
    // diameter's grades 4 and 8: 150 and 375 um.
    const std::string fino = relatorio("M10-3h4h");
    EXPECT_EQ(limites(fino, "Parafuso 3h4h, diametro de flanco"), "8.959 9.026");
    EXPECT_EQ(limites(fino, "Parafuso 3h4h, diametro maior"), "9.850 10.000");
    const std::string grosso = relatorio("M10-9g8g");
    EXPECT_EQ(limites(grosso, "Parafuso 9g8g, diametro de flanco"), "8.729 8.994");
    EXPECT_EQ(limites(grosso, "Parafuso 9g8g, diametro maior"), "9.593 9.968");
}

TEST(MedidasDesignacoes, OErradoDizOQueEstaErrado) {
    const std::pair<const char*, const char*> casos[] = {
        {"G1/2-C", "\"G1/2-C\": classe \"C\" do tubo desconhecida: A ou B no parafuso (ex.: G1/2 A)"},
        {"M12-L", "\"M12-L\": engate S, N ou L so depois da classe (ex.: M12-6g-L)"},
        {"M12-6g-X", "\"M12-6g-X\": texto a mais depois da designacao: \"-X\""},
        {"2-4 1/3 UNC", "\"2-4 1/3 UNC\": fios por polegada em fracao: so meio (ex.: 2-4 1/2 UNC)"},
        {"2-4.5 1/2", "\"2-4.5 1/2\": fios por polegada com decimais e fracao juntos"},
        {"M10-2h4h", "\"M10-2h4h\": grau 2 fora de 3 a 9 no flanco do parafuso"},
        {"M10-9H", "\"M10-9H\": grau 9 fora de 4 a 8"},
        {"M10-3h", "\"M10-3h\": grau 3 nao existe no diametro maior do parafuso (4, 6 ou 8)"},
        {"M10-10g", "\"M10-10g\": grau com dois algarismos: o grau e um so (ex.: 6g, 5g6g)"},
        {"1/2-13 UNC-22B", "\"1/2-13 UNC-22B\": classe com dois algarismos (1A a 3A, 1B a 3B)"},
        {"1-1/3-7", "\"1-1/3-7\": denominador invalido: use 2, 4, 8, 16, 32 ou 64"},
        {"G1-5/4", "\"G1-5/4\": fracao de polegada maior que 1 depois do inteiro"},
    };
    for (const auto& [designacao, esperado] : casos) {
        const std::string e = erro(designacao);
        EXPECT_EQ(e, esperado);
        EXPECT_LE(e.size(), 80u) << e;
    }
}

}  // namespace
