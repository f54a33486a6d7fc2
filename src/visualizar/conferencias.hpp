#pragma once

#include <array>
#include <cstdint>

#include "visualizar/modelo.hpp"
#include "visualizar/observador.hpp"
#include "visualizar/verificacoes.hpp"
#include "vocabulario/geometria.hpp"

// The seven checks, each an observer of the model that writes its own line
// of the results. Each reads the model (the header above all) and the parts
// of each pass as the segmenter finds them, and keeps only what it needs
// between moves, never per line.

// What each check holds: the model it reads, the results it writes.
class Conferencia : public Observador {
public:
    Conferencia(const Modelo& m, Verificacoes& v) : m_(m), v_(v) {}

protected:
    const Modelo& m_;
    Verificacoes& v_;
};

// 1. The file is whole and every line reads.
class ConferenciaArquivo final : public Conferencia {
public:
    using Conferencia::Conferencia;
    void fim_arquivo(const Modelo& m) override;

};

// 2. Every point of a helix on one circle about the axis.
class ConferenciaCirculo final : public Conferencia {
public:
    using Conferencia::Conferencia;
    void inicio_helice(const Passe& p, const Movimento& m) override;
    bool segue_helice() const override { return true; }
    void helice(const Passe& p, const Movimento& m) override;
    void fim_arquivo(const Modelo& m) override;

private:
    // Whether point `q` is on the pass's circle.
    bool no_circulo(const Ponto3& q, double& r) const;
    void falha(const Passe& p, std::uint64_t linha, const Ponto3& q, double r);

    // The pass's radius (at the face, for a taper) and the band about it;
    // the band of squared radii, for a parallel thread.
    bool conica_ = false;
    double raio_ = 0, banda_ = 0;
    double r2_baixo_ = 0, r2_alto_ = 0;
};

// 3. Each pass's radius and the pass list of the header.
class ConferenciaPasses final : public Conferencia {
public:
    using Conferencia::Conferencia;
    void inicio_helice(const Passe& p, const Movimento& m) override;
    void comentario_no_passe(const Passe& p, const Comentario& c, std::uint64_t linha,
                             std::uint64_t movimentos) override;
    void fim_passe(const Passe& p) override;
    void fim_arquivo(const Modelo& m) override;

private:
    void conferir_lista(const Cabecalho& c);
    // The roughing passes of a plan of equal areas where the header's rule puts them.
    void conferir_area_igual(const Cabecalho& c);

};

// 4. The helix from the face at the start angle to L (or back up): depth one
// pitch per turn, one-degree advance in the hand's direction, the turns
// counted. A thread of several starts: each start at its share of the turn,
// one lead a turn. A mill of several profiles: each revolution a whole turn
// at its depth, as many as the header says and as the length needs, so that
// the profiles reach from the face to L. With either, every point of a
// helix on the thread's family of helices.
class ConferenciaProfundidade final : public Conferencia {
public:
    using Conferencia::Conferencia;
    void inicio_helice(const Passe& p, const Movimento& m) override;
    bool segue_helice() const override { return true; }
    void helice(const Passe& p, const Movimento& m) override;
    void comentario_no_passe(const Passe& p, const Comentario& c, std::uint64_t linha,
                             std::uint64_t movimentos) override;
    void fim_passe(const Passe& p) override;
    void fim_arquivo(const Modelo& m) override;

private:
    // One move of the helix, the first or a later one.
    void mover(const Movimento& m, bool primeiro);
    void corda(const Movimento& m);
    void corda_na_face(const Movimento& m);
    void arco(const Movimento& m);
    void conferir_angulo(const Ponto3& p, double r, double e, std::uint64_t linha, const char* qual);
    void falha_avanco(const Movimento& m, double xr, double yr);
    void falha_profundidade(const Movimento& m, double passo);
    void falha_volta(const Movimento& m, double volta);
    void conferir_z_minimo(const Modelo& m);
    // A mill of several profiles: a chord of a revolution, the revolution's
    // start and end, and the header's count of revolutions.
    void corda_volta(const Movimento& m);
    void inicio_volta(const Passe& p, const Movimento& m);
    void fim_volta(const Passe& p);
    void conferir_voltas(const Cabecalho& c);
    // Whether point `q` is on one of the thread's helices or a whole pitch from one.
    void conferir_familia(const Ponto3& q, std::uint64_t linha);

    // The limits of the pass being read, set at its first point.
    int sentido_ = 0;          // +1 counter-clockwise seen from above, -1 clockwise
    int sentido_angulo_ = 0;   // the same for the hand, face down
    bool sobe_ = false;        // from the thread length up
    double sinal_z_ = 1;       // -1 when the depth decreases along the pass
    double e_z_ = 0, tol_passo_ = 0;  // of a depth, and of the pitch per turn
    double giro_c_ = 1, giro_s_ = 0, tol_giro_ = 0;
    double passo_min_ = 0, passo_max_ = 1e300;
    double volta_min_ = -1e300, volta_max_ = 1e300;
    bool conferir_volta_ = false;
    // The depth at each step of the last turn.
    std::array<double, vocabulario::passos_por_volta> z_volta_{};
    // Where each of them is: a turn's depth is taken at the same angle only
    // (a start short of a whole degree makes a chord more in a pass).
    std::array<double, vocabulario::passos_por_volta> x_volta_{}, y_volta_{};
    // The helix's advance a turn (the lead: a pitch a start) and its
    // printing's share; the angle its start meets the face at.
    double avanco_ = 0, tol_avanco_ = 0;
    bool avanco_conhecido_ = false;
    double angulo_entrada_ = 0;
    std::int64_t entradas_ = 1;
    // Every point checked against the family of helices.
    bool familia_ = false;
    // A revolution of a mill of several profiles, and where it ends.
    bool volta_ = false;
    double fim_volta_ = 0, tol_volta_ = 0;
};

// 5. The machined diameter of an internal thread, and the bore.
class ConferenciaDiametro final : public Conferencia {
public:
    using Conferencia::Conferencia;
    void fim_arquivo(const Modelo& m) override;

};

// 6. Spindle and feed before the first cut, scale 1, and the rapid moves:
// after each pass away from the thread at depth, then up above the part;
// below the face, in any direction, only where the drilled hole or the
// space round the blank leaves the cutter clear of the material.
class ConferenciaPreambulo final : public Conferencia {
public:
    using Conferencia::Conferencia;
    void entrada(const Movimento& m) override;
    void inicio_helice(const Passe& p, const Movimento& m) override;
    void saida(const Passe* p, const Movimento& m) override;
    void fim_passe(const Passe& p) override;
    void rapido(const Movimento& m) override;
    void mudanca(std::uint64_t linha, const std::string& texto) override {
        v_.falha(Verificacoes::rapidos_e_preambulo, linha, texto);
    }
    void fim_arquivo(const Modelo& m) override;

private:
    // The space of the header's hole or blank; false when the header does not give it.
    bool espaco(vocabulario::EspacoLivre& e, double& tolerancia) const;
    // Where the cutter's centre is with the tool at `p`: offset by the
    // control's compensation, where it is on, from the last direction of travel.
    Ponto3 centro(const Ponto3& p, int compensacao) const;
    // Judges a rapid move below the face against the hole or the blank.
    void conferir_espaco(const Movimento& m);
    // The retract after a pass: away from the thread, then up.
    void conferir_retracao(const Movimento& m);
    // A rapid out of the groove just cut, against the finished thread.
    void conferir_filete(const Movimento& m);
    void rumo_de(const Movimento& m);
    // Whether `p`, at its depth, is where the cutter touches nothing: in the
    // bore or out of the blank, as the header gives them.
    bool livre(const Ponto3& p) const;

    enum class Retracao { nenhuma, afastar, subir };
    Retracao retracao_ = Retracao::nenhuma;
    Ponto3 ultimo_corte_;
    double raio_ultimo_ = 0, erro_ultimo_ = 0;
    // The last move was a feed move: a rapid may leave the groove it cut.
    bool apos_corte_ = false;
    // The direction of travel at the end of the last feed move in X and Y.
    bool tem_rumo_ = false;
    double rumo_x_ = 0, rumo_y_ = 0;
    double rumo_erro_ = 0;  // radians the printing leaves the direction
    bool caminho_apos_helice_ = false;
    Ponto3 fim_saida_;  // where the pass's way out ended
};

// 7. With ways of cutting: each pass's way in and out clear of the material
// and tangent to the helix where the header says so, the control's cutter
// compensation on the right side, and each pass's feed; where the header
// gives the time the path takes at its feeds, that time within 1 %.
class ConferenciaCaminhos final : public Conferencia {
public:
    using Conferencia::Conferencia;
    void entrada(const Movimento& m) override;
    void saida(const Passe* p, const Movimento& m) override;
    void inicio_helice(const Passe& p, const Movimento& m) override;
    void fim_passe(const Passe& p) override;
    void rapido(const Movimento& m) override;
    void fim_arquivo(const Modelo& m) override;

private:
    // The radius the header gives pass `ordem`'s path at depth `profundidade`; false when it cannot say.
    bool raio_esperado(std::uint64_t ordem, double profundidade, double& r) const;
    void conferir_livre(std::uint64_t ordem, const Movimento& m);
    // Fails where directions (ax, ay) and (bx, by) break by more than `tol`
    // degrees: the way in or out (`onde`) is not tangent to what it meets.
    void conferir_tangente(const char* onde, const char* onde_quebra, std::uint64_t linha, Ponto3 em, double ax,
                           double ay, double bx, double by, double tol);
    // How far a taper turns chord `m` of length `comprimento` off the tangent (degrees).
    double desvio_conico(const Movimento& m, double comprimento) const;
    // The header's cutting time by the path against the path's own, at the file's feeds.
    void conferir_tempo(const Modelo& m);

    // The way in of the pass to come: its moves in X and Y, and the last of them.
    std::uint64_t entradas_ = 0;
    Movimento ultima_entrada_;
    // Where the way in was heading at the end of its last move in X and Y,
    // and the length that makes that direction sure.
    bool tem_rumo_entrada_ = false, arco_entrada_ = false;
    double rumo_x_ = 0, rumo_y_ = 0, rumo_comprimento_ = 0;
    // The way out of the pass being read.
    std::uint64_t saidas_ = 0;
};

// Whether the model read any feed move; when not, marks check `numero` as
// not made and says so.
bool houve_corte(const Modelo& m, Verificacoes& v, int numero);

// When the header's value `rotulo` was unreadable, fails check `numero`
// at its line, saying what could not be checked (`o_que`); true then.
bool falha_se_ilegivel(const Cabecalho& c, Verificacoes& v, int numero, const char* rotulo, const char* o_que);
