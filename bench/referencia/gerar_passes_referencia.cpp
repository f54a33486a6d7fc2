// The straightforward pass generator, as it was before the fast path: one
// formatted write per line and a sine and a cosine per point. Kept only to
// measure the fast one against; the bytes it writes are the same.
#include "referencia/gerar_passes_referencia.hpp"

#include "nucleo/numerico.hpp"
#include "driver/parada_critica.hpp"
#include "output/ponto_helice.hpp"

namespace referencia {

void gerar_passe(DadosRosca& d, SaidaArquivo& arquivo);
void gerar_fio(DadosRosca& d, SaidaArquivo& arquivo, double raio);
void retracao_externa(const DadosRosca& d, SaidaArquivo& arquivo, double raio);

namespace {

// The steps are radial, so a pass moves the diameter by twice the step.
estendido no_diametro(float passo) { return estender(passo) + estender(passo); }

// Accumulated from the previous stored diameter, not recomputed from the
// first one: the last roughing pass may differ from the plan in the last bits.
void proximo_diametro(DadosRosca& d) {
    if (rosca_interna(d))
        d.diametro_passe = armazenar(estender(d.diametro_passe) + no_diametro(d.passo_lateral));
    else
        d.diametro_passe = armazenar(estender(d.diametro_passe) - no_diametro(d.passo_lateral));
}

// Every cutting point becomes text here and nowhere else.
void escrever_g01(SaidaArquivo& arquivo, float x, float y, float z) {
    arquivo.imprimir("\ng01 x%0.3f y%0.3f z-%0.3f", static_cast<double>(x),
                     static_cast<double>(y), static_cast<double>(z));
}

void alargar_extremos(DadosRosca& d) {
    if (d.x_atual > d.x_max) d.x_max = d.x_atual;
    if (d.x_atual < d.x_min) d.x_min = d.x_atual;
    if (d.y_atual > d.y_max) d.y_max = d.y_atual;
    if (d.y_atual < d.y_min) d.y_min = d.y_atual;
}

}  // namespace

void gerar_passes(DadosRosca& d, SaidaArquivo& arquivo) {
    if (d.Diametro_inicial == 0) {
        d.diametro_passe = d.Diametro_final;
        d.passe = 0;
    } else {
        d.diametro_passe = d.Diametro_inicial;
        d.passe = 1;
    }
    proximo_diametro(d);

    while (d.passe <= d.passes_laterais_int) {
        gerar_passe(d, arquivo);
        proximo_diametro(d);
        ++d.passe;
    }

    // The finishing pass lands on the final diameter as entered, so it is
    // computed afresh rather than accumulated; it keeps the next pass number.
    if (d.Diametro_final != d.Diametro_final_total && d.acabamento_feito == 0) {
        d.acabamento_feito = 1;
        const estendido desbaste = no_diametro(d.passo_lateral) * (static_cast<estendido>(d.passe) - 1);
        const estendido acabamento = no_diametro(d.passo_lateral_acabamento);
        if (rosca_interna(d))
            d.diametro_passe = armazenar((desbaste + estender(d.Diametro_inicial)) + acabamento);
        else
            d.diametro_passe = armazenar((estender(d.Diametro_inicial) - desbaste) - acabamento);
        gerar_passe(d, arquivo);
    }

    if (!rosca_interna(d)) arquivo.texto("\ng0 x0 y0\n");
}

void gerar_passe(DadosRosca& d, SaidaArquivo& arquivo) {
    const double raio = raio_percurso(d);

    // The start point keeps the fractional start angle; the turns use whole degrees.
    const PontoHelice inicio = ponto_helice(raio, d.angulo_inicial, sentido_direita(d));
    d.x_atual = inicio.x;
    d.y_atual = inicio.y;
    arquivo.imprimir("\ng00 x%0.3f y%0.3f\n", static_cast<double>(d.x_atual),
                     static_cast<double>(d.y_atual));

    // z_atual is 0 before the first pass and exactly L after each one, so
    // every pass cuts at least one point; depths come from the counters alone.
    d.fio = 0;
    while (d.z_atual <= d.comprimento_rosca) {
        gerar_fio(d, arquivo, raio);
        arquivo.texto("\n");
        if (d.z_atual >= d.comprimento_rosca) break;
        ++d.fio;
    }

    if (rosca_interna(d)) {
        arquivo.texto("\ng0 x0 y0");
        arquivo.imprimir("\ng0 z%.0f\n", static_cast<double>(d.altura_retracao_interna));
    } else {
        retracao_externa(d, arquivo, raio);
        arquivo.imprimir("\ng0 z%.0f\n", static_cast<double>(d.altura_retracao_externa));
    }
}

void gerar_fio(DadosRosca& d, SaidaArquivo& arquivo, double raio) {
    if (rosca_interna(d))
        arquivo.imprimir("\n;passo lateral: %d - fio rosca N: %d\n;diametro: %.3f [mm]\n", d.passe,
                         d.fio + 1, static_cast<double>(d.diametro_passe));
    else
        arquivo.imprimir("\n;passo lateral: %d - fio rosca N: %d\n;diametro: %.2f [mm]\n", d.passe,
                         d.fio + 1, static_cast<double>(d.diametro_passe));

    const bool mao_direita = sentido_direita(d);
    d.angulo_atual = static_cast<std::int32_t>(estender(d.angulo_inicial) + 1);
    for (d.passo_grau = 1; d.passo_grau <= 360; ++d.passo_grau) {
        const PontoHelice p = ponto_helice(raio, d.angulo_atual, mao_direita);
        d.x_atual = p.x;
        d.y_atual = p.y;
        d.z_atual = armazenar(static_cast<estendido>(d.passo_grau) * estender(d.passo_z_grau) +
                              static_cast<estendido>(d.fio) * estender(d.passo_rosca));
        escrever_g01(arquivo, d.x_atual, d.y_atual, d.z_atual);
        alargar_extremos(d);

        // The point that reaches the length is written with its own depth,
        // which may pass L by up to one step; the pass then counts as at L.
        if (d.z_atual >= d.comprimento_rosca) {
            d.z_atual = d.comprimento_rosca;
            return;
        }
        ++d.angulo_atual;
    }
}

void retracao_externa(const DadosRosca& d, SaidaArquivo& arquivo, double raio) {
    const double rc = raio + static_cast<double>(d.folga_retracao);
    double canto_x;
    double canto_y;
    // A coordinate of exactly 0 counts as negative X or positive Y.
    if (d.x_atual <= 0 && d.y_atual >= 0) {
        canto_x = -rc;
        canto_y = rc;
    } else if (d.x_atual <= 0 && d.y_atual < 0) {
        canto_x = -rc;
        canto_y = -rc;
    } else if (d.x_atual > 0 && d.y_atual >= 0) {
        canto_x = rc;
        canto_y = rc;
    } else if (d.x_atual > 0 && d.y_atual < 0) {
        canto_x = rc;
        canto_y = -rc;
    } else {
        // Only a coordinate that is not a number gets here.
        parada_estrutura("011");
    }
    arquivo.imprimir("\ng00 x%.3f y%.3f", canto_x, canto_y);
}

}  // namespace referencia
