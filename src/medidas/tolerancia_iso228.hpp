#pragma once

#include "medidas/faixas.hpp"
#include "medidas/tabelas.hpp"

// ISO 228-1 limits, in micrometres, of a parallel pipe thread: the nut's
// single class (`classe` 0: pitch and minor diameters plus only, the major
// diameter at least the basic one) or the screw's class 'A' or 'B' (pitch
// diameter minus, B twice A; major diameter minus; the root under the basic
// minor diameter).
Faixas faixas_iso228(const MedidaIso228& medida, char classe);
