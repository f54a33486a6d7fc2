#include "driver/opcoes.hpp"

#include <string_view>

#include "nucleo/versao.hpp"
#include "medidas/medidas.hpp"

namespace {

constexpr std::string_view nome_programa = "rosca-helicoidal";

constexpr const char* texto_ajuda =
    "Uso: rosca-helicoidal [--help | --version | --medidas DESIGNACAO]\n"
    "\n"
    "Gera o programa G-code para fresar uma rosca helicoidal paralela, interna ou\n"
    "externa, com uma fresa de rosca. Sem opcoes, faz as perguntas do trabalho\n"
    "(tipo de rosca, diametros, passos laterais, ferramenta, profundidade, passo,\n"
    "sentido, angulo inicial, rotacao e avanco), mostra o resumo e grava o\n"
    "percurso no arquivo ROSCA-HELICOIDAL_PARALELA.TAP do diretorio atual,\n"
    "substituindo o que houver com esse nome.\n"
    "\n"
    "As respostas podem vir de um arquivo, uma ou varias por linha, com ponto ou\n"
    "virgula decimal; as teclas (I/E, D/E) sao um caractere:\n"
    "  rosca-helicoidal < respostas.txt\n"
    "  printf 'I\\n20\\n0\\n10\\n2\\n1\\nD\\n0\\n1000\\n200\\n' | rosca-helicoidal\n"
    "\n"
    "Opcoes:\n"
    "  -h, --help              mostra esta ajuda e sai\n"
    "      --version           mostra a versao e sai\n"
    "      --medidas DESIGNACAO\n"
    "                          mostra as medidas de uma rosca normalizada e as\n"
    "                          respostas a dar (M20x2.5, M8, 1/4-20 UNC, G1/2)\n"
    "\n"
    "Status de saida:\n"
    "  0  percurso gravado (ou ajuda, versao ou medidas mostradas)\n"
    "  1  parada critica: nenhum arquivo completo foi gravado\n"
    "  2  opcao ou designacao invalida\n"
    "\n"
    "Para ver e conferir o percurso antes de usinar: rosca-visualizar.\n";

// An argument is shown back as typed, but never as control bytes a terminal
// would act on, and never longer than a line.
std::string mostravel(std::string_view argumento) {
    constexpr std::size_t maximo = 60;
    std::string r;
    for (char c : argumento.substr(0, maximo)) {
        const auto b = static_cast<unsigned char>(c);
        r.push_back(b < 0x20 || b == 0x7F ? '?' : c);
    }
    if (argumento.size() > maximo) r += "...";
    return r;
}

Pedido invalido(std::string erro) {
    Pedido p;
    p.tipo = Pedido::Tipo::invalido;
    p.erro = std::string(nome_programa) + ": " + erro + " (veja rosca-helicoidal --help)";
    return p;
}

}  // namespace

Pedido ler_opcoes(int argc, const char* const* argv) {
    Pedido p;
    if (argc < 2) return p;
    const std::string_view primeiro = argv[1];
    constexpr std::string_view medidas = "--medidas";
    constexpr std::string_view medidas_igual = "--medidas=";

    if (primeiro == medidas || primeiro.starts_with(medidas_igual)) {
        // Unquoted designations ("G 1 1/4") arrive as several arguments.
        std::string designacao;
        if (primeiro != medidas) designacao = primeiro.substr(medidas_igual.size());
        for (int i = 2; i < argc; ++i) {
            if (!designacao.empty()) designacao += ' ';
            designacao += argv[i];
        }
        if (designacao.find_first_not_of(' ') == std::string::npos)
            return invalido("--medidas sem designacao");
        p.tipo = Pedido::Tipo::medidas;
        p.designacao = designacao;
        return p;
    }

    if (primeiro == "--help" || primeiro == "-h")
        p.tipo = Pedido::Tipo::ajuda;
    else if (primeiro == "--version")
        p.tipo = Pedido::Tipo::versao;
    else
        return invalido("argumento invalido: '" + mostravel(primeiro) + "'");
    if (argc > 2) return invalido("argumento a mais: '" + mostravel(argv[2]) + "'");
    return p;
}

int responder_opcao(const Pedido& pedido, std::string& saida, std::string& erros) {
    switch (pedido.tipo) {
        case Pedido::Tipo::ajuda:
            saida = texto_ajuda;
            return 0;
        case Pedido::Tipo::versao:
            saida = std::string(nome_programa) + " " + versao_programa + "\n";
            return 0;
        case Pedido::Tipo::medidas: {
            std::string erro;
            if (relatorio_medidas(pedido.designacao, saida, erro)) return 0;
            // The line starts with the designation as typed and fits 80
            // columns as it is; the program's name in front would not.
            erros = erro + "\n";
            return 2;
        }
        case Pedido::Tipo::invalido:
        case Pedido::Tipo::dialogo:
            break;
    }
    erros = pedido.erro + "\n";
    return 2;
}
