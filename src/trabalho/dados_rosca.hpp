#pragma once

#include <cstdint>

#include "vocabulario/geometria.hpp"

// The one record that carries a thread job through the run. Field names are the
// ones every phase, diagnostic line and maintainer uses; keep them as they are.
struct DadosRosca {
    // Answers of the dialogue.
    char tipo_rosca = 0;       // 'I'/'i' internal, 'E'/'e' external, as typed
    float Diametro_final = 0;  // shifted by the finishing step once the plan runs
    float Diametro_inicial = 0;  // 0 switches the multi-pass plan off
    float passo_lateral = 0;
    float passo_lateral_acabamento = 0;
    float D_ferramenta = 0;
    float comprimento_rosca = 0;
    float passo_rosca = 0;
    char sentido_rosca = 0;  // 'D'/'d' right hand, 'E'/'e' left hand, as typed
    float angulo_inicial = 0;
    float rotacao_spindle = 0;
    float feed_rate = 0;

    // Derived by the plan and the estimates.
    float Diametro_final_total = 0;
    float passo_z_grau = 0;
    float passes_laterais = 0;
    std::int32_t passes_laterais_int = 0;
    float time_incremental = 0;
    float tempo_usinagem = 0;
    float fios_total = 0;
    float angulo_final = 0;
    float precisao_passo = 0;

    // Extents of the cutter centre, as the written path gives them.
    // Start at 0, so the reported extents always include the origin.
    float x_max = 0;
    float x_min = 0;
    float y_max = 0;
    float y_min = 0;

    // Fixed heights and clearance of the G-code.
    float altura_aproximacao = vocabulario::altura_aproximacao;
    float folga_retracao = vocabulario::folga_retracao;
    float altura_retracao_interna = vocabulario::altura_retracao_interna;
    float altura_retracao_externa = vocabulario::altura_retracao_externa;
};

// Shared by the checks of every phase: the kind and hand are the typed keys.
inline bool rosca_interna(const DadosRosca& d) { return d.tipo_rosca == 'I' || d.tipo_rosca == 'i'; }
inline bool rosca_externa(const DadosRosca& d) { return d.tipo_rosca == 'E' || d.tipo_rosca == 'e'; }
inline bool sentido_direita(const DadosRosca& d) { return d.sentido_rosca == 'D' || d.sentido_rosca == 'd'; }
inline bool sentido_esquerda(const DadosRosca& d) { return d.sentido_rosca == 'E' || d.sentido_rosca == 'e'; }
