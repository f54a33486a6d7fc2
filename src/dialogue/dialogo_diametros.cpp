#include "dialogue/dialogo_diametros.hpp"

#include "dialogue/desenhos_rosca.hpp"
#include "nucleo/numerico.hpp"
#include "trabalho/parada_critica.hpp"

namespace {

constexpr const char* separador = "----------------------------------------------------------";
constexpr const char* aviso_contato = "\nDuvidas ou sugestoes: consulte o README do programa.";

template <std::size_t N>
void desenhar(Console& console, const char* const (&linhas)[N]) {
    for (const char* linha : linhas) console.escrever(linha);
}

void perguntar_tipo(DadosRosca& d, Console& console) {
    for (;;) {
        console.escrever("\nEntre com o Tipo de Rosca: Interna ou Externa [I / E]: ");
        d.tipo_rosca = console.ler_tecla();
        if (rosca_interna(d) || rosca_externa(d)) break;
        console.escrever("\nERRO! (I ou E)... --- tente novamente!");
        console.escrever("\n\n");
        console.escrever(separador);
        console.escrever(aviso_contato);
        console.escrever("\n");
        console.escrever(separador);
        console.escrever("\n");
    }
    console.escrever("\n");
    if (rosca_interna(d)) {
        desenhar(console, desenho::furo);
    } else {
        desenhar(console, desenho::parafuso);
    }
    console.escrever("\n");
}

void perguntar_diametro_final(DadosRosca& d, Console& console) {
    for (;;) {
        console.escrever("\nEntre com o Diametro Final da rosca [mm]: ");
        if (!console.ler_numero(d.Diametro_final)) continue;
        if (d.Diametro_final > 0) return;
        console.escrever(
            "\aERRO! O diametro final da rosca deve ser maior que ZERO... --- tente novamente!\n");
    }
}

void perguntar_diametro_inicial(DadosRosca& d, Console& console) {
    for (;;) {
        console.escrever("\nEntre com o Diametro Inicial da rosca [mm] (digite 0 p/ DESABILITAR)");
        console.escrever("\n[Diametro do Blank p/ rosca em mais de um passe]: ");
        if (!console.ler_numero(d.Diametro_inicial)) continue;

        // The first check that applies decides.
        if (d.Diametro_inicial == d.Diametro_final) {
            // A blank already at the final size needs no radial passes: not a rejection.
            console.escrever(
                "\aERRO! Diametro inicial = Diametro final... o programa DESABILITAR e CONTINUAR!\n\n");
            d.Diametro_inicial = 0;
        }
        if (d.Diametro_inicial == 0) {
            return;
        } else if (d.Diametro_inicial < 0) {
            console.escrever(
                "\aERRO! O diametro inicial da rosca deve ser maior que ZERO... --- tente novamente!\n");
        } else if (rosca_interna(d) && d.Diametro_inicial > d.Diametro_final) {
            console.imprimir(
                "\aERRO! O diametro inicial da rosca deve ser menor que o diametro final... --- tente "
                "novamente!\nD-inicial: (%.3f)\nD-final: (%.3f)\n",
                d.Diametro_inicial, d.Diametro_final);
        } else if (rosca_externa(d) && d.Diametro_inicial < d.Diametro_final) {
            console.imprimir(
                "\aERRO! O diametro inicial da rosca deve ser maior que o diametro final... --- tente "
                "novamente!\nD-inicial: (%.3f)\nD-final: (%.3f)\n",
                d.Diametro_inicial, d.Diametro_final);
        } else if (d.Diametro_inicial > 0) {
            return;
        } else {
            parada_estrutura("001");
        }
    }
}

// Distance on the radius between the blank and the final diameter. Kept in
// double: the step is compared with it, not with a rounded copy.
double profundidade_radial(const DadosRosca& d) {
    estendido diferenca = rosca_interna(d) ? estender(d.Diametro_final) - estender(d.Diametro_inicial)
                                           : estender(d.Diametro_inicial) - estender(d.Diametro_final);
    return static_cast<double>(diferenca / 2);
}

void perguntar_passo_lateral(DadosRosca& d, Console& console) {
    desenhar(console, desenho::passo);
    console.escrever("\n");
    for (;;) {
        console.escrever("\n");
        console.escrever("\nEntre com o Passo Lateral (do filete) da rosca [mm]: ");
        if (!console.ler_numero(d.passo_lateral)) continue;
        if (d.passo_lateral > 0) break;
        console.imprimir(
            "\aERRO! O passo lateral (do filete) da rosca deve ser maior que ZERO... (%.2f) --- tente "
            "novamente!\n",
            d.passo_lateral);
    }

    // A step deeper than the thread would cut past the final diameter: one
    // radial pass then covers the whole depth.
    double profundidade = profundidade_radial(d);
    if (static_cast<double>(d.passo_lateral) > profundidade) {
        console.imprimir("\a\n passo lateral = %.2f", d.passo_lateral);
        d.passo_lateral = static_cast<float>(profundidade);
        console.imprimir("\a\n passo lateral = %.2f", d.passo_lateral);
    } else {
        console.imprimir("(Passo lateral = %.2f\n", d.passo_lateral);
    }
}

void perguntar_passo_acabamento(DadosRosca& d, Console& console) {
    for (;;) {
        console.escrever(
            "\nEntre com o Passo Lateral de Acabamento (do filete) da rosca [mm] (digite '0' p/ "
            "DESABILITAR): ");
        if (!console.ler_numero(d.passo_lateral_acabamento)) continue;
        if (d.passo_lateral_acabamento < 0) {
            console.imprimir(
                "\aERRO! O passo lateral de acabamento (do filete) da rosca deve ser maior que ZERO... "
                "(%.2f) --- tente novamente!\n",
                d.passo_lateral_acabamento);
        } else if (d.passo_lateral_acabamento >= d.passo_lateral) {
            console.imprimir(
                "\aERRO! O passo lateral de acabamento (do filete) da rosca deve ser menor que o passo "
                "lateral... (passo_lateral_acabamento = %.2f ///// passo_lateral = %.2f) --- tente "
                "novamente!\n",
                d.passo_lateral_acabamento, d.passo_lateral);
        } else {
            break;
        }
    }
    // No separate finishing pass is stored as a finishing step equal to the radial step.
    if (d.passo_lateral_acabamento == 0) d.passo_lateral_acabamento = d.passo_lateral;
    console.escrever("------------------------------\n");
}

void perguntar_ferramenta(DadosRosca& d, Console& console) {
    for (;;) {
        console.escrever("\nEntre com o Diametro da Ferramenta [mm]: ");
        if (!console.ler_numero(d.D_ferramenta)) continue;
        double raio = static_cast<double>(estender(d.D_ferramenta) / 2);
        if (d.D_ferramenta < 0) {
            console.imprimir(
                "\aERRO! Diametro da Ferramenta n\xE3o pode ser NEGATIVO... --- tente "
                "novamente!\nD-ferramenta: (%.3f)\n",
                d.D_ferramenta);
        } else if (static_cast<double>(d.passo_lateral) >= raio) {
            // With the multi-pass plan off the step is 0, so this also rejects a cutter of 0.
            console.imprimir(
                "\aERRO! Passo Lateral deve ser menor que o Raio da ferramenta... --- tente "
                "novamente!\nPasso Lateral: (%.3f)\nRaio-ferramenta: (%.3f)\n",
                d.passo_lateral, raio);
        } else if (rosca_interna(d) && d.Diametro_inicial != 0 && d.D_ferramenta >= d.Diametro_inicial) {
            console.imprimir(
                "\aERRO! Diametro da Ferramenta deve ser menor que o diametro inicial... --- tente "
                "novamente!\nD-ferramenta: (%.3f)\nD-inicial: (%.3f)\n",
                d.D_ferramenta, d.Diametro_inicial);
        } else if (rosca_interna(d) && d.Diametro_inicial == 0 && d.D_ferramenta >= d.Diametro_final) {
            console.imprimir(
                "\aERRO! Diametro da Ferramenta deve ser menor que o diametro final... --- tente "
                "novamente!\nD-ferramenta: (%.3f)\nD-final: (%.3f)\n",
                d.D_ferramenta, d.Diametro_final);
        } else {
            return;
        }
    }
}

void verificar_ferramenta(const DadosRosca& d, Console& console) {
    if (rosca_interna(d) && d.Diametro_inicial != 0 && d.D_ferramenta < d.Diametro_inicial) {
        console.imprimir("(verificacao: D-ferramenta %.1f < D-inicial %.1f --- OK)\n", d.D_ferramenta,
                         d.Diametro_inicial);
        console.imprimir("(D-final %.1f)\n", d.Diametro_final);
    } else if (rosca_interna(d) && d.Diametro_inicial == 0 && d.D_ferramenta < d.Diametro_final) {
        console.imprimir("(verificacao: D-ferramenta %.1f < D-final %.1f --- OK)\n", d.D_ferramenta,
                         d.Diametro_final);
        console.imprimir("(D-inicial %.1f --- DESABILITADO)\n", d.Diametro_inicial);
    } else if (rosca_externa(d)) {
        console.escrever("(verificacao: --- OK)\n");
    } else {
        parada_estrutura("002");
    }
}

}  // namespace

void dialogo_diametros(DadosRosca& d, Console& console) {
    perguntar_tipo(d, console);
    perguntar_diametro_final(d, console);
    perguntar_diametro_inicial(d, console);
    if (d.Diametro_inicial == 0) {
        // Single pass: no radial step and no finishing step are asked.
        d.passo_lateral = 0;
        d.passo_lateral_acabamento = 0;
    } else {
        perguntar_passo_lateral(d, console);
        perguntar_passo_acabamento(d, console);
    }
    perguntar_ferramenta(d, console);
    verificar_ferramenta(d, console);
}
