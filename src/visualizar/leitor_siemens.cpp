#include <cmath>

#include "visualizar/arco.hpp"
#include "visualizar/leitor_gcode.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/codigos.hpp"
#include "vocabulario/dialeto.hpp"

// Sinumerik's blocks: the G and M words of the other controls where they
// mean the same, and its own: G710 (and G71) for millimetres, the dwell
// G4 F in seconds, TURN= for an arc's whole extra turns, CFTCP and CFC for
// where F applies, "X=" beside "X". The words the writer spells come from
// its table (vocabulario/dialeto.hpp).

namespace {

using vocabulario::Funcao;

constexpr std::string_view sem_igual(std::string_view palavra) {
    return !palavra.empty() && palavra.back() == '=' ? palavra.substr(0, palavra.size() - 1) : palavra;
}
constexpr std::string_view palavra_voltas = sem_igual(vocabulario::siemens.voltas);
constexpr std::string_view palavra_centro = vocabulario::siemens.avanco_no_centro;

// What Sinumerik's G number `n` does, from the table the writer uses; G71,
// metric for lengths alone, too. False for what these files never hold and
// the viewer does not convert: inches, incremental coordinates, other planes.
bool funcao_g(double v, Funcao& f, bool& so_sinumerik) {
    if (v == 71) {
        f = Funcao::milimetros;
        so_sinumerik = true;
        return true;
    }
    for (const vocabulario::CodigoG& c : vocabulario::codigos_g) {
        if (c.numero != v) continue;
        switch (c.funcao) {
            case Funcao::rapido:
            case Funcao::corte:
            case Funcao::arco_horario:
            case Funcao::arco_anti_horario:
            case Funcao::pausa:
            case Funcao::plano_xy:
            case Funcao::sem_compensacao:
            case Funcao::compensacao_esquerda:
            case Funcao::compensacao_direita:
            case Funcao::absolutas:
            case Funcao::avanco_por_minuto: f = c.funcao; return true;
            // Sinumerik's own metric code; G21 is not its.
            case Funcao::milimetros:
                f = c.funcao;
                so_sinumerik = true;
                return c.numero >= 100;
            default: return false;
        }
    }
    return false;
}

struct Bloco {
    int movimento = -1;  // 0 to 3
    bool pausa = false;
    int compensacao = 0;
    bool tem[3] = {};
    double xyz[3] = {};
    bool tem_i = false, tem_j = false, tem_voltas = false;
    double i = 0, j = 0, voltas = 0;
    bool tem_f = false, tem_s = false;
    double f = 0, s = 0;
    int m = -1;
    bool ferramenta = false;
    int avanco = 0;  // where F holds: 1 the cutter's centre (CFTCP), 2 the contour (CFC, CFIN)
    std::uint16_t tracos = 0;
    std::uint32_t dadas = 0, dadas_g = 0;  // each letter, word and G function once
};

// Why a block of the production options does not read here.
std::string_view motivo_producao(std::string_view nome) {
    if (nome == "R" || nome == "REPEAT" || nome == "TRANS" || nome == "IF" || nome == "GOTOF" || nome == "GOTOB" ||
        nome == "ENDLABEL")
        return "parametro R, REPEAT, TRANS ou salto nesta forma o visualizador nao executa";
    return "palavra que o visualizador nao conhece";
}

}  // namespace

bool LeitorGcode::ler_sinumerik(Linha& l) {
    const std::string_view t = texto_.texto;
    const char* p = t.data();
    const char* const fim = p + t.size();
    Bloco b;
    bool palavras = false;
    for (;;) {
        while (p < fim && (*p == ' ' || *p == '\t')) ++p;
        if (p >= fim) break;
        if (*p == ';') {
            b.tracos |= traco_ponto_e_virgula;
            l.comentarios[0] = std::string_view(p + 1, static_cast<std::size_t>(fim - p - 1));
            l.quantidade_comentarios = 1;
            break;
        }
        char nome_buf[8];
        std::size_t n = 0;
        while (p < fim && ((*p | 0x20) >= 'a' && (*p | 0x20) <= 'z')) {
            if (*p >= 'a') b.tracos |= traco_minusculas;
            if (n == sizeof nome_buf) return false;
            nome_buf[n++] = static_cast<char>(*p++ & ~0x20);
        }
        const std::string_view nome(nome_buf, n);
        if (n == 0) return false;
        palavras = true;
        if (nome == palavra_centro || nome == "CFC" || nome == "CFIN") {
            b.tracos |= traco_sinumerik;
            if (b.avanco != 0) return false;
            b.avanco = nome == palavra_centro ? 1 : 2;
            continue;
        }
        if (p < fim && *p == '=') ++p;
        double v;
        const char* q = ler_numero(p, v);
        if (q == nullptr) {
            motivo_ = motivo_producao(nome);
            return false;
        }
        const char* inicio_numero = p;
        p = q;
        if (nome == palavra_voltas) {
            if (b.tem_voltas || !(v >= 0 && v <= max_voltas_turn) || v != std::floor(v)) return false;
            b.tem_voltas = true;
            b.voltas = v;
            b.tracos |= traco_sinumerik;
            continue;
        }
        if (n != 1) {
            motivo_ = motivo_producao(nome);
            return false;
        }
        const char c = nome[0];
        if (c == 'G') {
            Funcao f;
            bool so_sinumerik = false;
            if (!funcao_g(v, f, so_sinumerik)) return false;
            if (so_sinumerik) b.tracos |= traco_sinumerik;
            const auto bit = 1u << static_cast<unsigned>(f);
            if (b.dadas_g & bit) return false;
            b.dadas_g |= bit;
            switch (f) {
                case Funcao::rapido:
                case Funcao::corte:
                case Funcao::arco_horario:
                case Funcao::arco_anti_horario:
                    if (b.movimento >= 0) return false;
                    b.movimento = static_cast<int>(f);
                    break;
                case Funcao::pausa:
                    b.pausa = true;
                    b.tracos |= q - inicio_numero == 2 ? traco_pausa_g04 : traco_pausa_g4;
                    break;
                case Funcao::sem_compensacao:
                case Funcao::compensacao_esquerda:
                case Funcao::compensacao_direita:
                    if (b.compensacao != 0) return false;
                    b.compensacao = f == Funcao::sem_compensacao ? 40 : f == Funcao::compensacao_esquerda ? 41 : 42;
                    break;
                default: break;
            }
            continue;
        }
        if (c < 'A' || c > 'Z') return false;
        const std::uint32_t bit = letra(static_cast<char>(c | 0x20));
        if (b.dadas & bit) return false;
        b.dadas |= bit;
        switch (c) {
            case 'X': b.tem[0] = true, b.xyz[0] = v; break;
            case 'Y': b.tem[1] = true, b.xyz[1] = v; break;
            case 'Z': b.tem[2] = true, b.xyz[2] = v; break;
            case 'I': b.tem_i = true, b.i = v; break;
            case 'J': b.tem_j = true, b.j = v; break;
            case 'F': b.tem_f = true, b.f = v; break;
            case 'S': b.tem_s = true, b.s = v; break;
            case 'N': b.tracos |= traco_numero_bloco; break;
            case 'T': b.ferramenta = true; break;
            case 'D': break;
            case 'M': {
                if (!(v == 2 || v == 3 || v == 5 || v == 6 || v == 30)) return false;
                b.m = static_cast<int>(v);
                break;
            }
            default: motivo_ = motivo_producao(nome); return false;
        }
    }
    const bool coordenadas = b.tem[0] || b.tem[1] || b.tem[2];
    const bool centro = b.tem_i || b.tem_j;
    const int movimento = b.movimento >= 0 ? b.movimento : movimento_;
    const bool arco = coordenadas && movimento >= 2;
    if (b.pausa) {
        // G4 F alone: F is the wait in seconds, not a feed.
        if (!b.tem_f || coordenadas || centro || b.movimento >= 0 || b.tem_voltas) return false;
        b.tracos |= traco_sinumerik;
    }
    if (coordenadas && movimento < 0) return false;
    if (arco ? !(b.tem_i && b.tem_j) : (centro || b.tem_voltas)) return false;

    // It reads: from here on the state changes.
    linguagem_ = Linguagem::sinumerik;
    l.tracos = static_cast<std::uint16_t>(b.tracos | (palavras ? traco_palavras : 0));
    if (!palavras) {
        l.tipo = l.quantidade_comentarios > 0 ? TipoLinha::comentario : TipoLinha::vazia;
        return true;
    }
    if (b.compensacao != 0) {
        compensacao_ = b.compensacao;
        l.compensacao = b.compensacao;
    }
    if (b.movimento >= 0) movimento_ = b.movimento;
    if (b.avanco != 0) avanco_no_contorno_ = b.avanco == 2;
    l.m = b.m;
    l.ferramenta = b.ferramenta || b.m == 6;
    l.tem_s = b.tem_s;
    l.s = b.s;
    if (b.pausa) {
        l.pausa = l.tem_p = true;
        l.p = b.f;
    } else {
        l.tem_f = b.tem_f;
        l.f = b.f;
    }
    if (!coordenadas) {
        l.tipo = TipoLinha::comando;
        return true;
    }
    const Ponto3 para{b.tem[0] ? b.xyz[0] : posicao_.x, b.tem[1] ? b.xyz[1] : posicao_.y,
                      b.tem[2] ? b.xyz[2] : posicao_.z};
    if (!arco) {
        mover(l, movimento == 0 ? TipoMovimento::rapido : TipoMovimento::linear, para, b.tem);
        return true;
    }
    // I and J from the start; a whole turn where it ends where it starts,
    // and TURN= more.
    const double cx = posicao_.x + b.i, cy = posicao_.y + b.j;
    const bool horario = movimento == 2;
    const double v = varredura(posicao_.x - cx, posicao_.y - cy, para.x - cx, para.y - cy, horario) +
                     (horario ? -2 : 2) * pi * b.voltas;
    mover_em_arco(l, para, cx, cy, v, b.tem);
    return true;
}
