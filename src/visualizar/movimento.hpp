#pragma once

#include <cstdint>

struct Ponto3 {
    double x = 0, y = 0, z = 0;
};

// One move of the tool, as a control reads it: from where the tool stands to
// where the line sends it, every coordinate the line leaves out kept.
enum class TipoMovimento : std::uint8_t { rapido, linear, arco };

struct Movimento {
    TipoMovimento tipo = TipoMovimento::rapido;
    std::uint64_t linha = 0;
    // The line of the move that left the tool at `de`; 0 when none did.
    std::uint64_t linha_de = 0;
    Ponto3 de, para;
    // Every axis of `de` was given by an earlier move; otherwise the tool
    // stands where nothing in the file says.
    bool de_conhecido = false;
    // Z of `para` was given by this line or an earlier one.
    bool z_conhecido = false;
    // The coordinates the line itself gives.
    bool tem_x = false, tem_y = false, tem_z = false;
    // The end the control works out from an angle (a polar move), not one written.
    bool polar = false;
    // An arc's centre in X and Y (I and J are offsets from `de`) and its
    // direction seen from +Z: G2 clockwise, G3 counter-clockwise.
    double centro_x = 0, centro_y = 0;
    bool horario = false;
    // The arc's sweep about its centre in radians: positive counter-clockwise,
    // negative clockwise; a whole turn when it ends where it starts.
    double varredura = 0;
    // The cutter compensation in force: 40 off, 41 left, 42 right.
    std::uint8_t compensacao = 40;
    // F holds at the contour, not at the cutter's centre (Sinumerik's CFC
    // and CFIN, its default): under compensation the feed is not the file's.
    bool avanco_no_contorno = false;

    bool corte() const { return tipo != TipoMovimento::rapido; }
};
