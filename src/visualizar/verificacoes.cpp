#include "visualizar/verificacoes.hpp"


Verificacoes::Verificacoes() {
    static const char* const titulos[quantidade] = {
        "Arquivo completo e legivel",
        "Pontos de cada passe num circulo em torno do eixo",
        "Raio de cada passe e lista de passes do cabecalho",
        "Profundidade, passo, avanco de 1 grau, sentido e fim em L",
        "Diametro usinado e furo",
        "Preambulo e movimentos rapidos",
    };
    for (int i = 0; i < quantidade; ++i) {
        itens_[static_cast<std::size_t>(i)].numero = i + 1;
        itens_[static_cast<std::size_t>(i)].titulo = titulos[i];
    }
}

void Verificacoes::falha(int numero, std::uint64_t linha, const std::string& detalhe) {
    ResultadoVerificacao& r = itens_[static_cast<std::size_t>(numero - 1)];
    ++r.ocorrencias;
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
