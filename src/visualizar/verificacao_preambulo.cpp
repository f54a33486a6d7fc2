#include <algorithm>
#include <cmath>

#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"

namespace {

std::string duracao(double s) { return s >= 120 ? formatar("%.4g min", s / 60) : formatar("%.4g s", s); }

}  // namespace

void ConferenciaPreambulo::inicio_passe(const Passe& p, const Movimento& m) {
    if (p.ordem == 0 && m_.linha_m3 == 0)
        v_.falha(Verificacoes::rapidos_e_preambulo, m.linha, "corte sem M3 (fuso ligado) antes do primeiro movimento");
    if (retracao_ != Retracao::nenhuma) {
        v_.falha(Verificacoes::rapidos_e_preambulo, m.linha, "novo passe sem antes subir acima de Z 0");
        retracao_ = Retracao::nenhuma;
    }
}

void ConferenciaPreambulo::fim_passe(const Passe& p) {
    ultimo_corte_ = p.ultimo;
    raio_ultimo_ = p.raio();
    erro_ultimo_ = p.erro;
    // A tangent way out off a blank, or one the control compensates,
    // already leaves the thread: straight up from there.
    const Cabecalho& c = m_.cabecalho;
    const bool livre = m_.modos() && (c.compensacao() || (c.tangencial && c.externa()));
    retracao_ = livre ? Retracao::subir : Retracao::afastar;
}

// With ways of cutting a pass may go down at rapid beside the thread (the
// way in from the thread length up): only where the cutter clears what the
// passes before left, inside the bore or outside the blank. Where the control
// compensates the cutter, it places the cutter itself.
bool ConferenciaPreambulo::descida_livre(const Movimento& m) const {
    const Cabecalho& c = m_.cabecalho;
    if (m.compensacao != 40) return true;
    if (!c.ferramenta.presente() || c.lista.empty() || (!c.interna() && !c.externa())) return false;
    // The diameter the passes before left: the list's item before this pass.
    const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(std::min<std::uint64_t>(m_.passes, c.lista.size() - 1)),
                                                c.lista.size() - 1);
    const Valor& feito = c.lista[i].diametro;
    if (!feito.presente()) return false;
    const double r = std::hypot(m.para.x, m.para.y), meia = c.ferramenta.v / 2;
    const double tol = meia_unidade(3) * 2 + meia_unidade(feito.decimais) + folga_calculo;
    return c.interna() ? r + meia <= feito.v / 2 + tol : r - meia >= feito.v / 2 - tol;
}

// After a pass: first away from the thread in X and Y at full depth (to the
// axis inside a bore, to the corner of the retract square outside a part),
// then up above the part; no rapid move in X and Y below Z 0 otherwise.
void ConferenciaPreambulo::rapido(const Movimento& m) {
    if (!m.de_conhecido) return;
    const Ponto3& de = m.de;
    const Ponto3& para = m.para;
    const Cabecalho& c = m_.cabecalho;
    const double tol_xy = meia_unidade(3);
    const bool move_xy = std::fabs(para.x - de.x) > tol_xy || std::fabs(para.y - de.y) > tol_xy;
    const bool sobe = para.z >= -tol_xy;
    auto falha = [&](const std::string& texto) {
        v_.falha_no_ponto(Verificacoes::rapidos_e_preambulo, m.linha, texto, para.x, para.y, para.z);
    };
    if (para.z < de.z - tol_xy && para.z < -tol_xy && !(m_.modos() && !move_xy && descida_livre(m)))
        falha(formatar("movimento rapido desce a Z %.3f", para.z));
    if (retracao_ == Retracao::afastar) {
        if (!move_xy) {
            if (sobe) {
                falha(c.externa() ? "sobe sem antes se afastar ao canto de retracao"
                                  : "sobe sem antes se afastar ao eixo da rosca");
                retracao_ = Retracao::nenhuma;
            }
            return;
        }
        const bool ao_eixo = std::fabs(para.x) <= tol_xy && std::fabs(para.y) <= tol_xy;
        const double rc = raio_ultimo_ + vocabulario::folga_retracao;
        const double tol_rc = tol_xy + 2 * std::sqrt(2.0) * erro_ultimo_ + folga_calculo;
        // The corner of the last point's quadrant; a coordinate printed so
        // near 0 that its sign is not known may have either side's.
        bool ao_canto = false;
        vocabulario::Canto canto;
        if (vocabulario::canto_retracao(ultimo_corte_.x, ultimo_corte_.y, rc, canto)) {
            auto lado_ok = [&](double fim_corte, double esperado, double alvo) {
                if (std::fabs(alvo - esperado) <= tol_rc) return true;
                return std::fabs(fim_corte) <= erro_ultimo_ && std::fabs(alvo + esperado) <= tol_rc;
            };
            ao_canto = lado_ok(ultimo_corte_.x, canto.x, para.x) && lado_ok(ultimo_corte_.y, canto.y, para.y);
        }
        const bool ok = c.interna() ? ao_eixo : c.externa() ? ao_canto : (ao_eixo || ao_canto);
        if (!ok) {
            if (c.externa())
                falha(formatar("retracao a X %.3f Y %.3f; esperado o canto (+-%.3f, +-%.3f) do quadrante do "
                               "ultimo ponto",
                               para.x, para.y, rc, rc));
            else
                falha(formatar("retracao a X %.3f Y %.3f; esperado o eixo da rosca (X 0 Y 0)", para.x, para.y));
        }
        retracao_ = sobe ? Retracao::nenhuma : Retracao::subir;
        return;
    }
    if (retracao_ == Retracao::subir) {
        if (sobe) {
            retracao_ = Retracao::nenhuma;
            return;
        }
        if (move_xy) falha("movimento rapido em X e Y abaixo de Z 0 antes de subir");
        return;
    }
    if (move_xy && de.z < -tol_xy) falha("movimento rapido em X e Y abaixo de Z 0");
}

void ConferenciaPreambulo::fim_arquivo(const Modelo& m) {
    using V = Verificacoes;
    Verificacoes& v = v_;
    if (!houve_corte(m, v, V::rapidos_e_preambulo)) return;
    const Cabecalho& c = m.cabecalho;
    falha_se_ilegivel(c, v, V::rapidos_e_preambulo, "S", "a rotacao nao pode ser conferida");
    falha_se_ilegivel(c, v, V::rapidos_e_preambulo, "F", "o avanco nao pode ser conferido");
    // A spindle that does not turn or a feed that does not move is no
    // preamble, whatever the header says.
    // Given, not zero, and the header's (as "%.0f" writes it).
    auto conferir = [&](bool tem, double valor, std::uint64_t linha, const Valor& cabecalho, const char* sem,
                        const char* zero, const char* difere) {
        if (!tem)
            v.falha(V::rapidos_e_preambulo, 0, sem);
        else if (!(valor > 0))
            v.falha(V::rapidos_e_preambulo, linha, formatar(zero, valor));
        else if (cabecalho.presente() && std::fabs(valor - cabecalho.v) > 0.5 + meia_unidade(cabecalho.decimais))
            v.falha(V::rapidos_e_preambulo, linha, formatar(difere, valor, cabecalho.v));
    };
    conferir(m.tem_s, m.s, m.linha_s, c.S, "sem rotacao S antes do primeiro corte",
             "S%g antes do primeiro corte: o fuso nao gira", "S%.0f; o cabecalho diz %.0f rpm");
    conferir(m.tem_f, m.f, m.linha_f, c.F, "sem avanco f antes do primeiro corte",
             "f%g antes do primeiro corte: a ferramenta nao avanca", "f%.0f; o cabecalho diz %.1f mm/min");
    if (m.tem_escala && (std::fabs(m.escala_x - 1) > 0.005 || std::fabs(m.escala_y - 1) > 0.005))
        v.falha(V::rapidos_e_preambulo, m.linha_escala,
                formatar("escala g51 X %.3f Y %.3f; o percurso e desenhado em escala 1", m.escala_x, m.escala_y));
    // The dwell's P in the unit of the file's own dialect: the same digits
    // are seconds for one control and milliseconds for another.
    const vocabulario::Dialeto& d = m.dialeto.dialeto();
    std::uint64_t fora = 0;
    if (const PausaLida* p = m.dialeto.pausa_implausivel(d, fora)) {
        const bool ms = d.pausa_por_segundo == 1000;
        std::string texto =
            p->tem_p
                ? formatar("pausa P%g: no comando %.*s P e em %s, %s; esperado de %g a %g s para o fuso chegar "
                           "a rotacao",
                           p->p, static_cast<int>(d.nome.size()), d.nome.data(), ms ? "milissegundos" : "segundos",
                           duracao(p->p / d.pausa_por_segundo).c_str(), pausa_minima_s, pausa_maxima_s)
                : std::string("pausa sem P: o tempo para o fuso chegar a rotacao nao e dado");
        if (fora > 1) texto += formatar(" (%llu pausas assim)", static_cast<unsigned long long>(fora));
        v.falha(V::rapidos_e_preambulo, p->linha, texto);
    }
    if (retracao_ != Retracao::nenhuma && m.linha_m30 != 0)
        v.falha(V::rapidos_e_preambulo, m.linha_m30, "o ultimo passe nao se afasta e sobe acima de Z 0 antes do fim");
    if (m.linha_m30 != 0 && (m.linha_m5 == 0 || m.linha_m5 > m.linha_m30))
        v.falha(V::rapidos_e_preambulo, m.linha_m30, "M30 sem M5 (fuso desligado) antes");
}
