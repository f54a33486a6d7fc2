#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vocabulario/cabecalho.hpp"
#include "vocabulario/comentarios.hpp"

// The ways of cutting: what the command line asked, as the path applies it,
// the header records it and the viewer reads it back. One value for all.
namespace vocabulario {

enum class Fresamento : std::uint8_t {
    hoje,         // every pass from the face down, whatever milling that gives
    concordante,  // climb milling (see regras.hpp)
    discordante,  // conventional milling
};

struct ModosCorte {
    bool arcos = false;  // helices as helical arcs rather than one-degree chords
    Fresamento fresamento = Fresamento::hoje;
    // Every pass from the thread length up to the face: what the milling
    // asked gives for this kind and hand (modos_em_efeito).
    bool subindo = false;
    bool tangencial = false;  // into and out of each helix along tangent arcs
    // Whole numbers as wide as a header may write them.
    std::int64_t corretor = -1;    // the D word of the control's compensation; -1 without it
    // The compensation holds only the cutter's wear: the path is the
    // cutter centre's, as without it.
    bool desgaste = false;
    std::int64_t repeticoes = 0;   // the last pass this many times more
    bool avanco_na_aresta = false;  // the feed answered is the cutting edge's
    std::int64_t conicidade = 0;   // N of a taper 1:N on the diameter; 0 parallel
    // A mill with this many profiles one pitch apart; 1 is today's mill.
    std::int64_t perfis = 1;
    // The revolutions each pass takes with them (the header's; the path's own
    // follow from the length and the pitch).
    std::int64_t voltas_por_passe = 0;
    // A thread of this many starts: the lead is that many pitches.
    std::int64_t entradas = 1;
    // Roughing passes that remove equal areas of a V profile.
    bool area_igual = false;

    bool compensacao() const { return corretor >= 0; }
    bool algum() const {
        return arcos || fresamento != Fresamento::hoje || tangencial || compensacao() || repeticoes > 0 ||
               avanco_na_aresta || conicidade > 0 || perfis > 1 || entradas > 1 || area_igual;
    }
};

// What the ways asked for imply, in one place: the control's compensation
// comes on and off along lines tangent to the path, so it takes the tangent
// arcs with it, and it is written as arcs, which a control offsets exactly
// (360 chords a turn make concave corners a large cutter cannot follow);
// the milling asked turns the passes up where face down gives the other.
ModosCorte modos_em_efeito(ModosCorte pedidos, bool interna, bool mao_direita);

// The header's lines for the ways in effect, each a comment's text, in the
// order the file has them; `registro` is what the dialect's compensation
// register holds (dialeto.hpp); `passo` the thread's pitch, for the lead of
// several starts; `arcos` the line that names the dialect's arcs.
std::vector<std::string> linhas_modos(const ModosCorte& modos, std::string_view registro, double passo = 0,
                                      std::string_view registro_desgaste = {},
                                      std::string_view arcos = rotulo::arcos);

// Takes a comment of the header that records a way of cutting; false when it is not one.
bool aplicar_modo(const Comentario& c, ModosCorte& modos);

// The ways for a person, as one line: "arcos helicoidais; concordante, de
// baixo para cima; ...". The generator says more than the header holds.
struct DetalhesModos {
    bool sentido = false;    // "de cima para baixo" too, not only "de baixo para cima"
    int lado = 0;            // the compensation's G41 or G42; 0 unknown
    std::string_view palavra_lado{};  // that side as the dialect writes it (RL, RR); empty: G41 or G42
    bool faixa = false;      // the centre's feeds, with the feed at the edge
    double avanco_menor = 0, avanco_maior = 0;
    double passo = 0;        // the thread's pitch, for the lead of several starts; 0 unknown
};
std::string descrever_modos(const ModosCorte& modos, const DetalhesModos& detalhes = {});

}  // namespace vocabulario
