#include "visualizar/expressao.hpp"

#include <cctype>
#include <cmath>
#include <charconv>
#include <cstdlib>

#include "visualizar/mensagem.hpp"

namespace {

char maiuscula(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool digito(char c) { return c >= '0' && c <= '9'; }

class Avaliador {
public:
    Avaliador(std::string_view t, const Variaveis& v, std::string& erro, std::vector<std::string>* lidas)
        : t_(t), v_(v), erro_(erro), lidas_(lidas) {}

    bool tudo(double& r) {
        if (!comparacao(r)) return false;
        brancos();
        if (i_ != t_.size()) return falhar("expressao com texto a mais: " + std::string(t_.substr(i_)));
        return true;
    }

private:
    bool falhar(std::string m) {
        if (erro_.empty()) erro_ = std::move(m);
        return false;
    }
    void brancos() {
        while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t')) ++i_;
    }
    // The operator at the cursor, taken when it is `op` (a word, any case).
    bool aceitar(std::string_view op) {
        brancos();
        if (t_.size() - i_ < op.size()) return false;
        for (std::size_t k = 0; k < op.size(); ++k)
            if (maiuscula(t_[i_ + k]) != op[k]) return false;
        // A word operator is not the start of a longer word.
        if (std::isalpha(static_cast<unsigned char>(op[0])) && i_ + op.size() < t_.size() &&
            std::isalpha(static_cast<unsigned char>(t_[i_ + op.size()])))
            return false;
        i_ += op.size();
        return true;
    }

    bool comparacao(double& r) {
        if (!soma(r)) return false;
        static constexpr std::string_view ops[] = {"EQ", "NE", "GE", "GT", "LE", "LT", "==", "<>", ">=", "<=", ">", "<"};
        for (std::size_t k = 0; k < std::size(ops); ++k) {
            if (!aceitar(ops[k])) continue;
            double b = 0;
            if (!soma(b)) return false;
            bool v = false;
            // ==, <>, >=, <=, > and < as their word's.
            static constexpr int como[] = {0, 1, 2, 3, 4, 5, 0, 1, 2, 4, 3, 5};
            switch (como[k]) {
                case 0: v = r == b; break;
                case 1: v = r != b; break;
                case 2: v = r >= b; break;
                case 3: v = r > b; break;
                case 4: v = r <= b; break;
                default: v = r < b; break;
            }
            r = v ? 1 : 0;
            return true;
        }
        return true;
    }
    bool soma(double& r) {
        if (!produto(r)) return false;
        for (;;) {
            brancos();
            if (i_ >= t_.size() || (t_[i_] != '+' && t_[i_] != '-')) return true;
            const char op = t_[i_++];
            double b = 0;
            if (!produto(b)) return false;
            r = op == '+' ? r + b : r - b;
        }
    }
    bool produto(double& r) {
        if (!unario(r)) return false;
        for (;;) {
            brancos();
            if (i_ >= t_.size() || (t_[i_] != '*' && t_[i_] != '/')) return true;
            const char op = t_[i_++];
            double b = 0;
            if (!unario(b)) return false;
            if (op == '/' && b == 0) return falhar("divisao por zero");
            r = op == '*' ? r * b : r / b;
            if (!std::isfinite(r)) return falhar("valor fora do alcance");
        }
    }
    bool unario(double& r) {
        // Signs in a row, read without recursion: a file may hold any number of them.
        bool menos = false;
        for (brancos(); i_ < t_.size() && (t_[i_] == '+' || t_[i_] == '-'); brancos()) menos ^= t_[i_++] == '-';
        if (!primario(r)) return false;
        if (menos) r = -r;
        return true;
    }
    bool primario(double& r) {
        brancos();
        if (i_ >= t_.size()) return falhar("expressao incompleta");
        const char c = t_[i_];
        if (c == '[' || c == '(') {
            // Each bracket is a call deeper: bounded far past what a program nests.
            if (++profundidade_ > max_profundidade)
                return falhar(formatar("expressao com mais de %d colchetes aninhados", max_profundidade));
            ++i_;
            if (!comparacao(r)) return false;
            --profundidade_;
            brancos();
            if (i_ >= t_.size() || t_[i_] != (c == '[' ? ']' : ')')) return falhar("colchete ou parentese sem par");
            ++i_;
            return true;
        }
        if (digito(c) || c == '.') {
            std::size_t j = i_;
            while (j < t_.size() && (digito(t_[j]) || t_[j] == '.')) ++j;
            const std::string_view n = t_.substr(i_, j - i_);
            const auto lido = std::from_chars(n.data(), n.data() + n.size(), r);
            if (lido.ec != std::errc{} || lido.ptr != n.data() + n.size())
                return falhar("numero ilegivel: " + std::string(n));
            i_ = j;
            return true;
        }
        std::string nome;
        if (const std::size_t k = nome_variavel(t_.substr(i_), nome); k != 0) {
            i_ += k;
            if (lidas_ != nullptr) lidas_->push_back(nome);
            const auto it = v_.find(nome);
            if (it == v_.end()) return falhar("variavel " + nome + " sem valor");
            r = it->second;
            return true;
        }
        return falhar("expressao que o visualizador nao avalia: " + std::string(t_.substr(i_)));
    }

    static constexpr int max_profundidade = 100;
    std::string_view t_;
    std::size_t i_ = 0;
    int profundidade_ = 0;
    const Variaveis& v_;
    std::string& erro_;
    std::vector<std::string>* lidas_;
};

}  // namespace

std::size_t nome_variavel(std::string_view t, std::string& nome) {
    if (t.empty()) return 0;
    const char c = maiuscula(t[0]);
    if (c == '#' && t.size() > 1 && t[1] == '<') {
        const std::size_t f = t.find('>');
        if (f == std::string_view::npos || f == 2) return 0;
        nome.clear();
        for (char x : t.substr(0, f + 1)) nome += maiuscula(x);
        return f + 1;
    }
    if (c != '#' && c != 'Q' && c != 'R') return 0;
    std::size_t j = 1;
    while (j < t.size() && digito(t[j])) ++j;
    if (j == 1 || j > 7) return 0;
    nome.assign(1, c);
    nome += t.substr(1, j - 1);
    return j;
}

bool avaliar(std::string_view texto, const Variaveis& variaveis, double& valor, std::string& erro,
             std::vector<std::string>* lidas) {
    erro.clear();
    Avaliador a(texto, variaveis, erro, lidas);
    return a.tudo(valor);
}
