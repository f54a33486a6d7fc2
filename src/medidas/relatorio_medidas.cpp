#include "medidas/medidas.hpp"

#include "medidas/consulta.hpp"
#include "medidas/escolha_broca.hpp"
#include "medidas/decimal.hpp"
#include "nucleo/juntar.hpp"
#include "medidas/linhas.hpp"
#include "medidas/relatorio_partes.hpp"

namespace {

using namespace linhas;

constexpr std::size_t largura_linha = 80;

// "grosso 2.5; finos 2, 1.5, 1": what ISO 261 lists for a size.
std::string passos_iso261(const MedidaIso261& m) {
    std::string texto;
    if (m.passo_grosso_um != 0) texto = juntar({"grosso ", texto_enxuto(m.passo_grosso_um, casas)});
    std::string finos;
    for (auto p : m.passos_finos_um)
        if (p != 0) finos += juntar({finos.empty() ? "" : ", ", texto_enxuto(p, casas)});
    if (!finos.empty()) texto += juntar({texto.empty() ? "finos " : "; finos ", finos});
    return texto;
}

// "UNC 20, UNF 28, UNEF 32": what ASME B1.1 lists for a size.
std::string passos_unificados(const MedidaUnificada& m) {
    std::string texto;
    for (int s = 0; s < series_unificadas; ++s) {
        const auto fios = m.fios_decimos[static_cast<std::size_t>(s)];
        if (fios == 0) continue;
        texto += juntar({texto.empty() ? "" : ", ", nome_serie(static_cast<SerieUnificada>(s)), " ",
                         texto_enxuto(fios, 1)});
    }
    return texto;
}

constexpr std::string_view pelo_perfil = "; medidas pelo perfil basico.\n";

void cabecalho_metrica(std::string& t, const Consulta& c) {
    const Designacao& d = c.designacao;
    t += juntar({"Rosca ", c.nome, ": metrica ISO, perfil de 60 graus (ISO 68-1)\n"});
    if (c.iso261 == nullptr) {
        t += juntar({"Atencao: M", d.medida, " nao consta da ISO 261", pelo_perfil});
    } else if (!c.normalizada) {
        t += juntar({"Atencao: passo ", texto_enxuto(d.passo, casas), " nao normalizado", pelo_perfil});
        t += juntar({"ISO 261 para M", d.medida, ": ", passos_iso261(*c.iso261), ".\n"});
    } else {
        t += juntar({c.passo_grosso ? "Passo grosso" : "Passo fino", " da ISO 261"});
        t += d.tem_passo ? ".\n" : juntar({": ", texto_enxuto(d.passo, casas), " mm.\n"});
    }
}

void cabecalho_unificada(std::string& t, const Consulta& c) {
    const Designacao& d = c.designacao;
    t += juntar({"Rosca ", c.nome, ": unificada (ASME B1.1), perfil de 60 graus\n"});
    // Numbered sizes are no inch fraction: their inch diameter is shown too.
    const std::string polegadas = d.numerada ? juntar({d.medida, " (", texto_fixo(d.diametro / 1000, 3), " pol)"})
                                             : juntar({d.medida, " pol"});
    t += juntar({polegadas, " = ", mm(c.perfil.maior), " mm; ", texto_enxuto(d.passo, 1),
                 " fios por polegada.\n"});
    if (c.unificada == nullptr) {
        t += juntar({"Atencao: medida fora das series UNC, UNF e UNEF", pelo_perfil});
    } else if (!c.normalizada) {
        const std::string serie = c.serie_pedida ? juntar({"da serie ", nome_serie(*c.serie_pedida)})
                                                 : "das series UNC, UNF e UNEF";
        t += juntar({"Atencao: passo fora ", serie, pelo_perfil});
        t += juntar({"ASME B1.1 para ", d.medida, ": ", passos_unificados(*c.unificada), ".\n"});
    } else {
        t += juntar({"Passo da serie ", nome_serie(*c.serie_do_passo), ".\n"});
    }
}

void cabecalho_tubo(std::string& t, const Consulta& c) {
    t += juntar({"Rosca ", c.nome, ": tubo BSP paralela (ISO 228-1), perfil Whitworth\n"});
    t += juntar({std::to_string(c.iso228->fios_por_polegada),
                 " fios por polegada; flancos de 55 graus: use fresa de 55 graus.\n"});
    if (c.designacao.classe_tubo == 'A')
        t += "Classe A: tolerancia apertada no flanco do parafuso (a classe B e o dobro).\n";
    else if (c.designacao.classe_tubo == 'B')
        t += "Classe B: tolerancia larga no flanco do parafuso (o dobro da classe A).\n";
}

void perfil_basico(std::string& t, const Consulta& c) {
    const Perfil& p = c.perfil;
    t += "\nPerfil basico [mm]:\n";
    medida(t, "Diametro maior", p.maior);
    medida(t, "Passo P", p.passo);
    medida(t, "Altura do triangulo H", p.altura_triangulo);
    medida(t, "Diametro de flanco", p.flanco);
    if (c.iso228 != nullptr) {
        medida(t, "Diametro menor", p.menor_furo);
        medida(t, "Altura do filete h", p.altura_furo);
    } else {
        medida(t, "Diametro menor do furo", p.menor_furo);
        medida(t, "Diametro menor do parafuso", p.menor_parafuso);
        medida(t, "Altura do filete do furo", p.altura_furo);
        medida(t, "Altura do filete do parafuso", p.altura_parafuso);
    }
}

std::string nota_passo(const Consulta& c) {
    if (c.designacao.familia == Familia::metrica) {
        if (!c.normalizada) return "fora da ISO 261";
        return c.passo_grosso ? "passo grosso da ISO 261" : "passo fino da ISO 261";
    }
    return juntar({"25.4 / ", texto_enxuto(c.designacao.passo, 1), " fios por polegada"});
}

// The answers in the order the dialogue asks for them. The questions between
// the diameters and the pitch are the machinist's choice; one line says what
// bounds them.
void respostas(std::string& t, const Consulta& c, bool interna, const EscolhaBroca& broca) {
    const Perfil& p = c.perfil;
    const std::int64_t final_ = interna ? p.maior : p.menor_parafuso;
    const std::int64_t inicial = interna ? broca.inicial : p.maior;
    const std::string nota_inicial = interna ? nota_broca(broca) : "blank no diametro maior";
    t += interna ? "\nRosca interna (furo), respostas do dialogo:\n"
                 : "\nRosca externa (parafuso), respostas do dialogo:\n";
    resposta(t, "Tipo de Rosca [I / E]", interna ? "I" : "E", "");
    resposta(t, "Diametro Final da rosca [mm]", digitar(final_),
             interna ? "diametro maior" : "diametro menor do parafuso");
    resposta(t, "Diametro Inicial da rosca [mm]", digitar(inicial), nota_inicial);
    // Outside, the depth is the screw's thread depth itself, the figure of
    // the profile above; inside, what the drill leaves for the cutter.
    const std::int64_t profundidade = interna ? arredondar(final_ - inicial, 2) : p.altura_parafuso;
    t += juntar({"  (Passo Lateral: profundidade radial de ", mm(profundidade), " mm",
                 interna ? juntar({"; fresa menor que ", digitar(inicial)}) : "", ")\n"});
    resposta(t, "Passo da rosca (1 fio) [mm]", texto_enxuto(p.passo_milionesimos, 6), nota_passo(c));
    if (c.designacao.esquerda) resposta(t, "Direita ou Esquerda [D / E]", "E", "rosca esquerda (LH)");
}

void notas(std::string& t, const Consulta& c) {
    const char* tolerancia = c.designacao.familia == Familia::metrica     ? "6H no furo, 6g no parafuso"
                             : c.designacao.familia == Familia::unificada ? "2B no furo, 2A no parafuso"
                                                                          : "classe A ou B no parafuso";
    t += juntar({"\nMedidas basicas: a tolerancia (", tolerancia, ") as desloca\n"});
    t += "um pouco, e quem decide a medida final e o usinador.\n";
}

}  // namespace

bool relatorio_medidas(std::string_view designacao, std::string& texto, std::string& erro) {
    return relatorio_medidas(designacao, nullptr, texto, erro);
}

bool relatorio_medidas(std::string_view designacao, const DadosCorte* corte, std::string& texto, std::string& erro) {
    texto.clear();
    erro.clear();
    Consulta c;
    std::string problema;
    if (!consultar(designacao, c, problema)) {
        // The designation as typed, trimmed, in front, as long as the line allows.
        const std::size_t inicio = designacao.find_first_not_of(" \t");
        if (inicio == std::string_view::npos) {
            erro = problema;
            return false;
        }
        const std::string_view digitado = designacao.substr(inicio, designacao.find_last_not_of(" \t") + 1 - inicio);
        constexpr std::size_t aspas_e_reticencias = 7;
        const std::size_t cabe = problema.size() + aspas_e_reticencias < largura_linha
                                     ? largura_linha - aspas_e_reticencias - problema.size()
                                     : 0;
        erro = juntar({"\"", texto_mostravel(digitado, cabe < 16 ? cabe : 16), "\": ", problema});
        return false;
    }
    if (c.designacao.familia == Familia::conica) {
        const RoscaParaCorte rosca = relatorio_conica(texto, c);
        if (corte != nullptr) secao_corte(texto, rosca, *corte);
        return true;
    }
    switch (c.designacao.familia) {
        case Familia::conica: break;
        case Familia::metrica: cabecalho_metrica(texto, c); break;
        case Familia::unificada: cabecalho_unificada(texto, c); break;
        case Familia::tubo: cabecalho_tubo(texto, c); break;
    }
    perfil_basico(texto, c);
    const EscolhaBroca broca = escolher_broca(c);
    texto_broca(texto, broca, c);
    respostas(texto, c, true, broca);
    respostas(texto, c, false, broca);
    notas(texto, c);
    classes(texto, c, broca);
    if (corte != nullptr) {
        RoscaParaCorte rosca;
        rosca.maior_um = c.perfil.maior;
        rosca.interna = rosca.externa = true;
        rosca.furo_um = broca.inicial;
        rosca.furo = nota_broca(broca);
        secao_corte(texto, rosca, *corte);
    }
    return true;
}
