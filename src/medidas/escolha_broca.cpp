#include "medidas/escolha_broca.hpp"

#include "medidas/decimal.hpp"
#include "medidas/linhas.hpp"
#include "nucleo/juntar.hpp"

namespace {

using namespace linhas;

constexpr int casas_polegada = 4;

// "27/64 = 10.716 mm (0.4219 pol)" or "10.8 mm".
std::string nome_completo(const Broca& b) {
    if (b.upol == 0) return juntar({b.nome, " mm"});
    return juntar({b.nome, " = ", mm(b.milesimos_mm), " mm (", texto_fixo(arredondar(b.upol, 100), casas_polegada),
                   " pol)"});
}

// "menor do furo 2B: 0.4170 a 0.4340 pol (10.592 a 11.024 mm)".
std::string faixa(const Lado& l) {
    const Faixa& f = l.faixas.menor;
    const std::string classe = l.classe.empty() ? "" : juntar({" ", l.classe});
    const std::string em_mm = juntar({mm(mm_de(l, f.minimo)), " a ", mm(mm_de(l, f.maximo)), " mm"});
    if (!l.polegadas) return juntar({"menor do furo", classe, ": ", em_mm});
    return juntar({"menor do furo", classe, ": ", texto_fixo(f.minimo, casas_polegada), " a ",
                   texto_fixo(f.maximo, casas_polegada), " pol (", em_mm, ")"});
}

const char* nome_regra(const Consulta& c) {
    return c.designacao.familia == Familia::tubo ? "regra do menor arredondado p/ cima" : "regra D - P";
}

}  // namespace

EscolhaBroca escolher_broca(const Consulta& c) {
    EscolhaBroca e;
    e.polegada = c.designacao.familia == Familia::unificada;
    e.regra = c.perfil.broca;
    e.inicial = c.perfil.broca;
    e.furo = furo_da_broca(c);
    if (!e.furo) return e;
    const Faixa& menor = e.furo->faixas.menor;
    const std::int64_t minimo = exato(*e.furo, menor.minimo), maximo = exato(*e.furo, menor.maximo);
    if (auto b = broca_na_faixa(e.polegada, minimo, maximo)) {
        e.tipo = EscolhaBroca::Tipo::propria;
        e.broca = *b;
    } else if (auto outra = broca_na_faixa(!e.polegada, minimo, maximo)) {
        e.tipo = EscolhaBroca::Tipo::outro_sistema;
        e.broca = *outra;
    } else {
        e.tipo = EscolhaBroca::Tipo::nenhuma;
        e.antes = broca_abaixo(e.polegada, minimo);
        // The middle of the band, to the micrometre.
        e.inicial = arredondar(minimo + maximo, 20000);
        return e;
    }
    e.inicial = e.broca.milesimos_mm;
    return e;
}

void texto_broca(std::string& t, const EscolhaBroca& e, const Consulta& c) {
    const std::string regra = juntar({"  (", nome_regra(c), ": ", digitar(e.regra), " mm, so como referencia)\n"});
    switch (e.tipo) {
        case EscolhaBroca::Tipo::regra:
            t += juntar({"\nBroca para o furo: ", nome_regra(c), ", ", digitar(e.regra),
                         " mm\n  (sem tolerancia na norma para escolher pelo menor do furo)\n"});
            return;
        case EscolhaBroca::Tipo::propria:
            t += juntar(
                {"\nBroca para o furo: ", nome_completo(e.broca), "\n  dentro do ", faixa(*e.furo), "\n", regra});
            return;
        case EscolhaBroca::Tipo::outro_sistema:
            t += juntar({"\nBroca para o furo: ", nome_completo(e.broca), e.polegada ? ", metrica" : ", em polegada",
                         "\n  dentro do ", faixa(*e.furo), "\n  (nenhuma broca ",
                         e.polegada ? "em polegada" : "metrica", " cabe nele)\n", regra});
            return;
        case EscolhaBroca::Tipo::nenhuma:
            t += juntar({"\nNenhuma broca normal cabe no menor do furo:\n  ", faixa(*e.furo),
                         "\n  alargue ou mandrile para ", mm(e.inicial), " mm, o meio da faixa\n",
                         e.antes ? juntar({"  (antes, fure com ", nome_completo(*e.antes), ")\n"}) : "", regra});
            return;
    }
}

std::string nota_broca(const EscolhaBroca& e) {
    switch (e.tipo) {
        case EscolhaBroca::Tipo::regra: return "broca: maior - passo";
        case EscolhaBroca::Tipo::nenhuma: return "alargado ou mandrilado";
        default: break;
    }
    return juntar({"broca ", e.broca.nome});
}
