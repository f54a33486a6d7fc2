#include "driver/programa.hpp"

#include <algorithm>
#include <cmath>

#include "dialogue/dialogo_diametros.hpp"
#include "dialogue/dialogo_helice_corte.hpp"
#include "trabalho/dados_rosca.hpp"
#include "trabalho/parada_critica.hpp"
#include "nucleo/versao.hpp"
#include "emissao/medicao.hpp"
#include "output/gravar_percurso.hpp"
#include "percurso/construir.hpp"
#include "output/resumo.hpp"
#include "planning/calcular_estimativas.hpp"
#include "planning/planejar_passes.hpp"

int executar_programa(Console& console, const AbridorArquivo& abrir, const OpcoesGeracao& opcoes,
                      OpcoesEmissao emissao) {
    DadosRosca d;
    try {
        console.imprimir("========== Quilvane ========== rev. %s\n", versao_programa);
        dialogo_diametros(d, console);
        dialogo_helice_corte(d, console);
        planejar_passes(d, console);
        calcular_estimativas(d);
        // The file's options add to the summary what the path itself takes.
        ExtrasResumo extras;
        if (opcoes.alguma) {
            extras.minutos_por_furo = minutos_de_corte(construir_percurso(d, opcoes));
            // A path too long to measure gets no time lines.
            extras.tempo = !std::isnan(extras.minutos_por_furo);
            extras.furos = static_cast<long long>(opcoes.furos.size());
            extras.minutos_percurso = extras.minutos_por_furo * static_cast<double>(std::max<long long>(1, extras.furos));
            extras.area_igual = opcoes.modos.area_igual;
        }
        imprimir_resumo(d, console, extras);
        gravar_percurso(d, opcoes, abrir, console, emissao, extras);
    } catch (const ParadaCritica& parada) {
        console.escrever(parada.mensagem);
        console.pausa();
        return 1;
    }
    console.pausa();
    return 0;
}
