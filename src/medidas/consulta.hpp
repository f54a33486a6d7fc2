#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "medidas/designacao.hpp"
#include "medidas/perfil.hpp"
#include "medidas/tabelas.hpp"

// A designation checked against its standard: the pitch it stands for, what
// the standard's tables say of it, and its profile.
struct Consulta {
    Designacao designacao;  // with the pitch filled in when the standard gives it
    std::string nome;       // written back: "M20x1.5", "1/2-13 UNC", "G1 1/4"
    // The table row of the size; null when the standard does not list it.
    const MedidaIso261* iso261 = nullptr;
    const MedidaUnificada* unificada = nullptr;
    const MedidaIso228* iso228 = nullptr;  // also the gauge plane of ISO 7-1
    const MedidaNpt* npt = nullptr;
    const MedidaIso7* iso7 = nullptr;
    bool passo_grosso = false;  // metric: the coarse pitch of its size
    // Unified: the graded series named after the pitch, if any (not UN, UNS).
    std::optional<SerieUnificada> serie_pedida;
    // Unified: the graded series whose pitch for this size the threads per inch are.
    std::optional<SerieUnificada> serie_do_passo;
    bool normalizada = false;  // size and pitch as the standard lists them
    Perfil perfil;
};

// Reads and resolves one designation. Returns false with one Portuguese line
// in `erro` when it is malformed, names a pipe size ISO 228-1 does not have,
// leaves the pitch unknown, or lies outside 1 to 1000 mm, pitches of 0.1 mm
// up to a quarter of the size.
bool consultar(std::string_view texto, Consulta& consulta, std::string& erro);

const char* nome_serie(SerieUnificada serie);
