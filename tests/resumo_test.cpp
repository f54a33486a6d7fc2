// The job summary, on the console and as the G-code file's comment header.
#include <gtest/gtest.h>

#include <string>

#include "apoio/execucao.hpp"
#include "nucleo/console.hpp"
#include "trabalho/parada_critica.hpp"
#include "output/resumo.hpp"

namespace {

// Internal, Dft 20, Di 15, step answered 1 and finishing step answered 0: the plan
// shifts Df to 18 and evens the step down to 0.75, below the finishing step of 1.
DadosRosca registro_aviso() {
    DadosRosca d;
    d.tipo_rosca = 'I';
    d.sentido_rosca = 'D';
    d.Diametro_final_total = 20;
    d.Diametro_final = 18;
    d.Diametro_inicial = 15;
    d.passo_lateral = 0.75f;
    d.passo_lateral_acabamento = 1;
    d.passes_laterais = 2;
    d.passes_laterais_int = 2;
    d.time_incremental = 1;
    d.D_ferramenta = 10;
    d.comprimento_rosca = 15;
    d.passo_rosca = 1.5f;
    d.fios_total = 10;
    d.angulo_inicial = 0;
    d.angulo_final = 0;
    d.precisao_passo = 0.0610834f;
    d.tempo_usinagem = 13.081415f;
    d.rotacao_spindle = 1000;
    d.feed_rate = 200;
    return d;
}

// Di answered 0: no plan, one pass at the final diameter.
DadosRosca registro_passe_unico() {
    DadosRosca d = registro_aviso();
    d.Diametro_final = 20;
    d.Diametro_inicial = 0;
    d.passo_lateral = 0;
    d.passo_lateral_acabamento = 0;
    d.passes_laterais = 0;
    d.passes_laterais_int = 0;
    d.time_incremental = 0;
    return d;
}

std::string no_console(const DadosRosca& d) {
    auto console = Console::em_memoria("");
    imprimir_resumo(d, *console);
    return console->capturado();
}

std::string no_arquivo(const DadosRosca& d) {
    std::string bytes;
    {
        SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&bytes));
        Escrita escrita(vocabulario::padrao, arquivo);
        gravar_resumo(d, escrita);
        arquivo.fechar();
    }
    return bytes;
}

// The console text up to the stop, and the stop's message.
struct Parada {
    std::string console;
    std::string mensagem;
};

Parada parada_no_console(const DadosRosca& d) {
    auto console = Console::em_memoria("");
    try {
        imprimir_resumo(d, *console);
    } catch (const ParadaCritica& p) {
        return {console->capturado(), p.mensagem};
    }
    ADD_FAILURE() << "the summary did not stop";
    return {console->capturado(), ""};
}

bool contem(const std::string& texto, const std::string& trecho) {
    return texto.find(trecho) != std::string::npos;
}

const std::string pausa = std::string(texto_pausa) + "\n";

TEST(ResumoConsole, AvisoDoPassoDeAcabamentoPausaESegueComOResumo) {
    EXPECT_EQ(no_console(registro_aviso()),
              "\n\n-------------------DADOS DO PROGRAMA G-CODE------------------"
              "\nDf-Diametro final da rosca: 20.00 [mm]"
              "\nDa-Diametro de acabamento da rosca: 18.00 [mm]"
              "\nDi-diametro inicial da rosca: 15.00 [mm]"
              "\n\npl-Passo Lateral da rosca: 0.75 [mm]"
              "\npl-Passo Lateral de acabamento da rosca: "
              "\n\aERRO CRITICO - CODE #010\nEstrutura if-else-if nao definida.\n\a"
              "\npasso_lateral_acabamento: 1.000"
              "\npasso_lateral: 0.750" +
                  pausa +
                  "\n\nnp-Quantidade de Passes Laterais da rosca: 3"
                  "\npasso lateral: 0 com diametro: 15.000 [mm]"
                  "\npasso lateral: 1 com diametro: 16.500 [mm]"
                  "\npasso lateral: 2 com diametro: 18.000 [mm]"
                  "\npasso lateral: 3 com diametro: 20.000 [mm]"
                  "\n\nL-Comprimento da rosca: 15.00 [mm]"
                  "\np-Passo Vertical da rosca (1 fio): 1.50 [mm]"
                  "\nn-Fios total da rosca: 10.00 fios"
                  "\nAngulo Inicial de Rosca: 0.0 [graus] -> Direita"
                  "\nAngulo Final de Rosca: 0.0 [graus]"
                  "\nRosca [INTERNA] [Direita >> sentido Horario]"
                  "\n\nDf-ferramenta: 10.00 mm"
                  "\nPrecisao de Passo: 0.061 mm"
                  "\nTempo de usinagem: 13.1 minutos"
                  "\n\nRotacao S: 1000 rpm"
                  "\nAvanco Feed-Rate (fn): 200.0 [mm / min]"
                  "\n;Avanco por rotacao (Fz): 0.200 [mm / rotacao]");
}

TEST(ResumoArquivo, CabecalhoInteiroSemTituloSemAvisoEComLinhasEmCRLF) {
    // Starts at the first byte; the finishing-step line ends right after its label;
    // the last line stays open for the preamble.
    EXPECT_EQ(no_arquivo(registro_aviso()),
              ";Df-Diametro final da rosca: 20.00 [mm]\r\n"
              ";Da-Diametro acabamento da rosca: 18.00 [mm]\r\n"
              ";Di-diametro inicial da rosca: 15.00 [mm]\r\n"
              "\r\n"
              ";pl-Passo Lateral da rosca: 0.75 [mm]\r\n"
              ";pl-Passo Lateral de acabamento da rosca: \r\n"
              "\r\n"
              ";np-Quantidade de Passes Laterais da rosca: 3\r\n"
              ";passo lateral: 0 com diametro: 15.000 [mm]\r\n"
              ";passo lateral: 1 com diametro: 16.500 [mm]\r\n"
              ";passo lateral: 2 com diametro: 18.000 [mm]\r\n"
              ";passo lateral: 3 com diametro: 20.000 [mm]\r\n"
              "\r\n"
              ";L-Comprimento da rosca: 15.00 [mm]\r\n"
              ";p-Passo Vertical da rosca (1 fio): 1.50 [mm]\r\n"
              ";n-Fios total da rosca: 10.00 fios\r\n"
              ";Angulo Inicial de Rosca: 0.0 [graus] -> Direita\r\n"
              ";Angulo Final de Rosca: 0.0 [graus]\r\n"
              ";Rosca [INTERNA] [Direita >> sentido Horario]\r\n"
              "\r\n"
              ";Df-ferramenta: 10.00 mm\r\n"
              ";Precisao de Passo: 0.061 mm\r\n"
              ";Tempo de usinagem: 13.1 minutos\r\n"
              "\r\n"
              ";Rotacao S: 1000 rpm\r\n"
              ";Avanco Feed-Rate (fn): 200.0 [mm / min]\r\n"
              ";Avanco por rotacao (Fz): 0.200 [mm / rotacao]");
}

TEST(Resumo, SemDiametroInicialTudoDesabilitadoEPasseUnico) {
    DadosRosca d = registro_passe_unico();
    const std::string console = no_console(d);
    EXPECT_TRUE(contem(console,
                       "\nDa-Diametro de acabamento da rosca: DESABILITADO"
                       "\nDi-diametro inicial da rosca: DESABILITADO"
                       "\n\npl-Passo Lateral da rosca: DESABILITADO"
                       "\npl-Passo Lateral de acabamento da rosca: DESABILITADO"
                       "\n\nnp-Quantidade de Passes Laterais da rosca: 0 - PASSE UNICO"
                       "\n\nL-Comprimento"))
        << console;
    const std::string arquivo = no_arquivo(d);
    EXPECT_TRUE(contem(arquivo,
                       ";Da-Diametro acabamento da rosca: DESABILITADO\r\n"
                       ";Di-diametro inicial da rosca: DESABILITADO\r\n\r\n"
                       ";pl-Passo Lateral da rosca: DESABILITADO\r\n"
                       ";pl-Passo Lateral de acabamento da rosca: DESABILITADO\r\n\r\n"
                       ";np-Quantidade de Passes Laterais da rosca: 0 - PASSE UNICO\r\n\r\n"
                       ";L-Comprimento"))
        << arquivo;
}

TEST(Resumo, UmPasseComAcabamentoContaDoisELista) {
    // Dft 20, Di 16, step 1 answered with finishing 0: one even pass of 1 and the finishing pass.
    DadosRosca d = registro_aviso();
    d.Diametro_inicial = 16;
    d.passo_lateral = 1;
    d.passo_lateral_acabamento = 1;
    d.passes_laterais = 1;
    d.passes_laterais_int = 1;
    const std::string console = no_console(d);
    EXPECT_TRUE(contem(console,
                       "\nDa-Diametro de acabamento da rosca: 18.00 [mm]"
                       "\nDi-diametro inicial da rosca: 16.00 [mm]"
                       "\n\npl-Passo Lateral da rosca: 1.00 [mm]"
                       "\npl-Passo Lateral de acabamento da rosca: DESABILITADO"
                       "\n\nnp-Quantidade de Passes Laterais da rosca: 2"
                       "\npasso lateral: 0 com diametro: 16.000 [mm]"
                       "\npasso lateral: 1 com diametro: 18.000 [mm]"
                       "\npasso lateral: 2 com diametro: 20.000 [mm]"
                       "\n\nL-"))
        << console;
    EXPECT_FALSE(contem(console, "PASSE UNICO"));
    EXPECT_FALSE(contem(console, "CODE #010"));
    EXPECT_TRUE(contem(no_arquivo(d),
                       ";np-Quantidade de Passes Laterais da rosca: 2\r\n"
                       ";passo lateral: 0 com diametro: 16.000 [mm]\r\n"
                       ";passo lateral: 1 com diametro: 18.000 [mm]\r\n"
                       ";passo lateral: 2 com diametro: 20.000 [mm]\r\n\r\n"));
}

TEST(Resumo, SoOPasseDeAcabamentoContaUmSemLista) {
    // Dft 20, Di 18, step 1, finishing 1: no roughing pass, only the finishing one.
    DadosRosca d = registro_aviso();
    d.Diametro_inicial = 18;
    d.passo_lateral = 1;
    d.passo_lateral_acabamento = 1;
    d.passes_laterais = 0;
    d.passes_laterais_int = 0;
    EXPECT_TRUE(contem(no_console(d), "\n\nnp-Quantidade de Passes Laterais da rosca: 1\n\nL-"));
    EXPECT_TRUE(contem(no_arquivo(d), ";np-Quantidade de Passes Laterais da rosca: 1\r\n\r\n;L-"));
}

TEST(Resumo, UmPasseSemDeslocamentoDeAcabamentoEPasseUnicoComLista) {
    // A finishing step too small to move the stored final diameter leaves Df equal to Dft.
    DadosRosca d = registro_aviso();
    d.Diametro_final = 20;
    d.Diametro_inicial = 18;
    d.passo_lateral = 1;
    d.passo_lateral_acabamento = 1e-7f;
    d.passes_laterais = 1;
    d.passes_laterais_int = 1;
    const std::string console = no_console(d);
    EXPECT_TRUE(contem(console,
                       "\nDa-Diametro de acabamento da rosca: DESABILITADO"
                       "\nDi-diametro inicial da rosca: 18.00 [mm]"
                       "\n\npl-Passo Lateral da rosca: 1.00 [mm]"
                       "\npl-Passo Lateral de acabamento da rosca: 0.00 [mm]"
                       "\n\nnp-Quantidade de Passes Laterais da rosca: 1 - PASSE UNICO"
                       "\npasso lateral: 0 com diametro: 18.000 [mm]"
                       "\npasso lateral: 1 com diametro: 20.000 [mm]"
                       "\n\nL-"))
        << console;

    d.passes_laterais = d.passes_laterais_int = 2;
    d.passo_lateral = 0.5f;
    EXPECT_TRUE(contem(no_console(d), "da rosca: 2\npasso lateral: 0 com diametro: 18.000 [mm]"));
}

TEST(Resumo, RoscaExternaDesceOsDiametros) {
    // Dft 20, Di 24, step 1, finishing 0.5: Df 21, two passes of 0.75.
    DadosRosca d = registro_aviso();
    d.tipo_rosca = 'e';
    d.Diametro_final = 21;
    d.Diametro_inicial = 24;
    d.passo_lateral = 0.75f;
    d.passo_lateral_acabamento = 0.5f;
    const std::string console = no_console(d);
    EXPECT_TRUE(contem(console,
                       "\nDa-Diametro de acabamento da rosca: 21.00 [mm]"
                       "\nDi-diametro inicial da rosca: 24.00 [mm]"
                       "\n\npl-Passo Lateral da rosca: 0.75 [mm]"
                       "\npl-Passo Lateral de acabamento da rosca: 0.50 [mm]"
                       "\n\nnp-Quantidade de Passes Laterais da rosca: 3"
                       "\npasso lateral: 0 com diametro: 24.000 [mm]"
                       "\npasso lateral: 1 com diametro: 22.500 [mm]"
                       "\npasso lateral: 2 com diametro: 21.000 [mm]"
                       "\npasso lateral: 3 com diametro: 20.000 [mm]"
                       "\n\nL-"))
        << console;
    EXPECT_TRUE(contem(console, "\nRosca [EXTERNA] [Direita >> sentido Horario]\n\nDf-ferramenta"));
    EXPECT_FALSE(contem(console, "INTERNA"));
    EXPECT_TRUE(contem(no_arquivo(d), ";Rosca [EXTERNA] [Direita >> sentido Horario]\r\n"));
}

TEST(Resumo, DiametrosDosPassesSaoCalculadosSemArredondarParaFloat) {
    // 100000.002 has no float of its own (the nearest is 100000.0); the list must still show it.
    DadosRosca d = registro_aviso();
    d.Diametro_final_total = 100000.5f;
    d.Diametro_final = 100000.25f;
    d.Diametro_inicial = 100000;
    d.passo_lateral = 0.001f;
    d.passo_lateral_acabamento = 0.0005f;
    d.passes_laterais_int = 2;
    const std::string console = no_console(d);
    EXPECT_TRUE(contem(console,
                       "\npasso lateral: 1 com diametro: 100000.002 [mm]"
                       "\npasso lateral: 2 com diametro: 100000.004 [mm]"
                       "\npasso lateral: 3 com diametro: 100000.005 [mm]"))
        << console;
}

TEST(Resumo, AvancoPorRotacaoNasDuasMetades) {
    DadosRosca d = registro_aviso();
    d.feed_rate = 600;
    d.rotacao_spindle = 2000;
    const std::string console = no_console(d);
    EXPECT_TRUE(contem(console, "\n\nRotacao S: 2000 rpm\nAvanco Feed-Rate (fn): 600.0 [mm / min]"
                                "\n;Avanco por rotacao (Fz): 0.300 [mm / rotacao]"));
    EXPECT_TRUE(contem(no_arquivo(d), "\r\n;Avanco por rotacao (Fz): 0.300 [mm / rotacao]"));
}

TEST(Resumo, RotuloDeDirecaoParaCadaAnguloEMao) {
    struct Caso {
        float angulo;
        const char* esquerda;
        const char* direita;
    };
    const Caso casos[] = {
        {0, " -> Direita", " -> Direita"},
        {45, " -> Direita / Cima", " -> Direita / Baixo"},
        {90, " -> Cima", " -> Baixo"},
        {90.5f, " -> Esquerda / Cima", " -> Esquerda / Baixo"},
        {180, " -> Esquerda", " -> Esquerda"},
        {179.5f, " -> Esquerda / Cima", " -> Esquerda / Baixo"},
        {180.5f, " -> Esquerda / Baixo", " -> Esquerda / Cima"},
        {270, " -> Baixo", " -> Cima"},
        {269.5f, " -> Esquerda / Baixo", " -> Esquerda / Cima"},
        {270.5f, " -> Direita / Baixo", " -> Direita / Cima"},
        {359.5f, " -> Direita / Baixo", " -> Direita / Cima"},
        {0.5f, " -> Direita / Cima", " -> Direita / Baixo"},
    };
    for (const Caso& c : casos) {
        for (char mao : {'E', 'e', 'D', 'd'}) {
            DadosRosca d = registro_aviso();
            d.angulo_inicial = c.angulo;
            d.sentido_rosca = mao;
            const bool esquerda = mao == 'E' || mao == 'e';
            char valor[32];
            std::snprintf(valor, sizeof valor, "%.1f [graus]", static_cast<double>(c.angulo));
            const std::string rotulo = std::string(valor) + (esquerda ? c.esquerda : c.direita);
            const std::string mao_texto =
                esquerda ? " [Esquerda >> sentido Anti-Horario]" : " [Direita >> sentido Horario]";
            SCOPED_TRACE(std::string(1, mao) + " " + valor);
            const std::string console = no_console(d);
            EXPECT_TRUE(contem(console, "\nAngulo Inicial de Rosca: " + rotulo + "\nAngulo Final")) << console;
            EXPECT_TRUE(contem(console, "\nRosca [INTERNA]" + mao_texto + "\n\n"));
            const std::string arquivo = no_arquivo(d);
            EXPECT_TRUE(contem(arquivo, ";Angulo Inicial de Rosca: " + rotulo + "\r\n;Angulo Final")) << arquivo;
            EXPECT_TRUE(contem(arquivo, ";Rosca [INTERNA]" + mao_texto + "\r\n\r\n"));
        }
    }
}

TEST(Resumo, AnguloForaDaVoltaParaNoConsoleESoOmiteORotuloNoArquivo) {
    const std::string estrutura = "\nEstrutura if-else-if nao definida.\n\a";
    for (float angulo : {-1.0f, 360.0f, -0.001f}) {
        for (char mao : {'E', 'D'}) {
            DadosRosca d = registro_aviso();
            d.angulo_inicial = angulo;
            d.sentido_rosca = mao;
            SCOPED_TRACE(std::string(1, mao) + " " + std::to_string(angulo));
            Parada p = parada_no_console(d);
            EXPECT_EQ(p.mensagem,
                      std::string("\n\aERRO CRITICO - CODE #010") + (mao == 'E' ? "A" : "B") + estrutura);
            // Nothing follows the value on the console before the stop.
            EXPECT_TRUE(p.console.ends_with(" [graus]")) << p.console;
            EXPECT_TRUE(contem(no_arquivo(d), " [graus]\r\n;Angulo Final de Rosca: "));
        }
    }
}

TEST(Resumo, DiametroDeAcabamentoDoLadoErradoParaComCodigo007) {
    const std::string mensagem =
        "\n\aERRO CRITICO - CODE #007\nEstrutura if-else-if nao definida."
        "\nERRO! Diametro inicial, de acabamento e final....\n\a";
    DadosRosca interna = registro_aviso();
    interna.Diametro_final = 22;
    DadosRosca externa = registro_aviso();
    externa.tipo_rosca = 'E';
    for (const DadosRosca& d : {interna, externa}) {
        Parada p = parada_no_console(d);
        EXPECT_EQ(p.mensagem, mensagem);
        EXPECT_TRUE(p.console.ends_with("\nDa-Diametro de acabamento da rosca: ")) << p.console;
        EXPECT_TRUE(contem(no_arquivo(d), ";Da-Diametro acabamento da rosca: \r\n;Di-diametro inicial da rosca: "));
    }
}

TEST(Resumo, DiametroInicialOuPassoNegativoParaComCodigos008E009) {
    DadosRosca d = registro_aviso();
    d.Diametro_inicial = -1;
    Parada p = parada_no_console(d);
    EXPECT_EQ(p.mensagem, "\n\aERRO CRITICO - CODE #008\nEstrutura if-else-if nao definida.\n\a");
    EXPECT_TRUE(p.console.ends_with("\nDi-diametro inicial da rosca: "));
    EXPECT_TRUE(contem(no_arquivo(d), ";Di-diametro inicial da rosca: \r\n\r\n;pl-Passo Lateral da rosca: 0.75"));

    d = registro_aviso();
    d.passo_lateral = -0.5f;
    p = parada_no_console(d);
    EXPECT_EQ(p.mensagem, "\n\aERRO CRITICO - CODE #009\nEstrutura if-else-if nao definida.\n\a");
    EXPECT_TRUE(p.console.ends_with("\n\npl-Passo Lateral da rosca: "));
    EXPECT_TRUE(contem(no_arquivo(d), ";pl-Passo Lateral da rosca: \r\n;pl-Passo Lateral de acabamento"));
}

TEST(Resumo, PassoDeAcabamentoZeroComPassoPositivoTambemAvisa) {
    // Neither equal to the lateral step nor strictly between 0 and it.
    DadosRosca d = registro_aviso();
    d.passo_lateral = 1;
    d.passo_lateral_acabamento = 0;
    const std::string console = no_console(d);
    EXPECT_TRUE(contem(console, "CODE #010\nEstrutura if-else-if nao definida.\n\a"
                                "\npasso_lateral_acabamento: 0.000\npasso_lateral: 1.000" +
                                    pausa + "\n\nnp-"))
        << console;
}

}  // namespace
