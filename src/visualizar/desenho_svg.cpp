#include "visualizar/desenho_svg.hpp"

std::string desenhar_svg(const Modelo&, const std::string&) { return "<svg/>\n"; }
