#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "visualizar/modelo.hpp"
#include "visualizar/verificacoes.hpp"

// What the console report and the picture's table both show, as text: the
// passes, the totals, and the header's values beside what the path shows.
struct Quadro {
    std::string rosca;  // "Rosca INTERNA, direita (sentido horario)"
    // Number, diameter, measured path radius, turns, moves, depth range.
    static constexpr std::size_t colunas_passe = 6;
    static const std::array<const char*, colunas_passe> titulos_passe;
    std::vector<std::array<std::string, colunas_passe>> passes;
    std::uint64_t passes_nao_mostrados = 0;  // passes beyond those kept, spread between them

    struct Total {
        std::string rotulo, valor;
    };
    std::vector<Total> totais;
    // The cutting time at the file's feed, also among the totals: "3.7 min", or "-".
    std::string tempo_corte;

    struct Comparacao {
        std::string rotulo, cabecalho, percurso;
    };
    std::vector<Comparacao> comparacoes;
};

Quadro montar_quadro(const Modelo& modelo);

// The turning sign that the path shows: +1 counter-clockwise seen from above,
// -1 clockwise, 0 when it cannot tell.
int giro_medido(const Passe& passe);
// The hand that turning shows, as the same sign: +1 left, -1 right, 0 unknown.
int giro_da_mao(const Passe& passe);

// "OK", "FALHA", ... as the report writes a check's state.
const char* nome_estado(Estado estado);
