#include "visualizar/verificacoes.hpp"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "visualizar/cabecalho.hpp"
#include "visualizar/leitor.hpp"
#include "visualizar/modelo.hpp"
#include "visualizar/tolerancias.hpp"

std::string formatar(const char* formato, ...) {
    char texto[512];
    va_list args;
    va_start(args, formato);
    const int n = std::vsnprintf(texto, sizeof texto, formato, args);
    va_end(args);
    if (n < 0) return {};
    return std::string(texto, static_cast<std::size_t>(n) < sizeof texto ? static_cast<std::size_t>(n) : sizeof texto - 1);
}

Verificacoes::Verificacoes() {
    static const char* const titulos[quantidade] = {
        "Arquivo completo e legivel",
        "Pontos de cada passe num circulo em torno do eixo",
        "Raio de cada passe e lista de passes do cabecalho",
        "Profundidade, passo, avanco de 1 grau, sentido e fim em L",
        "Diametro usinado e furo",
        "Preambulo e movimentos rapidos",
    };
    for (int i = 0; i < quantidade; ++i) {
        itens_[static_cast<std::size_t>(i)].numero = i + 1;
        itens_[static_cast<std::size_t>(i)].titulo = titulos[i];
    }
}

void Verificacoes::falha(int numero, std::uint64_t linha, const std::string& detalhe) {
    ResultadoVerificacao& r = itens_[static_cast<std::size_t>(numero - 1)];
    ++r.ocorrencias;
    if (r.estado == Estado::falha) return;
    r.estado = Estado::falha;
    r.linha = linha;
    r.detalhe = detalhe;
}

void Verificacoes::falha_no_ponto(int numero, std::uint64_t linha, const std::string& detalhe, double x, double y,
                                  double z) {
    ResultadoVerificacao& r = itens_[static_cast<std::size_t>(numero - 1)];
    const bool primeira = r.estado != Estado::falha;
    falha(numero, linha, detalhe);
    if (!primeira) return;
    r.tem_ponto = true;
    r.x = x;
    r.y = y;
    r.z = z;
}

void Verificacoes::contar(int numero, std::uint64_t vezes) {
    itens_[static_cast<std::size_t>(numero - 1)].ocorrencias += vezes;
}

void Verificacoes::marcar(int numero, Estado estado, const std::string& motivo) {
    ResultadoVerificacao& r = itens_[static_cast<std::size_t>(numero - 1)];
    if (r.estado == Estado::falha) return;
    r.estado = estado;
    r.detalhe = motivo;
}

bool Verificacoes::todas_ok() const {
    for (const auto& r : itens_)
        if (r.estado == Estado::falha || r.estado == Estado::nao_avaliada) return false;
    return true;
}

namespace {

// Two printed values agree when they differ by no more than their printing explains.
bool conferem(const Valor& a, const Valor& b, double extra = 0) {
    return std::fabs(a.v - b.v) <= meia_unidade(a.decimais) + meia_unidade(b.decimais) + extra + folga_calculo;
}

}  // namespace

void conferir_passe(const Passe& ps, const Cabecalho& c, Verificacoes& v) {
    using V = Verificacoes;
    const auto numero = static_cast<long long>(ps.numero);

    // The path radius that the turn comments' diameter and the cutter give.
    if (ps.diametro.presente() && c.ferramenta.presente() && (c.interna() || c.externa())) {
        const double meio = ps.diametro.v / 2, ferramenta = c.ferramenta.v / 2;
        const double esperado = c.interna() ? meio - ferramenta : meio + ferramenta;
        const double tol = meia_unidade(ps.diametro.decimais) / 2 + meia_unidade(c.ferramenta.decimais) / 2 +
                           std::sqrt(2.0) * ps.erro + meio_ulp(ps.diametro.v) + folga_calculo;
        if (std::fabs(ps.raio() - esperado) > tol)
            v.falha_no_ponto(V::raio_e_passes, ps.linha_inicio,
                             formatar("passe %lld: raio medido %.4f mm; diametro %.3f e ferramenta %.2f dao %.4f "
                                      "mm",
                                      numero, ps.raio(), ps.diametro.v, c.ferramenta.v, esperado),
                             ps.primeiro.x, ps.primeiro.y, ps.primeiro.z);
    }

    // The pass against the header's list, in order.
    const std::uint64_t esperados = passes_esperados(c);
    if (ps.ordem >= esperados) {
        v.falha_no_ponto(V::raio_e_passes, ps.linha_inicio,
                         formatar("passe %lld a mais: o cabecalho anuncia %llu passe(s)", numero,
                                  static_cast<unsigned long long>(esperados)),
                         ps.primeiro.x, ps.primeiro.y, ps.primeiro.z);
    } else {
        const PasseEsperado e = passe_esperado(c, ps.ordem);
        if (e.conhecido) {
            // The generator accumulates the roughing diameters, one float
            // rounding per pass; the list computes each afresh.
            const double acumulado = static_cast<double>(ps.ordem + 2) * 2 * meio_ulp(e.diametro.v);
            if (ps.numero != e.numero)
                v.falha(V::raio_e_passes, ps.linha_inicio,
                        formatar("passe numerado %lld; o cabecalho espera o passe %lld", numero,
                                 static_cast<long long>(e.numero)));
            else if (ps.diametro.presente() && !conferem(ps.diametro, e.diametro, acumulado))
                v.falha_no_ponto(V::raio_e_passes, ps.linha_inicio,
                                 formatar("passe %lld com diametro %.3f; o cabecalho diz %.3f", numero,
                                          ps.diametro.v, e.diametro.v),
                                 ps.primeiro.x, ps.primeiro.y, ps.primeiro.z);
        }
    }

    // Ends at the thread length, at most one one-degree step past it.
    if (c.L.presente() && c.p.presente()) {
        const double profundidade = -ps.ultimo.z;
        const double tol = meia_unidade(c.L.decimais) + erro_coordenada(std::fabs(c.L.v) + 1) + folga_calculo;
        const double passo = (c.p.v + meia_unidade(c.p.decimais)) / LeitorGcode::graus_volta;
        if (profundidade < c.L.v - tol || profundidade > c.L.v + passo + tol)
            v.falha_no_ponto(V::profundidade_e_avanco, ps.linha_fim,
                             formatar("passe %lld termina a Z %.3f; L = %.2f (ate um passo de 1 grau alem)",
                                      numero, ps.ultimo.z, c.L.v),
                             ps.ultimo.x, ps.ultimo.y, ps.ultimo.z);
    }
    const auto voltas = static_cast<std::int64_t>((ps.movimentos + LeitorGcode::graus_volta - 1) /
                                                  LeitorGcode::graus_volta);
    if (ps.numero >= 0 && ps.voltas != voltas)
        v.falha(V::profundidade_e_avanco, ps.linha_fim,
                formatar("passe %lld: %lld comentarios de volta para %llu movimentos (%lld voltas)", numero,
                         static_cast<long long>(ps.voltas), static_cast<unsigned long long>(ps.movimentos),
                         static_cast<long long>(voltas)));
}

void conferir_arquivo(const Modelo& m, Verificacoes& v) {
    using V = Verificacoes;
    const Cabecalho& c = m.cabecalho;

    // 1. The file is whole and every line reads.
    if (m.linhas == 0) v.falha(V::arquivo_completo, 0, "arquivo vazio");
    if (m.linha_cortada != 0)
        v.falha(V::arquivo_completo, m.linha_cortada, "ultima linha cortada, sem fim de linha: arquivo incompleto");

    if (c.linhas == 0 && m.linhas > 0) {
        v.falha(V::arquivo_completo, 1, "sem o cabecalho de comentarios do programa");
    } else if (const std::string falta = c.faltando(); !falta.empty()) {
        v.falha(V::arquivo_completo, 1, "cabecalho sem: " + falta);
    }
    for (const LinhaIlegivel& l : m.ilegiveis)
        v.falha(V::arquivo_completo, l.numero, "linha que nao se le: " + l.texto);
    if (m.total_ilegiveis > m.ilegiveis.size())
        v.contar(V::arquivo_completo, m.total_ilegiveis - m.ilegiveis.size());
    if (m.movimentos == 0 && m.linhas > 0) v.falha(V::arquivo_completo, 0, "nenhum movimento de corte (g01)");
    if (!m.termina_em_m30 && m.linhas > 0 && m.linha_cortada == 0)
        v.falha(V::arquivo_completo, m.linhas,
                m.linha_m30 != 0 ? "o arquivo continua depois do M30"
                                 : "o arquivo termina sem M30: incompleto (cortado ou recusado)");
    if (c.interna() && m.movimentos > 0) {
        if (m.linha_extensoes == 0 || !m.x_max_comentario.presente() || !m.y_max_comentario.presente() ||
            !m.diametro_comentario.presente())
            v.falha(V::arquivo_completo, m.linhas, "rosca interna sem os comentarios de X, Y e diametro usinado");
        else if (!m.extensoes_apos_ultimo_passe)
            v.falha(V::arquivo_completo, m.linha_extensoes, "comentarios de X, Y e diametro antes do ultimo passe");
    }
    if (m.erro_leitura) v.falha(V::arquivo_completo, m.linhas, "erro de leitura do arquivo");

    if (m.movimentos == 0) {
        for (int i = V::circulo; i <= V::rapidos_e_preambulo; ++i)
            v.marcar(i, Estado::nao_avaliada, "nenhum movimento de corte");
        return;
    }

    // 3. As many passes as the header announces.
    const std::uint64_t esperados = passes_esperados(c);
    if (m.passes < esperados)
        v.falha(V::raio_e_passes, m.linhas,
                formatar("%llu passe(s) no arquivo; o cabecalho anuncia %llu",
                         static_cast<unsigned long long>(m.passes), static_cast<unsigned long long>(esperados)));
    if (c.np >= 0) {
        const std::uint64_t np = c.np == 0 ? 1 : static_cast<std::uint64_t>(c.np);
        if (np != esperados)
            v.falha(V::raio_e_passes, 0,
                    formatar("o cabecalho diz np %lld mas lista %llu passe(s)", static_cast<long long>(c.np),
                             static_cast<unsigned long long>(esperados)));
    }
    if (!c.ferramenta.presente() || c.tipo == 0) v.marcar(V::raio_e_passes, Estado::nao_avaliada, "cabecalho sem ferramenta ou tipo");

    // 4. Needs the header's pitch and length.
    if (!c.p.presente() || !c.L.presente())
        v.falha(V::profundidade_e_avanco, 0, "sem o passo p ou o comprimento L no cabecalho");

    // 5. Internal thread: machined diameter from the X extents, and the bore.
    if (c.externa()) {
        v.marcar(V::diametro_usinado, Estado::nao_se_aplica, "rosca externa");
    } else if (!c.interna() || !c.ferramenta.presente() || !c.Df.presente()) {
        v.marcar(V::diametro_usinado, Estado::nao_avaliada, "cabecalho sem tipo, ferramenta ou Df");
    } else {
        const double e = m.erro_extremos;
        const double recalculado = m.x_max - m.x_min + c.ferramenta.v;
        const std::uint64_t linha = m.linha_extensoes;
        auto extremo = [&](const Valor& lido, double medido, const char* nome) {
            if (lido.presente() && std::fabs(lido.v - medido) > meia_unidade(lido.decimais) + e + folga_calculo)
                v.falha(V::diametro_usinado, linha,
                        formatar("%s = %.2f no comentario; os movimentos dao %.3f", nome, lido.v, medido));
        };
        extremo(m.x_max_comentario, m.x_max, "X MAX");
        extremo(m.x_min_comentario, m.x_min, "X MIN");
        extremo(m.y_max_comentario, m.y_max, "Y MAX");
        extremo(m.y_min_comentario, m.y_min, "Y MIN");
        double usinado = recalculado;
        if (m.diametro_comentario.presente()) {
            usinado = m.diametro_comentario.v;
            const double tol = meia_unidade(m.diametro_comentario.decimais) + 2 * e +
                               meia_unidade(c.ferramenta.decimais) + folga_calculo;
            if (std::fabs(usinado - recalculado) > tol)
                v.falha(V::diametro_usinado, m.linha_diametro_comentario,
                        formatar("DIAMETRO USINADO MAXIMO %.3f no comentario; X e a ferramenta dao %.3f", usinado,
                                 recalculado));
        }
        const double folga = m.diametro_comentario.presente() ? meia_unidade(m.diametro_comentario.decimais)
                                                              : 2 * e + meia_unidade(c.ferramenta.decimais);
        if (usinado - tolerancia_furo > c.Df.v + meia_unidade(c.Df.decimais) + folga + folga_calculo)
            v.falha(V::diametro_usinado, m.linha_diametro_comentario != 0 ? m.linha_diametro_comentario : m.linhas,
                    formatar("diametro usinado %.3f passa de Df %.2f por mais de 0.1 mm: furo maior que o final",
                             usinado, c.Df.v));
    }

    // 6. Spindle and feed before the first cut, the scale, the end.
    if (!m.tem_s)
        v.falha(V::rapidos_e_preambulo, 0, "sem rotacao S antes do primeiro corte");
    else if (c.S.presente() && std::fabs(m.s - c.S.v) > 0.5 + meia_unidade(c.S.decimais))
        v.falha(V::rapidos_e_preambulo, m.linha_s, formatar("S%.0f; o cabecalho diz %.0f rpm", m.s, c.S.v));
    if (!m.tem_f)
        v.falha(V::rapidos_e_preambulo, 0, "sem avanco f antes do primeiro corte");
    else if (c.F.presente() && std::fabs(m.f - c.F.v) > 0.5 + meia_unidade(c.F.decimais))
        v.falha(V::rapidos_e_preambulo, m.linha_f, formatar("f%.0f; o cabecalho diz %.1f mm/min", m.f, c.F.v));
    if (m.tem_escala && (std::fabs(m.escala_x - 1) > 0.005 || std::fabs(m.escala_y - 1) > 0.005))
        v.falha(V::rapidos_e_preambulo, m.linha_escala,
                formatar("escala g51 X %.3f Y %.3f; o percurso e desenhado em escala 1", m.escala_x, m.escala_y));
    if (m.saida_pendente && m.linha_m30 != 0)
        v.falha(V::rapidos_e_preambulo, m.linha_m30, "o ultimo passe nao se afasta e sobe acima de Z 0 antes do fim");
    if (m.linha_m30 != 0 && (m.linha_m5 == 0 || m.linha_m5 > m.linha_m30))
        v.falha(V::rapidos_e_preambulo, m.linha_m30, "M30 sem M5 (fuso desligado) antes");
}
