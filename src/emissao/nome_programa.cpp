#include "emissao/nome_programa.hpp"

#include <vector>

#include "nucleo/juntar.hpp"

namespace {

bool letra(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool digito(char c) { return c >= '0' && c <= '9'; }

// The name and the extension (with its dot) of the file, without its
// folder. Both separators count on every platform, so that a name reads the
// same wherever the program runs.
void partes(std::string_view arquivo, std::string_view& nome, std::string_view& extensao) {
    const std::size_t barra = arquivo.find_last_of("/\\");
    if (barra != std::string_view::npos) arquivo.remove_prefix(barra + 1);
    const std::size_t ponto = arquivo.rfind('.');
    nome = arquivo;
    extensao = {};
    if (ponto != std::string_view::npos && ponto > 0) {
        nome = arquivo.substr(0, ponto);
        extensao = arquivo.substr(ponto);
    }
}

struct Nome {
    std::string texto;
    std::vector<std::string> mudancas;  // what had to change, for the machinist
};

Nome ajustar(const vocabulario::RegraNome& regra, std::string_view original) {
    Nome r;
    if (regra.maximo == 0) {
        r.texto = original;
        return r;
    }
    bool trocou = false;
    for (std::size_t i = 0; i < original.size(); ++i) {
        const char c = original[i];
        if (letra(c) || digito(c) || c == '_' || (c == '-' && regra.hifen)) {
            r.texto.push_back(c);
            continue;
        }
        r.texto.push_back('_');
        trocou = true;
        // The rest of a UTF-8 character goes with its first byte.
        if (static_cast<unsigned char>(c) >= 0xC0)
            while (i + 1 < original.size() && (static_cast<unsigned char>(original[i + 1]) & 0xC0) == 0x80) ++i;
    }
    if (trocou) r.mudancas.emplace_back("outros caracteres trocados por _");
    if (r.texto.empty()) {
        r.texto = "ROSCA";
        r.mudancas.emplace_back("sem nome no arquivo");
    }
    if (r.texto.size() > regra.maximo) {
        r.texto.resize(regra.maximo);
        r.mudancas.push_back(juntar({"cortado em ", std::to_string(regra.maximo)}));
    }
    return r;
}

}  // namespace

std::string nome_programa(const vocabulario::Dialeto& dialeto, std::string_view arquivo) {
    std::string_view nome, extensao;
    partes(arquivo, nome, extensao);
    return ajustar(dialeto.nome_programa, nome).texto;
}

std::string aviso_nome_programa(const vocabulario::Dialeto& dialeto, std::string_view arquivo) {
    std::string_view nome, extensao;
    partes(arquivo, nome, extensao);
    const vocabulario::RegraNome& regra = dialeto.nome_programa;
    const Nome n = ajustar(regra, nome);
    if (n.mudancas.empty()) return {};
    std::string mudancas;
    for (const std::string& m : n.mudancas) mudancas += (mudancas.empty() ? "" : ", ") + m;
    return juntar({"Programa ", regra.no_programa ? "BEGIN PGM " : "", n.texto,
                   ": o comando aceita nomes so com letras, digitos", regra.hifen ? ", _ e -" : " e _", ", ate ",
                   std::to_string(regra.maximo), " caracteres",
                   "\n(", mudancas, "): grave ou renomeie o arquivo como ", n.texto,
                   extensao.empty() ? dialeto.extensao : extensao});
}
