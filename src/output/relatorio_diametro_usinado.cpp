#include "output/relatorio_diametro_usinado.hpp"

#include "nucleo/numerico.hpp"
#include "driver/parada_critica.hpp"

namespace {

// Held as the double nearest 0.1: in float the check would let through
// diameters that pass the final one by a hair more than the tolerance.
constexpr double tolerancia_furo = 0.1;

constexpr const char* msg_diametro_maior =
    "\n\aERRO CRITICO - DIAMETRO FINAL MAIOR QUE O FURO!!!\n\a";

}  // namespace

void relatorio_diametro_usinado(const DadosRosca& d, SaidaArquivo& arquivo, Console& console) {
    if (!rosca_interna(d)) return;

    arquivo.imprimir("\n;X MAX = %.2f --- X MIN = %.2f", static_cast<double>(d.x_max),
                     static_cast<double>(d.x_min));
    arquivo.imprimir("\n;Y MAX = %.2f --- Y MIN = %.2f", static_cast<double>(d.y_max),
                     static_cast<double>(d.y_min));

    // The extents are the cutter centre's, so the cutter adds its own diameter.
    // Printed through double, which holds this sum exactly for any real job.
    const estendido diametro_usinado_maximo = estender(d.x_max) - estender(d.x_min) + estender(d.D_ferramenta);
    const double mostrado = static_cast<double>(diametro_usinado_maximo);
    arquivo.imprimir("\n;DIAMETRO USINADO MAXIMO = %.3f [mm]", mostrado);
    console.imprimir("\n\nDIAMETRO USINADO MAXIMO = %.3f [mm]", mostrado);

    if (diametro_usinado_maximo - tolerancia_furo > estender(d.Diametro_final_total))
        parada_critica(msg_diametro_maior);
}
