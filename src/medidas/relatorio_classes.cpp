#include <cmath>
#include <optional>
#include <vector>

#include "medidas/brocas.hpp"
#include "medidas/linhas.hpp"
#include "medidas/relatorio_partes.hpp"
#include "medidas/tolerancia_iso965.hpp"
#include "medidas/tolerancia_unificada.hpp"

namespace {

using namespace linhas;

constexpr std::size_t coluna_faixa = 38;
constexpr std::size_t largura_polegada = 9;
constexpr std::size_t largura_mm = 10;
constexpr int casas_polegada = 4;

// Flank and root of the basic profile as multiples of the pitch: the major
// diameter lies 3/8 sqrt(3) P above the pitch diameter, the metric screw's
// root 1/sqrt(3) P below it, the Unified (UNR) one 1.19078493 - 0.64951905 P.
// A cutter of full profile cuts the three together.
const long double maior_sobre_flanco = 0.375L * std::sqrt(3.0L);
const long double flanco_sobre_raiz_metrica = 1 / std::sqrt(3.0L);
constexpr long double flanco_sobre_raiz_unr = 0.54126588L;

// One side of a thread with its limits: metric ones in micrometres, Unified
// ones in ten-thousandths of an inch (`polegadas`).
struct Lado {
    std::string classe;  // "6H", "2B"
    bool interna = false;
    bool polegadas = false;
    Faixas faixas;
};

// A limit in micrometres, exact: 2.54 um to the ten-thousandth of an inch.
long double em_um(const Lado& l, std::int64_t v) {
    return l.polegadas ? static_cast<long double>(v) * 2.54L : static_cast<long double>(v);
}

std::int64_t mm_de(const Lado& l, std::int64_t v) { return l.polegadas ? arredondar(v * 254, 100) : v; }

std::string texto_limite(const Lado& l, const Faixa& f, bool minimo, bool em_polegadas) {
    if (!(minimo ? f.tem_minimo : f.tem_maximo)) return "-";
    const std::int64_t v = minimo ? f.minimo : f.maximo;
    if (!em_polegadas) return mm(mm_de(l, v));
    return texto_fixo(v, casas_polegada);
}

void linha_faixa(std::string& t, const Lado& l, std::string_view diametro, const Faixa& f) {
    std::string linha = pontilhado(juntar({l.interna ? "Furo " : "Parafuso ", l.classe, ", diametro ", diametro}),
                                   coluna_faixa);
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

// The drill nearest to the middle of the nut's minor diameter band, and how
// it stands beside the rule of the size less one pitch.
Broca broca_da_faixa(std::string& t, const Consulta& c, const Lado& l) {
    const Faixa& menor = l.faixas.menor;
    Broca b;
    if (l.polegadas) {
        b = broca_polegada_perto((menor.minimo + menor.maximo) * 100);
        t += juntar({"  Broca mais perto do meio do menor do furo: ", b.nome, " = ", mm(b.milesimos_mm), " mm (",
                     texto_fixo(arredondar(b.upol, 100), casas_polegada), " pol)\n"});
    } else {
        b = broca_metrica_perto(menor.minimo + menor.maximo);
        t += juntar({"  Broca mais perto do meio do menor do furo: ", b.nome, " mm\n"});
    }
    if (b.milesimos_mm != c.perfil.broca)
        t += juntar({"  (regra D - P: ", digitar(c.perfil.broca), " mm; com a broca, o menor do furo fica em ",
                     mm(b.milesimos_mm), " mm)\n"});
    return b;
}

void respostas_no_meio(std::string& t, const Consulta& c, const Lado& l, const Broca& broca) {
    const long double passo_um = static_cast<long double>(c.perfil.passo_milionesimos) / 1000;
    const Faixas& f = l.faixas;
    t += juntar({"  ", l.interna ? "Furo " : "Parafuso ", l.classe, ":\n"});
    const std::string flanco = juntar({"flanco ", faixa_texto(l, f.flanco)});
    if (l.interna) {
        resposta(t, "Diametro Final da rosca [mm]",
                 digitar(arredondado_um(meio_um(l, f.flanco) + maior_sobre_flanco * passo_um)), flanco);
        resposta(t, "Diametro Inicial da rosca [mm]", broca.nome.empty() ? "-" : digitar(broca.milesimos_mm),
                 juntar({"broca; menor ", faixa_texto(l, f.menor)}));
    } else {
        resposta(t, "Diametro Final da rosca [mm]",
                 digitar(arredondado_um(meio_um(l, f.flanco) -
                                        (l.polegadas ? flanco_sobre_raiz_unr : flanco_sobre_raiz_metrica) * passo_um)),
                 flanco);
        resposta(t, "Diametro Inicial da rosca [mm]", digitar(arredondado_um(meio_um(l, f.maior))),
                 juntar({"maior ", faixa_texto(l, f.maior)}));
    }
}

std::optional<Lado> lado_metrico(const Consulta& c, const ClasseIso965& classe, std::string& erro) {
    Lado l;
    l.classe = texto_classe(classe);
    l.interna = classe.posicao == 'G' || classe.posicao == 'H';
    if (!faixas_iso965(c.designacao.diametro, c.designacao.passo, c.perfil, classe, l.faixas, erro))
        return std::nullopt;
    return l;
}

Lado lado_unificado(const Consulta& c, int classe, bool interna) {
    const Designacao& d = c.designacao;
    const auto serie = c.serie_pedida ? c.serie_pedida : c.serie_do_passo;
    const bool grossa_ou_fina = d.serie != SerieDigitada::un && d.serie != SerieDigitada::uns && serie &&
                                (*serie == SerieUnificada::unc || *serie == SerieUnificada::unf);
    const FaixasUnificadas u = faixas_unificadas(
        d.diametro, d.passo, engate_pelo_diametro(d.passo, grossa_ou_fina, d.serie == SerieDigitada::uns), classe,
        interna);
    Lado l;
    l.classe = texto_classe_unificada(classe, interna);
    l.interna = interna;
    l.polegadas = true;
    l.faixas = u.faixas;
    return l;
}

}  // namespace

void classes(std::string& t, const Consulta& c) {
    const Designacao& d = c.designacao;
    if (d.familia == Familia::tubo) return;
    const bool digitada = d.tem_classe();
    std::vector<Lado> lados;
    std::string nomes;
    if (d.familia == Familia::metrica) {
        ClasseIso965 furo = d.classe_furo, parafuso = d.classe_parafuso;
        if (!digitada) {
            furo = {6, 6, 'H'};
            parafuso = {6, 6, 'g'};
        }
        for (const ClasseIso965* classe : {&furo, &parafuso}) {
            if (classe->posicao == 0) continue;
            std::string erro;
            const auto lado = lado_metrico(c, *classe, erro);
            if (!lado) {
                t += juntar({"\nTolerancias 6H/6g: ", erro, ".\n"});
                return;
            }
            lados.push_back(*lado);
        }
    } else {
        int furo = d.classe_furo_unificada, parafuso = d.classe_parafuso_unificada;
        if (!digitada) furo = parafuso = 2;
        if (furo != 0) lados.push_back(lado_unificado(c, furo, true));
        if (parafuso != 0) lados.push_back(lado_unificado(c, parafuso, false));
    }
    for (const auto& l : lados) nomes += juntar({nomes.empty() ? "" : "/", l.classe});
    const char* norma = d.familia != Familia::metrica ? "ASME B1.1"
                        : d.engate == 'S'            ? "ISO 965-1, engate curto S"
                        : d.engate == 'L'            ? "ISO 965-1, engate longo L"
                                                     : "ISO 965-1, engate normal";
    t += digitada ? juntar({"\nClasse ", nomes, " (", norma, "):\n"})
                  : juntar({"\nSem classe na designacao: ", nomes, ", as mais comuns (", norma, "):\n"});
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
    Broca broca;
    for (const auto& l : lados)
        if (l.interna) broca = broca_da_faixa(t, c, l);
    t += "\nRespostas no meio das faixas (fresa de perfil completo):\n";
    for (const auto& l : lados) respostas_no_meio(t, c, l, broca);
}
