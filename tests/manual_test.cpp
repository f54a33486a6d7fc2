// Every example the operator's manual quotes is run here, and the lines it
// quotes must be what the programs print: a changed output fails the chapter
// that quotes it until the manual is rerun.
//
// A chapter marks its examples with HTML comments, which a Markdown reader
// does not show, each on its own line before the indented block it speaks of:
//   <!-- arquivo NOME -->         the next block is the content of file NOME
//                                 ("arquivo NOME crlf": with CR LF line ends)
//   <!-- arquivo NOME: TEXTO -->  file NOME holds the one line TEXTO
//   <!-- rode -->                 the next block: one shell command per line
//   <!-- rode: COMANDO -->        the command COMANDO, quoted in the prose
//   <!-- tela -->                 the next block is an excerpt of what the last
//                                 command printed (standard output, then error)
//   <!-- em NOME -->              the next block is an excerpt of file NOME
//   <!-- status N -->             the last command ended with status N
//   <!-- uso -->                  the next block is a synopsis, not run
// An excerpt is runs of whole lines split by lines of "...": each run appears
// consecutively and in order. Bells and CRs are not compared (a page cannot
// show them), nor blanks at the end of a line. A block that starts with a
// program's name and has no mark fails: every command shown is run.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/execucao.hpp"

namespace fs = std::filesystem;

namespace {

std::string ler(const fs::path& p) { return ler_arquivo(p.string()); }

std::string sem_brancos_no_fim(std::string l) {
    while (!l.empty() && (l.back() == ' ' || l.back() == '\t')) l.pop_back();
    return l;
}

bool utf8_valido(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

// The console's accented letters are single Latin-1 bytes; the page is UTF-8.
std::string em_utf8(const std::string& linha) {
    if (utf8_valido(linha)) return linha;
    std::string u;
    for (char ch : linha) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            u += ch;
        } else {
            u += static_cast<char>(0xC0 | (c >> 6));
            u += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return u;
}

// The text as the page would show it: no bells, no CRs, one line per entry.
std::vector<std::string> linhas_comparaveis(const std::string& texto) {
    std::vector<std::string> linhas;
    std::string atual;
    for (char c : texto) {
        if (c == '\a' || c == '\r') continue;
        if (c == '\n') {
            linhas.push_back(em_utf8(sem_brancos_no_fim(atual)));
            atual.clear();
        } else {
            atual += c;
        }
    }
    if (!atual.empty()) linhas.push_back(em_utf8(sem_brancos_no_fim(atual)));
    return linhas;
}

// Empty when `trecho` is in `saida`; otherwise what differs, for the message.
std::string falta_no_trecho(const std::vector<std::string>& trecho, const std::vector<std::string>& saida) {
    std::size_t cursor = 0;
    std::size_t i = 0;
    while (i < trecho.size()) {
        std::size_t fim = i;
        while (fim < trecho.size() && trecho[fim] != "...") ++fim;
        if (fim > i) {
            std::size_t melhor = 0, onde_melhor = saida.size();
            bool achou = false;
            for (std::size_t p = cursor; p < saida.size() && !achou; ++p) {
                std::size_t n = 0;
                while (i + n < fim && p + n < saida.size() && saida[p + n] == trecho[i + n]) ++n;
                if (n == fim - i) {
                    cursor = p + n;
                    achou = true;
                } else if (n > melhor) {
                    melhor = n;
                    onde_melhor = p;
                }
            }
            if (!achou) {
                std::string msg = "esperada a linha \"" + trecho[i + melhor] + "\"";
                if (onde_melhor + melhor < saida.size())
                    msg += ", a saida tem \"" + saida[onde_melhor + melhor] + "\"";
                else if (melhor == 0)
                    msg += ", que nao aparece na saida (depois do trecho anterior)";
                return msg;
            }
        }
        i = fim + 1;
    }
    return {};
}

struct Capitulo {
    std::string nome;
    fs::path arquivo;
};
void PrintTo(const Capitulo& c, std::ostream* os) { *os << c.arquivo.filename().string(); }

std::vector<Capitulo> capitulos() {
    std::vector<Capitulo> todos;
    for (const auto& e : fs::directory_iterator(ROSCA_MANUAL)) {
        const std::string n = e.path().filename().string();
        if (e.path().extension() != ".md" || n.size() < 3 || !std::isdigit(static_cast<unsigned char>(n[0])))
            continue;
        std::string nome = e.path().stem().string();
        for (char& c : nome)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        todos.push_back({"c" + nome, e.path()});
    }
    std::sort(todos.begin(), todos.end(), [](const Capitulo& a, const Capitulo& b) { return a.nome < b.nome; });
    return todos;
}

// The chapter's own folder, with the programs just built first on the PATH.
class Sessao {
public:
    Sessao() {
        std::string modelo = (fs::temp_directory_path() / "manual-XXXXXX").string();
        raiz_ = mkdtemp(modelo.data());
        fs::create_directory(raiz_ / "trabalho");
        programas_ = fs::path(ROSCA_BINARIO).parent_path().string() + ":" +
                     fs::path(ROSCA_VISUALIZADOR).parent_path().string();
    }
    ~Sessao() {
        std::error_code e;
        fs::remove_all(raiz_, e);
    }
    fs::path pasta() const { return raiz_ / "trabalho"; }
    int rodar(const std::string& comando) {
        std::ofstream(raiz_ / "comando.sh", std::ios::binary) << comando << "\n";
        const std::string r = raiz_.string();
        const std::string linha = "cd '" + r + "/trabalho' && PATH='" + programas_ + "':\"$PATH\" timeout 120 /bin/sh '" +
                                  r + "/comando.sh' </dev/null >'" + r + "/saida' 2>'" + r + "/erro'";
        const int s = std::system(linha.c_str());
        saida_ = ler(raiz_ / "saida") + ler(raiz_ / "erro");
        return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    }
    const std::string& saida() const { return saida_; }

private:
    fs::path raiz_;
    std::string programas_;
    std::string saida_;
};

class Manual : public testing::TestWithParam<Capitulo> {};

TEST_P(Manual, ExemplosConferemComOsProgramas) {
    const Capitulo& cap = GetParam();
    std::vector<std::string> linhas;
    {
        std::istringstream s(ler(cap.arquivo));
        for (std::string l; std::getline(s, l);) linhas.push_back(l);
    }
    Sessao sessao;
    const std::string capitulo = cap.arquivo.filename().string();
    std::string ultimo_comando;
    int ultimo_status = -1;
    int exemplos = 0;
    const std::regex marca(R"(^<!-- ([a-z]+)( [^:]*?)?(: (.*?))? -->\s*$)");

    // The indented block after line `i` (blank lines before it skipped), as
    // written but without its indent; `i` ends on the block's last line.
    auto bloco_seguinte = [&](std::size_t& i) {
        std::vector<std::string> b;
        std::size_t j = i + 1;
        while (j < linhas.size() && sem_brancos_no_fim(linhas[j]).empty()) ++j;
        while (j < linhas.size() && (linhas[j].rfind("    ", 0) == 0 || sem_brancos_no_fim(linhas[j]).empty())) {
            b.push_back(linhas[j].size() >= 4 ? sem_brancos_no_fim(linhas[j].substr(4)) : std::string());
            ++j;
        }
        while (!b.empty() && b.back().empty()) {
            b.pop_back();
            --j;
        }
        i = j - 1;
        return b;
    };

    for (std::size_t i = 0; i < linhas.size(); ++i) {
        const std::string onde = capitulo + ":" + std::to_string(i + 1);
        std::smatch m;
        const std::string linha = sem_brancos_no_fim(linhas[i]);
        // A block no mark took: it may show no command.
        if (linha.rfind("    ", 0) == 0 && i > 0 && sem_brancos_no_fim(linhas[i - 1]).empty()) {
            const std::string texto = linha.substr(linha.find_first_not_of(' '));
            EXPECT_FALSE(texto.rfind("rosca-helicoidal", 0) == 0 || texto.rfind("rosca-visualizar", 0) == 0)
                << onde << ": comando sem marca (rode ou uso): " << texto;
            --i;
            bloco_seguinte(i);
            continue;
        }
        if (!std::regex_match(linha, m, marca)) continue;
        const std::string tipo = m[1];
        const std::string nome = m[2].matched ? m[2].str().substr(1) : "";
        const bool em_linha = m[3].matched;
        const std::string texto = m[4];
        if (tipo == "arquivo") {
            std::string arquivo = nome, fim = "\n";
            if (arquivo.size() > 5 && arquivo.substr(arquivo.size() - 5) == " crlf") {
                arquivo.resize(arquivo.size() - 5);
                fim = "\r\n";
            }
            std::string conteudo;
            if (em_linha) {
                conteudo = texto + fim;
            } else {
                for (const auto& l : bloco_seguinte(i)) conteudo += l + fim;
            }
            std::ofstream(sessao.pasta() / arquivo, std::ios::binary) << conteudo;
        } else if (tipo == "rode") {
            std::vector<std::string> comandos = em_linha ? std::vector<std::string>{texto} : bloco_seguinte(i);
            for (const auto& c : comandos) {
                if (c.empty()) continue;
                // As the other LinuxCNC checks, skipped where its interpreter is not installed.
                if (c.find("rs274") != std::string::npos && std::system("command -v rs274 >/dev/null 2>&1") != 0)
                    GTEST_SKIP() << capitulo << ": rs274 nao instalado";
                ultimo_comando = c;
                ultimo_status = sessao.rodar(c);
                ++exemplos;
            }
        } else if (tipo == "tela" || tipo == "em") {
            const auto trecho = bloco_seguinte(i);
            const std::string texto_real =
                tipo == "tela" ? sessao.saida() : ler(sessao.pasta() / nome);
            const std::string falta = falta_no_trecho(trecho, linhas_comparaveis(texto_real));
            EXPECT_TRUE(falta.empty()) << onde << ": o trecho citado nao confere com "
                                       << (tipo == "tela" ? "a tela de `" + ultimo_comando + "`" : "o arquivo " + nome)
                                       << ": " << falta;
        } else if (tipo == "status") {
            EXPECT_EQ(std::to_string(ultimo_status), nome) << onde << ": status de `" << ultimo_comando << "`";
        } else if (tipo == "uso") {
            bloco_seguinte(i);
        } else {
            ADD_FAILURE() << onde << ": marca desconhecida <!-- " << tipo << " -->";
        }
    }
    RecordProperty("exemplos", exemplos);
}

INSTANTIATE_TEST_SUITE_P(Capitulos, Manual, testing::ValuesIn(capitulos()),
                         [](const testing::TestParamInfo<Capitulo>& i) { return i.param.nome; });

// The man page and the manual say what the help says: an option the program
// takes and neither explains is an option no operator finds.
TEST(ManualOpcoes, CadaOpcaoDaAjudaEstaNaPaginaDeManualENoManual) {
    Sessao sessao;
    ASSERT_EQ(sessao.rodar("rosca-helicoidal --help"), 0);
    std::string pagina = ler(fs::path(ROSCA_MANUAL) / ".." / "man" / "rosca-helicoidal.1");
    for (std::size_t p; (p = pagina.find("\\-")) != std::string::npos;) pagina.erase(p, 1);
    std::string manual;
    for (const auto& c : capitulos()) manual += ler(c.arquivo);
    const std::string ajuda = sessao.saida();
    const std::regex opcao("--[a-z][a-z-]*");
    int opcoes = 0;
    for (auto i = std::sregex_iterator(ajuda.begin(), ajuda.end(), opcao); i != std::sregex_iterator(); ++i) {
        const std::string o = i->str();
        EXPECT_NE(pagina.find(o), std::string::npos) << o << " falta em docs/man/rosca-helicoidal.1";
        EXPECT_NE(manual.find(o), std::string::npos) << o << " falta em docs/manual";
        ++opcoes;
    }
    EXPECT_GT(opcoes, 20);
}

// The matcher itself: a run out of order or a changed byte is not a match.
TEST(ManualTrechos, UmaLinhaMudadaOuForaDeOrdemNaoConfere) {
    const std::vector<std::string> saida = {"a", "b", "c", "d"};
    EXPECT_EQ(falta_no_trecho({"b", "c"}, saida), "");
    EXPECT_EQ(falta_no_trecho({"a", "...", "d"}, saida), "");
    EXPECT_NE(falta_no_trecho({"a", "c"}, saida), "");
    EXPECT_NE(falta_no_trecho({"c", "...", "b"}, saida), "");
    EXPECT_NE(falta_no_trecho({"b", "x"}, saida), "");
    EXPECT_EQ(linhas_comparaveis("\aERRO!\r\nok  \nPADR\xC3O\n"),
              (std::vector<std::string>{"ERRO!", "ok", "PADR\xC3\x83O"}));
}

}  // namespace
