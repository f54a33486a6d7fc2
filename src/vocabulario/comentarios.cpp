#include "vocabulario/comentarios.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "vocabulario/cabecalho.hpp"
#include "vocabulario/dialeto.hpp"

namespace {

using namespace vocabulario;

char minuscula(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when `texto` starts with `rotulo`, ignoring case; `resto` gets what
// follows. The label is compared as a dialect that holds the fewest
// characters writes it (texto_no_dialeto), and so must `texto` be.
bool comeca(std::string_view texto, std::string_view rotulo, std::string_view& resto) {
    // The label reduced as it is compared: no string made for it.
    std::size_t n = 0;
    for (char c : rotulo) {
        c = caractere_restrito(c);
        if (c == '\0' || (c == ' ' && n > 0 && texto[n - 1] == ' ')) continue;
        if (n >= texto.size() || minuscula(texto[n]) != minuscula(c)) return false;
        ++n;
    }
    resto = texto.substr(n);
    return true;
}

bool contem(std::string_view texto, std::string_view trecho) {
    for (std::size_t i = 0; i < texto.size(); ++i) {
        std::string_view r;
        if (comeca(texto.substr(i), trecho, r)) return true;
    }
    return false;
}

std::string_view sem_brancos(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

// A whole number (what "%d" prints); bytes used, 0 when there is none.
std::size_t ler_inteiro(std::string_view t, std::int64_t& v) {
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    auto r = std::from_chars(t.data() + i, t.data() + t.size(), v);
    // Pass and turn numbers far beyond any job are not this project's.
    if (r.ec != std::errc() || v > 1'000'000'000'000 || v < -1'000'000'000'000) return 0;
    return static_cast<std::size_t>(r.ptr - t.data());
}

// A value and, after it, exactly the unit text expected (blanks aside).
bool valor_com_unidade(std::string_view t, std::string_view unidade, Valor& v) {
    const std::size_t n = ler_valor(t, v);
    if (n == 0) return false;
    std::string_view resto = sem_brancos(t.substr(n));
    std::string_view fim;
    return comeca(resto, unidade, fim) && sem_brancos(fim).empty();
}

// A value cell of the summary: a value with its unit, or rotulo::desabilitado, or
// nothing at all (the finishing-step cell when the step was lowered).
bool celula(std::string_view t, Comentario& c) {
    const std::string_view limpo = sem_brancos(t);
    std::string_view fim;
    if (comeca(limpo, rotulo::desabilitado, fim) && fim.empty()) {
        c.desabilitado = true;
        return true;
    }
    if (limpo.empty()) return true;
    return valor_com_unidade(t, unidade::mm_colchetes, c.a);
}

// A whole number and then exactly `depois` (blanks aside), or nothing after it.
bool inteiro_e(std::string_view t, std::string_view depois, std::int64_t& v) {
    const std::size_t k = ler_inteiro(t, v);
    if (k == 0) return false;
    const std::string_view resto = sem_brancos(t.substr(k));
    std::string_view fim;
    if (depois.empty()) return resto.empty();
    return comeca(resto, depois, fim) && sem_brancos(fim).empty();
}

// The lines of the ways of cutting (rotulo::arcos and after; a file of
// Heidenhain's plain language names its arcs rotulo::arcos_cp).
Comentario modo_de_cortar(std::string_view t) {
    Comentario c;
    std::string_view r;
    auto marcar = [&c](TipoComentario tipo, bool ok) {
        if (ok) c.tipo = tipo;
        return c;
    };
    auto inteira = [&t](const char* rotulo) {
        std::string_view fim;
        return comeca(t, rotulo, fim) && sem_brancos(fim).empty();
    };
    if (inteira(rotulo::arcos) || inteira(rotulo::arcos_cp)) return marcar(TipoComentario::arcos, true);
    if (inteira(rotulo::tangencial)) return marcar(TipoComentario::tangencial, true);
    if (inteira(rotulo::avanco_aresta)) return marcar(TipoComentario::avanco_aresta, true);
    if (comeca(t, rotulo::fresamento, r)) {
        r = sem_brancos(r);
        std::string_view resto;
        if (comeca(r, rotulo::concordante, resto))
            c.sentido = 'C';
        else if (comeca(r, rotulo::discordante, resto))
            c.sentido = 'D';
        else
            return c;
        resto = sem_brancos(resto);
        std::string_view fim;
        c.subindo = comeca(resto, rotulo::subindo, fim) && sem_brancos(fim).empty();
        return marcar(TipoComentario::fresamento, c.subindo || resto.empty());
    }
    if (comeca(t, rotulo::compensacao, r)) {
        // Which register holds what: the contour's (the cutter's size) or only the wear.
        c.subindo = inteiro_e(r, rotulo::compensacao_desgaste, c.i) || inteiro_e(r, rotulo::compensacao_desgaste_raio, c.i) ||
                    inteiro_e(r, rotulo::compensacao_desgaste_dr, c.i) ||
                    inteiro_e(r, rotulo::compensacao_desgaste_siemens, c.i);
        return marcar(TipoComentario::compensacao, (c.subindo || inteiro_e(r, rotulo::compensacao_tabela, c.i) ||
                                                     inteiro_e(r, rotulo::compensacao_raio, c.i) ||
                                                     inteiro_e(r, rotulo::compensacao_raio_tabela, c.i)) &&
                                                        c.i >= 0);
    }
    if (comeca(t, rotulo::repeticoes, r))
        return marcar(TipoComentario::repeticoes, inteiro_e(r, "", c.i) && c.i >= 0 && c.i <= 1000);
    if (inteira(rotulo::area_igual)) return marcar(TipoComentario::area_igual, true);
    if (comeca(t, rotulo::perfis, r)) {
        std::int64_t n = 0;
        const std::size_t k = ler_inteiro(r, n);
        if (k == 0) return c;
        std::string_view resto;
        if (!comeca(sem_brancos(r.substr(k)), rotulo::perfis_passo, resto)) return c;
        c.i = n;
        return marcar(TipoComentario::perfis, inteiro_e(resto, rotulo::perfis_voltas, c.j) && c.i >= 1 && c.j >= 1);
    }
    if (comeca(t, rotulo::entradas, r)) {
        std::int64_t n = 0;
        const std::size_t k = ler_inteiro(r, n);
        if (k == 0) return c;
        std::string_view resto;
        if (!comeca(sem_brancos(r.substr(k)), rotulo::entradas_avanco, resto)) return c;
        c.i = n;
        return marcar(TipoComentario::entradas, n >= 1 && valor_com_unidade(resto, unidade::mm_colchetes, c.a));
    }
    if (comeca(t, rotulo::furos, r)) {
        const std::size_t k = ler_inteiro(r, c.i);
        std::string_view resto;
        if (k == 0 || !comeca(sem_brancos(r.substr(k)), "-", resto)) return c;
        return marcar(TipoComentario::furos, c.i >= 1 && valor_com_unidade(resto, rotulo::furos_cada, c.a));
    }
    if (comeca(t, rotulo::furo, r)) {
        const std::size_t k = ler_inteiro(r, c.i);
        std::string_view resto;
        if (k == 0 || !comeca(sem_brancos(r.substr(k)), ": X", resto)) return c;
        const std::size_t m = ler_valor(resto, c.a);
        std::string_view y;
        if (m == 0 || !comeca(sem_brancos(resto.substr(m)), "Y", y)) return c;
        const std::size_t n = ler_valor(y, c.b);
        return marcar(TipoComentario::furo, n != 0 && sem_brancos(y.substr(n)).empty() && c.i >= 1);
    }
    if (comeca(t, rotulo::medidas, r)) {
        std::string_view di, ferramenta;
        const std::size_t n = ler_valor(r, c.a);
        if (n == 0 || !comeca(sem_brancos(r.substr(n)), rotulo::medidas_di, di)) return c;
        const std::size_t m = ler_valor(di, c.b);
        if (m == 0 || !comeca(sem_brancos(di.substr(m)), rotulo::medidas_ferramenta, ferramenta)) return c;
        return marcar(TipoComentario::medidas, valor_com_unidade(ferramenta, unidade::mm_colchetes, c.c));
    }
    if (comeca(t, rotulo::tempo_percurso, r))
        return marcar(TipoComentario::tempo_percurso, valor_com_unidade(r, unidade::minutos, c.a));
    if (comeca(t, rotulo::z_minimo, r))
        return marcar(TipoComentario::z_minimo, valor_com_unidade(r, unidade::mm_colchetes, c.a));
    if (comeca(t, rotulo::conicidade, r))
        return marcar(TipoComentario::conicidade, inteiro_e(r, rotulo::conicidade_face, c.i) && c.i >= 3 && c.i <= 100);
    return c;
}

}  // namespace

std::size_t ler_valor(std::string_view t, Valor& valor) {
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    bool negativo = false;
    if (i < t.size() && t[i] == '-') {
        negativo = true;
        ++i;
    }
    std::string_view r;
    if (comeca(t.substr(i), "inf", r)) {
        valor.v = negativo ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        valor.decimais = 0;
        return i + 3;
    }
    if (comeca(t.substr(i), "nan", r)) {
        valor.v = std::numeric_limits<double>::quiet_NaN();
        valor.decimais = 0;
        return i + 3;
    }
    const std::size_t digitos = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    if (i == digitos) return 0;
    int decimais = 0;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++decimais;
    }
    double v = 0;
    auto res = std::from_chars(t.data() + digitos, t.data() + i, v, std::chars_format::fixed);
    if (res.ec != std::errc()) return 0;
    valor.v = negativo ? -v : v;
    valor.decimais = decimais;
    return i;
}

Comentario interpretar_comentario(std::string_view texto) {
    // Every dialect's form of a comment reads the same once it is reduced to
    // what the most restricted one holds: no brackets, no ">", upper case.
    const std::string reduzido = texto_no_dialeto(texto, TextoComentario::restrito);
    const std::string_view t = reduzido;
    Comentario c;
    std::string_view r;
    auto marcar = [&c](TipoComentario tipo, bool ok) {
        if (ok) c.tipo = tipo;
        return c;
    };

    // Turn comments and list lines share their start.
    if (comeca(t, rotulo::passe, r)) {
        std::int64_t n;
        std::size_t k = ler_inteiro(r, n);
        if (k == 0) return c;
        c.i = n;
        std::string_view depois = r.substr(k);
        std::string_view resto;
        if (comeca(sem_brancos(depois), rotulo::volta, resto)) {
            std::int64_t fio;
            std::size_t m = ler_inteiro(resto, fio);
            c.j = fio;
            if (m == 0) return c;
            // The start and the starts, after the turn, in a thread of several.
            const std::string_view depois_fio = sem_brancos(resto.substr(m));
            std::string_view entrada, entradas;
            if (!depois_fio.empty()) {
                std::int64_t k = 0, s = 0;
                if (!comeca(depois_fio, rotulo::volta_entrada, entrada)) return c;
                const std::size_t n = ler_inteiro(entrada, k);
                if (n == 0 || !comeca(sem_brancos(entrada.substr(n)), rotulo::volta_entradas, entradas) ||
                    !inteiro_e(entradas, "", s) || k < 1 || k > s)
                    return c;
                c.entrada = k;
                c.entradas = s;
            }
            return marcar(TipoComentario::volta, true);
        }
        if (comeca(sem_brancos(depois), rotulo::item_diametro, resto))
            return marcar(TipoComentario::item_lista, valor_com_unidade(resto, unidade::mm_colchetes, c.a));
        return c;
    }
    if (comeca(t, rotulo::diametro_volta, r)) return marcar(TipoComentario::diametro_volta, valor_com_unidade(r, unidade::mm_colchetes, c.a));
    if (comeca(t, rotulo::x_max, r) || comeca(t, rotulo::y_max, r)) {
        const bool x = minuscula(t[0]) == 'x';
        std::size_t n = ler_valor(r, c.a);
        if (n == 0) return c;
        std::string_view resto;
        if (!comeca(sem_brancos(r.substr(n)), x ? rotulo::x_min : rotulo::y_min, resto)) return c;
        std::size_t m = ler_valor(resto, c.b);
        return marcar(x ? TipoComentario::extensao_x : TipoComentario::extensao_y,
                      m != 0 && sem_brancos(resto.substr(m)).empty());
    }
    if (comeca(t, rotulo::diametro_usinado, r))
        return marcar(TipoComentario::diametro_usinado, valor_com_unidade(r, unidade::mm_colchetes, c.a));

    if (comeca(t, rotulo::diametro_final, r))
        return marcar(TipoComentario::diametro_final, valor_com_unidade(r, unidade::mm_colchetes, c.a));
    if (comeca(t, rotulo::diametro_acabamento, r))
        return marcar(TipoComentario::diametro_acabamento, celula(r, c));
    if (comeca(t, rotulo::diametro_inicial, r)) return marcar(TipoComentario::diametro_inicial, celula(r, c));
    if (comeca(t, rotulo::passo_acabamento, r))
        return marcar(TipoComentario::passo_acabamento, celula(r, c));
    if (comeca(t, rotulo::passo_lateral, r)) return marcar(TipoComentario::passo_lateral, celula(r, c));
    if (comeca(t, rotulo::quantidade_passes, r)) {
        std::int64_t n;
        std::size_t k = ler_inteiro(r, n);
        if (k == 0) return c;
        c.i = n;
        std::string_view resto = sem_brancos(r.substr(k));
        std::string_view fim;
        if (comeca(resto, rotulo::passe_unico, fim) && fim.empty()) {
            c.passe_unico = true;
            resto = fim;
        }
        return marcar(TipoComentario::quantidade_passes, resto.empty());
    }
    if (comeca(t, rotulo::comprimento, r)) return marcar(TipoComentario::comprimento, valor_com_unidade(r, unidade::mm_colchetes, c.a));
    if (comeca(t, rotulo::passo_rosca, r))
        return marcar(TipoComentario::passo_rosca, valor_com_unidade(r, unidade::mm_colchetes, c.a));
    if (comeca(t, rotulo::fios, r)) return marcar(TipoComentario::fios, valor_com_unidade(r, unidade::fios, c.a));
    if (comeca(t, rotulo::angulo_inicial, r)) {
        // The direction label after the unit only restates the angle.
        std::size_t n = ler_valor(r, c.a);
        std::string_view resto;
        return marcar(TipoComentario::angulo_inicial, n != 0 && comeca(sem_brancos(r.substr(n)), unidade::graus, resto));
    }
    if (comeca(t, rotulo::angulo_final, r))
        return marcar(TipoComentario::angulo_final, valor_com_unidade(r, unidade::graus, c.a));
    if (comeca(t, rotulo::rosca, r) && !r.empty() && r.front() == ' ') {
        r = sem_brancos(r);
        if (comeca(r, rotulo::interna, r))
            c.tipo_rosca = 'I';
        else if (comeca(r, rotulo::externa, r))
            c.tipo_rosca = 'E';
        else
            return c;
        if (contem(r, rotulo::direita))
            c.sentido = 'D';
        else if (contem(r, rotulo::esquerda))
            c.sentido = 'E';
        return marcar(TipoComentario::tipo_sentido, true);
    }
    if (comeca(t, rotulo::ferramenta, r)) return marcar(TipoComentario::ferramenta, valor_com_unidade(r, unidade::mm, c.a));
    if (comeca(t, rotulo::precisao, r)) return marcar(TipoComentario::precisao, valor_com_unidade(r, unidade::mm, c.a));
    if (comeca(t, rotulo::tempo, r)) return marcar(TipoComentario::tempo, valor_com_unidade(r, unidade::minutos, c.a));
    if (comeca(t, rotulo::rotacao, r)) return marcar(TipoComentario::rotacao, valor_com_unidade(r, unidade::rpm, c.a));
    if (comeca(t, rotulo::avanco, r))
        return marcar(TipoComentario::avanco, valor_com_unidade(r, unidade::mm_por_minuto, c.a));
    if (comeca(t, rotulo::avanco_rotacao, r))
        return marcar(TipoComentario::avanco_rotacao, valor_com_unidade(r, unidade::mm_por_rotacao, c.a));
    return modo_de_cortar(t);
}
