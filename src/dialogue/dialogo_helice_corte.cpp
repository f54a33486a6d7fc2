#include "dialogue/dialogo_helice_corte.hpp"

void dialogo_helice_corte(DadosRosca&, Console&) {}
