#include <cmath>
#include <cstring>

#include "visualizar/arco.hpp"
#include "visualizar/leitor_gcode.hpp"
#include "visualizar/tolerancias.hpp"

// Plain language: every line a block with its number, then a ";" comment or
// a block of words with their signs. L, LP, C, CR, CT, CP and CC, with X Y
// Z (IX IY IZ incremental), PR and PA polar about the last CC (IPR IPA
// incremental), DR+ counter-clockwise and DR- clockwise, RL RR R0, F or
// FMAX (for its block only) and M; TOOL CALL; the dwell cycle 9; BEGIN and
// END PGM around it all. C, CR and CT are flat; a helix is a CP, whose IPA
// may be several turns. Labels, calls, Q parameters and the other cycles
// are not read: a file that has them fails at its first such block.

namespace {

// The words of a block, one bit each.
enum Palavra : unsigned { wx, wy, wz, wix, wiy, wiz, wpr, wipr, wpa, wipa, wraio, wf, wm, wdr, wcomp, wfmax, quantas };
constexpr unsigned bit(Palavra p) { return 1u << p; }
constexpr unsigned comuns = bit(wf) | bit(wm) | bit(wcomp);

struct NomePalavra {
    std::string_view nome;
    Palavra p;
};
constexpr NomePalavra nomes[] = {{"X", wx},   {"Y", wy},     {"Z", wz},   {"IX", wix},   {"IY", wiy}, {"IZ", wiz},
                                 {"PR", wpr}, {"IPR", wipr}, {"PA", wpa}, {"IPA", wipa}, {"F", wf},   {"M", wm}};

struct Bloco {
    unsigned tem = 0;
    double v[quantas] = {};
    int dr = 0;            // +1 counter-clockwise, -1 clockwise
    int compensacao = 0;   // 40, 41, 42
    bool dado(Palavra p) const { return (tem & bit(p)) != 0; }
};

// The kinds of block that move, and the words each takes.
enum class Tipo { l, lp, c, cr, ct, cp, cc };
struct TipoBloco {
    std::string_view nome;
    Tipo tipo;
    unsigned aceitas;
};
constexpr unsigned xy = bit(wx) | bit(wy) | bit(wix) | bit(wiy);
constexpr unsigned z = bit(wz) | bit(wiz);
constexpr TipoBloco tipos[] = {
    {"L", Tipo::l, xy | z | comuns | bit(wfmax)},
    {"LP", Tipo::lp, bit(wpr) | bit(wipr) | bit(wpa) | bit(wipa) | z | comuns | bit(wfmax)},
    {"C", Tipo::c, xy | bit(wdr) | comuns},
    {"CR", Tipo::cr, xy | bit(wraio) | bit(wdr) | comuns},
    {"CT", Tipo::ct, xy | comuns},
    {"CP", Tipo::cp, bit(wpa) | bit(wipa) | z | bit(wdr) | comuns},
    {"CC", Tipo::cc, xy},
};

constexpr std::string_view motivo_producao =
    "bloco de sub-rotina, parametro Q ou deslocamento de origem nesta forma o visualizador nao executa";

bool letra_maiuscula(char c) { return c >= 'A' && c <= 'Z'; }

// The next blank-separated token.
std::string_view token(const char*& p, const char* fim) {
    while (p < fim && (*p == ' ' || *p == '\t')) ++p;
    const char* i = p;
    while (p < fim && *p != ' ' && *p != '\t') ++p;
    return {i, static_cast<std::size_t>(p - i)};
}

// A position moved by an increment, without the sum's last-bit noise: written
// values have at most a few decimals, and a run of IZ that adds up to the
// face must land on it, not a hair below (which reads as "-0.000").
double somar(double posicao, double incremento) {
    return std::nearbyint((posicao + incremento) * 1e9) / 1e9 + 0.0;
}

// A whole number's text, for M and the tool.
bool inteiro(double v, double maximo) { return v >= 0 && v <= maximo && v == std::floor(v); }

}  // namespace

bool LeitorGcode::ler_texto_claro(Linha& l) {
    const std::string_view t = texto_.texto;
    const char* p = t.data();
    const char* fim = p + t.size();
    while (p < fim && (*p == ' ' || *p == '\t')) ++p;
    if (p >= fim) {
        l.tracos = 0;
        l.tipo = TipoLinha::vazia;
        return true;
    }
    // The block's number, then a blank.
    const char* const numero = p;
    while (p < fim && *p >= '0' && *p <= '9') ++p;
    if (p == numero || p - numero > 9 || (p < fim && *p != ' ' && *p != '\t')) return false;
    while (p < fim && (*p == ' ' || *p == '\t')) ++p;
    if (programa_fechado_) {
        motivo_ = "bloco depois de END PGM";
        return false;
    }
    std::uint16_t tracos = traco_texto_claro;
    if (p < fim && *p == ';') {
        if (!programa_aberto_) return false;
        l.comentarios[0] = std::string_view(p + 1, static_cast<std::size_t>(fim - p - 1));
        l.quantidade_comentarios = 1;
        l.tracos = tracos | traco_ponto_e_virgula;
        l.tipo = TipoLinha::comentario;
        return true;
    }
    // A comment after the words.
    // Found by index in the line: the block's end is the line's here.
    if (const std::size_t k = t.find(';', static_cast<std::size_t>(p - t.data())); k != std::string_view::npos) {
        const char* const ponto = t.data() + k;
        l.comentarios[0] = std::string_view(ponto + 1, static_cast<std::size_t>(fim - ponto - 1));
        l.quantidade_comentarios = 1;
        tracos |= traco_ponto_e_virgula;
        fim = ponto;
    }
    const std::string_view chave = token(p, fim);
    if (chave == "BEGIN" || chave == "END") {
        const std::string_view pgm = token(p, fim), nome = token(p, fim), unidade = token(p, fim);
        if (pgm != "PGM" || nome.empty() || !token(p, fim).empty()) return false;
        if (unidade != "MM") {
            motivo_ = "so programas em MM";
            return false;
        }
        if (chave == "BEGIN") {
            if (programa_aberto_) return false;
            programa_aberto_ = true;
            nome_programa_ = nome;
        } else {
            if (!programa_aberto_ || nome != nome_programa_) {
                motivo_ = "END PGM de outro programa";
                return false;
            }
            programa_fechado_ = true;
        }
        linguagem_ = Linguagem::texto_claro;
        l.tracos = tracos;
        l.tipo = TipoLinha::vazia;
        return true;
    }
    if (!programa_aberto_) {
        // A block of plain language, not a stray number in a file of G words.
        bool conhecido = chave == "TOOL" || chave == "CYCL";
        for (const TipoBloco& k : tipos) conhecido = conhecido || k.nome == chave;
        if (conhecido) motivo_ = "o programa comeca com BEGIN PGM";
        return false;
    }
    const bool pausa_definida = ciclo_pausa_;
    ciclo_pausa_ = false;
    l.tracos = tracos;
    if (chave == "TOOL") {
        if (token(p, fim) != "CALL") return false;
        const std::string_view ferramenta = token(p, fim);
        double v;
        if (ferramenta.empty() || ler_numero(ferramenta.data(), v) != ferramenta.data() + ferramenta.size() ||
            !inteiro(v, 1e9) || token(p, fim) != "Z")
            return false;
        bool s = false, f = false, dl = false, dr = false;
        for (std::string_view w = token(p, fim); !w.empty(); w = token(p, fim)) {
            const std::size_t letras = w.size() > 1 && letra_maiuscula(w[1]) ? 2 : 1;
            const std::string_view nome = w.substr(0, letras);
            bool* dado = nome == "S" ? &s : nome == "F" ? &f : nome == "DL" ? &dl : nome == "DR" ? &dr : nullptr;
            if (dado == nullptr || *dado || ler_numero(w.data() + letras, v) != w.data() + w.size()) return false;
            *dado = true;
            if (nome == "S") l.tem_s = true, l.s = v;
            if (nome == "F") l.tem_f = true, l.f = v;
        }
        l.ferramenta = true;
        l.tipo = TipoLinha::comando;
        return true;
    }
    if (chave == "CYCL") {
        const std::string_view def = token(p, fim), ciclo = token(p, fim), nome = token(p, fim);
        const std::string_view valor = token(p, fim);
        if (def != "DEF" || !token(p, fim).empty()) return false;
        if (ciclo == "9.0" && nome == "DWELL" && valor == "TIME") {
            ciclo_pausa_ = true;
            l.tipo = TipoLinha::comando;
            return true;
        }
        double v;
        if (ciclo == "9.1" && nome == "DWELL" && pausa_definida && !valor.empty() &&
            ler_numero(valor.data(), v) == valor.data() + valor.size()) {
            l.pausa = l.tem_p = true;
            l.p = v;
            l.tipo = TipoLinha::comando;
            return true;
        }
        motivo_ = ciclo.substr(0, 2) == "7." ? motivo_producao : "ciclo que o visualizador nao le";
        return false;
    }
    const TipoBloco* tipo = nullptr;
    for (const TipoBloco& k : tipos)
        if (k.nome == chave) tipo = &k;
    if (tipo == nullptr) {
        if (chave == "LBL" || chave == "CALL" || chave == "FN" || (!chave.empty() && chave[0] == 'Q'))
            motivo_ = motivo_producao;
        return false;
    }

    // The words.
    Bloco b;
    while (p < fim) {
        while (p < fim && (*p == ' ' || *p == '\t')) ++p;
        if (p >= fim) break;
        const char* const inicio = p;
        while (p < fim && letra_maiuscula(*p)) ++p;
        const std::string_view nome(inicio, static_cast<std::size_t>(p - inicio));
        Palavra w = quantas;
        if (nome == "DR") {
            if (p >= fim || (*p != '+' && *p != '-')) return false;
            w = wdr;
            b.dr = *p++ == '+' ? 1 : -1;
        } else if (nome == "RL" || nome == "RR") {
            w = wcomp;
            b.compensacao = nome == "RL" ? 41 : 42;
        } else if (nome == "R" && p < fim && *p == '0' && (p + 1 == fim || p[1] == ' ' || p[1] == '\t')) {
            ++p;
            w = wcomp;
            b.compensacao = 40;
        } else if (nome == "FMAX") {
            w = wfmax;
        } else {
            if (nome == "R") w = wraio;
            for (const NomePalavra& n : nomes)
                if (n.nome == nome) w = n.p;
            if (w == quantas) return false;
            double v;
            const char* q = ler_numero(p, v);
            if (q == nullptr || q > fim) {
                if (p < fim && (*p == 'Q' || ((*p == '+' || *p == '-') && p + 1 < fim && p[1] == 'Q')))
                    motivo_ = motivo_producao;
                return false;
            }
            p = q;
            b.v[w] = v;
        }
        if (p < fim && *p != ' ' && *p != '\t') return false;
        if (b.dado(w)) return false;
        b.tem |= bit(w);
    }
    if ((b.tem & ~tipo->aceitas) != 0) {
        if ((tipo->tipo == Tipo::c || tipo->tipo == Tipo::cr || tipo->tipo == Tipo::ct) && (b.tem & z) != 0)
            motivo_ = "C, CR e CT sao planos: a helice e um CP";
        return false;
    }
    // Absolute and incremental of one axis, or a feed and FMAX, together.
    if ((b.dado(wx) && b.dado(wix)) || (b.dado(wy) && b.dado(wiy)) || (b.dado(wz) && b.dado(wiz)) ||
        (b.dado(wpr) && b.dado(wipr)) || (b.dado(wpa) && b.dado(wipa)) || (b.dado(wf) && b.dado(wfmax)))
        return false;
    if (b.dado(wm) && !(inteiro(b.v[wm], 30) && (b.v[wm] == 2 || b.v[wm] == 3 || b.v[wm] == 5 ||
                                                 b.v[wm] == 6 || b.v[wm] == 30)))
        return false;
    const bool xy_conhecidos = x_conhecido_ && y_conhecido_;
    const bool incremental = (b.tem & (bit(wix) | bit(wiy) | bit(wiz))) != 0;
    if (incremental && !(xy_conhecidos && z_conhecido_)) return false;
    const Tipo k = tipo->tipo;
    const bool polar = k == Tipo::lp || k == Tipo::cp || k == Tipo::c;
    if (polar && !(tem_cc_ && xy_conhecidos)) {
        motivo_ = "sem CC antes";
        return false;
    }
    if ((k == Tipo::c || k == Tipo::cp || k == Tipo::cr) && b.dr == 0) return false;
    if (k == Tipo::ct && !(tem_tangente_ && xy_conhecidos)) return false;
    if (k == Tipo::cr && (!b.dado(wraio) || b.v[wraio] == 0 || !xy_conhecidos)) return false;

    // Where the block ends, from what it gives.
    const bool tem[3] = {b.dado(wx) || b.dado(wix), b.dado(wy) || b.dado(wiy), b.dado(wz) || b.dado(wiz)};
    Ponto3 para{b.dado(wx) ? b.v[wx] : somar(posicao_.x, b.v[wix]), b.dado(wy) ? b.v[wy] : somar(posicao_.y, b.v[wiy]),
                b.dado(wz) ? b.v[wz] : somar(posicao_.z, b.v[wiz])};
    const double rx = posicao_.x - cc_x_, ry = posicao_.y - cc_y_;
    double giro = 0;  // an arc's sweep
    double cx = cc_x_, cy = cc_y_;
    switch (k) {
        case Tipo::cc:
            if (!tem[0] && !tem[1] && !xy_conhecidos) return false;
            if ((!tem[0] || !tem[1]) && !xy_conhecidos) return false;
            break;
        case Tipo::l: break;
        case Tipo::lp: {
            if ((b.tem & (bit(wpr) | bit(wipr) | bit(wpa) | bit(wipa) | z)) == 0) return false;
            const double r = b.dado(wpr) ? b.v[wpr] : std::hypot(rx, ry) + b.v[wipr];
            const double a = b.dado(wpa) ? b.v[wpa] * pi / 180 : std::atan2(ry, rx) + b.v[wipa] * pi / 180;
            para.x = cc_x_ + r * std::cos(a);
            para.y = cc_y_ + r * std::sin(a);
            break;
        }
        case Tipo::c: giro = varredura(rx, ry, para.x - cc_x_, para.y - cc_y_, b.dr < 0); break;
        case Tipo::cr: {
            const double dx = para.x - posicao_.x, dy = para.y - posicao_.y, corda = std::hypot(dx, dy);
            const double raio = std::fabs(b.v[wraio]);
            const double h2 = raio * raio - corda * corda / 4;
            if (!(corda > 0) || h2 < -erro_coordenada(raio) * raio) return false;
            const double h = std::sqrt(std::max(0.0, h2));
            // Counter-clockwise, the shorter arc's centre is left of the chord.
            const double lado = (b.dr > 0) == (b.v[wraio] > 0) ? 1 : -1;
            cx = (posicao_.x + para.x) / 2 - lado * h * dy / corda;
            cy = (posicao_.y + para.y) / 2 + lado * h * dx / corda;
            giro = varredura(posicao_.x - cx, posicao_.y - cy, para.x - cx, para.y - cy, b.dr < 0);
            break;
        }
        case Tipo::ct: {
            // The centre on the normal to the direction the last move ends in,
            // as far from the start as from the end.
            const double tn = std::hypot(tangente_x_, tangente_y_);
            const double nx = -tangente_y_ / tn, ny = tangente_x_ / tn;
            const double dx = para.x - posicao_.x, dy = para.y - posicao_.y;
            const double nd = nx * dx + ny * dy;
            if (!(std::fabs(nd) > 1e-9)) return false;  // on the tangent: a line, no arc
            const double s = (dx * dx + dy * dy) / (2 * nd);
            cx = posicao_.x + nx * s;
            cy = posicao_.y + ny * s;
            giro = varredura(posicao_.x - cx, posicao_.y - cy, para.x - cx, para.y - cy, s < 0);
            break;
        }
        case Tipo::cp: {
            if (b.dado(wipa)) {
                giro = b.v[wipa];
                if (giro == 0 || (giro > 0) != (b.dr > 0)) return false;
                if (std::fabs(giro) > max_graus_cp) {
                    motivo_ = "CP de mais de 5400 graus";
                    return false;
                }
            } else if (b.dado(wpa)) {
                const double a = b.v[wpa] * pi / 180;
                giro = varredura(rx, ry, std::cos(a), std::sin(a), b.dr < 0) * graus_por_radiano;
            } else {
                return false;
            }
            // The start turned by the angle, as the control computes it.
            const double a = giro * pi / 180;
            para.x = cc_x_ + rx * std::cos(a) - ry * std::sin(a);
            para.y = cc_y_ + rx * std::sin(a) + ry * std::cos(a);
            giro = a;
            break;
        }
    }

    // It reads: from here on the state changes.
    linguagem_ = Linguagem::texto_claro;
    if (b.compensacao != 0) {
        compensacao_ = b.compensacao;
        l.compensacao = b.compensacao;
    }
    if (b.dado(wm)) l.m = static_cast<int>(b.v[wm]);
    l.ferramenta = l.m == 6;
    if (b.dado(wf)) l.tem_f = true, l.f = b.v[wf];
    if (k == Tipo::cc) {
        cc_x_ = tem[0] ? para.x : posicao_.x;
        cc_y_ = tem[1] ? para.y : posicao_.y;
        tem_cc_ = true;
        l.tipo = TipoLinha::comando;
        return true;
    }
    if (k == Tipo::l && !(tem[0] || tem[1] || tem[2])) {
        l.tipo = TipoLinha::comando;
        return true;
    }
    if (k == Tipo::l || k == Tipo::lp) {
        const bool ptem[3] = {tem[0] || k == Tipo::lp, tem[1] || k == Tipo::lp, tem[2]};
        mover(l, b.dado(wfmax) ? TipoMovimento::rapido : TipoMovimento::linear, para, ptem).polar = k == Tipo::lp;
        return true;
    }
    const bool atem[3] = {true, true, tem[2]};
    mover_em_arco(l, para, cx, cy, giro, atem);
    l.movimento.polar = k == Tipo::cp;
    return true;
}
