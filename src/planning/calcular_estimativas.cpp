#include "planning/calcular_estimativas.hpp"

#include <cmath>
#include <cstdint>

#include "nucleo/numerico.hpp"
#include "trabalho/parada_critica.hpp"

namespace {

float tempo_usinagem(const DadosRosca& d) {
    // Cases 1 and 3 (no even passes) count one pass; cases 2 and 4 count the
    // passes plus the finishing pass, if any. The diameter is the one entered.
    const estendido soma = estender(d.Diametro_final_total) + estender(d.Diametro_inicial);
    const estendido n = static_cast<estendido>(d.passes_laterais_int);
    estendido a, m;
    if (rosca_interna(d) && d.passes_laterais == 0) {
        a = soma - estender(d.D_ferramenta);
        m = static_cast<estendido>(static_cast<std::int64_t>(d.passes_laterais_int) + 1);
    } else if (rosca_interna(d) && d.passes_laterais > 0) {
        a = soma / 2 - estender(d.D_ferramenta);
        m = n + estender(d.time_incremental);
    } else if (rosca_externa(d) && d.passes_laterais == 0) {
        a = soma + estender(d.D_ferramenta);
        m = static_cast<estendido>(static_cast<std::int64_t>(d.passes_laterais_int) + 1);
    } else if (rosca_externa(d) && d.passes_laterais > 0) {
        a = soma / 2 + estender(d.D_ferramenta);
        m = n + estender(d.time_incremental);
    } else {
        parada_estrutura("005");
    }
    const estendido L = estender(d.comprimento_rosca);
    return armazenar((a * pi_aproximado * (L / estender(d.passo_rosca)) + m * L) / estender(d.feed_rate) * m);
}

float angulo_final(const DadosRosca& d) {
    // Exact in single precision: the fraction of a float less its whole part.
    const float fracao = d.fios_total - std::trunc(d.fios_total);
    float angulo = armazenar(estender(fracao) * 360 + estender(d.angulo_inicial));
    while (angulo >= 360) angulo = armazenar(estender(angulo) - 360);
    return angulo;
}

float precisao_passo(const DadosRosca& d) {
    float diametro;
    if (d.Diametro_inicial == 0)
        diametro = d.Diametro_final;
    else if (d.Diametro_inicial > 0)
        diametro = d.Diametro_inicial;
    else
        parada_estrutura("006");
    const double raio = static_cast<double>(estender(diametro) / 2 - estender(d.D_ferramenta) / 2);

    auto x_no_grau = [raio](int k) {
        const double angulo = k * grau_para_radiano;
        return armazenar(static_cast<estendido>(raio) * std::cos(angulo));
    };
    // 361 steps, 0 to 361 degrees: the last repeats the first, as it always has.
    float maior = 0;
    for (int k = 0; k <= 360; ++k) {
        float passo = armazenar(estender(x_no_grau(k + 1)) - estender(x_no_grau(k)));
        if (passo < 0) passo = -passo;
        if (passo > maior) maior = passo;
    }
    return maior;
}

}  // namespace

void calcular_estimativas(DadosRosca& d) {
    d.tempo_usinagem = tempo_usinagem(d);
    d.fios_total = armazenar(estender(d.comprimento_rosca) / estender(d.passo_rosca));
    d.angulo_final = angulo_final(d);
    d.precisao_passo = precisao_passo(d);
}
