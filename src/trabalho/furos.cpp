#include "trabalho/furos.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Larger than any list of 10,000 centres with comments: a file this big is
// not one.
constexpr std::size_t max_bytes = 4 * 1024 * 1024;
// Farther than any machine's table reaches.
constexpr double max_coordenada = 100000;

std::string_view sem_brancos(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

// A number as the answers take it: an optional sign, digits, a point or a
// comma and digits. Nothing else.
bool numero(std::string_view t, double& v) {
    std::size_t i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) negativo = t[i++] == '-';
    double inteiro = 0, fracao = 0, escala = 1;
    std::size_t digitos = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++digitos) inteiro = inteiro * 10 + (t[i] - '0');
    if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
        for (++i; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++digitos) {
            escala /= 10;
            fracao += (t[i] - '0') * escala;
        }
    }
    if (digitos == 0 || i != t.size() || digitos > 30) return false;
    v = (inteiro + fracao) * (negativo ? -1 : 1);
    return std::isfinite(v);
}

// The line as it may be shown: printable, at most 40 characters.
std::string mostravel(std::string_view t) {
    std::string r;
    for (char c : t.substr(0, 40)) r.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c);
    if (t.size() > 40) r += "...";
    return r;
}

}  // namespace

bool interpretar_furos(std::string_view texto, std::string_view nome, std::vector<Furo>& furos, std::string& erro) {
    furos.clear();
    const std::string arquivo(nome);
    std::size_t numero_linha = 0;
    while (!texto.empty()) {
        const std::size_t fim = texto.find('\n');
        std::string_view linha = texto.substr(0, fim);
        texto.remove_prefix(fim == std::string_view::npos ? texto.size() : fim + 1);
        ++numero_linha;
        if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
        const std::size_t comentario = linha.find_first_of("#;");
        if (comentario != std::string_view::npos) linha = linha.substr(0, comentario);
        linha = sem_brancos(linha);
        if (linha.empty()) continue;
        const std::size_t espaco = linha.find_first_of(" \t");
        double x = 0, y = 0;
        if (espaco == std::string_view::npos || !numero(linha.substr(0, espaco), x) ||
            !numero(sem_brancos(linha.substr(espaco)), y)) {
            erro = arquivo + " linha " + std::to_string(numero_linha) + ": esperado 'X Y' (dois numeros em mm), lido '" +
                   mostravel(linha) + "'";
            return false;
        }
        if (std::fabs(x) > max_coordenada || std::fabs(y) > max_coordenada) {
            erro = arquivo + " linha " + std::to_string(numero_linha) + ": centro fora da faixa (ate 100000 mm)";
            return false;
        }
        if (furos.size() == max_furos) {
            erro = arquivo + ": mais de 10000 furos (linha " + std::to_string(numero_linha) + ")";
            return false;
        }
        // At the file's precision: the header lists each centre to three
        // decimals, and the path about it must be about that one.
        furos.push_back({std::round(x * 1000) / 1000, std::round(y * 1000) / 1000, numero_linha});
    }
    if (furos.empty()) {
        erro = arquivo + ": nenhum furo (so comentarios ou linhas vazias)";
        return false;
    }
    return true;
}

bool furos_proximos(const std::vector<Furo>& furos, double distancia, std::size_t& a, std::size_t& b) {
    // Ten thousand centres at most: fifty million pairs, a fraction of a second.
    const double quadrado = distancia * distancia;
    for (std::size_t j = 1; j < furos.size(); ++j)
        for (std::size_t i = 0; i < j; ++i) {
            const double dx = furos[j].x - furos[i].x, dy = furos[j].y - furos[i].y;
            if (dx * dx + dy * dy < quadrado) {
                a = i;
                b = j;
                return true;
            }
        }
    return false;
}

bool ler_furos(const std::string& caminho, std::vector<Furo>& furos, std::string& erro) {
    std::FILE* f = std::fopen(caminho.c_str(), "rb");
    if (f == nullptr) {
        erro = caminho + ": nao foi possivel ler o arquivo de furos (" + std::strerror(errno) + ")";
        return false;
    }
    std::string texto;
    char bloco[65536];
    std::size_t n = 0;
    while ((n = std::fread(bloco, 1, sizeof bloco, f)) > 0) {
        texto.append(bloco, n);
        if (texto.size() > max_bytes) {
            std::fclose(f);
            erro = caminho + ": grande demais para um arquivo de furos";
            return false;
        }
    }
    const bool falhou = std::ferror(f) != 0;
    std::fclose(f);
    if (falhou) {
        erro = caminho + ": erro ao ler o arquivo de furos";
        return false;
    }
    return interpretar_furos(texto, caminho, furos, erro);
}
