#include <cmath>

#include "visualizar/conferencias.hpp"
#include "visualizar/mensagem.hpp"

bool falha_se_ilegivel(const Cabecalho& c, Verificacoes& v, int numero, const char* rotulo, const char* o_que) {
    const ValorIlegivel* i = c.ilegivel(rotulo);
    if (i == nullptr) return false;
    v.falha(numero, i->linha, formatar("%s do cabecalho ilegivel (%g): %s", rotulo, i->v, o_que));
    return true;
}

bool houve_corte(const Modelo& m, Verificacoes& v, int numero) {
    if (m.movimentos > 0) return true;
    v.marcar(numero, Estado::nao_avaliada, "nenhum movimento de corte");
    return false;
}

void ConferenciaArquivo::fim_arquivo(const Modelo& m) {
    using V = Verificacoes;
    Verificacoes& v = v_;
    const Cabecalho& c = m.cabecalho;
    if (m.linhas == 0) v.falha(V::arquivo_completo, 0, "arquivo vazio");
    if (m.linha_cortada != 0)
        v.falha(V::arquivo_completo, m.linha_cortada, "ultima linha cortada, sem fim de linha: arquivo incompleto");

    if (c.linhas == 0 && m.linhas > 0) {
        v.falha(V::arquivo_completo, 1, "sem o cabecalho de comentarios do programa");
    } else if (const std::string falta = c.faltando(); !falta.empty()) {
        v.falha(V::arquivo_completo, 1, "cabecalho sem: " + falta);
    }
    // Values no job has: the generator refuses them before it writes.
    auto positivo = [&](const Valor& valor, TipoComentario tipo, const char* nome) {
        if (valor.presente() && std::isfinite(valor.v) && !(valor.v > 0))
            v.falha(V::arquivo_completo, c.linha_de[static_cast<std::size_t>(tipo)],
                    formatar("%s do cabecalho %g: tem de ser maior que zero", nome, valor.v));
    };
    positivo(c.p, TipoComentario::passo_rosca, "passo");
    positivo(c.L, TipoComentario::comprimento, "comprimento L");
    positivo(c.ferramenta, TipoComentario::ferramenta, "diametro da ferramenta");
    positivo(c.Df, TipoComentario::diametro_final, "diametro final");
    // A header value no float holds was not written by the generator.
    for (const ValorIlegivel& i : c.ilegiveis)
        v.falha(V::arquivo_completo, i.linha,
                formatar("valor ilegivel no cabecalho: %s %g (%s)", i.rotulo, i.v,
                         std::isfinite(i.v) ? "alem do alcance de um float" : "nao e um numero finito"));
    for (const LinhaIlegivel& l : m.ilegiveis)
        v.falha(V::arquivo_completo, l.numero,
                "linha que nao se le: " + l.texto + (l.motivo.empty() ? "" : " (" + l.motivo + ")"));
    if (m.total_ilegiveis > m.ilegiveis.size()) v.contar(V::arquivo_completo, m.total_ilegiveis - m.ilegiveis.size());
    if (m.movimentos == 0 && m.linhas > 0) v.falha(V::arquivo_completo, 0, "nenhum movimento de corte (g01)");
    if (!m.preambulo.termina_em_m30 && m.linhas > 0 && m.linha_cortada == 0)
        v.falha(V::arquivo_completo, m.linhas,
                m.preambulo.linha_m30 != 0 ? "o arquivo continua depois do M30"
                                 : "o arquivo termina sem M30: incompleto (cortado ou recusado)");
    if (c.interna() && m.movimentos > 0) {
        if (m.extensoes.linha == 0 || !m.extensoes.x_max.presente() || !m.extensoes.y_max.presente() ||
            !m.extensoes.diametro.presente())
            v.falha(V::arquivo_completo, m.linhas, "rosca interna sem os comentarios de X, Y e diametro usinado");
        else if (!m.extensoes.apos_ultimo_passe)
            v.falha(V::arquivo_completo, m.extensoes.linha, "comentarios de X, Y e diametro antes do ultimo passe");
    }
    if (m.erro_leitura) v.falha(V::arquivo_completo, m.linhas, "erro de leitura do arquivo");
}
