#include "medidas/designacao.hpp"

#include <array>

#include "medidas/decimal.hpp"
#include "nucleo/juntar.hpp"

namespace {

constexpr std::int64_t upol_por_polegada = 1000000;
constexpr int casas_mm = 3;  // metric sizes and pitches: micrometres
constexpr int casas_polegada = 4;  // decimal inch sizes: ten-thousandths, as tabulated
constexpr int casas_fios = 1;  // threads per inch: 4.5 is the one fraction in use
constexpr int maior_numerada = 12;

bool branco(char c) { return c == ' ' || c == '\t'; }
bool algarismo(char c) { return c >= '0' && c <= '9'; }
bool letra(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char maiuscula(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

class Leitor {
public:
    explicit Leitor(std::string_view texto) : texto_(texto) {}

    char atual() const { return pos_ < texto_.size() ? texto_[pos_] : '\0'; }
    bool no_fim() const { return pos_ >= texto_.size(); }
    void avancar() { ++pos_; }
    void pular_brancos() {
        while (!no_fim() && branco(atual())) ++pos_;
    }
    std::string_view resto() const { return texto_.substr(pos_); }

    // A number; `falta` is the message when there is none, `nome` prefixes
    // what is wrong with the digits ("passo: casas decimais demais").
    bool numero(int casas, const char* falta, const char* nome, std::int64_t& valor,
                std::string& erro) {
        if (!algarismo(atual())) {
            erro = falta;
            return false;
        }
        if (ler_decimal(texto_, pos_, casas, valor, erro)) return true;
        erro = juntar({nome, ": ", erro});
        return false;
    }

private:
    std::string_view texto_;
    std::size_t pos_ = 0;
};

std::string sobra(std::string_view resto) {
    return juntar({"texto a mais depois da designacao: \"", texto_mostravel(resto, 12), "\""});
}

bool letras_iguais(std::string_view texto, std::string_view maiusculas) {
    if (texto.size() != maiusculas.size()) return false;
    for (std::size_t i = 0; i < texto.size(); ++i)
        if (maiuscula(texto[i]) != maiusculas[i]) return false;
    return true;
}

// The letters from the reader's position on: "UNC-2A" gives "UNC".
std::string_view palavra(const Leitor& l) {
    const std::string_view resto = l.resto();
    std::size_t n = 0;
    while (n < resto.size() && letra(resto[n])) ++n;
    return resto.substr(0, n);
}

// "LH", "-LH" or " LH" closing a designation: a left-hand thread.
void mao_esquerda(Leitor& l, Designacao& d) {
    Leitor adiante = l;
    adiante.pular_brancos();
    if (adiante.atual() == '-') adiante.avancar();
    adiante.pular_brancos();
    if (!letras_iguais(palavra(adiante), "LH")) return;
    adiante.avancar();
    adiante.avancar();
    d.esquerda = true;
    l = adiante;
}

bool fim_da_designacao(Leitor& l, Designacao& d, std::string& erro) {
    mao_esquerda(l, d);
    l.pular_brancos();
    if (l.no_fim()) return true;
    erro = sobra(l.resto());
    return false;
}

// A fraction of an inch after its numerator: "/4". Denominators are the
// binary ones of inch sizes, so the result is exact in micro-inches.
bool fracao(Leitor& l, std::int64_t numerador, std::int64_t& upol, std::string& erro) {
    l.avancar();  // '/'
    std::int64_t denominador = 0;
    if (!l.numero(0, "falta o denominador da fracao", "fracao", denominador, erro)) return false;
    constexpr std::array<std::int64_t, 6> denominadores{2, 4, 8, 16, 32, 64};
    bool aceito = false;
    for (auto d : denominadores) aceito = aceito || d == denominador;
    if (!aceito) {
        erro = "denominador invalido: use 2, 4, 8, 16, 32 ou 64";
        return false;
    }
    if (numerador == 0) {
        erro = "fracao de polegada igual a zero";
        return false;
    }
    upol = numerador * (upol_por_polegada / denominador);
    return true;
}

// An inch size: "2", "1/4", "1 1/4", or, when `decimal`, "0.25".
bool medida_polegadas(Leitor& l, bool decimal, std::int64_t& upol, std::string& erro) {
    Leitor adiante = l;
    std::int64_t inteiro = 0;
    if (!adiante.numero(0, "falta a medida em polegadas", "medida", inteiro, erro)) return false;
    if (adiante.atual() == '/') {
        l = adiante;
        return fracao(l, inteiro, upol, erro);
    }
    if (adiante.atual() == '.' || adiante.atual() == ',') {
        if (!decimal) {
            erro = "medida de tubo em fracao, sem ponto (ex.: G1/2)";
            return false;
        }
        std::int64_t dez_milesimos = 0;
        if (!l.numero(casas_polegada, "", "medida", dez_milesimos, erro)) return false;
        upol = dez_milesimos * (upol_por_polegada / 10000);
        return true;
    }
    l = adiante;
    upol = inteiro * upol_por_polegada;
    // "1 1/4" or "1-1/4": a blank or a hyphen, then digits and a slash, is the
    // fraction of a mixed number; "1-8" is one inch and eight threads.
    Leitor misto = l;
    if (misto.atual() == '-') {
        Leitor fracao_adiante = misto;
        fracao_adiante.avancar();
        fracao_adiante.pular_brancos();
        std::int64_t numero = 0;
        std::string ignorado;
        if (!algarismo(fracao_adiante.atual()) ||
            !fracao_adiante.numero(0, "", "", numero, ignorado) || fracao_adiante.atual() != '/')
            return true;
        misto.avancar();
    }
    misto.pular_brancos();
    if (!algarismo(misto.atual())) return true;
    std::int64_t numerador = 0;
    if (!misto.numero(0, "", "fracao", numerador, erro)) return false;
    if (misto.atual() != '/') {
        erro = "medida em polegadas mal escrita (ex.: 1 1/4)";
        return false;
    }
    std::int64_t parte = 0;
    if (!fracao(misto, numerador, parte, erro)) return false;
    if (parte >= upol_por_polegada) {
        erro = "fracao de polegada maior que 1 depois do inteiro";
        return false;
    }
    upol += parte;
    l = misto;
    return true;
}

// One side of an ISO 965-1 class after its first digit: "6H", "5g6g".
bool lado_iso965(Leitor& l, Designacao& d, std::string& erro) {
    ClasseIso965 classe;
    classe.grau_flanco = l.atual() - '0';
    l.avancar();
    if (algarismo(l.atual())) {
        erro = "grau com dois algarismos: o grau e um so (ex.: 6g, 5g6g)";
        return false;
    }
    const char posicao = l.atual();
    constexpr std::string_view posicoes = "GHefgh";
    if (!letra(posicao)) {
        erro = juntar({"classe \"", std::to_string(classe.grau_flanco),
                       "\" incompleta: falta a posicao (ex.: 6H, 6g)"});
        return false;
    }
    if (posicoes.find(posicao) == std::string_view::npos) {
        erro = juntar({"posicao \"", std::string_view(&posicao, 1),
                       "\" desconhecida (G, H no furo; e, f, g, h no parafuso)"});
        return false;
    }
    l.avancar();
    classe.posicao = posicao;
    classe.grau_crista = classe.grau_flanco;
    if (algarismo(l.atual())) {
        classe.grau_crista = l.atual() - '0';
        l.avancar();
        if (l.atual() != posicao) {
            erro = "classe mal escrita: a mesma posicao duas vezes (ex.: 5H6H, 5g6g)";
            return false;
        }
        l.avancar();
    }
    const bool furo = posicao == 'G' || posicao == 'H';
    // ISO 965-1 grades the nut 4 to 8, the screw's pitch diameter 3 to 9
    // (3h4h, 9g8g).
    if (!furo && (classe.grau_flanco < 3 || classe.grau_flanco > 9)) {
        erro = juntar({"grau ", std::to_string(classe.grau_flanco), " fora de 3 a 9 no flanco do parafuso"});
        return false;
    }
    for (int grau : {classe.grau_flanco, classe.grau_crista}) {
        if (furo && (grau < 4 || grau > 8)) {
            erro = juntar({"grau ", std::to_string(grau), " fora de 4 a 8"});
            return false;
        }
    }
    // ISO 965-1 grades the screw's major diameter 4, 6 and 8 only.
    if (!furo && classe.grau_crista % 2 != 0) {
        erro = juntar({"grau ", std::to_string(classe.grau_crista),
                       " nao existe no diametro maior do parafuso (4, 6 ou 8)"});
        return false;
    }
    ClasseIso965& lado = furo ? d.classe_furo : d.classe_parafuso;
    if (lado.posicao != 0) {
        erro = furo ? "duas classes de furo (ex.: 6H/6g)" : "duas classes de parafuso (ex.: 6H/6g)";
        return false;
    }
    lado = classe;
    return true;
}

// The length of engagement group of ISO 965-1 after a hyphen: "-S", "-N",
// "-L". Returns it, or 0 with the reader where it was.
char grupo_de_engate(Leitor& l) {
    Leitor adiante = l;
    adiante.pular_brancos();
    if (adiante.atual() != '-') return 0;
    adiante.avancar();
    adiante.pular_brancos();
    const std::string_view letras = palavra(adiante);
    if (letras.size() != 1) return 0;
    const char grupo = maiuscula(letras[0]);
    if (grupo != 'S' && grupo != 'N' && grupo != 'L') return 0;
    adiante.avancar();
    l = adiante;
    return grupo;
}

// "-6H", "-6g", "-6H/6g", "-5g6g" after the size or the pitch, then the
// length of engagement group: "-5h6h-S", "-6g-L".
bool classe_iso965(Leitor& l, Designacao& d, std::string& erro) {
    Leitor adiante = l;
    adiante.pular_brancos();
    if (adiante.atual() != '-') return true;
    adiante.avancar();
    adiante.pular_brancos();
    if (!algarismo(adiante.atual())) {
        // "-LH", or text the end refuses; a group with no class is named.
        Leitor grupo = l;
        if (grupo_de_engate(grupo) != 0) {
            erro = "engate S, N ou L so depois da classe (ex.: M12-6g-L)";
            return false;
        }
        return true;
    }
    l = adiante;
    if (!lado_iso965(l, d, erro)) return false;
    if (l.atual() == '/') {
        l.avancar();
        if (!algarismo(l.atual())) {
            erro = "falta a segunda classe depois de / (ex.: 6H/6g)";
            return false;
        }
        if (!lado_iso965(l, d, erro)) return false;
    }
    d.engate = grupo_de_engate(l);
    return true;
}

// "-2A", " 2B", "-2B/2A" after a Unified designation.
bool lado_unificado(Leitor& l, Designacao& d, std::string& erro) {
    const char numero = l.atual();
    l.avancar();
    if (algarismo(l.atual())) {
        erro = "classe com dois algarismos (1A a 3A, 1B a 3B)";
        return false;
    }
    const char lado = maiuscula(l.atual());
    if (!letra(lado)) {
        erro = juntar({"classe \"", std::string_view(&numero, 1),
                       "\" incompleta: falta A (parafuso) ou B (furo)"});
        return false;
    }
    if (numero < '1' || numero > '3' || (lado != 'A' && lado != 'B')) {
        const char classe[] = {numero, lado};
        erro = juntar({"classe ", std::string_view(classe, 2),
                       " inexistente (1A, 2A, 3A no parafuso; 1B, 2B, 3B no furo)"});
        return false;
    }
    l.avancar();
    int& classe = lado == 'B' ? d.classe_furo_unificada : d.classe_parafuso_unificada;
    if (classe != 0) {
        erro = "duas classes do mesmo lado (ex.: 2B/2A)";
        return false;
    }
    classe = numero - '0';
    return true;
}

bool classe_unificada(Leitor& l, Designacao& d, std::string& erro) {
    Leitor adiante = l;
    adiante.pular_brancos();
    if (adiante.atual() == '-') adiante.avancar();
    adiante.pular_brancos();
    if (!algarismo(adiante.atual())) return true;
    l = adiante;
    if (!lado_unificado(l, d, erro)) return false;
    if (l.atual() != '/') return true;
    l.avancar();
    if (!algarismo(l.atual())) {
        erro = "falta a segunda classe depois de / (ex.: 2B/2A)";
        return false;
    }
    return lado_unificado(l, d, erro);
}

bool metrica(Leitor& l, Designacao& d, std::string& erro) {
    d.familia = Familia::metrica;
    l.pular_brancos();
    if (!l.numero(casas_mm, "falta o diametro depois de M", "diametro", d.diametro, erro)) return false;
    d.medida = texto_enxuto(d.diametro, casas_mm);
    l.pular_brancos();
    if (maiuscula(l.atual()) == 'X') {
        l.avancar();
        l.pular_brancos();
        if (l.atual() == '-' || l.atual() == '+') {
            Leitor sinal = l;
            sinal.avancar();
            sinal.pular_brancos();
            if (algarismo(sinal.atual())) {
                erro = l.atual() == '-' ? "passo negativo: o passo vai sem sinal (ex.: M20x2)"
                                        : "passo com sinal: o passo vai sem sinal (ex.: M20x2)";
                return false;
            }
        }
        if (!l.numero(casas_mm, "falta o passo depois de x", "passo", d.passo, erro)) return false;
        d.tem_passo = true;
    }
    if (!classe_iso965(l, d, erro)) return false;
    return fim_da_designacao(l, d, erro);
}

bool tubo(Leitor& l, Designacao& d, std::string& erro) {
    d.familia = Familia::tubo;
    l.pular_brancos();
    if (!algarismo(l.atual())) {
        erro = "falta a medida depois de G (ex.: G1/2)";
        return false;
    }
    if (!medida_polegadas(l, false, d.diametro, erro)) return false;
    d.medida = texto_polegadas(d.diametro);
    // ISO 228-1 grades the external thread A or B: "G3/4A", "G3/4 B", "G3/4-B".
    Leitor classe = l;
    classe.pular_brancos();
    const bool hifen = classe.atual() == '-';
    if (hifen) {
        classe.avancar();
        classe.pular_brancos();
    }
    const std::string_view letras = palavra(classe);
    if (letras_iguais(letras, "A") || letras_iguais(letras, "B")) {
        d.classe_tubo = maiuscula(letras[0]);
        classe.avancar();
        l = classe;
    } else if (hifen && !letras.empty() && !letras_iguais(letras, "LH")) {
        erro = juntar({"classe \"", texto_mostravel(letras, 6),
                       "\" do tubo desconhecida: A ou B no parafuso (ex.: G1/2 A)"});
        return false;
    }
    return fim_da_designacao(l, d, erro);
}

// "R 1/2", "Rc 1/2", "Rp 1/2" after the R.
bool iso7(Leitor& l, Designacao& d, std::string& erro) {
    d.familia = Familia::conica;
    d.conica = Conica::r;
    const char c = maiuscula(l.atual());
    if (c == 'C' || c == 'P') {
        d.conica = c == 'C' ? Conica::rc : Conica::rp;
        l.avancar();
    }
    l.pular_brancos();
    if (!algarismo(l.atual())) {
        erro = d.conica == Conica::r ? "falta a medida depois de R (ex.: R 1/2, Rc 1/2, Rp 1/2)"
                                     : "falta a medida depois de Rc ou Rp (ex.: Rc 1/2)";
        return false;
    }
    if (!medida_polegadas(l, false, d.diametro, erro)) return false;
    d.medida = texto_polegadas(d.diametro);
    return fim_da_designacao(l, d, erro);
}

bool serie(std::string_view nome, SerieDigitada& s) {
    constexpr std::array<std::pair<std::string_view, SerieDigitada>, 5> nomes{{
        {"UNC", SerieDigitada::unc},
        {"UNF", SerieDigitada::unf},
        {"UNEF", SerieDigitada::unef},
        {"UN", SerieDigitada::un},
        {"UNS", SerieDigitada::uns},
    }};
    for (const auto& [texto, valor] : nomes) {
        if (letras_iguais(nome, texto)) {
            s = valor;
            return true;
        }
    }
    return false;
}

// "4 1/2" threads per inch, as 2-4 1/2 UNC is written: a blank, then digits
// and a slash after the whole threads. Halves are the only fraction in use.
bool meio_fio(Leitor& l, Designacao& d, std::string& erro) {
    Leitor adiante = l;
    adiante.pular_brancos();
    std::int64_t numerador = 0, denominador = 0;
    std::string ignorado;
    if (!algarismo(adiante.atual()) || !adiante.numero(0, "", "", numerador, ignorado) || adiante.atual() != '/')
        return true;
    adiante.avancar();
    if (!adiante.numero(0, "falta o denominador da fracao", "fracao", denominador, erro)) return false;
    if (numerador != 1 || denominador != 2) {
        erro = "fios por polegada em fracao: so meio (ex.: 2-4 1/2 UNC)";
        return false;
    }
    if (d.passo % 10 != 0) {
        erro = "fios por polegada com decimais e fracao juntos";
        return false;
    }
    d.passo += 5;
    l = adiante;
    return true;
}

bool unificada(Leitor& l, Designacao& d, std::string& erro) {
    d.familia = Familia::unificada;
    if (l.atual() == '#') {
        l.avancar();
        l.pular_brancos();
        std::int64_t numero = 0;
        if (!l.numero(0, "falta o numero da medida depois de #", "medida", numero, erro)) return false;
        if (numero > maior_numerada) {
            erro = juntar({"medida numerada #", std::to_string(numero), " (existem de #0 a #12)"});
            return false;
        }
        d.numerada = true;
        d.diametro = 60000 + 13000 * numero;  // 0.060 + 0.013 N inch
        d.medida = juntar({"#", std::to_string(numero)});
    } else {
        if (!medida_polegadas(l, true, d.diametro, erro)) return false;
        d.medida = texto_polegadas(d.diametro);
    }
    l.pular_brancos();
    if (maiuscula(l.atual()) == 'X') {
        erro = "rosca metrica comeca por M (ex.: M20x1.5)";
        return false;
    }
    if (l.atual() == '-') {
        l.avancar();
        l.pular_brancos();
        if (!l.numero(casas_fios, "faltam os fios por polegada depois de -", "fios por polegada",
                      d.passo, erro))
            return false;
        d.tem_passo = true;
        if (!meio_fio(l, d, erro)) return false;
        l.pular_brancos();
    }
    const std::string_view nome = palavra(l);
    if (letras_iguais(nome, "NPT")) {
        d.familia = Familia::conica;
        d.conica = Conica::npt;
        for (std::size_t i = 0; i < nome.size(); ++i) l.avancar();
        return fim_da_designacao(l, d, erro);
    }
    if (!nome.empty() && !letras_iguais(nome, "LH")) {
        if (!serie(nome, d.serie)) {
            erro = juntar({"serie \"", nome.substr(0, 6), "\" desconhecida (UNC, UNF, UNEF, UN, UNS)"});
            return false;
        }
        for (std::size_t i = 0; i < nome.size(); ++i) l.avancar();
    }
    if (!classe_unificada(l, d, erro)) return false;
    if (!fim_da_designacao(l, d, erro)) return false;
    if (!d.tem_passo && d.serie == SerieDigitada::nenhuma) {
        erro = "faltam os fios por polegada (ex.: 1/4-20 UNC)";
        return false;
    }
    return true;
}

}  // namespace

bool ler_designacao(std::string_view texto, Designacao& designacao, std::string& erro) {
    designacao = Designacao{};
    if (texto.size() > max_designacao) {
        erro = juntar({"designacao longa demais (mais de ", std::to_string(max_designacao), " caracteres)"});
        return false;
    }
    Leitor l(texto);
    l.pular_brancos();
    const char c = maiuscula(l.atual());
    if (l.no_fim()) {
        erro = "designacao vazia (ex.: M20x2.5, 1/4-20 UNC, G1/2)";
        return false;
    }
    if (c == 'M') {
        l.avancar();
        return metrica(l, designacao, erro);
    }
    if (c == 'G') {
        l.avancar();
        return tubo(l, designacao, erro);
    }
    if (c == 'R') {
        l.avancar();
        return iso7(l, designacao, erro);
    }
    if (c == '#' || algarismo(c)) return unificada(l, designacao, erro);
    if (letras_iguais(palavra(l), "NPT")) {
        erro = "falta a medida antes de NPT (ex.: 1/2 NPT)";
        return false;
    }
    erro = "comece por M (metrica), G ou R (tubo) ou a medida em polegadas";
    return false;
}

std::string texto_classe(const ClasseIso965& classe) {
    const std::string um = juntar({std::to_string(classe.grau_flanco), std::string_view(&classe.posicao, 1)});
    if (classe.grau_crista == classe.grau_flanco) return um;
    return juntar({um, std::to_string(classe.grau_crista), std::string_view(&classe.posicao, 1)});
}

std::string texto_classe_unificada(int classe, bool interna) {
    return juntar({std::to_string(classe), interna ? "B" : "A"});
}

std::string texto_mostravel(std::string_view texto, std::size_t maximo) {
    std::string mostrado;
    for (char c : texto.substr(0, maximo)) mostrado += (c >= ' ' && c <= '~') ? c : '?';
    if (texto.size() > maximo) mostrado += "...";
    return mostrado;
}

std::string texto_polegadas(std::int64_t upol) {
    constexpr std::int64_t sexagesimo_quarto = upol_por_polegada / 64;
    if (upol % sexagesimo_quarto != 0) return texto_enxuto(upol / 100, casas_polegada);
    const std::int64_t inteiro = upol / upol_por_polegada;
    std::int64_t numerador = upol % upol_por_polegada / sexagesimo_quarto;
    std::int64_t denominador = 64;
    if (numerador == 0) return std::to_string(inteiro);
    while (numerador % 2 == 0) {
        numerador /= 2;
        denominador /= 2;
    }
    const std::string parte = juntar({std::to_string(numerador), "/", std::to_string(denominador)});
    return inteiro == 0 ? parte : juntar({std::to_string(inteiro), " ", parte});
}
