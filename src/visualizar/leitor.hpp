#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// Blocks are read ahead on a thread of their own where the runtime has
// threads, so the copy from the system overlaps the reading of the lines. The
// Windows build's runtime (MinGW's win32 thread model, which runs on Windows
// XP) has none; there the blocks are read in turn. The lines are the same.
#if defined(_GLIBCXX_HAS_GTHREADS)
#define ROSCA_LEITURA_ADIANTE 1
#include <condition_variable>
#include <mutex>
#include <thread>
#else
#define ROSCA_LEITURA_ADIANTE 0
#endif

// Reads a G-code file as this project writes it, line by line, from fixed-size
// blocks: memory does not depend on the file's size. The `g01 x.. y.. z-..`
// lines, nearly all of a file, take a fast path that reads the three-decimal
// numbers as integers of thousandths; anything else takes the general path,
// which reads the words in either case and any number of decimals.

enum class TipoLinha : std::uint8_t {
    vazia,       // blank, or only spaces
    comentario,  // ";" and its text
    corte,       // a feed move (g01, or coordinates while g01 is in force)
    rapido,      // a rapid move (g00/g0, or coordinates while it is in force)
    comando,     // anything else that reads: M3, M5, M30, S, f, G04 P, g51, g50, g0 alone
    ilegivel,    // what cannot be read; `texto` holds (the start of) the line
};

struct Linha {
    TipoLinha tipo = TipoLinha::vazia;
    std::uint64_t numero = 0;  // 1 for the first line
    // corte and rapido: the coordinates the line gives, in mm (Z as written,
    // negative below the top of the part).
    bool tem_x = false, tem_y = false, tem_z = false;
    double x = 0, y = 0, z = 0;
    // comando: the codes and values the line gives; -1 when absent.
    int g = -1, m = -1;
    bool tem_s = false, tem_f = false, tem_p = false;
    double s = 0, f = 0, p = 0;
    // corte: position of the move in its run of consecutive feed moves (a rapid
    // move starts a new run), and whether this move and the one before it
    // have exactly the text of the pair 360 moves earlier in the run: the
    // turns of a pass repeat their points, and such a pair needs no new look.
    std::uint64_t indice = 0;
    bool par_repetido = false;
    // comentario: the text after ";"; ilegivel: the line (at most
    // `max_texto_guardado` bytes of it); comando: the line.
    std::string_view texto;
    // ilegivel: the whole length of the line, which may exceed what is kept.
    std::uint64_t bytes = 0;
    // The last line of the file did not end with a line break.
    bool sem_fim_de_linha = false;
    // corte: when not 0, this many consecutive moves, from line `numero`
    // and position `indice` on, each a repeated pair; `lote` holds their Z.
    // `x`, `y` and `z` are those of the last of them.
    std::size_t tamanho_lote = 0;
    const double* lote = nullptr;
};

class LeitorGcode {
public:
    static constexpr std::size_t tamanho_bloco = std::size_t{1} << 20;
    // A longer line is not G-code of this project; it is skipped, not held.
    static constexpr std::size_t max_linha = 4096;
    static constexpr std::size_t max_texto_guardado = 120;
    static constexpr std::size_t graus_volta = 360;
    static constexpr std::size_t max_lote = 512;

    explicit LeitorGcode(std::FILE* arquivo);
    ~LeitorGcode();
    LeitorGcode(const LeitorGcode&) = delete;
    LeitorGcode& operator=(const LeitorGcode&) = delete;

    // The next line into `l`; false at the end of the file. Texts in `l`
    // stay valid until the next call.
    bool proxima(Linha& l);

    // True when reading the file failed (not merely ended).
    bool erro_leitura() const { return erro_; }
    std::uint64_t linhas() const { return numero_; }
    std::uint64_t bytes_lidos() const { return bytes_lidos_; }

private:
    // What the fast path keeps of the move at each position of a turn.
    struct Vaga {
        std::uint64_t geracao = 0;  // run it belongs to; 0: empty
        std::uint32_t tamanho = 0;  // bytes of "g01 x.. y.. z-"
        std::uint32_t palavras = 0;
        double x = 0, y = 0;
        std::uint64_t texto[6];
        std::uint64_t mascara[6];
    };
    static constexpr std::size_t folga = 256;  // bytes a fast read may look ahead

    bool rapida(Linha& l);
    bool repetidas(Linha& l);
    bool geral(Linha& l);
    void interpretar(std::string_view texto, Linha& l);
    bool encher();
    void terminar_corte(Linha& l, bool repetido);

    // Each slot has room before its block for the start of a line that the
    // previous block cut.
    static constexpr std::size_t prefixo = max_linha + folga;
    static constexpr int quantidade_fatias = ROSCA_LEITURA_ADIANTE ? 3 : 2;
    struct Fatia {
        std::unique_ptr<char[]> dados;
        std::size_t bytes = 0;
        bool fim = false, erro = false;
    };
    // Fills `f` with the next block of the file.
    void ler_bloco(Fatia& f);

    std::FILE* arquivo_;
    std::array<Fatia, quantidade_fatias> fatias_;
    int em_uso_ = -1;
#if ROSCA_LEITURA_ADIANTE
    void ler_adiante();
    std::mutex mutex_;
    std::condition_variable sinal_;
    int livres_ = quantidade_fatias, cheias_ = 0;
    int produtor_ = 0, consumidor_ = 0;
    bool parar_ = false;
    std::thread leitura_;
#endif
    char vazio_[folga] = {};
    const char* p_ = nullptr;
    const char* fim_ = nullptr;
    bool eof_ = false;
    bool erro_ = false;
    std::uint64_t numero_ = 0;
    std::uint64_t bytes_lidos_ = 0;
    std::string longa_;  // the kept start of a line too long for the block

    // Modal motion: -1 none yet, 0 rapid, 1 feed.
    int movimento_ = -1;
    std::uint64_t geracao_ = 1;
    std::uint64_t indice_ = 0;
    bool anterior_repetido_ = false;
    std::array<Vaga, graus_volta> vagas_{};
    std::array<double, max_lote> lote_{};
};

// Reads "-?digits.ddd" (exactly three decimals) at `p` as thousandths; the
// pointer past it, or null when the text is not of that form. `p` must be
// followed by a byte that is not a digit (the reader keeps a NUL after its data).
inline const char* ler_milesimos(const char* p, std::int64_t& valor) {
    bool negativo = false;
    if (*p == '-') {
        negativo = true;
        ++p;
    }
    std::int64_t v = 0;
    const char* inicio = p;
    while (static_cast<unsigned char>(*p - '0') < 10) {
        v = v * 10 + (*p - '0');
        ++p;
    }
    const auto digitos = p - inicio;
    if (digitos == 0 || digitos > 12 || *p != '.') return nullptr;
    const auto a = static_cast<unsigned char>(p[1] - '0');
    const auto b = static_cast<unsigned char>(p[2] - '0');
    const auto c = static_cast<unsigned char>(p[3] - '0');
    if (a > 9 || b > 9 || c > 9 || static_cast<unsigned char>(p[4] - '0') < 10) return nullptr;
    v = v * 1000 + a * 100 + b * 10 + c;
    valor = negativo ? -v : v;
    return p + 4;
}

inline bool LeitorGcode::proxima(Linha& l) {
    if (static_cast<std::size_t>(fim_ - p_) < folga && !eof_) encher();
    if (p_ == fim_) return false;
    if (anterior_repetido_ && repetidas(l)) return true;
    ++numero_;
    l.numero = numero_;
    l.tamanho_lote = 0;
    if (p_[0] == 'g' && p_[1] == '0' && p_[2] == '1' && p_[3] == ' ' && p_[4] == 'x' && rapida(l)) return true;
    return geral(l);
}

// Within a pass's later turns nearly every line repeats the text of the line
// 360 before but for the depth: such lines are read in a tight loop of their
// own, and handed over together.
inline bool LeitorGcode::repetidas(Linha& l) {
    std::size_t n = 0;
    std::size_t vaga = indice_ % graus_volta;
    const char* p = p_;
    // Every line read needs the look-ahead, except at the end of the file,
    // where a NUL follows the data.
    const char* const limite = eof_ ? fim_ - 1 : fim_ - folga;
    while (n < max_lote && p <= limite) {
        const Vaga& v = vagas_[vaga];
        if (v.geracao != geracao_) break;
        std::uint64_t diferenca = 0;
        for (std::uint32_t w = 0; w < v.palavras; ++w) {
            std::uint64_t a;
            std::memcpy(&a, p + 8 * w, 8);
            diferenca |= (a ^ v.texto[w]) & v.mascara[w];
        }
        if (diferenca != 0) break;
        const char* q = p + v.tamanho;
        if (*q == '-') break;
        std::int64_t zi;
        q = ler_milesimos(q, zi);
        if (q == nullptr) break;
        if (q[0] == '\r' && q[1] == '\n')
            q += 2;
        else if (q[0] == '\n')
            q += 1;
        else
            break;
        lote_[n++] = static_cast<double>(zi) * -0.001;
        p = q;
        if (++vaga == graus_volta) vaga = 0;
    }
    if (n == 0) return false;
    bytes_lidos_ += static_cast<std::uint64_t>(p - p_);
    p_ = p;
    const Vaga& ultima = vagas_[vaga == 0 ? graus_volta - 1 : vaga - 1];
    l.tipo = TipoLinha::corte;
    l.numero = numero_ + 1;
    numero_ += n;
    l.indice = indice_;
    indice_ += n;
    l.par_repetido = true;
    l.tamanho_lote = n;
    l.lote = lote_.data();
    l.tem_x = l.tem_y = l.tem_z = true;
    l.x = ultima.x;
    l.y = ultima.y;
    l.z = lote_[n - 1];
    l.tem_s = l.tem_f = l.tem_p = false;
    l.g = 1;
    l.m = -1;
    l.sem_fim_de_linha = false;
    movimento_ = 1;
    return true;
}

inline void LeitorGcode::terminar_corte(Linha& l, bool repetido) {
    l.tipo = TipoLinha::corte;
    l.tem_x = l.tem_y = l.tem_z = true;
    l.indice = indice_;
    l.par_repetido = repetido && anterior_repetido_;
    anterior_repetido_ = repetido;
    ++indice_;
    movimento_ = 1;
}

// "g01 x<n> y<n> z-<n>" with three decimals each and a line end.
inline bool LeitorGcode::rapida(Linha& l) {
    Vaga& vaga = vagas_[indice_ % graus_volta];
    const char* q = nullptr;
    bool repetido = false;
    if (vaga.geracao == geracao_) {
        // Same text as the move 360 before: same point, no need to read it.
        // Whole 8-byte words, the last one masked to the text's length.
        std::uint64_t diferenca = 0;
        const std::uint32_t n = vaga.tamanho;
        for (std::uint32_t w = 0; w < vaga.palavras; ++w) {
            std::uint64_t a;
            std::memcpy(&a, p_ + 8 * w, 8);
            diferenca |= (a ^ vaga.texto[w]) & vaga.mascara[w];
        }
        if (diferenca == 0) {
            q = p_ + n;
            repetido = true;
            l.x = vaga.x;
            l.y = vaga.y;
        }
    }
    if (!repetido) {
        std::int64_t xi, yi;
        q = ler_milesimos(p_ + 5, xi);
        if (q == nullptr || q[0] != ' ' || q[1] != 'y') return false;
        q = ler_milesimos(q + 2, yi);
        if (q == nullptr || q[0] != ' ' || q[1] != 'z' || q[2] != '-') return false;
        q += 3;
        l.x = static_cast<double>(xi) / 1000.0;
        l.y = static_cast<double>(yi) / 1000.0;
        const auto n = static_cast<std::size_t>(q - p_);
        if (n <= sizeof vaga.texto) {
            vaga.geracao = geracao_;
            vaga.tamanho = static_cast<std::uint32_t>(n);
            vaga.x = l.x;
            vaga.y = l.y;
            vaga.palavras = static_cast<std::uint32_t>((n + 7) / 8);
            std::memcpy(vaga.texto, p_, 8 * vaga.palavras);
            for (std::uint32_t w = 0; w < vaga.palavras; ++w) {
                const std::size_t bytes = std::min<std::size_t>(8, n - 8 * w);
                // Little-endian or not, the mask covers the first `bytes` bytes in memory.
                unsigned char m[8] = {};
                std::memset(m, 0xff, bytes);
                std::memcpy(&vaga.mascara[w], m, 8);
            }
        } else {
            vaga.geracao = 0;
        }
    }
    if (*q == '-') return false;  // "z--": not a depth
    std::int64_t zi;
    q = ler_milesimos(q, zi);
    if (q == nullptr) return false;
    if (q[0] == '\r' && q[1] == '\n')
        q += 2;
    else if (q[0] == '\n')
        q += 1;
    else
        return false;  // the general path also sees a line cut at the end of the file
    l.z = static_cast<double>(zi) * -0.001;
    l.tem_s = l.tem_f = l.tem_p = false;
    l.g = 1;
    l.m = -1;
    l.sem_fim_de_linha = false;
    bytes_lidos_ += static_cast<std::uint64_t>(q - p_);
    p_ = q;
    terminar_corte(l, repetido);
    return true;
}
