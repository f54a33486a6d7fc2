#include "percurso/guias.hpp"

#include <algorithm>

#include "percurso/ponto_helice.hpp"

vocabulario::EspacoLivre espaco_livre(const Percurso& p) {
    vocabulario::EspacoLivre e;
    e.interna = p.interna;
    e.ferramenta = p.plano.diametro_ferramenta;
    e.diametro = p.interna ? static_cast<double>(p.plano.diametro_inicial)
                           : vocabulario::diametro_blank(p.plano.diametro_inicial, p.plano.diametro_final_total,
                                                         p.helice.passo_rosca);
    // A bore narrows downward, a pipe grows.
    e.conicidade = p.interna ? -p.conicidade_diametro : p.conicidade_diametro;
    return e;
}

double raio_arco_guia(const Percurso& p, const PassePercurso& passe, double profundidade) {
    if (p.interna) return passe.helice.raio_em(profundidade) / 2;
    const double blank = std::max<double>(espaco_livre(p).diametro, passe.diametro);
    return std::max(0.0, (blank - passe.diametro) / 2) + 1;
}

double desnivel_arco_guia(const Percurso& p, const PassePercurso& passe, double profundidade) {
    return raio_arco_guia(p, passe, profundidade) * passe.helice.passo_rosca / (4 * passe.helice.raio_em(profundidade));
}

UltimaCorda ultima_corda(const Helice& h) {
    // Depths grow move by move, so the first index at or past the length is
    // found by halving.
    auto prof = [&](std::int64_t i) { return profundidade_corda(h, i / 360, static_cast<int>(i % 360) + 1); };
    std::int64_t baixo = 0, alto = 1;
    while (prof(alto) < h.comprimento && alto < (std::int64_t{1} << 50)) alto *= 2;
    while (baixo < alto) {
        const std::int64_t meio = baixo + (alto - baixo) / 2;
        if (prof(meio) >= h.comprimento)
            alto = meio;
        else
            baixo = meio + 1;
    }
    return {baixo, prof(baixo)};
}

double profundidade_maxima(const Percurso& p, bool arcos) {
    // A mill of several profiles cuts in revolutions that end on their own
    // depths, the last one's lowest profile at L, as chords or arcs alike.
    const bool voltas = p.modos.perfis > 1;
    auto fundo_de = [arcos, voltas](const Helice& h) {
        return arcos || voltas ? static_cast<double>(h.comprimento)
                               : std::max<double>(h.comprimento, ultima_corda(h).profundidade);
    };
    const double fundo = fundo_de(p.helice);
    // Each start of several ends its chords past the length its own way: its
    // lead a turn, from its own angle.
    const bool entradas = p.modos.entradas > 1;
    if (!p.modos.tangencial && !entradas) return fundo;
    // The arc at the bottom (out of the helix face down, into it from the
    // thread length up) goes on down at the helix's slope. The thread's own
    // helix of one pitch a turn is not cut where there are several starts:
    // each start's is.
    double maxima = entradas ? static_cast<double>(p.helice.comprimento) : fundo;
    SequenciaPasses sequencia(p);
    PassePercurso passe;
    while (sequencia.proximo(passe)) {
        if (passe.repeticao > 0) continue;
        const double f = entradas ? fundo_de(passe.helice) : fundo;
        maxima = std::max(maxima, f);
        if (p.modos.tangencial) maxima = std::max(maxima, f + desnivel_arco_guia(p, passe, f));
    }
    return maxima;
}
