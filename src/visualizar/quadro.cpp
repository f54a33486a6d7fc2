#include "visualizar/quadro.hpp"

#include <cmath>

#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/geometria.hpp"
#include "vocabulario/regras.hpp"

const std::array<const char*, Quadro::colunas_passe> Quadro::titulos_passe = {
    "Passe", "Diametro", "Raio medido", "Voltas", "Movimentos", "Z de / ate"};

namespace {

std::string valor(const Valor& v, const char* unidade = "") {
    if (!v.presente()) return "-";
    return formatar("%.*f%s", v.decimais, v.v, unidade);
}

std::string inteiro(std::uint64_t n) { return formatar("%llu", static_cast<unsigned long long>(n)); }

const char* nome_sentido(int giro) {
    return giro > 0 ? "esquerda (anti-horario)" : giro < 0 ? "direita (horario)" : "-";
}

// Turns of a pass: of its arcs, or one per 360 chords.
long long voltas(const Passe& p) {
    if (p.arcos > 0) {
        const double v = std::ceil(p.voltas_feitas() - 1e-6);
        return v < 9e18 ? static_cast<long long>(v) : 9000000000000000000LL;
    }
    return static_cast<long long>((p.movimentos + vocabulario::passos_por_volta - 1) / vocabulario::passos_por_volta);
}

std::array<std::string, Quadro::colunas_passe> linha_passe(const Passe& p) {
    // A start of several is named with its number after its pass's.
    std::string numero = p.numero >= 0 ? formatar("%lld", static_cast<long long>(p.numero)) : std::string("?");
    if (p.numero_entrada > 0) numero += formatar(" (%lld)", static_cast<long long>(p.numero_entrada));
    return {numero,
            valor(p.diametro),
            formatar("%.3f", p.raio()),
            formatar("%lld", voltas(p)),
            inteiro(p.movimentos),
            formatar("%.3f / %.3f", p.z_max, p.z_min)};
}

}  // namespace

int giro_da_mao(const Passe& p) {
    const int g = giro_medido(p);
    if (g == 0) return 0;
    // A pass run up turns the other way about the axis than its hand face down.
    return g == vocabulario::giro(true, p.sobe) ? vocabulario::giro(true, false) : vocabulario::giro(false, false);
}

int giro_medido(const Passe& p) {
    if (p.topo.size() < 2) return 0;
    const double giro = static_cast<double>(p.topo[0].a) * p.topo[1].b - static_cast<double>(p.topo[0].b) * p.topo[1].a;
    return giro > 0 ? 1 : giro < 0 ? -1 : 0;
}

const char* nome_estado(Estado estado) {
    switch (estado) {
        case Estado::ok: return "OK";
        case Estado::falha: return "FALHA";
        case Estado::nao_avaliada: return "NAO AVALIADA";
        case Estado::nao_se_aplica: return "NAO SE APLICA";
    }
    return "";
}

Quadro montar_quadro(const Modelo& m) {
    Quadro q;
    const Cabecalho& c = m.cabecalho;
    q.rosca = std::string("Rosca ") + (c.interna() ? "INTERNA" : c.externa() ? "EXTERNA" : "de tipo desconhecido") +
              ", " + (c.sentido == 'D' ? "direita (sentido horario)" : c.sentido == 'E' ? "esquerda (sentido anti-horario)" : "sentido desconhecido");

    // Passes kept by the model; when some were left out, a gap row marks where.
    for (std::size_t i = 0; i < m.retidos.size(); ++i) q.passes.push_back(linha_passe(m.retidos[i]));
    q.passes_nao_mostrados = m.passes - m.retidos.size();

    const Passe* primeiro = m.retidos.empty() ? nullptr : &m.retidos.front();
    const Passe* ultimo = m.ultimo_passe();

    q.totais.push_back({"Linhas", inteiro(m.linhas)});
    q.totais.push_back({"Passes", inteiro(m.passes)});
    const std::string corte(m.dialeto.palavra_corte()), avanco(m.dialeto.palavra_avanco()),
        rotacao(m.dialeto.palavra_rotacao());
    q.totais.push_back({"Movimentos de corte (" + corte + ")", inteiro(m.movimentos)});
    q.totais.push_back({"Movimentos rapidos", inteiro(m.rapidos)});
    q.totais.push_back({"Comprimento do corte", formatar("%.1f mm", m.comprimento)});
    // Each move at the feed in force: a pass may have a feed of its own.
    const std::string tempo = std::isfinite(m.minutos) && m.comprimento > 0 ? formatar("%.1f min", m.minutos)
                                                                             : std::string("-");
    q.totais.push_back({"Tempo de corte (avanco " + avanco + ")", tempo});
    q.tempo_corte = tempo;
    if (m.extremos.tem) {
        q.totais.push_back({"X de / ate", formatar("%.3f / %.3f", m.extremos.x_min, m.extremos.x_max)});
        q.totais.push_back({"Y de / ate", formatar("%.3f / %.3f", m.extremos.y_min, m.extremos.y_max)});
    }
    if (c.interna() && c.ferramenta.presente() && m.extremos.tem)
        q.totais.push_back({"Diametro usinado medido", formatar("%.3f mm", m.extremos.x_max - m.extremos.x_min + c.ferramenta.v)});

    auto comparar = [&q](std::string rotulo, std::string cab, std::string perc) {
        q.comparacoes.push_back({std::move(rotulo), std::move(cab), std::move(perc)});
    };
    comparar("Tipo e sentido", c.interna() ? "interna" : c.externa() ? "externa" : "-",
             primeiro ? nome_sentido(giro_da_mao(*primeiro)) : "-");
    q.comparacoes.back().cabecalho += c.sentido == 'D' ? ", direita" : c.sentido == 'E' ? ", esquerda" : "";
    comparar("Df (diametro final)", valor(c.Df, " mm"), ultimo ? "ultimo passe " + valor(ultimo->diametro, " mm") : "-");
    comparar("Di (diametro inicial)", c.Di_desabilitado ? "desabilitado" : valor(c.Di, " mm"),
             primeiro ? "primeiro passe " + valor(primeiro->diametro, " mm") : "-");
    // A pass of several starts or revolutions is as many helices.
    const std::uint64_t helices = helices_por_passe(c);
    comparar("Passes", c.np < 0 ? std::string("-") : formatar("np %lld", static_cast<long long>(c.np)),
             helices > 1 ? formatar("%llu (%llu por passe)", static_cast<unsigned long long>(m.passes),
                                    static_cast<unsigned long long>(helices))
                         : inteiro(m.passes));
    comparar("L (comprimento)", valor(c.L, " mm"), ultimo ? formatar("Z ate %.3f", ultimo->z_min) : "-");
    std::string passo = "-";
    if (ultimo && (ultimo->arcos > 0 || ultimo->movimentos > 1)) {
        const double giros = ultimo->voltas_feitas();
        // From the face (a first move from the air comes down to it), or from the thread length up.
        const double inicio = std::min(ultimo->antes.z, 0.0);
        if (giros > 0) passo = formatar("%.4f mm por volta", std::fabs(ultimo->ultimo.z - inicio) / giros);
    }
    comparar("p (passo)", valor(c.p, " mm"), passo);
    std::string ferramenta = "-";
    if (c.compensacao())
        ferramenta = formatar("D%lld, no comando", static_cast<long long>(c.modos.corretor));
    else if (ultimo && ultimo->diametro.presente() && (c.interna() || c.externa()))
        ferramenta = formatar("%.3f mm", c.interna() ? ultimo->diametro.v - 2 * ultimo->raio()
                                                     : 2 * ultimo->raio() - ultimo->diametro.v);
    comparar("Ferramenta", valor(c.ferramenta, " mm"), ferramenta);
    std::string angulo = "-";
    if (primeiro && primeiro->tem_inicio) {
        // The generator's angles turn with the hand (a right hand without one).
        const int sentido = vocabulario::giro(c.sentido != 'E', false);
        // From the thread length up the helix meets the face where the pass ends.
        const Ponto3& face = primeiro->sobe ? primeiro->ultimo : primeiro->antes;
        double a = std::atan2(sentido * face.y, face.x) * graus_por_radiano;
        if (a < -0.0005) a += 360;
        // A start a hair short of a whole turn (a control's own arc end) is 0, not 360.
        if (a >= 360 - 0.005) a -= 360;
        angulo = formatar("%.2f graus", std::fabs(a) < 0.005 ? 0.0 : a);
    }
    comparar("Angulo inicial", valor(c.angulo_inicial, " graus"), angulo);
    comparar("Rotacao S", valor(c.S, " rpm"), m.preambulo.tem_s ? rotacao + formatar("%.0f", m.preambulo.s) : std::string("-"));
    comparar("Avanco F", valor(c.F, " mm/min"), m.preambulo.tem_f ? avanco + formatar("%.0f", m.preambulo.f) : std::string("-"));
    comparar("Tempo de usinagem", valor(c.tempo, " min"), tempo);
    if (c.interna())
        comparar("Diametro usinado", valor(m.extensoes.diametro, " mm"),
                 c.ferramenta.presente() && m.extremos.tem
                     ? formatar("%.3f mm", m.extremos.x_max - m.extremos.x_min + c.ferramenta.v)
                     : std::string("-"));
    return q;
}
