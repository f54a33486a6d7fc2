#include "emissao/emissor.hpp"

#include <cstdio>

#include "trabalho/parada_critica.hpp"
#include "nucleo/juntar.hpp"

using vocabulario::Bloco;

Emissor::Emissor(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo, OpcoesEmissao opcoes)
    : escrita_(dialeto, arquivo), opcoes_(opcoes), cordas_(dialeto) {
    arquivo.usar_fim_de_linha(dialeto.fim_de_linha);
}

namespace {

std::string palavra(std::string_view letra, const std::string& numero) { return juntar({letra, numero}); }

}  // namespace

std::string Emissor::movimento(std::string_view g, double x, double y, int casas) const {
    const vocabulario::Dialeto& d = escrita_.dialeto();
    return juntar(
        {g, " ", palavra(d.x, escrita_.coordenada(x, casas)), " ", palavra(d.y, escrita_.coordenada(y, casas))});
}

std::string Emissor::bloco(const Percurso& percurso, Bloco b) const {
    const vocabulario::Dialeto& d = escrita_.dialeto();
    const Escrita& e = escrita_;
    const std::string ferramenta = std::to_string(percurso.ferramenta);
    switch (b) {
        case Bloco::seguro: return std::string(d.seguro);
        case Bloco::troca_ferramenta:
            if (percurso.ferramenta <= 0) return {};
            return juntar({d.t, ferramenta, " ", d.troca_ferramenta});
        case Bloco::compensacao_comprimento:
            if (percurso.ferramenta <= 0) return {};
            return juntar({d.compensacao_comprimento, " ", d.h, ferramenta});
        case Bloco::comentario_ferramenta:
            if (percurso.ferramenta <= 0) return {};
            return e.comentario(juntar({"ferramenta ", d.t, ferramenta, ": troque e ajuste o comprimento a mao"}));
        case Bloco::altura_aproximacao:
            return juntar({d.rapido, " ", palavra(d.z, e.coordenada(percurso.altura_aproximacao, 0))});
        case Bloco::origem: return movimento(d.rapido, 0, 0, 0);
        case Bloco::liga_fuso: return std::string(d.liga_fuso);
        case Bloco::rotacao: return palavra(d.s, e.numero(percurso.rotacao, 0));
        case Bloco::rotacao_e_fuso: return juntar({palavra(d.s, e.numero(percurso.rotacao, 0)), " ", d.liga_fuso});
        case Bloco::pausa:
            return juntar({d.pausa, " ", palavra(d.p, std::to_string(vocabulario::segundos_pausa * d.pausa_por_segundo))});
        case Bloco::avanco: return palavra(d.f, e.coordenada(percurso.avanco, 0));
        case Bloco::escala_liga:
            return juntar({d.escala_liga, " ", palavra(d.x, e.numero(1, 2)), " ", palavra(d.y, e.numero(1, 2))});
        case Bloco::escala_desliga: return std::string(d.escala_desliga);
        case Bloco::desliga_fuso: return std::string(d.desliga_fuso);
        case Bloco::fim_programa: return std::string(d.fim_programa);
    }
    return {};
}

void Emissor::blocos(const Percurso& percurso, std::span<const vocabulario::LinhaBloco> linhas) {
    for (const vocabulario::LinhaBloco& l : linhas) {
        const std::string texto = bloco(percurso, l.bloco);
        if (texto.empty()) continue;
        escrita_.quebras(l.quebras);
        escrita_.texto(texto);
    }
    escrita_.quebras(1);
}

void Emissor::inicio(const Percurso& percurso) {
    if (!escrita_.dialeto().enquadramento) return;
    char numero[16];
    std::snprintf(numero, sizeof numero, "O%04d", percurso.programa);
    escrita_.texto(juntar({"%\n", numero, "\n"}));
}

void Emissor::preambulo(const Percurso& percurso) { blocos(percurso, escrita_.dialeto().preambulo); }

void Emissor::final(const Percurso& percurso) {
    blocos(percurso, escrita_.dialeto().final);
    if (escrita_.dialeto().enquadramento) escrita_.texto("%\n");
}

void Emissor::passes(const Percurso& percurso, Console* console) {
    // Erased when this returns or a stop unwinds, before the console goes on.
    Progresso progresso(linhas_previstas(percurso), console);
    ContextoCordas contexto{escrita_, extremos_, progresso, percurso.interna};
    SequenciaPasses sequencia(percurso);
    PassePercurso p;
    while (sequencia.proximo(p)) {
        // Today's shape of pass, in whatever dialect, keeps today's writers.
        if (p.subindo || percurso.tangencial || percurso.compensacao || opcoes_.arcos) {
            escrever_passe_geral(percurso, p, contexto, opcoes_.arcos);
            continue;
        }
        const PontoHelice ultimo = passe(p, contexto);
        retracao(percurso, p, ultimo);
    }
    if (percurso.retracao == Retracao::ao_canto) {
        const vocabulario::Dialeto& d = escrita_.dialeto();
        escrita_.quebras(1);
        escrita_.texto(movimento(d.rapido_retracao, 0, 0, 0));
        escrita_.quebras(1);
    }
}

PontoHelice Emissor::passe(const PassePercurso& p, ContextoCordas& c) {
    const vocabulario::Dialeto& d = escrita_.dialeto();
    // The start point keeps the fractional start angle; the turns use whole degrees.
    const PontoHelice inicio = ponto_helice(p.helice.raio, p.helice.angulo_inicial, p.helice.mao_direita);
    escrita_.quebras(1);
    escrita_.texto(movimento(d.rapido, inicio.x, inicio.y, 3));
    if (p.avanco > 0) {
        escrita_.quebras(1);
        escrita_.texto(juntar({d.f, escrita_.numero(p.avanco, 1)}));
    }
    escrita_.quebras(1);
    PontoHelice ultimo = inicio;
    // A tapered helix changes its radius point by point: no text repeats.
    if (opcoes_.escrita_simples || p.helice.conicidade != 0)
        escrever_cordas_simples(p, c, ultimo);
    else
        cordas_.escrever(p, c, ultimo);
    return ultimo;
}

void Emissor::retracao(const Percurso& percurso, const PassePercurso& p, PontoHelice ultimo) {
    const vocabulario::Dialeto& d = escrita_.dialeto();
    const std::string altura = palavra(d.z, escrita_.coordenada(percurso.altura_retracao, 0));
    escrita_.quebras(1);
    if (percurso.retracao == Retracao::ao_eixo) {
        escrita_.texto(movimento(d.rapido_retracao, 0, 0, 0));
    } else {
        const double rc = p.helice.raio + static_cast<double>(percurso.folga_retracao);
        vocabulario::Canto canto;
        // Only a coordinate that is not a number has no quadrant.
        if (!vocabulario::canto_retracao(ultimo.x, ultimo.y, rc, canto)) parada_estrutura("011");
        escrita_.texto(movimento(d.rapido, canto.x, canto.y, 3));
    }
    escrita_.quebras(1);
    escrita_.texto(juntar({d.rapido_retracao, " ", altura}));
    escrita_.quebras(1);
}
