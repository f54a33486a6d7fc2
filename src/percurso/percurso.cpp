#include "percurso/percurso.hpp"

#include <algorithm>
#include <cmath>

#include "nucleo/numerico.hpp"
#include "percurso/ponto_helice.hpp"
#include "vocabulario/regras.hpp"

namespace {

// The steps are radial, so a pass moves the diameter by twice the step.
estendido no_diametro(float passo) { return estender(passo) + estender(passo); }

float proximo_diametro(const PlanoPasses& p, float diametro) {
    return p.interna ? armazenar(estender(diametro) + no_diametro(p.passo_lateral))
                     : armazenar(estender(diametro) - no_diametro(p.passo_lateral));
}

std::int64_t primeiro_passe(const PlanoPasses& p) { return p.diametro_inicial == 0 ? 0 : 1; }

bool tem_acabamento(const PlanoPasses& p) { return p.diametro_final != p.diametro_final_total; }

}  // namespace

SequenciaPasses::SequenciaPasses(const Percurso& percurso) : percurso_(percurso) {
    const PlanoPasses& p = percurso.plano;
    numero_ = primeiro_passe(p);
    // Accumulated from the previous stored diameter, not recomputed from the
    // first one: the last roughing pass may differ from the plan in the last bits.
    diametro_ = proximo_diametro(p, p.diametro_inicial == 0 ? p.diametro_final : p.diametro_inicial);
}

bool SequenciaPasses::proximo_do_plano(PassePercurso& passe) {
    const PlanoPasses& p = percurso_.plano;
    if (numero_ <= p.passes) {
        passe.numero = static_cast<std::int32_t>(numero_);
        passe.diametro = diametro_;
        diametro_ = proximo_diametro(p, diametro_);
        ++numero_;
        return true;
    }
    if (tem_acabamento(p) && !acabamento_feito_) {
        // Lands on the final diameter as entered, so it is computed afresh
        // rather than accumulated; it keeps the next pass number.
        acabamento_feito_ = true;
        const estendido desbaste = no_diametro(p.passo_lateral) * (static_cast<estendido>(numero_) - 1);
        const estendido acabamento = no_diametro(p.passo_acabamento);
        passe.numero = static_cast<std::int32_t>(numero_);
        passe.diametro = p.interna ? armazenar((desbaste + estender(p.diametro_inicial)) + acabamento)
                                   : armazenar((estender(p.diametro_inicial) - desbaste) - acabamento);
        return true;
    }
    return false;
}

void SequenciaPasses::completar(PassePercurso& passe) const {
    const PlanoPasses& p = percurso_.plano;
    passe.helice = percurso_.helice;
    passe.helice.raio = vocabulario::raio_percurso(passe.diametro, p.diametro_ferramenta, p.interna);
    passe.subindo = percurso_.modos.subindo;
    passe.avanco = percurso_.modos.avanco_na_aresta ? avanco_no_centro(percurso_, passe.diametro) : 0;
}

bool SequenciaPasses::proximo(PassePercurso& passe) {
    if (proximo_do_plano(passe)) {
        passe.repeticao = 0;
        completar(passe);
        ultimo_ = passe;
        tem_ultimo_ = true;
        return true;
    }
    // Spring passes: the last one again, at the same diameter.
    if (!tem_ultimo_ || repetidos_ >= percurso_.modos.repeticoes) return false;
    passe = ultimo_;
    passe.repeticao = ++repetidos_;
    return true;
}

double avanco_no_centro(const Percurso& percurso, float diametro) {
    return vocabulario::avanco_no_centro(percurso.avanco, diametro, percurso.plano.diametro_ferramenta, percurso.interna);
}

double linhas_previstas(const Percurso& percurso) {
    const PlanoPasses& p = percurso.plano;
    double passes = static_cast<double>(
        std::max<std::int64_t>(0, std::int64_t{p.passes} - primeiro_passe(p) + 1));
    if (tem_acabamento(p)) passes += 1;
    if (passes > 0) passes += static_cast<double>(percurso.modos.repeticoes);
    const Helice& h = percurso.helice;
    const double voltas =
        std::max(1.0, std::ceil(static_cast<double>(h.comprimento) / static_cast<double>(h.passo_rosca)));
    // Per pass: the start move and its blank line, 364 lines a turn, three to retract.
    return passes * (5 + 364 * voltas);
}
