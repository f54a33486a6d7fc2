#include "visualizar/verificacoes.hpp"

#include <algorithm>

#include "visualizar/mensagem.hpp"


Verificacoes::Verificacoes() {
    static const char* const titulos[quantidade] = {
        "Arquivo completo e legivel",
        "Pontos de cada passe num circulo em torno do eixo",
        "Raio de cada passe e lista de passes do cabecalho",
        "Profundidade, passo, avanco de 1 grau, sentido e fim em L",
        "Diametro usinado e furo",
        "Preambulo e movimentos rapidos",
        "Entradas, saidas, compensacao e avanco de cada passe",
    };
    for (int i = 0; i < quantidade; ++i) {
        itens_[static_cast<std::size_t>(i)].numero = i + 1;
        itens_[static_cast<std::size_t>(i)].titulo = titulos[i];
    }
}

void Verificacoes::falha(int numero, std::uint64_t linha, const std::string& detalhe) {
    ResultadoVerificacao& r = itens_[static_cast<std::size_t>(numero - 1)];
    ++r.ocorrencias;
    if (linha != 0 && r.quantidade_linhas < r.linhas.size()) {
        bool nova = true;
        for (std::size_t i = 0; i < r.quantidade_linhas; ++i) nova = nova && r.linhas[i] != linha;
        if (nova) r.linhas[r.quantidade_linhas++] = linha;
    }
    if (r.estado == Estado::falha) return;
    r.estado = Estado::falha;
    r.linha = linha;
    r.detalhe = detalhe;
}

void Verificacoes::falha_no_ponto(int numero, std::uint64_t linha, const std::string& detalhe, double x, double y,
                                  double z) {
    ResultadoVerificacao& r = itens_[static_cast<std::size_t>(numero - 1)];
    const bool primeira = r.estado != Estado::falha;
    falha(numero, linha, detalhe);
    if (!primeira) return;
    r.tem_ponto = true;
    r.x = x;
    r.y = y;
    r.z = z;
}

void Verificacoes::falha_com_nota(int numero, std::uint64_t linha, const std::string& detalhe, double x, double y,
                                  double z) {
    ResultadoVerificacao& r = itens_[static_cast<std::size_t>(numero - 1)];
    if (r.estado == Estado::falha && r.notas.size() < ResultadoVerificacao::max_notas) r.notas.push_back({linha, detalhe});
    falha_no_ponto(numero, linha, detalhe, x, y, z);
}

void Verificacoes::contar(int numero, std::uint64_t vezes) {
    itens_[static_cast<std::size_t>(numero - 1)].ocorrencias += vezes;
}

void Verificacoes::marcar(int numero, Estado estado, const std::string& motivo) {
    ResultadoVerificacao& r = itens_[static_cast<std::size_t>(numero - 1)];
    if (r.estado == Estado::falha) return;
    r.estado = estado;
    r.detalhe = motivo;
}

bool Verificacoes::todas_ok() const {
    for (const auto& r : itens_)
        if (r.estado == Estado::falha || r.estado == Estado::nao_avaliada) return false;
    return true;
}

std::string Verificacoes::ocorrencias(int numero) const {
    const ResultadoVerificacao& r = (*this)[numero];
    if (r.estado != Estado::falha || r.ocorrencias < 2) return {};
    std::string texto = formatar("(%llu ocorrencias ao todo", static_cast<unsigned long long>(r.ocorrencias));
    // The lines after the first, which the message names already; a few,
    // then how many more.
    const std::size_t n = r.quantidade_linhas;
    if (n >= 2) {
        const bool todas = r.ocorrencias == n;
        const std::size_t mostradas = todas ? n : std::min<std::size_t>(n, 3);
        texto += ": linhas ";
        for (std::size_t i = 0; i < mostradas; ++i) {
            if (i > 0) texto += i + 1 == mostradas && todas ? " e " : ", ";
            texto += formatar("%llu", static_cast<unsigned long long>(r.linhas[i]));
        }
        if (!todas) texto += formatar(" e mais %llu", static_cast<unsigned long long>(r.ocorrencias - mostradas));
    }
    texto += ')';
    return texto;
}
