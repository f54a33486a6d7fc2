#include "visualizar/leitura_paralela.hpp"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstdlib>

LeituraParalela::LeituraParalela(Fonte& fonte, std::size_t tamanho_bloco, std::size_t linhas_por_lote,
                                 bool paralela)
    : linhas_por_lote_(linhas_por_lote > 0 ? linhas_por_lote : 1),
      dois_processadores_(paralela && processadores() > 1),
      leitor_(fonte, tamanho_bloco, dois_processadores_) {
    if (!dois_processadores_ || !livres_.valido() || !cheios_.valido()) return;
    for (Lote& l : lotes_) l.registros = std::make_unique_for_overwrite<Registro[]>(linhas_por_lote_);
    paralela_ = true;
    tarefa_ = std::make_unique<Tarefa>(&LeituraParalela::ler_em_paralelo, this);
    if (!tarefa_->iniciada()) {
        tarefa_.reset();
        paralela_ = false;
    }
}

LeituraParalela::~LeituraParalela() {
    if (!tarefa_) return;
    // The caller stopped early (an exception): the reader must not wait for
    // a batch it will never get back.
    parar_.store(true, std::memory_order_relaxed);
    livres_.liberar(lotes);
    tarefa_->juntar();
}

void LeituraParalela::ler_em_paralelo(void* eu) { static_cast<LeituraParalela*>(eu)->produzir(); }

void LeituraParalela::produzir() {
    for (std::size_t k = 0;; k = (k + 1) % lotes) {
        livres_.esperar();
        if (parar_.load(std::memory_order_relaxed)) return;
        Lote& lote = lotes_[k];
        bool fim = true;
        try {
            fim = encher(lote);
        } catch (...) {
            falha_ = std::current_exception();
        }
        if (fim) {
            linhas_ = leitor_.linhas();
            erro_leitura_ = leitor_.erro_leitura();
            lote.ultimo = true;
        }
        // The release hands the batch, and what was written above, to the caller.
        cheios_.liberar();
        if (fim) return;
    }
}

LeituraParalela::Trecho LeituraParalela::guardar(Lote& lote, std::string_view texto) {
    Trecho t{static_cast<std::uint32_t>(lote.textos.size()), static_cast<std::uint32_t>(texto.size())};
    lote.textos.append(texto);
    return t;
}

// Fills a batch; true when the file has ended.
namespace {

// Records copied to the batch with stores that go to memory without first
// taking the lines from the other processor's cache.
template <class R>
void copiar_sem_cache(R* destino, const R* origem, std::size_t n) {
#if defined(__SSE2__)
    static_assert(sizeof(R) % 16 == 0 && alignof(R) >= 16);
    auto* d = reinterpret_cast<__m128i*>(destino);
    const auto* o = reinterpret_cast<const __m128i*>(origem);
    for (std::size_t i = 0; i < n * (sizeof(R) / 16); ++i) _mm_stream_si128(d + i, _mm_load_si128(o + i));
#else
    std::memcpy(destino, origem, n * sizeof(R));
#endif
}

}  // namespace

bool LeituraParalela::encher(Lote& lote) {
    lote.quantos = 0;
    lote.completas.clear();
    lote.textos.clear();
    lote.ultimo = false;
    Linha& l = linha_lida_;
    // Records are gathered here, in the reader's own cache, and copied to
    // the batch a run at a time: the batch's lines were last read by the
    // other processor, and taking one back costs the same for one record
    // as for a whole run.
    std::array<Registro, por_copia> juntos;
    std::size_t n = 0;
    auto copiar = [&lote, &juntos, &n] {
        copiar_sem_cache(&lote.registros[lote.quantos], juntos.data(), n);
        lote.quantos += n;
        n = 0;
    };
    bool fim = false;
    for (std::size_t lidas = 0; lidas < linhas_por_lote_;) {
        if (n == juntos.size()) copiar();
        // Chord lines, each following the line before: numbered one more.
        const std::size_t k = leitor_.cordas(
            std::min(juntos.size() - n, linhas_por_lote_ - lidas),
            [&juntos, &n](double x, double y, double z, std::uint16_t tracos, bool de_conhecido,
                          std::uint8_t compensacao) {
                juntos[n++] = Registro{x, y, z, 0, tracos, compensacao, de_conhecido};
            });
        if (k > 0) [[likely]] {
            lidas += k;
            numero_lido_ = leitor_.linhas();
            continue;
        }
        ++lidas;
        if (!leitor_.proxima(l)) {
            fim = true;
            break;
        }
        Registro& r = juntos[n++];
        r = Registro{0, 0, 0, 0, l.tracos, 40, false};
        const bool seguida = l.numero == numero_lido_ + 1;
        numero_lido_ = l.numero;
        if (l.so_corda && seguida && !l.sem_fim_de_linha) [[likely]] {
            const Movimento& mv = l.movimento;
            r.completa = 0;
            r.x = mv.para.x;
            r.y = mv.para.y;
            r.z = mv.para.z;
            r.compensacao = mv.compensacao;
            r.de_conhecido = mv.de_conhecido;
            continue;
        }
        r.completa = static_cast<std::uint32_t>(lote.completas.size() + 1);
        LinhaCompleta& c = lote.completas.emplace_back();
        c.linha = l;
        for (std::size_t i = 0; i < l.quantidade_comentarios; ++i) c.comentarios[i] = guardar(lote, l.comentarios[i]);
        c.texto = guardar(lote, l.texto);
        c.motivo = guardar(lote, l.motivo);
    }
    copiar();
#if defined(__SSE2__)
    // Those stores are not ordered with the release that hands the batch over.
    _mm_sfence();
#endif
    return fim;
}

// `m` made the chord of record `r` on line `linha`, carrying on the move
// `antes` (which may be `m` itself) to its point, as LeitorGcode::corda
// would: what a chord does not give stays the move before's.
void LeituraParalela::seguir(Movimento& m, const Movimento& antes, std::uint64_t linha, const Registro& r) {
    const std::uint64_t linha_de = antes.linha;
    const Ponto3 de = antes.para;
    moldar(m, antes);
    seguir_ponto(m, linha_de, de, linha, r);
}

void LeituraParalela::moldar(Movimento& m, const Movimento& antes) {
    m.centro_x = antes.centro_x;
    m.centro_y = antes.centro_y;
    m.horario = antes.horario;
    m.varredura = antes.varredura;
    m.avanco_no_contorno = antes.avanco_no_contorno;
    m.tipo = TipoMovimento::linear;
    m.z_conhecido = m.tem_x = m.tem_y = m.tem_z = true;
}

void LeituraParalela::seguir_ponto(Movimento& m, std::uint64_t linha_de, const Ponto3& de, std::uint64_t linha,
                                   const Registro& r) {
    m.linha = linha;
    m.linha_de = linha_de;
    m.de = de;
    m.para = Ponto3{r.x, r.y, r.z};
    m.de_conhecido = r.de_conhecido;
    m.compensacao = r.compensacao;
}

void LeituraParalela::dar_corda(const Registro& r) {
    Linha& l = linha_dada_;
    if (!em_cordas_) [[unlikely]] {
        em_cordas_ = true;
        l.tipo = TipoLinha::movimento;
        l.so_corda = true;
        l.sem_fim_de_linha = false;
        l.quantidade_comentarios = 0;
        l.m = -1;
        l.tem_s = l.tem_f = false;
        l.compensacao = 0;
        l.escala = l.pausa = false;
    }
    l.tracos = r.tracos;
}

std::span<const Movimento> LeituraParalela::cordas(std::uint16_t& tracos) {
    if (!paralela_) return cordas_sozinha(tracos);
    const Registro* const r = proximo_;
    const std::size_t n = std::min(static_cast<std::size_t>(fim_ - r), max_cordas);
    Linha& l = linha_dada_;
    // Each carries on the move before it, as proxima would.
    // The point and line carried on in registers, not read back from the move just written.
    std::uint16_t t = 0;
    std::size_t k = 0;
    std::uint64_t linha_de = l.movimento.linha;
    Ponto3 de = l.movimento.para;
    for (; k < n && r[k].completa == 0; ++k) {
        if (k >= cordas_moldadas_) [[unlikely]] moldar(cordas_[k], k == 0 ? l.movimento : cordas_[k - 1]);
        const std::uint64_t linha = l.numero + k + 1;
        seguir_ponto(cordas_[k], linha_de, de, linha, r[k]);
        linha_de = linha;
        de = Ponto3{r[k].x, r[k].y, r[k].z};
        t |= r[k].tracos;
    }
    if (k == 0) return {};
    cordas_moldadas_ = std::max(cordas_moldadas_, k);
    proximo_ += k;
    l.numero += k;
    l.movimento = cordas_[k - 1];
    dar_corda(r[k - 1]);
    tracos = t;
    return {cordas_.data(), k};
}

// The same with the reader on the caller's thread: the chords straight from
// the reader, as LeitorGcode::proxima would give them one by one.
std::span<const Movimento> LeituraParalela::cordas_sozinha(std::uint16_t& tracos) {
    const Movimento& antes = linha_lida_.movimento;
    LeitorGcode::Corda c;
    c.de = leitor_.posicao();
    c.linha_de = leitor_.linha_posicao();
    c.numero = leitor_.linhas();
    std::uint16_t t = 0;
    std::size_t k = 0;
    leitor_.cordas(max_cordas, [&](double x, double y, double z, std::uint16_t tr, bool de_conhecido,
                                   std::uint8_t compensacao) {
        ++c.numero;
        c.x = x;
        c.y = y;
        c.z = z;
        c.de_conhecido = de_conhecido;
        c.compensacao = compensacao;
        cordas_[k] = antes;
        LeitorGcode::mover_corda(cordas_[k++], c);
        c.de = Ponto3{x, y, z};
        c.linha_de = c.numero;
        t |= tr;
    });
    tracos = t;
    return {cordas_.data(), k};
}

const Linha* LeituraParalela::proxima() {
    if (!paralela_) return leitor_.proxima(linha_lida_) ? &linha_lida_ : nullptr;
    Linha& l = linha_dada_;
    for (;;) {
        if (proximo_ != fim_) [[likely]] {
            const Registro& r = *proximo_++;
            if (r.completa == 0) [[likely]] {
                // The move before, carried on to the point: only what changes is written.
                seguir(l.movimento, l.movimento, ++l.numero, r);
                dar_corda(r);
                return &l;
            }
            const Lote& lote = lotes_[lote_atual_];
            const LinhaCompleta& c = lote.completas[r.completa - 1];
            em_cordas_ = false;
            cordas_moldadas_ = 0;
            // The last move stays in the line for the chords after it.
            if (c.linha.tipo == TipoLinha::movimento) {
                l = c.linha;
            } else {
                const Movimento m = l.movimento;
                l = c.linha;
                l.movimento = m;
            }
            for (std::size_t i = 0; i < l.quantidade_comentarios; ++i) l.comentarios[i] = trecho(lote, c.comentarios[i]);
            l.texto = trecho(lote, c.texto);
            l.motivo = trecho(lote, c.motivo);
            return &l;
        }
        if (terminada_) return nullptr;
        if (lote_aberto_) {
            // The batch is done with: back to the reader, unless it was the last.
            if (lotes_[lote_atual_].ultimo) {
                terminada_ = true;
                tarefa_->juntar();
                if (falha_) std::rethrow_exception(falha_);
                return nullptr;
            }
            lote_atual_ = (lote_atual_ + 1) % lotes;
            livres_.liberar();
        }
        // Rather than wait for the batch, the file's next block is read here,
        // where the reader would read it: reading shifts to whichever thread
        // has time for it.
        while (!cheios_.tentar())
            if (!leitor_.antecipar()) {
                cheios_.esperar();
                break;
            }
        lote_aberto_ = true;
        const Lote& lote = lotes_[lote_atual_];
        proximo_ = lote.registros.get();
        fim_ = proximo_ + lote.quantos;
    }
}
