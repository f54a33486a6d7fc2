#include <algorithm>
#include <cmath>

#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/helices.hpp"

namespace {

// Two printed values agree when they differ by no more than their printing explains.
bool conferem(const Valor& a, const Valor& b, double extra = 0) {
    return std::fabs(a.v - b.v) <= meia_unidade(a.decimais) + meia_unidade(b.decimais) + extra + folga_calculo;
}

}  // namespace

void ConferenciaPasses::inicio_helice(const Passe& p, const Movimento& m) {
    // The operator's diameter, before the first pass cuts at it.
    const Modelo::Ajuste& a = m_.ajuste;
    if (p.ordem == 0 && a.feito && std::fabs(a.para - a.de) > a.janela + folga_calculo)
        v_.falha(Verificacoes::raio_e_passes, a.linha,
                 formatar("diametro final %.3f mudado no comando: mais de %.3f mm do respondido (%.3f); o passe de "
                          "acabamento cortaria fora do planejado",
                          a.para, a.janela, a.de));
    if (!p.tem_volta) v_.falha(Verificacoes::raio_e_passes, m.linha, "passe sem o comentario de passe e volta");
    if (!p.diametro.presente()) v_.falha(Verificacoes::raio_e_passes, m.linha, "passe sem o comentario de diametro");
}

void ConferenciaPasses::comentario_no_passe(const Passe& p, const Comentario& c, std::uint64_t linha,
                                            std::uint64_t) {
    if (c.tipo == TipoComentario::volta && c.i != p.numero)
        v_.falha(Verificacoes::raio_e_passes, linha,
                 formatar("comentario do passe %lld dentro do passe %lld, sem movimento rapido entre eles",
                          static_cast<long long>(c.i), static_cast<long long>(p.numero)));
    if (c.tipo == TipoComentario::diametro_volta && p.diametro.presente() && c.a.v != p.diametro.v)
        v_.falha(Verificacoes::raio_e_passes, linha,
                 formatar("diametro %.3f no meio do passe de diametro %.3f", c.a.v, p.diametro.v));
}

void ConferenciaPasses::fim_passe(const Passe& ps) {
    using V = Verificacoes;
    const Cabecalho& c = m_.cabecalho;
    const auto numero = static_cast<long long>(ps.numero);

    // The path radius that the turn comments' diameter and the cutter give;
    // with the control's compensation, the thread's own.
    if (double esperado; raio_do_passe(c, ps.diametro, esperado)) {
        const double tol = meia_unidade(ps.diametro.decimais) / 2 + meia_unidade(c.ferramenta.decimais) / 2 +
                           std::sqrt(2.0) * ps.erro + meio_ulp(ps.diametro.v) + folga_calculo;
        if (std::fabs(ps.raio() - esperado) > tol)
            v_.falha_no_ponto(V::raio_e_passes, ps.linha_inicio,
                              c.compensa_contorno()
                                  ? formatar("passe %lld: raio programado %.4f mm; com a compensacao de raio, o "
                                             "diametro %.3f da %.4f mm",
                                             numero, ps.raio(), ps.diametro.v, esperado)
                                  : formatar("passe %lld: raio medido %.4f mm; diametro %.3f e ferramenta %.2f dao "
                                             "%.4f mm",
                                             numero, ps.raio(), ps.diametro.v, c.ferramenta.v, esperado),
                              ps.primeiro.x, ps.primeiro.y, ps.primeiro.z);
    }

    // The pass against the header's list, in order; each of the list's
    // passes cut in as many helices as the header's starts or revolutions.
    const std::uint64_t esperados = passes_esperados(c), por_passe = helices_por_passe(c);
    if (ps.ordem >= helices_esperadas(c)) {
        v_.falha_no_ponto(V::raio_e_passes, ps.linha_inicio,
                          por_passe > 1 ? formatar("passe %lld a mais: o cabecalho anuncia %llu passe(s) de %llu "
                                                   "helice(s)",
                                                   numero, static_cast<unsigned long long>(esperados),
                                                   static_cast<unsigned long long>(por_passe))
                                        : formatar("passe %lld a mais: o cabecalho anuncia %llu passe(s)", numero,
                                                   static_cast<unsigned long long>(esperados)),
                          ps.primeiro.x, ps.primeiro.y, ps.primeiro.z);
        return;
    }
    const std::uint64_t ordem = ps.ordem / por_passe;
    const PasseEsperado e = passe_esperado(c, ordem);
    if (!e.conhecido) return;
    // The generator accumulates the roughing diameters, one float rounding
    // per pass; the list computes each afresh.
    const double acumulado = static_cast<double>(ordem + 2) * 2 * meio_ulp(e.diametro.v);
    if (ps.numero != e.numero)
        v_.falha(V::raio_e_passes, ps.linha_inicio,
                 formatar("passe numerado %lld; o cabecalho espera o passe %lld", numero,
                          static_cast<long long>(e.numero)));
    else if (ps.diametro.presente() && !conferem(ps.diametro, e.diametro, acumulado))
        v_.falha_no_ponto(V::raio_e_passes, ps.linha_inicio,
                          formatar("passe %lld com diametro %.3f; o cabecalho diz %.3f", numero, ps.diametro.v,
                                   e.diametro.v),
                          ps.primeiro.x, ps.primeiro.y, ps.primeiro.z);
}

void ConferenciaPasses::fim_arquivo(const Modelo& m) {
    using V = Verificacoes;
    if (!houve_corte(m, v_, V::raio_e_passes)) return;
    const Cabecalho& c = m.cabecalho;
    const std::uint64_t esperados = passes_esperados(c);
    if (m.passes < helices_esperadas(c))
        v_.falha(V::raio_e_passes, m.linhas,
                 helices_por_passe(c) > 1
                     ? formatar("%llu helice(s) no arquivo; o cabecalho anuncia %llu passe(s) de %llu",
                                static_cast<unsigned long long>(m.passes), static_cast<unsigned long long>(esperados),
                                static_cast<unsigned long long>(helices_por_passe(c)))
                     : formatar("%llu passe(s) no arquivo; o cabecalho anuncia %llu",
                                static_cast<unsigned long long>(m.passes), static_cast<unsigned long long>(esperados)));
    if (c.np >= 0) {
        const std::uint64_t np = c.np == 0 ? 1 : static_cast<std::uint64_t>(c.np);
        if (np + static_cast<std::uint64_t>(std::max<std::int64_t>(c.modos.repeticoes, 0)) != esperados)
            v_.falha(V::raio_e_passes, 0,
                     formatar("o cabecalho diz np %lld mas lista %llu passe(s)", static_cast<long long>(c.np),
                              static_cast<unsigned long long>(esperados)));
    }
    falha_se_ilegivel(c, v_, V::raio_e_passes, "ferramenta", "o raio dos passes nao pode ser conferido");
    falha_se_ilegivel(c, v_, V::raio_e_passes, "Df", "o diametro final nao pode ser conferido");
    falha_se_ilegivel(c, v_, V::raio_e_passes, "Di", "o diametro inicial nao pode ser conferido");
    falha_se_ilegivel(c, v_, V::raio_e_passes, "Da", "o diametro de acabamento nao pode ser conferido");
    falha_se_ilegivel(c, v_, V::raio_e_passes, "diametro da lista de passes",
                      "os passes nao podem ser conferidos com a lista");
    conferir_lista(c);
    if (!c.ferramenta.presente() || c.tipo == 0)
        v_.marcar(V::raio_e_passes, Estado::nao_avaliada, "cabecalho sem ferramenta ou tipo");
}

// The header's diameters against its pass list, which the passes are
// checked against: the list starts at Di (the bore or the blank), its
// next-to-last item is Da when there is a finishing pass, its last is Df.
void ConferenciaPasses::conferir_lista(const Cabecalho& c) {
    using V = Verificacoes;
    if (c.itens_lista == 0 || c.itens_lista != c.lista.size()) return;
    auto linha = [&c](TipoComentario t) { return c.linha_de[static_cast<std::size_t>(t)]; };
    // The list prints with three decimals what the header prints with two,
    // both from the same float.
    auto confere = [](const Valor& cabecalho, const Valor& lista) {
        return conferem(cabecalho, lista, 2 * meio_ulp(cabecalho.v));
    };
    const Valor& ultimo = c.lista.back().diametro;
    if (c.Df.presente() && ultimo.presente() && !confere(c.Df, ultimo))
        v_.falha(V::raio_e_passes, linha(TipoComentario::diametro_final),
                 formatar("Df %.2f no cabecalho; o ultimo passe da lista tem diametro %.3f", c.Df.v, ultimo.v));
    const Valor& primeiro = c.lista.front().diametro;
    if (c.Di.presente() && !c.Di_desabilitado && primeiro.presente() && !confere(c.Di, primeiro))
        v_.falha(V::raio_e_passes, linha(TipoComentario::diametro_inicial),
                 formatar("Di %.2f no cabecalho; a lista de passes comeca em %.3f", c.Di.v, primeiro.v));
    if (c.lista.size() >= 3 && c.Da.presente() && !c.Da_desabilitado) {
        const Valor& penultimo = c.lista[c.lista.size() - 2].diametro;
        if (penultimo.presente() && !confere(c.Da, penultimo))
            v_.falha(V::raio_e_passes, linha(TipoComentario::diametro_acabamento),
                     formatar("Da %.2f no cabecalho; o passe antes do acabamento tem diametro %.3f", c.Da.v,
                              penultimo.v));
    }
    if (c.modos.area_igual) conferir_area_igual(c);
}

// Roughing pass i of m of equal areas at Di + (Da - Di) sqrt(i / m), from
// the list's first item (Di) to the one the finishing pass starts from
// (Da), or to its last without a finishing pass.
void ConferenciaPasses::conferir_area_igual(const Cabecalho& c) {
    using V = Verificacoes;
    if (c.Di_desabilitado || c.lista.size() < 3) return;
    const bool acabamento = c.Da.presente() && !c.Da_desabilitado;
    const std::size_t m = c.lista.size() - 1 - (acabamento ? 1 : 0);
    const Valor& di = c.lista.front().diametro;
    const Valor& da = c.lista[m].diametro;
    if (m < 2 || !di.presente() || !da.presente()) return;
    for (std::size_t i = 1; i < m; ++i) {
        const ItemLista& item = c.lista[i];
        if (!item.diametro.presente()) continue;
        const auto esperado = static_cast<double>(vocabulario::diametro_area_igual(
            di.v, da.v, static_cast<std::int64_t>(i), static_cast<std::int64_t>(m)));
        const double tol = meia_unidade(di.decimais) + meia_unidade(da.decimais) +
                           meia_unidade(item.diametro.decimais) + 2 * meio_ulp(esperado) + folga_calculo;
        if (std::fabs(item.diametro.v - esperado) > tol)
            v_.falha(V::raio_e_passes, item.linha,
                     formatar("passe %lld da lista com diametro %.3f; de area igual esta em %.3f (Di + (Da - Di) x "
                              "raiz(%lld / %lld))",
                              static_cast<long long>(item.indice), item.diametro.v, esperado, static_cast<long long>(i),
                              static_cast<long long>(m)));
    }
}
