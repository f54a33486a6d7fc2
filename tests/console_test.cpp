#include "nucleo/console.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "trabalho/parada_critica.hpp"

namespace {

bool le(const char* token, float& v) { return interpretar_numero(token, v); }

TEST(TokensNumericos, AceitaDecimaisSinaisExpoentesEVirgula) {
    float v = -1;
    EXPECT_TRUE(le("20", v));
    EXPECT_EQ(v, 20.0f);
    EXPECT_TRUE(le("-0.1", v));
    EXPECT_EQ(v, -0.1f);
    EXPECT_TRUE(le(".5", v));
    EXPECT_EQ(v, 0.5f);
    EXPECT_TRUE(le("5.", v));
    EXPECT_EQ(v, 5.0f);
    EXPECT_TRUE(le("+1e3", v));
    EXPECT_EQ(v, 1000.0f);
    EXPECT_TRUE(le("2,5", v));
    EXPECT_EQ(v, 2.5f);
    EXPECT_TRUE(le(",5", v));
    EXPECT_EQ(v, 0.5f);
    EXPECT_TRUE(le("3.4e38", v));
    EXPECT_EQ(v, 3.4e38f);
    EXPECT_TRUE(le("1e-40", v));  // a denormal is a finite number
    EXPECT_EQ(v, 1e-40f);
}

TEST(TokensNumericos, ConverteDiretoParaFloatSemPassarPorDouble) {
    // 1.00000005960464477539062501 rounds up to 1+2^-23 in one step, but a
    // double would first round it to the tie 1+2^-24 and then down to 1.
    float v = 0;
    ASSERT_TRUE(le("1.00000005960464477539062501", v));
    EXPECT_EQ(v, 1.0f + 0x1p-23f);
}

TEST(TokensNumericos, RecusaOQueNaoEhNumeroInteiroEFinito) {
    for (const char* t : {"20mm", "abc", "1,2,3", "2,5.0", "inf", "nan", "-inf", "1e99", "0x10", ".",
                          "-", "1e", "1e+", "", "+-1", "1..2"}) {
        float v = 7;
        EXPECT_FALSE(le(t, v)) << t;
        EXPECT_EQ(v, 7.0f) << t;
    }
}

TEST(RespostaNumerica, VariasRespostasNaMesmaLinhaELinhasCRLF) {
    auto c = Console::em_memoria("  1.5 2,25\r\n\r\n\t-3\r\n");
    float a = 0, b = 0, e = 0;
    EXPECT_TRUE(c->ler_numero(a));
    EXPECT_TRUE(c->ler_numero(b));
    EXPECT_TRUE(c->ler_numero(e));
    EXPECT_EQ(a, 1.5f);
    EXPECT_EQ(b, 2.25f);
    EXPECT_EQ(e, -3.0f);
    EXPECT_EQ(c->capturado(), "");
}

TEST(RespostaNumerica, TokenInvalidoDescartaORestoDaLinhaEAvisa) {
    auto c = Console::em_memoria("20mm 30 40\n50\n");
    float v = 9;
    EXPECT_FALSE(c->ler_numero(v));
    EXPECT_EQ(v, 9.0f);
    EXPECT_EQ(c->capturado(), msg_valor_invalido);
    EXPECT_TRUE(c->ler_numero(v));
    EXPECT_EQ(v, 50.0f);
}

TEST(RespostaNumerica, TokenAlemDoMaiorNaoEhNumeroEDescartaALinha) {
    // At the limit a long run of zeros is still the number it spells.
    const std::string no_limite = std::string(maior_token_numerico - 1, '0') + "5";
    const std::string alem = std::string(maior_token_numerico, '0') + "5";
    auto c = Console::em_memoria(no_limite + "\n" + alem + " 7\n8\n");
    float v = 0;
    EXPECT_TRUE(c->ler_numero(v));
    EXPECT_EQ(v, 5.0f);
    EXPECT_FALSE(c->ler_numero(v));
    EXPECT_EQ(c->capturado(), msg_valor_invalido);
    EXPECT_TRUE(c->ler_numero(v));
    EXPECT_EQ(v, 8.0f);
}

TEST(RespostaNumerica, FimDaEntradaEhParadaCritica) {
    auto c = Console::em_memoria("  \n\r\n ");
    float v = 0;
    try {
        c->ler_numero(v);
        FAIL() << "sem parada";
    } catch (const ParadaCritica& p) {
        EXPECT_EQ(p.mensagem, msg_entrada_encerrada);
    }
    // A bad token at the very end: the message, then the stop on the next read.
    auto d = Console::em_memoria("abc");
    EXPECT_FALSE(d->ler_numero(v));
    EXPECT_THROW(d->ler_numero(v), ParadaCritica);
}

TEST(RespostaTecla, PrimeiraTeclaNaoPulaNada) {
    auto c = Console::em_memoria(" I");
    EXPECT_EQ(c->ler_tecla(), ' ');
    EXPECT_EQ(c->ler_tecla(), 'I');
}

TEST(RespostaTecla, PulaBrancosEUmFimDeLinhaDepoisDeUmaResposta) {
    auto c = Console::em_memoria("I \t\r\nE\n20 \nD x");
    EXPECT_EQ(c->ler_tecla(), 'I');
    EXPECT_EQ(c->ler_tecla(), 'E');
    float v = 0;
    EXPECT_TRUE(c->ler_numero(v));
    EXPECT_EQ(c->ler_tecla(), 'D');
    EXPECT_EQ(c->ler_tecla(), 'x');
    EXPECT_THROW(c->ler_tecla(), ParadaCritica);
}

TEST(RespostaTecla, LinhaVaziaEhUmEnterESoUm) {
    // After "I": its line end is skipped; then two empty lines are two Enters,
    // and nothing is skipped after an Enter, so the blank is a key of its own.
    auto c = Console::em_memoria("I\n\n\r\n e");
    EXPECT_EQ(c->ler_tecla(), 'I');
    EXPECT_EQ(c->ler_tecla(), '\r');
    EXPECT_EQ(c->ler_tecla(), '\r');
    EXPECT_EQ(c->ler_tecla(), ' ');
    EXPECT_EQ(c->ler_tecla(), 'e');
}

TEST(RespostaTecla, SoUmFimDeLinhaEhPuladoDepoisDeUmNumero) {
    auto c = Console::em_memoria("20\n\nD");
    float v = 0;
    EXPECT_TRUE(c->ler_numero(v));
    EXPECT_EQ(c->ler_tecla(), '\r');
    EXPECT_EQ(c->ler_tecla(), 'D');
}

TEST(Pausa, ForaDoTerminalNaoEsperaNemLe) {
    auto c = Console::em_memoria("X");
    c->pausa();
    EXPECT_EQ(c->capturado(), std::string(texto_pausa) + "\n");
    EXPECT_EQ(c->ler_tecla(), 'X');
}

TEST(Saida, ImprimirFormataComoPrintfInclusiveValoresEnormes) {
    auto c = Console::em_memoria("");
    c->imprimir("%.3f|%.0f|%s", -0.0, 1000.5, "ok");
    EXPECT_EQ(c->capturado(), "-0.000|1000|ok");
    auto g = Console::em_memoria("");
    g->imprimir("%.3f", static_cast<double>(3.4028235e38f));
    EXPECT_EQ(g->capturado(), "340282346638528859811704183484516925440.000");
}

TEST(Saida, NaoFinitosComOTextoDeTodaPlataformaEntreOutrasConversoes) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto c = Console::em_memoria("");
    c->imprimir("%.1f %.2f %.3f %.0f|%lld %d%% %s|%6.1f|%-5.2f|%+.3f", -nan, nan, -inf, inf,
                -9000000000LL, 7, "x", -nan, inf, nan);
    EXPECT_EQ(c->capturado(), "-nan nan -inf inf|-9000000000 7% x|  -nan|inf  |+nan");
}

}  // namespace
