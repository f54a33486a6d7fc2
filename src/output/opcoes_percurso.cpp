#include "output/opcoes_percurso.hpp"

#include <algorithm>
#include <string>

#include "percurso/guias.hpp"
#include "vocabulario/cabecalho.hpp"

namespace {

namespace r = vocabulario::rotulo;
namespace f = vocabulario::formato;

const char* nome_fresamento(Fresamento m) { return m == Fresamento::concordante ? r::concordante : r::discordante; }

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
bool z_abaixo_de_L(const Percurso& p, bool arcos, double& z) {
    z = -profundidade_maxima(p, arcos);
    char minimo[64], comprimento[64];
    std::snprintf(minimo, sizeof minimo, "%.3f", z);
    std::snprintf(comprimento, sizeof comprimento, "%.3f", -static_cast<double>(p.helice.comprimento));
    return z < -static_cast<double>(p.helice.comprimento) && std::string(minimo) != comprimento;
}

}  // namespace

bool tem_modos_de_cortar(const Percurso& p, bool arcos) {
    return arcos || p.fresamento != Fresamento::hoje || p.tangencial || p.compensacao ||
           p.repeticoes_acabamento > 0 || p.avanco_na_aresta || p.conicidade_diametro != 0;
}

void gravar_opcoes_percurso(const Percurso& p, bool arcos, bool com_opcoes, Escrita& arquivo) {
    double z = 0;
    const bool abaixo = com_opcoes && z_abaixo_de_L(p, arcos, z);
    if (!tem_modos_de_cortar(p, arcos) && !abaixo) return;
    arquivo.quebras(1);
    if (arcos) arquivo.linha_comentario(1, r::arcos);
    if (p.fresamento != Fresamento::hoje)
        arquivo.linha_comentario_formatada(1, f::fresamento.texto(), nome_fresamento(p.fresamento),
                                           passes_subindo(p) ? (std::string(" ") + r::subindo).c_str() : "");
    if (p.tangencial) arquivo.linha_comentario(1, r::tangencial);
    if (p.compensacao)
        arquivo.linha_comentario_formatada(1, f::compensacao.texto(), p.corretor,
                                           std::string(arquivo.dialeto().registro_compensacao).c_str());
    if (p.repeticoes_acabamento > 0) arquivo.linha_comentario_formatada(1, f::repeticoes.texto(), p.repeticoes_acabamento);
    if (p.avanco_na_aresta) arquivo.linha_comentario(1, r::avanco_aresta);
    if (p.conicidade_diametro != 0)
        arquivo.linha_comentario_formatada(1, f::conicidade.texto(), static_cast<int>(1 / p.conicidade_diametro + 0.5));
    if (abaixo) arquivo.linha_comentario_formatada(1, f::z_minimo.texto(), z);
}

namespace {

void imprimir_modos(const Percurso& p, bool arcos, Console& console) {
    std::string t = "\nModos de cortar:";
    auto item = [&t, primeiro = true](const std::string& texto) mutable {
        t += primeiro ? " " : "; ";
        t += texto;
        primeiro = false;
    };
    if (arcos) item("arcos helicoidais");
    if (p.fresamento != Fresamento::hoje)
        item(std::string(nome_fresamento(p.fresamento)) + (passes_subindo(p) ? ", de baixo para cima" : ", de cima para baixo"));
    if (p.tangencial) item("entrada e saida tangenciais");
    if (p.compensacao) {
        const bool interna = p.interna;
        const bool concordante = p.fresamento == Fresamento::hoje
                                     ? (interna ? !p.helice.mao_direita : p.helice.mao_direita)
                                     : p.fresamento == Fresamento::concordante;
        item(std::string("compensacao ") + (concordante ? "G41" : "G42") + " D" + std::to_string(p.corretor));
    }
    if (p.repeticoes_acabamento > 0) item("ultimo passe mais " + std::to_string(p.repeticoes_acabamento) + " vez(es)");
    if (p.avanco_na_aresta) {
        double menor, maior;
        faixa_de_avanco(p, menor, maior);
        char texto[96];
        std::snprintf(texto, sizeof texto, "avanco na aresta, no centro %.1f a %.1f [mm/min]", menor, maior);
        item(texto);
    }
    if (p.conicidade_diametro != 0)
        item("conica 1:" + std::to_string(static_cast<int>(1 / p.conicidade_diametro + 0.5)));
    console.escrever(t);
}

}  // namespace

void imprimir_opcoes_percurso(const Percurso& p, bool arcos, bool com_opcoes, Console& console) {
    if (tem_modos_de_cortar(p, arcos)) imprimir_modos(p, arcos, console);
    double z = 0;
    if (com_opcoes && z_abaixo_de_L(p, arcos, z)) {
        const double alem = -z - static_cast<double>(p.helice.comprimento);
        console.imprimir(p.interna ? "\nZ minimo do percurso: %.3f [mm], %.3f abaixo de L: o furo precisa dessa "
                                     "profundidade mais a ponta da fresa"
                                   : "\nZ minimo do percurso: %.3f [mm], %.3f abaixo de L: a fresa desce ate ai",
                         z, alem);
    }
}
