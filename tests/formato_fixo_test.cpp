// The three-decimal formatter against printf itself, on the values where a
// shortcut would slip: ties, rounding boundaries, carries, signs, zeros,
// denormals, the edge of the fast range, huge and non-finite values.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "apoio/execucao.hpp"
#include "emissao/escrita.hpp"
#include "nucleo/formato_fixo.hpp"
#include "vocabulario/dialeto.hpp"

namespace {

std::string printf3(float v) {
    char texto[128];
    const int n = std::snprintf(texto, sizeof texto, "%0.3f", static_cast<double>(v));
    return std::string(texto, static_cast<std::size_t>(n));
}

std::string rapido(float v) {
    // Guard bytes after the room the formatter may use: it must not write past it.
    char texto[max_fixo3 + 8];
    std::memset(texto, '#', sizeof texto);
    const std::size_t n = formatar_fixo3(texto, v);
    EXPECT_LE(n, max_fixo3);
    EXPECT_EQ(std::string(texto + max_fixo3, 8), "########");
    return std::string(texto, n);
}

float de_bits(std::uint32_t bits) {
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// Compares every value and reports the first few that differ, with their bits.
void comparar(const std::vector<float>& valores) {
    int falhas = 0;
    for (float v : valores) {
        const std::string esperado = printf3(v);
        const std::string obtido = rapido(v);
        if (esperado != obtido && ++falhas <= 10) {
            std::uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            ADD_FAILURE() << "bits 0x" << std::hex << bits << ": printf " << esperado << ", rapido "
                          << obtido;
        }
    }
    EXPECT_EQ(falhas, 0) << "of " << valores.size() << " values";
}

// v and its neighbours, a few steps each way, with both signs.
void com_vizinhos(std::vector<float>& valores, float v, int passos = 3) {
    for (float s : {v, -v}) {
        float abaixo = s;
        float acima = s;
        valores.push_back(s);
        for (int i = 0; i < passos; ++i) {
            abaixo = std::nextafter(abaixo, -std::numeric_limits<float>::infinity());
            acima = std::nextafter(acima, std::numeric_limits<float>::infinity());
            valores.push_back(abaixo);
            valores.push_back(acima);
        }
    }
}

TEST(FormatoFixo3, ZerosSinaisNaoFinitosEExtremos) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    comparar({0.0f, -0.0f, inf, -inf, nan, -nan, FLT_MAX, -FLT_MAX, FLT_MIN, -FLT_MIN,
              std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min(),
              de_bits(0x007fffff), de_bits(0x807fffff), 1, -1, 5, -5, 0.1f, -0.1f});
    // The cases the tool path shows most: a negative value that rounds to zero keeps its sign.
    EXPECT_EQ(rapido(-0.0f), "-0.000");
    EXPECT_EQ(rapido(-0.0004f), "-0.000");
    EXPECT_EQ(rapido(0.0004f), "0.000");
    EXPECT_EQ(rapido(1.0f), "1.000");
    EXPECT_EQ(rapido(FLT_MAX), "340282346638528859811704183484516925440.000");
}

TEST(FormatoFixo3, EmpatesArredondamParaOParComoPrintf) {
    // A tie in the fourth decimal is an odd multiple of 1/16: the only halves of
    // a thousandth that binary floats hold.
    std::vector<float> valores;
    for (int inteiro = 0; inteiro < 4096; ++inteiro)
        for (int j = 1; j < 16; j += 2) valores.push_back(static_cast<float>(inteiro) + j / 16.0f);
    for (float v : std::vector<float>(valores)) valores.push_back(-v);
    comparar(valores);
    EXPECT_EQ(rapido(0.0625f), "0.062");
    EXPECT_EQ(rapido(0.1875f), "0.188");
    EXPECT_EQ(rapido(-2.3125f), "-2.312");
}

TEST(FormatoFixo3, VizinhosDeCadaFronteiraDeArredondamento) {
    std::vector<float> valores;
    // Every boundary (n + 0.5) / 1000 below 20, the depths and radii of real
    // jobs, and a spread of them up to the edge of exact thousandths.
    for (int n = 0; n < 20000; ++n) com_vizinhos(valores, static_cast<float>((n + 0.5) / 1000), 2);
    for (double b = 20.0005; b < 1e7; b = b * 1.37 + 0.001) com_vizinhos(valores, static_cast<float>(b), 2);
    // Carries into a new whole digit: 9.9995, 99.9995, ...
    for (double p = 10; p <= 1e9; p *= 10) {
        com_vizinhos(valores, static_cast<float>(p - 0.0005), 4);
        com_vizinhos(valores, static_cast<float>(p), 2);
    }
    comparar(valores);
}

TEST(FormatoFixo3, BordaDaFaixaRapidaEAlemDela) {
    std::vector<float> valores;
    for (float v : {4294967296.0f, 2147483648.0f, 1e10f, 4503599627370496.0f, 1e20f, 1e30f})
        com_vizinhos(valores, v, 8);
    comparar(valores);
}

TEST(FormatoFixo3, FloatsAleatoriosDeTodasAsGrandezas) {
    std::mt19937 gerador(20240601);
    std::vector<float> valores;
    // Any bit pattern: mostly huge or tiny magnitudes, NaNs and denormals included.
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 40000; ++i) valores.push_back(de_bits(bits(gerador)));
    // Magnitudes from 2^-30 to 2^40, where the shortcut does its work.
    std::uniform_int_distribution<int> expoente(-30, 40);
    std::uniform_real_distribution<float> mantissa(1, 2);
    for (int i = 0; i < 200000; ++i) {
        const float v = std::ldexp(mantissa(gerador), expoente(gerador));
        valores.push_back(i % 2 ? v : -v);
    }
    // Every denormal exponent and a few below the smallest normal.
    for (int i = 0; i < 2000; ++i) valores.push_back(de_bits(bits(gerador) & 0x807fffffu));
    comparar(valores);
}

}  // namespace

// The writer's numbers in doubles, 0 to 4 decimals, against printf: random
// magnitudes, exact ties and their neighbours, signs of zero, huge values.
TEST(FormatoFixo, NumerosDaEscritaComoPrintfEmDouble) {
    std::string bytes;
    SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&bytes));
    const Escrita escrita(vocabulario::padrao, arquivo);
    std::vector<double> valores = {0.0, -0.0, 0.0005, -0.0005, 0.00049999999999999, 1.0005, 2.5, -2.5, 0.125,
                                   1e-320, -1e-320, 999999.9995, 1e11, 1e12, -1e15, 123456789.0625};
    std::mt19937_64 gerador(7);
    std::uniform_real_distribution<double> u(-1000, 1000);
    for (int i = 0; i < 200000; ++i) valores.push_back(u(gerador));
    for (int i = -20000; i <= 20000; ++i) {
        // Ties of the printed decimals and the doubles beside them.
        const double v = i / 2000.0 + 0.00025;
        valores.insert(valores.end(), {v, std::nextafter(v, 1e9), std::nextafter(v, -1e9), i * 0.0005});
    }
    for (double v : valores)
        for (int casas = 0; casas <= 4; ++casas) {
            char esperado[512];
            std::snprintf(esperado, sizeof esperado, "%.*f", casas, v);
            ASSERT_EQ(escrita.numero(v, casas), esperado) << v << " " << casas;
        }
}
