#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "nucleo/tarefa.hpp"
#include "visualizar/leitor_gcode.hpp"

// The file's lines as LeitorGcode gives them, read and parsed on a second
// thread while the caller folds them into the model: reading is half the
// viewer's work. The lines come in the same order with the same contents;
// with one processor, or without a thread to be had, the reader runs on the
// caller's thread instead.
//
// A line goes over in a batch: a move with nothing else on it (the chords
// that make up nearly all of a file) as its move alone; any other line
// whole, with its texts copied, since the reader's bytes are refilled.
// When the caller finds no batch ready, it reads the file's next block for
// the reader (LeitorLinhas::antecipar) instead of waiting: the system's copy
// of the bytes goes to whichever thread has time for it.
class LeituraParalela {
public:
    static constexpr std::size_t linhas_por_lote_padrao = 2048;
    // Enough for the reader to go on while the caller reads a block ahead.
    static constexpr std::size_t lotes = 16;
    static constexpr std::size_t por_copia = 64;

    LeituraParalela(Fonte& fonte, std::size_t tamanho_bloco = LeitorLinhas::bloco_padrao,
                    std::size_t linhas_por_lote = linhas_por_lote_padrao, bool paralela = true);
    ~LeituraParalela();
    LeituraParalela(const LeituraParalela&) = delete;
    LeituraParalela& operator=(const LeituraParalela&) = delete;

    // The next line; null at the end of the file. It, and its texts, stay
    // valid until the next call; it must not be changed, since the next
    // line is written over it.
    const Linha* proxima();

    // The lines that come next while each is a chord alone (Linha::so_corda),
    // up to `max_cordas`, as their moves, with their traits OR-ed into
    // `tracos`: the folding of a file takes nearly all of its lines this
    // way, several at a time. Empty when the next line is any other, and
    // now and then between batches; `proxima` then gives it. The moves stay
    // valid until the next call; the line `proxima` gives next follows the
    // last of them.
    static constexpr std::size_t max_cordas = 64;
    std::span<const Movimento> cordas(std::uint16_t& tracos);

    // After the last line.
    std::uint64_t linhas() const { return paralela_ ? linhas_ : leitor_.linhas(); }
    bool erro_leitura() const { return paralela_ ? erro_leitura_ : leitor_.erro_leitura(); }

    bool paralela() const { return paralela_; }

private:
    // A line that is only the next chord (Linha::so_corda): its point and
    // the little else its move may change. `completa` is 0 for it, else
    // 1 + the index of the whole line among the batch's. No more than the
    // point: what the records carry is memory written and read again, which
    // the reading thread waits on; the caller works out the length. Left
    // uninitialized, and every field written for every record: the batches
    // are then touched only as far as a file fills them, since a page's
    // first touch is dear.
    struct alignas(16) Registro {
        double x, y, z;
        std::uint32_t completa;
        std::uint16_t tracos;
        std::uint8_t compensacao;
        bool de_conhecido;
    };
    // Where a text of a whole line lies in its batch's `textos`.
    struct Trecho {
        std::uint32_t inicio = 0, tamanho = 0;
    };
    struct LinhaCompleta {
        Linha linha;
        std::array<Trecho, Palavras::max_comentarios> comentarios;
        Trecho texto, motivo;
    };
    // Each batch on cache lines of its own: the reader writes one while the
    // caller reads another.
    struct alignas(128) Lote {
        std::unique_ptr<Registro[]> registros;
        std::size_t quantos = 0;
        std::vector<LinhaCompleta> completas;
        std::string textos;
        bool ultimo = false;
    };

    static void ler_em_paralelo(void* eu);
    void produzir();
    bool encher(Lote& lote);
    Trecho guardar(Lote& lote, std::string_view texto);
    std::string_view trecho(const Lote& lote, Trecho t) const {
        return std::string_view(lote.textos).substr(t.inicio, t.tamanho);
    }

    // Each thread's own fields on cache lines of their own: a line that both
    // touch goes back and forth between the processors at every write.
    // Set before the thread starts.
    std::size_t linhas_por_lote_;
    bool dois_processadores_;  // asked for, and there to be had
    bool paralela_ = false;
    std::unique_ptr<Tarefa> tarefa_;
    std::atomic<bool> parar_{false};

    // The reader's: its line object lives as long as it does, so that what a
    // line does not set stays as the line before left it, as it would
    // without the second thread; its last line; what it leaves when the
    // file ends.
    alignas(128) LeitorGcode leitor_;
    Linha linha_lida_;
    std::uint64_t numero_lido_ = 0;
    std::exception_ptr falha_;
    std::uint64_t linhas_ = 0;
    bool erro_leitura_ = false;

    std::array<Lote, lotes> lotes_;
    Semaforo livres_{lotes}, cheios_{0};

    // The caller's: the batch being read, its next record, the last line
    // given, whose move is always the last move.
    alignas(128) std::size_t lote_atual_ = 0;
    const Registro* proximo_ = nullptr;
    const Registro* fim_ = nullptr;
    bool lote_aberto_ = false, terminada_ = false;
    Linha linha_dada_;
    bool em_cordas_ = false;  // it was a chord: its words need not be written again
    std::array<Movimento, max_cordas> cordas_;
    // Of cordas_, the first ones whose fields other than a chord's own are
    // already those the chords carry on: they stay the same from one whole
    // line to the next, and are written again only after one.
    std::size_t cordas_moldadas_ = 0;
    static inline void seguir(Movimento& m, const Movimento& antes, std::uint64_t linha, const Registro& r);
    // seguir in two: what a chord keeps of the move before, and what it brings.
    static inline void moldar(Movimento& m, const Movimento& antes);
    static inline void seguir_ponto(Movimento& m, std::uint64_t linha_de, const Ponto3& de, std::uint64_t linha,
                                    const Registro& r);
    // linha_dada_ made a chord line, its move already set.
    void dar_corda(const Registro& r);
    std::span<const Movimento> cordas_sozinha(std::uint16_t& tracos);
};
