// The pass writer alone, into a destination that drops the bytes, so only
// the forming of the text is timed: the fast chord writer against the plain
// one it is checked against, and the three-decimal formatter against
// snprintf.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dialogue/dialogo_diametros.hpp"
#include "dialogue/dialogo_helice_corte.hpp"
#include "nucleo/console.hpp"
#include "nucleo/formato_fixo.hpp"
#include "emissao/emissor.hpp"
#include "percurso/construir.hpp"
#include "planning/calcular_estimativas.hpp"
#include "planning/planejar_passes.hpp"

namespace {

struct Contagem {
    std::size_t bytes = 0;
    std::size_t linhas = 0;
};

// Drops the bytes; counts them and their lines when given where to.
class DestinoDescarte final : public DestinoArquivo {
public:
    explicit DestinoDescarte(Contagem* contagem = nullptr) : contagem_(contagem) {}
    bool gravar(const char* dados, std::size_t n) override {
        if (contagem_ != nullptr) {
            contagem_->bytes += n;
            for (std::size_t i = 0; i < n; ++i) contagem_->linhas += dados[i] == '\n';
        }
        return true;
    }
    bool fechar() override { return true; }

private:
    Contagem* contagem_;
};

// The record as the program leaves it before writing the file, from the answers.
DadosRosca planejar(const std::string& respostas) {
    auto console = Console::em_memoria(respostas);
    DadosRosca d;
    dialogo_diametros(d, *console);
    dialogo_helice_corte(d, *console);
    planejar_passes(d, *console);
    calcular_estimativas(d);
    return d;
}

// Internal, 21 passes of 100 turns: 756,000 g01 lines, about 23 MB.
const char* const trabalho_referencia = "I\n100\n60\n1\n0.5\n20\n50\n0.5\nD\n0\n1000\n200\n";
// The same with a length of 500: ten times the lines.
const char* const trabalho_dez_vezes = "I\n100\n60\n1\n0.5\n20\n500\n0.5\nD\n0\n1000\n200\n";

float gerar(const Percurso& percurso, SaidaArquivo& arquivo, OpcoesEmissao opcoes,
            const vocabulario::Dialeto& dialeto) {
    Emissor emissor(dialeto, arquivo, opcoes);
    emissor.passes(percurso);
    return emissor.extremos().x_max;
}

void medir_gerador(benchmark::State& state, OpcoesEmissao opcoes, const char* respostas,
                   const vocabulario::Dialeto& dialeto = vocabulario::padrao) {
    const Percurso percurso = construir_percurso(planejar(respostas));

    // One untimed run counts what a run writes.
    Contagem contagem;
    {
        SaidaArquivo arquivo(std::make_unique<DestinoDescarte>(&contagem));
        gerar(percurso, arquivo, opcoes, dialeto);
        arquivo.fechar();
    }

    for (auto _ : state) {
        SaidaArquivo arquivo(std::make_unique<DestinoDescarte>());
        benchmark::DoNotOptimize(gerar(percurso, arquivo, opcoes, dialeto));
        arquivo.fechar();
    }
    const auto iteracoes = static_cast<double>(state.iterations());
    state.counters["linhas/s"] =
        benchmark::Counter(static_cast<double>(contagem.linhas) * iteracoes, benchmark::Counter::kIsRate);
    state.counters["linhas"] = static_cast<double>(contagem.linhas);
    state.SetBytesProcessed(static_cast<std::int64_t>(contagem.bytes) * state.iterations());
}

void BM_GerarPasses(benchmark::State& state) { medir_gerador(state, {}, trabalho_referencia); }
BENCHMARK(BM_GerarPasses)->Unit(benchmark::kMillisecond);

void BM_GerarPassesDezVezes(benchmark::State& state) {
    medir_gerador(state, {}, trabalho_dez_vezes);
}
BENCHMARK(BM_GerarPassesDezVezes)->Unit(benchmark::kMillisecond);

// The other dialects' words go through the same fast writer.
void BM_GerarPassesLinuxcnc(benchmark::State& state) {
    medir_gerador(state, {}, trabalho_referencia, vocabulario::linuxcnc);
}
BENCHMARK(BM_GerarPassesLinuxcnc)->Unit(benchmark::kMillisecond);

void BM_GerarPassesFanuc(benchmark::State& state) { medir_gerador(state, {}, trabalho_referencia, vocabulario::fanuc); }
BENCHMARK(BM_GerarPassesFanuc)->Unit(benchmark::kMillisecond);

void BM_GerarPassesSimples(benchmark::State& state) {
    medir_gerador(state, OpcoesEmissao{.escrita_simples = true}, trabalho_referencia);
}
BENCHMARK(BM_GerarPassesSimples)->Unit(benchmark::kMillisecond);

// Depths as a job writes them: increasing, with a few digits before the point.
std::vector<float> profundidades() {
    std::vector<float> v(4096);
    std::mt19937 gerador(42);
    std::uniform_real_distribution<float> dist(0, 100);
    for (float& z : v) z = dist(gerador);
    return v;
}

void BM_FormatarFixo3(benchmark::State& state) {
    const auto valores = profundidades();
    char texto[max_fixo3];
    for (auto _ : state) {
        for (float z : valores) {
            benchmark::DoNotOptimize(formatar_fixo3(texto, z));
            benchmark::ClobberMemory();
        }
    }
    state.counters["numeros/s"] = benchmark::Counter(
        static_cast<double>(valores.size()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FormatarFixo3);

void BM_Snprintf3(benchmark::State& state) {
    const auto valores = profundidades();
    char texto[64];
    for (auto _ : state) {
        for (float z : valores) {
            benchmark::DoNotOptimize(std::snprintf(texto, sizeof texto, "%0.3f", static_cast<double>(z)));
            benchmark::ClobberMemory();
        }
    }
    state.counters["numeros/s"] = benchmark::Counter(
        static_cast<double>(valores.size()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Snprintf3);

}  // namespace

BENCHMARK_MAIN();
