#include "emissao/escrita.hpp"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "nucleo/formatar.hpp"
#include "nucleo/juntar.hpp"

namespace {

// printf's text, with the program's own for infinities and NaNs.
std::string formatado(const char* formato, ...) {
    va_list args;
    va_start(args, formato);
    Formatado formatar;
    std::string r(formatar(formato, args));
    va_end(args);
    return r;
}

}  // namespace

namespace {

// `valor` with `casas` decimals exactly as printf "%.Nf" prints the double,
// written at `p`; null when the shortcut cannot be sure (then printf's rule
// is applied the slow way). Scaled by 10^casas the value rounds
// unambiguously unless it lies within a hair of a tie, far beyond the
// product's error.
char* fixo_rapido(char* p, double valor, int casas) {
    static constexpr double escalas[] = {1, 10, 100, 1000, 10000};
    const double x = std::fabs(valor) * escalas[casas];
    // Below 2^32 the product is off by under 2^-21: far less than the margin.
    if (!(x < 4294967296.0)) return nullptr;
    const double r = std::nearbyint(x);
    if (std::fabs(std::fabs(x - r) - 0.5) < 1e-6) return nullptr;
    auto n = static_cast<std::uint64_t>(r);
    char texto[24];
    char* q = texto + sizeof texto;
    for (int i = 0; i < casas; ++i, n /= 10) *--q = static_cast<char>('0' + n % 10);
    if (casas > 0) *--q = '.';
    do {
        *--q = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    if (std::signbit(valor)) *p++ = '-';
    const auto tamanho = static_cast<std::size_t>(texto + sizeof texto - q);
    std::memcpy(p, q, tamanho);
    return p + tamanho;
}

bool acrescentar_fixo(std::string& destino, double valor, int casas) {
    char texto[32];
    char* fim = fixo_rapido(texto, valor, casas);
    if (fim == nullptr) return false;
    destino.append(texto, fim);
    return true;
}

}  // namespace

std::string Escrita::comentario(std::string_view texto) const {
    std::string inicio, fim;
    comentario_partido(texto, "", inicio, fim);
    return inicio + fim;
}

void Escrita::comentario_partido(std::string_view antes, std::string_view depois, std::string& inicio,
                                 std::string& fim) const {
    const bool parenteses = dialeto_.comentario == vocabulario::EstiloComentario::parenteses;
    inicio = juntar({parenteses ? "(" : ";", vocabulario::texto_no_dialeto(antes, dialeto_.texto_comentario)});
    fim = juntar({vocabulario::texto_no_dialeto(depois, dialeto_.texto_comentario), parenteses ? ")" : ""});
}

std::string Escrita::numero(double valor, int casas) const {
    static const char* const formatos[] = {"%.0f", "%.1f", "%.2f", "%.3f", "%.4f"};
    casas = casas < 0 ? 0 : casas > 4 ? 4 : casas;
    // A finite number as printf prints it, without printf's cost.
    std::string rapido;
    if (acrescentar_fixo(rapido, valor, casas)) return rapido;
    char texto[400];
    if (std::isfinite(valor)) {
        const auto r = std::to_chars(texto, texto + sizeof texto, valor, std::chars_format::fixed, casas);
        if (r.ec == std::errc()) return std::string(texto, r.ptr);
    }
    return formatado(formatos[casas], valor);
}

std::string Escrita::coordenada(double valor, int casas) const {
    std::string r;
    acrescentar_coordenada(r, valor, casas);
    return r;
}


void Escrita::acrescentar_coordenada(std::string& destino, double valor, int casas) const {
    casas = casas < 0 ? 0 : casas > 4 ? 4 : casas;
    const std::size_t inicio = destino.size();
    if (!acrescentar_fixo(destino, valor, casas)) {
        char texto[400];
        const auto r = std::isfinite(valor) ? std::to_chars(texto, texto + sizeof texto, valor, std::chars_format::fixed, casas)
                                            : std::to_chars_result{texto, std::errc::value_too_large};
        if (r.ec == std::errc())
            destino.append(texto, r.ptr);
        else
            destino += numero(valor, casas);
    }
    if (dialeto_.ponto_decimal && casas == 0 && destino.find('.', inicio) == std::string::npos) destino.push_back('.');
}

char* Escrita::escrever_coordenada(char* destino, double valor, int casas) const {
    casas = casas < 0 ? 0 : casas > 4 ? 4 : casas;
    if (char* fim = fixo_rapido(destino, valor, casas)) return fim;
    std::string texto;
    acrescentar_coordenada(texto, valor, casas);
    std::memcpy(destino, texto.data(), texto.size());
    return destino + texto.size();
}

void Escrita::quebras(int n) {
    for (int i = 0; i < n; ++i) arquivo_.texto("\n");
}

void Escrita::linha_comentario(int n, std::string_view texto) {
    quebras(n);
    arquivo_.texto(comentario(texto));
}

void Escrita::linha_comentario_formatada(int n, const char* formato, ...) {
    va_list args;
    va_start(args, formato);
    Formatado formatar;
    const std::string texto(formatar(formato, args));
    va_end(args);
    linha_comentario(n, texto);
}
