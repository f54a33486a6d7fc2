#pragma once

// The G and M codes the files hold, by what they do: every ISO dialect
// spells these numbers its own way (dialeto.hpp), and the viewer reads a
// file's words by this same table.
namespace vocabulario {

enum class Funcao : unsigned char {
    rapido,
    corte,
    arco_horario,
    arco_anti_horario,
    pausa,
    plano_xy,
    polegadas,
    milimetros,
    sem_compensacao,
    compensacao_esquerda,   // the cutter left of its travel
    compensacao_direita,    // right of it
    compensacao_comprimento,
    sem_compensacao_comprimento,
    escala_desliga,
    escala_liga,            // X and Y give the factors, not a move
    sem_ciclo,
    absolutas,
    incrementais,
    avanco_por_minuto,
};

struct CodigoG {
    int numero;
    Funcao funcao;
};

inline constexpr CodigoG codigos_g[] = {
    {0, Funcao::rapido},
    {1, Funcao::corte},
    {2, Funcao::arco_horario},
    {3, Funcao::arco_anti_horario},
    {4, Funcao::pausa},
    {17, Funcao::plano_xy},
    {20, Funcao::polegadas},
    {21, Funcao::milimetros},
    {40, Funcao::sem_compensacao},
    {41, Funcao::compensacao_esquerda},
    {42, Funcao::compensacao_direita},
    {43, Funcao::compensacao_comprimento},
    {49, Funcao::sem_compensacao_comprimento},
    {50, Funcao::escala_desliga},
    {51, Funcao::escala_liga},
    {80, Funcao::sem_ciclo},
    {90, Funcao::absolutas},
    {91, Funcao::incrementais},
    {94, Funcao::avanco_por_minuto},
    // Sinumerik's metric for lengths and feeds alike; G21 above is the one written elsewhere.
    {710, Funcao::milimetros},
};

// The G number of a function; -1 when the table has none.
constexpr int numero_g(Funcao f) {
    for (const CodigoG& c : codigos_g)
        if (c.funcao == f) return c.numero;
    return -1;
}

// The M codes.
namespace codigo_m {
inline constexpr int liga_fuso = 3;       // clockwise
inline constexpr int liga_fuso_anti = 4;  // counter-clockwise
inline constexpr int desliga_fuso = 5;
inline constexpr int troca_ferramenta = 6;
inline constexpr int fim_programa = 30;
}  // namespace codigo_m

}  // namespace vocabulario
