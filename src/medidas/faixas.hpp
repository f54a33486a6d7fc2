#pragma once

#include <cstdint>

// The limits of one diameter, in the unit of the standard that gives them
// (micrometres, ten-thousandths of an inch). A limit the standard leaves
// open, such as the major diameter of a nut, is absent.
struct Faixa {
    std::int64_t minimo = 0;
    std::int64_t maximo = 0;
    bool tem_minimo = true;
    bool tem_maximo = true;
};

struct Faixas {
    Faixa maior;
    Faixa flanco;
    Faixa menor;
};
