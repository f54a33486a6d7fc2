#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

// Seeded random jobs for the generator, the edits an operator may make to
// their files, and the viewer's verdict on each: the harness of the
// property tests and of tests/varredura.sh.

// Draws that are the same on every platform for one seed: the 64-bit
// Mersenne Twister's sequence is fixed by the standard, the library's
// distributions are not, so every draw below is made from its raw words
// with integer arithmetic alone.
class Sorteio {
public:
    explicit Sorteio(std::uint64_t semente) : gerador_(semente) {}
    std::uint64_t bruto() { return gerador_(); }
    // Uniform in [0, n), n > 0, without the bias of a plain remainder.
    std::uint64_t abaixo(std::uint64_t n);
    // Uniform in [minimo, maximo].
    long long entre(long long minimo, long long maximo);
    bool chance(int por_cento) { return entre(1, 100) <= por_cento; }
    template <class T>
    const T& um_de(const std::vector<T>& itens) {
        return itens[static_cast<std::size_t>(abaixo(itens.size()))];
    }
    template <class T>
    void embaralhar(std::vector<T>& itens) {
        for (std::size_t i = itens.size(); i > 1; --i)
            std::swap(itens[i - 1], itens[static_cast<std::size_t>(abaixo(i))]);
    }

private:
    std::mt19937_64 gerador_;
};

// The seed of draw `indice` of a sweep seeded `semente`: each draw from its
// own generator, so that one draw is made again alone.
std::uint64_t semente_do_sorteio(std::uint64_t semente, std::uint64_t indice);

// A decimal answer as it is typed: `unidades` of 10^-casas, so that its
// text comes from integers alone.
struct Numero {
    long long unidades = 0;
    int casas = 0;
    std::string texto() const;  // "20.112", "0", "-1.5": no trailing zeros
    double valor() const;
};
// Uniform in [minimo, maximo] in steps of 10^-casas (casas 0 to 6).
Numero sortear_numero(Sorteio& s, double minimo, double maximo, int casas);

// One run of the generator: the answers to its questions, the options on
// its command line and the file of hole centres they may name.
struct Trabalho {
    std::uint64_t indice = 0;    // of the draw, in its sweep
    std::string origem;          // "sorteado", the designation it comes from, or the known case
    std::vector<std::string> respostas;
    std::vector<std::string> opcoes;  // the words, in order
    std::string furos;           // the holes file's text, named furos.txt; empty without --furos

    // What the options choose: the dialect (lower case), the tool, the mode
    // the edits depend on.
    std::string comando() const;
    int ferramenta() const;
    bool ajuste_na_maquina() const;
    // The thread length answered.
    double comprimento() const;
    // The file's name: --saida's, or the one the program chooses.
    std::string nome_arquivo() const;
    // The command line's options, quoted for a shell.
    std::string linha_de_comando() const;
    // "I 20 0 10 2 1 D 0 1000 200 --comando linuxcnc": the answers on one line, then the options.
    std::string resumo() const;
};

// Reads a job written as resumo() writes it; the holes file's text apart.
Trabalho trabalho_de(const std::string& resumo, const std::string& furos = "");

// A job drawn from `semente`: random answers to every question and a random
// set of options, small enough that its file stays far under 1 MB. Some
// draws start from a standard size's answers (rosca-helicoidal --medidas).
// The generator refuses some of them: the caller counts and skips those.
Trabalho sortear_trabalho(std::uint64_t semente, std::uint64_t indice);

// The generator run on a job, in a temporary directory.
struct Geracao {
    int status = -1;
    std::string arquivo;  // the file it wrote
    std::string erros;
};
Geracao gerar(const Trabalho& t);

// Changes to the lines of a file, as an operator or an editor makes them.
struct Edicao {
    enum class Tipo { trocar, inserir, remover };
    struct Mudanca {
        Tipo tipo = Tipo::trocar;
        std::size_t linha = 0;  // 1-based: the line replaced, removed, or that the inserted one becomes
        std::string texto;      // the new line, without its end
        bool renumerar = false;  // plain language: the blocks after an inserted one, one number up
    };
    std::string nome;  // what the edit is, in a few words; edits of one kind share it
    std::vector<Mudanca> mudancas;  // made in order
    // The lines where the viewer must name it.
    std::vector<std::size_t> linhas_esperadas;

    std::string aplicar(const std::string& arquivo) const;
    // The same edit as a shell command, from the file `de` to the file `para`.
    std::string comando(const std::string& de, const std::string& para, bool crlf) const;
    std::string descricao() const;
};

// How far the operator may move the final diameter in a file written with
// --ajuste-na-maquina and still have a file the viewer accepts: 0.05 mm on
// the diameter for now, for every job.
double janela_do_diametro(const Trabalho& t);

// The edits an operator may make to a file written with --ajuste-na-maquina,
// which the viewer must accept: the final diameter's variable at both ends
// of the window and at a point drawn inside it, the roughing skipped, and
// both. None for a file without the variables.
std::vector<Edicao> edicoes_de_ajuste(const Trabalho& t, const std::string& arquivo, Sorteio& s);

// The final diameter's variable moved by `milesimos` thousandths of a mm;
// none for a file without it.
std::optional<Edicao> mudar_diametro(const Trabalho& t, const std::string& arquivo, long long milesimos,
                                     const std::string& nome);

// Edits that make a file unfit to run, each of which the viewer must fail
// at its line: a program end, spindle stop, zero speed, zero feed, tool
// change or speed beyond the spindle in the middle of a helix; the header's
// pitch or cutting time made nonsense; a plain-language program without its
// end; an incremental shift; a jump to a label that is not there; a label
// given twice; the final diameter's variable far outside the window. Only
// those that apply to the file.
std::vector<Edicao> edicoes_ruins(const Trabalho& t, const std::string& arquivo, Sorteio& s);

// What the viewer said of a file.
struct Veredito {
    int status = -1;
    bool tudo_confere = false;
    struct Falha {
        int verificacao = 0;
        std::string texto;                 // its first message, lines joined, "linha N: " left out
        std::vector<std::size_t> linhas;   // every line it names
    };
    std::vector<Falha> falhas;
    std::string relato;  // the failing checks and unreadable lines as printed
    bool nomeia(std::size_t linha) const;
    // Each failure's shape, for grouping: its check and its message with
    // the numbers and what follows ";" out, "2: ponto a # mm do eixo".
    std::vector<std::string> classes() const;
};
Veredito ler_veredito(int status, const std::string& saida);

// The built viewer on `arquivo`, in a temporary directory.
Veredito visualizar(const std::string& nome, const std::string& arquivo);

// A job, an edit and what the viewer said, as a developer pastes it: the
// answers one per line, the options, the holes file, the edit, shell
// commands that make it all again, and the viewer's failing lines.
std::string reproducao(const Trabalho& t, const Edicao* e, const Veredito& v);

// The seed, counts and report file of a sweep, from the environment:
// ROSCA_SORTEIO_SEMENTE (1), ROSCA_SORTEIO_PRIMEIRO (the first draw, 0),
// `variavel_quantos` (how many valid jobs, `quantos` when unset),
// ROSCA_SORTEIO_RELATORIO (a file the sweep's classes of failure are
// appended to; none when unset).
struct Parametros {
    std::uint64_t semente = 1, primeiro = 0;
    std::size_t quantos = 0;
    std::string variavel_quantos;
    std::string relatorio;
    // "ROSCA_SORTEIO_SEMENTE=1 ROSCA_SORTEIO_PRIMEIRO=37 ...=1": draw `indice` alone.
    std::string ambiente_de(std::uint64_t indice) const;
};
Parametros parametros(const char* variavel_quantos, std::size_t quantos);

// The failures of a sweep, in classes: how many cases fell in each, and the
// smallest few of them.
class Classes {
public:
    struct Caso {
        Trabalho trabalho;
        bool com_edicao = false;
        Edicao edicao;
        Veredito veredito;
        std::vector<std::string> classes;  // every class the case falls in
        std::size_t tamanho = 0;           // of the file, to find the smallest
    };
    void anotar(const std::string& classe, Caso caso);
    const std::map<std::string, std::size_t>& contagens() const { return contagens_; }
    // The same case made again for a smaller job; none when that job is
    // not valid or the edit does not apply to its file.
    using Refazer = std::function<std::optional<Caso>(const Trabalho& menor, const Caso& original)>;
    // The `por_classe` smallest cases of each class made as small as they
    // go while they stay in it (reduzir_trabalho).
    void reduzir(const Refazer& refazer, std::size_t por_classe, int tentativas);
    // Markdown: a table of the classes and their counts, then for each up to
    // three of its smallest cases, answers, options, edit and the viewer's lines.
    std::string markdown() const;

private:
    static constexpr std::size_t guardados = 12;
    std::map<std::string, std::vector<Caso>> classes_;
    std::map<std::string, std::size_t> contagens_;
};

// Makes a job smaller while `mesma` still holds of it: options left out one
// by one, holes dropped, answers made plainer. At most `tentativas` calls.
Trabalho reduzir_trabalho(const Trabalho& t, const std::function<bool(const Trabalho&)>& mesma, int tentativas);

// Appends `texto` to the report file, when there is one.
void acrescentar_ao_relatorio(const Parametros& p, const std::string& texto);
