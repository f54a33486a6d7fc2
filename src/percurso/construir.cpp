#include "percurso/construir.hpp"

#include "vocabulario/regras.hpp"

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

    p.helice.angulo_inicial = d.angulo_inicial;
    p.helice.mao_direita = sentido_direita(d);
    p.helice.passo_rosca = d.passo_rosca;
    p.helice.passo_z_grau = d.passo_z_grau;
    p.helice.comprimento = d.comprimento_rosca;

    p.plano.interna = p.interna;
    p.plano.diametro_inicial = d.Diametro_inicial;
    p.plano.diametro_final = d.Diametro_final;
    p.plano.diametro_final_total = d.Diametro_final_total;
    p.plano.passo_lateral = d.passo_lateral;
    p.plano.passo_acabamento = d.passo_lateral_acabamento;
    p.plano.passes = d.passes_laterais_int;
    p.plano.diametro_ferramenta = d.D_ferramenta;

    p.modos = vocabulario::modos_em_efeito(opcoes.modos, p.interna, p.helice.mao_direita);
    if (p.modos.conicidade != 0) {
        p.conicidade_diametro = 1.0 / static_cast<double>(p.modos.conicidade);
        p.helice.conicidade = vocabulario::conicidade_raio(static_cast<int>(p.modos.conicidade), p.interna);
    }
    return p;
}
