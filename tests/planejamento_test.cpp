// The pass plan and the estimates: the stored single-precision values decide
// pass counts, so they are checked bit for bit, not only as printed.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "nucleo/console.hpp"
#include "trabalho/parada_critica.hpp"
#include "planning/calcular_estimativas.hpp"
#include "planning/planejar_passes.hpp"

namespace {

// The record as the dialogue leaves it.
DadosRosca job(char tipo, float df, float di, float pl, float pla, float dt = 10, float L = 15,
               float p = 1.5f, float F = 100, float angulo = 0) {
    DadosRosca d;
    d.tipo_rosca = tipo;
    d.Diametro_final = df;
    d.Diametro_inicial = di;
    d.passo_lateral = pl;
    d.passo_lateral_acabamento = pla;
    d.D_ferramenta = dt;
    d.comprimento_rosca = L;
    d.passo_rosca = p;
    d.sentido_rosca = 'D';
    d.angulo_inicial = angulo;
    d.rotacao_spindle = 1000;
    d.feed_rate = F;
    return d;
}

std::string planejar(DadosRosca& d) {
    auto console = Console::em_memoria("");
    planejar_passes(d, *console);
    return console->capturado();
}

void planejar_e_estimar(DadosRosca& d) {
    planejar(d);
    calcular_estimativas(d);
}

// Expected floats are written with nine significant digits, which name one float
// exactly; the comments give the shorter figures a machinist sees.
TEST(PlanoDePasses, InternoComAcabamentoImprimeOsQuatroBlocos) {
    DadosRosca d = job('I', 20, 17, 0.5f, 0.1f);
    std::string console = planejar(d);
    EXPECT_EQ(d.Diametro_final, 19.7999992f);
    EXPECT_EQ(d.Diametro_final_total, 20.0f);
    EXPECT_EQ(d.passes_laterais, 3.0f);
    EXPECT_EQ(d.passes_laterais_int, 3);
    EXPECT_EQ(d.passo_lateral, 0.466666549f);  // 0.4666665
    EXPECT_EQ(d.time_incremental, 1.0f);
    EXPECT_EQ(d.passo_z_grau, 1.5f / 360);
    EXPECT_EQ(console,
              "\n\nDEBUG #0\npasso_lateral: 0.500\npasses_laterais: 0.000\npasses_laterais_int: 0.000"
              "\n\nDEBUG #1\npasso_lateral: 0.500\npasses_laterais: 2.800\npasses_laterais_int: 0.000"
              "\n\nDEBUG #2\npasso_lateral: 0.467\npasses_laterais: 3.000\npasses_laterais_int: 3.000"
              "\n\nDEBUG #3\nDiametro_final_total: 20.000\nDiametro_final: 19.800"
              "\nDiametro_inicial: 17.000\nD_ferramenta: 10.000\npasso_lateral: 0.467"
              "\npasses_laterais: 3.000\npasses_laterais_int: 3.000\ntime_incremental: 1.000");
}

TEST(PlanoDePasses, ArredondamentoEmFloatDecideAContagem) {
    // In decimal the count is exactly 3; from the stored floats it is 3.0000002.
    DadosRosca d = job('I', 10, 8, 0.3f, 0.1f);
    std::string console = planejar(d);
    EXPECT_NE(console.find("\n\nDEBUG #1\npasso_lateral: 0.300\npasses_laterais: 3.000"), std::string::npos);
    EXPECT_EQ(d.passes_laterais_int, 4);
    EXPECT_EQ(d.passo_lateral, 0.225000024f);  // not the float nearest 0.225
}

TEST(PlanoDePasses, ExternoInverteOSinalAntesDeArredondar) {
    DadosRosca d = job('e', 20, 24, 0.5f, 0.2f);
    std::string console = planejar(d);
    EXPECT_NE(console.find("\n\nDEBUG #1\npasso_lateral: 0.500\npasses_laterais: -3.600"), std::string::npos);
    EXPECT_EQ(d.Diametro_final, 20.4f);
    EXPECT_EQ(d.passes_laterais, 4.0f);
    EXPECT_EQ(d.passes_laterais_int, 4);
    EXPECT_EQ(d.passo_lateral, 0.450000048f);
}

TEST(PlanoDePasses, PlanoDesabilitadoEContagensSemRebalanceamento) {
    DadosRosca desligado = job('I', 20, 0, 0, 0);
    std::string console = planejar(desligado);
    EXPECT_EQ(desligado.Diametro_final, 20.0f);
    EXPECT_EQ(desligado.passes_laterais_int, 0);
    EXPECT_EQ(desligado.passo_lateral, 0.0f);
    EXPECT_EQ(desligado.time_incremental, 0.0f);
    EXPECT_NE(console.find("\n\nDEBUG #3\nDiametro_final_total: 20.000\nDiametro_final: 20.000"
                           "\nDiametro_inicial: 0.000\nD_ferramenta: 10.000\npasso_lateral: 0.000"
                           "\npasses_laterais: 0.000\npasses_laterais_int: 0.000\ntime_incremental: 0.000"),
              std::string::npos);

    // The finishing step covers the whole depth: no roughing pass, a finishing one.
    DadosRosca so_acabamento = job('I', 20, 18, 1, 1);
    planejar(so_acabamento);
    EXPECT_EQ(so_acabamento.Diametro_final, 18.0f);
    EXPECT_EQ(so_acabamento.passes_laterais_int, 0);
    EXPECT_EQ(so_acabamento.passo_lateral, 1.0f);
    EXPECT_EQ(so_acabamento.time_incremental, 1.0f);

    // A whole raw count is not raised by the rounding up.
    DadosRosca inteiro = job('I', 20, 15, 1, 0.5f);
    planejar(inteiro);
    EXPECT_EQ(inteiro.passes_laterais_int, 2);
    EXPECT_EQ(inteiro.passo_lateral, 1.0f);
}

TEST(PlanoDePasses, AcabamentoQueNaoMoveODiametroNaoFazPasseDeAcabamento) {
    DadosRosca d = job('I', 20, 10, 1, 1e-7f);
    planejar(d);
    EXPECT_EQ(d.Diametro_final, 20.0f);
    EXPECT_EQ(d.time_incremental, 0.0f);
}

TEST(PlanoDePasses, ParadasCriticas) {
    auto parar = [](DadosRosca d) -> std::pair<std::string, std::string> {
        auto console = Console::em_memoria("");
        try {
            planejar_passes(d, *console);
        } catch (const ParadaCritica& p) {
            return {console->capturado(), p.mensagem};
        }
        return {console->capturado(), "sem parada"};
    };
    auto [antes003, msg003] = parar(job('X', 20, 0, 0, 0));
    EXPECT_EQ(msg003, "\n\aERRO CRITICO - CODE #003\nEstrutura if-else-if nao definida.\n\a");
    EXPECT_EQ(antes003, "");

    auto [antes004, msg004] = parar(job('I', 20, 17, -0.5f, 0));
    EXPECT_EQ(msg004, "\n\aERRO CRITICO - CODE #004\nEstrutura if-else-if nao definida.\n\a");
    EXPECT_EQ(antes004.find("DEBUG #1"), std::string::npos);
    EXPECT_NE(antes004.find("DEBUG #0"), std::string::npos);

    // 5 mm of depth in steps of a nanometre: 5e9 passes do not fit the count.
    auto [antes012, msg012] = parar(job('I', 20, 10, 1e-9f, 0));
    EXPECT_EQ(msg012, "\n\aERRO CRITICO - CODE #012\nQuantidade de passes laterais fora da faixa.\n\a");
    EXPECT_NE(antes012.find("DEBUG #1"), std::string::npos);
    EXPECT_EQ(antes012.find("DEBUG #2"), std::string::npos);

    // 2^31 passes is one too many; 2^30 still plans.
    auto [antes_2_31, msg_2_31] = parar(job('I', 2, 1, 0x1p-32f, 0));
    EXPECT_EQ(msg_2_31, msg012);
    DadosRosca grande = job('I', 2, 1, 0x1p-31f, 0);
    planejar(grande);
    EXPECT_EQ(grande.passes_laterais_int, 1 << 30);
}

TEST(Estimativas, PlanoDesabilitadoInternoEExterno) {
    DadosRosca interno = job('I', 20, 0, 0, 0);
    planejar_e_estimar(interno);
    EXPECT_EQ(interno.tempo_usinagem, 3.2915926f);
    EXPECT_EQ(interno.fios_total, 10.0f);
    EXPECT_EQ(interno.angulo_final, 0.0f);
    EXPECT_EQ(interno.precisao_passo, 0.0872620344f);

    DadosRosca externo = job('E', 20, 0, 0, 0);
    planejar_e_estimar(externo);
    EXPECT_EQ(externo.tempo_usinagem, 9.5747776f);
    EXPECT_EQ(externo.precisao_passo, 0.0872620344f);  // the radius is D/2 - Dt/2 for both kinds
}

TEST(Estimativas, ComPassesEAcabamento) {
    DadosRosca interno = job('I', 20, 17, 0.5f, 0.1f);
    planejar_e_estimar(interno);
    EXPECT_EQ(interno.tempo_usinagem, 13.081415f);
    EXPECT_EQ(interno.precisao_passo, 0.0610834248f);

    DadosRosca externo = job('E', 20, 24, 0.5f, 0.2f);
    planejar_e_estimar(externo);
    EXPECT_EQ(externo.tempo_usinagem, 54.015484f);
    EXPECT_EQ(externo.precisao_passo, 0.12216685f);

    // No even passes but a finishing one: case 1 with the blank in the diameter term.
    DadosRosca so_acabamento = job('I', 20, 18, 1, 1);
    planejar_e_estimar(so_acabamento);
    EXPECT_EQ(so_acabamento.tempo_usinagem, 8.9464598f);
}

TEST(Estimativas, AnguloFinalEPrecisaoComRaioNegativo) {
    DadosRosca d = job('I', 20, 0, 0, 0, 10, 10, 1.5f, 100, 300);
    planejar_e_estimar(d);
    EXPECT_EQ(d.fios_total, 6.6666665f);
    EXPECT_EQ(d.angulo_final, 179.99994f);

    DadosRosca inteiro = job('I', 20, 0, 0, 0, 10, 15, 1.5f, 100, 123.5f);
    planejar_e_estimar(inteiro);
    EXPECT_EQ(inteiro.angulo_final, 123.5f);

    DadosRosca raio_negativo = job('E', 10, 0, 0, 0, 16);
    planejar_e_estimar(raio_negativo);
    EXPECT_EQ(raio_negativo.precisao_passo, 0.0523572192f);
}

TEST(Estimativas, ParadasCriticas) {
    DadosRosca tipo = job('I', 20, 0, 0, 0);
    planejar_e_estimar(tipo);
    tipo.tipo_rosca = 'X';
    try {
        calcular_estimativas(tipo);
        FAIL();
    } catch (const ParadaCritica& p) {
        EXPECT_EQ(p.mensagem, "\n\aERRO CRITICO - CODE #005\nEstrutura if-else-if nao definida.\n\a");
    }
    DadosRosca blank = job('I', 20, 0, 0, 0);
    planejar_e_estimar(blank);
    blank.Diametro_inicial = -1;
    try {
        calcular_estimativas(blank);
        FAIL();
    } catch (const ParadaCritica& p) {
        EXPECT_EQ(p.mensagem, "\n\aERRO CRITICO - CODE #006\nEstrutura if-else-if nao definida.\n\a");
    }
}

}  // namespace
