#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "visualizar/cabecalho.hpp"
#include "visualizar/leitor.hpp"
#include "visualizar/verificacoes.hpp"

// What the file holds, folded as its lines go by: nothing is kept per line.
// Each pass (a run of feed moves between rapid moves) gets a summary; a
// bounded number of them, spread over the file, keep a bounded sample of
// their points for the picture.

struct Ponto3 {
    double x = 0, y = 0, z = 0;
};

struct PontoPlano {
    float a = 0, b = 0;  // x, y (top view) or x, z (side view)
};

struct MovimentoRapido {
    Ponto3 de, para;
};

struct Passe {
    std::uint64_t ordem = 0;  // 0 for the first pass of the file
    std::int64_t numero = -1;  // from its turn comments; -1 without them
    Valor diametro;            // from its turn comments
    std::uint64_t linha_inicio = 0, linha_fim = 0;
    std::uint64_t movimentos = 0;
    std::int64_t voltas = 0;  // turn comments met
    double r2_min = 0, r2_max = 0;
    double z_min = 0, z_max = 0;
    Ponto3 antes;             // where the cutter stood before the first move
    bool tem_inicio = false;  // a rapid move placed it in X and Y
    Ponto3 primeiro, ultimo;
    double comprimento = 0;   // of its feed moves, the first one from `antes` included
    double erro = 0;          // tolerance of its coordinates
    int sinal_giro = 0;       // +1 counter-clockwise seen from above, -1 clockwise

    // For the picture: the first turn in X and Y, and the points in X and Z
    // every `amostra` moves, the first ones and the last ones (`lado_fim`
    // is a ring) with `lado_omitidos` between them not kept.
    std::vector<PontoPlano> topo;
    std::vector<PontoPlano> lado_inicio, lado_fim;
    std::size_t lado_fim_proximo = 0;
    std::uint64_t lado_omitidos = 0;
    int amostra = 1;
    std::vector<MovimentoRapido> entrada, saida;

    double raio() const { return (std::sqrt(r2_min) + std::sqrt(r2_max)) / 2; }
    double espalhamento() const { return std::sqrt(r2_max) - std::sqrt(r2_min); }
};

struct LinhaIlegivel {
    std::uint64_t numero = 0;
    std::string texto;  // ASCII, at most `max_texto` characters
    std::uint64_t bytes = 0;
};

class Modelo {
public:
    static constexpr std::size_t max_ilegiveis = 10;
    static constexpr std::size_t max_texto = 48;
    static constexpr std::size_t max_rapidos_passe = 8;
    // Points of the side view for all the passes drawn together.
    static constexpr std::size_t orcamento_lado = 64000;
    static constexpr std::size_t max_retidos = 24;

    Modelo();

    void acumular(const Linha& l) {
        if (l.tipo == TipoLinha::corte && em_passe_ && l.tamanho_lote > 0)
            cortes_repetidos(l);
        else if (l.tipo == TipoLinha::corte && !l.sem_fim_de_linha && em_passe_)
            corte(l);
        else
            outra(l);
    }
    // After the last line.
    void terminar(std::uint64_t linhas, bool erro_leitura);

    Cabecalho cabecalho;
    Verificacoes verificacoes;

    // Totals.
    std::uint64_t linhas = 0;
    std::uint64_t movimentos = 0;  // feed moves
    std::uint64_t rapidos = 0;
    std::uint64_t passes = 0;
    double comprimento = 0;
    bool tem_extremos = false;
    double x_max = 0, x_min = 0, y_max = 0, y_min = 0;  // of feed moves, from 0 as the generator's
    double z_max = -1e300, z_min = 1e300;               // of every known position
    double erro_extremos = 0;

    // Preamble and end.
    std::uint64_t linha_m3 = 0, linha_m5 = 0, linha_m30 = 0;
    bool termina_em_m30 = false;
    bool tem_s = false, tem_f = false;
    double s = 0, f = 0;            // the last S and f before the first cut
    std::uint64_t linha_s = 0, linha_f = 0;
    bool tem_escala = false;
    double escala_x = 1, escala_y = 1;
    std::uint64_t linha_escala = 0;
    bool cortou = false;

    // Extents comments at the end of an internal thread's file.
    Valor x_max_comentario, x_min_comentario, y_max_comentario, y_min_comentario, diametro_comentario;
    std::uint64_t linha_extensoes = 0, linha_diametro_comentario = 0;
    bool extensoes_apos_ultimo_passe = false;

    // Lines that do not read.
    std::vector<LinhaIlegivel> ilegiveis;
    std::uint64_t total_ilegiveis = 0;
    std::uint64_t linha_cortada = 0;  // the last line, when it had no line end
    bool erro_leitura = false;

    // Passes for the table and the picture, spread over the file; the last
    // pass is always among them.
    std::vector<Passe> retidos;
    const Passe* ultimo_passe() const { return retidos.empty() ? nullptr : &retidos.back(); }
    bool saida_pendente = false;  // the last pass has not yet risen above Z 0 after it

private:
    __attribute__((always_inline)) void corte(const Linha& l);
    void cortes_repetidos(const Linha& l);
    void outra(const Linha& l);
    void iniciar_passe(const Linha& l);
    void terminar_passe();
    void rapido(const Linha& l);
    void comando(const Linha& l);
    void comentario(const Linha& l);
    void ilegivel(const Linha& l);
    void amostrar(double x, double z);
    void falha_circulo(const Linha& l, double x, double y, double z);
    void falha_avanco(const Linha& l, double x, double y, double z, double xr, double yr);
    void falha_profundidade(const Linha& l, double x, double y, double z, double passo);
    void falha_volta(const Linha& l, double x, double y, double z, double volta);
    void conferir_retracao(const Ponto3& para, std::uint64_t linha);
    void definir_amostra();
    Passe* passe_anterior();

    bool em_passe_ = false;
    bool no_cabecalho_ = true;
    Passe atual_;
    Ponto3 pos_;
    bool pos_x_ = false, pos_y_ = false, pos_z_ = false;
    bool tem_ultimo_ = false;
    Passe ultimo_;  // the last pass not retained, in case it is the file's last
    std::uint64_t passo_retencao_ = 1;
    std::size_t limite_retidos_ = max_retidos;
    std::size_t capacidade_lado_ = orcamento_lado / 2;  // side points kept per pass
    int amostra_ = 1;
    bool amostra_definida_ = false;
    int ate_amostra_ = 1;
    std::vector<MovimentoRapido> entrada_;

    // Pending turn comment for the next pass.
    bool volta_pendente_ = false;
    std::int64_t passe_pendente_ = -1, fio_pendente_ = 0;
    Valor diametro_pendente_;
    std::uint64_t linha_pendente_ = 0;

    // The limits of the pass being read, set at its first point.
    double r2_baixo_ = 0, r2_alto_ = 0;
    double giro_c_ = 1, giro_s_ = 0, tol_giro_ = 0;
    double passo_min_ = 0, passo_max_ = 1e300;
    double volta_min_ = -1e300, volta_max_ = 1e300;
    bool conferir_volta_ = false;
    std::array<double, LeitorGcode::graus_volta> dxy2_{};
    std::array<double, LeitorGcode::graus_volta> z_volta_{};
    std::array<double, LeitorGcode::graus_volta> raiz_xy_{}, meio_inverso_xy_{}, oitavo_inverso_cubo_xy_{};
    std::array<double, LeitorGcode::graus_volta> x_vaga_{}, y_vaga_{};
    int sentido_passe_ = 0;  // turning sign the checks expect: +1 left hand, -1 right hand
    int estado_retracao_ = 0;  // 0 none due, 1 the XY retract is due, 2 the rise is due
    Ponto3 ultimo_corte_;
    std::uint64_t ultima_linha_corte_ = 0;
    bool inicio_xy_ = false;  // the last rapid move gave X and Y: a start point
    double raio_ultimo_ = 0, erro_ultimo_ = 0;
};

__attribute__((always_inline)) inline void Modelo::corte(const Linha& l) {
    Passe& ps = atual_;
    const double x = l.tem_x ? l.x : pos_.x;
    const double y = l.tem_y ? l.y : pos_.y;
    const double z = l.tem_z ? l.z : pos_.z;
    const std::size_t k = static_cast<std::size_t>(l.indice % LeitorGcode::graus_volta);
    double dxy2;
    if (!l.par_repetido) {
        // A pair of points not met in this pass before: on the circle, and one
        // degree on from the previous point in the hand's direction.
        const double dx = x - pos_.x, dy = y - pos_.y;
        dxy2 = dx * dx + dy * dy;
        dxy2_[k] = dxy2;
        x_vaga_[k] = x;
        y_vaga_[k] = y;
        raiz_xy_[k] = std::sqrt(dxy2);
        meio_inverso_xy_[k] = dxy2 > 0 ? 0.5 / raiz_xy_[k] : 0;
        oitavo_inverso_cubo_xy_[k] = dxy2 > 0 ? 0.125 / (dxy2 * raiz_xy_[k]) : 0;
        const double r2 = x * x + y * y;
        if (r2 < r2_baixo_ || r2 > r2_alto_) falha_circulo(l, x, y, z);
        ps.r2_min = std::min(ps.r2_min, r2);
        ps.r2_max = std::max(ps.r2_max, r2);
        const double xr = giro_c_ * pos_.x - giro_s_ * pos_.y;
        const double yr = giro_s_ * pos_.x + giro_c_ * pos_.y;
        if (std::fabs(x - xr) > tol_giro_ || std::fabs(y - yr) > tol_giro_) falha_avanco(l, x, y, z, xr, yr);
        x_max = std::max(x_max, x);
        x_min = std::min(x_min, x);
        y_max = std::max(y_max, y);
        y_min = std::min(y_min, y);
        if (ps.movimentos < LeitorGcode::graus_volta) ps.topo.push_back({static_cast<float>(x), static_cast<float>(y)});
    } else {
        dxy2 = dxy2_[k];
    }
    const double passo = pos_.z - z;  // depth gained by this move
    // The move's length. Within a turn the depth is a small part of it;
    // then two terms of the expansion of the square root about the turn's
    // step, whose root is kept, are exact to far below a micrometre over
    // the whole file and spare the long latency of a root per line.
    const double dz2 = passo * passo;
    if (l.par_repetido && dz2 < 1e-3 * dxy2)
        ps.comprimento += raiz_xy_[k] + dz2 * (meio_inverso_xy_[k] - dz2 * oitavo_inverso_cubo_xy_[k]);
    else
        ps.comprimento += std::sqrt(dxy2 + dz2);
    if (passo < passo_min_ || passo > passo_max_) falha_profundidade(l, x, y, z, passo);
    if (conferir_volta_ && ps.movimentos >= LeitorGcode::graus_volta) {
        const double volta = z_volta_[k] - z;
        if (volta < volta_min_ || volta > volta_max_) falha_volta(l, x, y, z, volta);
    }
    z_volta_[k] = z;
    ps.z_min = std::min(ps.z_min, z);
    ps.z_max = std::max(ps.z_max, z);
    pos_ = {x, y, z};
    ++ps.movimentos;
    ultima_linha_corte_ = l.numero;
    if (--ate_amostra_ == 0) {
        ate_amostra_ = ps.amostra;
        amostrar(x, z);
    }
}
