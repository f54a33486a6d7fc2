#include "percurso/construir.hpp"

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

    switch (opcoes.fresamento) {
        case OpcoesGeracao::Fresamento::hoje: p.fresamento = Fresamento::hoje; break;
        case OpcoesGeracao::Fresamento::concordante: p.fresamento = Fresamento::concordante; break;
        case OpcoesGeracao::Fresamento::discordante: p.fresamento = Fresamento::discordante; break;
    }
    // Compensation comes on and goes off along lines tangent to the path:
    // it takes the tangent arcs in and out with it.
    p.tangencial = opcoes.tangencial || opcoes.compensacao;
    p.compensacao = opcoes.compensacao;
    p.corretor = opcoes.ferramenta > 0 ? opcoes.ferramenta : 1;
    p.repeticoes_acabamento = opcoes.repeticoes_acabamento;
    p.avanco_na_aresta = opcoes.avanco_na_aresta;
    if (opcoes.conicidade != 0) {
        // The diameter changes 1/N per mm of depth: inside a bore it narrows
        // downward, on a pipe it grows (the small end is at the face).
        p.conicidade_diametro = 1.0 / opcoes.conicidade;
        p.helice.conicidade = (p.interna ? -0.5 : 0.5) * p.conicidade_diametro;
    }
    return p;
}
