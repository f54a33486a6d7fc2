#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "visualizar/cabecalho.hpp"
#include "visualizar/dialeto_arquivo.hpp"
#include "visualizar/forma_passe.hpp"
#include "visualizar/leitor_gcode.hpp"
#include "visualizar/observador.hpp"
#include "visualizar/passe.hpp"
#include "visualizar/segmentador.hpp"

// What the file holds, folded as its lines go by: nothing is kept per line.
// The segmenter splits each pass into its way in, helix and way out; each
// pass gets a summary, and a bounded number of them, spread over the file,
// keep a bounded sample of their points for the picture. The observers (the
// checks) are told of each part; the model knows nothing of what they make
// of it.

struct LinhaIlegivel {
    std::uint64_t numero = 0;
    std::string texto;  // ASCII, at most `max_texto` characters
    std::uint64_t bytes = 0;
    std::string motivo;  // why, where the reader says
};

// Where the path goes (the viewer's own; the generator has another).
namespace visualizador {
struct Extremos {
    bool tem = false;  // a helix was read
    // X and Y of the helices, from 0 as the generator counts them: the
    // cutter's centre at the face (back along a taper, in from a
    // compensated path), as the generator judges the bore.
    double x_max = 0, x_min = 0, y_max = 0, y_min = 0;
    double erro = 0;                       // their tolerance
    double z_max = -1e300, z_min = 1e300;  // of every known position but the helices'
    double z_corte_min = 1e300;            // of the helices
    std::uint64_t linha_z_min = 0;         // where the path goes deepest
    void incluir(double x, double y) {
        x_max = std::max(x_max, x), x_min = std::min(x_min, x);
        y_max = std::max(y_max, y), y_min = std::min(y_min, y);
    }
};
}  // namespace visualizador

// The program around the passes: the spindle, feed and scale before the
// first cut, and its end.
struct Preambulo {
    std::uint64_t linha_m3 = 0, linha_m5 = 0, linha_m30 = 0;
    bool termina_em_m30 = false;
    // The last S and F before the first cut (the first F, where each pass
    // carries its own).
    bool tem_s = false, tem_f = false;
    double s = 0, f = 0;
    std::uint64_t linha_s = 0, linha_f = 0;
    bool tem_escala = false;
    double escala_x = 1, escala_y = 1;
    std::uint64_t linha_escala = 0;
    bool cortou = false;
    // After the first cut: the first M2 or M30 not yet followed by a move.
    std::uint64_t linha_fim = 0;
    std::uint64_t linha_m5_aberta = 0;  // an M5 with no M3 after it yet
};

// The extents comments at the end of an internal thread's file.
struct ExtensoesComentadas {
    Valor x_max, x_min, y_max, y_min, diametro;
    std::uint64_t linha = 0, linha_diametro = 0;
    bool apos_ultimo_passe = false;
};

class Modelo {
public:
    static constexpr std::size_t max_ilegiveis = 10;
    static constexpr std::size_t max_texto = 48;
    static constexpr std::size_t max_rapidos_passe = 8;
    // Points of the side view for all the passes drawn together.
    static constexpr std::size_t orcamento_lado = 64000;
    static constexpr std::size_t max_retidos = 24;
    // The operator's diameter (Ajuste): the window where no pass is
    // roughing, and the least window.
    static constexpr double janela_sem_desbaste = 0.2, janela_minima = 0.1;

    Modelo();
    Modelo(const Modelo&) = delete;
    Modelo& operator=(const Modelo&) = delete;

    // Observers are told in the order they were added; they must outlive
    // the reading.
    void observar(Observador& o) {
        observadores_.push_back(&o);
        if (o.segue_helice()) observadores_helice_.push_back(&o);
    }

    void acumular(const Linha& l);
    // A move the model does not take in (a later hole's, compared with the
    // first by FurosArquivo): what it means for the machine's state still counts.
    void acumular_fora(const Linha& l) {
        if (preambulo.cortou && l.tipo == TipoLinha::movimento) mudanca(l);
    }
    // The file as it runs with the operator's values (execucao.hpp): the
    // final diameter `diametro` in place of the header's, and without the
    // roughing passes when `desbastes` is false. Before the first pass.
    // `linha`: where the run set the diameter.
    void ajustar(double diametro, bool desbastes, std::uint64_t linha);
    // The operator's diameter against the answered one, and how far from it
    // a finishing pass still cuts as planned: twice its radial step either
    // way (the planned cut up to twice as deep, or down to none).
    struct Ajuste {
        bool feito = false;
        double de = 0, para = 0, janela = 0;
        std::uint64_t linha = 0;
        // The list's number of the first pass at Df (-1: no list). The
        // finishing passes are known by it, not by a diameter that a
        // roughing pass a few microns off prints alike.
        std::int64_t acabamento = -1;
        bool no_acabamento(std::int64_t numero, const Valor& diametro) const {
            if (acabamento >= 0 && numero >= 0) return numero >= acabamento;
            return std::fabs(diametro.v - para) <= folga_calculo;
        }
    } ajuste;
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

    visualizador::Extremos extremos;
    Preambulo preambulo;
    ExtensoesComentadas extensoes;

    // Lines that do not read.
    std::vector<LinhaIlegivel> ilegiveis;
    std::uint64_t total_ilegiveis = 0;
    std::uint64_t linha_cortada = 0;  // the last line, when it had no line end
    bool erro_leitura = false;

    // What the header says each pass is made of.
    const FormaPasse& forma() const { return segmentador_.forma(); }
    // Whether the header records ways of cutting (or a taper).
    bool modos() const { return cabecalho.modos.algum(); }
    // Polar moves in a row up to the last move, whose ends the control works
    // out: each carries its centre's rounding into the next one's start, by
    // up to `erro_polar` each.
    std::uint64_t polares() const { return polares_; }
    static constexpr double erro_polar = 2 * 1.4142135623730951 * 0.0005;
    // The radius a point of a tapered pass has at the face (Z 0): its
    // distance from the axis, moved back along the taper. Its distance for
    // a parallel thread.
    double raio_na_face(const Ponto3& p) const { return std::hypot(p.x, p.y) + forma().conicidade_raio * p.z; }
    // Change of a pass's radius per mm of depth (negative when it narrows).
    double conicidade_raio() const { return forma().conicidade_raio; }

    // Passes for the table and the picture, spread over the file; the last
    // pass is always among them.
    std::vector<Passe> retidos;
    const Passe* ultimo_passe() const { return retidos.empty() ? nullptr : &retidos.back(); }

private:
    // The parts of each pass, as the segmenter tells them.
    friend class Segmentador<Modelo>;
    void entrada(const Movimento& m);
    void inicio_helice(const Movimento& m);
    // A move of the helix: the checks are told of it, then the summary takes it in.
    void helice(const Movimento& m);
    void saida(const Movimento& m);
    void no_ar(const Movimento& m);
    void fim_passe();
    void rapido(const Movimento& m);

    void comentario(std::string_view texto, std::uint64_t linha);
    // The spindle, feed, M codes and scale of a line.
    void comando(const Linha& l);
    // What a line changes of the machine's state after the first cut, told
    // to the observers (Observador::mudanca).
    void mudanca(const Linha& l);
    void mudou(std::uint64_t linha, const std::string& texto);
    int compensacao_ = 40;  // in force, as the lines set it
    bool liga_compensacao_ = false;  // the line being taken in changes it
    void ilegivel(const Linha& l);
    // A feed move of a way: its length and time, its height, its points.
    void caminho(const Movimento& m, std::vector<PontoPlano>* guia);
    // A feed move's length, added to the run at the feed in force, whose
    // time is taken when the feed changes and at the end: a division a run,
    // not a move.
    double percorrido(const Movimento& m);
    void fechar_trecho();
    void alcancar_z(const Movimento& m);
    Passe* passe_anterior();

    // The helix's extents, and the points kept for the picture (amostras.cpp).
    void alargar(double x, double y, double z);
    // An arc's extremes, while the pass has turned no more than `graus_antes`
    // a turn and a half before it.
    void alargar_arco(const Movimento& m, double graus_antes);
    void definir_amostra();
    void amostrar_inicio(const Movimento& m);
    void amostrar_arco(const Movimento& m);
    void amostrar(double x, double z);
    void amostrar_guia(std::vector<PontoPlano>& guia, const Movimento& m);
    // A pass's diameter comment, after the operator's change: of a finishing pass.
    bool passe_no_acabamento(const Valor& diametro) const;

    std::vector<Observador*> observadores_, observadores_helice_;
    bool ajustado_ = false;
    std::uint64_t polares_ = 0;
    double diametro_de_ = 0, diametro_para_ = 0;
    Segmentador<Modelo> segmentador_{*this};
    bool forma_definida_ = false;
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
    bool tem_f_atual_ = false;
    double f_atual_ = 0;
    std::uint64_t linha_f_atual_ = 0;
    double trecho_ = 0;
    bool movido_no_trecho_ = false;
    // The extents of a compensated path are its cutter centre's: r + this.
    double fator_centro_ = 0;
    bool alargar_no_centro_ = false;  // a taper or a compensated path
    // A bore's ways along arcs widen its extents too, where its helix makes
    // less than a turn (amostras.cpp): the box of the pass's ways.
    bool alargar_caminhos_ = false;
    struct Caixa {
        bool tem = false;
        double x_max = 0, x_min = 0, y_max = 0, y_min = 0;
    } caixa_caminhos_;
    void alargar_caminho(const Movimento& m);
    void juntar_caminhos(const Passe& ps);

    // The way in of the pass to come.
    double comprimento_entrada_ = 0;
    std::vector<PontoPlano> guia_entrada_;

    // The turn comments before the next pass.
    bool volta_pendente_ = false;
    std::int64_t passe_pendente_ = -1, fio_pendente_ = 0, entrada_pendente_ = 0;
    Valor diametro_pendente_;
    std::uint64_t linha_pendente_ = 0;
};
