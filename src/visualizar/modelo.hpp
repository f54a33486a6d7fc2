#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "visualizar/cabecalho.hpp"
#include "visualizar/dialeto_arquivo.hpp"
#include "visualizar/leitor_gcode.hpp"
#include "visualizar/observador.hpp"
#include "visualizar/passe.hpp"

// What the file holds, folded as its lines go by: nothing is kept per line.
// Each pass (a run of feed moves between rapid moves) gets a summary; a
// bounded number of them, spread over the file, keep a bounded sample of
// their points for the picture. The observers (the checks) are told of each
// pass and move; the model knows nothing of what they make of it.

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
    Modelo(const Modelo&) = delete;
    Modelo& operator=(const Modelo&) = delete;

    // Observers are told in the order they were added; they must outlive
    // the reading.
    void observar(Observador& o) {
        observadores_.push_back(&o);
        if (o.segue_cortes()) observadores_cortes_.push_back(&o);
    }

    void acumular(const Linha& l);
    // After the last line; the observers are let go.
    void terminar(std::uint64_t linhas, bool erro_leitura);

    Cabecalho cabecalho;
    DialetoArquivo dialeto;

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
    double s = 0, f = 0;  // the last S and F before the first cut
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

private:
    void comentario(std::string_view texto, std::uint64_t linha);
    // The spindle, feed, M codes and scale of a line.
    void comando(const Linha& l);
    void ilegivel(const Linha& l);
    void iniciar_passe(const Movimento& m);
    void cortar(const Movimento& m);
    void terminar_passe();
    void rapido(const Movimento& m);
    void amostrar(double x, double z);
    void definir_amostra();
    Passe* passe_anterior();

    std::vector<Observador*> observadores_, observadores_cortes_;
    bool em_passe_ = false;
    bool no_cabecalho_ = true;
    Passe atual_;
    bool tem_ultimo_ = false;
    Passe ultimo_;  // the last pass not retained, in case it is the file's last
    std::uint64_t passo_retencao_ = 1;
    std::size_t limite_retidos_ = max_retidos;
    std::size_t capacidade_lado_ = orcamento_lado / 2;  // side points kept per pass
    int amostra_ = 1;
    bool amostra_definida_ = false;
    int ate_amostra_ = 1;
    std::vector<MovimentoRapido> entrada_;
    bool inicio_xy_ = false;  // the last rapid move gave X and Y: a start point
    std::uint64_t ultima_linha_corte_ = 0;

    // The turn comments before the next pass.
    bool volta_pendente_ = false;
    std::int64_t passe_pendente_ = -1, fio_pendente_ = 0;
    Valor diametro_pendente_;
    std::uint64_t linha_pendente_ = 0;
};
