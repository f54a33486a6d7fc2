// The path is decided once and only spelled by each dialect: the moves every
// dialect's writer is handed for the same job are the same, each dialect's
// words are the codes the viewer reads them by, and a helix with a tangent
// way in starts at the start angle answered, in every dialect.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "apoio/execucao.hpp"
#include "emissao/emissor.hpp"
#include "percurso/construir.hpp"
#include "planning/calcular_estimativas.hpp"
#include "planning/planejar_passes.hpp"
#include "vocabulario/codigos.hpp"
#include "vocabulario/dialeto.hpp"

namespace {

// Every verb as text, its numbers as the path gives them.
class Gravador final : public Verbos {
public:
    std::vector<std::string> verbos;
    // The same, with the arcs that follow one another about one centre in
    // one sense as one: a helix of several turns in one block and the same
    // helix in half turns are the same move.
    std::vector<std::string> juntos;

    void rapido(const Alvo& a, bool saindo) override { anotar("rapido", a, saindo ? 1 : 0); }
    void reta(const Alvo& a, Compensacao c) override { anotar("reta", a, static_cast<int>(c)); }
    void arco(const Alvo& fim, Ponto centro, double varredura) override {
        char t[128];
        std::snprintf(t, sizeof t, " centro %.9g %.9g giro %d varre %.6f", centro.x, centro.y, varredura > 0 ? 1 : -1,
                      varredura);
        anotar("arco", fim, 0);
        const std::string alvo = verbos.back();
        verbos.back() += t;
        const bool continua = arco_aberto_ && centro.x == centro_.x && centro.y == centro_.y &&
                              (varredura > 0) == (varredura_ > 0);
        if (continua) juntos.pop_back();
        varredura_ = continua ? varredura_ + varredura : varredura;
        arco_aberto_ = true;
        centro_ = centro;
        std::snprintf(t, sizeof t, " centro %.9g %.9g varre %.6f", centro.x, centro.y, varredura_);
        juntos.push_back(alvo + t);
    }
    void volta(std::int64_t n) override {
        verbos.push_back("volta " + std::to_string(n));
        juntos.push_back(verbos.back());
        arco_aberto_ = false;
    }

private:
    void anotar(const char* nome, const Alvo& a, int extra) {
        char t[160];
        std::snprintf(t, sizeof t, "%s %d %d %.9g %.9g %.9g %d %d %d", nome, a.tem_xy, a.tem_z, a.xy.x, a.xy.y,
                      a.profundidade, a.casas_xy, a.casas_z, extra);
        verbos.push_back(t);
        if (std::string_view(nome) != "arco") {
            juntos.push_back(t);
            arco_aberto_ = false;
        }
    }

    bool arco_aberto_ = false;
    Ponto centro_;
    double varredura_ = 0;
};

struct Trabalho {
    char tipo;
    float df, di, pl, pla, ferramenta, l, passo;
    char mao;
    float angulo;
};

DadosRosca planejado(const Trabalho& t) {
    DadosRosca d;
    d.tipo_rosca = t.tipo;
    d.Diametro_final = t.df;
    d.Diametro_inicial = t.di;
    d.passo_lateral = t.pl;
    d.passo_lateral_acabamento = t.pla;
    d.D_ferramenta = t.ferramenta;
    d.comprimento_rosca = t.l;
    d.passo_rosca = t.passo;
    d.sentido_rosca = t.mao;
    d.angulo_inicial = t.angulo;
    d.rotacao_spindle = 1000;
    d.feed_rate = 200;
    auto console = Console::em_memoria("");
    planejar_passes(d, *console);
    calcular_estimativas(d);
    return d;
}

Gravador verbos_de(const vocabulario::Dialeto& dialeto, const DadosRosca& d, const vocabulario::ModosCorte& modos) {
    std::string bytes;
    SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&bytes));
    Gravador g;
    Emissor emissor(dialeto, arquivo, OpcoesEmissao{.ouvinte = &g});
    OpcoesGeracao o;
    o.dialeto = &dialeto;
    o.modos = modos;
    emissor.passes(construir_percurso(d, o));
    return g;
}

TEST(Verbos, CadaDialetoRecebeOsMesmosMovimentos) {
    const Trabalho trabalhos[] = {{'I', 20, 17.5f, 0.5f, 0.1f, 14, 5, 2.5f, 'D', 0},
                                  {'E', 16.933f, 20, 0.5f, 0.1f, 14, 4, 2.5f, 'E', 45.5f},
                                  {'I', 10, 0, 0, 0, 8.5f, 3, 1.5f, 'E', 300},
                                  // 16 turns: more than one of Heidenhain's blocks of 15.
                                  {'I', 16, 14, 0.3f, 0.1f, 10, 32, 2, 'D', 10}};
    vocabulario::ModosCorte tangencial;
    tangencial.tangencial = true;
    tangencial.fresamento = vocabulario::Fresamento::concordante;
    vocabulario::ModosCorte compensacao;
    compensacao.corretor = 2;
    compensacao.fresamento = vocabulario::Fresamento::discordante;
    vocabulario::ModosCorte arcos;
    arcos.arcos = true;
    vocabulario::ModosCorte conica;
    conica.conicidade = 16;
    conica.repeticoes = 1;
    for (const Trabalho& t : trabalhos)
        for (const vocabulario::ModosCorte& pedidos : {vocabulario::ModosCorte{}, tangencial, compensacao, arcos, conica}) {
            const DadosRosca d = planejado(t);
            const Gravador padrao = verbos_de(vocabulario::padrao, d, pedidos);
            EXPECT_GT(padrao.verbos.size(), 8u);
            for (const vocabulario::Dialeto* dialeto : vocabulario::dialetos) {
                SCOPED_TRACE(std::string(dialeto->nome) + " " + t.tipo + std::to_string(t.angulo));
                const Gravador g = verbos_de(*dialeto, d, pedidos);
                // Arcs of at most half a turn: the very same verbs.
                if (dialeto->graus_por_arco == 180) {
                    EXPECT_EQ(g.verbos, padrao.verbos);
                }
                EXPECT_EQ(g.juntos, padrao.juntos);
                // Whole turns in one block: a pass's helix in as few as the dialect allows.
                if (pedidos.arcos || pedidos.compensacao()) {
                    const std::size_t blocos_helice = std::count_if(g.verbos.begin(), g.verbos.end(), [](const std::string& v) {
                        return v.starts_with("arco") && v.find(" centro 0 0 ") != std::string::npos;
                    });
                    const std::size_t passes = std::count_if(g.verbos.begin(), g.verbos.end(), [](const std::string& v) {
                        return v == "volta 1";
                    });
                    const double voltas = t.l / t.passo;
                    const double por_bloco = dialeto->graus_por_arco / 360;
                    EXPECT_EQ(blocos_helice, passes * static_cast<std::size_t>(std::ceil(voltas / por_bloco - 1e-9)));
                }
            }
        }
}

// The G number a dialect's word spells ("g00", "G0", "G00" are G 0).
int numero_da_palavra(std::string_view palavra) {
    if (palavra.size() < 2 || (palavra[0] != 'G' && palavra[0] != 'g')) return -1;
    return std::stoi(std::string(palavra.substr(1)));
}

TEST(Verbos, PalavrasDeCadaDialetoSaoOsCodigosDaTabela) {
    using vocabulario::Funcao;
    for (const vocabulario::Dialeto* d : vocabulario::dialetos) {
        SCOPED_TRACE(d->nome);
        // Plain language has no G words: its writer spells every block.
        if (d->linguagem != vocabulario::Linguagem::iso) continue;
        EXPECT_EQ(numero_da_palavra(d->rapido), vocabulario::numero_g(Funcao::rapido));
        EXPECT_EQ(numero_da_palavra(d->rapido_retracao), vocabulario::numero_g(Funcao::rapido));
        EXPECT_EQ(numero_da_palavra(d->corte), vocabulario::numero_g(Funcao::corte));
        EXPECT_EQ(numero_da_palavra(d->arco_horario), vocabulario::numero_g(Funcao::arco_horario));
        EXPECT_EQ(numero_da_palavra(d->arco_anti_horario), vocabulario::numero_g(Funcao::arco_anti_horario));
        EXPECT_EQ(numero_da_palavra(d->pausa), vocabulario::numero_g(Funcao::pausa));
        if (!d->compensacao_esquerda.empty()) {
            EXPECT_EQ(numero_da_palavra(d->compensacao_esquerda), vocabulario::numero_g(Funcao::compensacao_esquerda));
            EXPECT_EQ(numero_da_palavra(d->compensacao_direita), vocabulario::numero_g(Funcao::compensacao_direita));
            EXPECT_EQ(numero_da_palavra(d->compensacao_desliga), vocabulario::numero_g(Funcao::sem_compensacao));
        }
        if (!d->escala_liga.empty()) {
            EXPECT_EQ(numero_da_palavra(d->escala_liga), vocabulario::numero_g(Funcao::escala_liga));
            EXPECT_EQ(numero_da_palavra(d->escala_desliga), vocabulario::numero_g(Funcao::escala_desliga));
        }
        // Every word of the safe start is a code of the table.
        std::string_view seguro = d->seguro;
        while (!seguro.empty()) {
            const std::size_t fim = std::min(seguro.find(' '), seguro.size());
            bool conhecido = false;
            for (const vocabulario::CodigoG& c : vocabulario::codigos_g)
                conhecido = conhecido || c.numero == numero_da_palavra(seguro.substr(0, fim));
            EXPECT_TRUE(conhecido) << seguro.substr(0, fim);
            seguro.remove_prefix(std::min(fim + 1, seguro.size()));
        }
    }
}

// With a tangent way in the chords meet the face where every other file
// starts its helix: at 45.5 degrees, not at 45.
TEST(Verbos, EntradaTangencialComecaNoAnguloRespondidoEmCadaDialeto) {
    const std::string respostas = "I\n20\n0\n10\n2\n1\nD\n45.5\n1000\n200\n";
    for (const vocabulario::Dialeto* d : vocabulario::dialetos) {
        SCOPED_TRACE(d->nome);
        const Execucao e =
            executar_com_argumentos("--comando " + std::string(d->nome) + " --entrada-tangencial --saida p.nc", respostas);
        ASSERT_EQ(e.status, 0);
        const std::string& f = e.outros_conteudos.at("p.nc");
        const std::string x(d->x), y(d->y), z(d->z), corte(d->corte);
        // Plain language: the writer's own words, every number signed.
        const bool iso = d->linguagem == vocabulario::Linguagem::iso;
        EXPECT_NE(f.find(iso ? corte + " " + x + "3.505 " + y + "-3.566 " + z + "0.000" : " L X+3.505 Y-3.566 Z+0.000\r\n"),
                  std::string::npos)
            << f.substr(0, 3000);
        EXPECT_EQ(f.find(iso ? x + "3.536 " + y + "-3.536 " + z + "0.000" : "X+3.536 Y-3.536 Z+0.000"), std::string::npos);
    }
}

}  // namespace
