#include "driver/opcoes.hpp"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

#include "nucleo/versao.hpp"
#include "medidas/medidas.hpp"

namespace {

constexpr std::string_view nome_programa = "rosca-helicoidal";

constexpr const char* texto_ajuda_antes =
    "Uso: rosca-helicoidal [OPCOES DO ARQUIVO]\n"
    "     rosca-helicoidal --medidas DESIGNACAO | --help | --version\n"
    "\n"
    "Gera o programa G-code para fresar uma rosca helicoidal paralela, interna ou\n"
    "externa, com uma fresa de rosca. Faz as perguntas do trabalho (tipo de rosca,\n"
    "diametros, passos laterais, ferramenta, profundidade, passo, sentido, angulo\n"
    "inicial, rotacao e avanco), mostra o resumo e grava o percurso. Sem opcoes,\n"
    "no arquivo ROSCA-HELICOIDAL_PARALELA.TAP do diretorio atual, substituindo o\n"
    "que houver com esse nome (so depois de gravar o novo inteiro).\n"
    "\n"
    "As respostas podem vir de um arquivo, uma ou varias por linha, com ponto ou\n"
    "virgula decimal; as teclas (I/E, D/E) sao um caractere:\n"
    "  rosca-helicoidal < respostas.txt\n"
    "  printf 'I\\n20\\n0\\n10\\n2\\n1\\nD\\n0\\n1000\\n200\\n' | rosca-helicoidal\n"
    "\n"
    "Opcoes do arquivo (as perguntas nao mudam; o resumo ganha o tempo de corte\n"
    "pelo percurso):\n";

// After the file's options.
constexpr const char* texto_ajuda_fim =
    "\n"
    "Outras opcoes:\n"
    "  -h, --help              mostra esta ajuda e sai\n"
    "      --version           mostra a versao e sai\n"
    "      --medidas DESIGNACAO\n"
    "                          mostra as medidas de uma rosca normalizada e as\n"
    "                          respostas a dar (M20x2.5, M8-6g, 1/4-20 UNC-2B,\n"
    "                          G1/2, 1/2 NPT, R 1/2)\n"
    "      --medidas DESIGNACAO --fresa DC --arestas Z --vc M/MIN --fz MM\n"
    "                          e mais a rotacao e o avanco a responder, dos dados\n"
    "                          de catalogo da fresa (as quatro juntas)\n"
    "\n"
    "Status de saida:\n"
    "  0  percurso gravado (ou ajuda, versao ou medidas mostradas)\n"
    "  1  parada critica: nenhum arquivo completo foi gravado\n"
    "  2  opcao ou designacao invalida\n"
    "\n"
    "Para ver e conferir o percurso antes de usinar: rosca-visualizar.\n";

// "padrao, linuxcnc, grbl, fanuc, heidenhain ou siemens".
std::string nomes_dos_dialetos() {
    std::string t;
    const std::size_t n = std::size(vocabulario::dialetos);
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) t += i + 1 == n ? " ou " : ", ";
        t += vocabulario::dialetos[i]->nome;
    }
    return t;
}

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

// `ajuda`: the line sends to --help; not where it lists the choices itself.
Pedido invalido(std::string erro, bool ajuda = true) {
    Pedido p;
    p.tipo = Pedido::Tipo::invalido;
    p.erro = std::string(nome_programa) + ": " + erro + (ajuda ? " (veja rosca-helicoidal --help)" : "");
    return p;
}

// The taper of pipe threads (NPT, ISO 7-1): 1:16 on the diameter.
constexpr int conicidade_padrao = 16;

// A whole number from `minimo` to `maximo`, digits only.
bool ler_inteiro(std::string_view texto, int minimo, int maximo, int& valor) {
    if (texto.empty() || texto.size() > 9) return false;
    int v = 0;
    for (char c : texto) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < minimo || v > maximo) return false;
    valor = v;
    return true;
}

// One row per option of the file: its name, its value and range, its help
// lines (as --help prints them, after the group header the row opens), and
// what it sets. Parsing, the help and the range messages come from the rows.
struct Opcao {
    enum class Valor { nenhum, numero, texto, palavra };
    std::string_view nome;
    Valor valor;
    int minimo, maximo;              // of a number
    std::string_view escolhas[2];    // of a word that may follow it
    const char* grupo;               // the help's header before this row, or null
    const char* ajuda;
    // Sets the option from its value (a number already read in range); the
    // error for the line, or empty.
    std::string (*aplicar)(OpcoesGeracao& o, std::string_view valor, int numero);
};

using V = Opcao::Valor;

// The rows that only store their number or switch a mode on.
template <auto campo>
std::string guardar_numero(OpcoesGeracao& o, std::string_view, int n) {
    o.*campo = n;
    return {};
}
template <auto campo>
std::string guardar_numero_do_modo(OpcoesGeracao& o, std::string_view, int n) {
    o.modos.*campo = n;
    return {};
}
template <auto campo>
std::string ligar_modo(OpcoesGeracao& o, std::string_view, int) {
    o.modos.*campo = true;
    return {};
}

const Opcao opcoes_do_arquivo[] = {
    {"--comando", V::texto, 0, 0, {}, nullptr, "      --comando NOME      o comando da maquina:\n",
     [](OpcoesGeracao& o, std::string_view v, int) -> std::string {
         o.dialeto = vocabulario::dialeto_por_nome(v);
         return o.dialeto ? "" : "--comando '" + mostravel(v) + "' desconhecido: use " + nomes_dos_dialetos();
     }},
    {"--ferramenta", V::numero, 1, 99, {}, nullptr,
     "      --ferramenta N      troca para a ferramenta N (1 a 99) e liga o seu\n"
     "                          corretor de comprimento (no grbl, so um comentario;\n"
     "                          no heidenhain TOOL CALL N, padrao 1)\n",
     guardar_numero<&OpcoesGeracao::ferramenta>},
    {"--programa", V::numero, 1, 9999, {}, nullptr,
     "      --programa N        numero do programa O (1 a 9999, padrao 1; fanuc)\n",
     guardar_numero<&OpcoesGeracao::programa>},
    {"--saida", V::texto, 0, 0, {}, nullptr,
     "      --saida ARQUIVO     nome ou caminho do arquivo (padrao:\n"
     "                          ROSCA-HELICOIDAL_PARALELA com a extensao do comando)\n",
     [](OpcoesGeracao& o, std::string_view v, int) -> std::string {
         if (v.empty()) return "--saida sem valor";
         o.saida = v;
         return {};
     }},
    {"--arcos", V::nenhum, 0, 0, {}, "\nModos de cortar (combinam entre si e com --comando):\n",
     "      --arcos             cada volta em arcos helicoidais (G2/G3; CP no\n"
     "                          heidenhain), nao em 360 retas de um grau\n",
     ligar_modo<&vocabulario::ModosCorte::arcos>},
    {"--concordante", V::nenhum, 0, 0, {}, nullptr,
     "      --concordante       fresamento concordante (o spindle em M3); quando\n"
     "                          preciso, os passes sobem do fundo ate a face\n",
     [](OpcoesGeracao& o, std::string_view, int) -> std::string {
         o.modos.fresamento = vocabulario::Fresamento::concordante;
         return {};
     }},
    {"--discordante", V::nenhum, 0, 0, {}, nullptr, "      --discordante       fresamento convencional, idem\n",
     [](OpcoesGeracao& o, std::string_view, int) -> std::string {
         o.modos.fresamento = vocabulario::Fresamento::discordante;
         return {};
     }},
    {"--entrada-tangencial", V::nenhum, 0, 0, {}, nullptr,
     "      --entrada-tangencial  entra e sai de cada helice por um arco tangente\n",
     ligar_modo<&vocabulario::ModosCorte::tangencial>},
    {"--compensacao", V::palavra, 0, 0, {"desgaste", "contorno"}, nullptr,
     "      --compensacao [contorno|desgaste]\n"
     "                          percurso no diametro da rosca, com G41/G42 e o\n"
     "                          corretor D da --ferramenta (padrao 1; D1 no siemens,\n"
     "                          RL/RR no heidenhain); com desgaste, o percurso do\n"
     "                          centro da fresa e so o desgaste no corretor; nao\n"
     "                          no grbl\n",
     [](OpcoesGeracao& o, std::string_view v, int) -> std::string {
         o.modos.corretor = 0;  // the tool's number, once it is known
         o.modos.desgaste = v == "desgaste";
         return {};
     }},
    {"--repetir-acabamento", V::numero, 1, 5, {}, nullptr,
     "      --repetir-acabamento N  o ultimo passe mais N vezes (1 a 5)\n",
     guardar_numero_do_modo<&vocabulario::ModosCorte::repeticoes>},
    {"--avanco-na-aresta", V::nenhum, 0, 0, {}, nullptr,
     "      --avanco-na-aresta  o avanco respondido e o da aresta de corte; cada\n"
     "                          passe recebe o avanco do centro da fresa\n",
     ligar_modo<&vocabulario::ModosCorte::avanco_na_aresta>},
    {"--conica", V::nenhum, 0, 0, {}, nullptr,
     "      --conica            rosca conica 1:16 no diametro (NPT, R, Rc); os\n"
     "                          diametros respondidos sao os da face (Z0)\n",
     [](OpcoesGeracao& o, std::string_view, int) -> std::string {
         // A --conicidade given before it stands.
         if (o.modos.conicidade == 0) o.modos.conicidade = conicidade_padrao;
         return {};
     }},
    {"--conicidade", V::texto, 0, 0, {}, nullptr, "      --conicidade 1:N    outra conicidade, N de 3 a 100\n",
     [](OpcoesGeracao& o, std::string_view v, int) -> std::string {
         int n = 0;
         if (!v.starts_with("1:") || !ler_inteiro(v.substr(2), 3, 100, n))
             return "--conicidade '" + mostravel(v) + "': use 1:N, N de 3 a 100 (1:16 no tubo)";
         o.modos.conicidade = n;
         return {};
     }},
    {"--perfis", V::numero, 1, 50, {}, nullptr,
     "      --perfis N          fresa de N perfis, um passo entre eles (1 a 50):\n"
     "                          cada passe em tao poucas voltas quanto os perfis\n"
     "                          permitem\n",
     guardar_numero_do_modo<&vocabulario::ModosCorte::perfis>},
    {"--entradas", V::numero, 1, 12, {}, nullptr,
     "      --entradas N        rosca de N entradas (1 a 12): o passo respondido\n"
     "                          e entre filetes vizinhos; o avanco por volta, N\n"
     "                          passos\n",
     guardar_numero_do_modo<&vocabulario::ModosCorte::entradas>},
    {"--passes-de-area-igual", V::nenhum, 0, 0, {}, nullptr,
     "      --passes-de-area-igual  os desbastes tiram areas iguais de um perfil\n"
     "                          em V (o primeiro e o mais fundo)\n",
     ligar_modo<&vocabulario::ModosCorte::area_igual>},
    {"--furos", V::texto, 0, 0, {}, "\nPara producao:\n",
     "      --furos ARQUIVO     a rosca em cada centro do arquivo (\"X Y\" por\n"
     "                          linha, ate 10000); uma subrotina chamada por furo\n",
     [](OpcoesGeracao& o, std::string_view v, int) -> std::string {
         if (v.empty()) return "--furos sem valor";
         o.arquivo_furos = v;
         return {};
     }},
    {"--ajuste-na-maquina", V::nenhum, 0, 0, {}, nullptr,
     "      --ajuste-na-maquina o diametro final numa variavel que o operador muda\n"
     "                          no comando, e outra que faz ou pula os desbastes\n",
     [](OpcoesGeracao& o, std::string_view, int) -> std::string {
         o.ajuste_na_maquina = true;
         return {};
     }},
};

std::string texto_ajuda() {
    std::string t = texto_ajuda_antes;
    for (const Opcao& op : opcoes_do_arquivo) {
        if (op.grupo) t += op.grupo;
        t += op.ajuda;
        if (op.nome != "--comando") continue;
        // The dialects, each on a line of its own from the dialect table.
        for (const vocabulario::Dialeto* d : vocabulario::dialetos) {
            std::string nome(d->nome);
            nome.resize(std::max<std::size_t>(nome.size() + 1, 12), ' ');
            t += "                            " + nome + std::string(d->descricao) + "\n";
        }
    }
    return t + texto_ajuda_fim;
}

// What the options ask together that no file can give; empty when none.
// Also gives the compensation its D word, once the tool is known.
std::string combinacao_invalida(OpcoesGeracao& o, const std::string& vistas) {
    const auto dada = [&](std::string_view nome) { return vistas.find(std::string(nome) + " ") != std::string::npos; };
    if (dada("--concordante") && dada("--discordante")) return "--concordante e --discordante juntas: escolha uma";
    vocabulario::ModosCorte& m = o.modos;
    // The compensation's D word is the tool's number, or the dialect's own.
    if (m.compensacao())
        m.corretor = o.dialeto->corretor_fixo > 0 ? o.dialeto->corretor_fixo : o.ferramenta > 0 ? o.ferramenta : 1;
    if (m.compensacao() && o.dialeto == &vocabulario::grbl)
        return "--compensacao: o GRBL nao tem compensacao de raio (G41/G42)";
    if (m.conicidade != 0 && m.arcos) return "--arcos com rosca conica: uma helice conica nao e um arco";
    if (m.conicidade != 0 && m.compensacao()) return "--compensacao com rosca conica: o raio muda a cada ponto";
    if (o.ajuste_na_maquina && !o.dialeto->variaveis)
        return "--ajuste-na-maquina: o comando " + std::string(o.dialeto->nome) +
               " nao tem variaveis; use linuxcnc, fanuc, heidenhain ou siemens";
    if (m.perfis > 1 && m.entradas > 1)
        return "--perfis com --entradas: uma fresa de varios perfis numa rosca de varias entradas nao e oferecida";
    if (dada("--programa") && !o.dialeto->enquadramento) return "--programa so vale com --comando fanuc";
    return {};
}

// The file's options: each at most once, its value after a blank or "=".
Pedido ler_opcoes_do_arquivo(int argc, const char* const* argv) {
    Pedido p;
    OpcoesGeracao& o = p.geracao;
    std::string vistas;
    for (int i = 1; i < argc; ++i) {
        std::string_view argumento = argv[i];
        std::string_view nome = argumento, valor;
        bool tem_valor = false;
        if (const std::size_t igual = argumento.find('='); argumento.starts_with("--") && igual != std::string_view::npos) {
            nome = argumento.substr(0, igual);
            valor = argumento.substr(igual + 1);
            tem_valor = true;
        }
        const Opcao* op = nullptr;
        for (const Opcao& c : opcoes_do_arquivo)
            if (c.nome == nome) op = &c;
        if (op == nullptr) return invalido("argumento invalido: '" + mostravel(argumento) + "'");
        const std::string marca = std::string(nome) + " ";
        if (vistas.find(marca) != std::string::npos) return invalido(std::string(nome) + " dada duas vezes");
        vistas += marca;
        const std::string n(nome);
        int numero = 0;
        if (op->valor == V::palavra) {
            // The word after it, when it is one of the choices.
            const auto escolha = [&](std::string_view w) { return w == op->escolhas[0] || w == op->escolhas[1]; };
            if (!tem_valor && i + 1 < argc && escolha(argv[i + 1])) valor = argv[++i];
            if (!valor.empty() && !escolha(valor))
                return invalido(n + " '" + mostravel(valor) + "': use " + std::string(op->escolhas[0]) + " ou " +
                                std::string(op->escolhas[1]));
            if (tem_valor && valor.empty()) return invalido(n + " sem valor");
        } else if (op->valor == V::nenhum) {
            if (tem_valor) return invalido(n + " nao leva valor");
        } else {
            if (!tem_valor) {
                if (i + 1 >= argc) return invalido(n + " sem valor");
                valor = argv[++i];
            }
            if (op->valor == V::numero && !ler_inteiro(valor, op->minimo, op->maximo, numero))
                return invalido(n + " '" + mostravel(valor) + "': use um numero de " + std::to_string(op->minimo) +
                                " a " + std::to_string(op->maximo));
        }
        // An unknown control's line lists the names itself.
        if (const std::string erro = op->aplicar(o, valor, numero); !erro.empty())
            return invalido(erro, op->nome != "--comando");
    }
    if (const std::string erro = combinacao_invalida(o, vistas); !erro.empty()) return invalido(erro);
    o.alguma = true;
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
        // Unquoted designations ("G 1 1/4") arrive as several arguments; the
        // mill's data follow them, each option once, its value after a blank or "=".
        std::string designacao;
        if (primeiro != medidas) designacao = primeiro.substr(medidas_igual.size());
        DadosCorte corte;
        std::string vistas;
        for (int i = 2; i < argc; ++i) {
            const std::string_view argumento = argv[i];
            if (!argumento.starts_with("--")) {
                if (!vistas.empty())
                    return invalido("'" + mostravel(argumento) + "' depois das opcoes: a designacao vem antes delas");
                if (!designacao.empty()) designacao += ' ';
                designacao += argumento;
                continue;
            }
            const std::size_t igual = argumento.find('=');
            const std::string nome(argumento.substr(0, igual));
            if (nome != "--fresa" && nome != "--arestas" && nome != "--vc" && nome != "--fz")
                return invalido("'" + mostravel(argumento) +
                                "' nao vale com --medidas (so --fresa, --arestas, --vc, --fz)");
            if (vistas.find(nome + " ") != std::string::npos) return invalido(nome + " dada duas vezes");
            std::string_view valor;
            if (igual != std::string_view::npos) valor = argumento.substr(igual + 1);
            else if (i + 1 < argc) valor = argv[++i];
            if (valor.empty()) return invalido(nome + " sem valor");
            std::string erro;
            if (!ler_dado_corte(nome, valor, corte, erro)) return invalido(erro);
            vistas += nome + " ";
        }
        if (designacao.find_first_not_of(' ') == std::string::npos)
            return invalido("--medidas sem designacao");
        if (!vistas.empty() && !corte.completos()) {
            std::string faltam;
            for (const char* opcao : {"--fresa", "--arestas", "--vc", "--fz"})
                if (vistas.find(std::string(opcao) + " ") == std::string::npos)
                    faltam += std::string(faltam.empty() ? "" : ", ") + opcao;
            return invalido("--fresa, --arestas, --vc e --fz vao juntas: falta " + faltam);
        }
        p.tipo = Pedido::Tipo::medidas;
        p.designacao = designacao;
        if (!vistas.empty()) p.corte = corte;
        return p;
    }

    if (primeiro == "--help" || primeiro == "-h")
        p.tipo = Pedido::Tipo::ajuda;
    else if (primeiro == "--version")
        p.tipo = Pedido::Tipo::versao;
    else
        return ler_opcoes_do_arquivo(argc, argv);
    if (argc > 2) return invalido("argumento a mais: '" + mostravel(argv[2]) + "'");
    return p;
}

int responder_opcao(const Pedido& pedido, std::string& saida, std::string& erros) {
    switch (pedido.tipo) {
        case Pedido::Tipo::ajuda:
            saida = texto_ajuda();
            return 0;
        case Pedido::Tipo::versao:
            saida = std::string(nome_programa) + " " + versao_programa + "\n";
            return 0;
        case Pedido::Tipo::medidas: {
            std::string erro;
            if (relatorio_medidas(pedido.designacao, pedido.corte ? &*pedido.corte : nullptr, saida, erro)) return 0;
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
