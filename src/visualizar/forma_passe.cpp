#include "visualizar/forma_passe.hpp"

#include <algorithm>
#include <climits>
#include <cmath>

#include "visualizar/tolerancias.hpp"
#include "vocabulario/geometria.hpp"
#include "vocabulario/regras.hpp"

FormaPasse forma_do_cabecalho(const Cabecalho& c) {
    const vocabulario::ModosCorte& modos = c.modos;
    FormaPasse f;
    f.sobe = modos.subindo;
    // The header records the compensation's tangent ways with it.
    f.guias = modos.tangencial;
    f.arcos = modos.arcos;
    f.voltas = modos.perfis > 1;
    f.movimentos_quarto = modos.arcos ? 1 : vocabulario::passos_arco_guia;
    if (c.L.presente() && std::isfinite(c.L.v)) {
        f.tem_L = true;
        f.L = c.L.v;
        f.tolerancia_L = meia_unidade(c.L.decimais) + erro_coordenada(std::fabs(c.L.v) + 1) + folga_calculo;
    }
    // A header without the thread's kind is taken for a bore, as the checks take it.
    if (modos.conicidade > 0)
        f.conicidade_raio = vocabulario::conicidade_raio(
            static_cast<int>(std::min<std::int64_t>(modos.conicidade, INT_MAX)), !c.externa());
    return f;
}
