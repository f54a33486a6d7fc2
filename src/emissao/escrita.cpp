#include "emissao/escrita.hpp"

#include <cstdarg>

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
    return formatado(formatos[casas < 0 ? 0 : casas > 4 ? 4 : casas], valor);
}

std::string Escrita::coordenada(double valor, int casas) const {
    std::string r = numero(valor, casas);
    if (dialeto_.ponto_decimal && casas == 0 && r.find('.') == std::string::npos) r.push_back('.');
    return r;
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
