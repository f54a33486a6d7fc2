#include <cmath>

#include "visualizar/leitor_gcode.hpp"
#include "visualizar/tolerancias.hpp"

// The moves of the readers of Sinumerik's words and of plain language: the
// same fields the G-code reader fills, and an arc of more than half a turn
// handed on in parts.

Movimento& LeitorGcode::mover(Linha& l, TipoMovimento tipo, const Ponto3& para, const bool (&tem)[3]) {
    Movimento& mv = l.movimento;
    mv = Movimento{};
    mv.tipo = tipo;
    mv.linha = l.numero;
    mv.linha_de = linha_posicao_;
    linha_posicao_ = l.numero;
    mv.de = posicao_;
    mv.de_conhecido = x_conhecido_ && y_conhecido_ && z_conhecido_;
    mv.tem_x = tem[0];
    mv.tem_y = tem[1];
    mv.tem_z = tem[2];
    x_conhecido_ = x_conhecido_ || tem[0];
    y_conhecido_ = y_conhecido_ || tem[1];
    z_conhecido_ = z_conhecido_ || tem[2];
    mv.para = posicao_ = para;
    mv.z_conhecido = z_conhecido_;
    mv.compensacao = static_cast<std::uint8_t>(compensacao_);
    mv.avanco_no_contorno = linguagem_ == Linguagem::sinumerik && avanco_no_contorno_;
    // The direction the move ends in, for a tangent arc after it; a move
    // along Z alone keeps the one before.
    const double dx = para.x - mv.de.x, dy = para.y - mv.de.y;
    if (dx != 0 || dy != 0) {
        tem_tangente_ = true;
        tangente_x_ = dx;
        tangente_y_ = dy;
    }
    l.tipo = TipoLinha::movimento;
    return mv;
}

void LeitorGcode::mover_em_arco(Linha& l, const Ponto3& para, double cx, double cy, double varredura,
                                const bool (&tem)[3]) {
    const Ponto3 de = posicao_;
    // Parts of at most half a turn, as the other controls write a helix.
    const double partes = std::ceil(std::fabs(varredura) / pi - 1e-9);
    const int n = partes > 1 ? static_cast<int>(partes) : 1;
    Ponto3 ate = para;
    if (n > 1) {
        partes_.total = n;
        partes_.proxima = 2;
        partes_.cx = cx;
        partes_.cy = cy;
        partes_.rx = de.x - cx;
        partes_.ry = de.y - cy;
        partes_.z0 = de.z;
        partes_.dz = para.z - de.z;
        partes_.passo = varredura / n;
        partes_.fim = para;
        const double a = partes_.passo;
        ate = {cx + partes_.rx * std::cos(a) - partes_.ry * std::sin(a),
               cy + partes_.rx * std::sin(a) + partes_.ry * std::cos(a), de.z + partes_.dz / n};
        pendentes_ = true;
    }
    Movimento& mv = mover(l, TipoMovimento::arco, ate, tem);
    mv.centro_x = cx;
    mv.centro_y = cy;
    mv.horario = varredura < 0;
    mv.varredura = n > 1 ? partes_.passo : varredura;
    const double rx = ate.x - cx, ry = ate.y - cy;
    tangente_x_ = mv.horario ? ry : -ry;
    tangente_y_ = mv.horario ? -rx : rx;
    tem_tangente_ = rx != 0 || ry != 0;
    if (n > 1) partes_.molde = l;
}

void LeitorGcode::proxima_parte(Linha& l) {
    Partes& p = partes_;
    const int k = p.proxima++;
    l = p.molde;
    l.quantidade_comentarios = 0;
    l.m = -1;
    l.tem_s = l.tem_f = l.pausa = l.escala = l.ferramenta = false;
    l.compensacao = 0;
    Ponto3 ate = p.fim;
    if (k < p.total) {
        const double a = p.passo * k;
        ate = {p.cx + p.rx * std::cos(a) - p.ry * std::sin(a), p.cy + p.rx * std::sin(a) + p.ry * std::cos(a),
               p.z0 + p.dz * k / p.total};
    } else {
        pendentes_ = false;
    }
    const bool tem[3] = {true, true, l.movimento.tem_z};
    Movimento& mv = mover(l, TipoMovimento::arco, ate, tem);
    mv.centro_x = p.cx;
    mv.centro_y = p.cy;
    mv.horario = p.passo < 0;
    mv.varredura = p.passo;
    const double rx = ate.x - p.cx, ry = ate.y - p.cy;
    tangente_x_ = mv.horario ? ry : -ry;
    tangente_y_ = mv.horario ? -rx : rx;
}
