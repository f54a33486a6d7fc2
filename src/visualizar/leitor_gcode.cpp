#include "visualizar/arco.hpp"
#include "visualizar/leitor_gcode.hpp"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "visualizar/tolerancias.hpp"

void LeitorGcode::interpretar(Linha& l) {
    l.m = -1;
    l.compensacao = 0;
    l.quantidade_comentarios = 0;
    l.tem_s = l.tem_f = l.escala = l.pausa = l.ferramenta = false;
    motivo_ = {};
    if (!texto_.longa) {
        // A chord of the shape of the last one read in full, under the same
        // motion code: its words, these numbers.
        Ponto3 para;
        if (movimento_ == movimento_forma_ && forma_.ler(texto_.texto, para)) [[likely]] {
            seguir_corda(l, para);
            return;
        }
        l.tipo = TipoLinha::ilegivel;
        if (linguagem_ == Linguagem::iso ? ler(l) || (!iso_lido_ && ler_outra_linguagem(l))
                                         : linguagem_ == Linguagem::sinumerik ? ler_sinumerik(l) : ler_texto_claro(l)) {
            // The first block that says something decides the language.
            if (linguagem_ == Linguagem::iso)
                iso_lido_ = iso_lido_ || l.tipo == TipoLinha::movimento || l.tipo == TipoLinha::comando;
            const Movimento& mv = l.movimento;
            if (l.tipo == TipoLinha::movimento && mv.tipo == TipoMovimento::linear && mv.tem_x && mv.tem_y &&
                mv.tem_z && l.quantidade_comentarios == 0 && l.m < 0 && !l.tem_s && !l.tem_f && l.compensacao == 0 &&
                !l.ferramenta && !pendentes_ &&
                forma_.tomar(texto_.texto, mv.para, linguagem_ == Linguagem::texto_claro)) {
                movimento_forma_ = movimento_;
                tracos_forma_ = l.tracos;
            }
            return;
        }
    }
    // What cannot be read: the line, or its start, for the message; it
    // tells nothing of the dialect.
    l.motivo = motivo_;
    l.tracos = 0;
    l.texto = texto_.texto;
    l.bytes = texto_.bytes;
    l.longa = texto_.longa;
    if (l.texto.size() > LeitorLinhas::max_texto_guardado) l.texto = l.texto.substr(0, LeitorLinhas::max_texto_guardado);
    l.tipo = TipoLinha::ilegivel;
}

void LeitorGcode::ler_dada(std::string_view texto, std::uint64_t numero, bool sem_fim_de_linha, Linha& l) {
    texto_.numero = numero;
    texto_.sem_fim_de_linha = sem_fim_de_linha;
    texto_.bytes = texto.size();
    texto_.longa = texto.size() > LeitorLinhas::max_linha;
    texto_.texto = texto_.longa ? texto.substr(0, LeitorLinhas::max_texto_guardado) : texto;
    l.numero = numero;
    l.sem_fim_de_linha = sem_fim_de_linha;
    interpretar(l);
}

bool LeitorGcode::ler_outra_linguagem(Linha& l) {
    const std::size_t i = texto_.texto.find_first_not_of(" \t");
    const bool numerada = i != std::string_view::npos && texto_.texto[i] >= '0' && texto_.texto[i] <= '9';
    motivo_ = {};
    return numerada ? ler_texto_claro(l) : ler_sinumerik(l);
}

namespace {

constexpr std::uint32_t bits(std::initializer_list<char> letras) {
    std::uint32_t b = 0;
    for (char c : letras) b |= letra(c);
    return b;
}
constexpr std::uint32_t coordenadas_xyz = bits({'x', 'y', 'z'});
constexpr std::uint32_t centro_ij = bits({'i', 'j'});
// The codes that say what the other words are, when a line has them.
constexpr std::uint32_t codigos_especiais = g_sem_escala | g_pausa | g_escala;

}  // namespace

bool LeitorGcode::ler(Linha& l) {
    Palavras& w = palavras_;
    ler_palavras(texto_.texto, w);
    if (!w.legivel) return false;
    l.tracos = static_cast<std::uint16_t>(
        w.tracos | (w.letras_lidas != 0 ? traco_palavras : 0) | ((w.letras_lidas & 0x20) != 0 ? traco_minusculas : 0) |
        (w.marca ? traco_marca : 0) | (w.tem('n') ? traco_numero_bloco : 0) | (w.tem('o') ? traco_programa : 0) |
        ((w.codigos_g & g_escala) != 0 ? traco_escala : 0));
    if (w.quantidade_comentarios != 0) [[unlikely]] {
        const std::size_t guardados = std::min(w.quantidade_comentarios, Palavras::max_comentarios);
        for (std::size_t i = 0; i < guardados; ++i) l.comentarios[i] = w.comentarios[i];
        l.quantidade_comentarios = guardados;
    }
    if (!w.tem_palavras()) {
        l.tipo = l.quantidade_comentarios > 0 ? TipoLinha::comentario : TipoLinha::vazia;
        return true;
    }

    const std::uint32_t letras = w.letras;
    const std::uint32_t g = w.codigos_g;
    const bool coordenadas = (letras & coordenadas_xyz) != 0;
    const bool centro = (letras & centro_ij) != 0;
    if (((g & codigos_especiais) | (letras & letra('p'))) != 0) [[unlikely]] {
        // Dwell times and scale factors are not coordinates.
        if ((g & g_sem_escala) && (coordenadas || w.tem('p'))) return false;
        if ((g & g_pausa) && (coordenadas || (g & g_escala))) return false;
        if (w.tem('p') && !(g & g_pausa)) return false;
        if ((g & g_escala) && centro) return false;
    }
    const bool move = coordenadas && !(g & g_escala);
    const int movimento = w.movimento >= 0 ? w.movimento : movimento_;
    if (move && movimento < 0) return false;  // coordinates before any motion code
    const bool arco = move && movimento >= 2;
    // An arc gives its centre, I and J both; nothing else does.
    if (arco ? (letras & centro_ij) != centro_ij : centro) return false;

    const std::uint32_t compensa = g & (g_sem_compensacao | g_compensacao | g_compensacao_direita);
    if (compensa != 0) [[unlikely]] {
        // One side at a time.
        if ((compensa & (compensa - 1)) != 0) return false;
        compensacao_ = compensa == g_sem_compensacao ? 40 : compensa == g_compensacao ? 41 : 42;
        l.compensacao = compensacao_;
    }
    if (w.movimento >= 0) movimento_ = w.movimento;
    l.m = w.m;
    l.ferramenta = w.tem('t') || w.m == 6;
    l.tem_s = w.tem('s');
    l.s = w.valor('s');
    l.tem_f = w.tem('f');
    l.f = w.valor('f');
    if (g & g_pausa) [[unlikely]] {
        l.pausa = true;
        l.tem_p = w.tem('p');
        l.p = w.valor('p');
    }
    if (g & g_escala) [[unlikely]] {
        l.escala = true;
        l.escala_x = w.tem('x') ? w.valor('x') : 1;
        l.escala_y = w.tem('y') ? w.valor('y') : 1;
    }
    if (!move) {
        l.tipo = TipoLinha::comando;
        return true;
    }
    const bool tem[3] = {w.tem('x'), w.tem('y'), w.tem('z')};
    const double x = tem[0] ? w.valor('x') : posicao_.x;
    const double y = tem[1] ? w.valor('y') : posicao_.y;
    const Ponto3 para{x, y, tem[2] ? w.valor('z') : posicao_.z};
    const TipoMovimento tipo = movimento == 0   ? TipoMovimento::rapido
                               : movimento == 1 ? TipoMovimento::linear
                                                : TipoMovimento::arco;
    Movimento& mv = mover(l, tipo, para, tem);
    if (arco) {
        mv.centro_x = mv.de.x + w.valor('i');
        mv.centro_y = mv.de.y + w.valor('j');
        mv.horario = movimento == 2;
        mv.varredura =
            varredura(mv.de.x - mv.centro_x, mv.de.y - mv.centro_y, x - mv.centro_x, y - mv.centro_y, mv.horario);
    }
    return true;
}
