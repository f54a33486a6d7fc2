#include "vocabulario/dialeto.hpp"

namespace vocabulario {

const Dialeto* dialeto_por_nome(std::string_view nome) {
    auto igual = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
            if (x != b[i]) return false;
        }
        return true;
    };
    for (const Dialeto* d : dialetos)
        if (igual(nome, d->nome)) return d;
    return nullptr;
}

std::string texto_no_dialeto(std::string_view texto, TextoComentario regra) {
    if (regra == TextoComentario::livre) return std::string(texto);
    std::string r;
    r.reserve(texto.size());
    for (char c : texto) {
        const auto b = static_cast<unsigned char>(c);
        if (regra == TextoComentario::sem_parenteses) {
            if (b >= 0x20 && b < 0x7f && c != '(' && c != ')' && c != '!' && c != '?' && c != '~') r.push_back(c);
            continue;
        }
        // What the control does not take goes; a blank it leaves twice, once.
        c = caractere_restrito(c);
        if (c == '\0') continue;
        if (c == ' ' && !r.empty() && r.back() == ' ') continue;
        r.push_back(c);
    }
    return r;
}

}  // namespace vocabulario
