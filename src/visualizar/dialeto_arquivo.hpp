#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "visualizar/leitor_gcode.hpp"
#include "vocabulario/dialeto.hpp"

// The dialect a file was written in, told from its lines as they go by: the
// case of the words, the comments' kind, the "%" lines, O and N words, the
// scaling and the dwell's spelling. The profile that explains the most of
// what was seen is named; what it does not explain is named as hand edits.
// The dwells are kept for the check of their unit, which only the whole file
// decides.

// The wait for the spindle to come up to speed that a dwell can mean; the
// generator writes vocabulario::segundos_pausa.
inline constexpr double pausa_minima_s = 0.5;
inline constexpr double pausa_maxima_s = 60;

struct PausaLida {
    std::uint64_t linha = 0;
    bool tem_p = false;
    double p = 0;
};

class DialetoArquivo {
public:
    // Every line, as read.
    void linha(const Linha& l) {
        tracos_ |= l.tracos;
        if (l.pausa) pausa(l);
    }

    // Nothing seen that tells a dialect (no word and no comment).
    bool desconhecido() const { return tracos_ == 0; }
    // The profile that fits best; `padrao` when nothing is known.
    const vocabulario::Dialeto& dialeto() const;
    // The words of the file's dialect for a feed move, the feed and the
    // spindle speed, as the report names them: "G1", "L", "f", "F", "S".
    std::string_view palavra_corte() const;
    std::string_view palavra_avanco() const;
    std::string_view palavra_rotacao() const;
    // Its name, with what it does not explain: "padrao (editado: %, O, N)".
    std::string nome() const;
    // What the file shows that `d` would not have written, or lacks; none
    // when it fits.
    std::vector<std::string> diferencas(const vocabulario::Dialeto& d) const;

    std::uint64_t pausas() const { return pausas_; }
    // The first dwell whose P, read in the unit of `d`, is no plausible
    // wait; null when there is none. `fora` gets how many are not.
    const PausaLida* pausa_implausivel(const vocabulario::Dialeto& d, std::uint64_t& fora) const;

private:
    void pausa(const Linha& l);

    std::uint16_t tracos_ = 0;
    std::uint64_t pausas_ = 0;
    // By unit: 0 seconds, 1 milliseconds.
    std::array<PausaLida, 2> primeira_fora_{};
    std::array<std::uint64_t, 2> fora_{};
};

// Whether P of a dwell, in P units per second, is a plausible wait.
bool pausa_plausivel(bool tem_p, double p, int por_segundo);
