#include "emissao/cordas.hpp"

#include <charconv>

#include "nucleo/formato_fixo.hpp"
#include "nucleo/juntar.hpp"
#include "vocabulario/cabecalho.hpp"

TextosVolta textos_volta(const Escrita& escrita, const PassePercurso& passe, bool interna) {
    namespace f = vocabulario::formato;
    char texto[128 + max_fixo3];
    std::snprintf(texto, sizeof texto, f::volta.texto(), passe.numero);
    std::string inicio, fim;
    escrita.comentario_partido(texto, "", inicio, fim);
    std::snprintf(texto, sizeof texto, interna ? f::diametro_volta_interna.texto() : f::diametro_volta_externa.texto(),
                  static_cast<double>(passe.diametro));
    TextosVolta t;
    t.abertura = escrita.em_linhas(juntar({"\n", inicio}));
    t.fechamento = escrita.em_linhas(juntar({fim, "\n", escrita.comentario(texto), "\n"}));
    return t;
}

void escrever_cordas_simples(const PassePercurso& passe, ContextoCordas& c, PontoHelice& ultimo) {
    const Helice& h = passe.helice;
    const vocabulario::Dialeto& dialeto = c.escrita.dialeto();
    SaidaArquivo& arquivo = c.escrita.arquivo();
    const TextosVolta textos = textos_volta(c.escrita, passe, c.interna);
    const std::string prefixo = juntar({"\n", dialeto.corte, " ", dialeto.x});
    const std::string meio_y = juntar({" ", dialeto.y});
    const std::string meio_z = juntar({" ", dialeto.z, "-"});

    const std::int32_t primeiro = angulo_primeiro(h);
    for (std::int64_t fio = 0; c.z_atual <= h.comprimento; ++fio) {
        arquivo.bruto(textos.abertura.data(), textos.abertura.size());
        char numero[24];
        const auto fim = std::to_chars(numero, numero + sizeof numero, fio + 1).ptr;
        arquivo.bruto(numero, static_cast<std::size_t>(fim - numero));
        arquivo.bruto(textos.fechamento.data(), textos.fechamento.size());
        int pontos = 0;
        bool no_fim = false;
        for (int passo = 1; passo <= vocabulario::passos_por_volta; ++passo) {
            const float z = profundidade_corda(h, fio, passo);
            const PontoHelice p = ponto_helice(h.raio_em(z), primeiro + passo - 1, h.mao_direita);
            arquivo.imprimir("%s%0.3f%s%0.3f%s%0.3f", prefixo.c_str(), static_cast<double>(p.x), meio_y.c_str(),
                             static_cast<double>(p.y), meio_z.c_str(), static_cast<double>(z));
            // A tapered thread is judged at the face.
            if (h.conicidade != 0) {
                const PontoHelice face = ponto_helice(h.raio, primeiro + passo - 1, h.mao_direita);
                c.extremos.alargar(face.x, face.y);
            } else {
                c.extremos.alargar(p.x, p.y);
            }
            ultimo = p;
            ++pontos;
            c.z_atual = z;
            if (z >= h.comprimento) {
                // The move that reaches the length may pass it by up to one
                // step; the pass then counts as at the length.
                c.z_atual = h.comprimento;
                no_fim = true;
                break;
            }
        }
        arquivo.texto("\n");
        // The turn's blank line, two comment lines and blank line, then its moves.
        c.progresso.avancar(static_cast<std::uint64_t>(pontos) + 4);
        if (no_fim) break;
    }
}
