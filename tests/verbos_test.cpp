// The path is decided once and only spelled by each dialect: the moves every
// dialect's writer is handed for the same job are the same, each dialect's
// words are the codes the viewer reads them by, and a helix with a tangent
// way in starts at the start angle answered, in every dialect.
#include <gtest/gtest.h>

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

    void rapido(const Alvo& a, bool saindo) override { anotar("rapido", a, saindo ? 1 : 0); }
    void reta(const Alvo& a, Compensacao c) override { anotar("reta", a, static_cast<int>(c)); }
    void arco(const Alvo& fim, Ponto centro, int giro) override {
        char t[96];
        std::snprintf(t, sizeof t, " centro %.9g %.9g giro %d", centro.x, centro.y, giro);
        anotar("arco", fim, 0);
        verbos.back() += t;
    }
    void volta(std::int64_t n) override { verbos.push_back("volta " + std::to_string(n)); }

private:
    void anotar(const char* nome, const Alvo& a, int extra) {
        char t[160];
        std::snprintf(t, sizeof t, "%s %d %d %.9g %.9g %.9g %d %d %d", nome, a.tem_xy, a.tem_z, a.xy.x, a.xy.y,
                      a.profundidade, a.casas_xy, a.casas_z, extra);
        verbos.push_back(t);
    }
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

std::vector<std::string> verbos_de(const vocabulario::Dialeto& dialeto, const DadosRosca& d,
                                   const vocabulario::ModosCorte& modos) {
    std::string bytes;
    SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&bytes));
    Gravador g;
    Emissor emissor(dialeto, arquivo, OpcoesEmissao{.ouvinte = &g});
    OpcoesGeracao o;
    o.dialeto = &dialeto;
    o.modos = modos;
    emissor.passes(construir_percurso(d, o));
    return g.verbos;
}

TEST(Verbos, CadaDialetoRecebeOsMesmosMovimentos) {
    const Trabalho trabalhos[] = {{'I', 20, 17.5f, 0.5f, 0.1f, 14, 5, 2.5f, 'D', 0},
                                  {'E', 16.933f, 20, 0.5f, 0.1f, 14, 4, 2.5f, 'E', 45.5f},
                                  {'I', 10, 0, 0, 0, 8.5f, 3, 1.5f, 'E', 300}};
    vocabulario::ModosCorte tangencial;
    tangencial.tangencial = true;
    tangencial.fresamento = vocabulario::Fresamento::concordante;
    vocabulario::ModosCorte compensacao;
    compensacao.corretor = 2;
    compensacao.fresamento = vocabulario::Fresamento::discordante;
    vocabulario::ModosCorte conica;
    conica.conicidade = 16;
    conica.repeticoes = 1;
    for (const Trabalho& t : trabalhos)
        for (const vocabulario::ModosCorte& pedidos : {vocabulario::ModosCorte{}, tangencial, compensacao, conica}) {
            const DadosRosca d = planejado(t);
            const std::vector<std::string> padrao = verbos_de(vocabulario::padrao, d, pedidos);
            EXPECT_GT(padrao.size(), 8u);
            for (const vocabulario::Dialeto* dialeto : vocabulario::dialetos)
                EXPECT_EQ(verbos_de(*dialeto, d, pedidos), padrao) << dialeto->nome << " " << t.tipo << t.angulo;
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
        EXPECT_NE(f.find(corte + " " + x + "3.505 " + y + "-3.566 " + z + "0.000"), std::string::npos) << f.substr(0, 3000);
        EXPECT_EQ(f.find(x + "3.536 " + y + "-3.536 " + z + "0.000"), std::string::npos);
    }
}

}  // namespace
