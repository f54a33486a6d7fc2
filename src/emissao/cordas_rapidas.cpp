#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "emissao/cordas.hpp"
#include "nucleo/formato_fixo.hpp"
#include "nucleo/juntar.hpp"
#include "vocabulario/geometria.hpp"

// A point's text up to the depth ("g01 x.. y.. z-" after the line end) is
// formed when the pass first reaches it and copied in every later turn;
// lines go straight into the file's buffer, one reservation per turn.

namespace {

constexpr int graus_volta = vocabulario::passos_por_volta;
// Room for one point's text up to the depth: two coordinates of at most
// `max_fixo3` bytes and the words around them.
constexpr std::size_t vaga_ponto = 128;
constexpr std::size_t max_palavras = vaga_ponto - 2 * max_fixo3;
// Texts this short (those of every real job) are copied with one fixed-size move.
constexpr std::size_t copia_curta = 32;

}  // namespace

// What the turns of one pass share. Kept for one pass at a time.
struct CordasRapidas::Volta {
    // Depth of each step within a turn, its degrees past the start angle
    // times passo_z_grau (profundidade_corda), kept in extended precision:
    // their extended sum with the turn's fio * passo_rosca rounds exactly as
    // the whole expression does.
    std::array<estendido, graus_volta> avanco;
    // The stored depths of the current turn, formed ahead of the text.
    std::array<float, graus_volta> z;
    std::array<std::uint8_t, graus_volta> tamanho;
    std::array<std::array<char, vaga_ponto>, graus_volta> texto;
    // Points of this pass with their text formed.
    int formados = 0;
    bool todos_curtos = true;
    // What `avanco` was formed for.
    float passo_z_grau = 0;
    estendido graus_primeira = 0;
    bool avanco_pronto = false;
    // The dialect's words around the numbers, with the file's line end.
    std::string prefixo, meio_y, meio_z;
};

CordasRapidas::CordasRapidas(const vocabulario::Dialeto& dialeto) : volta_(std::make_unique<Volta>()) {
    Volta& v = *volta_;
    v.prefixo = juntar({dialeto.fim_de_linha, dialeto.corte, " ", dialeto.x});
    v.meio_y = juntar({" ", dialeto.y});
    v.meio_z = juntar({" ", dialeto.z, "-"});
    if (v.prefixo.size() + v.meio_y.size() + v.meio_z.size() > max_palavras) std::abort();
}

CordasRapidas::~CordasRapidas() = default;

namespace {

char* copiar(char* p, const std::string& s) {
    std::memcpy(p, s.data(), s.size());
    return p + s.size();
}

}  // namespace

std::uint64_t CordasRapidas::escrever(const PasseTrajeto& t, const TextosVolta& textos, SaidaArquivo& arquivo,
                                      Progresso* progresso) {
    Volta& v = *volta_;
    const Helice& h = t.helice.helice;
    const estendido graus_primeira = graus_da_corda(h, 1);
    if (!v.avanco_pronto || v.passo_z_grau != h.passo_z_grau || v.graus_primeira != graus_primeira) {
        for (int k = 0; k < graus_volta; ++k) v.avanco[k] = graus_da_corda(h, k + 1) * estender(h.passo_z_grau);
        v.passo_z_grau = h.passo_z_grau;
        v.graus_primeira = graus_primeira;
        v.avanco_pronto = true;
    }
    v.formados = 0;
    v.todos_curtos = true;
    const std::string_view fim_de_linha = arquivo.fim_de_linha();
    const std::size_t reserva = textos.abertura.size() + 24 + textos.fechamento.size() +
                                graus_volta * (vaga_ponto + max_fixo3) + fim_de_linha.size();
    if (reserva > SaidaArquivo::max_reserva) std::abort();

    // The chords end at the first that reaches the length.
    const std::int64_t total = t.helice.indice_ultimo + 1;
    std::uint64_t linhas = 0;
    for (std::int64_t fio = 0, feitos = 0; feitos < total; ++fio) {
        char* const inicio = arquivo.reservar(reserva);
        char* p = copiar(inicio, textos.abertura);
        p = std::to_chars(p, p + 24, fio + 1).ptr;
        p = copiar(p, textos.fechamento);

        // All the turn's depths first, in a loop of its own that keeps the
        // extended-precision offset in a register; those past the stop go unused.
        const estendido deslocamento = static_cast<estendido>(fio) * estender(h.passo_rosca);
        for (int k = 0; k < graus_volta; ++k)
            v.z[k] = armazenar(v.avanco[k] + deslocamento);

        const int nesta = static_cast<int>(std::min<std::int64_t>(total - feitos, graus_volta));
        int k = 0;
        // Points met in an earlier turn of this pass: their text is ready.
        // Read into locals first: the stores through `p` could alias the
        // table, and would force rereads.
        const int formados = std::min(v.formados, nesta);
        const bool curtos = v.todos_curtos;
        const float* const profundidade = v.z.data();
        const std::uint8_t* const tamanho = v.tamanho.data();
        const std::array<char, vaga_ponto>* const texto = v.texto.data();
        for (; k < formados; ++k) {
            if (curtos)
                std::memcpy(p, texto[k].data(), copia_curta);
            else
                std::memcpy(p, texto[k].data(), tamanho[k]);
            p += tamanho[k];
            p += formatar_fixo3(p, profundidade[k]);
        }
        for (; k < nesta; ++k) {
            const PontoHelice ponto = t.pontos[static_cast<std::size_t>(k)];
            char* const tx = v.texto[k].data();
            char* q = copiar(tx, v.prefixo);
            q += formatar_fixo3(q, ponto.x);
            q = copiar(q, v.meio_y);
            q += formatar_fixo3(q, ponto.y);
            q = copiar(q, v.meio_z);
            const auto n = static_cast<std::size_t>(q - tx);
            v.tamanho[k] = static_cast<std::uint8_t>(n);
            if (n > copia_curta) v.todos_curtos = false;
            v.formados = k + 1;
            std::memcpy(p, tx, n);
            p += n;
            p += formatar_fixo3(p, v.z[k]);
        }
        // Ends the turn's last line.
        std::memcpy(p, fim_de_linha.data(), fim_de_linha.size());
        p += fim_de_linha.size();
        arquivo.avancar(static_cast<std::size_t>(p - inicio));
        feitos += nesta;
        // The turn's blank line, two comment lines and blank line, then its moves.
        const std::uint64_t escritas = static_cast<std::uint64_t>(nesta) + 4;
        linhas += escritas;
        if (progresso != nullptr) progresso->avancar(escritas);
    }
    return linhas;
}
