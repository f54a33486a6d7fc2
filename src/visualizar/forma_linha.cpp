#include "visualizar/forma_linha.hpp"

#include "visualizar/numero.hpp"

namespace {

bool letra(char c) { return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }
bool digito(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool FormaLinha::tomar(std::string_view t, const Ponto3& para, bool bloco_numerado) {
    valida_ = false;
    if (t.empty() || t.size() > max_bytes) return false;
    std::array<char, max_bytes> variavel{};
    // A block number, at the line's start or after its N.
    std::size_t i = !bloco_numerado && (t[0] | 0x20) == 'n' ? 1 : 0;
    if (bloco_numerado || i == 1)
        for (; i < t.size() && digito(t[i]); ++i) variavel[i] = 1;
    const double valores[3] = {para.x, para.y, para.z};
    bool achado[3] = {};
    for (std::size_t k = 0; k < t.size(); ++k) {
        const char c = static_cast<char>(t[k] | 0x20);
        if ((c != 'x' && c != 'y' && c != 'z') || (k > 0 && letra(t[k - 1]))) continue;
        const auto eixo = static_cast<std::size_t>(c - 'x');
        std::size_t j = k + 1;
        Campo f;
        f.negativo = j < t.size() && t[j] == '-';
        if (j < t.size() && (t[j] == '-' || t[j] == '+')) ++j;
        f.inicio = static_cast<std::uint8_t>(j);
        std::size_t digitos = 0;
        bool ponto = false;
        for (; j < t.size() && (digito(t[j]) || (t[j] == '.' && !ponto)); ++j) {
            if (t[j] == '.') {
                ponto = true;
                f.ponto = static_cast<std::uint8_t>(j);
                continue;
            }
            variavel[j] = 1;
            ++digitos;
            if (ponto) ++f.decimais;
        }
        f.fim = static_cast<std::uint8_t>(j);
        if (!ponto) f.ponto = f.fim;
        double lido = 0;
        // Read as the full reader reads it, and the move's own: else not this shape.
        if (achado[eixo] || digitos == 0 || digitos > 15 || f.decimais >= std::size(potencias_) ||
            ler_numero(t.data() + k + 1, lido) != t.data() + j || lido != valores[eixo])
            return false;
        achado[eixo] = true;
        campos_[eixo] = f;
    }
    if (!achado[0] || !achado[1] || !achado[2]) return false;
    tamanho_ = t.size();
    for (std::size_t k = 0; k < pedacos; ++k) {
        std::array<unsigned char, 8> m{}, v{}, r{};
        for (std::size_t b = 0; b < 8 && k * 8 + b < t.size(); ++b) {
            const std::size_t p = k * 8 + b;
            v[b] = variavel[p] ? 0xFF : 0;
            m[b] = static_cast<unsigned char>(variavel[p] ? '0' : t[p]);
            r[b] = 0xFF;
        }
        std::memcpy(&mascara_[k], m.data(), 8);
        std::memcpy(&variavel_[k], v.data(), 8);
        std::memcpy(&resto_[k], r.data(), 8);
    }
    valida_ = true;
    return true;
}
