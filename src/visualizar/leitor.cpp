#include "visualizar/leitor.hpp"

#include <algorithm>
#include <charconv>

namespace {

bool eh_branco(char c) { return c == ' ' || c == '\t'; }
bool eh_digito(char c) { return c >= '0' && c <= '9'; }
char minuscula(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A number as G-code writes it: optional sign, digits with an optional point,
// at least one digit; no exponent, no "inf" or "nan".
const char* ler_numero(const char* p, const char* fim, double& valor) {
    bool negativo = false;
    if (p < fim && (*p == '+' || *p == '-')) {
        negativo = *p == '-';
        ++p;
    }
    const char* digitos = p;
    std::size_t n = 0;
    while (p < fim && eh_digito(*p)) ++p, ++n;
    if (p < fim && *p == '.') {
        ++p;
        while (p < fim && eh_digito(*p)) ++p, ++n;
    }
    if (n == 0 || n > 30) return nullptr;
    double v = 0;
    auto r = std::from_chars(digitos, p, v, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != p) return nullptr;
    valor = negativo ? -v : v;
    return p;
}

}  // namespace

LeitorGcode::LeitorGcode(std::FILE* arquivo) : arquivo_(arquivo) {
    for (Fatia& f : fatias_) f.dados.reset(new char[prefixo + tamanho_bloco + folga]());
    p_ = fim_ = vazio_;
#if ROSCA_LEITURA_ADIANTE
    leitura_ = std::thread(&LeitorGcode::ler_adiante, this);
#endif
}

LeitorGcode::~LeitorGcode() {
#if ROSCA_LEITURA_ADIANTE
    {
        std::lock_guard<std::mutex> trava(mutex_);
        parar_ = true;
    }
    sinal_.notify_all();
    leitura_.join();
#endif
}

void LeitorGcode::ler_bloco(Fatia& f) {
    f.bytes = std::fread(f.dados.get() + prefixo, 1, tamanho_bloco, arquivo_);
    f.fim = f.bytes < tamanho_bloco;
    f.erro = f.fim && std::ferror(arquivo_) != 0;
}

#if ROSCA_LEITURA_ADIANTE
// The reading thread: fills free slots in turn until the end of the file.
void LeitorGcode::ler_adiante() {
    for (;;) {
        Fatia* f;
        {
            std::unique_lock<std::mutex> trava(mutex_);
            sinal_.wait(trava, [this] { return livres_ > 0 || parar_; });
            if (parar_) return;
            f = &fatias_[static_cast<std::size_t>(produtor_)];
        }
        ler_bloco(*f);
        const bool fim = f->fim;
        {
            std::lock_guard<std::mutex> trava(mutex_);
            --livres_;
            ++cheias_;
            produtor_ = (produtor_ + 1) % quantidade_fatias;
        }
        sinal_.notify_all();
        if (fim) return;
    }
}
#endif

// Moves on to the next block read: what is left of the current one (the
// start of a line) goes just before it. A NUL stays after the data, so that
// the fast path stops there.
bool LeitorGcode::encher() {
    if (eof_) return false;
    const auto resto = static_cast<std::size_t>(fim_ - p_);
#if ROSCA_LEITURA_ADIANTE
    Fatia* nova;
    {
        std::unique_lock<std::mutex> trava(mutex_);
        sinal_.wait(trava, [this] { return cheias_ > 0; });
        nova = &fatias_[static_cast<std::size_t>(consumidor_)];
    }
    char* inicio = nova->dados.get() + prefixo - resto;
    std::memcpy(inicio, p_, resto);
    {
        std::lock_guard<std::mutex> trava(mutex_);
        --cheias_;
        if (em_uso_ >= 0) ++livres_;
        em_uso_ = consumidor_;
        consumidor_ = (consumidor_ + 1) % quantidade_fatias;
    }
    sinal_.notify_all();
#else
    em_uso_ = em_uso_ == 0 ? 1 : 0;
    Fatia* nova = &fatias_[static_cast<std::size_t>(em_uso_)];
    char* inicio = nova->dados.get() + prefixo - resto;
    std::memcpy(inicio, p_, resto);
    ler_bloco(*nova);
#endif
    p_ = inicio;
    fim_ = nova->dados.get() + prefixo + nova->bytes;
    std::memset(const_cast<char*>(fim_), 0, folga);
    if (nova->fim) {
        eof_ = true;
        erro_ = nova->erro;
    }
    return nova->bytes > 0;
}

bool LeitorGcode::geral(Linha& l) {
    l.sem_fim_de_linha = false;
    for (;;) {
        const auto disponivel = static_cast<std::size_t>(fim_ - p_);
        const char* e = static_cast<const char*>(std::memchr(p_, '\n', disponivel));
        if (e != nullptr) {
            const char* inicio = p_;
            const auto tamanho = static_cast<std::size_t>(e - p_);
            bytes_lidos_ += tamanho + 1;
            p_ = e + 1;
            if (tamanho > max_linha) {
                l.tipo = TipoLinha::ilegivel;
                l.texto = std::string_view(inicio, max_texto_guardado);
                l.bytes = tamanho;
                return true;
            }
            std::size_t n = tamanho;
            if (n > 0 && inicio[n - 1] == '\r') --n;
            interpretar(std::string_view(inicio, n), l);
            return true;
        }
        if (eof_) {
            // The last line has no line end: the file may have been cut here.
            const char* inicio = p_;
            bytes_lidos_ += disponivel;
            p_ = fim_;
            l.sem_fim_de_linha = true;
            if (disponivel > max_linha) {
                l.tipo = TipoLinha::ilegivel;
                l.texto = std::string_view(inicio, max_texto_guardado);
                l.bytes = disponivel;
                return true;
            }
            std::size_t n = disponivel;
            if (n > 0 && inicio[n - 1] == '\r') --n;
            interpretar(std::string_view(inicio, n), l);
            return true;
        }
        if (disponivel >= max_linha) {
            // Too long to be ours: keep its start for the message and skip the
            // rest block by block, whatever its length.
            longa_.assign(p_, max_texto_guardado);
            std::uint64_t total = disponivel;
            p_ = fim_;
            for (;;) {
                encher();
                const auto n = static_cast<std::size_t>(fim_ - p_);
                const char* f = static_cast<const char*>(std::memchr(p_, '\n', n));
                if (f != nullptr) {
                    total += static_cast<std::uint64_t>(f - p_);
                    p_ = f + 1;
                    bytes_lidos_ += total + 1;
                    break;
                }
                total += n;
                p_ = fim_;
                if (eof_) {
                    bytes_lidos_ += total;
                    l.sem_fim_de_linha = true;
                    break;
                }
            }
            l.tipo = TipoLinha::ilegivel;
            l.texto = longa_;
            l.bytes = total;
            return true;
        }
        encher();
    }
}

void LeitorGcode::interpretar(std::string_view texto, Linha& l) {
    l.tem_x = l.tem_y = l.tem_z = l.tem_s = l.tem_f = l.tem_p = false;
    l.g = l.m = -1;
    l.par_repetido = false;
    l.texto = texto;
    l.bytes = texto.size();
    const char* p = texto.data();
    const char* fim = p + texto.size();
    while (p < fim && eh_branco(*p)) ++p;
    if (p == fim) {
        l.tipo = TipoLinha::vazia;
        return;
    }
    if (*p == ';') {
        l.tipo = TipoLinha::comentario;
        l.texto = std::string_view(p + 1, static_cast<std::size_t>(fim - p - 1));
        return;
    }
    l.tipo = TipoLinha::ilegivel;
    if (texto.size() > max_texto_guardado) l.texto = texto.substr(0, max_texto_guardado);
    unsigned vistas = 0;  // one bit per letter: a word may not repeat
    double g = -1, m = -1;
    while (p < fim) {
        if (eh_branco(*p)) {
            ++p;
            continue;
        }
        if (*p == ';') break;  // a comment after the words
        const char letra = minuscula(*p);
        const char* letras = "gmsfpxyz";
        const char* onde = std::strchr(letras, letra);
        if (letra == '\0' || onde == nullptr) return;
        const unsigned bit = 1u << (onde - letras);
        if (vistas & bit) return;
        vistas |= bit;
        double v;
        const char* q = ler_numero(p + 1, fim, v);
        if (q == nullptr) return;
        p = q;
        switch (letra) {
            case 'g': g = v; break;
            case 'm': m = v; break;
            case 's': l.tem_s = true, l.s = v; break;
            case 'f': l.tem_f = true, l.f = v; break;
            case 'p': l.tem_p = true, l.p = v; break;
            case 'x': l.tem_x = true, l.x = v; break;
            case 'y': l.tem_y = true, l.y = v; break;
            default: l.tem_z = true, l.z = v; break;
        }
    }
    // Only whole codes that this project writes.
    if (g >= 0) {
        if (g != 0 && g != 1 && g != 4 && g != 50 && g != 51) return;
        l.g = static_cast<int>(g);
    }
    if (m >= 0) {
        if (m != 3 && m != 5 && m != 30) return;
        l.m = static_cast<int>(m);
    }
    const bool coordenadas = l.tem_x || l.tem_y || l.tem_z;
    if (l.g == 4 || l.g == 51 || l.g == 50 || !coordenadas) {
        // Scale factors and dwell times are not coordinates.
        if (l.g == 0 || l.g == 1) movimento_ = l.g;
        if (l.g == 50 && (coordenadas || l.tem_p)) return;
        if (l.g == 4 && coordenadas) return;
        if (l.tem_p && l.g != 4) return;
        l.tipo = TipoLinha::comando;
        return;
    }
    if (l.tem_p) return;
    if (l.g == 0 || l.g == 1) movimento_ = l.g;
    if (movimento_ < 0) return;  // coordinates before any motion code
    if (movimento_ == 0) {
        l.tipo = TipoLinha::rapido;
        ++geracao_;
        indice_ = 0;
        anterior_repetido_ = false;
        return;
    }
    vagas_[indice_ % graus_volta].geracao = 0;
    terminar_corte(l, false);
}
