#include "apoio/controles.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "apoio/execucao.hpp"
#include "nucleo/juntar.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;
using Tipo = MovimentoCanonico::Tipo;

std::vector<std::string> palavras_de(const std::string& linha) {
    std::vector<std::string> r;
    std::istringstream texto(linha);
    for (std::string p; texto >> p;) r.push_back(p);
    return r;
}

// The degrees from `de` to `ate` about `c` in the sense `giro` (a whole
// turn when they are the same point), plus `voltas` whole turns.
double varredura_entre(double dx, double dy, double ax, double ay, double cx, double cy, int giro, long voltas) {
    double angulo = 360;
    if (dx != ax || dy != ay) {
        const double a0 = std::atan2(dy - cy, dx - cx) * 180 / pi, a1 = std::atan2(ay - cy, ax - cx) * 180 / pi;
        angulo = std::fmod((giro > 0 ? a1 - a0 : a0 - a1) + 720, 360);
        if (angulo <= 0) angulo += 360;
    }
    return giro * (angulo + 360.0 * static_cast<double>(voltas));
}

// What a control does as it reads, in the form the readers share.
class Maquina {
public:
    ProgramaLido p;
    double x = 0, y = 0, z = 0, f = 0;
    int compensacao = 0;
    int linha = 0;

    void falha(const std::string& texto) {
        if (p.erro.empty()) p.erro = juntar({"linha ", std::to_string(linha), ": ", texto});
    }
    void liga(double rotacao) {
        ++p.ligacoes;
        p.rotacao = rotacao;
        ligado_ = true;
    }
    void desliga() {
        ligado_ = false;
        if (cortou_) p.desligado_depois = true;
    }
    void pausa(double segundos) {
        p.pausas.push_back(segundos);
        if (ligado_) pausa_ = true;
    }
    void mover(Tipo tipo, double nx, double ny, double nz, double cx = 0, double cy = 0, double varredura = 0) {
        MovimentoCanonico m;
        m.tipo = tipo;
        m.x = nx, m.y = ny, m.z = nz;
        m.cx = cx, m.cy = cy, m.varredura = varredura;
        m.compensacao = compensacao;
        m.linha = linha;
        if (tipo != Tipo::rapido) {
            if (f <= 0) falha("movimento de corte sem avanco");
            m.avanco = f;
            if (!cortou_) {
                p.ligado_antes_do_corte = ligado_;
                p.pausa_antes_do_corte = pausa_;
            }
            cortou_ = true;
            p.desligado_depois = false;
        }
        p.movimentos.push_back(m);
        x = nx, y = ny, z = nz;
    }

private:
    bool ligado_ = false, pausa_ = false, cortou_ = false;
};

// A number with its sign written, as plain language wants it, with at most four decimals.
bool numero_com_sinal(const std::string& texto, double& v) {
    if (texto.size() < 2 || (texto[0] != '+' && texto[0] != '-')) return false;
    const std::size_t ponto = texto.find('.');
    if (ponto != std::string::npos && texto.size() - ponto - 1 > 4) return false;
    char* fim = nullptr;
    v = std::strtod(texto.c_str(), &fim);
    return fim == texto.c_str() + texto.size() && std::isdigit(static_cast<unsigned char>(texto[1]));
}

bool numero(const std::string& texto, double& v) {
    if (texto.empty()) return false;
    char* fim = nullptr;
    v = std::strtod(texto.c_str(), &fim);
    return fim == texto.c_str() + texto.size();
}

bool nome_tnc(const std::string& nome) {
    if (nome.empty() || nome.size() > 24) return false;
    for (char c : nome)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
    return true;
}

// A parameter's or a label's number: digits only.
bool inteiro(const std::string& texto, int& n) {
    if (texto.empty() || texto.size() > 6) return false;
    for (char c : texto)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    n = std::stoi(texto);
    return true;
}

// A Sinumerik label: two letters or underscores first, up to 32 characters.
bool rotulo_sinumerik(const std::string& nome) {
    if (nome.size() < 2 || nome.size() > 32) return false;
    for (std::size_t i = 0; i < nome.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(nome[i]);
        if (c != '_' && !(i < 2 ? std::isalpha(c) : std::isalnum(c))) return false;
    }
    return true;
}

// A formula as both controls write one: numbers, parameters (the letter and
// their number: Q1600, R90), + - * / with the usual precedence, parentheses.
class Expressao {
public:
    Expressao(const std::string& texto, char letra, const ValoresNoComando& valores)
        : t_(texto), letra_(letra), valores_(valores) {}
    // False with the reason in `erro` when it does not read through.
    bool valor(double& v, std::string& erro) {
        const bool lida = soma(v) && (espacos(), i_ == t_.size());
        if (!lida) erro = erro_.empty() ? "expressao que nao se le: " + t_ : erro_;
        return lida;
    }

private:
    void espacos() {
        while (i_ < t_.size() && t_[i_] == ' ') ++i_;
    }
    bool ver(char c) {
        espacos();
        if (i_ >= t_.size() || t_[i_] != c) return false;
        ++i_;
        return true;
    }
    bool soma(double& v) {
        if (!produto(v)) return false;
        for (;;) {
            const bool mais = ver('+');
            double b = 0;
            if (!mais && !ver('-')) return true;
            if (!produto(b)) return false;
            v = mais ? v + b : v - b;
        }
    }
    bool produto(double& v) {
        if (!fator(v)) return false;
        for (;;) {
            const bool vezes = ver('*');
            double b = 0;
            if (!vezes && !ver('/')) return true;
            if (!fator(b) || (!vezes && b == 0)) return false;
            v = vezes ? v * b : v / b;
        }
    }
    bool fator(double& v) {
        if (ver('-')) return fator(v) && (v = -v, true);
        if (ver('+')) return fator(v);
        if (ver('(')) return soma(v) && ver(')');
        const bool parametro = i_ < t_.size() && t_[i_] == letra_;
        const std::size_t inicio = parametro ? ++i_ : i_;
        while (i_ < t_.size() && (std::isdigit(static_cast<unsigned char>(t_[i_])) || (!parametro && t_[i_] == '.'))) ++i_;
        const std::string texto = t_.substr(inicio, i_ - inicio);
        int n = 0;
        if (!parametro) return numero(texto, v);
        if (!inteiro(texto, n)) return false;
        const auto p = valores_.find(n);
        if (p == valores_.end()) {
            erro_ = juntar({std::string(1, letra_), texto, " usado sem valor"});
            return false;
        }
        v = p->second;
        return true;
    }

    std::string t_;
    char letra_;
    const ValoresNoComando& valores_;
    std::size_t i_ = 0;
    std::string erro_;
};

// A parameter the program sets, or the value the operator set for it at the control.
void atribuir(ValoresNoComando& valores, const ValoresNoComando& mudados, int n, double v) {
    const auto mudado = mudados.find(n);
    valores[n] = mudado != mudados.end() ? mudado->second : v;
}

// Past this many blocks run, a program that jumps back is taken for one that never ends.
constexpr long blocos_no_maximo = 20'000'000;

}  // namespace

ProgramaLido ler_rs274(const std::string& saida) {
    Maquina m;
    double rotacao = 0;
    int ferramenta = -1;
    // The positions are printed in the program's coordinates: the work
    // offset and the G92/G52 one put them on the machine.
    double g5x[3] = {}, g92[3] = {};
    auto deslocar = [&](double& x, double& y, double& z) {
        x += g5x[0] + g92[0], y += g5x[1] + g92[1], z += g5x[2] + g92[2];
    };
    for (const std::string& l : linhas_de(saida)) {
        ++m.linha;
        const std::size_t a = l.find('(');
        if (a == std::string::npos) continue;
        const char* args = l.c_str() + a + 1;
        double v[6] = {}, sem_z = 0;
        int rot = 0;
        if (l.find("STRAIGHT_TRAVERSE(") != std::string::npos && std::sscanf(args, "%lf, %lf, %lf", &v[0], &v[1], &v[2]) == 3) {
            deslocar(v[0], v[1], v[2]);
            m.mover(Tipo::rapido, v[0], v[1], v[2]);
        } else if (l.find("STRAIGHT_FEED(") != std::string::npos &&
                   std::sscanf(args, "%lf, %lf, %lf", &v[0], &v[1], &v[2]) == 3) {
            deslocar(v[0], v[1], v[2]);
            m.mover(Tipo::reta, v[0], v[1], v[2]);
        } else if (l.find("ARC_FEED(") != std::string::npos &&
                   std::sscanf(args, "%lf, %lf, %lf, %lf, %d, %lf", &v[0], &v[1], &v[2], &v[3], &rot, &v[4]) == 6) {
            deslocar(v[0], v[1], v[4]);
            deslocar(v[2], v[3], sem_z);
            const int giro = rot > 0 ? 1 : -1;
            m.mover(Tipo::arco, v[0], v[1], v[4], v[2], v[3],
                    varredura_entre(m.x, m.y, v[0], v[1], v[2], v[3], giro, std::labs(rot) - 1));
        } else if (l.find("SET_G5X_OFFSET(") != std::string::npos) {
            std::sscanf(args, "%d, %lf, %lf, %lf", &rot, &g5x[0], &g5x[1], &g5x[2]);
        } else if (l.find("SET_G92_OFFSET(") != std::string::npos) {
            std::sscanf(args, "%lf, %lf, %lf", &g92[0], &g92[1], &g92[2]);
        } else if (l.find("SET_FEED_RATE(") != std::string::npos) {
            m.f = std::atof(args);
        } else if (l.find("cutter radius compensation on left") != std::string::npos) {
            m.compensacao = 41;
        } else if (l.find("cutter radius compensation on right") != std::string::npos) {
            m.compensacao = 42;
        } else if (l.find("cutter radius compensation off") != std::string::npos) {
            m.compensacao = 0;
        } else if (l.find("SELECT_TOOL(") != std::string::npos) {
            ferramenta = std::atoi(args);
        } else if (l.find("CHANGE_TOOL(") != std::string::npos) {
            // Its argument is the tool table's slot; the tool is the one selected.
            m.p.ferramentas.push_back(ferramenta);
        } else if (l.find("SET_SPINDLE_SPEED(") != std::string::npos && std::sscanf(args, "%d, %lf", &rot, &v[0]) == 2) {
            rotacao = v[0];
        } else if (l.find("START_SPINDLE_CLOCKWISE(") != std::string::npos) {
            m.liga(rotacao);
        } else if (l.find("STOP_SPINDLE_TURNING(") != std::string::npos) {
            m.desliga();
        } else if (l.find("DWELL(") != std::string::npos) {
            m.pausa(std::atof(args));
        } else if (l.find("PROGRAM_END(") != std::string::npos) {
            m.p.fim = true;
        }
    }
    return m.p;
}

ProgramaLido ler_heidenhain(const std::string& arquivo, const ValoresNoComando& mudados) {
    Maquina m;
    const std::vector<std::string> ls = linhas_de(arquivo);
    // First the blocks, checked for their numbers and frame, and where each
    // label stands; then the run, as the control's block counter goes.
    std::vector<std::string> blocos;
    std::map<int, std::size_t> rotulos;
    std::string nome;
    bool fim_pgm = false;
    for (std::size_t i = 0; i < ls.size(); ++i) {
        m.linha = static_cast<int>(i + 1);
        const std::string numero_bloco = std::to_string(i) + " ";
        if (!ls[i].starts_with(numero_bloco)) {
            m.falha(juntar({"o bloco nao tem o numero ", std::to_string(i), ": ", ls[i]}));
            break;
        }
        if (fim_pgm) m.falha("bloco depois de END PGM");
        blocos.push_back(ls[i].substr(numero_bloco.size()));
        const std::vector<std::string> w = palavras_de(blocos.back());
        int n = 0;
        if (i == 0) {
            if (w.size() != 4 || w[0] != "BEGIN" || w[1] != "PGM" || w[3] != "MM" || !nome_tnc(w[2]))
                m.falha("o programa nao comeca por BEGIN PGM NOME MM");
            nome = w.size() > 2 ? w[2] : "";
        } else if (!w.empty() && w[0] == "END") {
            if (w.size() != 4 || w[1] != "PGM" || w[2] != nome || w[3] != "MM") m.falha("END PGM de outro nome");
            fim_pgm = true;
        } else if (!w.empty() && w[0] == "LBL") {
            if (w.size() != 2 || !inteiro(w[1], n)) m.falha("LBL que nao se le: " + blocos.back());
            else if (n > 0 && !rotulos.emplace(n, i).second) m.falha("LBL " + w[1] + " repetido");
        }
    }
    if (!fim_pgm) m.falha("sem END PGM");
    if (!m.p.erro.empty()) return m.p;

    ValoresNoComando q;
    // A coordinate: a signed number, or a signed Q parameter.
    auto coordenada = [&](const std::string& texto, double& v) {
        int n = 0;
        if (texto.size() < 3 || (texto[0] != '+' && texto[0] != '-') || texto[1] != 'Q' || !inteiro(texto.substr(2), n))
            return numero_com_sinal(texto, v);
        const auto p = q.find(n);
        if (p == q.end()) {
            m.falha(juntar({texto.substr(1), " usado sem valor"}));
            return false;
        }
        v = texto[0] == '-' ? -p->second : p->second;
        return true;
    };
    auto rotulo = [&](const std::string& texto, std::size_t& destino) {
        int n = 0;
        const auto r = inteiro(texto, n) ? rotulos.find(n) : rotulos.end();
        if (r == rotulos.end()) m.falha("nenhum LBL " + texto);
        else destino = r->second;
    };
    std::vector<std::size_t> retornos;
    bool tem_centro = false, pausa_aberta = false;
    double ccx = 0, ccy = 0, rotacao = 0;
    // The datum shift, and the one the circle centre was given under.
    double desl_x = 0, desl_y = 0, cc_desl_x = 0, cc_desl_y = 0;
    int eixo_deslocamento = 0;  // the next block of an open cycle 7: 1 for 7.1
    long executados = 0;
    std::size_t proximo = 1;
    for (std::size_t i = 1; i < blocos.size() && m.p.erro.empty() && !m.p.fim; i = proximo) {
        proximo = i + 1;
        m.linha = static_cast<int>(i + 1);
        if (++executados > blocos_no_maximo) m.falha("o programa nao termina");
        const std::string& bloco = blocos[i];
        if (bloco.starts_with(";")) continue;
        const std::vector<std::string> w = palavras_de(bloco);
        if (w.empty()) {
            m.falha("bloco vazio");
            continue;
        }
        if (pausa_aberta && !bloco.starts_with("CYCL DEF 9.1 ")) m.falha("CYCL DEF 9.0 sem 9.1");
        // Cycle 7 takes one axis a block after its 7.0: 7.1, 7.2.
        if (eixo_deslocamento > 0 && !bloco.starts_with(juntar({"CYCL DEF 7.", std::to_string(eixo_deslocamento), " "}))) {
            if (eixo_deslocamento == 1) m.falha("CYCL DEF 7.0 sem eixo");
            eixo_deslocamento = 0;
        }
        if (w[0] == "END") break;
        if (w[0] == "LBL") {
            if (w[1] != "0") continue;
            if (retornos.empty()) m.falha("LBL 0 sem CALL LBL");
            else proximo = retornos.back(), retornos.pop_back();
        } else if (w[0] == "CALL") {
            if (w.size() != 3 || w[1] != "LBL") m.falha("CALL que nao se le: " + bloco);
            if (retornos.size() >= 19) m.falha("CALL LBL aninhados demais");
            retornos.push_back(i + 1);
            rotulo(w.back(), proximo);
        } else if (w[0] == "FN") {
            int n = 0;
            double a = 0, b = 0;
            if (w.size() == 5 && w[1] == "0:" && w[2].starts_with("Q") && inteiro(w[2].substr(1), n) && w[3] == "=" &&
                numero_com_sinal(w[4], a)) {
                atribuir(q, mudados, n, a);
            } else if (w.size() == 9 && w[1] == "9:" && w[2] == "IF" && w[4] == "EQU" && w[6] == "GOTO" &&
                       w[7] == "LBL" && coordenada(w[3], a) && coordenada(w[5], b)) {
                if (a == b) rotulo(w[8], proximo);
            } else {
                m.falha("FN que nao se le: " + bloco);
            }
        } else if (w[0][0] == 'Q' && w.size() >= 3 && w[1] == "=") {
            // A formula: Q1610 = -3.5000 + 0.250000 * Q1600.
            int n = 0;
            double v = 0;
            std::string erro;
            if (!inteiro(w[0].substr(1), n)) m.falha("formula que nao se le: " + bloco);
            else if (!Expressao(bloco.substr(bloco.find('=') + 1), 'Q', q).valor(v, erro)) m.falha(erro);
            else atribuir(q, mudados, n, v);
        } else if (bloco == "CYCL DEF 7.0 DATUM SHIFT") {
            // Absolute: the shift given replaces the one before, an axis not given is not shifted.
            eixo_deslocamento = 1;
            desl_x = desl_y = 0;
        } else if (eixo_deslocamento > 0) {
            const std::string eixo = w.size() == 4 ? w[3] : "";
            double v = 0;
            if (eixo.size() < 2 || (eixo[0] != 'X' && eixo[0] != 'Y') || !coordenada(eixo.substr(1), v))
                m.falha("CYCL DEF 7 que nao se le: " + bloco);
            (eixo.starts_with("X") ? desl_x : desl_y) = v;
            ++eixo_deslocamento;
        } else if (w[0] == "TOOL") {
            int t = 0;
            if (w.size() != 5 || w[1] != "CALL" || std::sscanf(w[2].c_str(), "%d", &t) != 1 || w[3] != "Z" ||
                !w[4].starts_with("S") || !numero(w[4].substr(1), rotacao))
                m.falha("TOOL CALL que nao se le: " + bloco);
            m.p.ferramentas.push_back(t);
        } else if (bloco == "CYCL DEF 9.0 DWELL TIME") {
            pausa_aberta = true;
        } else if (bloco.starts_with("CYCL DEF 9.1 DWELL ")) {
            double s = 0;
            if (!pausa_aberta || w.size() != 5 || !numero(w[4], s)) m.falha("pausa que nao se le: " + bloco);
            m.pausa(s);
            pausa_aberta = false;
        } else if (w[0] == "CC") {
            if (w.size() != 3 || !w[1].starts_with("X") || !w[2].starts_with("Y") || !coordenada(w[1].substr(1), ccx) ||
                !coordenada(w[2].substr(1), ccy))
                m.falha("CC que nao se le: " + bloco);
            tem_centro = true;
            cc_desl_x = desl_x, cc_desl_y = desl_y;
        } else if (w[0] == "L") {
            double x = m.x, y = m.y, z = m.z;
            bool xy = false, rapido = false, ligar = false, desligar = false;
            int compensacao = m.compensacao;
            bool r_dado = false;
            for (std::size_t k = 1; k < w.size(); ++k) {
                const std::string& p = w[k];
                double v = 0;
                if ((p[0] == 'X' || p[0] == 'Y' || p[0] == 'Z') && coordenada(p.substr(1), v)) {
                    (p[0] == 'X' ? x : p[0] == 'Y' ? y : z) = v + (p[0] == 'X' ? desl_x : p[0] == 'Y' ? desl_y : 0);
                    xy = xy || p[0] != 'Z';
                } else if (p == "R0" || p == "RL" || p == "RR") {
                    compensacao = p == "RL" ? 41 : p == "RR" ? 42 : 0;
                    r_dado = true;
                } else if (p == "FMAX") {
                    rapido = true;
                } else if (p[0] == 'F' && numero(p.substr(1), v) && v > 0) {
                    m.f = v;
                } else if (p == "M3") {
                    ligar = true;
                } else if (p == "M5") {
                    desligar = true;
                } else if (p == "M30") {
                    m.p.fim = true;
                } else {
                    m.falha("palavra desconhecida '" + p + "': " + bloco);
                }
            }
            // The compensation comes on with a move in the plane.
            if (r_dado && compensacao != 0 && !xy) m.falha("RL/RR sem X e Y");
            if (ligar) m.liga(rotacao);
            m.compensacao = compensacao;
            m.mover(rapido ? Tipo::rapido : Tipo::reta, x, y, z);
            if (desligar) m.desliga();
        } else if (w[0] == "CP") {
            double ipa = 0, iz = 0;
            int dr = 0;
            bool tem_ipa = false, tem_iz = false;
            for (std::size_t k = 1; k < w.size(); ++k) {
                const std::string& p = w[k];
                double v = 0;
                if (p.starts_with("IPA") && numero_com_sinal(p.substr(3), ipa)) {
                    tem_ipa = true;
                } else if (p.starts_with("IZ") && numero_com_sinal(p.substr(2), iz)) {
                    tem_iz = true;
                } else if (p == "DR+" || p == "DR-") {
                    dr = p == "DR+" ? 1 : -1;
                } else if (p[0] == 'F' && numero(p.substr(1), v) && v > 0) {
                    m.f = v;
                } else {
                    m.falha("palavra desconhecida '" + p + "': " + bloco);
                }
            }
            if (!tem_centro) m.falha("CP sem CC");
            // Whether a pole keeps its place through a later shift is not a thing to rely on.
            if (cc_desl_x != desl_x || cc_desl_y != desl_y) m.falha("CP sobre um CC dado antes do deslocamento de origem");
            if (!tem_ipa || !tem_iz || dr == 0) m.falha("CP sem IPA, IZ ou DR: " + bloco);
            if ((ipa > 0 ? 1 : -1) != dr) m.falha("IPA e DR em sentidos diferentes: " + bloco);
            if (std::fabs(ipa) > 5400) m.falha("IPA acima de 5400 graus: " + bloco);
            const double a = ipa * pi / 180, cx = ccx + desl_x, cy = ccy + desl_y, dx = m.x - cx, dy = m.y - cy;
            m.mover(Tipo::arco, cx + dx * std::cos(a) - dy * std::sin(a), cy + dx * std::sin(a) + dy * std::cos(a),
                    m.z + iz, cx, cy, ipa);
        } else {
            m.falha("bloco desconhecido: " + bloco);
        }
    }
    return m.p;
}

ProgramaLido ler_siemens(const std::string& arquivo, const ValoresNoComando& mudados) {
    Maquina m;
    // First the blocks without their comments and where each label stands;
    // then the run, block by block.
    std::vector<std::string> blocos;
    std::map<std::string, std::size_t> rotulos;
    for (const std::string& linha : linhas_de(arquivo)) {
        m.linha = static_cast<int>(blocos.size() + 1);
        std::string codigo = linha.substr(0, linha.find(';'));
        const std::vector<std::string> w = palavras_de(codigo);
        if (!w.empty() && w[0].ends_with(':')) {
            const std::string nome = w[0].substr(0, w[0].size() - 1);
            if (!rotulo_sinumerik(nome)) m.falha("rotulo que o comando nao aceita: " + nome);
            else if (!rotulos.emplace(nome, blocos.size()).second) m.falha("rotulo repetido: " + nome);
            codigo.erase(0, codigo.find(':') + 1);
        }
        blocos.push_back(codigo);
    }
    if (!m.p.erro.empty()) return m.p;

    ValoresNoComando r;
    int modo = -1, ferramenta = -1;
    bool metrico = false, centro_da_fresa = false;
    double rotacao = 0, trans_x = 0, trans_y = 0;
    // A REPEAT under way: where it goes back to, after its section's last block.
    struct Repeticao {
        std::size_t volta, ultimo;
    };
    std::vector<Repeticao> repeticoes;
    long executados = 0;
    std::size_t proximo = 0;
    for (std::size_t b = 0; b < blocos.size() && m.p.erro.empty() && !m.p.fim; b = proximo) {
        proximo = b + 1;
        m.linha = static_cast<int>(b + 1);
        if (++executados > blocos_no_maximo) m.falha("o programa nao termina");
        if (!repeticoes.empty() && repeticoes.back().ultimo == b) {
            proximo = repeticoes.back().volta;
            repeticoes.pop_back();
        }
        const std::vector<std::string> w = palavras_de(blocos[b]);
        if (w.empty()) continue;
        if (w[0] == "IF") {
            // IF <expression>==<expression> GOTOF <label>: GOTOF searches forward only.
            const std::size_t igual = w.size() == 4 && w[2] == "GOTOF" ? w[1].find("==") : std::string::npos;
            double x = 0, y = 0;
            std::string erro;
            const auto alvo = w.size() == 4 ? rotulos.find(w[3]) : rotulos.end();
            if (igual == std::string::npos || !Expressao(w[1].substr(0, igual), 'R', r).valor(x, erro) ||
                !Expressao(w[1].substr(igual + 2), 'R', r).valor(y, erro))
                m.falha(juntar({"IF que nao se le: ", blocos[b], " ", erro}));
            else if (alvo == rotulos.end() || alvo->second <= b) m.falha("GOTOF sem o rotulo adiante: " + blocos[b]);
            else if (x == y) proximo = alvo->second;
            continue;
        }
        if (w[0] == "REPEAT") {
            // Its labels are searched backwards from the REPEAT.
            const auto de = w.size() == 3 ? rotulos.find(w[1]) : rotulos.end();
            const auto ate = w.size() == 3 ? rotulos.find(w[2]) : rotulos.end();
            if (de == rotulos.end() || ate == rotulos.end() || de->second > ate->second || ate->second >= b)
                m.falha("REPEAT sem os seus rotulos antes dele: " + blocos[b]);
            else if (repeticoes.size() >= 8) m.falha("REPEAT aninhados demais");
            else repeticoes.push_back({b + 1, ate->second}), proximo = de->second;
            continue;
        }
        if (w[0] == "TRANS") {
            // A frame in a block of its own; TRANS alone cancels it.
            trans_x = trans_y = 0;
            for (std::size_t k = 1; k < w.size(); ++k) {
                double v = 0;
                if (w[k].size() < 2 || (w[k][0] != 'X' && w[k][0] != 'Y') || !numero(w[k].substr(1), v))
                    m.falha("TRANS que nao se le: " + blocos[b]);
                (w[k][0] == 'X' ? trans_x : trans_y) = v;
            }
            continue;
        }
        double x = m.x, y = m.y, z = m.z, i = 0, j = 0, fw = -1, s = -1;
        bool tem_posicao = false, pausa = false;
        long voltas = 0;
        std::vector<int> ms;
        for (const std::string& p : w) {
            double v = 0;
            std::string erro;
            const std::size_t igual = p.find('=');
            int n = 0;
            if (p == "CFTCP") {
                centro_da_fresa = true;
            } else if (p == "CFC") {
                centro_da_fresa = false;
            } else if (p.starts_with("TURN=")) {
                if (!numero(p.substr(5), v) || v < 0 || v > 999 || v != std::floor(v)) m.falha("TURN fora de 0 a 999");
                voltas = static_cast<long>(v);
            } else if (p[0] == 'R' && igual != std::string::npos) {
                if (!inteiro(p.substr(1, igual - 1), n) || !Expressao(p.substr(igual + 1), 'R', r).valor(v, erro))
                    m.falha(juntar({"R que nao se le: ", p, " ", erro}));
                atribuir(r, mudados, n, v);
            } else if (igual == 1 && std::string("XYZIJ").find(p[0]) != std::string::npos
                           ? !Expressao(p.substr(2), 'R', r).valor(v, erro)
                           : p.size() < 2 || !numero(p.substr(1), v)) {
                m.falha(juntar({"palavra que nao se le: '", p, "' ", erro}));
            } else if (p[0] == 'G') {
                const int g = static_cast<int>(v);
                if (g >= 0 && g <= 3) modo = g;
                else if (g == 4) pausa = true;
                else if (g == 710) metrico = true;
                else if (g == 41 || g == 42) m.compensacao = g;
                else if (g == 40) m.compensacao = 0;
                else if (g != 17 && g != 90 && g != 94) m.falha(juntar({p, " que este leitor nao conhece"}));
            } else if (p[0] == 'X' || p[0] == 'Y' || p[0] == 'Z') {
                (p[0] == 'X' ? x : p[0] == 'Y' ? y : z) = v + (p[0] == 'X' ? trans_x : p[0] == 'Y' ? trans_y : 0);
                tem_posicao = true;
            } else if (p[0] == 'I') {
                i = v;
            } else if (p[0] == 'J') {
                j = v;
            } else if (p[0] == 'F') {
                fw = v;
            } else if (p[0] == 'S') {
                s = v;
            } else if (p[0] == 'T') {
                ferramenta = static_cast<int>(v);
            } else if (p[0] == 'D') {
                if (v != 1) m.falha(juntar({p, ": o gume da ferramenta e D1"}));
            } else if (p[0] == 'M') {
                ms.push_back(static_cast<int>(v));
            } else {
                m.falha("palavra desconhecida '" + p + "'");
            }
        }
        if (s >= 0) rotacao = s;
        // In a dwell's block F is the time in seconds, and the feed stays.
        if (pausa) {
            if (fw <= 0) m.falha("G4 sem F em segundos");
            m.pausa(fw);
        } else if (fw > 0) {
            m.f = fw;
        }
        for (int c : ms) {
            if (c == 6) {
                if (ferramenta < 0) m.falha("M6 sem T");
                m.p.ferramentas.push_back(ferramenta);
            } else if (c == 3) {
                m.liga(rotacao);
            } else if (c == 5) {
                m.desliga();
            } else if (c == 30) {
                m.p.fim = true;
            } else {
                m.falha(juntar({"M", std::to_string(c), " que este leitor nao conhece"}));
            }
        }
        if (m.compensacao != 0 && !centro_da_fresa) m.falha("G41/G42 sem CFTCP: o avanco iria para o contorno");
        if (!tem_posicao || pausa) continue;
        if (!metrico) m.falha("movimento antes de G710");
        if (modo < 0) m.falha("movimento sem G0, G1, G2 ou G3");
        if (modo == 0) m.mover(Tipo::rapido, x, y, z);
        if (modo == 1) m.mover(Tipo::reta, x, y, z);
        if (modo == 2 || modo == 3) {
            const double cx = m.x + i, cy = m.y + j;
            m.mover(Tipo::arco, x, y, z, cx, cy, varredura_entre(m.x, m.y, x, y, cx, cy, modo == 3 ? 1 : -1, voltas));
        }
    }
    return m.p;
}

namespace {

// A Sinumerik expression in LinuxCNC's words: the R parameters numbered ones.
std::string expressao_linuxcnc(std::string e) {
    for (std::size_t i = 0; i + 1 < e.size(); ++i)
        if (e[i] == 'R' && std::isdigit(static_cast<unsigned char>(e[i + 1]))) e[i] = '#';
    return e;
}

// The blocks of a Siemens file rewritten one by one; a REPEAT rewrites its
// section again, so that each copy opens o-words of its own.
class TraducaoSiemens {
public:
    explicit TraducaoSiemens(const std::string& arquivo) : linhas_(linhas_de(arquivo)) {}
    std::string texto() {
        trecho(0, linhas_.size());
        return r_;
    }

private:
    void trecho(std::size_t de, std::size_t ate) {
        for (std::size_t i = de; i < ate; ++i) linha(linhas_[i]);
    }
    std::size_t rotulo(const std::string& nome) const {
        for (std::size_t i = 0; i < linhas_.size(); ++i)
            if (palavras_de(linhas_[i].substr(0, linhas_[i].find(';'))) == std::vector<std::string>{nome + ":"}) return i;
        return linhas_.size();
    }
    void linha(const std::string& l) {
        const std::size_t comentario = std::min(l.find(';'), l.size());
        const std::vector<std::string> w = palavras_de(l.substr(0, comentario));
        std::string codigo;
        auto palavra = [&codigo](const std::string& p) { codigo += (codigo.empty() ? "" : " ") + p; };
        if (w.size() == 1 && w[0].ends_with(':')) {
            // A label: where an IF's o-word closes, else nothing in LinuxCNC.
            const auto f = fechar_.find(w[0].substr(0, w[0].size() - 1));
            if (f != fechar_.end()) palavra(juntar({"o", std::to_string(f->second), " endif"})), fechar_.erase(f);
        } else if (w.size() == 4 && w[0] == "IF" && w[2] == "GOTOF" && w[1].find("==") != std::string::npos) {
            // The blocks up to the label run when the condition does not hold.
            const std::size_t igual = w[1].find("==");
            fechar_[w[3]] = proximo_o_;
            palavra(juntar({"o", std::to_string(proximo_o_++), " if [", expressao_linuxcnc(w[1].substr(0, igual)), " NE ",
                            expressao_linuxcnc(w[1].substr(igual + 2)), "]"}));
        } else if (w.size() == 3 && w[0] == "REPEAT") {
            const std::size_t inicio = rotulo(w[1]), fim = rotulo(w[2]);
            if (inicio < fim && fim < linhas_.size()) trecho(inicio + 1, fim);
            else palavra(juntar({w[0], " ", w[1], " ", w[2]}));  // rs274 refuses it
        } else if (!w.empty() && w[0] == "TRANS") {
            std::string x = "0", y = "0";
            for (std::size_t k = 1; k < w.size(); ++k) (w[k][0] == 'X' ? x : y) = w[k].substr(1);
            palavra(juntar({"G52 X", x, " Y", y}));
        } else {
            const bool pausa = std::find(w.begin(), w.end(), "G4") != w.end();
            for (const std::string& p : w) {
                const std::size_t igual = p.find('=');
                if (p == "CFTCP" || (p == "D1" && w[0].starts_with("T"))) continue;
                if (p.starts_with("TURN=")) palavra(juntar({"P", std::to_string(std::atol(p.c_str() + 5) + 1)}));
                else if (p == "G710") palavra("G21");
                else if (pausa && p.starts_with("F")) palavra(juntar({"P", p.substr(1)}));
                else if (p[0] == 'R' && igual != std::string::npos) palavra(expressao_linuxcnc(p));
                else if (igual == 1) palavra(juntar({p.substr(0, 1), "[", expressao_linuxcnc(p.substr(2)), "]"}));
                else palavra(p);
            }
        }
        r_ += codigo + l.substr(comentario) + "\r\n";
    }

    std::vector<std::string> linhas_;
    std::map<std::string, int> fechar_;  // a label, and the o-word of the IF that jumps to it
    int proximo_o_ = 900;
    std::string r_;
};

}  // namespace

std::string siemens_para_linuxcnc(const std::string& arquivo) { return TraducaoSiemens(arquivo).texto(); }

std::vector<MovimentoCanonico> juntar_arcos(const std::vector<MovimentoCanonico>& movimentos) {
    std::vector<MovimentoCanonico> r;
    double x = 0, y = 0, z = 0;
    for (const MovimentoCanonico& m : movimentos) {
        const double de_x = x, de_y = y, de_z = z;
        x = m.x, y = m.y, z = m.z;
        if (m.tipo == Tipo::rapido && std::fabs(m.x - de_x) < 1e-9 && std::fabs(m.y - de_y) < 1e-9 &&
            std::fabs(m.z - de_z) < 1e-9)
            continue;
        if (m.tipo == Tipo::arco && !r.empty() && r.back().tipo == Tipo::arco) {
            MovimentoCanonico& a = r.back();
            const bool mesmo = std::fabs(a.cx - m.cx) < 1e-3 && std::fabs(a.cy - m.cy) < 1e-3 &&
                               (a.varredura > 0) == (m.varredura > 0) && a.avanco == m.avanco &&
                               a.compensacao == m.compensacao;
            // The rise per degree of the arc so far: its start is where the move before it ended.
            const double z_inicio = r.size() >= 2 ? r[r.size() - 2].z : 0;
            if (mesmo && std::fabs((a.z - z_inicio) / a.varredura - (m.z - de_z) / m.varredura) < 2e-5) {
                a.x = m.x, a.y = m.y, a.z = m.z;
                a.varredura += m.varredura;
                a.linha = m.linha;
                continue;
            }
        }
        r.push_back(m);
    }
    return r;
}

std::string diferenca_movimentos(const std::vector<MovimentoCanonico>& esperados,
                                 const std::vector<MovimentoCanonico>& lidos, double tolerancia) {
    const char* nomes[] = {"rapido", "reta", "arco"};
    auto texto = [&](const MovimentoCanonico& m) {
        char t[200];
        std::snprintf(t, sizeof t, "%s para X%.4f Y%.4f Z%.4f centro X%.4f Y%.4f %.3f graus F%.1f comp %d (linha %d)",
                      nomes[static_cast<int>(m.tipo)], m.x, m.y, m.z, m.cx, m.cy, m.varredura, m.avanco, m.compensacao,
                      m.linha);
        return std::string(t);
    };
    const std::size_t n = std::min(esperados.size(), lidos.size());
    for (std::size_t i = 0; i < n; ++i) {
        const MovimentoCanonico& a = esperados[i];
        const MovimentoCanonico& b = lidos[i];
        bool igual = a.tipo == b.tipo && std::fabs(a.x - b.x) <= tolerancia && std::fabs(a.y - b.y) <= tolerancia &&
                     std::fabs(a.z - b.z) <= tolerancia && a.compensacao == b.compensacao &&
                     (a.tipo == Tipo::rapido || std::fabs(a.avanco - b.avanco) < 1e-6);
        // The degrees as the length they make at the arc's radius: a lead arc
        // of half a millimetre turns a tenth of a degree for a micrometre.
        const double raio = std::hypot(a.x - a.cx, a.y - a.cy);
        if (a.tipo == Tipo::arco)
            igual = igual && std::fabs(a.cx - b.cx) <= tolerancia && std::fabs(a.cy - b.cy) <= tolerancia &&
                    std::fabs(a.varredura - b.varredura) * pi / 180 * raio <= tolerancia;
        if (!igual) return juntar({"movimento ", std::to_string(i), ": esperado ", texto(a), ", lido ", texto(b)});
    }
    if (esperados.size() != lidos.size())
        return juntar({std::to_string(esperados.size()), " movimentos esperados, ", std::to_string(lidos.size()), " lidos"});
    return {};
}
