#include "output/gerar_passes.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "nucleo/numerico.hpp"
#include "driver/parada_critica.hpp"
#include "nucleo/formato_fixo.hpp"
#include "output/ponto_helice.hpp"
#include "output/progresso.hpp"

namespace {

// The file is the program's real work: passes x turns x 360 lines. Within a
// pass every turn visits the same whole-degree angles at the same radius, so
// a point's coordinates and its text up to the depth ("g01 x.. y.. z-" after
// the line end)
// are formed when the pass first reaches it and copied in every later turn;
// only the depth is formatted per line. Lines go straight into the file's
// buffer, one reservation per turn.

constexpr int graus_volta = 360;
// Room for one point's text up to the depth: two coordinates of at most
// `max_fixo3` bytes and 12 bytes of words.
constexpr std::size_t vaga_ponto = 128;
static_assert(vaga_ponto >= 2 * max_fixo3 + 12);
// Texts this short (those of every real job) are copied with one fixed-size move.
constexpr std::size_t copia_curta = 32;
// A turn comment: the words around two numbers, the diameter of up to
// `max_fixo3` bytes and the turn number of up to 11.
constexpr std::size_t vaga_comentario = 128;
constexpr std::size_t reserva_volta =
    vaga_comentario + graus_volta * (vaga_ponto + max_fixo3) + 2;
static_assert(reserva_volta <= SaidaArquivo::capacidade);

// What the turns of one pass share. Kept for one pass at a time.
struct Volta {
    // Depth of each step within a turn, passo_grau * passo_z_grau: at most
    // 33 significant bits, so exact in double. The turn's fio * passo_rosca
    // is exact in extended precision, and their extended sum rounds exactly
    // as the whole expression does.
    std::array<double, graus_volta> avanco;
    // The stored depths of the current turn, formed ahead of the text.
    std::array<float, graus_volta> z;
    std::array<float, graus_volta> x;
    std::array<float, graus_volta> y;
    std::array<std::uint8_t, graus_volta> tamanho;
    std::array<std::array<char, vaga_ponto>, graus_volta> texto;
    // Points of this pass with their text formed; the extents already hold them.
    int formados = 0;
    bool todos_curtos = true;
    // The turn comment around its turn number.
    std::string abertura;
    std::string diametro;
};

// The steps are radial, so a pass moves the diameter by twice the step.
estendido no_diametro(float passo) { return estender(passo) + estender(passo); }

// Accumulated from the previous stored diameter, not recomputed from the
// first one: the last roughing pass may differ from the plan in the last bits.
void proximo_diametro(DadosRosca& d) {
    if (rosca_interna(d))
        d.diametro_passe = armazenar(estender(d.diametro_passe) + no_diametro(d.passo_lateral));
    else
        d.diametro_passe = armazenar(estender(d.diametro_passe) - no_diametro(d.passo_lateral));
}

void alargar_extremos(DadosRosca& d, float x, float y) {
    if (x > d.x_max) d.x_max = x;
    if (x < d.x_min) d.x_min = x;
    if (y > d.y_max) d.y_max = y;
    if (y < d.y_min) d.y_min = y;
}

char* copiar(char* p, const std::string& s) {
    std::memcpy(p, s.data(), s.size());
    return p + s.size();
}

void preparar_volta(const DadosRosca& d, Volta& v) {
    v.formados = 0;
    v.todos_curtos = true;
    char texto[vaga_comentario];
    std::snprintf(texto, sizeof texto, "\n;passo lateral: %d - fio rosca N: ", d.passe);
    v.abertura = em_linhas_do_arquivo(texto);
    // Internal threads show the diameter with three decimals, external with two.
    std::snprintf(texto, sizeof texto,
                  rosca_interna(d) ? "\n;diametro: %.3f [mm]\n" : "\n;diametro: %.2f [mm]\n",
                  static_cast<double>(d.diametro_passe));
    v.diametro = em_linhas_do_arquivo(texto);
}

// Forms point `k` of the pass (angle `angulo`) into `v`.
void formar_ponto(Volta& v, int k, double raio, std::int32_t angulo, bool mao_direita) {
    const PontoHelice ponto = ponto_helice(raio, angulo, mao_direita);
    v.x[k] = ponto.x;
    v.y[k] = ponto.y;
    char* const inicio = v.texto[k].data();
    char* p = inicio;
    std::memcpy(p, fim_de_linha.data(), fim_de_linha.size());
    p += fim_de_linha.size();
    std::memcpy(p, "g01 x", 5);
    p += 5;
    p += formatar_fixo3(p, ponto.x);
    std::memcpy(p, " y", 2);
    p += 2;
    p += formatar_fixo3(p, ponto.y);
    std::memcpy(p, " z-", 3);
    p += 3;
    const auto n = static_cast<std::size_t>(p - inicio);
    v.tamanho[k] = static_cast<std::uint8_t>(n);
    if (n > copia_curta) v.todos_curtos = false;
}

// One turn of up to 360 one-degree moves; ends early once the depth reaches
// the length. Returns the number of points written.
int gerar_fio(DadosRosca& d, SaidaArquivo& arquivo, Volta& v, double raio) {
    const bool mao_direita = sentido_direita(d);
    const std::int32_t angulo_primeiro = static_cast<std::int32_t>(estender(d.angulo_inicial) + 1);
    const estendido deslocamento = static_cast<estendido>(d.fio) * estender(d.passo_rosca);
    const float comprimento = d.comprimento_rosca;

    char* const inicio = arquivo.reservar(reserva_volta);
    char* p = copiar(inicio, v.abertura);
    p = std::to_chars(p, p + 11, d.fio + 1).ptr;
    p = copiar(p, v.diametro);

    // All the turn's depths first, in a loop of its own that keeps the
    // extended-precision offset in a register; those past the stop go unused.
    for (int k = 0; k < graus_volta; ++k)
        v.z[k] = armazenar(static_cast<estendido>(v.avanco[k]) + deslocamento);

    int k = 0;
    float z = d.z_atual;
    bool no_fim = false;
    // Points met in an earlier turn of this pass: their text is ready and
    // they cannot widen the extents again. Read into locals first: the
    // stores through `p` could alias the table, and would force rereads.
    const int formados = v.formados;
    const bool curtos = v.todos_curtos;
    const float* const profundidade = v.z.data();
    const std::uint8_t* const tamanho = v.tamanho.data();
    const std::array<char, vaga_ponto>* const texto = v.texto.data();
    for (; k < formados; ++k) {
        z = profundidade[k];
        if (curtos)
            std::memcpy(p, texto[k].data(), copia_curta);
        else
            std::memcpy(p, texto[k].data(), tamanho[k]);
        p += tamanho[k];
        p += formatar_fixo3(p, z);
        if (z >= comprimento) {
            no_fim = true;
            break;
        }
    }
    if (!no_fim) {
        for (; k < graus_volta; ++k) {
            formar_ponto(v, k, raio, angulo_primeiro + k, mao_direita);
            v.formados = k + 1;
            z = v.z[k];
            std::memcpy(p, v.texto[k].data(), v.tamanho[k]);
            p += v.tamanho[k];
            p += formatar_fixo3(p, z);
            alargar_extremos(d, v.x[k], v.y[k]);
            if (z >= comprimento) {
                no_fim = true;
                break;
            }
        }
    }
    // Ends the turn's last line.
    std::memcpy(p, fim_de_linha.data(), fim_de_linha.size());
    p += fim_de_linha.size();
    arquivo.avancar(static_cast<std::size_t>(p - inicio));

    // The record as the point-by-point loop leaves it.
    const int ultimo = no_fim ? k : graus_volta - 1;
    d.x_atual = v.x[ultimo];
    d.y_atual = v.y[ultimo];
    d.passo_grau = no_fim ? k + 1 : graus_volta + 1;
    d.angulo_atual = angulo_primeiro + (no_fim ? k : graus_volta);
    // The point that reaches the length is written with its own depth,
    // which may pass L by up to one step; the pass then counts as at L.
    d.z_atual = no_fim ? comprimento : z;
    return ultimo + 1;
}

// One pass at `diametro_passe`: start move, turns down to the thread length, retract.
void gerar_passe(DadosRosca& d, SaidaArquivo& arquivo, Volta& v, Progresso& progresso) {
    const double raio = raio_percurso(d);

    // The start point keeps the fractional start angle; the turns use whole degrees.
    const PontoHelice inicio = ponto_helice(raio, d.angulo_inicial, sentido_direita(d));
    d.x_atual = inicio.x;
    d.y_atual = inicio.y;
    arquivo.imprimir("\ng00 x%0.3f y%0.3f\n", static_cast<double>(d.x_atual),
                     static_cast<double>(d.y_atual));

    preparar_volta(d, v);
    // z_atual is 0 before the first pass and exactly L after each one, so
    // every pass cuts at least one point; depths come from the counters alone.
    d.fio = 0;
    while (d.z_atual <= d.comprimento_rosca) {
        const int pontos = gerar_fio(d, arquivo, v, raio);
        // The turn's blank line, two comment lines and blank line, then its moves.
        progresso.avancar(static_cast<std::uint64_t>(pontos) + 4);
        if (d.z_atual >= d.comprimento_rosca) break;
        ++d.fio;
    }

    if (rosca_interna(d)) {
        arquivo.texto("\ng0 x0 y0");
        arquivo.imprimir("\ng0 z%.0f\n", static_cast<double>(d.altura_retracao_interna));
    } else {
        retracao_externa(d, arquivo, raio);
        arquivo.imprimir("\ng0 z%.0f\n", static_cast<double>(d.altura_retracao_externa));
    }
}

std::int64_t primeiro_passe(const DadosRosca& d) { return d.Diametro_inicial == 0 ? 0 : 1; }

bool tem_acabamento(const DadosRosca& d) {
    return d.Diametro_final != d.Diametro_final_total && d.acabamento_feito == 0;
}

}  // namespace

double linhas_previstas(const DadosRosca& d) {
    double passes = static_cast<double>(
        std::max<std::int64_t>(0, std::int64_t{d.passes_laterais_int} - primeiro_passe(d) + 1));
    if (tem_acabamento(d)) passes += 1;
    const double voltas =
        std::max(1.0, std::ceil(static_cast<double>(d.comprimento_rosca) / static_cast<double>(d.passo_rosca)));
    // Per pass: the start move and its blank line, 364 lines a turn, three to retract.
    return passes * (5 + 364 * voltas);
}

namespace {

void gerar_passes_com(DadosRosca& d, SaidaArquivo& arquivo, Console* console) {
    // Erased when this returns or a stop unwinds, before the console goes on.
    Progresso progresso(linhas_previstas(d), console);
    auto volta = std::make_unique<Volta>();
    for (int k = 0; k < graus_volta; ++k)
        volta->avanco[k] = static_cast<double>(static_cast<estendido>(k + 1) * estender(d.passo_z_grau));

    if (d.Diametro_inicial == 0) {
        d.diametro_passe = d.Diametro_final;
        d.passe = 0;
    } else {
        d.diametro_passe = d.Diametro_inicial;
        d.passe = 1;
    }
    proximo_diametro(d);

    while (d.passe <= d.passes_laterais_int) {
        gerar_passe(d, arquivo, *volta, progresso);
        proximo_diametro(d);
        ++d.passe;
    }

    // The finishing pass lands on the final diameter as entered, so it is
    // computed afresh rather than accumulated; it keeps the next pass number.
    if (tem_acabamento(d)) {
        d.acabamento_feito = 1;
        const estendido desbaste = no_diametro(d.passo_lateral) * (static_cast<estendido>(d.passe) - 1);
        const estendido acabamento = no_diametro(d.passo_lateral_acabamento);
        if (rosca_interna(d))
            d.diametro_passe = armazenar((desbaste + estender(d.Diametro_inicial)) + acabamento);
        else
            d.diametro_passe = armazenar((estender(d.Diametro_inicial) - desbaste) - acabamento);
        gerar_passe(d, arquivo, *volta, progresso);
    }

    if (!rosca_interna(d)) arquivo.texto("\ng0 x0 y0\n");
}

}  // namespace

void gerar_passes(DadosRosca& d, SaidaArquivo& arquivo, Console& console) {
    gerar_passes_com(d, arquivo, &console);
}

void gerar_passes(DadosRosca& d, SaidaArquivo& arquivo) { gerar_passes_com(d, arquivo, nullptr); }

void retracao_externa(const DadosRosca& d, SaidaArquivo& arquivo, double raio) {
    const double rc = raio + static_cast<double>(d.folga_retracao);
    double canto_x;
    double canto_y;
    // A coordinate of exactly 0 counts as negative X or positive Y.
    if (d.x_atual <= 0 && d.y_atual >= 0) {
        canto_x = -rc;
        canto_y = rc;
    } else if (d.x_atual <= 0 && d.y_atual < 0) {
        canto_x = -rc;
        canto_y = -rc;
    } else if (d.x_atual > 0 && d.y_atual >= 0) {
        canto_x = rc;
        canto_y = rc;
    } else if (d.x_atual > 0 && d.y_atual < 0) {
        canto_x = rc;
        canto_y = -rc;
    } else {
        // Only a coordinate that is not a number gets here.
        parada_estrutura("011");
    }
    arquivo.imprimir("\ng00 x%.3f y%.3f", canto_x, canto_y);
}
