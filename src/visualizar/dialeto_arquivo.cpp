#include "visualizar/dialeto_arquivo.hpp"

#include <cctype>

namespace {

bool minusculo(std::string_view palavra) {
    return !palavra.empty() && std::islower(static_cast<unsigned char>(palavra[0])) != 0;
}

}  // namespace

bool pausa_plausivel(bool tem_p, double p, int por_segundo) {
    const double s = p / por_segundo;
    return tem_p && s >= pausa_minima_s && s <= pausa_maxima_s;
}

void DialetoArquivo::pausa(const Linha& l) {
    ++pausas_;
    // Each unit's first misfit kept now: which unit applies is known only
    // at the end of the file.
    const int unidades[2] = {1, 1000};
    for (std::size_t i = 0; i < 2; ++i) {
        if (pausa_plausivel(l.tem_p, l.p, unidades[i])) continue;
        if (fora_[i]++ == 0) primeira_fora_[i] = {l.numero, l.tem_p, l.p};
    }
}

const PausaLida* DialetoArquivo::pausa_implausivel(const vocabulario::Dialeto& d, std::uint64_t& fora) const {
    const std::size_t i = d.pausa_por_segundo == 1000 ? 1 : 0;
    fora = fora_[i];
    return fora_[i] > 0 ? &primeira_fora_[i] : nullptr;
}

std::vector<std::string> DialetoArquivo::diferencas(const vocabulario::Dialeto& d) const {
    std::vector<std::string> r;
    auto juntar = [&r](std::string item) { r.push_back(std::move(item)); };
    const std::uint16_t t = tracos_;
    const bool palavras = (t & traco_palavras) != 0;
    // What the file shows and the profile never writes.
    const bool minusculas = minusculo(d.corte);
    if (palavras && minusculas && !(t & traco_minusculas)) juntar("maiusculas");
    if (!minusculas && (t & traco_minusculas)) juntar("minusculas");
    const bool ponto_e_virgula = d.comentario == vocabulario::EstiloComentario::ponto_e_virgula;
    if (!ponto_e_virgula && (t & traco_ponto_e_virgula)) juntar("comentarios ;");
    if (ponto_e_virgula && (t & traco_parenteses)) juntar("comentarios ( )");
    if (t & traco_marca) {
        if (!d.enquadramento) juntar("%");
    } else if (d.enquadramento && palavras) {
        juntar("sem %");
    }
    if (t & traco_programa) {
        if (!d.enquadramento) juntar("O");
    } else if (d.enquadramento && palavras) {
        juntar("sem O");
    }
    // A dialect with variables numbers the block its IF ... GOTO jumps to.
    if ((t & traco_numero_bloco) && d.variavel_desbastes.empty()) juntar("N");
    if (d.escala_liga.empty()) {
        if (t & traco_escala) juntar("G51");
    } else if (palavras && !(t & traco_escala)) {
        juntar("sem " + std::string(d.escala_liga));
    }
    // Plain language against G words, and Sinumerik's own words.
    const bool texto_claro = d.linguagem == vocabulario::Linguagem::texto_claro;
    if (!texto_claro && (t & traco_texto_claro)) juntar("texto claro");
    if (texto_claro && palavras) juntar("palavras G");
    if (texto_claro && !(t & traco_texto_claro) && t != 0) juntar("sem texto claro");
    if (d.voltas.empty() && (t & traco_sinumerik)) juntar("palavras do Sinumerik");
    if (!d.voltas.empty() && palavras && !(t & traco_sinumerik)) juntar("sem palavras do Sinumerik");
    const bool g04 = d.pausa.size() == 3;
    if ((t & traco_pausa_g04) && !g04) juntar("G04");
    if ((t & traco_pausa_g4) && g04) juntar("G4");
    return r;
}

const vocabulario::Dialeto& DialetoArquivo::dialeto() const {
    // The fewest differences; on a tie the first listed, today's file first.
    const vocabulario::Dialeto* melhor = vocabulario::dialetos[0];
    std::size_t menos = static_cast<std::size_t>(-1);
    for (const vocabulario::Dialeto* d : vocabulario::dialetos) {
        const std::size_t n = diferencas(*d).size();
        if (n < menos) {
            menos = n;
            melhor = d;
        }
    }
    return *melhor;
}

std::string DialetoArquivo::nome() const {
    if (desconhecido()) return "nao reconhecido";
    const vocabulario::Dialeto& d = dialeto();
    std::string r(d.nome);
    const std::vector<std::string> dif = diferencas(d);
    for (std::size_t i = 0; i < dif.size(); ++i) r += (i == 0 ? " (editado: " : ", ") + dif[i];
    if (!dif.empty()) r += ")";
    return r;
}

// Plain language spells its moves with no G word: L, and F and S as they are.
std::string_view DialetoArquivo::palavra_corte() const {
    const vocabulario::Dialeto& d = dialeto();
    return d.corte.empty() ? "L" : d.corte;
}

std::string_view DialetoArquivo::palavra_avanco() const {
    const vocabulario::Dialeto& d = dialeto();
    return d.f.empty() ? "F" : d.f;
}

std::string_view DialetoArquivo::palavra_rotacao() const {
    const vocabulario::Dialeto& d = dialeto();
    return d.s.empty() ? "S" : d.s;
}
