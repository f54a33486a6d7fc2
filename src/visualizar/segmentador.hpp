#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "visualizar/arco.hpp"
#include "visualizar/forma_passe.hpp"
#include "visualizar/movimento.hpp"
#include "visualizar/tolerancias.hpp"

// Below the face by more than the printing explains: a way into a helix run
// face down ends at the face, at "0.000" or "-0.000"; its first move ends
// one one-degree step below it, which prints as "-0.001" or deeper for any
// pitch over 0.18 mm. From the thread length up, the helix's last move
// ends at the face.
inline bool abaixo_da_face(double z) { return z < -meia_unidade(3); }

inline bool move_em_xy(const Movimento& m) { return m.para.x != m.de.x || m.para.y != m.de.y; }

// A feed move wholly above the face, by more than the printing explains.
inline bool no_ar(const Movimento& m) {
    const double acima = meia_unidade(3);
    return m.de.z > acima && m.para.z > acima;
}

// Splits each pass's feed moves into its way in, its helix and its way out
// as they go by, and tells `Destino` of each, in the file's order:
// entrada(m), inicio_helice(m), helice(m), saida(m), fim_passe(); no_ar(m)
// for a move in the air after a pass (the compensation turned off), and
// rapido(m) for every rapid move, after the pass it ends.
//
// A pass's helix runs between the face and the thread length. Face down it
// starts with the first move that ends below the face: its way in comes down
// to the face in the air; without tangent ways, only down, and the helix
// starts with its first move in X and Y out of the air, however fine the
// pitch. From the thread length up it ends with the first move that reaches
// the face. At the thread length no printed decimal tells a
// tangent way from the helix where they meet, but the way is a quarter
// circle: one arc, or 90 one-degree chords. So from the thread length up the
// way in is counted, quarter by quarter (an approach from the axis along the
// same circle keeps its depth; the quarter into the helix rises); face down
// the helix of arcs ends with the first arc that reaches L, and a helix of
// chords hands its last quarter's moves to the way out when the pass ends.
// Without tangent ways, a pass run up reaches the helix's circle along a
// line, and the helix starts with the first move that keeps its distance
// from the axis and turns about it.
//
// A mill of several profiles cuts each pass in revolutions, each a helix
// of its own between its way in and its way out at any depth: without
// tangent ways it starts as a helix run up does, with them after the way
// in's quarters, counted as above; its arcs end it after a whole turn, and
// the last quarter of its chords is held for its way out, either way up.
//
// Nothing is kept per line: at most a quarter's moves, held until it is known
// whether they are the helix's or its way out's.
template <class Destino>
class Segmentador {
public:
    enum class Fase : std::uint8_t { fora, entrada, helice, saida };

    explicit Segmentador(Destino& destino) : d_(destino) {}

    void configurar(const FormaPasse& forma) {
        forma_ = forma;
        const bool reter = forma_.guias && !forma_.arcos && (!forma_.sobe || forma_.voltas);
        retidos_.assign(reter ? static_cast<std::size_t>(forma_.movimentos_quarto) : 0, Movimento{});
    }
    const FormaPasse& forma() const { return forma_; }

    Fase fase() const { return fase_; }
    // From the helix's first move to the next rapid move.
    bool em_passe() const { return fase_ == Fase::helice || fase_ == Fase::saida; }
    // Moves of the pass's helix read so far, those held included.
    std::uint64_t lidos_na_helice() const { return lidos_; }
    // A turn comment read before the next pass: a move in the air opens it.
    void volta_pendente(bool pendente) { volta_pendente_ = pendente; }

    void corte(const Movimento& m) {
        if (fase_ == Fase::helice) [[likely]] {
            // Out of the groove straight along the radius, level: no helix
            // move is that (each goes down, or turns); the way out.
            if (m.tipo == TipoMovimento::linear && ao_longo_do_raio(m)) [[unlikely]] {
                // After a tangent way out of chords (held), the straight
                // move from it to the axis.
                if (!forma_.guias || ao_eixo(m.para)) {
                    soltar_retidos();
                    fase_ = Fase::saida;
                    d_.saida(m);
                    return;
                }
            }
            helice(m);
            return;
        }
        corte_fora_da_helice(m);
    }
    void rapido(const Movimento& m) {
        if (em_passe()) fechar_passe();
        d_.rapido(m);
    }
    // After the last line.
    void terminar() {
        if (em_passe()) fechar_passe();
    }

private:
    void helice(const Movimento& m) {
        ++lidos_;
        if (forma_.voltas && m.tipo == TipoMovimento::arco) [[unlikely]] graus_helice_ += graus_do_arco(m);
        if (!retidos_.empty()) [[unlikely]] {
            reter(m);
            return;
        }
        d_.helice(m);
        if (forma_.guias && termina_helice(m)) fase_ = Fase::saida;
    }

    void corte_fora_da_helice(const Movimento& m) {
        switch (fase_) {
            case Fase::saida: d_.saida(m); return;
            case Fase::helice: helice(m); return;
            case Fase::fora:
                if (houve_passe_ && !volta_pendente_ && no_ar(m)) {
                    d_.no_ar(m);
                    return;
                }
                fase_ = Fase::entrada;
                contados_ = 0;
                em_xy_entrada_ = 0;
                quartos_completos_ = false;
                [[fallthrough]];
            case Fase::entrada:
                if (!comeca_helice(m)) {
                    contar_entrada(m);
                    if (move_em_xy(m)) ++em_xy_entrada_;
                    d_.entrada(m);
                    return;
                }
                fase_ = Fase::helice;
                houve_passe_ = true;
                lidos_ = 1;
                graus_helice_ = m.tipo == TipoMovimento::arco ? graus_do_arco(m) : 0;
                d_.inicio_helice(m);
                if (forma_.guias && retidos_.empty() && termina_helice(m)) fase_ = Fase::saida;
                return;
        }
    }

    bool comeca_helice(const Movimento& m) const {
        if (forma_.voltas) [[unlikely]]
            return forma_.guias ? quartos_completos_ : parece_helice(m);
        // After a tangent way in of chords, its quarter done, a first chord
        // shorter than the printing shows its depth ends at "-0.000".
        if (!forma_.sobe)
            return abaixo_da_face(m.para.z) || (!forma_.guias && move_em_xy(m) && !no_ar(m)) ||
                   (forma_.guias && !forma_.arcos && em_xy_entrada_ >= forma_.movimentos_quarto && move_em_xy(m) &&
                    std::signbit(m.para.z));
        if (forma_.guias) return quartos_completos_;
        return parece_helice(m);
    }

    // From the thread length up with tangent ways: the way in's quarters.
    void contar_entrada(const Movimento& m) {
        if (!forma_.guias) return;
        if (forma_.voltas) {
            // A revolution's way in may be wholly above the face; with arcs,
            // the compensation's line in the air is none of its quarters.
            if (forma_.arcos && m.tipo != TipoMovimento::arco) return;
        } else if (!forma_.sobe || no_ar(m)) {
            return;
        }
        if (contados_ == 0) z_quarto_ = m.de.z;
        if (++contados_ < forma_.movimentos_quarto) return;
        contados_ = 0;
        if (m.para.z != z_quarto_) quartos_completos_ = true;
    }

    // The last move of a helix with a way out after it.
    bool termina_helice(const Movimento& m) const {
        if (forma_.voltas) return graus_helice_ >= 360 - 0.5;
        // (A chord that ends at "-0.000", short of the face by less than the
        // printing shows, is not the last: a shorter one reaches the face.)
        if (forma_.sobe) return !abaixo_da_face(m.para.z) && !std::signbit(m.para.z);
        return forma_.tem_L && -m.para.z >= forma_.L - forma_.tolerancia_L;
    }

    static bool ao_longo_do_raio(const Movimento& m) {
        if (m.para.z != m.de.z) return false;
        const double r_de = std::hypot(m.de.x, m.de.y), r_para = std::hypot(m.para.x, m.para.y);
        const double e = erro_coordenada(std::max(r_de, r_para));
        const double vetorial = m.de.x * m.para.y - m.de.y * m.para.x;
        return std::fabs(r_de - r_para) > 4 * e &&
               std::fabs(vetorial) <= 2 * e * (r_de + r_para) + folga_calculo;
    }

    // Keeps its distance from the axis (along the taper) and turns about it:
    // an arc about the axis, or a chord of the pass.
    bool parece_helice(const Movimento& m) const {
        const double r_de = std::hypot(m.de.x, m.de.y), r_para = std::hypot(m.para.x, m.para.y);
        const double e = erro_coordenada(std::max(r_de, r_para));
        const double tol = 2 * std::sqrt(2.0) * e + std::fabs(forma_.conicidade_raio * (m.para.z - m.de.z)) +
                           folga_calculo;
        if (std::fabs(r_de - r_para) > tol || r_de < 50 * e) return false;
        if (m.tipo == TipoMovimento::arco) return std::hypot(m.centro_x, m.centro_y) <= 3 * e;
        const double produto = m.de.x * m.para.x + m.de.y * m.para.y;
        const double vetorial = m.de.x * m.para.y - m.de.y * m.para.x;
        return std::atan2(std::fabs(vetorial), produto) > 0;
    }

    // A ring of the last quarter's moves: each one older than that is the helix's.
    void reter(const Movimento& m) {
        const std::size_t n = retidos_.size();
        if (quantos_ == n) {
            d_.helice(retidos_[primeiro_]);
            retidos_[primeiro_] = m;
            primeiro_ = (primeiro_ + 1) % n;
            return;
        }
        retidos_[(primeiro_ + quantos_) % n] = m;
        ++quantos_;
    }

    // What is held is the way out.
    void soltar_retidos() {
        for (std::size_t i = 0; i < quantos_; ++i) d_.saida(retidos_[(primeiro_ + i) % retidos_.size()]);
        quantos_ = 0;
        primeiro_ = 0;
    }

    static bool ao_eixo(const Ponto3& p) { return std::hypot(p.x, p.y) <= meia_unidade(3); }

    void fechar_passe() {
        soltar_retidos();
        lidos_ = 0;
        fase_ = Fase::fora;
        d_.fim_passe();
    }

    Destino& d_;
    FormaPasse forma_;
    Fase fase_ = Fase::fora;
    bool houve_passe_ = false;
    bool volta_pendente_ = false;
    std::uint64_t lidos_ = 0;
    double graus_helice_ = 0;  // of a revolution's arcs
    // The way in's quarters, from the thread length up.
    int contados_ = 0;
    int em_xy_entrada_ = 0;  // the way in's moves in X and Y, face down
    double z_quarto_ = 0;
    bool quartos_completos_ = false;
    std::vector<Movimento> retidos_;
    std::size_t primeiro_ = 0, quantos_ = 0;
};
