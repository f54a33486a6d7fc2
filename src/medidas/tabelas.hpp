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

std::span<const MedidaIso261> tabela_iso261();
std::span<const MedidaUnificada> tabela_unificada();
std::span<const MedidaIso228> tabela_iso228();

// The table row of a size, or nullptr when the standard does not have it.
const MedidaIso261* procurar_iso261(std::int64_t diametro_um);
const MedidaUnificada* procurar_unificada(std::int64_t diametro_upol);
const MedidaIso228* procurar_iso228(std::int64_t medida_upol);
