#include "medidas/consulta.hpp"

#include "medidas/decimal.hpp"
#include "nucleo/juntar.hpp"
#include "medidas/tolerancia_iso965.hpp"

namespace {

constexpr std::int64_t menor_diametro_um = 1000;
constexpr std::int64_t maior_diametro_um = 1000000;
constexpr std::int64_t menor_passo_um = 100;
// No thread of these standards has a pitch above a quarter of its size (the
// steepest, M1 x 0.25, is exactly that): beyond it a slip of the keyboard is
// far likelier than a real thread.
constexpr std::int64_t maior_passo_por_diametro = 4;

// One micro-inch is 254 ten-millionths of a mm: the bounds in those units.
constexpr std::int64_t menor_diametro_254upol = menor_diametro_um * 10000;
constexpr std::int64_t maior_diametro_254upol = maior_diametro_um * 10000;
// 0.1 mm pitch: 254 threads per inch, in tenths.
constexpr std::int64_t maior_fios_decimos = 2540;

const char* nome_digitada(SerieDigitada s) {
    switch (s) {
        case SerieDigitada::unc: return "UNC";
        case SerieDigitada::unf: return "UNF";
        case SerieDigitada::unef: return "UNEF";
        case SerieDigitada::un: return "UN";
        case SerieDigitada::uns: return "UNS";
        case SerieDigitada::nenhuma: break;
    }
    return "";
}

std::optional<SerieUnificada> graduada(SerieDigitada s) {
    switch (s) {
        case SerieDigitada::unc: return SerieUnificada::unc;
        case SerieDigitada::unf: return SerieUnificada::unf;
        case SerieDigitada::unef: return SerieUnificada::unef;
        default: return std::nullopt;
    }
}

bool metrica(Consulta& c, std::string& erro) {
    Designacao& d = c.designacao;
    const std::string nome_m = juntar({"M", d.medida});
    if (d.diametro < menor_diametro_um || d.diametro > maior_diametro_um) {
        erro = "diametro fora do alcance de 1 a 1000 mm";
        return false;
    }
    c.iso261 = procurar_iso261(d.diametro);
    if (!d.tem_passo) {
        if (c.iso261 == nullptr || c.iso261->passo_grosso_um == 0) {
            erro = juntar({c.iso261 ? "sem passo grosso na ISO 261" : "diametro fora da ISO 261",
                           ": informe o passo (", nome_m, "xP)"});
            return false;
        }
        d.passo = c.iso261->passo_grosso_um;
    }
    const std::string passo = texto_enxuto(d.passo, 3);
    if (d.passo < menor_passo_um) {
        erro = "passo abaixo do minimo de 0.1 mm";
        return false;
    }
    if (d.passo * maior_passo_por_diametro > d.diametro) {
        erro = juntar({"passo acima de 1/4 do diametro (no maximo ",
                       texto_enxuto(d.diametro / maior_passo_por_diametro, 3), " mm)"});
        return false;
    }
    c.nome = d.tem_passo ? juntar({nome_m, "x", passo}) : nome_m;
    if (c.iso261 != nullptr) {
        c.passo_grosso = c.iso261->passo_grosso_um == d.passo;
        bool fino = false;
        for (auto p : c.iso261->passos_finos_um) fino = fino || (p != 0 && p == d.passo);
        c.normalizada = c.passo_grosso || fino;
    }
    c.perfil = perfil_metrico(d.diametro, d.passo);
    // A class typed must be one the standard gives figures for.
    std::string classes;
    for (const ClasseIso965* classe : {&d.classe_furo, &d.classe_parafuso}) {
        if (classe->posicao == 0) continue;
        Faixas faixas;
        if (!faixas_iso965(d.diametro, d.passo, c.perfil, *classe, faixas, erro)) return false;
        classes += juntar({classes.empty() ? "-" : "/", texto_classe(*classe)});
    }
    c.nome += classes;
    if (d.engate != 0) c.nome += juntar({"-", std::string_view(&d.engate, 1)});
    return true;
}

bool unificada(Consulta& c, std::string& erro) {
    Designacao& d = c.designacao;
    if (254 * d.diametro < menor_diametro_254upol || 254 * d.diametro > maior_diametro_254upol) {
        erro = "medida fora do alcance de 1 a 1000 mm";
        return false;
    }
    c.unificada = procurar_unificada(d.diametro);
    const auto pedida = graduada(d.serie);
    c.serie_pedida = pedida;
    if (!d.tem_passo) {
        const auto i = static_cast<std::size_t>(pedida.value_or(SerieUnificada::unc));
        if (!pedida || c.unificada == nullptr || c.unificada->fios_decimos[i] == 0) {
            erro = pedida ? juntar({"medida sem passo ", nome_digitada(d.serie),
                                    " na ASME B1.1: informe os fios"})
                          : juntar({"serie ", nome_digitada(d.serie),
                                    ": informe os fios por polegada (ex.: 1-8 UN)"});
            return false;
        }
        d.passo = c.unificada->fios_decimos[i];
    }
    const std::string fios = texto_enxuto(d.passo, 1);
    if (d.passo == 0) {
        erro = "zero fios por polegada";
        return false;
    }
    if (d.passo > maior_fios_decimos) {
        erro = "mais de 254 fios por polegada: passo abaixo de 0.1 mm";
        return false;
    }
    // Pitch 25.4 / n mm at most a quarter of 25.4 D: n D >= 4, here in tenths
    // of a thread and micro-inches.
    if (d.passo * d.diametro < maior_passo_por_diametro * 10 * 1000000) {
        erro = "passo acima de 1/4 da medida";
        return false;
    }
    if (c.unificada != nullptr) {
        for (int s = 0; s < series_unificadas; ++s)
            if (c.unificada->fios_decimos[static_cast<std::size_t>(s)] == d.passo)
                c.serie_do_passo = static_cast<SerieUnificada>(s);
    }
    c.normalizada = c.serie_do_passo && (!pedida || pedida == c.serie_do_passo);
    const char* serie = d.serie != SerieDigitada::nenhuma ? nome_digitada(d.serie)
                        : c.serie_do_passo              ? nome_serie(*c.serie_do_passo)
                                                        : "";
    c.nome = juntar({d.medida, "-", fios, *serie ? " " : "", serie});
    if (d.classe_furo_unificada != 0) c.nome += juntar({"-", texto_classe_unificada(d.classe_furo_unificada, true)});
    if (d.classe_parafuso_unificada != 0)
        c.nome += juntar({d.classe_furo_unificada != 0 ? "/" : "-",
                          texto_classe_unificada(d.classe_parafuso_unificada, false)});
    c.perfil = perfil_unificado(d.diametro, d.passo);
    return true;
}

bool tubo(Consulta& c, std::string& erro) {
    c.iso228 = procurar_iso228(c.designacao.diametro);
    if (c.iso228 == nullptr) {
        erro = "tamanho fora da ISO 228-1 (de G1/16 a G6)";
        return false;
    }
    c.designacao.tem_passo = true;
    c.designacao.passo = 10 * c.iso228->fios_por_polegada;
    c.nome = juntar({"G", c.designacao.medida});
    if (c.designacao.classe_tubo != 0) c.nome += juntar({" ", std::string_view(&c.designacao.classe_tubo, 1)});
    c.normalizada = true;
    c.perfil = perfil_iso228(*c.iso228);
    return true;
}

bool conica(Consulta& c, std::string& erro) {
    Designacao& d = c.designacao;
    if (d.conica == Conica::npt) {
        c.npt = procurar_npt(d.diametro);
        if (c.npt == nullptr) {
            erro = "tamanho fora da ASME B1.20.1 (NPT de 1/16 a 4)";
            return false;
        }
        if (d.tem_passo && d.passo != c.npt->fios_decimos) {
            erro = juntar({d.medida, " NPT tem ", texto_enxuto(c.npt->fios_decimos, 1), " fios por polegada"});
            return false;
        }
        d.passo = c.npt->fios_decimos;
        c.nome = juntar({d.medida, d.tem_passo ? juntar({"-", texto_enxuto(d.passo, 1)}) : "", " NPT"});
        d.tem_passo = true;
        c.perfil = perfil_unificado(d.diametro, d.passo);
        c.normalizada = true;
        return true;
    }
    c.iso7 = procurar_iso7(d.diametro);
    c.iso228 = procurar_iso228(d.diametro);
    if (c.iso7 == nullptr || c.iso228 == nullptr) {
        erro = "tamanho fora da ISO 7-1 (de 1/16 a 6)";
        return false;
    }
    d.tem_passo = true;
    d.passo = 10 * c.iso228->fios_por_polegada;
    const char* letra = d.conica == Conica::r ? "R " : d.conica == Conica::rc ? "Rc " : "Rp ";
    c.nome = juntar({letra, d.medida});
    c.perfil = perfil_iso228(*c.iso228);
    c.normalizada = true;
    return true;
}

}  // namespace

const char* nome_serie(SerieUnificada serie) {
    switch (serie) {
        case SerieUnificada::unc: return "UNC";
        case SerieUnificada::unf: return "UNF";
        case SerieUnificada::unef: return "UNEF";
    }
    return "";
}

bool consultar(std::string_view texto, Consulta& consulta, std::string& erro) {
    consulta = Consulta{};
    if (!ler_designacao(texto, consulta.designacao, erro)) return false;
    bool certo = false;
    switch (consulta.designacao.familia) {
        case Familia::metrica: certo = metrica(consulta, erro); break;
        case Familia::unificada: certo = unificada(consulta, erro); break;
        case Familia::tubo: certo = tubo(consulta, erro); break;
        case Familia::conica: certo = conica(consulta, erro); break;
    }
    // Written as each standard writes it: "M8x1-LH", "1/4-20 UNC-LH", "G1/2 A LH".
    if (certo && consulta.designacao.esquerda)
        consulta.nome += consulta.designacao.familia == Familia::tubo ||
                                 consulta.designacao.familia == Familia::conica
                             ? " LH"
                             : "-LH";
    return certo;
}
