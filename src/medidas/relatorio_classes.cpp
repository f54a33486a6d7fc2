#include <cmath>
#include <vector>

#include "medidas/escolha_broca.hpp"
#include "medidas/lados.hpp"
#include "medidas/linhas.hpp"
#include "medidas/relatorio_partes.hpp"

namespace {

using namespace linhas;

constexpr std::size_t coluna_faixa = 38;
constexpr std::size_t largura_polegada = 9;
constexpr std::size_t largura_mm = 10;
constexpr int casas_polegada = 4;

// Flank and root of the basic profile as multiples of the pitch: the major
// diameter lies 3/8 sqrt(3) P above the pitch diameter, the metric screw's
// root 1/sqrt(3) P below it, the Unified (UNR) one 1.19078493 - 0.64951905 P;
// the Whitworth form is symmetric, h = 0.640327 P either way. A cutter of
// full profile cuts the three together.
const long double maior_sobre_flanco_60 = 0.375L * std::sqrt(3.0L);
const long double flanco_sobre_raiz_metrica = 1 / std::sqrt(3.0L);
constexpr long double flanco_sobre_raiz_unr = 0.54126588L;
constexpr long double altura_whitworth = 0.640327L;

// A limit in micrometres, exact: 2.54 um to the ten-thousandth of an inch.
long double em_um(const Lado& l, std::int64_t v) {
    return l.polegadas ? static_cast<long double>(v) * 2.54L : static_cast<long double>(v);
}

std::string texto_limite(const Lado& l, const Faixa& f, bool minimo, bool em_polegadas) {
    if (!(minimo ? f.tem_minimo : f.tem_maximo)) return "-";
    const std::int64_t v = minimo ? f.minimo : f.maximo;
    if (!em_polegadas) return mm(mm_de(l, v));
    return texto_fixo(v, casas_polegada);
}

// "Furo 6H", "Parafuso A", "Furo" (the pipe nut's single class).
std::string nome_lado(const Lado& l) {
    return juntar({l.interna ? "Furo" : "Parafuso", l.classe.empty() ? "" : " ", l.classe});
}

void linha_faixa(std::string& t, const Lado& l, std::string_view diametro, const Faixa& f) {
    std::string linha = pontilhado(juntar({nome_lado(l), ", diametro ", diametro}), coluna_faixa);
    linha.pop_back();
    if (l.polegadas)
        for (bool minimo : {true, false})
            linha += a_direita(texto_limite(l, f, minimo, true), largura_polegada);
    for (bool minimo : {true, false}) linha += a_direita(texto_limite(l, f, minimo, false), largura_mm);
    t += juntar({linha, "\n"});
}

std::string faixa_texto(const Lado& l, const Faixa& f) {
    return juntar({mm(mm_de(l, f.minimo)), " a ", mm(mm_de(l, f.maximo))});
}

long double meio_um(const Lado& l, const Faixa& f) { return (em_um(l, f.minimo) + em_um(l, f.maximo)) / 2; }

std::int64_t arredondado_um(long double um) { return std::llround(um); }

void respostas_no_meio(std::string& t, const Consulta& c, const Lado& l, const EscolhaBroca& broca) {
    const long double passo_um = static_cast<long double>(c.perfil.passo_milionesimos) / 1000;
    const bool whitworth = c.designacao.familia == Familia::tubo;
    const long double acima = whitworth ? altura_whitworth : maior_sobre_flanco_60;
    const long double abaixo = whitworth ? altura_whitworth
                               : l.polegadas ? flanco_sobre_raiz_unr
                                             : flanco_sobre_raiz_metrica;
    const Faixas& f = l.faixas;
    t += juntar({"  ", nome_lado(l), ":\n"});
    const std::string flanco = juntar({"flanco ", faixa_texto(l, f.flanco)});
    if (l.interna) {
        resposta(t, "Diametro Final da rosca [mm]", digitar(arredondado_um(meio_um(l, f.flanco) + acima * passo_um)),
                 flanco);
        resposta(t, "Diametro Inicial da rosca [mm]", digitar(broca.inicial),
                 juntar({broca.tipo == EscolhaBroca::Tipo::nenhuma ? "alargado" : "broca", "; menor ",
                         faixa_texto(l, f.menor)}));
    } else {
        resposta(t, "Diametro Final da rosca [mm]", digitar(arredondado_um(meio_um(l, f.flanco) - abaixo * passo_um)),
                 flanco);
        resposta(t, "Diametro Inicial da rosca [mm]", digitar(arredondado_um(meio_um(l, f.maior))),
                 juntar({"maior ", faixa_texto(l, f.maior)}));
    }
}

const char* norma(const Designacao& d) {
    switch (d.familia) {
        case Familia::unificada: return "ASME B1.1";
        case Familia::tubo: return "ISO 228-1";
        default: break;
    }
    return d.engate == 'S' ? "ISO 965-1, engate curto S" : d.engate == 'L' ? "ISO 965-1, engate longo L"
                                                                            : "ISO 965-1, engate normal";
}

}  // namespace

void classes(std::string& t, const Consulta& c, const EscolhaBroca& broca) {
    const Designacao& d = c.designacao;
    const bool digitada = d.tem_classe() || d.classe_tubo != 0;
    std::vector<Lado> lados;
    std::string erro;
    if (!lados_da_consulta(c, lados, erro)) {
        t += juntar({"\nTolerancias 6H/6g: ", erro, ".\n"});
        return;
    }
    std::string nomes;
    for (const auto& l : lados)
        nomes += juntar({nomes.empty() ? "" : "/", l.classe.empty() ? "furo (classe unica)" : l.classe});
    if (d.familia == Familia::tubo && !digitada) nomes = "furo (classe unica), parafuso A e B";
    const char* comuns = d.familia == Familia::tubo ? " (" : ", as mais comuns (";
    t += digitada ? juntar({"\nClasse ", nomes, " (", norma(d), "):\n"})
                  : juntar({"\nSem classe na designacao: ", nomes, comuns, norma(d), "):\n"});
    // ISO 965-1: the group picks the class; a class's limits do not depend on it.
    if (d.engate == 'S' || d.engate == 'L') t += "(o grupo de engate escolhe a classe; os limites sao os da classe)\n";
    const bool polegadas = d.familia == Familia::unificada;
    t += std::string(coluna_faixa, ' ');
    if (polegadas) t += juntar({a_direita("min pol", largura_polegada), a_direita("max pol", largura_polegada)});
    t += juntar({a_direita("min mm", largura_mm), a_direita("max mm", largura_mm), "\n"});
    for (const auto& l : lados) {
        linha_faixa(t, l, "maior", l.faixas.maior);
        linha_faixa(t, l, "de flanco", l.faixas.flanco);
        linha_faixa(t, l, "menor", l.faixas.menor);
    }
    t += "\nRespostas no meio das faixas (fresa de perfil completo):\n";
    for (const auto& l : lados) respostas_no_meio(t, c, l, broca);
}
