#include "output/resumo.hpp"

#include <cstdarg>
#include <string>
#include <type_traits>

#include "nucleo/formatar.hpp"
#include "nucleo/numerico.hpp"
#include "percurso/construir.hpp"
#include "trabalho/parada_critica.hpp"
#include "vocabulario/cabecalho.hpp"

namespace {

// One row of the summary: its console text and its file text; null where that
// destination has no such row. The two differ in small ways a reader could take
// for typos (the file's missing title, "Diametro acabamento", the ";" of every
// file line, the ";" that the feed-per-revolution line keeps on the console too);
// they are the texts machinists and their controls already know. The formats
// are checked when compiling against the types of the values the row takes.
template <typename... Valores>
struct Linha {
    consteval Linha(const char* console_, const char* arquivo_) : console(console_), arquivo(arquivo_) {
        if (!formato_confere<Valores...>(console) || !formato_confere<Valores...>(arquivo))
            throw "the row's conversions do not match the values it takes";
    }
    const char* console;
    const char* arquivo;
};

namespace linha {
using namespace vocabulario;
// The file's texts: a comment of the vocabulary after its ";" and the line
// breaks that lay the header out.
constexpr Linha<> titulo{"\n\n-------------------DADOS DO PROGRAMA G-CODE------------------", nullptr};
constexpr auto arq_diametro_final = juntar_fixo(";", formato::diametro_final.c);
constexpr Linha<double> diametro_final{"\nDf-Diametro final da rosca: %.2f [mm]", arq_diametro_final.c};
constexpr auto arq_diametro_acabamento = juntar_fixo("\n;", rotulo::diametro_acabamento, " ");
constexpr Linha<> diametro_acabamento{"\nDa-Diametro de acabamento da rosca: ", arq_diametro_acabamento.c};
constexpr auto arq_diametro_inicial = juntar_fixo("\n;", rotulo::diametro_inicial, " ");
constexpr Linha<> diametro_inicial{"\nDi-diametro inicial da rosca: ", arq_diametro_inicial.c};
constexpr auto arq_passo_lateral = juntar_fixo("\n\n;", rotulo::passo_lateral, " ");
constexpr Linha<> passo_lateral{"\n\npl-Passo Lateral da rosca: ", arq_passo_lateral.c};
constexpr auto arq_passo_acabamento = juntar_fixo("\n;", rotulo::passo_acabamento, " ");
constexpr Linha<> passo_acabamento{"\npl-Passo Lateral de acabamento da rosca: ", arq_passo_acabamento.c};
constexpr auto arq_quantidade_passes = juntar_fixo("\n\n;", formato::quantidade_passes.c);
constexpr Linha<long long> quantidade_passes{"\n\nnp-Quantidade de Passes Laterais da rosca: %lld",
                                             arq_quantidade_passes.c};
constexpr auto arq_passe_unico = juntar_fixo(" ", rotulo::passe_unico);
constexpr Linha<> passe_unico{" - PASSE UNICO", arq_passe_unico.c};
constexpr auto arq_lista_passe = juntar_fixo("\n;", formato::item_lista.c);
constexpr Linha<long long, double> lista_passe{"\npasso lateral: %lld com diametro: %.3f [mm]", arq_lista_passe.c};
constexpr auto arq_comprimento = juntar_fixo("\n\n;", formato::comprimento.c);
constexpr Linha<double> comprimento{"\n\nL-Comprimento da rosca: %.2f [mm]", arq_comprimento.c};
constexpr auto arq_passo_rosca = juntar_fixo("\n;", formato::passo_rosca.c);
constexpr Linha<double> passo_rosca{"\np-Passo Vertical da rosca (1 fio): %.2f [mm]", arq_passo_rosca.c};
constexpr auto arq_fios_total = juntar_fixo("\n;", formato::fios.c);
constexpr Linha<double> fios_total{"\nn-Fios total da rosca: %.2f fios", arq_fios_total.c};
constexpr auto arq_angulo_inicial = juntar_fixo("\n;", formato::angulo_inicial.c);
constexpr Linha<double> angulo_inicial{"\nAngulo Inicial de Rosca: %.1f [graus]", arq_angulo_inicial.c};
constexpr auto arq_angulo_final = juntar_fixo("\n;", formato::angulo_final.c);
constexpr Linha<double> angulo_final{"\nAngulo Final de Rosca: %.1f [graus]", arq_angulo_final.c};
constexpr auto arq_externa = juntar_fixo("\n;", formato::externa.c);
constexpr Linha<> externa{"\nRosca [EXTERNA]", arq_externa.c};
constexpr auto arq_interna = juntar_fixo("\n;", formato::interna.c);
constexpr Linha<> interna{"\nRosca [INTERNA]", arq_interna.c};
constexpr auto arq_direita = juntar_fixo(" ", rotulo::direita);
constexpr Linha<> direita{" [Direita >> sentido Horario]", arq_direita.c};
constexpr auto arq_esquerda = juntar_fixo(" ", rotulo::esquerda);
constexpr Linha<> esquerda{" [Esquerda >> sentido Anti-Horario]", arq_esquerda.c};
constexpr auto arq_ferramenta = juntar_fixo("\n\n;", formato::ferramenta.c);
constexpr Linha<double> ferramenta{"\n\nDf-ferramenta: %.2f mm", arq_ferramenta.c};
constexpr auto arq_precisao = juntar_fixo("\n;", formato::precisao.c);
constexpr Linha<double> precisao{"\nPrecisao de Passo: %.3f mm", arq_precisao.c};
constexpr auto arq_tempo = juntar_fixo("\n;", formato::tempo.c);
constexpr Linha<double> tempo{"\nTempo de usinagem: %.1f minutos", arq_tempo.c};
constexpr auto con_tempo_percurso = juntar_fixo("\n", formato::tempo_percurso.c);
constexpr auto arq_tempo_percurso = juntar_fixo("\n;", formato::tempo_percurso.c);
constexpr Linha<double> tempo_percurso{con_tempo_percurso.c, arq_tempo_percurso.c};
constexpr auto con_furos = juntar_fixo("\n", formato::furos.c);
constexpr auto arq_furos = juntar_fixo("\n;", formato::furos.c);
constexpr Linha<int, double> furos{con_furos.c, arq_furos.c};
constexpr auto arq_rotacao = juntar_fixo("\n\n;", formato::rotacao.c);
constexpr Linha<double> rotacao{"\n\nRotacao S: %.0f rpm", arq_rotacao.c};
constexpr auto arq_avanco = juntar_fixo("\n;", formato::avanco.c);
constexpr Linha<double> avanco{"\nAvanco Feed-Rate (fn): %.1f [mm / min]", arq_avanco.c};
// The console keeps the file's ";" on this row.
constexpr auto arq_avanco_rotacao = juntar_fixo("\n;", formato::avanco_rotacao.c);
constexpr Linha<double> avanco_rotacao{"\n;Avanco por rotacao (Fz): %.3f [mm / rotacao]", arq_avanco_rotacao.c};
}  // namespace linha

// The cells of rows 3 to 6 and the direction label read the same in both halves.
constexpr const char* desabilitado = vocabulario::rotulo::desabilitado;
// A copy of this translation unit's own: the address of an object of another
// one is no constant under the sanitizers' instrumentation.
constexpr auto arq_valor_mm = juntar_fixo(vocabulario::formato::valor_mm.c);
constexpr Linha<double> valor_mm{"%.2f [mm]", arq_valor_mm.c};

constexpr const char* detalhe_codigo_007 = "\nERRO! Diametro inicial, de acabamento e final....";

// Where the summary goes. Only the console checks: a state the dialogue and the
// plan exclude stops the run there before any file exists, while the file,
// which is written later, simply leaves the value out.
class DestinoResumo {
public:
    virtual ~DestinoResumo() = default;

    // The row's text for this destination, formatted with `valores`.
    template <typename... Valores>
    void linha(const Linha<Valores...>& l, std::type_identity_t<Valores>... valores) {
        const char* formato = console() ? l.console : l.arquivo;
        if (formato == nullptr) return;
        if constexpr (sizeof...(valores) == 0) {
            escrever(formato);
        } else {
            imprimir(formato, valores...);
        }
    }
    void imprimir(const char* formato, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, formato);
        Formatado formatar;
        escrever(formatar(formato, args));
        va_end(args);
    }

    virtual bool console() const = 0;
    virtual void escrever(std::string_view texto) = 0;
    // An impossible state: the console takes the critical stop; the file goes on.
    virtual void parar(std::string mensagem) = 0;
    // The finishing step is not below the lateral step (code #010): a warning
    // with the two values and a pause; the summary goes on.
    virtual void avisar_passo_acabamento(const DadosRosca& d) = 0;
};

class ResumoConsole final : public DestinoResumo {
public:
    explicit ResumoConsole(Console& console) : console_(console) {}
    bool console() const override { return true; }
    void escrever(std::string_view texto) override { console_.escrever(texto); }
    void parar(std::string mensagem) override { parada_critica(std::move(mensagem)); }
    void avisar_passo_acabamento(const DadosRosca& d) override {
        console_.escrever(mensagem_estrutura("010"));
        console_.imprimir("\npasso_lateral_acabamento: %.3f", static_cast<double>(d.passo_lateral_acabamento));
        console_.imprimir("\npasso_lateral: %.3f", static_cast<double>(d.passo_lateral));
        console_.pausa();
    }

private:
    Console& console_;
};

// The header in the file's dialect: the rows are formed as ";" comments, and
// each whole line is written as the dialect writes a comment.
class ResumoArquivo final : public DestinoResumo {
public:
    explicit ResumoArquivo(Escrita& arquivo) : arquivo_(arquivo) {}
    bool console() const override { return false; }
    void escrever(std::string_view texto) override {
        for (std::size_t fim; (fim = texto.find('\n')) != std::string_view::npos; texto.remove_prefix(fim + 1)) {
            linha_.append(texto.substr(0, fim));
            terminar_linha();
            arquivo_.texto("\n");
        }
        linha_.append(texto);
    }
    void parar(std::string) override {}
    void avisar_passo_acabamento(const DadosRosca&) override {}
    // The last row is left open, as every piece of the file is.
    void terminar_linha() {
        if (!linha_.empty()) arquivo_.texto(linha_[0] == ';' ? arquivo_.comentario(std::string_view(linha_).substr(1)) : linha_);
        linha_.clear();
    }

private:
    Escrita& arquivo_;
    std::string linha_;
};

double dbl(float campo) { return static_cast<double>(campo); }

void celula_diametro_acabamento(const DadosRosca& d, DestinoResumo& saida) {
    if (d.Diametro_final == d.Diametro_final_total) {
        saida.escrever(desabilitado);
    } else if (d.Diametro_final < d.Diametro_final_total && rosca_interna(d)) {
        saida.linha(valor_mm, dbl(d.Diametro_final));
    } else if (d.Diametro_final > d.Diametro_final_total && rosca_externa(d)) {
        saida.linha(valor_mm, dbl(d.Diametro_final));
    } else {
        saida.parar(mensagem_estrutura("007", detalhe_codigo_007));
    }
}

void celula_diametro_inicial(const DadosRosca& d, DestinoResumo& saida) {
    if (d.Diametro_inicial == 0) {
        saida.escrever(desabilitado);
    } else if (d.Diametro_inicial > 0) {
        saida.linha(valor_mm, dbl(d.Diametro_inicial));
    } else {
        saida.parar(mensagem_estrutura("008"));
    }
}

void celula_passo_lateral(const DadosRosca& d, DestinoResumo& saida) {
    if (d.passo_lateral == 0) {
        saida.escrever(desabilitado);
    } else if (d.passo_lateral > 0) {
        saida.linha(valor_mm, dbl(d.passo_lateral));
    } else {
        saida.parar(mensagem_estrutura("009"));
    }
}

void celula_passo_acabamento(const DadosRosca& d, DestinoResumo& saida) {
    if (d.passo_lateral_acabamento == d.passo_lateral) {
        saida.escrever(desabilitado);
    } else if (d.passo_lateral_acabamento < d.passo_lateral && d.passo_lateral_acabamento > 0) {
        saida.linha(valor_mm, dbl(d.passo_lateral_acabamento));
    } else {
        // Reached in ordinary runs: the plan's even step can fall below the finishing step.
        saida.avisar_passo_acabamento(d);
    }
}

// Index 0 is the blank itself; each pass moves 2 * pl into the material, inwards
// for an external thread. The count is held wide so that n + 1 cannot overflow.
void lista_passes(const DadosRosca& d, DestinoResumo& saida, bool com_acabamento, bool area_igual) {
    const long long n = d.passes_laterais_int;
    if (n < 1) return;
    const estendido sentido = rosca_interna(d) ? 1 : -1;
    const PlanoPasses plano = plano_passes(d);
    for (long long i = 0; i <= n; ++i) {
        estendido diametro = estender(d.Diametro_inicial) + sentido * (2 * static_cast<estendido>(i) * estender(d.passo_lateral));
        // Equal areas of a V profile: the path's own diameters.
        if (area_igual && i > 0) diametro = estender(diametro_area_igual(plano, i));
        saida.linha(linha::lista_passe, i, static_cast<double>(diametro));
    }
    if (com_acabamento) {
        estendido diametro = estender(d.Diametro_inicial) +
                             sentido * (2 * static_cast<estendido>(n) * estender(d.passo_lateral)) +
                             sentido * (2 * estender(d.passo_lateral_acabamento));
        saida.linha(linha::lista_passe, n + 1, static_cast<double>(diametro));
    }
}

// Where the start angle lies on the compass that the start-angle question drew
// for this hand; the two hands see 90 and 270 on opposite sides.
void rotulo_direcao(const DadosRosca& d, DestinoResumo& saida) {
    const bool esquerda = sentido_esquerda(d);
    if (!esquerda && !sentido_direita(d)) return;
    const char* cima = esquerda ? "Cima" : "Baixo";
    const char* baixo = esquerda ? "Baixo" : "Cima";
    const float a = d.angulo_inicial;
    if (a == 0) {
        saida.escrever(" -> Direita");
    } else if (a > 0 && a < 90) {
        saida.imprimir(" -> Direita / %s", cima);
    } else if (a == 90) {
        saida.imprimir(" -> %s", cima);
    } else if (a > 90 && a < 180) {
        saida.imprimir(" -> Esquerda / %s", cima);
    } else if (a == 180) {
        saida.escrever(" -> Esquerda");
    } else if (a > 180 && a < 270) {
        saida.imprimir(" -> Esquerda / %s", baixo);
    } else if (a == 270) {
        saida.imprimir(" -> %s", baixo);
    } else if (a > 270 && a < 360) {
        saida.imprimir(" -> Direita / %s", baixo);
    } else {
        saida.parar(mensagem_estrutura(esquerda ? "010A" : "010B"));
    }
}

// Both halves come from here, so they cannot drift apart in order, values or
// conditions; they differ only in the texts of the line table and in the checks.
void emitir_resumo(const DadosRosca& d, DestinoResumo& saida, const ExtrasResumo& extras) {
    // No finishing offset was applied when the plan left the final diameter as entered.
    const bool com_acabamento = d.Diametro_final != d.Diametro_final_total;
    const long long n = d.passes_laterais_int;

    saida.linha(linha::titulo);
    saida.linha(linha::diametro_final, dbl(d.Diametro_final_total));
    saida.linha(linha::diametro_acabamento);
    celula_diametro_acabamento(d, saida);
    saida.linha(linha::diametro_inicial);
    celula_diametro_inicial(d, saida);
    saida.linha(linha::passo_lateral);
    celula_passo_lateral(d, saida);
    saida.linha(linha::passo_acabamento);
    celula_passo_acabamento(d, saida);

    saida.linha(linha::quantidade_passes, com_acabamento ? n + 1 : n);
    if ((n == 0 || n == 1) && !com_acabamento) saida.linha(linha::passe_unico);
    lista_passes(d, saida, com_acabamento, extras.area_igual);

    saida.linha(linha::comprimento, dbl(d.comprimento_rosca));
    saida.linha(linha::passo_rosca, dbl(d.passo_rosca));
    saida.linha(linha::fios_total, dbl(d.fios_total));
    saida.linha(linha::angulo_inicial, dbl(d.angulo_inicial));
    rotulo_direcao(d, saida);
    saida.linha(linha::angulo_final, dbl(d.angulo_final));
    if (rosca_externa(d)) saida.linha(linha::externa);
    if (rosca_interna(d)) saida.linha(linha::interna);
    if (sentido_direita(d)) saida.linha(linha::direita);
    if (sentido_esquerda(d)) saida.linha(linha::esquerda);

    saida.linha(linha::ferramenta, dbl(d.D_ferramenta));
    saida.linha(linha::precisao, dbl(d.precisao_passo));
    saida.linha(linha::tempo, dbl(d.tempo_usinagem));
    if (extras.tempo) saida.linha(linha::tempo_percurso, extras.minutos_percurso);
    if (extras.furos > 0 && extras.tempo) saida.linha(linha::furos, static_cast<int>(extras.furos), extras.minutos_por_furo);
    saida.linha(linha::rotacao, dbl(d.rotacao_spindle));
    saida.linha(linha::avanco, dbl(d.feed_rate));
    const estendido avanco_por_rotacao = estender(d.feed_rate) / estender(d.rotacao_spindle);
    saida.linha(linha::avanco_rotacao, static_cast<double>(avanco_por_rotacao));
}

}  // namespace

void imprimir_resumo(const DadosRosca& d, Console& console, const ExtrasResumo& extras) {
    ResumoConsole saida(console);
    emitir_resumo(d, saida, extras);
}

void gravar_resumo(const DadosRosca& d, Escrita& arquivo, const ExtrasResumo& extras) {
    ResumoArquivo saida(arquivo);
    emitir_resumo(d, saida, extras);
    saida.terminar_linha();
}
