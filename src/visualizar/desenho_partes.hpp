#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "visualizar/desenho_svg.hpp"
#include "visualizar/furos.hpp"
#include "visualizar/svg.hpp"

// The picture's pieces, each drawn by its own file: the top view
// (vista_cima.cpp), the side view (vista_lateral.cpp), the table
// (tabela_svg.cpp), and what they share (desenho_comum.cpp).
namespace desenho {

// The two views side by side, then the table across the page.
inline constexpr double margem = 20;
inline constexpr double topo_painel = 112;
inline constexpr double lado_painel = 470;
inline constexpr double x_vista_cima = margem;
inline constexpr double x_vista_lateral = largura_pagina - margem - lado_painel;
inline constexpr double folga_rotulos = 40;
// Points of the top view for all passes together.
inline constexpr std::size_t orcamento_cima = 12000;
inline constexpr double cor_falha_r = 9;

// Colours from the first roughing pass (light) to the finishing pass (strongest).
std::string cor_passe(std::size_t i, std::size_t n);
// The colour of the model's retained helix `i`, by the pass it belongs to:
// every start or revolution of the finishing pass is the finishing pass's.
std::string cor_helice(const Modelo& m, std::size_t i);
bool helice_de_acabamento(const Modelo& m, std::size_t i);
// A round length for a scale bar about `alvo` mm long: 1, 2 or 5 times a power of ten.
double comprimento_redondo(double alvo);
std::string mm(double v);
// The cutter's diameter from the header; 0 when it does not give one.
double ferramenta(const Modelo& m);
double valor_ou(const Valor& v, double padrao);
void barra_escala(Svg& g, double x, double y, double escala, double largura_max, const char* eixo);
// Each failed check's ring at its point, its number beside it.
void marcar_falhas(Svg& g, const Verificacoes& verificacoes, const Vista& v, bool lateral);
// The rapid moves of the passes drawn. `lateral`: X against Z, else X against Y.
void desenhar_rapidos(Svg& g, const Modelo& m, const Vista& v, bool lateral);
// An arrowhead at page point (x, y) pointing along (tx, ty): the arrow's
// class, or filled with `cor`.
void ponta_de_seta(Svg& g, double x, double y, double tx, double ty, double comprimento, double meia_largura,
                   const std::string& cor);

// A mill of several profiles: each revolution's reach, its profiles' tips
// one pitch apart, beside the thread (side view). A thread of several
// starts: where each meets the face (top view). Nothing for the others.
void desenhar_alcance_perfis(Svg& g, const Modelo& m, const Vista& v);
void desenhar_entradas(Svg& g, const Modelo& m, const Vista& v);

void desenhar_vista_cima(Svg& g, const Modelo& m, const Verificacoes& verificacoes);
// A file of several holes: all of them, in a corner of the top view.
void desenhar_furos(Svg& g, const Modelo& m, const std::vector<FuroVisto>& furos);
void desenhar_vista_lateral(Svg& g, const Modelo& m, const Verificacoes& verificacoes);
// From page height `y` down; returns where it ends.
double desenhar_tabela(Svg& g, const Modelo& m, const Verificacoes& verificacoes, double y);

}  // namespace desenho
