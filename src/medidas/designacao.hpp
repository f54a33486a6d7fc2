#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A thread designation as typed, read into numbers; nothing is looked up yet.
enum class Familia { metrica, unificada, tubo, conica };

// Pipe threads that seal on the thread: NPT (ASME B1.20.1); R, Rc and Rp of
// ISO 7-1 (external taper, internal taper, internal parallel).
enum class Conica { npt, r, rc, rp };

// The series name typed after a Unified designation. UN and UNS name no
// graded series: the pitch is whatever the threads per inch say.
enum class SerieDigitada { nenhuma, unc, unf, unef, un, uns };

// An ISO 965-1 tolerance class of one thread: "6H", "5g6g". The pitch
// diameter grade comes first, then the crest's (minor inside, major outside).
struct ClasseIso965 {
    int grau_flanco = 0;  // 0: no class typed
    int grau_crista = 0;
    char posicao = 0;  // G, H inside; e, f, g, h outside
};

struct Designacao {
    Familia familia = Familia::metrica;
    std::string medida;  // the size as printed back: "20", "1.6", "1 1/4", "#10"
    // Metric: micrometres. Unified and pipe: micro-inches.
    std::int64_t diametro = 0;
    bool numerada = false;  // Unified numbered size, #0 to #12
    bool tem_passo = false;
    // Metric: pitch in micrometres. Unified: threads per inch, in tenths.
    std::int64_t passo = 0;
    SerieDigitada serie = SerieDigitada::nenhuma;
    Conica conica = Conica::npt;  // when familia is conica
    bool esquerda = false;  // "LH" at the end: a left-hand thread
    // ISO 228-1 external thread class, 'A' or 'B'; 0 when none was typed.
    char classe_tubo = 0;
    // Metric: "-6H", "-6g", "-6H/6g".
    ClasseIso965 classe_furo;
    ClasseIso965 classe_parafuso;
    // ISO 965-1 length of engagement group after the class: 'S', 'N', 'L'; 0 when none.
    char engate = 0;
    // Unified: "-2B", "-2A"; the class number 1 to 3, 0 when not typed.
    int classe_furo_unificada = 0;
    int classe_parafuso_unificada = 0;
    bool tem_classe() const {
        return classe_furo.posicao != 0 || classe_parafuso.posicao != 0 || classe_furo_unificada != 0 ||
               classe_parafuso_unificada != 0;
    }
};

// A class as written: "6H", "5g6g"; "2A", "2B".
std::string texto_classe(const ClasseIso965& classe);
std::string texto_classe_unificada(int classe, bool interna);

// Longest designation read at all; anything longer is refused before parsing.
inline constexpr std::size_t max_designacao = 64;

// Reads "M20", "M20x1,5", "M20x2.5-6H/6g", "M6x0.75-5h6h-S", "1/4-20 UNC",
// "1/2-13 UNC-2A", "#10-32", "1 1/4-7", "1-1/4-7 UNC", "2-4 1/2 UNC",
// "G 1 1/4", "G1-1/4", "G3/4 B", "G1/2-A", "1/2 NPT", "1/2-14 NPT", "R 1/2",
// "Rc 1/2", "Rp 1/2", each optionally ending in LH; letters in either case,
// blanks around the parts. On a malformed text returns false and says in
// `erro`, one Portuguese line, what is wrong.
bool ler_designacao(std::string_view texto, Designacao& designacao, std::string& erro);

// Typed text shown back in a message: printable ASCII only (anything else
// becomes '?'), cut to `maximo` characters and "..." when longer.
std::string texto_mostravel(std::string_view texto, std::size_t maximo);

// Micro-inches of an inch size written back as a machinist writes it:
// 1250000 -> "1 1/4", 250000 -> "1/4", 2000000 -> "2". Sizes that are no
// multiple of 1/64 inch come out as decimals: "0.3".
std::string texto_polegadas(std::int64_t upol);
