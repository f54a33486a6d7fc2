#include "nucleo/formatar.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// printf's text for one conversion and its value, appended to `destino`.
template <typename T>
void anexar(std::string& destino, const std::string& especificacao, T valor) {
    char local[128];
    const int n = std::snprintf(local, sizeof local, especificacao.c_str(), valor);
    if (n < 0) return;
    const auto tamanho = static_cast<std::size_t>(n);
    if (tamanho < sizeof local) {
        destino.append(local, tamanho);
        return;
    }
    const std::size_t antes = destino.size();
    destino.resize(antes + tamanho + 1);
    std::snprintf(destino.data() + antes, tamanho + 1, especificacao.c_str(), valor);
    destino.resize(antes + tamanho);
}

// The texts of the infinities and NaNs, as the GNU C library prints them,
// sign of a NaN included: the runtimes differ here ("-nan" against "nan"),
// and the program's bytes may not differ between platforms.
void anexar_nao_finito(std::string& destino, std::string_view bandeiras, int largura, bool maiusculas,
                       long double valor) {
    std::string texto;
    if (std::signbit(valor))
        texto = "-";
    else if (bandeiras.find('+') != std::string_view::npos)
        texto = "+";
    else if (bandeiras.find(' ') != std::string_view::npos)
        texto = " ";
    texto += std::isnan(valor) ? (maiusculas ? "NAN" : "nan") : (maiusculas ? "INF" : "inf");
    const auto falta = largura > static_cast<int>(texto.size()) ? static_cast<std::size_t>(largura) - texto.size() : 0;
    if (bandeiras.find('-') != std::string_view::npos)
        destino.append(texto).append(falta, ' ');
    else
        destino.append(falta, ' ').append(texto);
}

bool eh_digito(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string_view Formatado::operator()(const char* formato, va_list args) {
    texto_.clear();
    const char* p = formato;
    while (*p != '\0') {
        const char* conversao = std::strchr(p, '%');
        if (conversao == nullptr) {
            texto_.append(p);
            break;
        }
        texto_.append(p, static_cast<std::size_t>(conversao - p));
        const char* q = conversao + 1;
        if (*q == '%') {
            texto_ += '%';
            p = q + 1;
            continue;
        }
        const char* inicio_bandeiras = q;
        while (*q != '\0' && std::strchr("-+ #0", *q) != nullptr) ++q;
        const std::string_view bandeiras(inicio_bandeiras, static_cast<std::size_t>(q - inicio_bandeiras));
        int largura = 0;
        for (; eh_digito(*q); ++q) largura = largura < 100000 ? largura * 10 + (*q - '0') : largura;
        if (*q == '.')
            for (++q; eh_digito(*q);) ++q;
        const char* inicio_tamanho = q;
        while (*q != '\0' && std::strchr("hlLjzt", *q) != nullptr) ++q;
        const std::string_view tamanho(inicio_tamanho, static_cast<std::size_t>(q - inicio_tamanho));
        const char tipo = *q;
        if (tipo == '\0') break;
        const std::string especificacao(conversao, static_cast<std::size_t>(q + 1 - conversao));
        p = q + 1;

        switch (tipo) {
            case 'd':
            case 'i':
                if (tamanho == "ll" || tamanho == "j")
                    anexar(texto_, especificacao, va_arg(args, long long));
                else if (tamanho == "l")
                    anexar(texto_, especificacao, va_arg(args, long));
                else if (tamanho == "z" || tamanho == "t")
                    anexar(texto_, especificacao, va_arg(args, std::ptrdiff_t));
                else
                    anexar(texto_, especificacao, va_arg(args, int));
                break;
            case 'u':
            case 'x':
            case 'X':
            case 'o':
                if (tamanho == "ll" || tamanho == "j")
                    anexar(texto_, especificacao, va_arg(args, unsigned long long));
                else if (tamanho == "l")
                    anexar(texto_, especificacao, va_arg(args, unsigned long));
                else if (tamanho == "z" || tamanho == "t")
                    anexar(texto_, especificacao, va_arg(args, std::size_t));
                else
                    anexar(texto_, especificacao, va_arg(args, unsigned));
                break;
            case 'c':
                anexar(texto_, especificacao, va_arg(args, int));
                break;
            case 's':
                anexar(texto_, especificacao, va_arg(args, const char*));
                break;
            case 'p':
                anexar(texto_, especificacao, va_arg(args, void*));
                break;
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G':
            case 'a':
            case 'A': {
                const bool longo = tamanho == "L";
                const long double valor = longo ? va_arg(args, long double) : va_arg(args, double);
                const bool maiusculas = tipo == 'F' || tipo == 'E' || tipo == 'G' || tipo == 'A';
                if (!std::isfinite(valor))
                    anexar_nao_finito(texto_, bandeiras, largura, maiusculas, valor);
                else if (longo)
                    anexar(texto_, especificacao, valor);
                else
                    anexar(texto_, especificacao, static_cast<double>(valor));
                break;
            }
            default:
                // Not a conversion the program uses: shown as written.
                texto_.append(especificacao);
                break;
        }
    }
    return texto_;
}
