#include "visualizar/modos_corte.hpp"

#include "visualizar/mensagem.hpp"

std::string modos_de_cortar(const Cabecalho& c) {
    std::string r;
    auto juntar = [&r](const std::string& item) {
        if (!r.empty()) r += "; ";
        r += item;
    };
    if (c.arcos) juntar("arcos helicoidais");
    // The milling direction and the passes going up belong together: the
    // direction is what turns the passes around.
    std::string sentido = c.fresamento == 'C' ? "concordante" : c.fresamento == 'D' ? "discordante" : "";
    if (c.subindo) sentido += sentido.empty() ? "de baixo para cima" : ", de baixo para cima";
    if (!sentido.empty()) juntar(sentido);
    if (c.tangencial) juntar("entrada e saida tangenciais");
    if (c.compensacao()) juntar(formatar("compensacao D%lld", static_cast<long long>(c.corretor)));
    if (c.repeticoes > 0) juntar(formatar("ultimo passe mais %lld vez(es)", static_cast<long long>(c.repeticoes)));
    if (c.avanco_aresta) juntar("avanco na aresta");
    if (c.conicidade > 0) juntar(formatar("conica 1:%lld", static_cast<long long>(c.conicidade)));
    return r;
}
