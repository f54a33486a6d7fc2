#include "dialogue/dialogo_helice_corte.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "dialogo_esperado.hpp"
#include "dialogue/dialogo_diametros.hpp"
#include "trabalho/parada_critica.hpp"

namespace {

using namespace esperado;

Respondido responder(const std::string& respostas) { return responder_com(respostas, dialogo_helice_corte); }

// Both halves of the dialogue, as the driver runs them.
Respondido responder_tudo(const std::string& respostas) {
    return responder_com(respostas, dialogo_diametros, dialogo_helice_corte);
}

TEST(DialogoHeliceCorte, EsquerdaComRecusasEmCadaPerguntaEFeedRelativo) {
    Respondido r = responder(
        "0\n-1\n5\n1,5\nx\n\ne\n360\n-0.1\nabc\n-0\n0\n-100\n10000\n0\n.3\n2000.5\nfeed\n.05\n");
    EXPECT_EQ(r.parada, "");
    EXPECT_EQ(r.console,
              comprimento +
                  "\aERRO! O comprimento (L) da rosca deve ser maior que ZERO... --- tente novamente!\n" +
                  comprimento +
                  "\aERRO! O comprimento (L) da rosca deve ser maior que ZERO... --- tente novamente!\n" +
                  comprimento + passo_rosca +
                  // the hand's prompt is not repeated: only its error text, once per wrong key
                  sentido + sentido_errado + sentido_errado + "\n" +
                  angulo_esquerda + angulo_fora + angulo_esquerda + angulo_fora + angulo_esquerda +
                  valor_invalido + angulo_esquerda +
                  rotacao + rotacao_zero + rotacao + rotacao_zero + rotacao +
                  feed + "\aERRO! Velocidade de Corte deve ser maior que ZERO...\n" +
                  feed + "(feed_rate relativo ao rpm: 3000.0 [mm/min])\n" + feed_fora +
                  feed + feed_fora +
                  feed + valor_invalido +
                  feed + "(feed_rate relativo ao rpm: 500.0 [mm/min])\n");
    EXPECT_EQ(r.d.comprimento_rosca, 5.0f);
    EXPECT_EQ(r.d.passo_rosca, 1.5f);
    EXPECT_EQ(r.d.sentido_rosca, 'e');
    EXPECT_EQ(r.d.angulo_inicial, 0.0f);
    EXPECT_FALSE(std::signbit(r.d.angulo_inicial));  // typed "-0" is stored as plain zero
    EXPECT_EQ(r.d.rotacao_spindle, 10000.0f);
    EXPECT_EQ(r.d.feed_rate, 500.0f);
}

TEST(DialogoHeliceCorte, DireitaNosLimitesAceitos) {
    Respondido r = responder("0.001 0.001 D 359.9 100000 2000");
    EXPECT_EQ(r.parada, "");
    EXPECT_EQ(r.console, comprimento + passo_rosca + sentido + "\n" + angulo_direita + rotacao + feed);
    EXPECT_EQ(r.d.comprimento_rosca, 0.001f);
    EXPECT_EQ(r.d.passo_rosca, 0.001f);
    EXPECT_EQ(r.d.sentido_rosca, 'D');
    EXPECT_EQ(r.d.angulo_inicial, 359.9f);
    EXPECT_EQ(r.d.rotacao_spindle, 100000.0f);
    EXPECT_EQ(r.d.feed_rate, 2000.0f);

    Respondido minuscula = responder("1 1 d 0 1 1");
    EXPECT_EQ(minuscula.d.sentido_rosca, 'd');
    EXPECT_NE(minuscula.console.find(angulo_direita), std::string::npos);
}

TEST(DialogoHeliceCorte, FeedRelativoSoAbaixoDe04EmDouble) {
    struct Caso {
        const char* resposta;
        float feed;
        const char* linha_relativa;  // null: the answer is an absolute feed
    };
    for (Caso c : {Caso{".05", 50.0f, "(feed_rate relativo ao rpm: 50.0 [mm/min])\n"},
                   Caso{"0,3", 300.0f, "(feed_rate relativo ao rpm: 300.0 [mm/min])\n"},
                   Caso{"0.39999998", 399.99998f, "(feed_rate relativo ao rpm: 400.0 [mm/min])\n"},
                   Caso{".51", 0.51f, nullptr}, Caso{"2000", 2000.0f, nullptr}}) {
        Respondido r = responder(std::string("1 1 D 0 1000 ") + c.resposta);
        EXPECT_EQ(r.parada, "") << c.resposta;
        EXPECT_EQ(r.d.feed_rate, c.feed) << c.resposta;
        std::string depois = r.console.substr(r.console.rfind(feed) + feed.size());
        EXPECT_EQ(depois, c.linha_relativa ? c.linha_relativa : "") << c.resposta;
    }
}

TEST(DialogoHeliceCorte, FeedQueOArquivoGravariaComoF0EhRecusado) {
    // .4 and .5 are absolute feeds of 0.4 and 0.5 mm/min, which "%.0f" writes as
    // f0; a relative answer that gives such a feed prints its line first.
    const std::string f0 = "\aERRO! Velocidade de Corte ate 0.5 [mm/min] seria gravada como f0...\n";
    Respondido r = responder("1 1 D 0 1000 .5 .4 100");
    EXPECT_EQ(r.parada, "");
    EXPECT_EQ(r.console.substr(r.console.find(rotacao) + rotacao.size()), feed + f0 + feed + f0 + feed);
    EXPECT_EQ(r.d.feed_rate, 100.0f);

    r = responder("1 1 D 0 5 .05 .2");
    EXPECT_EQ(r.console.substr(r.console.find(rotacao) + rotacao.size()),
              feed + "(feed_rate relativo ao rpm: 0.2 [mm/min])\n" + f0 + feed +
                  "(feed_rate relativo ao rpm: 1.0 [mm/min])\n");
    EXPECT_EQ(r.d.feed_rate, 1.0f);
}

TEST(DialogoHeliceCorte, LimiteDe2000TambemParaOFeedConvertido) {
    Respondido r = responder("1 1 D 0 6000 0 2000.5 0.39999998 .25");
    EXPECT_EQ(r.parada, "");
    std::string perguntas = r.console.substr(r.console.find(rotacao) + rotacao.size());
    EXPECT_EQ(perguntas, feed + "\aERRO! Velocidade de Corte deve ser maior que ZERO...\n" + feed +
                             feed_fora + feed + "(feed_rate relativo ao rpm: 2400.0 [mm/min])\n" +
                             feed_fora + feed + "(feed_rate relativo ao rpm: 1500.0 [mm/min])\n");
    EXPECT_EQ(r.d.feed_rate, 1500.0f);
}

TEST(DialogoHeliceCorte, FeedRelativoQueArredondaAZeroEhRecusado) {
    // 0.05 x 1e-44 rpm is below the smallest float: the feed would be stored as 0.
    Respondido r = responder("1 1 D 0 1e-44 .05 100");
    EXPECT_EQ(r.parada, "");
    std::string perguntas = r.console.substr(r.console.find(rotacao) + rotacao.size());
    EXPECT_EQ(perguntas, feed + "(feed_rate relativo ao rpm: 0.0 [mm/min])\n"
                                "\aERRO! Velocidade de Corte deve ser maior que ZERO...\n" + feed);
    EXPECT_EQ(r.d.feed_rate, 100.0f);
}

TEST(DialogoHeliceCorte, FimDaEntradaEmCadaPergunta) {
    for (const char* respostas : {"", "5", "5 1", "5 1 x", "5 1 E", "5 1 E 400", "5 1 E 0", "5 1 E 0 1000",
                                  "5 1 E 0 1000 3000"}) {
        Respondido r = responder(respostas);
        EXPECT_EQ(r.parada, entrada_encerrada) << respostas;
    }
}

TEST(DialogoCompleto, UmaRespostaPorLinhaEmLFouCRLFouTodasNaMesmaLinha) {
    const std::string transcricao =
        tipo + "\n" + furo + "\n" + diametro_final + diametro_inicial + passo + "\n" + passo_lateral +
        "(Passo lateral = 1.00\n" + acabamento + fim_dos_passos + ferramenta +
        "(verificacao: D-ferramenta 10.0 < D-inicial 16.0 --- OK)\n(D-final 20.0)\n" + comprimento +
        passo_rosca + sentido + "\n" + angulo_esquerda + rotacao + feed;
    for (const char* respostas :
         {"I\n20\n16\n1\n0.2\n10\n30\n2.5\nE\n45\n1200\n240\n",
          "I\r\n20\r\n16\r\n1\r\n0.2\r\n10\r\n30\r\n2.5\r\nE\r\n45\r\n1200\r\n240\r\n",
          "I 20 16 1 0.2 10 30 2.5 E 45 1200 240", "I\t20 16 1 0,2 10 30 2,5 E\t45 1200 240\r\n"}) {
        Respondido r = responder_tudo(respostas);
        EXPECT_EQ(r.parada, "") << respostas;
        EXPECT_EQ(r.console, transcricao) << respostas;
        EXPECT_EQ(r.d.passo_lateral_acabamento, 0.2f);
        EXPECT_EQ(r.d.passo_rosca, 2.5f);
        EXPECT_EQ(r.d.sentido_rosca, 'E');
        EXPECT_EQ(r.d.angulo_inicial, 45.0f);
        EXPECT_EQ(r.d.feed_rate, 240.0f);
    }
}

TEST(DialogoCompleto, LinhaVaziaNaPerguntaDoSentidoEhUmEnterRecusado) {
    // The line end after a number answer is skipped; the next empty line is one Enter.
    Respondido r = responder_tudo("E\r\n20\r\n0\r\n5\r\n10\r\n1\r\n\r\nD\r\n0\r\n1000\r\n0\r\n.1\r\n");
    EXPECT_EQ(r.parada, "");
    EXPECT_NE(r.console.find(sentido + sentido_errado + "\n" + angulo_direita), std::string::npos);
    EXPECT_EQ(r.d.sentido_rosca, 'D');
    EXPECT_EQ(r.d.feed_rate, 100.0f);
}

}  // namespace
