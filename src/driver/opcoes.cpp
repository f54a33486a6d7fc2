#include "driver/opcoes.hpp"

#include <algorithm>
#include <iterator>
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
    "pelo percurso):\n"
    "      --comando NOME      o comando da maquina:\n";

// After the dialects, each on a line of its own from the dialect table.
constexpr const char* texto_ajuda_depois =
    "      --ferramenta N      troca para a ferramenta N (1 a 99) e liga o seu\n"
    "                          corretor de comprimento (no grbl, so um comentario;\n"
    "                          no heidenhain TOOL CALL N, padrao 1)\n"
    "      --programa N        numero do programa O (1 a 9999, padrao 1; fanuc)\n"
    "      --saida ARQUIVO     nome ou caminho do arquivo (padrao:\n"
    "                          ROSCA-HELICOIDAL_PARALELA com a extensao do comando)\n"
    "\n"
    "Modos de cortar (combinam entre si e com --comando):\n"
    "      --arcos             cada volta em arcos helicoidais (G2/G3; CP no\n"
    "                          heidenhain), nao em 360 retas de um grau\n"
    "      --concordante       fresamento concordante (o spindle em M3); quando\n"
    "                          preciso, os passes sobem do fundo ate a face\n"
    "      --discordante       fresamento convencional, idem\n"
    "      --entrada-tangencial  entra e sai de cada helice por um arco tangente\n"
    "      --compensacao [contorno|desgaste]\n"
    "                          percurso no diametro da rosca, com G41/G42 e o\n"
    "                          corretor D da --ferramenta (padrao 1; D1 no siemens,\n"
    "                          RL/RR no heidenhain); com desgaste, o percurso do\n"
    "                          centro da fresa e so o desgaste no corretor; nao\n"
    "                          no grbl\n"
    "      --repetir-acabamento N  o ultimo passe mais N vezes (1 a 5)\n"
    "      --avanco-na-aresta  o avanco respondido e o da aresta de corte; cada\n"
    "                          passe recebe o avanco do centro da fresa\n"
    "      --conica            rosca conica 1:16 no diametro (NPT, R, Rc); os\n"
    "                          diametros respondidos sao os da face (Z0)\n"
    "      --conicidade 1:N    outra conicidade, N de 3 a 100\n"
    "      --perfis N          fresa de N perfis, um passo entre eles (1 a 50):\n"
    "                          cada passe em tao poucas voltas quanto os perfis\n"
    "                          permitem\n"
    "      --entradas N        rosca de N entradas (1 a 12): o passo respondido\n"
    "                          e entre filetes vizinhos; o avanco por volta, N\n"
    "                          passos\n"
    "      --passes-de-area-igual  os desbastes tiram areas iguais de um perfil\n"
    "                          em V (o primeiro e o mais fundo)\n"
    "\n"
    "Para producao:\n"
    "      --furos ARQUIVO     a rosca em cada centro do arquivo (\"X Y\" por\n"
    "                          linha, ate 10000); uma subrotina chamada por furo\n"
    "      --ajuste-na-maquina o diametro final numa variavel que o operador muda\n"
    "                          no comando, e outra que faz ou pula os desbastes\n"
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

std::string texto_ajuda() {
    std::string t = texto_ajuda_antes;
    for (const vocabulario::Dialeto* d : vocabulario::dialetos) {
        std::string nome(d->nome);
        nome.resize(std::max<std::size_t>(nome.size() + 1, 12), ' ');
        t += "                            " + nome + std::string(d->descricao) + "\n";
    }
    return t + texto_ajuda_depois;
}

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

// The file's options: each at most once, its value after a blank or "=".
Pedido ler_opcoes_do_arquivo(int argc, const char* const* argv) {
    Pedido p;
    OpcoesGeracao& o = p.geracao;
    std::string vistas;
    bool programa_dado = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view argumento = argv[i];
        std::string_view nome = argumento, valor;
        bool tem_valor = false;
        if (const std::size_t igual = argumento.find('='); argumento.starts_with("--") && igual != std::string_view::npos) {
            nome = argumento.substr(0, igual);
            valor = argumento.substr(igual + 1);
            tem_valor = true;
        }
        static constexpr std::string_view com_valor[] = {"--comando", "--ferramenta", "--programa", "--saida",
                                                         "--repetir-acabamento", "--conicidade", "--perfis",
                                                         "--entradas", "--furos"};
        static constexpr std::string_view sem_valor[] = {"--arcos", "--concordante", "--discordante",
                                                         "--entrada-tangencial", "--compensacao", "--avanco-na-aresta",
                                                         "--conica", "--passes-de-area-igual", "--ajuste-na-maquina"};
        bool pede_valor = false, conhecida = false;
        for (std::string_view c : com_valor) pede_valor = pede_valor || nome == c;
        for (std::string_view c : sem_valor) conhecida = conhecida || nome == c;
        if (!pede_valor && !conhecida) return invalido("argumento invalido: '" + mostravel(argumento) + "'");
        const std::string marca = std::string(nome) + " ";
        if (vistas.find(marca) != std::string::npos) return invalido(std::string(nome) + " dada duas vezes");
        vistas += marca;
        if (nome == "--compensacao") {
            // The word after it, when there is one: what the register holds.
            std::string_view palavra = valor;
            if (!tem_valor && i + 1 < argc &&
                (std::string_view(argv[i + 1]) == "desgaste" || std::string_view(argv[i + 1]) == "contorno"))
                palavra = argv[++i];
            if (palavra != "" && palavra != "desgaste" && palavra != "contorno")
                return invalido("--compensacao '" + mostravel(palavra) + "': use desgaste ou contorno");
            if (tem_valor && palavra.empty()) return invalido("--compensacao sem valor");
            o.modos.corretor = 0;  // the tool's number, once it is known
            o.modos.desgaste = palavra == "desgaste";
            continue;
        }
        if (!pede_valor) {
            if (tem_valor) return invalido(std::string(nome) + " nao leva valor");
            vocabulario::ModosCorte& m = o.modos;
            if (nome == "--arcos") m.arcos = true;
            else if (nome == "--concordante") m.fresamento = vocabulario::Fresamento::concordante;
            else if (nome == "--discordante") m.fresamento = vocabulario::Fresamento::discordante;
            else if (nome == "--entrada-tangencial") m.tangencial = true;
            else if (nome == "--avanco-na-aresta") m.avanco_na_aresta = true;
            else if (nome == "--passes-de-area-igual") m.area_igual = true;
            else if (nome == "--ajuste-na-maquina") o.ajuste_na_maquina = true;
            else if (m.conicidade == 0) m.conicidade = conicidade_padrao;
            continue;
        }
        if (!tem_valor) {
            if (i + 1 >= argc) return invalido(std::string(nome) + " sem valor");
            valor = argv[++i];
        }
        if (nome == "--comando") {
            o.dialeto = vocabulario::dialeto_por_nome(valor);
            if (o.dialeto == nullptr)
                return invalido("--comando '" + mostravel(valor) + "' desconhecido: use " + nomes_dos_dialetos(), false);
        } else if (nome == "--ferramenta") {
            if (!ler_inteiro(valor, 1, 99, o.ferramenta))
                return invalido("--ferramenta '" + mostravel(valor) + "': use um numero de 1 a 99");
        } else if (nome == "--programa") {
            if (!ler_inteiro(valor, 1, 9999, o.programa))
                return invalido("--programa '" + mostravel(valor) + "': use um numero de 1 a 9999");
            programa_dado = true;
        } else if (nome == "--repetir-acabamento") {
            int repeticoes = 0;
            if (!ler_inteiro(valor, 1, 5, repeticoes))
                return invalido("--repetir-acabamento '" + mostravel(valor) + "': use um numero de 1 a 5");
            o.modos.repeticoes = repeticoes;
        } else if (nome == "--furos") {
            if (valor.empty()) return invalido("--furos sem valor");
            o.arquivo_furos = valor;
        } else if (nome == "--perfis") {
            int perfis = 0;
            if (!ler_inteiro(valor, 1, 50, perfis))
                return invalido("--perfis '" + mostravel(valor) + "': use um numero de 1 a 50");
            o.modos.perfis = perfis;
        } else if (nome == "--entradas") {
            int entradas = 0;
            if (!ler_inteiro(valor, 1, 12, entradas))
                return invalido("--entradas '" + mostravel(valor) + "': use um numero de 1 a 12");
            o.modos.entradas = entradas;
        } else if (nome == "--conicidade") {
            int conicidade = 0;
            if (!valor.starts_with("1:") || !ler_inteiro(valor.substr(2), 3, 100, conicidade))
                return invalido("--conicidade '" + mostravel(valor) + "': use 1:N, N de 3 a 100 (1:16 no tubo)");
            o.modos.conicidade = conicidade;
        } else {
            if (valor.empty()) return invalido("--saida sem valor");
            o.saida = valor;
        }
    }
    if (vistas.find("--concordante ") != std::string::npos && vistas.find("--discordante ") != std::string::npos)
        return invalido("--concordante e --discordante juntas: escolha uma");
    vocabulario::ModosCorte& m = o.modos;
    // The compensation's D word is the tool's number, or the dialect's own.
    if (m.compensacao())
        m.corretor = o.dialeto->corretor_fixo > 0 ? o.dialeto->corretor_fixo : o.ferramenta > 0 ? o.ferramenta : 1;
    if (m.compensacao() && o.dialeto == &vocabulario::grbl)
        return invalido("--compensacao: o GRBL nao tem compensacao de raio (G41/G42)");
    if (m.conicidade != 0 && m.arcos) return invalido("--arcos com rosca conica: uma helice conica nao e um arco");
    if (m.conicidade != 0 && m.compensacao())
        return invalido("--compensacao com rosca conica: o raio muda a cada ponto");
    if (o.ajuste_na_maquina && !o.dialeto->variaveis)
        return invalido("--ajuste-na-maquina: o comando " + std::string(o.dialeto->nome) +
                        " nao tem variaveis; use linuxcnc, fanuc, heidenhain ou siemens");
    if (m.perfis > 1 && m.entradas > 1)
        return invalido("--perfis com --entradas: uma fresa de varios perfis numa rosca de varias entradas nao e "
                        "oferecida");
    if (programa_dado && !o.dialeto->enquadramento)
        return invalido("--programa so vale com --comando fanuc");
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
