#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "visualizar/expressao.hpp"
#include "visualizar/leitor_linhas.hpp"

// A file with subprograms, variables or coordinate shifts, run as the
// control would: the variables from the values the file sets at its top,
// the calls, the jumps and the conditions followed, each shift applied. What
// it hands on are the blocks that move or say something, one at a time, with
// their values written out as numbers, in the file's language, so that the
// readers read them as any other line. The languages' constructs the
// generator writes are run, in any dialect: LinuxCNC's O-words and named
// parameters; Fanuc's macro variables, IF GOTO, M98/M99 and G52; plain
// language's Q parameters, FN 9 to 12, labels and datum shift (cycle 7);
// Sinumerik's R parameters, IF GOTOF/GOTOB, labels, REPEAT and TRANS.
// Anything else of those constructs stops the run with the reason at its
// line. Every run is bounded: the blocks run, the calls nested.

struct BlocoExecutado {
    // The block as the reader reads it (LinhaTexto: only the start of a
    // line too long to read); LeitorLinhas::folga NUL bytes follow it.
    // Valid until the next call.
    LinhaTexto linha;
    // The shift in force: the block's X and Y are this far from the program's zero.
    double dx = 0, dy = 0;
    // The call of a subprogram from the main program whose run handed the
    // block on, numbered from 1 in the run's order; 0 outside any.
    std::uint64_t chamada = 0;
    // Not 0: the block stands for a whole call from the main program that
    // was not run again, since it repeats call number `repete` with the
    // same values (at another shift, this block's): hole after hole. Its
    // line is the call's, without text.
    std::uint64_t repete = 0;
};

class ExecucaoPrograma {
public:
    static constexpr std::uint64_t max_blocos_padrao = 100'000'000;
    // The bound of a run: this, and so many blocks per line of the file and
    // per hole its header lists.
    static constexpr std::uint64_t blocos_minimos = 1'000'000;
    static constexpr std::uint64_t blocos_por_linha = 8, blocos_por_furo = 64;
    static constexpr std::size_t max_chamadas = 16;
    // A file to run is held whole: one hole written once is small.
    static constexpr std::size_t max_bytes = std::size_t{64} << 20;

    // `texto`: the file from its line `primeira_linha` on, each line as
    // LeitorLinhas cut it followed by "\n" (the last one without, when the
    // file ends without); `longas`: the lines of it too long to read (their
    // numbers in the file, and their lengths); `furos_antes`: the holes
    // the header listed before that line.
    ExecucaoPrograma(std::string texto, std::uint64_t primeira_linha,
                     std::vector<std::pair<std::uint64_t, std::uint64_t>> longas = {}, std::uint64_t furos_antes = 0,
                     std::uint64_t max_blocos = max_blocos_padrao);

    // The next block run; false at the program's end or where the run stops.
    bool proximo(BlocoExecutado& b);

    // Why the run stopped short, and where; empty when it ran to its end.
    const std::string& erro() const { return erro_; }
    std::uint64_t linha_erro() const { return linha_erro_; }
    // Faults of the file wherever the run goes: a target defined twice, a
    // jump or call to none; each with its line.
    const std::vector<std::pair<std::uint64_t, std::string>>& problemas() const { return problemas_; }
    std::uint64_t linhas() const { return primeira_ - 1 + linhas_.size(); }
    // The value the run has given the variable `nome` ("#100", "Q1600"); false when none.
    bool variavel(std::string_view nome, double& v) const;
    // The line that last set it; 0 when none did.
    std::uint64_t linha_variavel(std::string_view nome) const;

    // A call from the main program that repeats an earlier one (the same
    // subprogram, the same values of every variable it reads before it
    // sets it) is handed on as one block (BlocoExecutado::repete), without
    // its run, when `pode(earlier call)` says so: what that call did is done
    // again, its variables set as it left them. Without this, every call runs.
    void repetir_chamadas(std::function<bool(std::uint64_t)> pode) { pode_repetir_ = std::move(pode); }

private:
    enum class Passo : std::uint8_t { seguir, emitir, parar };
    struct Quadro {
        std::size_t retorno = 0;
        std::uint64_t linha_chamada = 0;
        std::string fim;  // REPEAT's last label
        bool o_call = false;
        std::vector<std::pair<std::string, double>> argumentos;  // LinuxCNC's #1 to #30 of the caller
        // The shift before the call: its X and Y arguments were taken as one.
        bool desloca = false;
        double dx = 0, dy = 0;
    };
    // A call from the main program, recorded as it runs; then remembered.
    struct Chamada {
        std::uint64_t numero = 0;
        std::size_t destino = 0;
        double dx = 0, dy = 0;  // the shift it ran at
        std::map<std::string, std::optional<double>, std::less<>> entradas;  // read before set
        std::set<std::string, std::less<>> escritas;
        std::vector<std::pair<std::string, std::optional<double>>> saidas;  // as it left them
        bool repetivel = true;
    };
    struct Partes {
        std::string_view prefixo, codigo, comentario;
    };

    // What a block that does not steer the run is, once run: its line as it
    // is, or with its values written out; and whether it ends the program.
    struct Info {
        enum : std::uint8_t { desconhecido, copiar, substituir } tipo = desconhecido;
        bool fim = false;
    };
    // Hands on the block in `buffer_`, the run at its line; `fim` when it ends the program.
    bool emitir(BlocoExecutado& b, bool fim);

    Partes separar(std::string_view linha) const;
    Passo executar(const Partes& p, std::string_view maiusculo);
    Passo falhar(std::string motivo);
    bool atribuir(std::string_view nome, std::string_view expressao);
    bool valor(std::string_view expressao, double& v);
    // The axis words of a shift, "X5 Y-2", "X=5" or "X[#1+3]"; another
    // word fails with `recusa`. False when the run stops.
    struct Eixos {
        bool tem_x = false, tem_y = false;
        double x = 0, y = 0;
    };
    bool eixos(std::string_view palavras, const std::string& recusa, Eixos& e);
    // Jumps: to the first line with `chave` after the current one (or before
    // it, when `para_tras`, or on either side, with `ambos`).
    bool saltar(const std::string& chave, bool para_tras, bool ambos, std::string_view descricao);
    Passo chamar(std::size_t destino, Quadro q);
    // A remembered call that the call to `destino` repeats; null when none.
    const Chamada* lembrada(std::size_t destino) const;
    Passo repetir(const Chamada& c, const Quadro& q);
    void escrever(const std::string& nome, double v);
    void apagar(const std::string& nome);
    // LinuxCNC: the subprogram at `destino` adds #1 to X and #2 to Y alone,
    // so a call's first two arguments are a shift.
    bool centro_nos_argumentos(std::size_t destino);
    Passo retornar(std::string_view o_que);
    Passo o_palavra(std::string_view maiusculo);
    Passo substituir(const Partes& p);
    void indexar();
    void problema(std::size_t i, std::string motivo);

    std::string texto_;
    std::uint64_t primeira_ = 1;
    std::vector<std::string_view> linhas_;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> longas_;  // sorted
    std::vector<Info> info_;
    bool ultima_sem_fim_ = false;
    bool texto_claro_ = false;
    std::map<std::string, std::vector<std::size_t>, std::less<>> alvos_;
    // Each label's O-words, in the file's order: the line and its word (SUB, IF, ELSE ...).
    std::map<std::string, std::vector<std::pair<std::size_t, std::string>>, std::less<>> o_palavras_;
    std::vector<std::pair<std::uint64_t, std::string>> problemas_;
    std::size_t pc_ = 0;
    bool saltou_ = false;
    bool terminado_ = false;
    bool fim_pgm_ = false;  // plain language: only END PGM is left to hand on
    std::uint64_t blocos_ = 0, max_blocos_;
    std::vector<Quadro> quadros_;
    Variaveis variaveis_;
    std::map<std::string, std::uint64_t, std::less<>> linhas_variaveis_;
    std::function<bool(std::uint64_t)> pode_repetir_;
    std::vector<Chamada> lembradas_;
    std::optional<Chamada> gravando_;
    std::uint64_t chamadas_ = 0;
    std::uint64_t repete_ = 0;  // the repetition to hand on next, and its shift
    double repete_dx_ = 0, repete_dy_ = 0;
    std::map<std::size_t, bool> centro_nos_argumentos_;
    double dx_ = 0, dy_ = 0;
    std::uint64_t linha_deslocamento_ = 0;
    std::string buffer_;
    std::string erro_;
    std::uint64_t linha_erro_ = 0;
};

// Whether a line is a block (not only comments, blanks or a block number),
// and whether it is one of the constructs that only a run reads: variables,
// subprograms, jumps, shifts. They come within the program's first blocks.
enum class ClasseBloco : std::uint8_t { nenhum, simples, executar };
ClasseBloco classificar_bloco(std::string_view linha);
inline constexpr int blocos_para_decidir = 64;
// The same over the first lines of a file.
bool precisa_executar(std::string_view inicio);
