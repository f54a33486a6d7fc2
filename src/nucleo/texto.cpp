#include "nucleo/texto.hpp"

std::string quebrar(const std::string& texto, std::size_t recuo, std::size_t largura) {
    std::string r;
    std::size_t coluna = 0;
    std::size_t i = 0;
    const std::string margem(recuo, ' ');
    while (i < texto.size()) {
        std::size_t fim = texto.find(' ', i);
        if (fim == std::string::npos) fim = texto.size();
        std::string palavra = texto.substr(i, fim - i);
        // A word longer than a line (a garbage line) is cut.
        while (palavra.size() > largura - recuo) {
            if (coluna > 0) r += "\n";
            r += margem + palavra.substr(0, largura - recuo);
            palavra.erase(0, largura - recuo);
            coluna = largura;
        }
        if (coluna == 0) {
            r += margem + palavra;
            coluna = recuo + palavra.size();
        } else if (coluna + 1 + palavra.size() <= largura) {
            r += " " + palavra;
            coluna += 1 + palavra.size();
        } else {
            r += "\n" + margem + palavra;
            coluna = recuo + palavra.size();
        }
        i = fim + 1;
    }
    return r + "\n";
}

std::vector<std::string> linhas_quebradas(const std::string& texto, std::size_t largura) {
    const std::string quebrado = quebrar(texto, 0, largura);
    std::vector<std::string> r;
    for (std::size_t inicio = 0; inicio < quebrado.size();) {
        const std::size_t fim = quebrado.find('\n', inicio);
        r.push_back(quebrado.substr(inicio, fim - inicio));
        inicio = fim + 1;
    }
    return r;
}
