#include "apoio/dialetos.hpp"

#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "apoio/execucao.hpp"

namespace {

std::string onde(std::size_t i, const std::string& o_que) { return "linha " + std::to_string(i + 1) + ": " + o_que; }

// Words of a line once its comments are out: letter and number text.
struct Palavra {
    char letra;
    std::string numero;
};

// Splits a line into its words, its comments apart; false when the line does
// not read as words (a letter without a number, a stray character).
bool palavras(const std::string& linha, std::vector<Palavra>& p, std::vector<std::string>& comentarios,
              bool ponto_e_virgula) {
    p.clear();
    comentarios.clear();
    std::size_t i = 0;
    while (i < linha.size()) {
        const char c = linha[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '(') {
            const std::size_t fim = linha.find(')', i);
            if (fim == std::string::npos) return false;
            comentarios.push_back(linha.substr(i + 1, fim - i - 1));
            i = fim + 1;
        } else if (c == ';' && ponto_e_virgula) {
            comentarios.push_back(linha.substr(i + 1));
            break;
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            std::size_t j = i + 1;
            while (j < linha.size() && (std::isdigit(static_cast<unsigned char>(linha[j])) || linha[j] == '.' ||
                                        linha[j] == '-' || linha[j] == '+'))
                ++j;
            if (j == i + 1) return false;
            p.push_back({c, linha.substr(i + 1, j - i - 1)});
            i = j;
        } else {
            return false;
        }
    }
    return true;
}

bool tem_ponto(const std::string& numero) { return numero.find('.') != std::string::npos; }

}  // namespace

std::vector<std::string> conferir_grbl(const std::string& arquivo) {
    std::vector<std::string> faltas;
    // GRBL ends a line at a CR and at a LF alike: CR LF would be two lines,
    // two replies, which a streaming sender counts as two blocks.
    if (arquivo.find('\r') != std::string::npos) faltas.push_back("fim de linha CR LF: o GRBL responde duas vezes");
    const auto ls = linhas_de(arquivo);
    for (std::size_t i = 0; i < ls.size(); ++i) {
        const std::string& l = ls[i];
        for (char c : l) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x20 || b >= 0x7f) faltas.push_back(onde(i, "caractere que nao e ASCII visivel"));
            if (c == '!' || c == '?' || c == '~') faltas.push_back(onde(i, std::string("comando em tempo real '") + c + "'"));
            if (c == '%' || c == ';') faltas.push_back(onde(i, std::string("'") + c + "' nao e aceito"));
        }
        if (l.size() > 80) faltas.push_back(onde(i, "linha com mais de 80 caracteres"));
        std::vector<Palavra> p;
        std::vector<std::string> comentarios;
        if (!palavras(l, p, comentarios, false)) {
            faltas.push_back(onde(i, "nao se le: " + l));
            continue;
        }
        for (const std::string& c : comentarios)
            if (c.find('(') != std::string::npos) faltas.push_back(onde(i, "parentese dentro de comentario"));
        for (std::size_t k = 0; k < p.size(); ++k) {
            const Palavra& w = p[k];
            if (!std::isupper(static_cast<unsigned char>(w.letra))) faltas.push_back(onde(i, "palavra minuscula"));
            static const std::string aceitas = "GMFIJKLPRSXYZ";
            if (aceitas.find(w.letra) == std::string::npos)
                faltas.push_back(onde(i, std::string("palavra ") + w.letra + " que o GRBL nao aceita"));
            if (w.letra == 'G') {
                static const char* const gs[] = {"0", "1", "2", "3", "4", "17", "18", "19", "20", "21",
                                                 "40", "49", "54", "80", "90", "91", "93", "94"};
                bool conhecido = false;
                for (const char* g : gs) conhecido = conhecido || w.numero == g;
                if (!conhecido) faltas.push_back(onde(i, "G" + w.numero + " que o GRBL nao aceita"));
                if (w.numero == "4") {
                    bool segundos = false;
                    for (const Palavra& q : p)
                        if (q.letra == 'P') segundos = std::atof(q.numero.c_str()) <= 60;
                    if (!segundos) faltas.push_back(onde(i, "pausa G4 sem P em segundos"));
                }
            }
            if (w.letra == 'M' && w.numero != "3" && w.numero != "4" && w.numero != "5" && w.numero != "2" &&
                w.numero != "30" && w.numero != "8" && w.numero != "9")
                faltas.push_back(onde(i, "M" + w.numero + " que o GRBL nao aceita"));
        }
    }
    return faltas;
}

std::vector<std::string> conferir_fanuc(const std::string& arquivo) {
    std::vector<std::string> faltas;
    auto ls = linhas_de(arquivo);
    if (ls.size() < 3 || ls.front() != "%" || ls.back() != "%") faltas.push_back("sem % na primeira e na ultima linha");
    if (ls.size() < 2 || ls[1].size() != 5 || ls[1][0] != 'O' ||
        !std::all_of(ls[1].begin() + 1, ls[1].end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        faltas.push_back("sem O e quatro digitos na segunda linha");
    for (std::size_t i = 2; i + 1 < ls.size(); ++i) {
        const std::string& l = ls[i];
        if (l.find(';') != std::string::npos) faltas.push_back(onde(i, "comentario com ;"));
        if (l.find('%') != std::string::npos) faltas.push_back(onde(i, "% no meio do programa"));
        std::vector<Palavra> p;
        std::vector<std::string> comentarios;
        if (!palavras(l, p, comentarios, false)) {
            faltas.push_back(onde(i, "nao se le: " + l));
            continue;
        }
        for (const std::string& c : comentarios)
            for (char x : c)
                if (!(std::isupper(static_cast<unsigned char>(x)) || std::isdigit(static_cast<unsigned char>(x)) ||
                      std::string(" .,-+:/=*").find(x) != std::string::npos))
                    faltas.push_back(onde(i, std::string("caractere '") + x + "' num comentario"));
        for (const Palavra& w : p) {
            if (!std::isupper(static_cast<unsigned char>(w.letra))) faltas.push_back(onde(i, "palavra minuscula"));
            if (std::string("XYZIJF").find(w.letra) != std::string::npos && !tem_ponto(w.numero))
                faltas.push_back(onde(i, std::string(1, w.letra) + w.numero + " sem ponto decimal"));
            if (w.letra == 'G' && (w.numero == "4" || w.numero == "04"))
                for (const Palavra& q : p)
                    if (q.letra == 'P' && (tem_ponto(q.numero) || std::atof(q.numero.c_str()) < 100))
                        faltas.push_back(onde(i, "pausa P" + q.numero + " que nao esta em milissegundos"));
        }
    }
    return faltas;
}

std::vector<MovimentoLido> movimentos_do_arquivo(const std::string& arquivo) {
    std::vector<MovimentoLido> r;
    MovimentoLido pos;
    int modo = -1;
    for (const std::string& l : linhas_de(arquivo)) {
        std::vector<Palavra> p;
        std::vector<std::string> comentarios;
        if (!palavras(l, p, comentarios, true)) continue;
        bool tem_coordenada = false;
        MovimentoLido m = pos;
        for (const Palavra& w : p) {
            const char letra = static_cast<char>(std::toupper(static_cast<unsigned char>(w.letra)));
            const double v = std::atof(w.numero.c_str());
            if (letra == 'G' && (v == 0 || v == 1)) modo = static_cast<int>(v);
            if (letra == 'G' && v != 0 && v != 1) modo = -2;  // not a move: scaling, dwell, modes
            if (letra == 'X') m.x = v, tem_coordenada = true;
            if (letra == 'Y') m.y = v, tem_coordenada = true;
            if (letra == 'Z') m.z = v, tem_coordenada = true;
        }
        if (!tem_coordenada || modo < 0) continue;
        m.rapido = modo == 0;
        r.push_back(m);
        pos = m;
    }
    return r;
}

bool rs274_disponivel() { return std::system("command -v rs274 >/dev/null 2>&1") == 0; }

bool rodar_rs274(const std::string& arquivo, const std::string& tabela, std::string& saida) {
    std::string modelo = (std::filesystem::temp_directory_path() / "rosca-rs274-XXXXXX").string();
    if (mkdtemp(modelo.data()) == nullptr) {
        saida = "sem diretorio temporario para o rs274";
        return false;
    }
    const std::string dir = modelo;
    std::ofstream(dir + "/p.ngc", std::ios::binary) << arquivo;
    // Every run of rs274, with a tool table or without, truncates and maps
    // $HOME/.tool.mmap and writes its tool table there. A run that shares that
    // file with another rs274 of the same user anywhere on the machine (tests
    // in parallel, another checkout, a hand run) reads the other's table
    // ("Requested tool 7 not found") or dies of SIGBUS when the file is
    // truncated under its map. A HOME of its own gives each run its own file.
    std::string comando = "cd '" + dir + "' && HOME='" + dir + "' rs274 -g";
    if (!tabela.empty()) {
        std::ofstream(dir + "/ferramentas.tbl") << tabela;
        comando += " -t ferramentas.tbl";
    }
    comando += " p.ngc > saida.txt 2>&1 < /dev/null";
    const int bruto = std::system(comando.c_str());
    saida = ler_arquivo(dir + "/saida.txt");
    std::error_code ignorado;
    std::filesystem::remove_all(dir, ignorado);
    return WIFEXITED(bruto) && WEXITSTATUS(bruto) == 0;
}

std::vector<MovimentoLido> movimentos_canonicos(const std::string& saida) {
    std::vector<MovimentoLido> r;
    std::istringstream texto(saida);
    for (std::string l; std::getline(texto, l);) {
        const bool rapido = l.find("STRAIGHT_TRAVERSE(") != std::string::npos;
        const bool corte = l.find("STRAIGHT_FEED(") != std::string::npos;
        if (!rapido && !corte) continue;
        MovimentoLido m;
        m.rapido = rapido;
        if (std::sscanf(l.c_str() + l.find('(') + 1, "%lf, %lf, %lf", &m.x, &m.y, &m.z) == 3) r.push_back(m);
    }
    return r;
}
