#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A thread mill's catalogue data, as --medidas takes them after the
// designation: --fresa DC (mm), --arestas Z, --vc (m/min), --fz (mm).
struct DadosCorte {
    std::int64_t fresa_um = 0;            // DC, micrometres
    int arestas = 0;                      // Z
    std::int64_t vc_milesimos = 0;        // vc, thousandths of a metre a minute
    std::int64_t fz_decimilesimos = 0;    // fz, ten-thousandths of a millimetre

    bool completos() const { return fresa_um != 0 && arestas != 0 && vc_milesimos != 0 && fz_decimilesimos != 0; }
};

// Reads the value of the option `opcao` ("--fresa", "--arestas", "--vc" or
// "--fz") into `dados`. Returns false, with one Portuguese line in `erro`
// naming the option, its value and what it takes, for anything else: an
// unknown option, a value that is no number, out of range or with more
// decimals than it is given in.
bool ler_dado_corte(std::string_view opcao, std::string_view valor, DadosCorte& dados, std::string& erro);

// What the cutting section needs of a thread: the major diameter D the
// feeds are corrected with, which threads the report covers, and the hole
// the mill must enter for the internal one.
struct RoscaParaCorte {
    std::int64_t maior_um = 0;
    bool interna = false;
    bool externa = false;
    std::int64_t furo_um = 0;
    std::string furo;  // how the hole is made: "broca 8.5", "alargado"
};

// The section: spindle speed n = 1000 vc / (pi DC), the feed at the edge
// vf = fz Z n and at the mill's centre, vf (D - DC) / D inside and
// vf (D + DC) / D outside, half of it for the way in, and the answers to
// type in the dialogue, with what keeps them from being typed as they are.
void secao_corte(std::string& texto, const RoscaParaCorte& rosca, const DadosCorte& dados);
