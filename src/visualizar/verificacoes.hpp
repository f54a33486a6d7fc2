#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The results of the checks of the path against the file's own header. Each
// keeps the first place where it fails (line, what differs, where on the
// path) and how many times it failed. The checks themselves are in
// conferencias.hpp.

enum class Estado : std::uint8_t { ok, falha, nao_avaliada, nao_se_aplica };

struct ResultadoVerificacao {
    int numero = 0;
    const char* titulo = "";
    Estado estado = Estado::ok;
    std::uint64_t linha = 0;  // of the first failure; 0 when it is about the whole file
    std::string detalhe;      // what differs there, or why it was not made
    std::uint64_t ocorrencias = 0;
    // The lines of the first failures, in the order met, each once.
    static constexpr std::size_t max_linhas = 4;
    std::array<std::uint64_t, max_linhas> linhas{};
    std::size_t quantidade_linhas = 0;
    bool tem_ponto = false;   // the first failure has a place on the path
    double x = 0, y = 0, z = 0;
    // Where a check names every failing line with what is wrong there: the
    // first `max_notas` of them after the first, which `detalhe` holds.
    struct Nota {
        std::uint64_t linha = 0;
        std::string texto;
    };
    static constexpr std::size_t max_notas = 24;
    std::vector<Nota> notas;
};

class Verificacoes {
public:
    static constexpr int quantidade = 7;
    enum Numero : int {
        arquivo_completo = 1,
        circulo = 2,
        raio_e_passes = 3,
        profundidade_e_avanco = 4,
        diametro_usinado = 5,
        rapidos_e_preambulo = 6,
        // Only for a file with ways of cutting; not shown for the others.
        entradas_e_saidas = 7,
    };

    Verificacoes();

    // Records a failure; only the first one's line and text are kept.
    void falha(int numero, std::uint64_t linha, const std::string& detalhe);
    void falha_no_ponto(int numero, std::uint64_t linha, const std::string& detalhe, double x, double y, double z);
    // The same, for a check that names each failing line with its own text.
    void falha_com_nota(int numero, std::uint64_t linha, const std::string& detalhe, double x, double y, double z);
    // More failures of a kind already recorded.
    void contar(int numero, std::uint64_t vezes);
    // A check that does not apply, or could not be made, with the reason.
    void marcar(int numero, Estado estado, const std::string& motivo);

    // "(7 ocorrencias ao todo: linhas 12, 15, 18 e mais 4)" for check
    // `numero`; empty when it failed once or not at all.
    std::string ocorrencias(int numero) const;

    const ResultadoVerificacao& operator[](int numero) const { return itens_[static_cast<std::size_t>(numero - 1)]; }
    bool todas_ok() const;
    // Whether check `numero` is shown: the ways-in-and-out check only where
    // it applies.
    bool visivel(int numero) const {
        return numero != entradas_e_saidas || (*this)[numero].estado != Estado::nao_se_aplica;
    }

private:
    std::array<ResultadoVerificacao, quantidade> itens_;
};
