#include "planning/planejar_passes.hpp"

#include <cmath>

#include "nucleo/numerico.hpp"
#include "trabalho/parada_critica.hpp"

namespace {

void imprimir_contagem(const DadosRosca& d, Console& console) {
    console.imprimir("\npasso_lateral: %.3f", static_cast<double>(d.passo_lateral));
    console.imprimir("\npasses_laterais: %.3f", static_cast<double>(d.passes_laterais));
    console.imprimir("\npasses_laterais_int: %.3f", static_cast<double>(d.passes_laterais_int));
}

// Half the radial distance between the two diameters, over `divisor`, as one
// extended-precision expression rounded once.
float meia_distancia_sobre(float maior, float menor, float divisor) {
    return armazenar(((estender(maior) - estender(menor)) / 2) / estender(divisor));
}

}  // namespace

void planejar_passes(DadosRosca& d, Console& console) {
    d.passo_z_grau = armazenar(estender(d.passo_rosca) / 360);
    d.Diametro_final_total = d.Diametro_final;

    // The finishing step is radial: the diameter moves by twice its value.
    const estendido acabamento = estender(d.passo_lateral_acabamento) + estender(d.passo_lateral_acabamento);
    if (rosca_interna(d))
        d.Diametro_final = armazenar(estender(d.Diametro_final) - acabamento);
    else if (rosca_externa(d))
        d.Diametro_final = armazenar(estender(d.Diametro_final) + acabamento);
    else
        parada_estrutura("003");

    console.escrever("\n\nDEBUG #0");
    imprimir_contagem(d, console);

    if (d.passo_lateral == 0)
        d.passes_laterais = 0;
    else if (d.passo_lateral > 0)
        // Negative or zero for an external thread, whose blank is the larger diameter.
        d.passes_laterais = meia_distancia_sobre(d.Diametro_final, d.Diametro_inicial, d.passo_lateral);
    else
        parada_estrutura("004");

    console.escrever("\n\nDEBUG #1");
    imprimir_contagem(d, console);

    if (rosca_externa(d) && d.passes_laterais < 0) d.passes_laterais = -d.passes_laterais;
    d.passes_laterais = static_cast<float>(std::ceil(static_cast<double>(d.passes_laterais)));

    // A tiny radial step can ask for more passes than the integer count holds.
    if (!(static_cast<double>(d.passes_laterais) <= 2147483647.0))
        parada_critica("\n\aERRO CRITICO - CODE #012\nQuantidade de passes laterais fora da faixa.\n\a");

    if (d.passes_laterais != 0) {
        if (rosca_externa(d))
            d.passo_lateral = meia_distancia_sobre(d.Diametro_inicial, d.Diametro_final, d.passes_laterais);
        else
            d.passo_lateral = meia_distancia_sobre(d.Diametro_final, d.Diametro_inicial, d.passes_laterais);
    }
    d.passes_laterais_int = static_cast<std::int32_t>(d.passes_laterais);

    console.escrever("\n\nDEBUG #2");
    imprimir_contagem(d, console);

    // A finishing step too small to move the stored diameter makes no finishing pass.
    if (d.Diametro_final != d.Diametro_final_total) d.time_incremental = 1.0f;

    console.escrever("\n\nDEBUG #3");
    console.imprimir("\nDiametro_final_total: %.3f", static_cast<double>(d.Diametro_final_total));
    console.imprimir("\nDiametro_final: %.3f", static_cast<double>(d.Diametro_final));
    console.imprimir("\nDiametro_inicial: %.3f", static_cast<double>(d.Diametro_inicial));
    console.imprimir("\nD_ferramenta: %.3f", static_cast<double>(d.D_ferramenta));
    imprimir_contagem(d, console);
    console.imprimir("\ntime_incremental: %.3f", static_cast<double>(d.time_incremental));
}
