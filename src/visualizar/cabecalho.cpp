#include "visualizar/cabecalho.hpp"

bool Cabecalho::aplicar(const Comentario& c) {
    switch (c.tipo) {
        case TipoComentario::diametro_final: Df = c.a; break;
        case TipoComentario::diametro_acabamento:
            Da = c.a;
            Da_desabilitado = c.desabilitado;
            break;
        case TipoComentario::diametro_inicial:
            Di = c.a;
            Di_desabilitado = c.desabilitado;
            break;
        case TipoComentario::passo_lateral:
            pl = c.a;
            pl_desabilitado = c.desabilitado;
            break;
        case TipoComentario::passo_acabamento:
            pla = c.a;
            pla_desabilitado = c.desabilitado;
            break;
        case TipoComentario::quantidade_passes:
            np = c.i;
            passe_unico = c.passe_unico;
            break;
        case TipoComentario::item_lista:
            if (lista.size() < max_lista) lista.push_back({c.i, c.a});
            ++itens_lista;
            break;
        case TipoComentario::comprimento: L = c.a; break;
        case TipoComentario::passo_rosca: p = c.a; break;
        case TipoComentario::fios: fios = c.a; break;
        case TipoComentario::angulo_inicial: angulo_inicial = c.a; break;
        case TipoComentario::angulo_final: angulo_final = c.a; break;
        case TipoComentario::tipo_sentido:
            tipo = c.tipo_rosca;
            sentido = c.sentido;
            break;
        case TipoComentario::ferramenta: ferramenta = c.a; break;
        case TipoComentario::precisao: precisao = c.a; break;
        case TipoComentario::tempo: tempo = c.a; break;
        case TipoComentario::rotacao: S = c.a; break;
        case TipoComentario::avanco: F = c.a; break;
        case TipoComentario::avanco_rotacao: Fz = c.a; break;
        default: return false;
    }
    ++linhas;
    return true;
}

std::string Cabecalho::faltando() const {
    std::string r;
    auto falta = [&r](bool ausente, const char* rotulo) {
        if (!ausente) return;
        if (!r.empty()) r += ", ";
        r += rotulo;
    };
    falta(!Df.presente(), "Df");
    falta(np < 0, "np");
    falta(!L.presente(), "L");
    falta(!p.presente(), "p");
    falta(!angulo_inicial.presente(), "angulo inicial");
    falta(tipo == 0, "tipo");
    falta(sentido == 0, "sentido");
    falta(!ferramenta.presente(), "ferramenta");
    falta(!S.presente(), "S");
    falta(!F.presente(), "F");
    return r;
}

std::uint64_t passes_esperados(const Cabecalho& c) {
    if (c.itens_lista > 0) return c.itens_lista - 1;
    return 1;
}

PasseEsperado passe_esperado(const Cabecalho& c, std::uint64_t i) {
    PasseEsperado e;
    if (c.itens_lista > 0) {
        if (i + 1 < c.lista.size()) {
            e.numero = c.lista[i + 1].indice;
            e.diametro = c.lista[i + 1].diametro;
            e.conhecido = true;
        }
        return e;
    }
    // No list: one pass at Df, numbered 0 when the multi-pass plan is off.
    e.numero = c.Di_desabilitado ? 0 : 1;
    e.diametro = c.Df;
    e.conhecido = i == 0;
    return e;
}
