#include "visualizar/palavras.hpp"

#include <cstring>

namespace {

void comentario(Palavras& w, const char* inicio, const char* fim) {
    if (w.quantidade_comentarios < Palavras::max_comentarios)
        w.comentarios[w.quantidade_comentarios] = std::string_view(inicio, static_cast<std::size_t>(fim - inicio));
    ++w.quantidade_comentarios;
}

// A G or M number: whole, as "1", "01" or "1.0" write it.
bool codigo(double v, int& n) {
    if (!(v >= 0 && v < 100)) return false;
    n = static_cast<int>(v);
    return static_cast<double>(n) == v;
}

std::uint32_t bit_g(int n, int& movimento) {
    switch (n) {
        case 0: movimento = 0; return g_rapido;
        case 1: movimento = 1; return g_linear;
        case 2: movimento = 2; return g_arco_horario;
        case 3: movimento = 3; return g_arco_anti;
        case 4: return g_pausa;
        case 17: return g_plano_xy;
        case 21: return g_milimetros;
        case 40: return g_sem_compensacao;
        case 41:
        case 42: return g_compensacao;
        case 43: return g_comprimento;
        case 49: return g_sem_comprimento;
        case 50: return g_sem_escala;
        case 51: return g_escala;
        case 80: return g_sem_ciclo;
        case 90: return g_absoluto;
        case 94: return g_avanco_minuto;
        default: return 0;
    }
}

}  // namespace

void ler_palavras(std::string_view texto, Palavras& w) {
    w.legivel = true;
    w.marca = false;
    w.letras = 0;
    w.codigos_g = 0;
    w.movimento = -1;
    w.m = -1;
    w.quantidade_comentarios = 0;
    const char* p = texto.data();
    const char* const fim = p + texto.size();
    auto ilegivel = [&w] {
        w.legivel = false;
        return;
    };
    while (p < fim) {
        const char c = *p;
        if (c == ' ' || c == '\t') {
            ++p;
            continue;
        }
        if (c == ';') {
            comentario(w, p + 1, fim);
            return;
        }
        if (c == '(') {
            const char* f = static_cast<const char*>(std::memchr(p + 1, ')', static_cast<std::size_t>(fim - p - 1)));
            if (f == nullptr) return ilegivel();
            comentario(w, p + 1, f);
            p = f + 1;
            continue;
        }
        if (c == '%') {
            // The tape mark: alone on its line, blanks and comments aside.
            if (w.letras != 0 || w.codigos_g != 0) return ilegivel();
            w.marca = true;
            ++p;
            continue;
        }
        if (w.marca) return ilegivel();
        // Lower case for letters; anything else stays outside 'a' to 'z'.
        const char l = static_cast<char>(c | 0x20);
        if (l < 'a' || l > 'z') return ilegivel();
        double v;
        const char* q = ler_numero(p + 1, fim, v);
        if (q == nullptr) return ilegivel();
        p = q;
        if (l == 'g') {
            int n;
            if (!codigo(v, n)) return ilegivel();
            int movimento = -1;
            const std::uint32_t bit = bit_g(n, movimento);
            if (bit == 0 || (w.codigos_g & bit) != 0) return ilegivel();
            // One motion code per line.
            if (movimento >= 0) {
                if (w.movimento >= 0) return ilegivel();
                w.movimento = movimento;
            }
            w.codigos_g |= bit;
            continue;
        }
        const std::uint32_t b = letra(l);
        if ((w.letras & b) != 0) return ilegivel();  // a word may not repeat
        w.letras |= b;
        switch (l) {
            case 'x': w.x = v; break;
            case 'y': w.y = v; break;
            case 'z': w.z = v; break;
            case 'i': w.i = v; break;
            case 'j': w.j = v; break;
            case 's': w.s = v; break;
            case 'f': w.f = v; break;
            case 'p': w.p = v; break;
            case 'm': {
                int n;
                if (!codigo(v, n) || (n != 2 && n != 3 && n != 5 && n != 6 && n != 30)) return ilegivel();
                w.m = n;
                break;
            }
            case 'n':  // block number
            case 'o':  // program number
            case 't':  // tool
            case 'h':  // length offset, with G43
            case 'd':  // radius offset, with G41 / G42
                break;
            default: return ilegivel();
        }
    }
}
