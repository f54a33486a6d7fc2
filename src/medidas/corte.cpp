#include "medidas/corte.hpp"

#include <cmath>
#include <numbers>

#include "medidas/decimal.hpp"
#include "medidas/designacao.hpp"
#include "medidas/linhas.hpp"
#include "nucleo/juntar.hpp"

namespace {

using namespace linhas;

// What each option takes: its decimals and its range in those units.
struct Intervalo {
    std::string_view opcao;
    int casas;
    std::int64_t minimo, maximo;
    std::string_view o_que;  // the message's tail
};
constexpr Intervalo intervalos[] = {
    {"--fresa", 3, 100, 1000000, "diametro da fresa em mm, de 0.1 a 1000"},
    {"--arestas", 0, 1, 99, "arestas (dentes) da fresa, de 1 a 99"},
    {"--vc", 3, 1000, 5000000, "velocidade de corte em m/min, de 1 a 5000"},
    {"--fz", 4, 10, 20000, "avanco por aresta em mm, de 0.001 a 2"},
};

// The dialogue's feed question takes more than 0 and at most 2000 mm/min,
// and reads an answer up to 0.4 as a factor of the spindle speed (0.4
// itself, in single precision, lies above the limit and stays a feed).
constexpr std::int64_t maior_avanco_decimos = 20000;
constexpr std::int64_t menor_avanco_decimos = 4;

// Feeds in the table with their tenth always; typed as the dialogue reads them.
std::string decimos(std::int64_t d) { return texto_fixo(d, 1); }
std::string digitado(std::int64_t d) { return texto_enxuto(d, 1); }
std::int64_t em_decimos(long double v) { return std::llround(v * 10); }

// "  Rotacao n = 1000 vc / (pi DC) ..      9705 rpm"
void linha(std::string& t, std::string_view rotulo, std::string_view valor, std::string_view resto) {
    t += juntar({pontilhado(rotulo, coluna_valor), a_direita(valor, largura_valor), " ", resto, "\n"});
}

// The answer to the feed question for one thread, and why it cannot be
// typed as it is when it cannot.
void resposta_avanco(std::string& t, std::string_view qual, std::int64_t avanco_decimos, long double fz) {
    if (avanco_decimos > maior_avanco_decimos) {
        const long double fz_menor = fz * static_cast<long double>(maior_avanco_decimos) /
                                     static_cast<long double>(avanco_decimos);
        resposta(t, "Velocidade de Corte [mm / min]", "2000", qual);
        t += juntar({"  (", decimos(avanco_decimos), " mm/min passa de 2000, o maximo do dialogo;\n",
                     "  com 2000 o fz cai para ", texto_fixo(std::llround(fz_menor * 10000), 4), " mm)\n"});
        return;
    }
    if (avanco_decimos < menor_avanco_decimos) {
        resposta(t, "Velocidade de Corte [mm / min]", "-", qual);
        t += juntar({"  (", decimos(avanco_decimos), " mm/min nao se digita: o dialogo le ate 0.4 como fator da\n"
                     "  rotacao, nao como mm/min; aumente fz ou vc)\n"});
        return;
    }
    resposta(t, "Velocidade de Corte [mm / min]", digitado(avanco_decimos), qual);
}

}  // namespace

bool ler_dado_corte(std::string_view opcao, std::string_view valor, DadosCorte& dados, std::string& erro) {
    for (const auto& f : intervalos) {
        if (f.opcao != opcao) continue;
        std::size_t pos = 0;
        std::int64_t v = 0;
        std::string detalhe;
        const bool numero = ler_decimal(valor, pos, f.casas, v, detalhe) && pos == valor.size();
        if (!numero || v < f.minimo || v > f.maximo) {
            erro = juntar({opcao, " '", texto_mostravel(valor, 12), "': ", f.o_que});
            return false;
        }
        if (opcao == "--fresa") dados.fresa_um = v;
        else if (opcao == "--arestas") dados.arestas = static_cast<int>(v);
        else if (opcao == "--vc") dados.vc_milesimos = v;
        else dados.fz_decimilesimos = v;
        return true;
    }
    erro = juntar({"opcao '", texto_mostravel(opcao, 20), "' desconhecida depois de --medidas"});
    return false;
}

void secao_corte(std::string& t, const RoscaParaCorte& r, const DadosCorte& d) {
    const long double dc = static_cast<long double>(d.fresa_um) / 1000;
    const long double vc = static_cast<long double>(d.vc_milesimos) / 1000;
    const long double fz = static_cast<long double>(d.fz_decimilesimos) / 10000;
    const long double maior = static_cast<long double>(r.maior_um) / 1000;
    const long double n = 1000 * vc / (std::numbers::pi_v<long double> * dc);
    const long double vf = fz * d.arestas * n;
    const long double dentro = vf * (maior - dc) / maior;
    const long double fora = vf * (maior + dc) / maior;

    t += juntar({"\nDados de corte: fresa DC ", digitar(d.fresa_um), " mm, ", std::to_string(d.arestas),
                 d.arestas == 1 ? " aresta" : " arestas", ", vc ", texto_enxuto(d.vc_milesimos, 3), " m/min, fz ",
                 texto_enxuto(d.fz_decimilesimos, 4), " mm\n"});
    linha(t, "Rotacao n = 1000 vc / (pi DC)", std::to_string(std::llround(n)), "rpm");
    linha(t, "Avanco na aresta vf = fz Z n", decimos(em_decimos(vf)), "mm/min");
    if (r.interna) {
        linha(t, "No centro, rosca interna", decimos(em_decimos(dentro)), "mm/min, vf (D - DC) / D");
        linha(t, "Entrada, a metade", decimos(em_decimos(dentro / 2)), "mm/min");
    }
    if (r.externa) {
        linha(t, "No centro, rosca externa", decimos(em_decimos(fora)), "mm/min, vf (D + DC) / D");
        linha(t, "Entrada, a metade", decimos(em_decimos(fora / 2)), "mm/min");
    }
    t += juntar({"  (D = ", digitar(r.maior_um), " mm, o diametro maior; o programa entra com o avanco\n"
                 "  respondido: a metade na entrada fica com o override da maquina)\n"});

    // What the mill cannot do is said before any answer.
    const bool entra = !r.interna || d.fresa_um < r.furo_um;
    if (!entra)
        t += juntar({"\nA fresa de ", digitar(d.fresa_um), " mm nao entra no furo de ", digitar(r.furo_um), " mm (",
                     r.furo, "):\nrosca interna impossivel com ela.\n"});
    if (r.interna && 10 * d.fresa_um > 7 * r.maior_um)
        t += juntar({entra ? "\n" : "", "Fresa acima de 70 % do diametro maior (",
                     std::to_string(std::llround(100 * dc / maior)),
                     " %): para rosca interna,\nuse fresa de no maximo ",
                     digitar(arredondar(7 * r.maior_um, 10)), " mm.\n"});

    t += "\nRespostas do dialogo com esta fresa:\n";
    resposta(t, "Diametro da Ferramenta [mm]", digitar(d.fresa_um), "");
    const std::int64_t rotacao = std::llround(n);
    if (rotacao < 1) {
        resposta(t, "Rotacao do spindle [rpm]", "-", "");
        t += juntar({"  (", texto_fixo(std::llround(n * 100), 2),
                     " rpm nao se digita: o dialogo pede mais que zero; aumente vc)\n"});
    } else {
        resposta(t, "Rotacao do spindle [rpm]", std::to_string(rotacao), "");
    }
    if (r.interna && entra) resposta_avanco(t, "rosca interna, no centro", em_decimos(dentro), fz);
    if (r.externa) resposta_avanco(t, "rosca externa, no centro", em_decimos(fora), fz);
    if (r.interna && !entra && !r.externa) return;
    t += "Com --avanco-na-aresta, responda o avanco da aresta; o programa da a cada\n"
         "passe o avanco do seu centro:\n";
    resposta_avanco(t, "na aresta", em_decimos(vf), fz);
}
