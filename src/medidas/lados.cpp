#include "medidas/lados.hpp"

#include "medidas/decimal.hpp"
#include "medidas/tolerancia_iso228.hpp"
#include "medidas/tolerancia_iso965.hpp"
#include "medidas/tolerancia_unificada.hpp"

namespace {

bool lado_metrico(const Consulta& c, const ClasseIso965& classe, Lado& l, std::string& erro) {
    l.classe = texto_classe(classe);
    l.interna = classe.posicao == 'G' || classe.posicao == 'H';
    return faixas_iso965(c.designacao.diametro, c.designacao.passo, c.perfil, classe, l.faixas, erro);
}

Lado lado_unificado(const Consulta& c, int classe, bool interna) {
    const Designacao& d = c.designacao;
    const auto serie = c.serie_pedida ? c.serie_pedida : c.serie_do_passo;
    const bool grossa_ou_fina = d.serie != SerieDigitada::un && d.serie != SerieDigitada::uns && serie &&
                                (*serie == SerieUnificada::unc || *serie == SerieUnificada::unf);
    const bool pelo_diametro = engate_pelo_diametro(d.passo, grossa_ou_fina, d.serie == SerieDigitada::uns);
    Lado l;
    l.classe = texto_classe_unificada(classe, interna);
    l.interna = interna;
    l.polegadas = true;
    l.faixas = faixas_unificadas(d.diametro, d.passo, pelo_diametro, classe, interna).faixas;
    return l;
}

Lado lado_tubo(const Consulta& c, char classe) {
    Lado l;
    l.classe = classe == 0 ? "" : std::string(1, classe);
    l.interna = classe == 0;
    l.faixas = faixas_iso228(*c.iso228, classe);
    return l;
}

constexpr ClasseIso965 furo_comum{6, 6, 'H'};
constexpr ClasseIso965 parafuso_comum{6, 6, 'g'};
constexpr int classe_unificada_comum = 2;

}  // namespace

bool lados_da_consulta(const Consulta& c, std::vector<Lado>& lados, std::string& erro) {
    lados.clear();
    const Designacao& d = c.designacao;
    const bool digitada = d.tem_classe();
    switch (d.familia) {
        case Familia::metrica: {
            const ClasseIso965 furo = digitada ? d.classe_furo : furo_comum;
            const ClasseIso965 parafuso = digitada ? d.classe_parafuso : parafuso_comum;
            for (const ClasseIso965* classe : {&furo, &parafuso}) {
                if (classe->posicao == 0) continue;
                Lado l;
                if (!lado_metrico(c, *classe, l, erro)) return false;
                lados.push_back(l);
            }
            return true;
        }
        case Familia::unificada: {
            const int furo = digitada ? d.classe_furo_unificada : classe_unificada_comum;
            const int parafuso = digitada ? d.classe_parafuso_unificada : classe_unificada_comum;
            if (furo != 0) lados.push_back(lado_unificado(c, furo, true));
            if (parafuso != 0) lados.push_back(lado_unificado(c, parafuso, false));
            return true;
        }
        case Familia::tubo:
            if (d.classe_tubo != 0) {
                lados.push_back(lado_tubo(c, d.classe_tubo));
            } else {
                for (char classe : {'\0', 'A', 'B'}) lados.push_back(lado_tubo(c, classe));
            }
            return true;
        case Familia::conica: break;
    }
    return true;
}

std::optional<Lado> furo_da_broca(const Consulta& c) {
    const Designacao& d = c.designacao;
    std::string erro;
    switch (d.familia) {
        case Familia::metrica: {
            Lado l;
            if (!lado_metrico(c, d.classe_furo.posicao != 0 ? d.classe_furo : furo_comum, l, erro)) return std::nullopt;
            return l;
        }
        case Familia::unificada:
            return lado_unificado(c, d.classe_furo_unificada != 0 ? d.classe_furo_unificada : classe_unificada_comum,
                                  true);
        case Familia::tubo: return lado_tubo(c, 0);
        case Familia::conica: break;
    }
    return std::nullopt;
}

std::int64_t mm_de(const Lado& l, std::int64_t v) { return l.polegadas ? arredondar(v * 254, 100) : v; }

std::int64_t exato(const Lado& l, std::int64_t v) { return l.polegadas ? v * 25400 : v * 10000; }
