#include "apoio/controles.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "nucleo/juntar.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;
using Tipo = MovimentoCanonico::Tipo;

std::vector<std::string> linhas_de(const std::string& arquivo) {
    std::vector<std::string> r;
    std::istringstream texto(arquivo);
    for (std::string l; std::getline(texto, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        r.push_back(l);
    }
    return r;
}

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

}  // namespace

ProgramaLido ler_rs274(const std::string& saida) {
    Maquina m;
    double rotacao = 0;
    int ferramenta = -1;
    for (const std::string& l : linhas_de(saida)) {
        ++m.linha;
        const std::size_t a = l.find('(');
        if (a == std::string::npos) continue;
        const char* args = l.c_str() + a + 1;
        double v[6] = {};
        int rot = 0;
        if (l.find("STRAIGHT_TRAVERSE(") != std::string::npos && std::sscanf(args, "%lf, %lf, %lf", &v[0], &v[1], &v[2]) == 3) {
            m.mover(Tipo::rapido, v[0], v[1], v[2]);
        } else if (l.find("STRAIGHT_FEED(") != std::string::npos &&
                   std::sscanf(args, "%lf, %lf, %lf", &v[0], &v[1], &v[2]) == 3) {
            m.mover(Tipo::reta, v[0], v[1], v[2]);
        } else if (l.find("ARC_FEED(") != std::string::npos &&
                   std::sscanf(args, "%lf, %lf, %lf, %lf, %d, %lf", &v[0], &v[1], &v[2], &v[3], &rot, &v[4]) == 6) {
            const int giro = rot > 0 ? 1 : -1;
            m.mover(Tipo::arco, v[0], v[1], v[4], v[2], v[3],
                    varredura_entre(m.x, m.y, v[0], v[1], v[2], v[3], giro, std::labs(rot) - 1));
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

ProgramaLido ler_heidenhain(const std::string& arquivo) {
    Maquina m;
    const std::vector<std::string> ls = linhas_de(arquivo);
    std::string nome;
    bool tem_centro = false, fim_pgm = false, pausa_aberta = false;
    double ccx = 0, ccy = 0, rotacao = 0;
    for (std::size_t i = 0; i < ls.size(); ++i) {
        m.linha = static_cast<int>(i + 1);
        const std::string& l = ls[i];
        const std::string numero_bloco = std::to_string(i) + " ";
        if (!l.starts_with(numero_bloco)) {
            m.falha(juntar({"o bloco nao tem o numero ", std::to_string(i), ": ", l}));
            break;
        }
        if (fim_pgm) m.falha("bloco depois de END PGM");
        const std::string bloco = l.substr(numero_bloco.size());
        if (bloco.starts_with(";")) continue;
        const std::vector<std::string> w = palavras_de(bloco);
        if (w.empty()) {
            m.falha("bloco vazio");
            continue;
        }
        if (pausa_aberta && !bloco.starts_with("CYCL DEF 9.1 ")) m.falha("CYCL DEF 9.0 sem 9.1");
        if (i == 0) {
            if (w.size() != 4 || w[0] != "BEGIN" || w[1] != "PGM" || w[3] != "MM" || !nome_tnc(w[2]))
                m.falha("o programa nao comeca por BEGIN PGM NOME MM");
            nome = w.size() > 2 ? w[2] : "";
            continue;
        }
        if (w[0] == "END") {
            if (w.size() != 4 || w[1] != "PGM" || w[2] != nome || w[3] != "MM") m.falha("END PGM de outro nome");
            fim_pgm = true;
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
            if (w.size() != 3 || !w[1].starts_with("X") || !w[2].starts_with("Y") ||
                !numero_com_sinal(w[1].substr(1), ccx) || !numero_com_sinal(w[2].substr(1), ccy))
                m.falha("CC que nao se le: " + bloco);
            tem_centro = true;
        } else if (w[0] == "L") {
            double x = m.x, y = m.y, z = m.z;
            bool xy = false, rapido = false, ligar = false, desligar = false;
            int compensacao = m.compensacao;
            bool r_dado = false;
            for (std::size_t k = 1; k < w.size(); ++k) {
                const std::string& p = w[k];
                double v = 0;
                if ((p[0] == 'X' || p[0] == 'Y' || p[0] == 'Z') && numero_com_sinal(p.substr(1), v)) {
                    (p[0] == 'X' ? x : p[0] == 'Y' ? y : z) = v;
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
            if (!tem_ipa || !tem_iz || dr == 0) m.falha("CP sem IPA, IZ ou DR: " + bloco);
            if ((ipa > 0 ? 1 : -1) != dr) m.falha("IPA e DR em sentidos diferentes: " + bloco);
            if (std::fabs(ipa) > 5400) m.falha("IPA acima de 5400 graus: " + bloco);
            const double a = ipa * pi / 180, dx = m.x - ccx, dy = m.y - ccy;
            m.mover(Tipo::arco, ccx + dx * std::cos(a) - dy * std::sin(a), ccy + dx * std::sin(a) + dy * std::cos(a),
                    m.z + iz, ccx, ccy, ipa);
        } else {
            m.falha("bloco desconhecido: " + bloco);
        }
    }
    if (!fim_pgm) m.falha("sem END PGM");
    return m.p;
}

ProgramaLido ler_siemens(const std::string& arquivo) {
    Maquina m;
    int modo = -1, ferramenta = -1;
    bool metrico = false, centro_da_fresa = false;
    double rotacao = 0;
    for (const std::string& linha_inteira : linhas_de(arquivo)) {
        ++m.linha;
        const std::string l = linha_inteira.substr(0, linha_inteira.find(';'));
        double x = m.x, y = m.y, z = m.z, i = 0, j = 0, fw = -1, s = -1;
        bool tem_posicao = false, pausa = false;
        long voltas = 0;
        std::vector<int> ms;
        for (const std::string& p : palavras_de(l)) {
            double v = 0;
            if (p == "CFTCP") {
                centro_da_fresa = true;
            } else if (p == "CFC") {
                centro_da_fresa = false;
            } else if (p.starts_with("TURN=")) {
                if (!numero(p.substr(5), v) || v < 0 || v > 999 || v != std::floor(v)) m.falha("TURN fora de 0 a 999");
                voltas = static_cast<long>(v);
            } else if (p.size() < 2 || !numero(p.substr(1), v)) {
                m.falha("palavra que nao se le: '" + p + "'");
            } else if (p[0] == 'G') {
                const int g = static_cast<int>(v);
                if (g >= 0 && g <= 3) modo = g;
                else if (g == 4) pausa = true;
                else if (g == 710) metrico = true;
                else if (g == 41 || g == 42) m.compensacao = g;
                else if (g == 40) m.compensacao = 0;
                else if (g != 17 && g != 90 && g != 94) m.falha(juntar({p, " que este leitor nao conhece"}));
            } else if (p[0] == 'X' || p[0] == 'Y' || p[0] == 'Z') {
                (p[0] == 'X' ? x : p[0] == 'Y' ? y : z) = v;
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

std::string siemens_para_linuxcnc(const std::string& arquivo) {
    std::string r;
    for (std::string l : linhas_de(arquivo)) {
        const std::size_t comentario = std::min(l.find(';'), l.size());
        std::string codigo = l.substr(0, comentario);
        auto trocar = [&codigo](const std::string& de, const std::string& para) {
            for (std::size_t p; (p = codigo.find(de)) != std::string::npos;) codigo.replace(p, de.size(), para);
        };
        if (const std::size_t p = codigo.find("TURN="); p != std::string::npos) {
            const std::size_t fim = codigo.find(' ', p);
            const long n = std::atol(codigo.c_str() + p + 5);
            codigo.replace(p, (fim == std::string::npos ? codigo.size() : fim) - p, juntar({"P", std::to_string(n + 1)}));
        }
        trocar("G4 F", "G4 P");
        trocar("G710", "G21");
        trocar(" CFTCP", "");
        if (codigo.starts_with("T") && codigo.ends_with(" D1")) codigo.resize(codigo.size() - 3);
        r += codigo + l.substr(comentario) + "\r\n";
    }
    return r;
}

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
