// The extents comments, the machined-diameter line and the bore check.
#include <gtest/gtest.h>

#include <cmath>

#include "apoio/execucao.hpp"
#include "nucleo/console.hpp"
#include "trabalho/parada_critica.hpp"
#include "output/relatorio_diametro_usinado.hpp"

namespace {

struct Relatorio {
    std::string arquivo, console, parada;
};

// Final diameter 20, Y extents +-5; the X extents and cutter as given.
Relatorio relatar(char tipo, float x_max, float x_min, float ferramenta) {
    DadosRosca d;
    d.tipo_rosca = tipo;
    d.Diametro_final_total = 20;
    d.Diametro_final = 19.8f;
    d.x_max = x_max;
    d.x_min = x_min;
    d.y_max = 5;
    d.y_min = -5;
    d.D_ferramenta = ferramenta;
    Relatorio r;
    auto console = Console::em_memoria("");
    try {
        SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&r.arquivo));
        Escrita escrita(vocabulario::padrao, arquivo);
        relatorio_diametro_usinado(d, escrita, *console);
    } catch (const ParadaCritica& p) {
        r.parada = p.mensagem;
    }
    r.console = console->capturado();
    return r;
}

const std::string recusa = "\n\aERRO CRITICO - DIAMETRO FINAL MAIOR QUE O FURO!!!\n\a";

TEST(RelatorioDiametroUsinado, PassaA20050ERecusaA20200) {
    Relatorio r = relatar('I', 5.025f, -5.025f, 10);
    EXPECT_EQ(r.arquivo,
              "\r\n;X MAX = 5.03 --- X MIN = -5.03\r\n;Y MAX = 5.00 --- Y MIN = -5.00"
              "\r\n;DIAMETRO USINADO MAXIMO = 20.050 [mm]");
    EXPECT_EQ(r.console, "\n\nDIAMETRO USINADO MAXIMO = 20.050 [mm]");
    EXPECT_EQ(r.parada, "");

    r = relatar('i', 5.1f, -5.1f, 10);
    EXPECT_EQ(r.parada, recusa);
    EXPECT_EQ(r.console, "\n\nDIAMETRO USINADO MAXIMO = 20.200 [mm]");
    EXPECT_TRUE(r.arquivo.ends_with("-5.00\r\n;DIAMETRO USINADO MAXIMO = 20.200 [mm]"));
}

TEST(RelatorioDiametroUsinado, ToleranciaEmDuplaPrecisaoNoLimite) {
    // 20.1f lies above 20.1, so it exceeds the tolerance; float arithmetic would round it back.
    EXPECT_EQ(relatar('I', 0, 0, 20.1f).parada, recusa);
    EXPECT_EQ(relatar('I', 0, 0, std::nextafter(20.1f, 0.0f)).parada, "");
}

TEST(RelatorioDiametroUsinado, RoscaExternaNadaEscreveNemVerifica) {
    Relatorio r = relatar('E', 50, -50, 10);
    EXPECT_EQ(r.arquivo, "");
    EXPECT_EQ(r.console, "");
    EXPECT_EQ(r.parada, "");
}

}  // namespace
