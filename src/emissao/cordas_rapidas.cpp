#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "emissao/cordas.hpp"
#include "nucleo/formato_fixo.hpp"
#include "nucleo/juntar.hpp"

// The file is the program's real work: passes x turns x 360 lines. Within a
// pass every turn visits the same whole-degree angles at the same radius, so
// a point's coordinates and its text up to the depth ("g01 x.. y.. z-" after
// the line end) are formed when the pass first reaches it and copied in every
// later turn; only the depth is formatted per line. Lines go straight into
// the file's buffer, one reservation per turn.

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
    // Depth of each step within a turn, passo * passo_z_grau: at most 33
    // significant bits, so exact in double. The turn's fio * passo_rosca is
    // exact in extended precision, and their extended sum rounds exactly as
    // the whole expression does (profundidade_corda).
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
    float passo_z_grau = 0;
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

void CordasRapidas::escrever(const PassePercurso& passe, ContextoCordas& c, PontoHelice& ultimo) {
    Volta& v = *volta_;
    const Helice& h = passe.helice;
    if (!v.avanco_pronto || v.passo_z_grau != h.passo_z_grau) {
        for (int k = 0; k < graus_volta; ++k)
            v.avanco[k] = static_cast<double>(static_cast<estendido>(k + 1) * estender(h.passo_z_grau));
        v.passo_z_grau = h.passo_z_grau;
        v.avanco_pronto = true;
    }
    v.formados = 0;
    v.todos_curtos = true;
    const TextosVolta textos = textos_volta(c.escrita, passe, c.interna);
    SaidaArquivo& arquivo = c.escrita.arquivo();
    const std::size_t reserva = textos.abertura.size() + 24 + textos.fechamento.size() +
                                graus_volta * (vaga_ponto + max_fixo3) + arquivo.fim_de_linha().size();
    if (reserva > SaidaArquivo::capacidade) std::abort();

    const bool mao_direita = h.mao_direita;
    const std::int32_t primeiro = angulo_primeiro(h);
    const float comprimento = h.comprimento;

    for (std::int64_t fio = 0; c.z_atual <= comprimento; ++fio) {
        char* const inicio = arquivo.reservar(reserva);
        char* p = copiar(inicio, textos.abertura);
        p = std::to_chars(p, p + 24, fio + 1).ptr;
        p = copiar(p, textos.fechamento);

        // All the turn's depths first, in a loop of its own that keeps the
        // extended-precision offset in a register; those past the stop go unused.
        const estendido deslocamento = static_cast<estendido>(fio) * estender(h.passo_rosca);
        for (int k = 0; k < graus_volta; ++k)
            v.z[k] = armazenar(static_cast<estendido>(v.avanco[k]) + deslocamento);

        int k = 0;
        float z = c.z_atual;
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
                const PontoHelice ponto = ponto_helice(h.raio, primeiro + k, mao_direita);
                v.x[k] = ponto.x;
                v.y[k] = ponto.y;
                char* const t = v.texto[k].data();
                char* q = copiar(t, v.prefixo);
                q += formatar_fixo3(q, ponto.x);
                q = copiar(q, v.meio_y);
                q += formatar_fixo3(q, ponto.y);
                q = copiar(q, v.meio_z);
                const auto n = static_cast<std::size_t>(q - t);
                v.tamanho[k] = static_cast<std::uint8_t>(n);
                if (n > copia_curta) v.todos_curtos = false;
                v.formados = k + 1;
                z = v.z[k];
                std::memcpy(p, t, n);
                p += n;
                p += formatar_fixo3(p, z);
                c.extremos.alargar(ponto.x, ponto.y);
                if (z >= comprimento) {
                    no_fim = true;
                    break;
                }
            }
        }
        // Ends the turn's last line.
        const std::string_view fim_de_linha = arquivo.fim_de_linha();
        std::memcpy(p, fim_de_linha.data(), fim_de_linha.size());
        p += fim_de_linha.size();
        arquivo.avancar(static_cast<std::size_t>(p - inicio));

        const int ultimo_k = no_fim ? k : graus_volta - 1;
        ultimo = {v.x[ultimo_k], v.y[ultimo_k]};
        // The move that reaches the length may pass it by up to one step;
        // the pass then counts as at the length.
        c.z_atual = no_fim ? comprimento : z;
        // The turn's blank line, two comment lines and blank line, then its moves.
        c.progresso.avancar(static_cast<std::uint64_t>(ultimo_k + 1) + 4);
        if (no_fim) break;
    }
}
