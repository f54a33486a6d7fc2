#include "percurso/percurso.hpp"

#include <algorithm>
#include <cmath>

#include "nucleo/numerico.hpp"
#include "percurso/ponto_helice.hpp"
#include "vocabulario/helices.hpp"
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

float diametro_area_igual(const PlanoPasses& p, std::int64_t i) {
    return armazenar(
        vocabulario::diametro_area_igual(estender(p.diametro_inicial), estender(p.diametro_final), i, p.passes));
}

bool SequenciaPasses::proximo_do_plano(PassePercurso& passe) {
    const PlanoPasses& p = percurso_.plano;
    if (numero_ <= p.passes) {
        passe.numero = static_cast<std::int32_t>(numero_);
        passe.diametro = p.area_igual && p.diametro_inicial != 0 ? diametro_area_igual(p, numero_) : diametro_;
        passe.acabamento = numero_ == p.passes && !tem_acabamento(p);
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
        passe.acabamento = true;
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
    const int entradas = static_cast<int>(percurso_.modos.entradas);
    if (tem_atual_ && entrada_ + 1 < entradas) {
        passe = atual_;
        da_entrada(passe, ++entrada_);
        return true;
    }
    if (!proximo_do_passe(passe)) return false;
    if (entradas > 1) {
        atual_ = passe;
        tem_atual_ = true;
        entrada_ = 0;
        da_entrada(passe, 0);
    }
    return true;
}

void SequenciaPasses::da_entrada(PassePercurso& passe, int k) const {
    const int s = static_cast<int>(percurso_.modos.entradas);
    Helice& h = passe.helice;
    passe.entrada = k;
    // The lead is s pitches; start k turned by a share of the turn.
    const estendido avanco = static_cast<estendido>(s) * estender(percurso_.helice.passo_rosca);
    h.passo_rosca = armazenar(avanco);
    h.passo_z_grau = armazenar(estender(h.passo_rosca) / 360);
    h.angulo_inicial = armazenar(vocabulario::angulo_da_entrada(estender(percurso_.helice.angulo_inicial), k, s));
}

bool SequenciaPasses::proximo_do_passe(PassePercurso& passe) {
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

void mudar_diametro(const Percurso& percurso, PassePercurso& passe, float diametro) {
    passe.diametro = diametro;
    passe.helice.raio = vocabulario::raio_percurso(diametro, percurso.plano.diametro_ferramenta, percurso.interna);
    if (percurso.modos.avanco_na_aresta) passe.avanco = avanco_no_centro(percurso, diametro);
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
    // A helix of several starts advances as many pitches a turn; a mill of
    // several profiles cuts as many pitches a revolution.
    const double por_volta = static_cast<double>(h.passo_rosca) *
                             static_cast<double>(std::max(percurso.modos.entradas, percurso.modos.perfis));
    const double voltas = std::max(1.0, std::ceil(static_cast<double>(h.comprimento) / por_volta));
    passes *= static_cast<double>(percurso.modos.entradas);
    // Per pass: the start move and its blank line, 364 lines a turn, three to retract.
    return passes * (5 + 364 * voltas);
}
