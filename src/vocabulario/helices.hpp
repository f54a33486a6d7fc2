#pragma once

#include <cmath>
#include <cstdint>

// Threads cut by more than one helix a pass: a mill of several profiles one
// pitch apart, each of whose revolutions cuts a pitch of the thread's helix
// or of one a whole number of pitches from it; a thread of several starts,
// whose helices are a share of the turn apart and advance the lead a turn;
// and roughing passes that remove equal areas of a V profile. The generator
// places them by these rules and the viewer checks the file against the
// same ones.
namespace vocabulario {

// How many revolutions a mill of `perfis` profiles one pitch apart takes to
// cover a thread of length `comprimento`: each cuts that many pitches.
inline std::int64_t voltas_por_passe(double comprimento, double passo, std::int64_t perfis) {
    const double voltas = std::ceil(comprimento / (static_cast<double>(perfis) * passo) - 1e-9);
    return voltas >= 1 && voltas < 1e9 ? static_cast<std::int64_t>(voltas) : 1;
}

// The depth of the lowest profile where revolution `j` of `voltas` (counted
// from the face) starts; it ends one pitch deeper. The last reaches the
// thread length; the profiles above the first reach the face or past it.
inline double profundidade_volta(double comprimento, double passo, std::int64_t perfis, std::int64_t voltas,
                                 std::int64_t j) {
    return comprimento - passo - static_cast<double>(voltas - 1 - j) * static_cast<double>(perfis) * passo;
}

// How far the highest profile of a pass's first revolution leaves the
// face uncut: 0 or less when the profiles' reach covers it.
inline double face_descoberta(double comprimento, double passo, std::int64_t perfis, std::int64_t voltas) {
    return profundidade_volta(comprimento, passo, perfis, voltas, 0) - static_cast<double>(perfis - 1) * passo;
}

// Where start `k` of `entradas` begins: a share of the turn past the start
// angle, in [0, 360) for an angle in it.
inline long double angulo_da_entrada(long double angulo_inicial, std::int64_t k, std::int64_t entradas) {
    long double angulo = angulo_inicial + static_cast<long double>(k) * 360 / static_cast<long double>(entradas);
    if (angulo >= 360) angulo -= 360;
    return angulo;
}

// Roughing pass `i` of `m` placed so that each removes the same area of a
// V profile: Di + (Da - Di) sqrt(i / m), Da where the finishing pass starts.
inline long double diametro_area_igual(long double inicial, long double acabamento, std::int64_t i, std::int64_t m) {
    const long double fracao = std::sqrt(static_cast<long double>(i) / static_cast<long double>(m));
    return inicial + (acabamento - inicial) * fracao;
}

// How far in depth a point at `angulo` (degrees, counted as the generator
// counts them: with the hand, from the X axis) and `profundidade` is from
// the nearest helix of the family: the thread's own helix, through the
// face at `angulo_inicial` advancing `entradas` pitches a turn, its other
// starts, and those a whole number of pitches above or below them. Signed,
// within half a pitch.
inline double desvio_da_familia(double angulo, double profundidade, double angulo_inicial, double passo,
                                std::int64_t entradas) {
    const double avanco = static_cast<double>(entradas) * passo;
    const double d = profundidade - (angulo - angulo_inicial) / 360 * avanco;
    return d - passo * std::round(d / passo);
}

}  // namespace vocabulario
