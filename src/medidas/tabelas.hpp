#pragma once

#include <array>
#include <cstdint>
#include <span>

// The sizes and pitches of the standards, as the standards list them. Lengths
// are integers (micrometres, micro-inches, tenths of a thread per inch) so that
// a typed size is found by plain comparison.

// ISO 261: general purpose metric sizes, 1 to 300 mm, all three choices.
struct MedidaIso261 {
    std::int32_t diametro_um;
    std::int32_t passo_grosso_um;  // 0: the size has fine pitches only
    std::array<std::int32_t, 5> passos_finos_um;  // largest first, 0 after the last
};

// ASME B1.1: Unified inch screw threads, coarse (UNC), fine (UNF) and extra
// fine (UNEF) graded pitch series.
enum class SerieUnificada { unc, unf, unef };
inline constexpr int series_unificadas = 3;

struct MedidaUnificada {
    const char* nome;  // "#10", "1/4", "1 1/4"
    std::int32_t diametro_upol;  // basic major diameter, micro-inches
    std::array<std::int16_t, series_unificadas> fios_decimos;  // by SerieUnificada; 0: none
};

// ISO 228-1: parallel pipe threads, G1/16 to G6, basic diameters as tabulated.
struct MedidaIso228 {
    const char* nome;  // "1/2", "1 1/4"
    std::int32_t medida_upol;  // the size designation as a number, micro-inches
    std::int16_t fios_por_polegada;
    std::int32_t maior_um;
    std::int32_t flanco_um;
    std::int32_t menor_um;
};

// ASME B1.20.1: NPT taper pipe threads, 1/16 to 4. Inch figures as
// tabulated: the pipe's outside diameter D, the pitch diameters E0 at the
// small end of the external thread and E1 at the hand-tight (gauge) plane,
// the hand-tight engagement L1 and the effective thread length L2.
struct MedidaNpt {
    const char* nome;
    std::int32_t medida_upol;
    std::int16_t fios_decimos;
    std::int32_t d_cem_milesimos;   // hundred-thousandths of an inch
    std::int16_t l1_dez_milesimos;  // ten-thousandths of an inch
    std::int32_t e0_cem_milesimos;
    std::int32_t e1_cem_milesimos;
    std::int16_t l2_dez_milesimos;
};

// ISO 7-1: R (external taper), Rc (internal taper) and Rp (internal parallel)
// pipe threads, 1/16 to 6. The gauge plane diameters are ISO 228-1's for the
// size; the lengths, in micrometres, are the basic gauge length and the
// shortest useful thread of the external thread for it.
struct MedidaIso7 {
    const char* nome;
    std::int32_t medida_upol;
    std::int32_t calibre_um;
    std::int32_t util_um;
};

std::span<const MedidaIso261> tabela_iso261();
std::span<const MedidaUnificada> tabela_unificada();
std::span<const MedidaIso228> tabela_iso228();
std::span<const MedidaNpt> tabela_npt();
std::span<const MedidaIso7> tabela_iso7();

// The table row of a size, or nullptr when the standard does not have it.
const MedidaIso261* procurar_iso261(std::int64_t diametro_um);
const MedidaUnificada* procurar_unificada(std::int64_t diametro_upol);
const MedidaIso228* procurar_iso228(std::int64_t medida_upol);
const MedidaNpt* procurar_npt(std::int64_t medida_upol);
const MedidaIso7* procurar_iso7(std::int64_t medida_upol);
