#include "dialogue/dialogo_helice_corte.hpp"

#include "dialogue/desenhos_bussola.hpp"
#include "nucleo/numerico.hpp"

namespace {

// A feed answer up to this is a factor of the spindle speed. Held in double:
// the float nearest 0.4 lies above it, so ".4" stays an absolute feed.
constexpr double limite_feed_relativo = 0.4;
constexpr float feed_maximo = 2000.0f;
constexpr float angulo_maximo = 360.0f;
constexpr const char* msg_feed_zero = "\aERRO! Velocidade de Corte deve ser maior que ZERO...\n";
// The file writes the feed as a whole number ("%.0f"): up to this it would
// say f0, a program that cannot cut.
constexpr float feed_minimo_gravavel = 0.5f;
constexpr const char* msg_feed_f0 = "\aERRO! Velocidade de Corte ate 0.5 [mm/min] seria gravada como f0...\n";

void perguntar_comprimento(DadosRosca& d, Console& console) {
    for (;;) {
        console.escrever("\nEntre com a Profundidade (L) da rosca [mm]: ");
        if (!console.ler_numero(d.comprimento_rosca)) continue;
        if (d.comprimento_rosca > 0) return;
        console.escrever(
            "\aERRO! O comprimento (L) da rosca deve ser maior que ZERO... --- tente novamente!\n");
    }
}

void perguntar_passo_rosca(DadosRosca& d, Console& console) {
    for (;;) {
        console.escrever("\nEntre com o passo da rosca (1 fio) [mm]: ");
        if (!console.ler_numero(d.passo_rosca)) continue;
        if (d.passo_rosca > 0) return;
        console.escrever("\aERRO! Passo Helicoidal deve ser maior que ZERO... --- tente novamente!\n");
    }
}

void perguntar_sentido(DadosRosca& d, Console& console) {
    console.escrever(
        "\nEntre com o Tipo de Rosca: Direita ou Esquerda [D / E]:\nDireita >> sentido "
        "Horario\nEsquerda >> sentido Anti-Horario\n: ");
    for (;;) {
        d.sentido_rosca = console.ler_tecla();
        if (sentido_direita(d) || sentido_esquerda(d)) break;
        // The prompt stays on screen; the next key is read at once.
        console.escrever("\aERRO! (D ou E)... --- tente novamente!\n");
    }
    console.escrever("\n");
}

void perguntar_angulo(DadosRosca& d, Console& console) {
    for (;;) {
        if (sentido_esquerda(d)) {
            console.escrever(
                "\nEntre com o angulo inicial da rosca [ '0' <= alpha < '360' graus] (digite '0' p/ "
                "PADRAO=0): ");
            console.escrever("\n");
            for (const char* linha : desenho::bussola_esquerda) console.escrever(linha);
        } else {
            console.escrever(
                "\nEntre com o angulo inicial da rosca [ '0' <= alpha < '360' ] (digite '0' p/ "
                "PADRAO=0): ");
            console.escrever("\n");
            for (const char* linha : desenho::bussola_direita) console.escrever(linha);
        }
        console.escrever("\n: ");
        if (!console.ler_numero(d.angulo_inicial)) continue;
        if (d.angulo_inicial < 0 || d.angulo_inicial >= angulo_maximo) {
            console.escrever(
                "\aERRO! O angulo inicial da rosca deve ser entre '0' e '359' ]  --- tente novamente!\n");
            continue;
        }
        // A typed "-0" passes the checks; store it as plain zero so it never prints as "-0".
        if (d.angulo_inicial == 0) d.angulo_inicial = 0;
        return;
    }
}

void perguntar_rotacao(DadosRosca& d, Console& console) {
    for (;;) {
        console.escrever("\nEntre com a rotacao do spindle [rpm]: ");
        if (!console.ler_numero(d.rotacao_spindle)) continue;
        if (d.rotacao_spindle > 0) return;
        console.escrever(
            "\aERRO! Rotacao do Spindle deve ser diferente de ZERO... --- tente novamente!\n");
    }
}

void perguntar_feed(DadosRosca& d, Console& console) {
    for (;;) {
        console.escrever("\nEntre com a Velocidade de Corte [mm / min]: ");
        console.escrever("\n(digite \"0\" p/ PADR\xC3O - FEED = RPM*0.05)");
        console.escrever("\n(digite .5 p/ FEED = RPM*0.5)");
        console.escrever("\n... ... ...");
        console.escrever("\n(digite .2 p/ FEED = RPM*0.2)");
        console.escrever("\n(digite .1 p/ FEED = RPM*0.1)");
        console.escrever("\n: ");
        if (!console.ler_numero(d.feed_rate)) continue;
        if (!(d.feed_rate > 0)) {
            console.escrever(msg_feed_zero);
            continue;
        }
        if (static_cast<double>(d.feed_rate) <= limite_feed_relativo) {
            d.feed_rate = armazenar(estender(d.feed_rate) * estender(d.rotacao_spindle));
            console.imprimir("(feed_rate relativo ao rpm: %.1f [mm/min])\n", d.feed_rate);
            // A factor of an almost-zero speed can round to a feed of 0, which
            // would stall the cutter and divide the time estimate by zero.
            if (!(d.feed_rate > 0)) {
                console.escrever(msg_feed_zero);
                continue;
            }
        }
        // Tested after the conversion, so a large factor of a high speed is refused too.
        if (d.feed_rate > feed_maximo) {
            console.escrever("\aERRO! Fora da faixa...");
            continue;
        }
        if (!(d.feed_rate > feed_minimo_gravavel)) {
            console.escrever(msg_feed_f0);
            continue;
        }
        return;
    }
}

}  // namespace

void dialogo_helice_corte(DadosRosca& d, Console& console) {
    perguntar_comprimento(d, console);
    perguntar_passo_rosca(d, console);
    perguntar_sentido(d, console);
    perguntar_angulo(d, console);
    perguntar_rotacao(d, console);
    perguntar_feed(d, console);
}
