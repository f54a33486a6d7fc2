#include <cmath>

#include "medidas/brocas.hpp"
#include "medidas/linhas.hpp"
#include "medidas/relatorio_partes.hpp"

namespace {

using namespace linhas;

constexpr std::int64_t conicidade = 16;  // 1 on the diameter in 16 along the axis
constexpr std::size_t largura_coluna = 10;

// Hundred-thousandths of an inch to thousandths of a millimetre.
std::int64_t mm_de_polegada(long double cem_milesimos) { return std::llround(cem_milesimos * 0.254L); }

void linha_npt(std::string& t, std::string_view rotulo, long double cem_milesimos) {
    const std::string polegadas = texto_fixo(std::llround(cem_milesimos), 5);
    t += juntar({pontilhado(rotulo, coluna_valor), a_direita(polegadas, largura_coluna),
                 a_direita(mm(mm_de_polegada(cem_milesimos)), largura_coluna), "\n"});
}

void passo_e_mao(std::string& t, const Consulta& c) {
    resposta(t, "Passo da rosca (1 fio) [mm]", texto_enxuto(c.perfil.passo_milionesimos, 6),
             juntar({"25.4 / ", texto_enxuto(c.designacao.passo, 1), " fios por polegada"}));
    if (c.designacao.esquerda) resposta(t, "Direita ou Esquerda [D / E]", "E", "rosca esquerda (LH)");
}

void bloco(std::string& t, std::string_view titulo, bool interna, std::int64_t final_, std::string_view nota_final,
           std::int64_t inicial, std::string_view nota_inicial, const Consulta& c) {
    t += juntar({"\n", titulo, "\n"});
    resposta(t, "Tipo de Rosca [I / E]", interna ? "I" : "E", "");
    resposta(t, "Diametro Final da rosca [mm]", digitar(final_), nota_final);
    resposta(t, "Diametro Inicial da rosca [mm]", digitar(inicial), nota_inicial);
    passo_e_mao(t, c);
}

constexpr std::string_view na_face =
    "\nCom --conica, estes sao os diametros na face Z0: o furo estreita e o\n"
    "parafuso engrossa com a profundidade, 1 no diametro a cada 16 de comprimento.\n";

RoscaParaCorte npt(std::string& t, const Consulta& c) {
    const MedidaNpt& m = *c.npt;
    const long double fios = static_cast<long double>(m.fios_decimos) / 10;
    const long double passo = 100000 / fios;  // hundred-thousandths of an inch
    const long double h = 0.8L * passo;
    t += juntar({"Rosca ", c.nome, ": tubo conica NPT (ASME B1.20.1), perfil de 60 graus\n"});
    t += juntar({texto_enxuto(m.fios_decimos, 1),
                 " fios por polegada; conicidade 1:16 no diametro; veda na rosca.\n"});
    t += juntar({"\nMedidas basicas:", std::string(coluna_valor + 1 - 16, ' '), a_direita("[pol]", largura_coluna),
                 a_direita("[mm]", largura_coluna), "\n"});
    linha_npt(t, "Passo P", passo);
    linha_npt(t, "Altura do filete h = 0.8 P", h);
    linha_npt(t, "Diametro externo do tubo D", m.d_cem_milesimos);
    linha_npt(t, "E0, flanco na ponta do tubo", m.e0_cem_milesimos);
    linha_npt(t, "E1, flanco no plano de calibre", m.e1_cem_milesimos);
    linha_npt(t, "Diametro maior no plano E1", m.e1_cem_milesimos + h);
    linha_npt(t, "Diametro menor no plano E1", m.e1_cem_milesimos - h);
    linha_npt(t, "L1, aperto manual", 10.0L * m.l1_dez_milesimos);
    linha_npt(t, "L2, rosca efetiva", 10.0L * m.l2_dez_milesimos);

    // The hand-tight plane lies at the face of the fitting; a straight hole
    // clears the minor diameter where the effective thread ends.
    const long double menor_fundo = m.e1_cem_milesimos - h - 10.0L * m.l2_dez_milesimos / conicidade;
    const Broca broca = broca_polegada_ate(std::llround(menor_fundo * 10));
    bloco(t, "Rosca interna (furo conico), respostas do dialogo com --conica:", true,
          mm_de_polegada(m.e1_cem_milesimos + h), "maior na face (plano E1)", broca.milesimos_mm,
          juntar({"broca ", broca.nome, ": menor no fim de L2"}), c);
    bloco(t, "Rosca externa (tubo), respostas do dialogo com --conica:", false,
          mm_de_polegada(m.e0_cem_milesimos - h), "menor na ponta do tubo (E0)",
          mm_de_polegada(m.e0_cem_milesimos + h), "maior na ponta do tubo (E0)", c);
    t += na_face;
    t += "O ajuste se confere com os calibres L1 (tampao e anel), nao por diametros.\n";
    // The feeds are corrected with the major diameter at the face, where the nut's thread starts.
    return {mm_de_polegada(m.e1_cem_milesimos + h), true, true, broca.milesimos_mm, juntar({"broca ", broca.nome})};
}

RoscaParaCorte iso7(std::string& t, const Consulta& c) {
    const MedidaIso228& g = *c.iso228;
    const MedidaIso7& m = *c.iso7;
    const Conica tipo = c.designacao.conica;
    const char* qual = tipo == Conica::r    ? "R: parafuso conico"
                       : tipo == Conica::rc ? "Rc: furo conico"
                                            : "Rp: furo paralelo";
    t += juntar({"Rosca ", c.nome, ": tubo ISO 7-1 (", qual, "), perfil Whitworth\n"});
    t += juntar({std::to_string(g.fios_por_polegada), " fios por polegada; flancos de 55 graus; ",
                 tipo == Conica::rp ? "rosca paralela.\n" : "conicidade 1:16 no diametro.\n"});
    t += "\nPlano de calibre [mm]:\n";
    medida(t, "Passo P", c.perfil.passo);
    medida(t, "Altura do filete h = 0.640327 P", c.perfil.altura_furo);
    medida(t, "Diametro maior", g.maior_um);
    medida(t, "Diametro de flanco", g.flanco_um);
    medida(t, "Diametro menor", g.menor_um);
    medida(t, "Comprimento de calibre", m.calibre_um);
    medida(t, "Rosca util do parafuso (minimo)", m.util_um);

    RoscaParaCorte rosca{g.maior_um, tipo != Conica::r, tipo == Conica::r, 0, ""};
    if (tipo == Conica::r) {
        // The gauge plane lies the gauge length back from the pipe's end.
        const auto na_ponta = [&](std::int64_t um) { return arredondar(conicidade * um - m.calibre_um, conicidade); };
        bloco(t, "Rosca externa (tubo), respostas do dialogo com --conica:", false, na_ponta(g.menor_um),
              "menor na ponta do tubo", na_ponta(g.maior_um), "maior na ponta do tubo", c);
    } else if (tipo == Conica::rc) {
        const Broca broca = broca_metrica_ate((conicidade * g.menor_um - m.util_um) / conicidade);
        bloco(t, "Rosca interna (furo conico), respostas do dialogo com --conica:", true, g.maior_um,
              "maior na face (plano de calibre)", broca.milesimos_mm, "broca: menor no fim da rosca util", c);
        rosca.furo_um = broca.milesimos_mm;
        rosca.furo = juntar({"broca ", broca.nome});
    } else {
        bloco(t, "Rosca interna (furo paralelo), respostas do dialogo sem --conica:", true, g.maior_um,
              "diametro maior", c.perfil.broca, "broca: menor arredondado p/ cima", c);
        t += "\nRp e paralela e veda contra um parafuso conico R: use o programa sem --conica.\n";
        t += "O ajuste se confere com os calibres da ISO 7-2, nao por diametros.\n";
        rosca.furo_um = c.perfil.broca;
        rosca.furo = juntar({"broca ", digitar(c.perfil.broca)});
        return rosca;
    }
    t += na_face;
    t += "O ajuste se confere com os calibres da ISO 7-2, nao por diametros.\n";
    return rosca;
}

}  // namespace

RoscaParaCorte relatorio_conica(std::string& t, const Consulta& c) {
    return c.designacao.conica == Conica::npt ? npt(t, c) : iso7(t, c);
}
