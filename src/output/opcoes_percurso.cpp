#include "output/opcoes_percurso.hpp"

#include <algorithm>
#include <string>

#include "percurso/guias.hpp"
#include "vocabulario/cabecalho.hpp"
#include "vocabulario/regras.hpp"

namespace {

namespace f = vocabulario::formato;

// The feeds of the first and the last pass's centre, which bound them all:
// the centre's share of the edge's feed moves one way with the diameter.
void faixa_de_avanco(const Percurso& percurso, double& menor, double& maior) {
    SequenciaPasses sequencia(percurso);
    PassePercurso primeiro;
    if (!sequencia.proximo(primeiro)) {
        menor = maior = percurso.avanco;
        return;
    }
    const float ultimo = percurso.plano.diametro_final_total;
    const double a = avanco_no_centro(percurso, primeiro.diametro), b = avanco_no_centro(percurso, ultimo);
    menor = std::min(a, b);
    maior = std::max(a, b);
}

// The path's deepest Z, when it is below the thread length as the file
// prints them; false otherwise.
bool z_abaixo_de_L(const Percurso& p, double& z) {
    z = -profundidade_maxima(p, p.modos.arcos);
    char minimo[64], comprimento[64];
    std::snprintf(minimo, sizeof minimo, "%.3f", z);
    std::snprintf(comprimento, sizeof comprimento, "%.3f", -static_cast<double>(p.helice.comprimento));
    return z < -static_cast<double>(p.helice.comprimento) && std::string(minimo) != comprimento;
}

}  // namespace

void gravar_opcoes_percurso(const Percurso& p, bool com_opcoes, Escrita& arquivo) {
    double z = 0;
    const bool abaixo = com_opcoes && z_abaixo_de_L(p, z);
    if (!com_opcoes) return;
    arquivo.quebras(1);
    arquivo.linha_comentario_formatada(1, f::medidas.texto(), static_cast<double>(p.plano.diametro_final_total),
                                       static_cast<double>(p.plano.diametro_inicial),
                                       static_cast<double>(p.plano.diametro_ferramenta));
    for (const std::string& linha :
         vocabulario::linhas_modos(p.modos, arquivo.dialeto().registro_compensacao, p.helice.passo_rosca,
                                   arquivo.dialeto().registro_desgaste, arquivo.dialeto().rotulo_arcos))
        arquivo.linha_comentario(1, linha);
    if (abaixo) arquivo.linha_comentario_formatada(1, f::z_minimo.texto(), z);
    // The centres, in the order they are cut.
    for (std::size_t i = 0; i < p.furos.size(); ++i)
        arquivo.linha_comentario_formatada(1, f::furo.texto(), static_cast<int>(i + 1), p.furos[i].x, p.furos[i].y);
}

void imprimir_opcoes_percurso(const Percurso& p, bool com_opcoes, const vocabulario::Dialeto& dialeto,
                              Console& console) {
    if (p.modos.algum()) {
        vocabulario::DetalhesModos detalhes;
        detalhes.sentido = true;
        detalhes.passo = p.helice.passo_rosca;
        // Face down the hand alone decides the milling, and so the side.
        detalhes.lado = vocabulario::lado_compensacao(p.interna, vocabulario::giro(p.helice.mao_direita, p.modos.subindo));
        detalhes.palavra_lado = vocabulario::palavra_lado(dialeto, detalhes.lado);
        if (p.modos.avanco_na_aresta) {
            detalhes.faixa = true;
            faixa_de_avanco(p, detalhes.avanco_menor, detalhes.avanco_maior);
        }
        console.escrever("\nModos de cortar: " + vocabulario::descrever_modos(p.modos, detalhes));
    }
    double z = 0;
    if (com_opcoes && z_abaixo_de_L(p, z)) {
        const double alem = -z - static_cast<double>(p.helice.comprimento);
        console.imprimir(p.interna ? "\nZ minimo do percurso: %.3f [mm], %.3f abaixo de L: o furo precisa dessa "
                                     "profundidade mais a ponta da fresa"
                                   : "\nZ minimo do percurso: %.3f [mm], %.3f abaixo de L: a fresa desce ate ai",
                         z, alem);
    }
}
