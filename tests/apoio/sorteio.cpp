#include "apoio/sorteio.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <optional>
#include <regex>
#include <sstream>

#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"
#include "vocabulario/dialeto.hpp"

namespace {

constexpr long long potencias[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

std::string minusculas(std::string t) {
    for (char& c : t)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return t;
}

// A decimal's text as typed, with a comma where the job writes them so.
double numero_de(const std::string& texto) {
    std::string t = texto;
    std::replace(t.begin(), t.end(), ',', '.');
    return std::strtod(t.c_str(), nullptr);
}

std::vector<std::string> palavras(const std::string& texto) {
    std::vector<std::string> r;
    std::istringstream s(texto);
    for (std::string w; s >> w;) r.push_back(w);
    return r;
}

// The value after `--nome` (as the next word or after "="); empty when absent.
std::string valor_da_opcao(const std::vector<std::string>& opcoes, const std::string& nome) {
    for (std::size_t i = 0; i < opcoes.size(); ++i) {
        if (opcoes[i] == nome && i + 1 < opcoes.size()) return opcoes[i + 1];
        if (opcoes[i].starts_with(nome + "=")) return opcoes[i].substr(nome.size() + 1);
    }
    return {};
}

bool tem_opcao(const std::vector<std::string>& opcoes, const std::string& nome) {
    for (const std::string& o : opcoes)
        if (o == nome || o.starts_with(nome + "=")) return true;
    return false;
}

// Quoted for a POSIX shell where it needs to be.
std::string citado(const std::string& w) {
    if (!w.empty() && w.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_=.:/,+") ==
                          std::string::npos)
        return w;
    std::string r = "'";
    for (char c : w) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
}

}  // namespace

// ---------------------------------------------------------------- draws

std::uint64_t Sorteio::abaixo(std::uint64_t n) {
    if (n <= 1) return 0;
    const std::uint64_t maximo = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t limite = maximo - (maximo % n + 1) % n;  // the last word of whole runs of n
    std::uint64_t x;
    do x = bruto();
    while (x > limite);
    return x % n;
}

long long Sorteio::entre(long long minimo, long long maximo) {
    if (maximo <= minimo) return minimo;
    const auto largura = static_cast<std::uint64_t>(maximo) - static_cast<std::uint64_t>(minimo) + 1;
    return static_cast<long long>(static_cast<std::uint64_t>(minimo) + abaixo(largura));
}

std::uint64_t semente_do_sorteio(std::uint64_t semente, std::uint64_t indice) {
    // SplitMix64's finaliser over the pair: neighbouring draws far apart.
    std::uint64_t z = semente + 0x9E3779B97F4A7C15ull * (indice + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string Numero::texto() const {
    const long long f = potencias[casas];
    const unsigned long long a = unidades < 0 ? 0ull - static_cast<unsigned long long>(unidades)
                                              : static_cast<unsigned long long>(unidades);
    std::string t = (unidades < 0 ? "-" : "") + std::to_string(a / static_cast<unsigned long long>(f));
    std::string fracao = std::to_string(a % static_cast<unsigned long long>(f));
    fracao.insert(0, static_cast<std::size_t>(casas) - std::min(fracao.size(), static_cast<std::size_t>(casas)), '0');
    while (!fracao.empty() && fracao.back() == '0') fracao.pop_back();
    return fracao.empty() ? t : t + "." + fracao;
}

double Numero::valor() const { return static_cast<double>(unidades) / static_cast<double>(potencias[casas]); }

Numero sortear_numero(Sorteio& s, double minimo, double maximo, int casas) {
    const double f = static_cast<double>(potencias[casas]);
    const auto menor = static_cast<long long>(std::ceil(minimo * f - 1e-7));
    const auto maior = static_cast<long long>(std::floor(maximo * f + 1e-7));
    return {s.entre(menor, std::max(menor, maior)), casas};
}

namespace {

// Most answers with few decimals, some with the three the file prints,
// a few with more.
int sortear_casas(Sorteio& s) {
    const long long r = s.entre(1, 100);
    return r <= 20 ? 0 : r <= 50 ? 1 : r <= 75 ? 2 : r <= 97 ? 3 : 4;
}

// `a` + `sinal` * `b`, in the finer of their steps.
Numero somar(Numero a, Numero b, int sinal) {
    const int casas = std::max(a.casas, b.casas);
    return {a.unidades * potencias[casas - a.casas] + sinal * b.unidades * potencias[casas - b.casas], casas};
}

// ------------------------------------------------------ standard sizes

struct RespostasNormalizadas {
    std::string tipo, final, inicial, passo;
    bool conica = false;
};

// The blocks of answers `--medidas` prints: each "Tipo de Rosca" with the
// diameters and pitch after it, and the mid-tolerance answers of "Furo" and
// "Parafuso", which take the pitch of the thread's own kind.
std::vector<RespostasNormalizadas> ler_medidas(const std::string& saida) {
    static const std::regex campo(R"(^\s+(Tipo de Rosca|Diametro Final|Diametro Inicial|Passo da rosca)[^.]*\.+ (\S+))");
    static const std::regex sublista(R"(^  (Furo|Parafuso)[^,.]*:$)");
    std::vector<RespostasNormalizadas> r;
    std::map<std::string, std::string> passo_do_tipo;
    bool conica = false;
    for (const std::string& l : linhas_de(saida)) {
        std::smatch m;
        if (!l.empty() && l[0] != ' ') conica = l.find("--conica") != std::string::npos;
        if (std::regex_search(l, m, sublista)) {
            RespostasNormalizadas b;
            b.tipo = m[1] == "Furo" ? "I" : "E";
            b.passo = passo_do_tipo[b.tipo];
            b.conica = conica;
            r.push_back(b);
        } else if (std::regex_search(l, m, campo)) {
            const std::string nome = m[1], valor = m[2];
            if (nome == "Tipo de Rosca") {
                r.push_back({});
                r.back().tipo = valor;
                r.back().conica = conica;
            } else if (!r.empty()) {
                (nome == "Diametro Final" ? r.back().final : nome == "Diametro Inicial" ? r.back().inicial : r.back().passo) =
                    valor;
                if (nome == "Passo da rosca") passo_do_tipo[r.back().tipo] = valor;
            }
        }
    }
    std::erase_if(r, [](const RespostasNormalizadas& b) { return b.final.empty() || b.inicial.empty() || b.passo.empty(); });
    return r;
}

const std::vector<std::string> designacoes = {"M20x2.5-6H", "M8-6g",    "M6",    "M12x1.5-6H", "M30x2-6g",
                                              "1/4-20 UNC-2B", "G1/2", "1/2 NPT", "R 1/2"};

const std::vector<RespostasNormalizadas>& medidas_de(const std::string& designacao) {
    static std::map<std::string, std::vector<RespostasNormalizadas>> ja_lidas;
    auto f = ja_lidas.find(designacao);
    if (f == ja_lidas.end())
        f = ja_lidas.emplace(designacao, ler_medidas(executar_com_argumentos("--medidas " + citado(designacao)).console))
                .first;
    return f->second;
}

// ------------------------------------------------------------- options

const std::vector<std::string> comandos = {"padrao", "linuxcnc", "grbl", "fanuc", "heidenhain", "siemens"};

bool com_variaveis(const std::string& comando) {
    const vocabulario::Dialeto* d = vocabulario::dialeto_por_nome(comando);
    return d != nullptr && d->variaveis;
}

// An option with its value, as one word with "=" or as two.
std::vector<std::string> opcao_com_valor(Sorteio& s, const std::string& nome, const std::string& valor) {
    if (s.chance(20)) return {nome + "=" + valor};
    return {nome, valor};
}

std::string numero_inteiro(Sorteio& s, long long minimo, long long maximo) { return std::to_string(s.entre(minimo, maximo)); }

std::vector<std::vector<std::string>> sortear_opcoes(Sorteio& s) {
    std::vector<std::vector<std::string>> g;
    // The program without arguments, whose file and console never change.
    if (s.chance(8)) return g;
    std::string comando = "padrao";
    if (!s.chance(12)) {
        comando = s.um_de(comandos);
        std::string escrito = comando;
        if (s.chance(5)) escrito[0] = static_cast<char>(escrito[0] - 'a' + 'A');  // any letter case
        g.push_back(opcao_com_valor(s, "--comando", escrito));
    }
    if (s.chance(35)) g.push_back({"--arcos"});
    const long long fresamento = s.entre(1, 100);
    if (fresamento <= 20 || fresamento > 98) g.push_back({"--concordante"});
    if ((fresamento > 20 && fresamento <= 35) || fresamento > 98) g.push_back({"--discordante"});
    if (s.chance(30)) g.push_back({"--entrada-tangencial"});
    if (s.chance(comando == "grbl" ? 4 : 22)) {
        const long long forma = s.entre(1, 4);
        if (forma == 1) g.push_back({"--compensacao"});
        else if (forma == 2) g.push_back({"--compensacao", "contorno"});
        else if (forma == 3) g.push_back({"--compensacao", "desgaste"});
        else g.push_back({"--compensacao=desgaste"});
    }
    if (s.chance(15)) g.push_back(opcao_com_valor(s, "--repetir-acabamento", s.chance(60) ? "1" : numero_inteiro(s, 2, 5)));
    if (s.chance(15)) g.push_back({"--avanco-na-aresta"});
    const long long conica = s.entre(1, 100);
    if (conica <= 9 || conica > 98) g.push_back({"--conica"});
    if (conica > 9 && conica <= 16) g.push_back(opcao_com_valor(s, "--conicidade", "1:" + numero_inteiro(s, 3, 100)));
    if (s.chance(12)) g.push_back(opcao_com_valor(s, "--perfis", s.chance(70) ? numero_inteiro(s, 1, 4) : numero_inteiro(s, 5, 50)));
    if (s.chance(12)) g.push_back(opcao_com_valor(s, "--entradas", s.chance(75) ? numero_inteiro(s, 1, 4) : numero_inteiro(s, 5, 12)));
    if (s.chance(15)) g.push_back({"--passes-de-area-igual"});
    if (s.chance(20)) g.push_back(opcao_com_valor(s, "--furos", "furos.txt"));
    if (s.chance(com_variaveis(comando) ? 45 : 4)) g.push_back({"--ajuste-na-maquina"});
    if (s.chance(25)) g.push_back(opcao_com_valor(s, "--ferramenta", numero_inteiro(s, 1, 99)));
    if (s.chance(comando == "fanuc" ? 35 : 2)) g.push_back(opcao_com_valor(s, "--programa", numero_inteiro(s, 1, 9999)));
    // Mostly a short name of the file; else the default, which depends on the dialect and the taper.
    if (s.chance(80))
        g.push_back(opcao_com_valor(s, "--saida", "p" + std::string(vocabulario::dialeto_por_nome(comando)->extensao)));
    s.embaralhar(g);
    return g;
}

// Hole centres far enough apart that no two threads touch: `afastamento`
// mm between any two, some coordinates with four decimals, now and then a
// centre a few ten-thousandths off the origin.
std::string sortear_furos(Sorteio& s, double afastamento) {
    const long long r = s.entre(1, 100);
    const int quantos = r <= 15 ? 1 : r <= 75 ? 2 : r <= 95 ? 3 : 4;
    const double alcance = std::max(60.0, afastamento * quantos);
    // Distances in integers alone, the same on every platform.
    std::vector<std::pair<Numero, Numero>> centros;
    auto dez_milesimos = [](const Numero& n) { return n.unidades * potencias[4 - n.casas]; };
    if (s.chance(15)) {
        const std::vector<long long> perto = {0, 4, -4, 1, 5, -5, 10};
        centros.push_back({{s.um_de(perto), 4}, {s.um_de(perto), 4}});
    }
    for (int tentativa = 0; static_cast<int>(centros.size()) < quantos && tentativa < 200; ++tentativa) {
        const int casas = static_cast<int>(s.entre(0, 4));
        const Numero x = sortear_numero(s, -alcance, alcance, casas), y = sortear_numero(s, -alcance, alcance, casas);
        const auto minimo = static_cast<long long>(afastamento * 10000);
        bool longe = true;
        for (const auto& c : centros) {
            const long long dx = dez_milesimos(c.first) - dez_milesimos(x), dy = dez_milesimos(c.second) - dez_milesimos(y);
            // In hundredths of a mm, squared: coordinates are at most a few hundred mm.
            const long long dxc = dx / 100, dyc = dy / 100, m = minimo / 100 + 1;
            longe = longe && dxc * dxc + dyc * dyc >= m * m;
        }
        if (longe) centros.push_back({x, y});
    }
    const bool virgula = s.chance(5), crlf = s.chance(5);
    const std::string fim = crlf ? "\r\n" : "\n";
    const long long separa = s.entre(1, 100);
    const std::string entre = separa <= 70 ? " " : separa <= 85 ? "\t" : "   ";
    std::string texto = s.chance(10) ? "# centros sorteados" + fim : "";
    for (const auto& [x, y] : centros) {
        std::string linha = x.texto() + entre + y.texto();
        if (virgula) std::replace(linha.begin(), linha.end(), '.', ',');
        texto += linha + fim;
    }
    return texto;
}

}  // namespace

// ------------------------------------------------------------------ jobs

std::string Trabalho::comando() const {
    const std::string c = minusculas(valor_da_opcao(opcoes, "--comando"));
    return c.empty() ? "padrao" : c;
}

int Trabalho::ferramenta() const {
    const std::string f = valor_da_opcao(opcoes, "--ferramenta");
    return f.empty() ? 0 : std::atoi(f.c_str());
}

bool Trabalho::ajuste_na_maquina() const { return tem_opcao(opcoes, "--ajuste-na-maquina"); }

double Trabalho::comprimento() const {
    // Twelve answers with the radial steps, ten without.
    const std::size_t i = respostas.size() >= 12 ? 6 : 4;
    return i < respostas.size() ? numero_de(respostas[i]) : 0;
}

std::string Trabalho::nome_arquivo() const {
    const std::string saida = valor_da_opcao(opcoes, "--saida");
    if (!saida.empty()) return saida;
    const vocabulario::Dialeto* d = vocabulario::dialeto_por_nome(comando());
    const bool conica = tem_opcao(opcoes, "--conica") || tem_opcao(opcoes, "--conicidade");
    return std::string(conica ? vocabulario::nome_arquivo_conica : vocabulario::nome_arquivo_paralela) +
           std::string(d != nullptr ? d->extensao : ".TAP");
}

std::string Trabalho::linha_de_comando() const {
    std::string r;
    for (const std::string& o : opcoes) {
        if (!r.empty()) r += ' ';
        r += citado(o);
    }
    return r;
}

std::string Trabalho::resumo() const {
    std::string r;
    for (const std::string& a : respostas) {
        if (!r.empty()) r += ' ';
        r += a;
    }
    for (const std::string& o : opcoes) {
        r += ' ';
        r += citado(o);
    }
    return r;
}

Trabalho trabalho_de(const std::string& resumo, const std::string& furos) {
    Trabalho t;
    t.origem = "conhecido";
    bool opcoes = false;
    for (const std::string& w : palavras(resumo)) {
        opcoes = opcoes || w.starts_with("--");
        (opcoes ? t.opcoes : t.respostas).push_back(w);
    }
    t.furos = furos;
    return t;
}

Trabalho sortear_trabalho(std::uint64_t semente, std::uint64_t indice) {
    Sorteio s(semente_do_sorteio(semente, indice));
    Trabalho t;
    t.indice = indice;
    t.origem = "sorteado";
    const int casas = sortear_casas(s);

    // The diameters and the pitch: drawn, or a standard size's.
    bool interna = s.chance(50);
    std::string final, inicial, passo_rosca;
    Numero profundidade{0, 0};  // radial, between the blank and the final diameter
    bool unico = false, conica_normal = false;
    double base_ferramenta = 0;  // an internal thread's cutter is below this
    if (s.chance(15)) {
        const std::string designacao = s.um_de(designacoes);
        const auto& blocos = medidas_de(designacao);
        if (!blocos.empty()) {
            const RespostasNormalizadas& b = s.um_de(blocos);
            t.origem = "--medidas " + designacao;
            interna = b.tipo == "I";
            final = b.final, inicial = b.inicial, passo_rosca = b.passo;
            conica_normal = b.conica;
            const double df = numero_de(final), di = numero_de(inicial);
            profundidade = {std::llround(std::fabs(df - di) / 2 * 1000), 3};
            base_ferramenta = interna ? di : 0;
        }
    }
    if (final.empty()) {
        const Numero df = sortear_numero(s, 3, 60, casas);
        final = df.texto();
        unico = s.chance(25);
        if (unico) {
            inicial = s.chance(10) ? df.texto() : "0";  // equal to the final diameter: one pass too
        } else {
            profundidade = sortear_numero(s, 0.05, std::min(1.6, df.valor() * 0.12), casas);
            if (profundidade.unidades == 0) profundidade = {1, casas};
            inicial = somar(df, {2 * profundidade.unidades, profundidade.casas}, interna ? -1 : 1).texto();
        }
        base_ferramenta = interna ? numero_de(unico ? final : inicial) : 0;
        if (s.chance(30)) {
            const std::vector<std::string> normais = {"0.5",  "0.7", "0.75", "0.8",      "1",       "1.25",    "1.5", "1.75",
                                                      "2",    "2.5", "3",    "1.814286", "1.411111", "0.907143", "1.27"};
            passo_rosca = s.um_de(normais);
        } else {
            passo_rosca = sortear_numero(s, 0.35, 4, std::max(1, sortear_casas(s))).texto();
        }
    }
    const Numero ferramenta = interna ? sortear_numero(s, base_ferramenta * 0.35, base_ferramenta * 0.78, std::max(casas, 2))
                                      : sortear_numero(s, 2, 25, casas);
    const double p = numero_de(passo_rosca), d = profundidade.valor();

    // The radial steps: a few passes; now and then a step past the depth,
    // which the program takes as the depth.
    Numero passo{0, 0}, acabamento{0, 0};
    if (!unico) {
        const int c = std::max(2, casas);
        passo = s.chance(10) ? sortear_numero(s, d, 2 * d, c) : sortear_numero(s, d / 4, d, c);
        const double limite = ferramenta.valor() * 0.45;  // below the cutter's radius
        if (passo.valor() >= limite) passo = sortear_numero(s, limite / 3, limite, 3);
        if (passo.unidades == 0) passo = {1, 3};
        if (!s.chance(40)) {
            acabamento = sortear_numero(s, passo.valor() * 0.05, passo.valor() * 0.6, 3);
            if (acabamento.valor() >= passo.valor()) acabamento = {0, 0};
        }
    }

    std::vector<std::vector<std::string>> grupos = sortear_opcoes(s);
    if (conica_normal) {
        std::erase_if(grupos, [](const std::vector<std::string>& g) {
            return g[0].starts_with("--arcos") || g[0].starts_with("--compensacao") || g[0].starts_with("--conic");
        });
        grupos.insert(grupos.begin() + static_cast<std::ptrdiff_t>(s.abaixo(grupos.size() + 1)), {"--conica"});
    }
    for (const auto& g : grupos) t.opcoes.insert(t.opcoes.end(), g.begin(), g.end());
    if (tem_opcao(t.opcoes, "--furos"))
        t.furos = sortear_furos(s, 2 * (std::max(numero_de(final), numero_de(inicial)) + ferramenta.valor()) + 10);

    // The length: a few turns, fewer where the file would be long.
    const double passes = unico ? 1
                                : std::ceil(std::max(d - acabamento.valor(), 0.001) / std::min(passo.valor(), d)) +
                                      (acabamento.unidades > 0 ? 1 : 0);
    const std::string repetir = valor_da_opcao(t.opcoes, "--repetir-acabamento");
    const double passes_no_arquivo = passes + (repetir.empty() ? 0 : std::atoi(repetir.c_str()));
    const std::string comando = t.comando();
    double furos_escritos = 1;  // holes written out one by one where the dialect has no subprogram
    if (!t.furos.empty() && (comando == "padrao" || comando == "grbl"))
        furos_escritos = static_cast<double>(std::count(t.furos.begin(), t.furos.end(), '\n'));
    const double voltas_no_maximo =
        std::max(0.3, std::min(3.0, (12000 / (furos_escritos * passes_no_arquivo * (t.ajuste_na_maquina() ? 2.5 : 1)) - 200) / 360));
    const Numero comprimento = sortear_numero(s, p * 0.3, p * voltas_no_maximo, sortear_casas(s));

    const long long a = s.entre(1, 100);
    const Numero angulo = a <= 25   ? Numero{0, 0}
                          : a <= 60 ? Numero{s.entre(0, 359), 0}
                          : a <= 80 ? Numero{s.entre(0, 3599), 1}
                          : a <= 95 ? sortear_numero(s, 0, 359.999, static_cast<int>(s.entre(2, 3)))
                                    : sortear_numero(s, 359.5, 359.999, 3);
    const Numero rotacao = s.chance(90) ? Numero{s.entre(200, 12000), 0} : sortear_numero(s, 200, 12000, 1);
    std::string avanco;
    const std::vector<std::string> relativos = {"0.05", "0.1", ".1", "0.2", "0.25", "0.3"};
    const std::string relativo = s.um_de(relativos);
    if (s.chance(25) && numero_de(relativo) * rotacao.valor() <= 2000)
        avanco = relativo;
    else
        avanco = sortear_numero(s, 10, 1500, static_cast<int>(s.entre(0, 1))).texto();

    const bool teclas_minusculas = s.chance(10), virgula = s.chance(5);
    auto tecla = [&](char c) { return std::string(1, teclas_minusculas ? static_cast<char>(c - 'A' + 'a') : c); };
    t.respostas = {tecla(interna ? 'I' : 'E'), final, inicial};
    if (numero_de(inicial) != 0 && numero_de(inicial) != numero_de(final)) {
        t.respostas.push_back(passo.texto());
        t.respostas.push_back(acabamento.texto());
    }
    for (const std::string& r : {ferramenta.texto(), comprimento.texto(), passo_rosca}) t.respostas.push_back(r);
    t.respostas.push_back(tecla(s.chance(60) ? 'D' : 'E'));
    for (const std::string& r : {angulo.texto(), rotacao.texto(), avanco}) t.respostas.push_back(r);
    // Now and then an answer the dialogue refuses: it asks again, finds no
    // more answers and stops.
    if (s.chance(3)) {
        const std::size_t n = t.respostas.size(), d = n >= 12 ? 2 : 0;
        switch (s.entre(1, 4)) {
            case 1: t.respostas[9 + d] = "0"; break;                // no feed
            case 2: t.respostas[7 + d] = "360"; break;              // the start angle past its range
            case 3: t.respostas[6 + d] = "X"; break;                // neither hand
            default: t.respostas[3 + d] = t.respostas[1]; break;    // a cutter as big as the thread
        }
    }
    if (virgula)
        for (std::string& r : t.respostas) std::replace(r.begin(), r.end(), '.', ',');
    return t;
}

Geracao gerar(const Trabalho& t) {
    std::string respostas;
    for (const std::string& r : t.respostas) respostas += r + "\n";
    const Execucao e = executar_com_argumentos(t.linha_de_comando(), respostas, [&t](const std::string& dir) {
        if (!t.furos.empty()) gravar_arquivo(dir + "/furos.txt", t.furos);
    });
    Geracao g;
    g.status = e.status;
    g.erros = e.erros;
    const auto f = e.outros_conteudos.find(t.nome_arquivo());
    if (t.nome_arquivo() == nome_tap) g.arquivo = e.arquivo;
    else if (f != e.outros_conteudos.end()) g.arquivo = f->second;
    return g;
}

// ----------------------------------------------------------------- edits

namespace {

// The lines of a file, their end, and whether the last one has it.
struct Linhas {
    std::vector<std::string> l;
    std::string fim = "\r\n";
    bool fim_no_ultimo = true;
};

Linhas dividir(const std::string& arquivo) {
    Linhas r;
    r.fim = arquivo.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    r.fim_no_ultimo = !arquivo.empty() && arquivo.back() == '\n';
    r.l = linhas_de(arquivo);
    return r;
}

std::string juntar(const Linhas& ls) {
    std::string r;
    for (std::size_t i = 0; i < ls.l.size(); ++i) {
        r += ls.l[i];
        if (i + 1 < ls.l.size() || ls.fim_no_ultimo) r += ls.fim;
    }
    return r;
}

// A plain-language block's number moved on by one.
void renumerar(std::string& linha) {
    std::size_t n = 0;
    while (n < linha.size() && linha[n] >= '0' && linha[n] <= '9') ++n;
    if (n > 0) linha.replace(0, n, std::to_string(std::stoull(linha.substr(0, n)) + 1));
}

std::string para_awk(const std::string& texto) {
    std::string r;
    for (char c : texto) {
        if (c == '\\' || c == '"') r += '\\';
        r += c;
    }
    return r;
}

}  // namespace

std::string Edicao::aplicar(const std::string& arquivo) const {
    Linhas ls = dividir(arquivo);
    for (const Mudanca& m : mudancas) {
        const std::size_t i = m.linha - 1;
        if (m.tipo == Tipo::trocar && i < ls.l.size()) {
            ls.l[i] = m.texto;
        } else if (m.tipo == Tipo::remover && i < ls.l.size()) {
            ls.l.erase(ls.l.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (m.tipo == Tipo::inserir && i <= ls.l.size()) {
            ls.l.insert(ls.l.begin() + static_cast<std::ptrdiff_t>(i), m.texto);
            if (m.renumerar)
                for (std::size_t k = i + 1; k < ls.l.size(); ++k) renumerar(ls.l[k]);
        }
    }
    return juntar(ls);
}

std::string Edicao::comando(const std::string& de, const std::string& para, bool crlf) const {
    std::string r;
    const std::string cr = crlf ? "\\r" : "";
    for (const Mudanca& m : mudancas) {
        const std::string n = std::to_string(m.linha);
        std::string awk;
        if (m.tipo == Tipo::trocar) awk = "NR==" + n + "{$0=\"" + para_awk(m.texto) + cr + "\"} {print}";
        else if (m.tipo == Tipo::remover) awk = "NR!=" + n;
        else
            awk = "NR==" + n + "{print \"" + para_awk(m.texto) + cr + "\"} " +
                  (m.renumerar ? "NR>=" + n + "{sub(/^[0-9]+/, $1+1)} " : "") + "{print}";
        r += (r.empty() ? "awk '" + awk + "' " + de : " | awk '" + awk + "'");
    }
    return r + " > " + para;
}

std::string Edicao::descricao() const {
    std::string r = nome + ":";
    for (const Mudanca& m : mudancas) {
        const std::string n = std::to_string(m.linha);
        if (m.tipo == Tipo::trocar) r += " linha " + n + " trocada por '" + m.texto + "';";
        else if (m.tipo == Tipo::remover) r += " linha " + n + " removida;";
        else r += " '" + m.texto + "' inserida como linha " + n + (m.renumerar ? " (os blocos seguintes renumerados)" : "") + ";";
    }
    r.pop_back();
    return r;
}

double janela_do_diametro(const Trabalho&) { return 0.05; }

namespace {

// Where a variable is given its value in the file, and the value's text.
struct Atribuicao {
    std::size_t linha = 0;  // 1-based; 0 when the file has none
    std::string antes, depois;  // the line around the number
    bool sinal = false;         // written with its "+"
    long long milesimos = 0;
    int casas = 0;
};

Atribuicao achar_atribuicao(const Linhas& ls, std::string_view variavel, std::string_view atribuicao) {
    Atribuicao a;
    const std::string alvo = std::string(variavel) + std::string(atribuicao);
    for (std::size_t i = 0; i < ls.l.size(); ++i) {
        const std::string& l = ls.l[i];
        const std::size_t k = l.find(alvo);
        if (k == std::string::npos) continue;
        std::size_t p = k + alvo.size(), q = p;
        a.sinal = q < l.size() && l[q] == '+';
        const bool negativo = q < l.size() && l[q] == '-';
        if (a.sinal || negativo) ++q;
        long long inteiro = 0, fracao = 0;
        int casas = 0;
        while (q < l.size() && l[q] >= '0' && l[q] <= '9') inteiro = inteiro * 10 + (l[q++] - '0');
        if (q < l.size() && l[q] == '.')
            for (++q; q < l.size() && l[q] >= '0' && l[q] <= '9' && casas < 6; ++casas) fracao = fracao * 10 + (l[q++] - '0');
        if (casas > 3) continue;
        a.linha = i + 1;
        a.antes = l.substr(0, p);
        a.depois = l.substr(q);
        a.casas = casas;
        a.milesimos = (inteiro * 1000 + fracao * potencias[3 - casas]) * (negativo ? -1 : 1);
        return a;
    }
    return a;
}

std::string com_valor(const Atribuicao& a, long long milesimos) {
    Numero n{milesimos, 3};
    std::string t = n.texto();
    // The file's own shape: three decimals, or whole numbers.
    if (a.casas == 3) {
        const std::size_t ponto = t.find('.');
        if (ponto == std::string::npos) t += ".000";
        else t.append(3 - (t.size() - ponto - 1), '0');
    }
    if (a.sinal && milesimos >= 0) t = "+" + t;
    return a.antes + t + a.depois;
}

Edicao trocar_linha(const std::string& nome, std::size_t linha, const std::string& texto) {
    Edicao e;
    e.nome = nome;
    e.mudancas.push_back({Edicao::Tipo::trocar, linha, texto, false});
    e.linhas_esperadas = {linha};
    return e;
}

const vocabulario::Dialeto& dialeto_de(const Trabalho& t) {
    const vocabulario::Dialeto* d = vocabulario::dialeto_por_nome(t.comando());
    return d != nullptr ? *d : vocabulario::padrao;
}

}  // namespace

std::optional<Edicao> mudar_diametro(const Trabalho& t, const std::string& arquivo, long long milesimos,
                                     const std::string& nome) {
    const vocabulario::Dialeto& d = dialeto_de(t);
    if (!d.variaveis) return std::nullopt;
    const Atribuicao a = achar_atribuicao(dividir(arquivo), d.variavel_diametro, d.atribuicao);
    if (a.linha == 0) return std::nullopt;
    return trocar_linha(nome, a.linha, com_valor(a, a.milesimos + milesimos));
}

std::vector<Edicao> edicoes_de_ajuste(const Trabalho& t, const std::string& arquivo, Sorteio& s) {
    std::vector<Edicao> r;
    const vocabulario::Dialeto& d = dialeto_de(t);
    if (!t.ajuste_na_maquina() || !d.variaveis) return r;
    const Linhas ls = dividir(arquivo);
    const auto janela = static_cast<long long>(std::llround(janela_do_diametro(t) * 1000));
    long long dentro = s.entre(1, std::max(1LL, janela - 1));
    if (s.chance(50)) dentro = -dentro;
    const Atribuicao desbastes = achar_atribuicao(ls, d.variavel_desbastes, d.atribuicao);
    for (const auto& [milesimos, nome] : std::vector<std::pair<long long, std::string>>{
             {janela, "Df mais a janela"}, {-janela, "Df menos a janela"}, {dentro, "Df dentro da janela"}})
        if (auto e = mudar_diametro(t, arquivo, milesimos, nome)) r.push_back(*e);
    if (desbastes.linha != 0) {
        // The roughing variable is a whole number: 1 to 0.
        Edicao so = trocar_linha("so o acabamento", desbastes.linha,
                                 desbastes.antes + (desbastes.sinal ? "+0" : "0") + desbastes.depois);
        r.push_back(so);
        if (auto e = mudar_diametro(t, arquivo, janela, "so o acabamento, Df mais a janela")) {
            e->mudancas.insert(e->mudancas.begin(), so.mudancas[0]);
            e->linhas_esperadas.push_back(desbastes.linha);
            r.push_back(*e);
        }
    }
    return r;
}

namespace {

// A move of the file, in the order written, with the height it ends at.
struct LinhaMovimento {
    std::size_t linha = 0;  // 1-based
    bool corte = false;     // at the feed
    bool muda_z = false;
    double z = 0;           // after it
};

// The moves as the file's lines write them, Z followed through: enough to
// find the middle of a helix, not a reader of the program.
std::vector<LinhaMovimento> movimentos(const Linhas& ls, bool texto_claro) {
    std::vector<LinhaMovimento> r;
    double z = 0;
    int modal = 0;  // 0 rapid, 1 feed
    for (std::size_t i = 0; i < ls.l.size(); ++i) {
        std::string l = ls.l[i];
        for (const char fim : {';', '('})
            if (const std::size_t c = l.find(fim); c != std::string::npos) l.resize(c);
        std::vector<std::string> w = palavras(l);
        if (!w.empty() && texto_claro) w.erase(w.begin());  // the block number
        if (!w.empty() && !texto_claro && (w[0][0] == 'N' || w[0][0] == 'n') && w[0].size() > 1 &&
            std::isdigit(static_cast<unsigned char>(w[0][1])))
            w.erase(w.begin());
        if (w.empty()) continue;
        LinhaMovimento m;
        m.linha = i + 1;
        bool movimento = false;
        double novo_z = z;
        if (texto_claro) {
            if (w[0] != "L" && w[0] != "CP" && w[0] != "C" && w[0] != "CR" && w[0] != "CT") continue;
            movimento = true;
            m.corte = std::find(w.begin(), w.end(), "FMAX") == w.end();
            for (const std::string& p : w) {
                if (p.size() > 1 && p[0] == 'Z' && (p[1] == '+' || p[1] == '-')) novo_z = std::strtod(p.c_str() + 1, nullptr);
                if (p.size() > 2 && p.starts_with("IZ")) novo_z = z + std::strtod(p.c_str() + 2, nullptr);
            }
        } else {
            const std::string primeira = minusculas(w[0]);
            bool coordenadas = false;
            for (const std::string& p0 : w) {
                const std::string p = minusculas(p0);
                if (p == "g0" || p == "g00") modal = 0, movimento = true;
                if (p == "g1" || p == "g01" || p == "g2" || p == "g02" || p == "g3" || p == "g03") modal = 1, movimento = true;
                if (p.size() > 1 && p[0] == 'z') {
                    const char* inicio = p.c_str() + (p[1] == '=' ? 2 : 1);
                    char* fim = nullptr;
                    const double v = std::strtod(inicio, &fim);
                    if (fim != inicio) novo_z = v;
                }
                coordenadas = coordenadas || (!p.empty() && (p[0] == 'x' || p[0] == 'y' || p[0] == 'z'));
            }
            // A line of coordinates alone moves in the motion before it.
            movimento = movimento || (coordenadas && (primeira[0] == 'x' || primeira[0] == 'y' || primeira[0] == 'z'));
            if (!movimento) continue;
            m.corte = modal == 1;
        }
        m.muda_z = std::fabs(novo_z - z) > 1e-9;
        z = m.z = novo_z;
        r.push_back(m);
    }
    return r;
}

// The line after which an insertion lands in the middle of a helix: between
// two feed moves that both change Z and end inside the thread, below the
// face and above L; failing that, where a helix starts. 0 when the file has
// no helix at all.
std::size_t meio_de_helice(const Linhas& ls, const Trabalho& t, Sorteio& s) {
    const std::vector<LinhaMovimento> m = movimentos(ls, dialeto_de(t).linguagem == vocabulario::Linguagem::texto_claro);
    const double L = t.comprimento(), folga = 0.0005;
    auto dentro = [&](double z) { return z < -folga && z > -L + folga; };
    std::vector<std::size_t> bons, aceitaveis, ultimos;
    for (std::size_t k = 1; k < m.size(); ++k) {
        if (!m[k].corte || !m[k].muda_z) continue;
        ultimos.push_back(m[k - 1].linha);
        if (!m[k - 1].corte) continue;
        if (m[k - 1].muda_z && dentro(m[k - 1].z) && dentro(m[k].z)) bons.push_back(m[k - 1].linha);
        else if (m[k - 1].z <= folga && m[k - 1].z >= -L - folga) aceitaveis.push_back(m[k - 1].linha);
    }
    const std::vector<std::size_t>& escolha = !bons.empty() ? bons : !aceitaveis.empty() ? aceitaveis : ultimos;
    return escolha.empty() ? 0 : s.um_de(escolha);
}

// The first line at or after `inicio` whose text, upper case, starts with
// `prefixo` after a plain-language block number; 0 when none.
std::size_t achar_linha(const Linhas& ls, const std::string& prefixo, std::size_t inicio = 0) {
    for (std::size_t i = inicio; i < ls.l.size(); ++i) {
        std::string l = ls.l[i];
        std::size_t n = 0;
        while (n < l.size() && l[n] >= '0' && l[n] <= '9') ++n;
        if (n > 0 && n < l.size() && l[n] == ' ') l = l.substr(n + 1);
        for (char& c : l) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (l.starts_with(prefixo)) return i + 1;
    }
    return 0;
}

// The header line holding `rotulo` (any letter case), and where its number starts and ends.
std::size_t achar_no_cabecalho(const Linhas& ls, const std::string& rotulo, std::size_t& de, std::size_t& ate) {
    for (std::size_t i = 0; i < ls.l.size(); ++i) {
        const std::string l = minusculas(ls.l[i]);
        const std::size_t k = l.find(rotulo);
        if (k == std::string::npos) continue;
        de = l.find(':', k);
        if (de == std::string::npos) return 0;
        de = l.find_first_not_of(' ', de + 1);
        ate = l.find_first_not_of("+-0123456789.", de);
        if (de == std::string::npos || ate == de) return 0;
        if (ate == std::string::npos) ate = l.size();
        return i + 1;
    }
    return 0;
}

Edicao inserir(const std::string& nome, std::size_t linha, const std::string& texto, bool texto_claro) {
    Edicao e;
    e.nome = nome;
    // A plain-language block takes the number of the block it goes in
    // front of, one less than its line.
    e.mudancas.push_back({Edicao::Tipo::inserir, linha, texto_claro ? std::to_string(linha - 1) + " " + texto : texto,
                          texto_claro});
    e.linhas_esperadas = {linha};
    return e;
}

}  // namespace

std::vector<Edicao> edicoes_ruins(const Trabalho& t, const std::string& arquivo, Sorteio& s) {
    std::vector<Edicao> r;
    const Linhas ls = dividir(arquivo);
    const vocabulario::Dialeto& d = dialeto_de(t);
    const std::string comando = t.comando();
    const bool tc = d.linguagem == vocabulario::Linguagem::texto_claro, fanuc = comando == "fanuc";
    const int ferramenta = t.ferramenta() > 0 ? t.ferramenta() : 1;
    const int outra = ferramenta == 2 ? 3 : 2;

    // The spindle speed as the file's TOOL CALL gives it, for a plain-language tool change.
    std::string rotacao = "S1000";
    if (const std::size_t n = achar_linha(ls, "TOOL CALL")) {
        const std::vector<std::string> w = palavras(ls.l[n - 1]);
        if (!w.empty() && w.back()[0] == 'S') rotacao = w.back();
    }
    const std::string f0 = comando == "padrao" ? "f0" : fanuc ? "F0." : "F0";
    struct NoMeio {
        std::string nome, iso, texto_claro;
    };
    const std::vector<NoMeio> no_meio = {
        {"M30 no meio da helice", "M30", "L M30"},
        {"M2 no meio da helice", fanuc ? "M02" : "M2", "L M2"},
        {"M5 no meio da helice", fanuc ? "M05" : "M5", "L M5"},
        {"S0 no meio da helice", "S0", "TOOL CALL " + std::to_string(ferramenta) + " Z S0"},
        {"F0 no meio da helice", f0, "L F0"},
        {"T2 M6 no meio da helice", "T" + std::to_string(outra) + (fanuc ? " M06" : " M6"),
         "TOOL CALL " + std::to_string(outra) + " Z " + rotacao},
        {"M3 S50000 no meio da helice", fanuc ? "M03 S50000" : "M3 S50000",
         "TOOL CALL " + std::to_string(ferramenta) + " Z S50000"},
    };
    for (const NoMeio& e : no_meio)
        if (const std::size_t depois = meio_de_helice(ls, t, s))
            r.push_back(inserir(e.nome, depois + 1, tc ? e.texto_claro : e.iso, tc));

    std::size_t de = 0, ate = 0;
    if (const std::size_t n = achar_no_cabecalho(ls, "passo vertical da rosca", de, ate)) {
        for (const char* valor : {"0.00", "-1.00"}) {
            std::string l = ls.l[n - 1];
            l.replace(de, ate - de, valor);
            r.push_back(trocar_linha(std::string("passo do cabecalho ") + valor, n, l));
        }
    }
    if (const std::size_t n = achar_no_cabecalho(ls, "tempo de corte pelo percurso", de, ate)) {
        std::string l = ls.l[n - 1];
        if (numero_de(l.substr(de, ate - de)) >= 0.2) {
            l.replace(de, ate - de, "0.0");
            r.push_back(trocar_linha("tempo de corte do cabecalho 0", n, l));
        }
    }
    if (tc) {
        const std::size_t fim = achar_linha(ls, "END PGM");
        if (fim != 0) {
            Edicao e;
            e.nome = "sem END PGM";
            e.mudancas.push_back({Edicao::Tipo::remover, fim, "", false});
            e.linhas_esperadas = {fim - 1, fim};
            r.push_back(e);
        }
    }

    // After the preamble, or after the variables where they are set.
    std::size_t preambulo = tc ? achar_linha(ls, "CYCL DEF 9.1") : achar_linha(ls, "F");
    if (d.variaveis && t.ajuste_na_maquina()) {
        const Atribuicao desbastes = achar_atribuicao(ls, d.variavel_desbastes, d.atribuicao);
        if (desbastes.linha != 0) preambulo = desbastes.linha;
    }
    if (fanuc && preambulo != 0) r.push_back(inserir("G91 G52 X-10.", preambulo + 1, "G91 G52 X-10.", false));
    if (preambulo != 0 && (fanuc || comando == "siemens" || tc)) {
        const bool variavel = t.ajuste_na_maquina();
        const std::string se = fanuc       ? (variavel ? "IF [#101 EQ 2] GOTO 9001" : "IF [0 EQ 1] GOTO 9001")
                               : tc        ? (variavel ? "FN 9: IF +Q1601 EQU +2 GOTO LBL 9001" : "FN 9: IF +0 EQU +1 GOTO LBL 9001")
                               : variavel ? "IF R91==2 GOTOF N9001"
                                          : "IF 0==1 GOTOF N9001";
        r.push_back(inserir("salto para 9001 que nao existe", preambulo + 1, se, tc));
    }
    if (tc) {
        static const std::regex rotulo(R"(^\d+ LBL ([1-9]\d*)\s*$)");
        const std::size_t fim = achar_linha(ls, "END PGM");
        for (std::size_t i = 0; i < ls.l.size() && fim != 0; ++i) {
            std::smatch m;
            if (std::regex_match(ls.l[i], m, rotulo)) {
                r.push_back(inserir("LBL repetido", fim, "LBL " + m[1].str(), true));
                break;
            }
        }
    }
    if (d.variaveis && t.ajuste_na_maquina()) {
        const Atribuicao a = achar_atribuicao(ls, d.variavel_diametro, d.atribuicao);
        if (a.linha != 0) r.push_back(trocar_linha("Df da variavel 1.5 vezes o respondido", a.linha, com_valor(a, a.milesimos * 3 / 2)));
    }
    return r;
}

// --------------------------------------------------------------- verdicts

bool Veredito::nomeia(std::size_t linha) const {
    for (const Falha& f : falhas)
        if (std::find(f.linhas.begin(), f.linhas.end(), linha) != f.linhas.end()) return true;
    return false;
}

std::vector<std::string> Veredito::classes() const {
    static const std::regex numero(R"([-+]?[0-9]+(\.[0-9]+)?)"), extremo(R"(\b[XY] (MAX|MIN)\b)");
    std::vector<std::string> r;
    for (const Falha& f : falhas) {
        if (f.verificacao == 0) continue;  // the unreadable lines: check 1 says it
        // What failed, not the figures: the numbers out, the clause after
        // ";" (what was expected) out, the four extents as one.
        std::string forma = std::regex_replace(std::regex_replace(f.texto, numero, "#"), extremo, "X/Y MAX/MIN");
        forma = forma.substr(0, forma.find(';'));
        if (forma.size() > 110) forma = forma.substr(0, 107) + "...";
        const std::string c = std::to_string(f.verificacao) + ": " + forma;
        if (std::find(r.begin(), r.end(), c) == r.end()) r.push_back(c);
    }
    return r;
}

Veredito ler_veredito(int status, const std::string& saida) {
    static const std::regex titulo(R"(^ (\d+)\. .* (OK|FALHA|NAO AVALIADA|NAO SE APLICA)$)");
    static const std::regex com_linha(R"(^linha (\d+): (.*)$)");
    static const std::regex lista(R"(\d+)");
    Veredito v;
    v.status = status;
    v.tudo_confere = saida.find("Resultado: arquivo inteiro, tudo confere.") != std::string::npos;
    enum { antes, checagens, ilegiveis } parte = antes;
    bool na_falha = false;
    int entradas = 0;  // of the failure being read: its message, then notes and occurrences
    for (const std::string& l : linhas_de(saida)) {
        std::smatch m;
        if (l == "Verificacoes:") {
            parte = checagens;
            continue;
        }
        if (l.starts_with("Linhas que nao se leem")) {
            parte = ilegiveis;
            v.relato += l + "\n";
            v.falhas.push_back({0, "linhas que nao se leem", {}});
            continue;
        }
        if (parte == antes || l.empty()) {
            if (l.empty() && parte == ilegiveis) parte = antes;
            continue;
        }
        if (parte == ilegiveis) {
            v.relato += l + "\n";
            const std::string texto = l.substr(l.find_first_not_of(' '));
            if (std::regex_match(texto, m, com_linha)) v.falhas.back().linhas.push_back(std::stoull(m[1]));
            continue;
        }
        if (std::regex_match(l, m, titulo)) {
            na_falha = m[2] == "FALHA";
            entradas = 0;
            if (na_falha) {
                v.falhas.push_back({std::stoi(m[1]), "", {}});
                v.relato += l + "\n";
            }
            continue;
        }
        if (!na_falha || !l.starts_with("     ")) continue;
        v.relato += l + "\n";
        Veredito::Falha& f = v.falhas.back();
        const std::string texto = l.substr(5);
        if (std::regex_match(texto, m, com_linha)) {
            f.linhas.push_back(std::stoull(m[1]));
            if (++entradas == 1) f.texto = m[2];
        } else if (texto.starts_with("(") && texto.find("ocorrencias ao todo") != std::string::npos) {
            entradas += 2;
            const std::size_t k = texto.find("linhas ");
            if (k != std::string::npos) {
                const std::string resto = texto.substr(k, texto.find(" e mais") - k);
                for (auto i = std::sregex_iterator(resto.begin(), resto.end(), lista); i != std::sregex_iterator(); ++i)
                    f.linhas.push_back(std::stoull(i->str()));
            }
        } else if (entradas <= 1) {
            // The first message wrapped, or a failure of the whole file, which names no line.
            entradas = 1;
            if (!f.texto.empty()) f.texto += ' ';
            f.texto += texto;
        }
    }
    return v;
}

Veredito visualizar(const std::string& nome, const std::string& arquivo) {
    DiretorioTemporario d;
    gravar_arquivo(d / nome, arquivo);
    const ExecucaoVisualizador e = executar_visualizador(d.caminho(), {nome, "v.svg"});
    return ler_veredito(e.status, e.saida);
}

// ---------------------------------------------------------- reproductions

namespace {

// Text for a printf format: the line ends, tabs and % escaped.
std::string para_printf(const std::string& texto) {
    std::string r;
    for (char c : texto) {
        if (c == '\n') r += "\\n";
        else if (c == '\r') r += "\\r";
        else if (c == '\t') r += "\\t";
        else if (c == '%') r += "%%";
        else if (c == '\\') r += "\\\\";
        else if (c == '\'') r += "'\\''";
        else r += c;
    }
    return r;
}

}  // namespace

std::string reproducao(const Trabalho& t, const Edicao* e, const Veredito& v) {
    std::string r = t.origem == "conhecido" ? std::string("Caso conhecido\n")
                                            : "Trabalho " + std::to_string(t.indice) + " (" + t.origem + ")\n";
    r += "respostas, uma por linha:\n";
    for (const std::string& a : t.respostas) r += "  " + a + "\n";
    r += "opcoes: " + (t.opcoes.empty() ? std::string("nenhuma") : t.linha_de_comando()) + "\n";
    if (!t.furos.empty()) {
        r += "furos.txt:\n";
        for (const std::string& l : linhas_de(t.furos)) r += "  " + l + "\n";
    }
    if (e != nullptr) r += "edicao: " + e->descricao() + "\n";
    std::string respostas;
    for (const std::string& a : t.respostas) respostas += a + "\n";
    r += "para refazer:\n";
    r += "  printf '" + para_printf(respostas) + "' > respostas.txt\n";
    if (!t.furos.empty()) r += "  printf '" + para_printf(t.furos) + "' > furos.txt\n";
    r += "  '" ROSCA_BINARIO "' " + t.linha_de_comando() + " < respostas.txt > /dev/null\n";
    std::string visto = t.nome_arquivo();
    if (e != nullptr) {
        visto = "editado-" + visto;
        r += "  " + e->comando(t.nome_arquivo(), visto, t.comando() != "grbl") + "\n";
    }
    r += "  '" ROSCA_VISUALIZADOR "' " + visto + "\n";
    r += "visualizador: status " + std::to_string(v.status) + (v.tudo_confere ? ", tudo confere" : "") + "\n";
    r += v.relato;
    return r;
}

// ------------------------------------------------------------ the sweep

namespace {

std::uint64_t ler_variavel(const char* nome, std::uint64_t padrao) {
    const char* v = std::getenv(nome);
    if (v == nullptr || *v == '\0') return padrao;
    return std::strtoull(v, nullptr, 0);
}

}  // namespace

Parametros parametros(const char* variavel_quantos, std::size_t quantos) {
    Parametros p;
    p.semente = ler_variavel("ROSCA_SORTEIO_SEMENTE", 1);
    p.primeiro = ler_variavel("ROSCA_SORTEIO_PRIMEIRO", 0);
    p.quantos = static_cast<std::size_t>(ler_variavel(variavel_quantos, quantos));
    p.variavel_quantos = variavel_quantos;
    if (const char* r = std::getenv("ROSCA_SORTEIO_RELATORIO")) p.relatorio = r;
    return p;
}

std::string Parametros::ambiente_de(std::uint64_t indice) const {
    return "ROSCA_SORTEIO_SEMENTE=" + std::to_string(semente) + " ROSCA_SORTEIO_PRIMEIRO=" + std::to_string(indice) + " " +
           variavel_quantos + "=1";
}

void Classes::anotar(const std::string& classe, Caso caso) {
    ++contagens_[classe];
    std::vector<Caso>& c = classes_[classe];
    if (c.size() < guardados) {
        c.push_back(std::move(caso));
        return;
    }
    auto maior = std::max_element(c.begin(), c.end(), [](const Caso& a, const Caso& b) { return a.tamanho < b.tamanho; });
    if (caso.tamanho < maior->tamanho) *maior = std::move(caso);
}

void Classes::reduzir(const Refazer& refazer, std::size_t por_classe, int tentativas) {
    for (auto& [classe, casos] : classes_) {
        std::sort(casos.begin(), casos.end(), [](const Caso& a, const Caso& b) { return a.tamanho < b.tamanho; });
        if (casos.size() > por_classe) casos.resize(por_classe);
        for (Caso& c : casos) {
            const std::string alvo = classe;
            std::optional<Caso> melhor;
            const Trabalho menor = reduzir_trabalho(
                c.trabalho,
                [&](const Trabalho& candidato) {
                    std::optional<Caso> novo = refazer(candidato, c);
                    if (!novo || std::find(novo->classes.begin(), novo->classes.end(), alvo) == novo->classes.end())
                        return false;
                    melhor = std::move(novo);
                    return true;
                },
                tentativas);
            if (melhor && melhor->trabalho.resumo() == menor.resumo() && melhor->trabalho.furos == menor.furos) {
                const std::string de =
                    c.trabalho.origem == "sorteado" ? "sorteio " + std::to_string(c.trabalho.indice) : c.trabalho.origem;
                const bool reduzido = menor.resumo() != c.trabalho.resumo() || menor.furos != c.trabalho.furos;
                c = std::move(*melhor);
                if (reduzido) c.trabalho.origem = "reduzido de: " + de;
            }
        }
        // Two cases that came down to the same job are one.
        for (std::size_t i = 1; i < casos.size(); ++i)
            for (std::size_t k = 0; k < i; ++k)
                if (casos[k].trabalho.resumo() == casos[i].trabalho.resumo() && casos[k].trabalho.furos == casos[i].trabalho.furos) {
                    casos.erase(casos.begin() + static_cast<std::ptrdiff_t>(i--));
                    break;
                }
    }
}

std::string Classes::markdown() const {
    std::vector<std::pair<std::string, std::size_t>> ordem(contagens_.begin(), contagens_.end());
    std::stable_sort(ordem.begin(), ordem.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string r = "| # | casos | classe |\n|---:|---:|---|\n";
    for (std::size_t i = 0; i < ordem.size(); ++i)
        r += "| " + std::to_string(i + 1) + " | " + std::to_string(ordem[i].second) + " | `" + ordem[i].first + "` |\n";
    for (std::size_t i = 0; i < ordem.size(); ++i) {
        r += "\n#### " + std::to_string(i + 1) + ". `" + ordem[i].first + "` (" + std::to_string(ordem[i].second) + ")\n";
        const auto f = classes_.find(ordem[i].first);
        if (f == classes_.end()) continue;
        std::size_t n = 0;
        for (const Caso& c : f->second) {
            if (++n > 3) break;
            r += "\n- `" + c.trabalho.resumo() + "`";
            if (c.trabalho.origem != "sorteado") r += " (" + c.trabalho.origem + ")";
            else r += " (sorteio " + std::to_string(c.trabalho.indice) + ")";
            r += "\n";
            if (!c.trabalho.furos.empty()) {
                std::string furos = c.trabalho.furos;
                std::erase(furos, '\r');
                std::replace(furos.begin(), furos.end(), '\n', ';');
                r += "  furos.txt: `" + furos + "`\n";
            }
            if (c.com_edicao) r += "  edicao: " + c.edicao.descricao() + "\n";
            r += "  visualizador: status " + std::to_string(c.veredito.status) + "\n";
            if (!c.veredito.relato.empty()) {
                r += "  ```\n";
                for (const std::string& l : linhas_de(c.veredito.relato)) r += "  " + l + "\n";
                r += "  ```\n";
            }
        }
    }
    return r;
}

Trabalho reduzir_trabalho(const Trabalho& original, const std::function<bool(const Trabalho&)>& mesma, int tentativas) {
    Trabalho t = original;
    auto tentar = [&](const Trabalho& candidato) {
        if (tentativas <= 0 || (candidato.resumo() == t.resumo() && candidato.furos == t.furos)) return false;
        --tentativas;
        if (!mesma(candidato)) return false;
        t = candidato;
        return true;
    };
    for (bool mudou = true; mudou && tentativas > 0;) {
        mudou = false;
        // Each option with its value out.
        for (std::size_t i = 0; i < t.opcoes.size() && !mudou; ++i) {
            if (!t.opcoes[i].starts_with("--")) continue;
            std::size_t fim = i + 1;
            while (fim < t.opcoes.size() && !t.opcoes[fim].starts_with("--")) ++fim;
            Trabalho c = t;
            c.opcoes.erase(c.opcoes.begin() + static_cast<std::ptrdiff_t>(i), c.opcoes.begin() + static_cast<std::ptrdiff_t>(fim));
            if (!tem_opcao(c.opcoes, "--furos")) c.furos.clear();
            mudou = tentar(c);
        }
        // Each hole out but the last.
        const std::vector<std::string> furos = linhas_de(t.furos);
        for (std::size_t i = 0; furos.size() > 1 && i < furos.size() && !mudou; ++i) {
            Trabalho c = t;
            c.furos.clear();
            for (std::size_t k = 0; k < furos.size(); ++k)
                if (k != i) c.furos += furos[k] + "\n";
            mudou = tentar(c);
        }
        // Plainer answers: the angle, the hand, the speed, the feed, no
        // finishing step, a single pass, one turn.
        const std::size_t n = t.respostas.size();
        const std::size_t d = n >= 12 ? 2 : 0;  // the two radial steps
        std::vector<std::pair<std::size_t, std::string>> simples = {
            {7 + d, "0"}, {6 + d, "D"}, {8 + d, "1000"}, {9 + d, "200"}};
        if (n >= 12) simples.push_back({4, "0"});
        for (const auto& [i, valor] : simples) {
            if (mudou || i >= n || t.respostas[i] == valor) continue;
            Trabalho c = t;
            c.respostas[i] = valor;
            mudou = tentar(c);
        }
        if (!mudou && n >= 12) {
            Trabalho c = t;
            c.respostas[2] = "0";
            c.respostas.erase(c.respostas.begin() + 3, c.respostas.begin() + 5);
            mudou = tentar(c);
        }
        if (!mudou && 3 + d + 2 < n && numero_de(t.respostas[3 + d + 1]) > numero_de(t.respostas[3 + d + 2])) {
            Trabalho c = t;
            c.respostas[3 + d + 1] = c.respostas[3 + d + 2];
            mudou = tentar(c);
        }
    }
    return t;
}

void acrescentar_ao_relatorio(const Parametros& p, const std::string& texto) {
    if (p.relatorio.empty()) return;
    std::string atual = ler_arquivo(p.relatorio);
    gravar_arquivo(p.relatorio, atual + texto);
}
