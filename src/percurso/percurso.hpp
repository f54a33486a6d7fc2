#pragma once

#include <cstdint>

// The tool path as geometry, before it is text: what the machine does, in
// order. Built from the job record once the plan is made (construir.hpp);
// written out by an emitter in a dialect and a linearisation (src/emissao).
//
// Lengths are mm, angles degrees, Z negative below the top of the part. The
// numbers keep the precision the plan stored them in: the file's digits
// depend on it.

// One pass's helix: the cutter centre turning about the thread's axis while
// it descends one pitch per turn, from the top face down to the thread length.
struct Helice {
    double raio = 0;            // of the cutter centre; in double, never rounded to float
    float angulo_inicial = 0;   // where the helix starts, seen from above (see ponto_helice.hpp)
    bool mao_direita = true;    // the angle grows clockwise seen from above
    float passo_rosca = 0;      // depth per turn
    float passo_z_grau = 0;     // depth per degree, as the plan stored it
    float comprimento = 0;      // the helix ends at this depth
};

// A pass: a rapid to the helix's start point at the current height, the
// helix, and a retract away from the thread and up.
struct PassePercurso {
    std::int32_t numero = 0;  // as the header's pass list numbers it
    float diametro = 0;       // where the cutting edge goes
    Helice helice;
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
};

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
    // The helix every pass shares but for its radius.
    Helice helice;
    PlanoPasses plano;
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
    const Percurso& percurso_;
    float diametro_ = 0;
    std::int64_t numero_ = 0;  // wide: one past the last int32 pass number must not overflow
    bool acabamento_feito_ = false;
};

// About how many lines the passes take in the file (for the progress line).
double linhas_previstas(const Percurso& percurso);
