#include "vocabulario/modos_corte.hpp"

#include <cstdio>

#include "vocabulario/cabecalho.hpp"
#include "vocabulario/regras.hpp"

namespace vocabulario {

namespace {

template <typename... T>
std::string formatado(const char* formato, T... valores) {
    char texto[256];
    std::snprintf(texto, sizeof texto, formato, valores...);
    return texto;
}

const char* nome(Fresamento f) { return f == Fresamento::concordante ? rotulo::concordante : rotulo::discordante; }

}  // namespace

ModosCorte modos_em_efeito(ModosCorte m, bool interna, bool mao_direita) {
    if (m.compensacao()) {
        m.tangencial = true;
        m.arcos = true;
    }
    // Face down the hand alone decides the milling.
    const bool concordante_descendo = concordante(interna, giro(mao_direita, false));
    m.subindo = m.fresamento == Fresamento::concordante   ? !concordante_descendo
                : m.fresamento == Fresamento::discordante ? concordante_descendo
                                                          : false;
    return m;
}

std::vector<std::string> linhas_modos(const ModosCorte& m, std::string_view registro, double passo,
                                      std::string_view registro_desgaste, std::string_view arcos) {
    namespace f = formato;
    std::vector<std::string> r;
    if (m.arcos) r.emplace_back(arcos);
    if (m.fresamento != Fresamento::hoje)
        r.push_back(formatado(f::fresamento.texto(), nome(m.fresamento),
                              m.subindo ? (std::string(" ") + rotulo::subindo).c_str() : ""));
    if (m.tangencial) r.emplace_back(rotulo::tangencial);
    if (m.compensacao())
        r.push_back(formatado(f::compensacao.texto(), static_cast<int>(m.corretor),
                              std::string(m.desgaste ? registro_desgaste : registro).c_str()));
    if (m.repeticoes > 0) r.push_back(formatado(f::repeticoes.texto(), static_cast<int>(m.repeticoes)));
    if (m.avanco_na_aresta) r.emplace_back(rotulo::avanco_aresta);
    if (m.conicidade > 0) r.push_back(formatado(f::conicidade.texto(), static_cast<int>(m.conicidade)));
    if (m.perfis > 1)
        r.push_back(formatado(f::perfis.texto(), static_cast<int>(m.perfis), static_cast<int>(m.voltas_por_passe)));
    if (m.entradas > 1)
        r.push_back(formatado(f::entradas.texto(), static_cast<int>(m.entradas), static_cast<double>(m.entradas) * passo));
    if (m.area_igual) r.emplace_back(rotulo::area_igual);
    return r;
}

bool aplicar_modo(const Comentario& c, ModosCorte& m) {
    switch (c.tipo) {
        case TipoComentario::arcos: m.arcos = true; return true;
        case TipoComentario::fresamento:
            m.fresamento = c.sentido == 'C' ? Fresamento::concordante : Fresamento::discordante;
            m.subindo = c.subindo;
            return true;
        case TipoComentario::tangencial: m.tangencial = true; return true;
        case TipoComentario::compensacao:
            m.corretor = c.i;
            m.desgaste = c.subindo;
            return true;
        case TipoComentario::repeticoes: m.repeticoes = c.i; return true;
        case TipoComentario::avanco_aresta: m.avanco_na_aresta = true; return true;
        case TipoComentario::conicidade: m.conicidade = c.i; return true;
        case TipoComentario::perfis:
            m.perfis = c.i;
            m.voltas_por_passe = c.j;
            return true;
        case TipoComentario::entradas: m.entradas = c.i; return true;
        case TipoComentario::area_igual: m.area_igual = true; return true;
        default: return false;
    }
}

std::string descrever_modos(const ModosCorte& m, const DetalhesModos& d) {
    std::string r;
    auto item = [&r](const std::string& texto) {
        if (!r.empty()) r += "; ";
        r += texto;
    };
    if (m.arcos) item("arcos helicoidais");
    // The milling and the passes going up belong together: the milling is
    // what turns the passes around.
    std::string sentido = m.fresamento == Fresamento::hoje ? "" : nome(m.fresamento);
    if (m.subindo)
        sentido += sentido.empty() ? "de baixo para cima" : ", de baixo para cima";
    else if (d.sentido && !sentido.empty())
        sentido += ", de cima para baixo";
    if (!sentido.empty()) item(sentido);
    if (m.tangencial) item("entrada e saida tangenciais");
    if (m.compensacao())
        item((!d.palavra_lado.empty() ? formatado("compensacao %s D%lld", std::string(d.palavra_lado).c_str(),
                                                  static_cast<long long>(m.corretor))
              : d.lado != 0 ? formatado("compensacao G%d D%lld", d.lado, static_cast<long long>(m.corretor))
                            : formatado("compensacao D%lld", static_cast<long long>(m.corretor))) +
             (m.desgaste ? " so do desgaste" : ""));
    if (m.repeticoes > 0) item(formatado("ultimo passe mais %lld vez(es)", static_cast<long long>(m.repeticoes)));
    if (m.avanco_na_aresta)
        item(d.faixa ? formatado("avanco na aresta, no centro %.1f a %.1f [mm/min]", d.avanco_menor, d.avanco_maior)
                     : std::string("avanco na aresta"));
    if (m.conicidade > 0) item(formatado("conica 1:%lld", static_cast<long long>(m.conicidade)));
    if (m.perfis > 1)
        item(formatado("fresa de %lld perfis, %lld volta(s) por passe", static_cast<long long>(m.perfis),
                       static_cast<long long>(m.voltas_por_passe)));
    if (m.entradas > 1)
        item(d.passo > 0 ? formatado("%lld entradas, avanco por volta %.3f [mm]", static_cast<long long>(m.entradas),
                                     static_cast<double>(m.entradas) * d.passo)
                         : formatado("%lld entradas", static_cast<long long>(m.entradas)));
    if (m.area_igual) item("passes de area igual, o primeiro o mais fundo");
    return r;
}

}  // namespace vocabulario
