#include "dialogue/dialogo_diametros.hpp"

void dialogo_diametros(DadosRosca&, Console&) {}
