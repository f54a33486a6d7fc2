#include "percurso/construir.hpp"

#include "percurso/trajeto.hpp"
#include "vocabulario/regras.hpp"

PlanoPasses plano_passes(const DadosRosca& d) {
    PlanoPasses plano;
    plano.interna = rosca_interna(d);
    plano.diametro_inicial = d.Diametro_inicial;
    plano.diametro_final = d.Diametro_final;
    plano.diametro_final_total = d.Diametro_final_total;
    plano.passo_lateral = d.passo_lateral;
    plano.passo_acabamento = d.passo_lateral_acabamento;
    plano.passes = d.passes_laterais_int;
    plano.diametro_ferramenta = d.D_ferramenta;
    return plano;
}

Percurso construir_percurso(const DadosRosca& d, const OpcoesGeracao& opcoes) {
    Percurso p;
    p.interna = rosca_interna(d);
    p.ferramenta = opcoes.ferramenta;
    p.programa = opcoes.programa;
    p.altura_aproximacao = d.altura_aproximacao;
    p.rotacao = d.rotacao_spindle;
    p.avanco = d.feed_rate;
    p.retracao = p.interna ? Retracao::ao_eixo : Retracao::ao_canto;
    p.altura_retracao = p.interna ? d.altura_retracao_interna : d.altura_retracao_externa;
    p.folga_retracao = d.folga_retracao;
    p.rapido_reto = opcoes.dialeto->rapido_reto;

    p.helice.angulo_inicial = d.angulo_inicial;
    p.helice.mao_direita = sentido_direita(d);
    p.helice.passo_rosca = d.passo_rosca;
    p.helice.passo_z_grau = d.passo_z_grau;
    p.helice.comprimento = d.comprimento_rosca;
    p.helice.profundidade_no_fim = opcoes.alguma;

    p.plano = plano_passes(d);
    p.plano.area_igual = opcoes.modos.area_igual;

    p.modos = vocabulario::modos_em_efeito(opcoes.modos, p.interna, p.helice.mao_direita);
    p.furos = opcoes.furos;
    p.ajuste = opcoes.ajuste_na_maquina;
    if (p.modos.perfis > 1)
        p.modos.voltas_por_passe = voltas_por_passe(p.helice.comprimento, p.helice.passo_rosca, p.modos.perfis);
    if (p.modos.conicidade != 0) {
        p.conicidade_diametro = 1.0 / static_cast<double>(p.modos.conicidade);
        p.helice.conicidade = vocabulario::conicidade_raio(static_cast<int>(p.modos.conicidade), p.interna);
    }
    return p;
}
