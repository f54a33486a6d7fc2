#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "visualizar/cabecalho.hpp"
#include "visualizar/leitor_gcode.hpp"
#include "visualizar/verificacoes.hpp"
#include "vocabulario/comentarios.hpp"

// A file of several holes: the header lists their centres ("Furo k: X Y"),
// the path cuts the same thread at each. The checks see the first hole
// only, about its centre, as a file of one hole; every other hole's cutting
// moves are compared with the first's moved to that hole's centre. The path
// reaches the next hole, in the header's order, by a rapid above the part
// that comes nearer to its centre than to the hole before's: before the
// first hole the path stands at the program's zero.

struct FuroVisto {
    double x = 0, y = 0;       // the header's centre
    std::uint64_t linha = 0;   // of its header line
    std::uint64_t linha_inicio = 0;  // where the path reaches it; 0 never
    bool confere = true;       // its cut repeats the first hole's
};

class FurosArquivo {
public:
    static constexpr std::size_t max_furos = 100000;
    // The first hole's cutting moves kept to compare the others with.
    static constexpr std::size_t max_cortes = std::size_t{1} << 22;
    // Where a hole's move may be off the first's, moved: the printing's.
    static constexpr double tolerancia = 0.002;

    // `c`: the header, whose diameters say how far apart the holes must be.
    FurosArquivo(Verificacoes& v, const Cabecalho& c) : v_(v), c_(c) {}

    // Each line before the model sees it; false when it must not (a move of
    // a hole after the first). The first hole's moves are moved to its centre.
    bool filtrar(Linha& l) { return transparente() || filtrar_furo(l); }
    // From now on every line passes unchanged (no holes listed): `filtrar`
    // need not be called.
    bool transparente() const { return movido_ && furos_.empty(); }
    // After the last line: holes the path never reached, a hole cut short
    // or the header's count against its list.
    void fim();

    bool ativo() const { return !furos_.empty(); }

    // A program that calls a subprogram for each hole (execucao.hpp): the
    // moves of call `numero` begin (at its shift) and end, and a later call may be taken
    // for a repetition of an earlier whole hole's, not run again.
    void inicio_chamada(std::uint64_t numero, double dx, double dy);
    void fim_chamada(std::uint64_t numero);
    // Whether call `numero` cut one whole hole before the one the path has
    // just reached, which has no cut yet.
    bool pode_repetir(std::uint64_t numero) const;
    // The hole the path has reached is cut as call `numero` cut its hole,
    // moved by the difference of their shifts (the call's at `dx`, `dy`).
    void repetir(std::uint64_t numero, double dx, double dy, std::uint64_t linha);
    // What the header says each hole's path takes ("Furos: N - T minutos cada").
    const Valor& minutos_cada() const { return minutos_cada_; }
    const std::vector<FuroVisto>& furos() const { return furos_; }

private:
    struct Chamada {
        std::size_t furo = 0;
        std::uint64_t cortes_antes = 0, cortes = 0;
        double dx = 0, dy = 0;
    };
    std::vector<Chamada> chamadas_;
    std::vector<std::uint64_t> cortes_furo_;  // of each hole left behind
    struct Corte {
        TipoMovimento tipo;
        bool tem_z;
        Ponto3 para;
        double cx, cy;
        std::uint64_t linha;
    };
    bool filtrar_furo(Linha& l);
    void cabecalho(const Linha& l);
    void entrar(std::size_t furo, std::uint64_t linha);
    void fechar_furo();
    void comparar(const Movimento& m);
    void falha(std::uint64_t linha, const std::string& texto);
    // Holes whose centres are closer than the thread's outer diameter and
    // the mill's: each would cut into the other.
    void conferir_separacao();

    Verificacoes& v_;
    const Cabecalho& c_;
    std::vector<FuroVisto> furos_;
    std::int64_t declarados_ = -1;
    Valor minutos_cada_;
    std::uint64_t linha_declarados_ = 0;
    bool movido_ = false;  // past the header
    std::size_t atual_ = 0;  // 0 before the first hole, else 1 to the holes' count
    std::vector<Corte> modelo_;
    std::uint64_t cortes_atual_ = 0;
    std::uint64_t cortes_primeiro_ = 0;
    bool falhou_atual_ = false;
};
