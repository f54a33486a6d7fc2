#pragma once

#include <array>
#include <cmath>
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
    double comprimento = 0;  // of the feed moves
    double minutos = 0;      // they take, each at the feed in force; infinite after a feed of 0
    bool tem_extremos = false;
    double x_max = 0, x_min = 0, y_max = 0, y_min = 0;  // of feed moves, from 0 as the generator's
    double z_max = -1e300, z_min = 1e300;               // of every known position but the passes' cuts
    double z_corte_min = 1e300;                         // of the passes' cuts
    std::uint64_t linha_z_min = 0;                      // where the path goes deepest
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

    // A file with ways of cutting (the header's lines for them): each pass
    // is its way in, its helix and its way out; the checks of the helix see
    // only the helix.
    bool modos() const { return modos_; }
    // Between a pass's turn comment and its helix: its way in.
    bool na_entrada() const { return fase_ == Fase::entrada; }
    // The radius a point of a tapered pass has at the face (Z 0): its
    // distance from the axis, moved back along the taper. Its distance for
    // a parallel thread.
    double raio_na_face(const Ponto3& p) const { return std::hypot(p.x, p.y) + conicidade_raio_ * p.z; }
    // Change of a pass's radius per mm of depth (negative when it narrows).
    double conicidade_raio() const { return conicidade_raio_; }

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
    // The same, in a file with ways of cutting.
    void definir_modos();
    void mover_com_modos(const Movimento& m);
    bool parece_helice(const Movimento& m) const;
    void caminho(const Movimento& m, bool entrada);
    // A feed move's length, its time added at the feed in force.
    double percorrido(const Movimento& m);
    void soltar_pendentes(bool na_helice);
    void cortar_qualquer(const Movimento& m);
    void alargar(double x, double y, double z);
    // Degrees turned by the arc.
    double alargar_arco(const Movimento& m);
    void amostrar_arco(const Movimento& m);
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
    bool tem_f_atual_ = false;
    double f_atual_ = 0;
    std::uint64_t linha_f_atual_ = 0;

    // Ways of cutting.
    bool modos_definidos_ = false, modos_ = false, tangencial_ = false;
    double conicidade_raio_ = 0;  // a pass's radius change per mm of depth
    double fator_centro_ = 0;     // a compensated path's radius to the cutter centre's: r + this
    enum class Fase : std::uint8_t { fora, entrada, helice, saida };
    Fase fase_ = Fase::fora;
    double comprimento_entrada_ = 0;
    std::uint64_t caminhos_entrada_ = 0;
    std::vector<PontoPlano> guia_entrada_;
    // Moves off the helix met in it, held until it is known whether the
    // helix goes on after them (a point moved off it) or they are its way out.
    static constexpr std::size_t max_pendentes = 3;
    std::array<Movimento, max_pendentes> pendentes_{};
    std::size_t quantos_pendentes_ = 0;

    // The turn comments before the next pass.
    bool volta_pendente_ = false;
    std::int64_t passe_pendente_ = -1, fio_pendente_ = 0;
    Valor diametro_pendente_;
    std::uint64_t linha_pendente_ = 0;
};
