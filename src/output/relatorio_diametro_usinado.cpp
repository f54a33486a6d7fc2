#include "output/relatorio_diametro_usinado.hpp"

#include "nucleo/numerico.hpp"
#include "trabalho/parada_critica.hpp"
#include "vocabulario/cabecalho.hpp"
#include "vocabulario/geometria.hpp"

namespace {

using vocabulario::tolerancia_furo;
namespace formato = vocabulario::formato;

constexpr const char* msg_diametro_maior =
    "\n\aERRO CRITICO - DIAMETRO FINAL MAIOR QUE O FURO!!!\n\a";

}  // namespace

void relatorio_diametro_usinado(const DadosRosca& d, Escrita& arquivo, Console& console) {
    if (!rosca_interna(d)) return;

    arquivo.linha_comentario_formatada(1, formato::extensao_x.texto(), static_cast<double>(d.x_max),
                                       static_cast<double>(d.x_min));
    arquivo.linha_comentario_formatada(1, formato::extensao_y.texto(), static_cast<double>(d.y_max),
                                       static_cast<double>(d.y_min));

    // The extents are the cutter centre's, so the cutter adds its own diameter.
    // Printed through double, which holds this sum exactly for any real job.
    const estendido diametro_usinado_maximo = estender(d.x_max) - estender(d.x_min) + estender(d.D_ferramenta);
    const double mostrado = static_cast<double>(diametro_usinado_maximo);
    arquivo.linha_comentario_formatada(1, formato::diametro_usinado.texto(), mostrado);
    console.imprimir("\n\nDIAMETRO USINADO MAXIMO = %.3f [mm]", mostrado);

    if (diametro_usinado_maximo - tolerancia_furo > estender(d.Diametro_final_total))
        parada_critica(msg_diametro_maior);
}
