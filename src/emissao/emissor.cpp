#include "emissao/emissor.hpp"

#include "trabalho/parada_critica.hpp"
#include "nucleo/juntar.hpp"

using vocabulario::Bloco;

Emissor::Emissor(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo, OpcoesEmissao opcoes)
    : escrita_(dialeto, arquivo), opcoes_(opcoes), cordas_(dialeto) {}

namespace {

std::string palavra(std::string_view letra, const std::string& numero) { return juntar({letra, numero}); }

}  // namespace

std::string Emissor::movimento(std::string_view g, double x, double y, int casas) const {
    const vocabulario::Dialeto& d = escrita_.dialeto();
    return juntar({g, " ", palavra(d.x, escrita_.numero(x, casas)), " ", palavra(d.y, escrita_.numero(y, casas))});
}

void Emissor::bloco(const Percurso& percurso, Bloco b) {
    const vocabulario::Dialeto& d = escrita_.dialeto();
    const Escrita& e = escrita_;
    std::string t;
    switch (b) {
        case Bloco::altura_aproximacao:
            t = juntar({d.rapido, " ", palavra(d.z, e.numero(percurso.altura_aproximacao, 0))});
            break;
        case Bloco::origem:
            t = juntar({d.rapido, " ", palavra(d.x, e.numero(0, 0)), " ", palavra(d.y, e.numero(0, 0))});
            break;
        case Bloco::liga_fuso: t = d.liga_fuso; break;
        case Bloco::rotacao: t = palavra(d.s, e.numero(percurso.rotacao, 0)); break;
        case Bloco::pausa: t = juntar({d.pausa, " ", palavra(d.p, e.numero(d.segundos_pausa, 0))}); break;
        case Bloco::avanco: t = palavra(d.f, e.numero(percurso.avanco, 0)); break;
        case Bloco::escala_liga:
            t = juntar({d.escala_liga, " ", palavra(d.x, e.numero(1, 2)), " ", palavra(d.y, e.numero(1, 2))});
            break;
        case Bloco::escala_desliga: t = d.escala_desliga; break;
        case Bloco::desliga_fuso: t = d.desliga_fuso; break;
        case Bloco::fim_programa: t = d.fim_programa; break;
    }
    escrita_.texto(t);
}

void Emissor::preambulo(const Percurso& percurso) {
    for (const vocabulario::LinhaBloco& l : escrita_.dialeto().preambulo) {
        escrita_.quebras(l.quebras);
        bloco(percurso, l.bloco);
    }
    escrita_.quebras(1);
}

void Emissor::final(const Percurso& percurso) {
    for (const vocabulario::LinhaBloco& l : escrita_.dialeto().final) {
        escrita_.quebras(l.quebras);
        bloco(percurso, l.bloco);
    }
    escrita_.quebras(1);
}

void Emissor::passes(const Percurso& percurso, Console* console) {
    // Erased when this returns or a stop unwinds, before the console goes on.
    Progresso progresso(linhas_previstas(percurso), console);
    ContextoCordas contexto{escrita_, extremos_, progresso, percurso.interna};
    SequenciaPasses sequencia(percurso);
    PassePercurso p;
    while (sequencia.proximo(p)) {
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
    escrita_.quebras(1);
    PontoHelice ultimo = inicio;
    if (opcoes_.escrita_simples)
        escrever_cordas_simples(p, c, ultimo);
    else
        cordas_.escrever(p, c, ultimo);
    return ultimo;
}

void Emissor::retracao(const Percurso& percurso, const PassePercurso& p, PontoHelice ultimo) {
    const vocabulario::Dialeto& d = escrita_.dialeto();
    const std::string altura = palavra(d.z, escrita_.numero(percurso.altura_retracao, 0));
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
