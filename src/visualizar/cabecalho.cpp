#include "visualizar/cabecalho.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "visualizar/tolerancias.hpp"
#include "vocabulario/regras.hpp"

namespace {

// What a float field can hold, as the generator stores every value.
bool cabe_num_float(double v) { return std::isfinite(v) && std::fabs(v) <= std::numeric_limits<float>::max(); }

}  // namespace

bool Cabecalho::aplicar(const Comentario& comentario, std::uint64_t linha) {
    Comentario c = comentario;
    auto legivel = [&](Valor& v, const char* rotulo) {
        if (!v.presente() || cabe_num_float(v.v)) return;
        ilegiveis.push_back({rotulo, v.v, linha});
        v = Valor{};
    };
    auto ou_desabilitado = [&](Valor& campo, bool& desabilitado, const char* rotulo) {
        legivel(c.a, rotulo);
        campo = c.a;
        desabilitado = c.desabilitado;
    };
    switch (c.tipo) {
        case TipoComentario::diametro_final: legivel(c.a, "Df"), Df = c.a; break;
        case TipoComentario::diametro_acabamento: ou_desabilitado(Da, Da_desabilitado, "Da"); break;
        case TipoComentario::diametro_inicial: ou_desabilitado(Di, Di_desabilitado, "Di"); break;
        case TipoComentario::passo_lateral: ou_desabilitado(pl, pl_desabilitado, "pl"); break;
        case TipoComentario::passo_acabamento: ou_desabilitado(pla, pla_desabilitado, "pl de acabamento"); break;
        case TipoComentario::quantidade_passes:
            np = c.i;
            passe_unico = c.passe_unico;
            break;
        case TipoComentario::item_lista:
            legivel(c.a, "diametro da lista de passes");
            if (lista.size() < max_lista) lista.push_back({c.i, c.a, linha});
            ++itens_lista;
            break;
        case TipoComentario::comprimento: legivel(c.a, "L"), L = c.a; break;
        case TipoComentario::passo_rosca: legivel(c.a, "p"), p = c.a; break;
        case TipoComentario::fios: legivel(c.a, "n (fios)"), fios = c.a; break;
        case TipoComentario::angulo_inicial: legivel(c.a, "angulo inicial"), angulo_inicial = c.a; break;
        case TipoComentario::angulo_final: legivel(c.a, "angulo final"), angulo_final = c.a; break;
        case TipoComentario::tipo_sentido:
            tipo = c.tipo_rosca;
            sentido = c.sentido;
            break;
        case TipoComentario::ferramenta: legivel(c.a, "ferramenta"), ferramenta = c.a; break;
        case TipoComentario::precisao: legivel(c.a, "precisao"), precisao = c.a; break;
        case TipoComentario::tempo: legivel(c.a, "tempo"), tempo = c.a; break;
        case TipoComentario::rotacao: legivel(c.a, "S"), S = c.a; break;
        case TipoComentario::avanco: legivel(c.a, "F"), F = c.a; break;
        case TipoComentario::avanco_rotacao: legivel(c.a, "Fz"), Fz = c.a; break;
        case TipoComentario::z_minimo: legivel(c.a, "Z minimo"), z_minimo = c.a; break;
        case TipoComentario::tempo_percurso:
            legivel(c.a, "tempo pelo percurso");
            tempo_percurso = c.a;
            break;
        case TipoComentario::medidas: {
            // The same values as the summary's, to more decimals: they take
            // its place where they agree with it.
            auto exato = [](Valor& v, const Valor& e) {
                if (v.presente() && e.presente() && cabe_num_float(e.v) && e.decimais > v.decimais &&
                    std::fabs(e.v - v.v) <= meia_unidade(v.decimais) + folga_calculo)
                    v = e;
            };
            exato(Df, c.a);
            if (!Di_desabilitado) exato(Di, c.b);
            exato(ferramenta, c.c);
            break;
        }
        default:
            if (!vocabulario::aplicar_modo(c, modos)) return false;
            break;
    }
    const auto indice = static_cast<std::size_t>(c.tipo);
    if (indice < linha_de.size()) linha_de[indice] = linha;
    ++linhas;
    return true;
}

const ValorIlegivel* Cabecalho::ilegivel(const char* rotulo) const {
    for (const ValorIlegivel& i : ilegiveis)
        if (std::string_view(i.rotulo) == rotulo) return &i;
    return nullptr;
}

std::string Cabecalho::faltando() const {
    std::string r;
    auto falta = [&r](bool ausente, const char* rotulo) {
        if (!ausente) return;
        if (!r.empty()) r += ", ";
        r += rotulo;
    };
    // An unreadable value is there, but says nothing: it is reported as such.
    auto ausente = [this](const Valor& v, const char* rotulo) { return !v.presente() && ilegivel(rotulo) == nullptr; };
    falta(ausente(Df, "Df"), "Df");
    falta(np < 0, "np");
    falta(ausente(L, "L"), "L");
    falta(ausente(p, "p"), "p");
    falta(ausente(angulo_inicial, "angulo inicial"), "angulo inicial");
    falta(tipo == 0, "tipo");
    falta(sentido == 0, "sentido");
    falta(ausente(ferramenta, "ferramenta"), "ferramenta");
    falta(ausente(S, "S"), "S");
    falta(ausente(F, "F"), "F");
    return r;
}

std::uint64_t passes_esperados(const Cabecalho& c) {
    const auto repeticoes = static_cast<std::uint64_t>(std::max<std::int64_t>(c.modos.repeticoes, 0));
    if (c.itens_lista > 0) return c.itens_lista - 1 + repeticoes;
    return 1 + repeticoes;
}

PasseEsperado passe_esperado(const Cabecalho& c, std::uint64_t i) {
    PasseEsperado e;
    // The repetitions of the last pass follow it.
    const std::uint64_t listados = c.itens_lista > 0 ? c.itens_lista - 1 : 1;
    if (i >= listados && i < passes_esperados(c)) i = listados - 1;
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

std::uint64_t helices_por_passe(const Cabecalho& c) {
    const vocabulario::ModosCorte& m = c.modos;
    // Bounded far past what the generator writes, so that a header's
    // numbers cannot overflow what is counted with them.
    constexpr std::int64_t limite = 1'000'000;
    std::uint64_t n = 1;
    if (m.entradas > 1) n *= static_cast<std::uint64_t>(std::min(m.entradas, limite));
    if (m.perfis > 1 && m.voltas_por_passe > 1) n *= static_cast<std::uint64_t>(std::min(m.voltas_por_passe, limite));
    return n;
}

std::uint64_t helices_esperadas(const Cabecalho& c) {
    const std::uint64_t passes = passes_esperados(c), n = helices_por_passe(c);
    return passes > std::numeric_limits<std::uint64_t>::max() / n ? std::numeric_limits<std::uint64_t>::max()
                                                                   : passes * n;
}

bool raio_do_passe(const Cabecalho& c, const Valor& diametro, double& r) {
    if (!diametro.presente() || !c.ferramenta.presente() || (!c.interna() && !c.externa())) return false;
    r = vocabulario::raio_programado(
        vocabulario::raio_percurso(como_float(diametro.v), como_float(c.ferramenta.v), c.interna()), c.ferramenta.v,
        c.interna(), c.compensa_contorno());
    return true;
}
