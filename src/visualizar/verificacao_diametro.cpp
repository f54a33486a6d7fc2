#include <cmath>

#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"

void ConferenciaDiametro::fim_arquivo(const Modelo& m) {
    using V = Verificacoes;
    Verificacoes& v = v_;
    if (!houve_corte(m, v, V::diametro_usinado)) return;
    const Cabecalho& c = m.cabecalho;
    if (c.externa()) {
        v.marcar(V::diametro_usinado, Estado::nao_se_aplica, "rosca externa");
        return;
    }
    if (c.interna()) {
        const bool ferramenta =
            falha_se_ilegivel(c, v, V::diametro_usinado, "ferramenta", "o diametro usinado nao pode ser conferido");
        const bool Df = falha_se_ilegivel(c, v, V::diametro_usinado, "Df", "o furo nao pode ser conferido");
        if (ferramenta || Df) return;
    }
    if (!c.interna() || !c.ferramenta.presente() || !c.Df.presente()) {
        v.marcar(V::diametro_usinado, Estado::nao_avaliada, "cabecalho sem tipo, ferramenta ou Df");
        return;
    }
    // Without the extents comments the file was cut before its end: what the
    // path reaches is not what was asked, and the bore cannot be judged.
    if (!m.extensoes.diametro.presente() || !m.extensoes.x_max.presente()) {
        v.falha(V::diametro_usinado, m.linhas,
                "sem os comentarios de X e do diametro usinado (arquivo cortado?): o diametro usinado e o furo "
                "nao podem ser conferidos");
        return;
    }
    // The machined diameter from the X extents of the path and the cutter,
    // against the extents comments and the final diameter.
    const double e = m.extremos.erro;
    // The comments are the answered job's; the operator's diameter moves the
    // path by up to half its change, each way, and the bore by all of it.
    const double ajuste = m.ajuste.feito ? std::fabs(m.ajuste.para - m.ajuste.de) : 0;
    const double recalculado = m.extremos.x_max - m.extremos.x_min + c.ferramenta.v;
    const std::uint64_t linha = m.extensoes.linha;
    auto extremo = [&](const Valor& lido, double medido, const char* nome) {
        if (lido.presente() && std::fabs(lido.v - medido) > meia_unidade(lido.decimais) + e + ajuste / 2 + folga_calculo)
            v.falha(V::diametro_usinado, linha,
                    formatar("%s = %.2f no comentario; os movimentos dao %.3f", nome, lido.v, medido));
    };
    extremo(m.extensoes.x_max, m.extremos.x_max, "X MAX");
    extremo(m.extensoes.x_min, m.extremos.x_min, "X MIN");
    extremo(m.extensoes.y_max, m.extremos.y_max, "Y MAX");
    extremo(m.extensoes.y_min, m.extremos.y_min, "Y MIN");
    double usinado = recalculado;
    if (m.extensoes.diametro.presente()) {
        usinado = m.extensoes.diametro.v;
        const double tol = meia_unidade(m.extensoes.diametro.decimais) + 2 * e +
                           meia_unidade(c.ferramenta.decimais) + ajuste + folga_calculo;
        if (std::fabs(usinado - recalculado) > tol)
            v.falha(V::diametro_usinado, m.extensoes.linha_diametro,
                    formatar("DIAMETRO USINADO MAXIMO %.3f no comentario; X e a ferramenta dao %.3f", usinado,
                             recalculado));
    }
    const double folga = m.extensoes.diametro.presente() ? meia_unidade(m.extensoes.diametro.decimais)
                                                          : 2 * e + meia_unidade(c.ferramenta.decimais);
    if (usinado - vocabulario::tolerancia_furo > c.Df.v + meia_unidade(c.Df.decimais) + folga + folga_calculo)
        v.falha(V::diametro_usinado, m.extensoes.linha_diametro != 0 ? m.extensoes.linha_diametro : m.linhas,
                formatar("diametro usinado %.3f passa de Df %.2f por mais de 0.1 mm: furo maior que o final",
                         usinado, c.Df.v));
}
