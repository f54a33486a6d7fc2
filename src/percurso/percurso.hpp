#pragma once

#include <cstdint>

#include <vector>

#include "trabalho/furos.hpp"
#include "vocabulario/modos_corte.hpp"

// The tool path as geometry, before it is text: what the machine does, in
// order. Built from the job record once the plan is made (construir.hpp);
// written out by an emitter in a dialect and a linearisation (src/emissao).
//
// Lengths are mm, angles degrees, depths positive below the top of the part
// (Z is minus the depth). The numbers keep the precision the plan stored
// them in: the file's digits depend on it.

// One pass's helix: the cutter centre turning about the thread's axis, one
// pitch deeper per turn, between the top face and the thread length.
struct Helice {
    double raio = 0;            // of the cutter centre at the face; in double, never rounded to float
    double conicidade = 0;      // change of that radius per mm of depth (a tapered thread)
    float angulo_inicial = 0;   // where the helix meets the face, seen from above (see ponto_helice.hpp)
    bool mao_direita = true;    // the angle grows clockwise seen from above
    float passo_rosca = 0;      // depth per turn
    float passo_z_grau = 0;     // depth per degree, as the plan stored it
    float comprimento = 0;      // the helix ends at this depth
    // Each one-degree chord ends at the helix's depth at its end angle, so a
    // first chord short of a whole degree (a start angle with a fraction)
    // goes down only its share of one. Off, as in the file without options:
    // every chord goes down a whole degree's depth.
    bool profundidade_no_fim = false;

    double raio_em(double profundidade) const { return raio + conicidade * profundidade; }
};

// A pass: the way in, the helix, the way out.
struct PassePercurso {
    std::int32_t numero = 0;  // as the header's pass list numbers it
    float diametro = 0;       // where the cutting edge goes
    Helice helice;
    // The helix run backwards, from the thread length up to the face (for
    // climb or conventional milling, as the options ask).
    bool subindo = false;
    // The feed of this pass, where it is not the preamble's (0: the preamble's).
    double avanco = 0;
    // 0 for the pass itself; 1, 2... for its repetitions at the same diameter.
    int repeticao = 0;
    // The plan's last pass, at the final diameter: the finishing pass, or
    // the last roughing one where there is none (and their repetitions).
    // Its diameter as stored may differ from the final one in the last bits.
    bool acabamento = false;
    // Of a thread with several starts, which one this helix cuts (from 0).
    int entrada = 0;
};

enum class Retracao {
    ao_eixo,   // internal: to the axis, then up
    ao_canto,  // external: to the corner of the square round the pass (vocabulario/geometria.hpp), then up
};

// What the pass sequence is derived from: the plan's fields, so that the
// passes can be produced one by one (there may be millions) without being
// held.
struct PlanoPasses {
    bool interna = true;
    float diametro_inicial = 0;  // 0: one pass, at the final diameter
    float diametro_final = 0;    // moved back by the finishing step
    float diametro_final_total = 0;
    float passo_lateral = 0;
    float passo_acabamento = 0;
    std::int32_t passes = 0;  // roughing passes planned
    float diametro_ferramenta = 0;
    // The roughing passes placed to remove equal areas of a V profile.
    bool area_igual = false;
};

// Roughing pass `i` of `plano.passes` placed for equal areas of a V profile:
// Di + (Da - Di) sqrt(i / m), Da the diameter the finishing pass starts from.
float diametro_area_igual(const PlanoPasses& plano, std::int64_t i);

struct Percurso {
    bool interna = true;
    // For the control: the tool to change to and compensate for its length
    // (0: none, the machinist has set it), and the program's number where the
    // dialect frames the program with one.
    int ferramenta = 0;
    int programa = 1;
    // Preamble.
    float altura_aproximacao = 0;
    float rotacao = 0;
    float avanco = 0;
    // After each pass.
    Retracao retracao = Retracao::ao_eixo;
    float altura_retracao = 0;
    float folga_retracao = 0;  // beyond the path radius, for the corner
    // Whether the dialect's controls all run a rapid in X and Y straight
    // (vocabulario::Dialeto::rapido_reto).
    bool rapido_reto = false;
    // The helix every pass shares but for its radius.
    Helice helice;
    PlanoPasses plano;

    // The ways of cutting in effect (their implications applied).
    vocabulario::ModosCorte modos;
    // The hole centres, when the thread is cut at several; none: one hole
    // on the axis X0 Y0.
    std::vector<Furo> furos;
    // The final diameter a variable the operator changes at the control.
    bool ajuste = false;
    double conicidade_diametro = 0;  // 1/N of a taper 1:N, 0 for a parallel thread
};

// The passes of a path, in order. Each roughing diameter is accumulated from
// the previous stored one, as the plan did; the finishing pass is computed
// afresh so that it lands on the final diameter as entered.
class SequenciaPasses {
public:
    explicit SequenciaPasses(const Percurso& percurso);
    // The next pass into `passe`; false after the last one.
    bool proximo(PassePercurso& passe);

private:
    bool proximo_do_passe(PassePercurso& passe);
    bool proximo_do_plano(PassePercurso& passe);
    void completar(PassePercurso& passe) const;
    // The helix of start `k` of a thread with several.
    void da_entrada(PassePercurso& passe, int k) const;

    const Percurso& percurso_;
    float diametro_ = 0;
    std::int64_t numero_ = 0;  // wide: one past the last int32 pass number must not overflow
    bool acabamento_feito_ = false;
    // The last pass of the plan, held back until it is known to be the last,
    // for its repetitions.
    bool tem_ultimo_ = false;
    PassePercurso ultimo_;
    int repetidos_ = 0;
    // Every start of a pass before the next pass.
    PassePercurso atual_;
    int entrada_ = 0;
    bool tem_atual_ = false;
};

// The feed of the cutter's centre for a pass of diameter `diametro` when the
// feed answered is the cutting edge's (vocabulario/regras.hpp).
double avanco_no_centro(const Percurso& percurso, float diametro);

// The pass at another diameter, everything that follows from it redone.
void mudar_diametro(const Percurso& percurso, PassePercurso& passe, float diametro);

// About how many lines the passes take in the file (for the progress line).
double linhas_previstas(const Percurso& percurso);
