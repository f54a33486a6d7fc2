#pragma once

#include <cstdarg>
#include <string>
#include <string_view>
#include <type_traits>

// printf formatting, as the GNU C library does it on every platform: each
// conversion goes to the runtime's own snprintf, but the texts of infinities
// and NaNs ("inf", "-inf", "nan", "-nan") are the program's own, since
// runtimes differ there. The text lives until the next call.
class Formatado {
public:
    std::string_view operator()(const char* formato, va_list args);

private:
    std::string texto_;
};

// Compile-time check of a printf format against the types of its values, for
// formats kept in tables, where the compiler's own format check cannot see
// them. Knows the conversions the program uses: %d, %lld, %f, %s, with flags,
// width and precision; "%%" is no conversion.
namespace formato_detalhe {

enum class Tipo { inteiro, longo, real, texto, desconhecido };

template <typename T>
consteval Tipo tipo_de() {
    if constexpr (std::is_same_v<T, int>) return Tipo::inteiro;
    else if constexpr (std::is_same_v<T, long long>) return Tipo::longo;
    else if constexpr (std::is_same_v<T, double>) return Tipo::real;
    else if constexpr (std::is_same_v<T, const char*>) return Tipo::texto;
    else return Tipo::desconhecido;
}

consteval bool confere(const char* f, const Tipo* tipos, std::size_t n) {
    std::size_t usados = 0;
    for (std::size_t i = 0; f[i] != '\0'; ++i) {
        if (f[i] != '%') continue;
        ++i;
        if (f[i] == '%') continue;
        while (f[i] == '-' || f[i] == '+' || f[i] == ' ' || f[i] == '#' || f[i] == '0') ++i;
        while (f[i] >= '0' && f[i] <= '9') ++i;
        if (f[i] == '.') {
            ++i;
            while (f[i] >= '0' && f[i] <= '9') ++i;
        }
        Tipo esperado = Tipo::desconhecido;
        if (f[i] == 'l' && f[i + 1] == 'l' && f[i + 2] == 'd') {
            esperado = Tipo::longo;
            i += 2;
        } else if (f[i] == 'd') {
            esperado = Tipo::inteiro;
        } else if (f[i] == 'f') {
            esperado = Tipo::real;
        } else if (f[i] == 's') {
            esperado = Tipo::texto;
        }
        if (esperado == Tipo::desconhecido || usados == n || tipos[usados] != esperado) return false;
        ++usados;
    }
    return usados == n;
}

}  // namespace formato_detalhe

// True when `formato` takes exactly values of the types `Valores`, in order.
// A null format (a row a destination does not have) takes anything.
template <typename... Valores>
consteval bool formato_confere(const char* formato) {
    // Under the null-pointer sanitizers GCC will not fold the address of an
    // object (a format built in the vocabulary) compared with null; such an
    // address is never null, and only a null literal needs the comparison.
    if (__builtin_constant_p(formato == nullptr) && formato == nullptr) return true;
    constexpr formato_detalhe::Tipo tipos[] = {formato_detalhe::tipo_de<Valores>()..., formato_detalhe::Tipo::desconhecido};
    return formato_detalhe::confere(formato, tipos, sizeof...(Valores));
}

static_assert(formato_confere<double, long long>("a %.2f b %lld [mm] 100%%"));
static_assert(!formato_confere<double>("%d") && !formato_confere<>("%f") && !formato_confere<int>(""));
