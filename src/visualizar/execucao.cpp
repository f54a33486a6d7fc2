#include "visualizar/execucao.hpp"

#include <cctype>
#include <cmath>
#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "visualizar/leitor_linhas.hpp"
#include "visualizar/mensagem.hpp"

namespace {

bool digito(char c) { return c >= '0' && c <= '9'; }
bool letra(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string_view aparar(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

std::string maiusculas(std::string_view t) {
    std::string r(t);
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

bool comeca(std::string_view t, std::string_view prefixo) { return t.substr(0, prefixo.size()) == prefixo; }

// Digits alone, at most nine.
long inteiro(std::string_view digitos) {
    long n = 0;
    for (char c : digitos) n = n * 10 + (c - '0');
    return n;
}

// The word `palavra` (a letter and a whole number: "M30") stands alone in `t`.
bool tem_palavra(std::string_view t, char letra_palavra, long numero) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != letra_palavra || (i > 0 && letra(t[i - 1]))) continue;
        std::size_t j = i + 1;
        while (j < t.size() && digito(t[j])) ++j;
        if (j == i + 1 || (j < t.size() && (letra(t[j]) == false ? t[j] == '.' : false))) continue;
        if (j - i <= 9 && inteiro(t.substr(i + 1, j - i - 1)) == numero) return true;
    }
    return false;
}

// The whole number after `letra_palavra` in `t`; -1 without one.
long numero_de(std::string_view t, char letra_palavra) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != letra_palavra || (i > 0 && letra(t[i - 1]))) continue;
        std::size_t j = i + 1;
        while (j < t.size() && digito(t[j])) ++j;
        if (j > i + 1 && j - i <= 9) return inteiro(t.substr(i + 1, j - i - 1));
    }
    return -1;
}

// LinuxCNC's call argument `k`: "#k".
std::string argumento(std::size_t k) {
    std::string s(1, '#');
    s += std::to_string(k);
    return s;
}

std::string numero_texto(double v) {
    char b[400];
    const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, 6);
    return std::string(b, r.ec == std::errc{} ? r.ptr : b);
}

// A Sinumerik label: a name and a colon, alone on the line.
// The target of "GOTO n", "GOTOF label" or "GOTOB label" (upper case).
std::string chave_goto(std::string_view u) {
    const bool f = comeca(u, "GOTOF"), b = comeca(u, "GOTOB");
    const std::string alvo(aparar(u.substr(f || b ? 5 : 4)));
    const bool numero = !alvo.empty() && digito(alvo[0]);
    return numero ? "N " + std::to_string(std::strtol(alvo.c_str(), nullptr, 10)) : "ROTULO " + alvo;
}

bool rotulo_sinumerik(std::string_view u, std::string_view& nome) {
    if (u.size() < 2 || u.back() != ':' || !(letra(u[0]) || u[0] == '_')) return false;
    for (char c : u.substr(0, u.size() - 1))
        if (!(letra(c) || digito(c) || c == '_')) return false;
    nome = u.substr(0, u.size() - 1);
    return true;
}

// LinuxCNC's O-word at the start of `u`: "O<NAME>" or "O123", and what follows.
bool ler_o_palavra(std::string_view u, std::string_view& rotulo, std::string_view& resto) {
    if (u.size() < 2 || u[0] != 'O') return false;
    std::size_t j = 1;
    if (u[1] == '<') {
        j = u.find('>');
        if (j == std::string_view::npos) return false;
        ++j;
    } else {
        while (j < u.size() && digito(u[j])) ++j;
        if (j == 1) return false;
    }
    rotulo = u.substr(0, j);
    resto = aparar(u.substr(j));
    // A program number alone (Fanuc's O0001) is no O-word.
    return !resto.empty() && letra(resto[0]);
}

}  // namespace

ClasseBloco classificar_bloco(std::string_view l) {
    static constexpr std::string_view palavras[] = {"M98", "M99", "G52", "CALL LBL", "FN ", "CYCL DEF 7.",
                                                     "REPEAT", "TRANS", "GOTO", "LBL"};
    // Out of the comments, so that a plain file whose comments hold such a
    // word is still read as it streams.
    l = l.substr(0, std::min(l.find(';'), l.find('(')));
    std::size_t i = 0;
    while (i < l.size() && (l[i] == ' ' || l[i] == '\t' || digito(l[i]))) ++i;
    const std::string u = maiusculas(aparar(l.substr(i)));
    if (u.empty()) return ClasseBloco::nenhum;
    if (u[0] == '#' || comeca(u, "O<") || comeca(u, "IF")) return ClasseBloco::executar;
    // R and Q parameters set.
    if ((u[0] == 'R' || u[0] == 'Q') && u.size() > 1 && digito(u[1]) && u.find('=') != std::string::npos)
        return ClasseBloco::executar;
    std::string_view rotulo, resto, nome;
    if (ler_o_palavra(u, rotulo, resto) || rotulo_sinumerik(u, nome)) return ClasseBloco::executar;
    for (std::string_view p : palavras)
        if (u.find(p) != std::string::npos) return ClasseBloco::executar;
    return ClasseBloco::simples;
}

bool precisa_executar(std::string_view t) {
    for (int blocos = 0; !t.empty();) {
        const std::size_t e = t.find('\n');
        const ClasseBloco c = classificar_bloco(t.substr(0, e));
        t.remove_prefix(e == std::string_view::npos ? t.size() : e + 1);
        if (c == ClasseBloco::executar) return true;
        if (c == ClasseBloco::simples && ++blocos >= blocos_para_decidir) return false;
    }
    return false;
}

bool ExecucaoPrograma::variavel(std::string_view nome, double& v) const {
    const auto it = variaveis_.find(maiusculas(nome));
    if (it == variaveis_.end()) return false;
    v = it->second;
    return true;
}

ExecucaoPrograma::ExecucaoPrograma(std::string texto, std::uint64_t primeira_linha,
                                   std::vector<std::pair<std::uint64_t, std::uint64_t>> longas,
                                   std::uint64_t furos_antes, std::uint64_t max_blocos)
    : texto_(std::move(texto)), primeira_(primeira_linha), longas_(std::move(longas)), max_blocos_(max_blocos) {
    std::string_view t = texto_;
    while (!t.empty()) {
        const std::size_t e = t.find('\n');
        linhas_.push_back(t.substr(0, e));
        if (e == std::string_view::npos) {
            ultima_sem_fim_ = true;
            break;
        }
        t.remove_prefix(e + 1);
    }
    for (std::size_t i = 0; i < linhas_.size() && i < 8; ++i)
        if (maiusculas(linhas_[i]).find("BEGIN PGM") != std::string::npos) texto_claro_ = true;
    info_.resize(linhas_.size());
    // A line too long to read is read as it is (the reader refuses it): its start is no construct.
    for (const auto& [numero, bytes] : longas_)
        if (numero >= primeira_ && numero - primeira_ < info_.size()) info_[numero - primeira_].tipo = Info::copiar;
    // A program runs each of its lines a few times at most: a hole's blocks
    // once for the first hole (twice where the first is written out), each
    // later hole a repetition of a few blocks (repetir_chamadas). A run far
    // past that is a loop, stopped within seconds.
    std::uint64_t furos = furos_antes;
    for (std::string_view l : linhas_)
        if (l.find("Furo ") != std::string_view::npos || l.find("FURO ") != std::string_view::npos) ++furos;
    const std::uint64_t n = linhas_.size();
    max_blocos_ = std::min(max_blocos_, blocos_minimos + blocos_por_linha * n + blocos_por_furo * furos);
    indexar();
}

ExecucaoPrograma::Partes ExecucaoPrograma::separar(std::string_view linha) const {
    Partes p;
    std::size_t i = 0;
    if (texto_claro_) {
        while (i < linha.size() && (linha[i] == ' ' || linha[i] == '\t')) ++i;
        while (i < linha.size() && digito(linha[i])) ++i;
        while (i < linha.size() && (linha[i] == ' ' || linha[i] == '\t')) ++i;
    }
    p.prefixo = linha.substr(0, i);
    std::size_t c = i;
    for (; c < linha.size(); ++c) {
        if (linha[c] == ';') break;
        if (linha[c] == '(' && !texto_claro_) {
            // An opening parenthesis after an operator groups an expression.
            std::size_t k = c;
            while (k > i && (linha[k - 1] == ' ' || linha[k - 1] == '\t')) --k;
            if (k == i || std::string_view("=+-*/([").find(linha[k - 1]) == std::string_view::npos) break;
        }
    }
    p.codigo = linha.substr(i, c - i);
    p.comentario = linha.substr(c);
    return p;
}

void ExecucaoPrograma::indexar() {
    // Where each target and each O-word's parts are, once: a jump or a
    // false condition then costs no scan of the file.
    std::vector<std::pair<std::size_t, std::string>> referencias;
    for (std::size_t i = 0; i < linhas_.size(); ++i) {
        if (info_[i].tipo == Info::copiar) continue;
        const Partes p = separar(linhas_[i]);
        const std::string u = maiusculas(aparar(p.codigo));
        if (u.empty()) continue;
        std::string_view rotulo, resto, nome;
        if (ler_o_palavra(u, rotulo, resto)) {
            const std::string r(rotulo);
            const std::string_view palavra = resto.substr(0, resto.find_first_of(" \t["));
            o_palavras_[r].emplace_back(i, std::string(palavra));
            if (palavra == "SUB") alvos_["SUB " + r].push_back(i);
            if (palavra == "CALL") referencias.emplace_back(i, "SUB " + r);
        } else if (u[0] == 'O' && u.size() > 1 && digito(u[1])) {
            alvos_["O " + std::to_string(numero_de(u, 'O'))].push_back(i);
        } else if (rotulo_sinumerik(u, nome)) {
            alvos_["ROTULO " + std::string(nome)].push_back(i);
        }
        if (texto_claro_) {
            if (comeca(u, "LBL")) alvos_["LBL " + std::string(aparar(std::string_view(u).substr(3)))].push_back(i);
            if (comeca(u, "CALL LBL")) referencias.emplace_back(i, "LBL " + std::string(aparar(std::string_view(u).substr(8))));
            if (const std::size_t vai = u.find("GOTO LBL"); comeca(u, "FN ") && vai != std::string::npos)
                referencias.emplace_back(i, "LBL " + std::string(aparar(std::string_view(u).substr(vai + 8))));
            continue;
        }
        if (u[0] == 'N' && u.size() > 1 && digito(u[1])) alvos_["N " + std::to_string(numero_de(u, 'N'))].push_back(i);
        if (const std::size_t vai = u.find("GOTO"); vai != std::string::npos) referencias.emplace_back(i, chave_goto(u.substr(vai)));
        if (comeca(u, "REPEAT")) {
            std::string_view a = aparar(std::string_view(u).substr(6));
            const std::size_t esp = a.find(' ');
            referencias.emplace_back(i, "ROTULO " + std::string(a.substr(0, esp)));
            if (esp != std::string_view::npos) referencias.emplace_back(i, "ROTULO " + std::string(aparar(a.substr(esp))));
        }
        if (tem_palavra(u, 'M', 98) && numero_de(u, 'P') >= 0)
            referencias.emplace_back(i, "O " + std::to_string(numero_de(u, 'P')));
    }
    // A target defined twice, or a jump or call to none, is a fault of the
    // file even where the run does not go: the control would stop there.
    // (Block numbers may repeat where no jump goes; LBL 0 ends each subprogram.)
    for (const auto& [chave, onde] : alvos_)
        if (onde.size() > 1 && !comeca(chave, "N ") && chave != "LBL 0")
            problema(onde[1], "destino " + chave + " definido mais de uma vez (primeiro na linha " +
                                  std::to_string(primeira_ + onde[0]) + ")");
    for (const auto& [i, chave] : referencias) {
        const auto it = alvos_.find(chave);
        if (it == alvos_.end())
            problema(i, "salto ou chamada para " + chave + ", que nao esta no arquivo");
        else if (it->second.size() > 1 && comeca(chave, "N "))
            problema(i, "salto para " + chave + ", que esta em mais de uma linha");
    }
}

void ExecucaoPrograma::problema(std::size_t i, std::string motivo) {
    problemas_.emplace_back(primeira_ + i, texto_visivel(motivo, 160));
}

ExecucaoPrograma::Passo ExecucaoPrograma::falhar(std::string motivo) {
    if (erro_.empty()) {
        // The reason quotes the file, in whatever bytes it has.
        erro_ = texto_visivel(motivo, 160);
        linha_erro_ = primeira_ + (pc_ < linhas_.size() ? pc_ : linhas_.size() - 1);
    }
    terminado_ = true;
    return Passo::parar;
}

bool ExecucaoPrograma::valor(std::string_view expressao, double& v) {
    std::string erro;
    std::vector<std::string> lidas;
    const bool ok = avaliar(aparar(expressao), variaveis_, v, erro, gravando_ ? &lidas : nullptr);
    for (const std::string& n : lidas)
        if (!gravando_->escritas.contains(n) && !gravando_->entradas.contains(n)) {
            const auto it = variaveis_.find(n);
            gravando_->entradas[n] = it == variaveis_.end() ? std::nullopt : std::optional<double>(it->second);
        }
    if (ok) return true;
    falhar(erro + ": " + std::string(aparar(expressao)));
    return false;
}

bool ExecucaoPrograma::atribuir(std::string_view nome, std::string_view expressao) {
    double v = 0;
    if (!valor(expressao, v)) return false;
    escrever(maiusculas(nome), v);
    return true;
}

std::uint64_t ExecucaoPrograma::linha_variavel(std::string_view nome) const {
    const auto it = linhas_variaveis_.find(maiusculas(nome));
    return it == linhas_variaveis_.end() ? 0 : it->second;
}

void ExecucaoPrograma::escrever(const std::string& nome, double v) {
    variaveis_[nome] = v;
    if (quadros_.empty()) linhas_variaveis_[nome] = primeira_ + pc_;
    if (gravando_) gravando_->escritas.insert(nome);
}

void ExecucaoPrograma::apagar(const std::string& nome) {
    variaveis_.erase(nome);
    if (gravando_) gravando_->escritas.insert(nome);
}

bool ExecucaoPrograma::saltar(const std::string& chave, bool para_tras, bool ambos, std::string_view descricao) {
    const auto it = alvos_.find(chave);
    if (it != alvos_.end()) {
        const std::vector<std::size_t>& l = it->second;
        if (!para_tras || ambos)
            for (std::size_t i : l)
                if (i > pc_) {
                    pc_ = i;
                    saltou_ = true;
                    return true;
                }
        if (para_tras || ambos)
            for (auto r = l.rbegin(); r != l.rend(); ++r)
                if (*r < pc_) {
                    pc_ = *r;
                    saltou_ = true;
                    return true;
                }
    }
    falhar(std::string(descricao) + " sem destino no arquivo");
    return false;
}

ExecucaoPrograma::Passo ExecucaoPrograma::chamar(std::size_t destino, Quadro q) {
    if (quadros_.size() >= max_chamadas)
        return falhar(formatar("chamadas aninhadas demais (mais de %llu): o programa chama a si mesmo?",
                               static_cast<unsigned long long>(max_chamadas)));
    q.retorno = pc_ + 1;
    q.linha_chamada = primeira_ + pc_;
    if (quadros_.empty() && pode_repetir_) {
        if (const Chamada* c = lembrada(destino); c != nullptr && pode_repetir_(c->numero)) return repetir(*c, q);
        Chamada nova;
        nova.numero = ++chamadas_;
        nova.destino = destino;
        nova.dx = dx_;
        nova.dy = dy_;
        gravando_ = std::move(nova);
    }
    quadros_.push_back(std::move(q));
    pc_ = destino;
    saltou_ = true;
    return Passo::seguir;
}

ExecucaoPrograma::Passo ExecucaoPrograma::retornar(std::string_view o_que) {
    if (quadros_.empty())
        return falhar(formatar("%.*s fora de um subprograma chamado", static_cast<int>(o_que.size()), o_que.data()));
    Quadro& q = quadros_.back();
    if (q.o_call) {
        for (int k = 1; k <= 30; ++k) apagar(argumento(k));
        for (auto& [nome, v] : q.argumentos) escrever(nome, v);
    }
    if (q.desloca) {
        dx_ = q.dx;
        dy_ = q.dy;
    }
    pc_ = q.retorno;
    saltou_ = true;
    quadros_.pop_back();
    if (quadros_.empty() && gravando_) {
        // Remembered only when another run of it can do no more than its blocks and its variables.
        Chamada& c = *gravando_;
        if (c.repetivel && dx_ == c.dx && dy_ == c.dy) {
            for (const std::string& n : c.escritas) {
                const auto it = variaveis_.find(n);
                c.saidas.emplace_back(n, it == variaveis_.end() ? std::nullopt : std::optional<double>(it->second));
            }
            c.escritas.clear();
            lembradas_.push_back(std::move(c));
        }
        gravando_.reset();
    }
    return Passo::seguir;
}

const ExecucaoPrograma::Chamada* ExecucaoPrograma::lembrada(std::size_t destino) const {
    for (const Chamada& c : lembradas_) {
        if (c.destino != destino) continue;
        bool iguais = true;
        for (const auto& [nome, v] : c.entradas) {
            const auto it = variaveis_.find(nome);
            const std::optional<double> agora = it == variaveis_.end() ? std::nullopt : std::optional<double>(it->second);
            iguais = iguais && agora == v;
        }
        if (iguais) return &c;
    }
    return nullptr;
}

ExecucaoPrograma::Passo ExecucaoPrograma::repetir(const Chamada& c, const Quadro& q) {
    for (const auto& [nome, v] : c.saidas) {
        if (v)
            variaveis_[nome] = *v;
        else
            variaveis_.erase(nome);
    }
    if (q.o_call) {
        for (int k = 1; k <= 30; ++k) variaveis_.erase(argumento(k));
        for (auto& [nome, v] : q.argumentos) variaveis_[nome] = v;
    }
    // The block stands at the call's shift, its arguments' included.
    repete_dx_ = dx_;
    repete_dy_ = dy_;
    if (q.desloca) {
        dx_ = q.dx;
        dy_ = q.dy;
    }
    repete_ = c.numero;
    pc_ = q.retorno;
    saltou_ = true;
    return Passo::seguir;
}

bool ExecucaoPrograma::centro_nos_argumentos(std::size_t destino) {
    const auto [it, novo] = centro_nos_argumentos_.try_emplace(destino, false);
    if (!novo) return it->second;
    // Each "#1" opens an X word's brackets and each "#2" a Y word's, followed
    // by a sum or a difference with no comparison: the word is the argument
    // plus what the rest gives, whatever the argument.
    for (std::size_t i = destino; i < linhas_.size(); ++i) {
        const std::string u = maiusculas(separar(linhas_[i]).codigo);
        std::string_view rotulo, resto;
        if (ler_o_palavra(aparar(u), rotulo, resto) && (comeca(resto, "ENDSUB") || comeca(resto, "RETURN"))) {
            it->second = true;
            return true;
        }
        for (std::size_t k = u.find('#'); k != std::string::npos; k = u.find('#', k + 1)) {
            std::string nome;
            if (nome_variavel(std::string_view(u).substr(k), nome) == 0 || nome.size() > 3 || !digito(nome[1])) continue;
            const long n = std::strtol(nome.c_str() + 1, nullptr, 10);
            if (n > 30) continue;
            if (n > 2 || k < 2 || u[k - 1] != '[' || u[k - 2] != (n == 1 ? 'X' : 'Y')) return false;
            const std::size_t fim = u.find(']', k);
            const std::size_t depois = k + nome.size();
            if (fim == std::string::npos || depois >= u.size() || (u[depois] != '+' && u[depois] != '-' && u[depois] != ']'))
                return false;
            // The rest without its named parameters, whose names may hold any letters.
            std::string dentro(u.substr(depois, fim - depois));
            for (std::size_t n = dentro.find("#<"); n != std::string::npos; n = dentro.find("#<", n))
                dentro.erase(n, dentro.find('>', n) == std::string::npos ? std::string::npos : dentro.find('>', n) - n + 1);
            if (dentro.find_first_of("[<>=") != std::string::npos) return false;
            for (std::string_view op : {"EQ", "NE", "GT", "GE", "LT", "LE", "AND", "OR", "MOD"})
                if (dentro.find(op) != std::string::npos) return false;
        }
    }
    return false;
}

ExecucaoPrograma::Passo ExecucaoPrograma::o_palavra(std::string_view u) {
    std::string_view rotulo, resto;
    ler_o_palavra(u, rotulo, resto);
    const std::string r(rotulo);
    // The next of this label's O-words that is one of `palavras`.
    auto procurar = [&](std::initializer_list<std::string_view> palavras, std::string_view& achada) -> bool {
        const auto it = o_palavras_.find(r);
        if (it == o_palavras_.end()) return false;
        const auto& l = it->second;
        for (auto k = std::upper_bound(l.begin(), l.end(), pc_, [](std::size_t a, const auto& e) { return a < e.first; });
             k != l.end(); ++k)
            for (std::string_view p : palavras)
                if (k->second == p) {
                    achada = p;
                    pc_ = k->first;
                    saltou_ = true;
                    return true;
                }
        return false;
    };
    std::string_view achada;
    if (comeca(resto, "SUB")) {
        // A definition met on the way is skipped.
        if (!procurar({"ENDSUB"}, achada)) return falhar(r + " sub sem endsub");
        ++pc_;
        return Passo::seguir;
    }
    if (comeca(resto, "ENDSUB") || comeca(resto, "RETURN")) return retornar(r + " endsub");
    if (comeca(resto, "CALL")) {
        const auto it = alvos_.find("SUB " + r);
        if (it == alvos_.end()) return falhar(r + " call: subprograma nao definido no arquivo");
        Quadro q;
        q.o_call = true;
        for (int k = 1; k <= 30; ++k)
            if (const auto v = variaveis_.find(argumento(k)); v != variaveis_.end())
                q.argumentos.emplace_back(v->first, v->second);
        std::vector<double> args;
        std::string_view a = aparar(resto.substr(4));
        while (!a.empty()) {
            if (a[0] != '[') return falhar(r + " call: argumento fora de colchetes");
            int nivel = 0;
            std::size_t f = 0;
            for (; f < a.size(); ++f) {
                if (a[f] == '[') ++nivel;
                if (a[f] == ']' && --nivel == 0) break;
            }
            if (f == a.size()) return falhar(r + " call: colchete sem par");
            double v = 0;
            if (!valor(a.substr(1, f - 1), v)) return Passo::parar;
            if (args.size() >= 30) return falhar(r + " call: mais de 30 argumentos");
            args.push_back(v);
            a = aparar(a.substr(f + 1));
        }
        const std::size_t destino = it->second.front() + 1;
        if (pode_repetir_ && args.size() >= 2 && centro_nos_argumentos(destino)) {
            // A hole's centre: the same call at another shift, so that the
            // calls of the holes are the same but for it.
            q.desloca = true;
            q.dx = dx_;
            q.dy = dy_;
            dx_ += args[0];
            dy_ += args[1];
            args[0] = args[1] = 0;
        }
        for (int k = 1; k <= 30; ++k) apagar(argumento(k));
        for (std::size_t k = 0; k < args.size(); ++k) escrever(argumento(k + 1), args[k]);
        return chamar(destino, std::move(q));
    }
    if (comeca(resto, "IF") || comeca(resto, "ELSEIF")) {
        const bool senao_se = comeca(resto, "ELSEIF");
        if (senao_se) return falhar(r + " elseif: o visualizador nao o segue");
        double v = 0;
        if (!valor(aparar(resto.substr(2)), v)) return Passo::parar;
        if (v != 0) return Passo::seguir;
        if (!procurar({"ELSEIF", "ELSE", "ENDIF"}, achada)) return falhar(r + " if sem endif");
        if (achada == "ELSEIF") return falhar(r + " elseif: o visualizador nao o segue");
        ++pc_;
        return Passo::seguir;
    }
    if (comeca(resto, "ELSE")) {
        if (!procurar({"ENDIF"}, achada)) return falhar(r + " else sem endif");
        ++pc_;
        return Passo::seguir;
    }
    if (comeca(resto, "ENDIF")) return Passo::seguir;
    return falhar("O-word que o visualizador nao executa: " + std::string(u));
}

ExecucaoPrograma::Passo ExecucaoPrograma::substituir(const Partes& p) {
    const std::string_view c = p.codigo;
    std::string r;
    r.reserve(c.size() + 32);
    for (std::size_t i = 0; i < c.size();) {
        const char ch = c[i];
        if (!texto_claro_ && ch == '[') {
            int nivel = 0;
            std::size_t f = i;
            for (; f < c.size(); ++f) {
                if (c[f] == '[') ++nivel;
                if (c[f] == ']' && --nivel == 0) break;
            }
            if (f == c.size()) return falhar("colchete sem par");
            double v = 0;
            if (!valor(c.substr(i + 1, f - i - 1), v)) return Passo::parar;
            r += numero_texto(v);
            i = f + 1;
            continue;
        }
        if (!texto_claro_ && ch == '#') {
            std::string nome;
            const std::size_t k = nome_variavel(c.substr(i), nome);
            double v = 0;
            if (k == 0 || !valor(c.substr(i, k), v)) return k == 0 ? falhar("variavel ilegivel") : Passo::parar;
            r += numero_texto(v);
            i += k;
            continue;
        }
        // Sinumerik: an address with "=" takes an expression up to the next blank.
        if (!texto_claro_ && letra(ch) && i + 1 < c.size() && c[i + 1] == '=' && (i == 0 || c[i - 1] == ' ' || c[i - 1] == '\t')) {
            std::size_t f = i + 2;
            while (f < c.size() && c[f] != ' ' && c[f] != '\t') ++f;
            double v = 0;
            if (!valor(c.substr(i + 2, f - i - 2), v)) return Passo::parar;
            r += ch;
            r += numero_texto(v);
            i = f;
            continue;
        }
        // Plain language: Q after an axis or a sign.
        if (texto_claro_ && (ch == 'Q' || ch == 'q') && i + 1 < c.size() && digito(c[i + 1]) && i > 0 &&
            (c[i - 1] == '+' || c[i - 1] == '-' || letra(c[i - 1]))) {
            std::string nome;
            const std::size_t k = nome_variavel(c.substr(i), nome);
            double v = 0;
            if (k == 0 || !valor(c.substr(i, k), v)) return k == 0 ? falhar("parametro Q ilegivel") : Passo::parar;
            if (c[i - 1] == '+' || c[i - 1] == '-') {
                if (c[i - 1] == '-') v = -v;
                r.pop_back();
            }
            r += v < 0 ? "-" : "+";
            r += numero_texto(std::fabs(v));
            i += k;
            continue;
        }
        r += ch;
        ++i;
    }
    buffer_.assign(p.prefixo);
    buffer_ += r;
    buffer_ += p.comentario;
    return Passo::emitir;
}

bool ExecucaoPrograma::eixos(std::string_view palavras, const std::string& recusa, Eixos& e) {
    for (std::string_view resto = aparar(palavras); !resto.empty();) {
        const char eixo = resto[0];
        std::size_t f = 1;
        if (f < resto.size() && resto[f] == '[') {
            for (int nivel = 0; f < resto.size(); ++f) {
                if (resto[f] == '[') ++nivel;
                if (resto[f] == ']' && --nivel == 0) break;
            }
            ++f;
        } else {
            while (f < resto.size() && resto[f] != ' ') ++f;
        }
        f = std::min(f, resto.size());
        if (eixo != 'X' && eixo != 'Y' && eixo != 'Z') {
            falhar(recusa);
            return false;
        }
        std::string_view texto = resto.substr(1, f - 1);
        if (!texto.empty() && texto[0] == '=') texto.remove_prefix(1);
        double v = 0;
        if (!valor(texto, v)) return false;
        if (eixo == 'X') e.x = v, e.tem_x = true;
        if (eixo == 'Y') e.y = v, e.tem_y = true;
        resto = aparar(resto.substr(f));
    }
    return true;
}

ExecucaoPrograma::Passo ExecucaoPrograma::executar(const Partes& p, std::string_view u) {
    if (u.empty()) {
        buffer_.assign(p.prefixo);
        buffer_ += p.codigo;
        buffer_ += p.comentario;
        return Passo::emitir;
    }
    std::string_view nome;
    // Assignments.
    if (u[0] == '#' || (texto_claro_ && (u[0] == 'Q' || comeca(u, "FN 0:"))) ||
        (!texto_claro_ && u[0] == 'R' && u.size() > 1 && digito(u[1]))) {
        std::string_view a = texto_claro_ && comeca(u, "FN 0:") ? aparar(u.substr(5)) : u;
        std::string n;
        const std::size_t k = nome_variavel(a, n);
        const std::size_t igual = a.find('=');
        if (k != 0 && igual != std::string_view::npos && aparar(a.substr(k, igual - k)).empty()) {
            atribuir(n, a.substr(igual + 1));
            return erro_.empty() ? Passo::seguir : Passo::parar;
        }
    }
    if (texto_claro_) {
        if (comeca(u, "FN ")) {
            const long f = std::strtol(std::string(u.substr(3)).c_str(), nullptr, 10);
            const std::size_t se = u.find("IF"), vai = u.find("GOTO LBL");
            if (f < 9 || f > 12 || se == std::string_view::npos || vai == std::string_view::npos || vai < se)
                return falhar("funcao FN que o visualizador nao executa: " + std::string(u));
            // FN 9: IF a EQU b GOTO LBL n; 10 NE, 11 GT, 12 LT.
            std::string_view cond = aparar(u.substr(se + 2, vai - se - 2));
            const std::size_t esp = cond.find(' ');
            const std::size_t esp2 = esp == std::string_view::npos ? esp : cond.find(' ', esp + 1);
            if (esp2 == std::string_view::npos) return falhar("condicao ilegivel: " + std::string(u));
            double a = 0, b = 0;
            if (!valor(cond.substr(0, esp), a) || !valor(cond.substr(esp2 + 1), b)) return Passo::parar;
            const bool sim = f == 9 ? a == b : f == 10 ? a != b : f == 11 ? a > b : a < b;
            if (sim) saltar("LBL " + std::string(aparar(u.substr(vai + 8))), false, true, "GOTO LBL");
            return erro_.empty() ? Passo::seguir : Passo::parar;
        }
        if (comeca(u, "LBL")) {
            if (aparar(u.substr(3)) == "0") return quadros_.empty() ? Passo::seguir : retornar("LBL 0");
            return Passo::seguir;
        }
        if (comeca(u, "CALL LBL")) {
            const std::string rotulo(aparar(u.substr(8)));
            if (rotulo.find("REP") != std::string::npos) return falhar("CALL LBL com REP: o visualizador nao o segue");
            const auto it = alvos_.find("LBL " + rotulo);
            if (it == alvos_.end()) return falhar("CALL LBL " + rotulo + ": rotulo nao definido no arquivo");
            return chamar(it->second.front() + 1, Quadro{});
        }
        if (comeca(u, "CYCL DEF 7.")) {
            // 7.0 opens the cycle; 7.1 and 7.2 give X and Y of the shift, 7.3 Z.
            std::string_view resto = aparar(u.substr(11));
            if (resto.size() < 1 || (resto[0] != '0' && resto[0] != '1' && resto[0] != '2' && resto[0] != '3'))
                return falhar("ciclo 7 ilegivel: " + std::string(u));
            Eixos e;
            if (!eixos(resto[0] == '0' ? std::string_view{} : resto.substr(1),
                       "deslocamento de origem que o visualizador nao segue: " + std::string(u), e))
                return Passo::parar;
            if (e.tem_x) dx_ = e.x;
            if (e.tem_y) dy_ = e.y;
            if (e.tem_x || e.tem_y) linha_deslocamento_ = pc_ + 1;
            return Passo::seguir;
        }
        if (comeca(u, "CALL") || comeca(u, "CYCL CALL") || comeca(u, "SEL PGM"))
            return falhar("chamada que o visualizador nao segue: " + std::string(u));
    } else {
        if (ler_o_palavra(u, nome, nome)) return o_palavra(u);
        // Fanuc: IF [cond] GOTO n; Sinumerik: IF cond GOTOF label.
        if (comeca(u, "IF") && u.size() > 2 && (u[2] == ' ' || u[2] == '[')) {
            const std::size_t vai = u.find("GOTO");
            if (vai == std::string_view::npos) return falhar("IF sem GOTO: o visualizador nao o segue");
            double v = 0;
            if (!valor(u.substr(2, vai - 2), v)) return Passo::parar;
            if (v == 0) return Passo::seguir;
            u = u.substr(vai);
        }
        if (comeca(u, "GOTO")) {
            const bool f = comeca(u, "GOTOF"), b = comeca(u, "GOTOB");
            const std::string alvo(aparar(u.substr(f || b ? 5 : 4)));
            saltar(chave_goto(u), b, !f && !b, "GOTO " + alvo);
            return erro_.empty() ? Passo::seguir : Passo::parar;
        }
        if (comeca(u, "WHILE") || comeca(u, "DO") || comeca(u, "END") || comeca(u, "FOR") || comeca(u, "LOOP"))
            return falhar("laco que o visualizador nao executa: " + std::string(u));
        if (rotulo_sinumerik(u, nome)) {
            if (!quadros_.empty() && quadros_.back().fim == nome) return retornar("REPEAT");
            return Passo::seguir;
        }
        if (comeca(u, "REPEAT")) {
            std::string_view a = aparar(u.substr(6));
            const std::size_t esp = a.find(' ');
            if (esp == std::string_view::npos || a.find('=') != std::string_view::npos)
                return falhar("REPEAT que o visualizador nao segue: " + std::string(u));
            const std::string inicio(a.substr(0, esp)), fim(aparar(a.substr(esp)));
            const auto it = alvos_.find("ROTULO " + inicio);
            if (it == alvos_.end() || alvos_.find("ROTULO " + fim) == alvos_.end())
                return falhar("REPEAT " + inicio + " " + fim + ": rotulo nao definido no arquivo");
            Quadro q;
            q.fim = fim;
            return chamar(it->second.front(), std::move(q));
        }
        if (comeca(u, "TRANS") || comeca(u, "ATRANS")) {
            const bool soma = u[0] == 'A';
            Eixos e;
            if (!eixos(u.substr(soma ? 6 : 5), "deslocamento que o visualizador nao segue: " + std::string(u), e))
                return Passo::parar;
            dx_ = soma ? dx_ + e.x : e.x;
            dy_ = soma ? dy_ + e.y : e.y;
            linha_deslocamento_ = pc_ + 1;
            return Passo::seguir;
        }
        if (tem_palavra(u, 'G', 52)) {
            // G52 X Y alone: the shift of the holes' centres. Another code
            // beside it (G91 makes it incremental) is not followed.
            const std::string recusa = "G52 com outras palavras: o visualizador nao o segue";
            std::string_view antes = u.substr(0, u.find("G52"));
            if (!antes.empty() && antes[0] == 'N') antes.remove_prefix(std::min(antes.size(), antes.find_first_not_of("N0123456789")));
            if (!aparar(antes).empty()) return falhar(recusa);
            Eixos e;
            if (!eixos(u.substr(u.find("G52") + 3), recusa, e)) return Passo::parar;
            dx_ = e.x;
            dy_ = e.y;
            linha_deslocamento_ = pc_ + 1;
            return Passo::seguir;
        }
        if (tem_palavra(u, 'G', 92) || tem_palavra(u, 'G', 10))
            return falhar("deslocamento que fica depois do programa (G92, G10): o visualizador nao o segue");
        if (tem_palavra(u, 'M', 98)) {
            const long programa = numero_de(u, 'P');
            if (programa < 0 || numero_de(u, 'L') >= 0)
                return falhar("M98 que o visualizador nao segue: " + std::string(u));
            const auto it = alvos_.find("O " + std::to_string(programa));
            if (it == alvos_.end()) return falhar(formatar("M98 P%ld: programa O%ld nao esta no arquivo", programa, programa));
            return chamar(it->second.front() + 1, Quadro{});
        }
        if (tem_palavra(u, 'M', 99)) {
            if (quadros_.empty()) return falhar("M99 no programa principal: o programa recomecaria sem fim");
            return retornar("M99");
        }
    }
    return substituir(p);
}

bool ExecucaoPrograma::proximo(BlocoExecutado& b) {
    for (;;) {
        if (terminado_) return false;
        if (pc_ >= linhas_.size()) {
            if (!quadros_.empty()) {
                falhar(formatar("fim do arquivo dentro do subprograma chamado na linha %llu",
                                static_cast<unsigned long long>(quadros_.back().linha_chamada)));
                return false;
            }
            terminado_ = true;
            return false;
        }
        if (++blocos_ > max_blocos_) {
            falhar(formatar("o programa passa de %llu blocos executados: um laco sem fim?",
                            static_cast<unsigned long long>(max_blocos_)));
            return false;
        }
        const std::string_view linha = linhas_[pc_];
        Info& info = info_[pc_];
        if (info.tipo == Info::copiar && !fim_pgm_) [[likely]] {
            buffer_.assign(linha);
            return emitir(b, info.fim);
        }
        if (info.tipo == Info::substituir && !fim_pgm_) {
            if (substituir(separar(linha)) == Passo::parar) return false;
            return emitir(b, info.fim);
        }
        const Partes p = separar(linha);
        const std::string u = maiusculas(aparar(p.codigo));
        if (fim_pgm_) {
            // After M30, only the program's last line is handed on.
            if (u.find("END PGM") == std::string::npos) {
                ++pc_;
                continue;
            }
            terminado_ = true;
            buffer_.assign(linha);
        } else {
            saltou_ = false;
            const std::size_t antes = pc_;
            const Passo passo = executar(p, u);
            if (passo == Passo::parar) return false;
            if (repete_ != 0) {
                b = BlocoExecutado{};
                b.linha.numero = primeira_ + antes;
                b.linha.texto = std::string_view(buffer_.assign(LeitorLinhas::folga, '\0').data(), 0);
                b.dx = repete_dx_;
                b.dy = repete_dy_;
                b.repete = repete_;
                repete_ = 0;
                return true;
            }
            if (passo == Passo::seguir) {
                if (!saltou_ && pc_ == antes) ++pc_;
                continue;
            }
            // A block that does not steer the run does the same each time:
            // only its values change, where it has any.
            info.fim = tem_palavra(u, 'M', 30) || tem_palavra(u, 'M', 2);
            info.tipo = p.codigo.find_first_of("[#=Qq") == std::string_view::npos ? Info::copiar : Info::substituir;
        }
        return emitir(b, !terminado_ && info.fim);
    }
}

bool ExecucaoPrograma::emitir(BlocoExecutado& b, bool fim) {
    const std::size_t este = pc_;
    if (fim) {
        if (!quadros_.empty()) {
            falhar("fim de programa dentro de um subprograma");
            return false;
        }
        // What the main program holds after its end the control never runs:
        // only subprograms may follow.
        for (std::size_t i = pc_ + 1; i < linhas_.size(); ++i) {
            const std::string u = maiusculas(aparar(separar(linhas_[i]).codigo));
            std::string_view rotulo, resto;
            if (u.empty() || u == "%") continue;
            if ((u[0] == 'O' && u.size() > 1 && digito(u[1])) || comeca(u, "LBL") || comeca(u, "END PGM") ||
                (ler_o_palavra(u, rotulo, resto) && comeca(resto, "SUB")))
                break;
            problema(pc_, formatar("fim do programa antes do fim do percurso: a linha %llu nao seria executada",
                                   static_cast<unsigned long long>(primeira_ + i)));
            break;
        }
        if (dx_ != 0 || dy_ != 0) {
            pc_ = linha_deslocamento_ > 0 ? linha_deslocamento_ - 1 : pc_;
            falhar(formatar("deslocamento de origem X%.3f Y%.3f desta linha ainda ativo no fim do programa", dx_,
                            dy_));
            return false;
        }
        // Plain language hands on END PGM still.
        if (texto_claro_)
            fim_pgm_ = true;
        else
            terminado_ = true;
    }
    LinhaTexto& l = b.linha;
    l.numero = primeira_ + este;
    l.sem_fim_de_linha = ultima_sem_fim_ && este + 1 == linhas_.size();
    b.dx = dx_;
    b.dy = dy_;
    b.chamada = gravando_ ? gravando_->numero : 0;
    b.repete = 0;
    const std::size_t n = buffer_.size();
    buffer_.append(LeitorLinhas::folga, '\0');
    l.texto = std::string_view(buffer_.data(), n);
    l.bytes = n;
    l.longa = false;
    const auto longa = std::lower_bound(longas_.begin(), longas_.end(), std::pair{l.numero, std::uint64_t{0}});
    if (longa != longas_.end() && longa->first == l.numero) {
        l.longa = true;
        l.bytes = longa->second;
    }
    ++pc_;
    return true;
}
