// Seeded random jobs over every dialect and option: each file the generator
// writes, and each edit an operator may make to it, the viewer accepts;
// each edit that makes the file unfit to run, the viewer fails at its line.
//
// ROSCA_SORTEIO_SEMENTE, ROSCA_SORTEIO_QUANTOS and ROSCA_SORTEIO_EDICOES
// make a bigger sweep, ROSCA_SORTEIO_PRIMEIRO starts it at a given draw;
// tests/varredura.sh runs a few thousand jobs into a report of the classes
// of failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "apoio/execucao.hpp"
#include "apoio/sorteio.hpp"
#include "apoio/visualizacao.hpp"

namespace {

// ---------------------------------------------------------- the harness

TEST(Sorteio, OsSorteiosSaoOsMesmosEmQualquerPlataforma) {
    // The standard fixes the 10000th word of the default-seeded generator.
    std::mt19937_64 padrao;
    padrao.discard(9999);
    EXPECT_EQ(padrao(), 9981545732273789042ull);
    // Draws made from its words by integer arithmetic alone: fixed values.
    Sorteio s(7);
    std::string vistos;
    for (int i = 0; i < 8; ++i) vistos += std::to_string(s.entre(-3, 1000)) + " ";
    EXPECT_EQ(vistos, "412 479 763 679 290 633 782 783 ");
    EXPECT_EQ(semente_do_sorteio(1, 0), 10451216379200822465ull);
    // And so the jobs of a seed: the sixth of seed 1, with its holes.
    const Trabalho sexto = sortear_trabalho(1, 5);
    EXPECT_EQ(sexto.resumo(), "E 20.22 0 12.77 2.893 3.1 D 79.284 4957 895 --comando fanuc --concordante --furos furos.txt "
                              "--saida p.nc");
    EXPECT_EQ(sexto.furos, "114.8 77.7\n116.5 -0.4\n240.4 -49.1\n-114.2 49.5\n");
    // One draw is made again alone, and the next is another job.
    const Trabalho a = sortear_trabalho(1, 5), b = sortear_trabalho(1, 5), c = sortear_trabalho(1, 6);
    EXPECT_EQ(a.resumo(), b.resumo());
    EXPECT_EQ(a.furos, b.furos);
    EXPECT_NE(a.resumo(), c.resumo());
}

TEST(Sorteio, NumerosDigitadosComAsCasasSorteadas) {
    EXPECT_EQ((Numero{20112, 3}).texto(), "20.112");
    EXPECT_EQ((Numero{20500, 3}).texto(), "20.5");
    EXPECT_EQ((Numero{4, 4}).texto(), "0.0004");
    EXPECT_EQ((Numero{-105, 1}).texto(), "-10.5");
    EXPECT_EQ((Numero{0, 2}).texto(), "0");
    Sorteio s(3);
    for (int i = 0; i < 2000; ++i) {
        const Numero n = sortear_numero(s, 0.35, 4, 2);
        ASSERT_GE(n.unidades, 35);
        ASSERT_LE(n.unidades, 400);
    }
    // Every value of a small range comes up.
    std::set<long long> vistos;
    for (int i = 0; i < 500; ++i) vistos.insert(s.entre(1, 6));
    EXPECT_EQ(vistos.size(), 6u);
}

// A plain-language program in miniature: block numbers from 0.
const char* const programa_tnc =
    "0 BEGIN PGM P MM\r\n"
    "1 L Z+0.000 F200\r\n"
    "2 L X+5.000 Y+0.000 Z-0.100\r\n"
    "3 L X+4.999 Y-0.087 Z-0.200\r\n"
    "4 L X+4.996 Y-0.174 Z-0.300\r\n"
    "5 L Z+5 R0 FMAX M30\r\n"
    "6 END PGM P MM\r\n";

TEST(Sorteio, EdicoesNasLinhasCertasEOComandoQueAsRefaz) {
    Edicao e;
    e.nome = "teste";
    e.mudancas = {{Edicao::Tipo::inserir, 4, "3 L M5", true}, {Edicao::Tipo::trocar, 1, "0 BEGIN PGM Q MM", false},
                  {Edicao::Tipo::remover, 8, "", false}};
    const std::string editado = e.aplicar(programa_tnc);
    EXPECT_EQ(editado,
              "0 BEGIN PGM Q MM\r\n1 L Z+0.000 F200\r\n2 L X+5.000 Y+0.000 Z-0.100\r\n3 L M5\r\n"
              "4 L X+4.999 Y-0.087 Z-0.200\r\n5 L X+4.996 Y-0.174 Z-0.300\r\n6 L Z+5 R0 FMAX M30\r\n");
    // The shell command a reproduction prints makes the same bytes.
    DiretorioTemporario d;
    gravar_arquivo(d / "p.h", programa_tnc);
    ASSERT_EQ(std::system(("cd '" + d.caminho() + "' && " + e.comando("p.h", "e.h", true)).c_str()), 0);
    EXPECT_EQ(ler_arquivo(d / "e.h"), editado);
    // Lines ending in LF alone stay so.
    Edicao lf;
    lf.mudancas = {{Edicao::Tipo::inserir, 2, "M5", false}};
    gravar_arquivo(d / "g.nc", "G1 Z-1\nG1 Z-2\n");
    ASSERT_EQ(std::system(("cd '" + d.caminho() + "' && " + lf.comando("g.nc", "f.nc", false)).c_str()), 0);
    EXPECT_EQ(ler_arquivo(d / "f.nc"), lf.aplicar("G1 Z-1\nG1 Z-2\n"));
    EXPECT_EQ(lf.aplicar("G1 Z-1\nG1 Z-2\n"), "G1 Z-1\nM5\nG1 Z-2\n");
}

TEST(Sorteio, EdicoesRuinsNoMeioDaHeliceENoCabecalho) {
    // L 0.3: every move of programa_tnc's helix but the last ends inside it.
    Trabalho t = trabalho_de("I 20 0 10 0.3 1 D 0 1000 200 --comando heidenhain --ajuste-na-maquina");
    Sorteio s(1);
    for (const Edicao& e : edicoes_ruins(t, programa_tnc, s)) {
        if (e.nome.find("no meio da helice") == std::string::npos) continue;
        ASSERT_EQ(e.mudancas.size(), 1u) << e.nome;
        // After line 3 (Z-0.1, the first move below the face): between two helix moves.
        EXPECT_EQ(e.mudancas[0].linha, 4u) << e.nome;
        EXPECT_TRUE(e.mudancas[0].texto.starts_with("3 ")) << e.mudancas[0].texto;
        EXPECT_EQ(e.linhas_esperadas, std::vector<std::size_t>{4}) << e.nome;
    }
    const std::string tempo = ";p-Passo Vertical da rosca (1 fio): 2.50 [mm]\r\n;Tempo de corte pelo percurso: 1.4 minutos\r\n";
    const std::string cabecalho = tempo + "#<_diametro_final> = 20.000 ;mude aqui\r\n#<_desbastes> = 1 ;1 faz\r\n";
    t = trabalho_de("I 20 17.5 0.5 0.1 14 3 2.5 D 0 2728 163.7 --comando linuxcnc --ajuste-na-maquina");
    std::set<std::string> feitas;
    for (const Edicao& e : edicoes_ruins(t, cabecalho, s)) feitas.insert(e.aplicar(cabecalho));
    EXPECT_TRUE(feitas.count(";p-Passo Vertical da rosca (1 fio): -1.00 [mm]\r\n" + cabecalho.substr(47)));
    EXPECT_TRUE(feitas.count(tempo.substr(0, 78) + "0.0 minutos\r\n" + cabecalho.substr(tempo.size())));
    EXPECT_TRUE(feitas.count(tempo + "#<_diametro_final> = 30.000 ;mude aqui\r\n#<_desbastes> = 1 ;1 faz\r\n"));
    feitas.clear();
    for (const Edicao& e : edicoes_de_ajuste(t, cabecalho, s)) feitas.insert(e.aplicar(cabecalho));
    EXPECT_TRUE(feitas.count(tempo + "#<_diametro_final> = 19.950 ;mude aqui\r\n#<_desbastes> = 1 ;1 faz\r\n"));
    EXPECT_TRUE(feitas.count(tempo + "#<_diametro_final> = 20.050 ;mude aqui\r\n#<_desbastes> = 0 ;1 faz\r\n"));
    EXPECT_TRUE(feitas.count(tempo + "#<_diametro_final> = 20.000 ;mude aqui\r\n#<_desbastes> = 0 ;1 faz\r\n"));
    EXPECT_EQ(feitas.size(), 5u);
    const auto longe = mudar_diametro(t, cabecalho, 10000, "30");
    ASSERT_TRUE(longe.has_value());
    EXPECT_EQ(longe->mudancas[0].texto, "#<_diametro_final> = 30.000 ;mude aqui");
    EXPECT_EQ(longe->linhas_esperadas, std::vector<std::size_t>{3});
}

TEST(Sorteio, OVereditoDoVisualizadorLinhaALinha) {
    const std::string saida =
        "Verificacoes:\n"
        " 1. Arquivo completo e legivel .......................................... FALHA\n"
        "     linha 1821: o arquivo termina sem M30: incompleto (cortado ou recusado)\n"
        " 2. Pontos de cada passe num circulo em torno do eixo ................... FALHA\n"
        "     linha 102: ponto a 2.1784 mm do eixo; o passe (linha 47) esta a 2.1333 mm,\n"
        "     tolerancia 0.0014 mm\n"
        "     (24 ocorrencias ao todo: linhas 102, 192, 195 e mais 21)\n"
        " 5. Diametro usinado e furo ..................................... NAO SE APLICA\n"
        "     (rosca externa)\n"
        " 6. Preambulo e movimentos rapidos ...................................... FALHA\n"
        "     linha 40: primeiro\n"
        "     linha 41: segundo, que continua\n"
        "     na linha de baixo\n"
        "\n"
        "Linhas que nao se leem: 1\n"
        "  linha 7: G1 X1 lixo\n"
        "\n"
        "Imagem gravada: v.svg\n"
        "Resultado: ATENCAO - ha falhas; confira antes de usinar.\n";
    const Veredito v = ler_veredito(1, saida);
    EXPECT_FALSE(v.tudo_confere);
    for (std::size_t l : {1821u, 102u, 192u, 195u, 40u, 41u, 7u}) EXPECT_TRUE(v.nomeia(l)) << l;
    for (std::size_t l : {47u, 21u, 24u, 0u}) EXPECT_FALSE(v.nomeia(l)) << l;
    EXPECT_EQ(v.classes(), (std::vector<std::string>{
                               "1: o arquivo termina sem M#: incompleto (cortado ou recusado)",
                               "2: ponto a # mm do eixo",
                               "6: primeiro"}));
    EXPECT_EQ(v.relato.find("NAO SE APLICA"), std::string::npos);
    EXPECT_NE(v.relato.find("  linha 7: G1 X1 lixo"), std::string::npos);
    EXPECT_TRUE(ler_veredito(0, "Resultado: arquivo inteiro, tudo confere.\n").tudo_confere);
    // The four extents are one class.
    for (const char* extremo : {"X MAX = 3.51", "Y MIN = -1.80"})
        EXPECT_EQ(ler_veredito(1, std::string("Verificacoes:\n 5. Diametro usinado e furo ...... FALHA\n     linha 70: ") +
                                      extremo + " no comentario; os movimentos dao -4.301\n")
                      .classes(),
                  std::vector<std::string>{"5: X/Y MAX/MIN = # no comentario"});
}

// ------------------------------------------------------------ the sweeps

using Relogio = std::chrono::steady_clock;

std::string segundos_desde(Relogio::time_point inicio) {
    char t[32];
    std::snprintf(t, sizeof t, "%.1f s", std::chrono::duration<double>(Relogio::now() - inicio).count());
    return t;
}

// The failures a sweep prints in full; the rest are counted in their classes.
constexpr int falhas_mostradas = 25;

struct Contagem {
    std::size_t sorteados = 0, recusados_opcoes = 0, recusados_respostas = 0, grandes = 0, validos = 0;
    std::string texto() const {
        return std::to_string(sorteados) + " sorteados: " + std::to_string(validos) + " validos, " +
               std::to_string(recusados_opcoes) + " recusados pelas opcoes (status 2), " +
               std::to_string(recusados_respostas) + " pelas respostas (status 1), " + std::to_string(grandes) +
               " de mais de 1 MB";
    }
};

// The job's file when the generator takes it: its refusals are counted and
// skipped; any other status is a fault of its own.
std::optional<std::string> arquivo_valido(const Trabalho& t, Contagem& c, const Parametros& p) {
    ++c.sorteados;
    const Geracao g = gerar(t);
    if (g.status == 2) ++c.recusados_opcoes;
    else if (g.status == 1) ++c.recusados_respostas;
    else if (g.status != 0) ADD_FAILURE() << "o gerador terminou com status " << g.status << "\n" << g.erros
                                          << reproducao(t, nullptr, {}) << p.ambiente_de(t.indice);
    else if (g.arquivo.size() >= 1000000) ++c.grandes;
    else return g.arquivo;
    return std::nullopt;
}

bool aceito(const Veredito& v) { return v.status == 0 && v.tudo_confere; }

std::string juntar_classes(const std::vector<std::string>& classes, const std::vector<std::string>& sem = {}) {
    std::string r;
    for (const std::string& c : classes)
        if (std::find(sem.begin(), sem.end(), c) == sem.end()) r += (r.empty() ? "`" : ", `") + c + "`";
    return r;
}

std::vector<std::string> com_prefixo(const std::string& prefixo, const std::vector<std::string>& classes,
                                     const std::vector<std::string>& sem = {}) {
    std::vector<std::string> r;
    for (const std::string& c : classes)
        if (std::find(sem.begin(), sem.end(), c) == sem.end()) r.push_back(prefixo + " | " + c);
    return r;
}

// The edits to a job's file are drawn from a generator of their own.
Sorteio sorteio_das_edicoes(const Parametros& p, const Trabalho& t) {
    return Sorteio(semente_do_sorteio(p.semente, t.indice) ^ 0x5eed0fed17ull);
}

// Good files the viewer rejected when these sweeps were written, each the
// first case of the sweep of good files and listed apart in its report.
struct Conhecido {
    const char* resumo;
    const char* furos;
    long long milesimos;  // the final diameter edited by this much; 0: the file as written
};
const Conhecido conhecidos[] = {
    {"I 20.112 17.5 0.5 0.1 14 20 2.5 D 0 2728 163.7 --comando linuxcnc --arcos --ajuste-na-maquina", "", 40},
    {"E 16.806 0 14 20 2.5 D 0 2728 163.7 --comando linuxcnc --entrada-tangencial", "", 0},
    {"I 20 0 10 2 1 D 0 1000 200 --furos furos.txt", "0.0004 0\n", 0},
    {"I 16 0 5.98 1 2 D 45.5 3000 200 --arcos", "", 0},
    {"E 20 0 10 2 1 D 0 1000 200 --conica --ajuste-na-maquina --comando linuxcnc", "", 0},
    {"E 20 0 10 2 1 D 0 1000 200 --conica --ajuste-na-maquina --comando fanuc", "", 0},
    {"E 20 0 10 2 1 D 0 1000 200 --conica --ajuste-na-maquina --comando siemens", "", 0},
    {"I 12 9.33 0.87 0.558 8.03 0.5 1.25 E 0 8000 0.05 --compensacao desgaste", "", 0},
    {"E 10 11.695 0.46 0.355 5.82 2 1.25 D 0 3000 0.05 --entradas 6", "", 0},
};

const char* const opcoes_do_help[] = {"--comando",           "--arcos",         "--concordante",
                                      "--discordante",        "--entrada-tangencial", "--compensacao",
                                      "--repetir-acabamento", "--avanco-na-aresta",   "--conica",
                                      "--conicidade",         "--perfis",             "--entradas",
                                      "--passes-de-area-igual", "--furos",            "--ajuste-na-maquina",
                                      "--ferramenta",         "--programa"};

TEST(VisualizarPropriedadesPontaAPonta, ArquivosSorteadosEOsAjustesDoOperadorConferem) {
    const Parametros p = parametros("ROSCA_SORTEIO_QUANTOS", 150);
    const auto inicio = Relogio::now();
    Contagem c;
    Classes classes;
    std::size_t rejeitados = 0;
    std::map<std::string, std::size_t> ajustes_feitos, ajustes_rejeitados;
    int mostradas = 0;
    std::set<std::string> vistas;  // options and dialects of the valid jobs
    std::string conhecidos_vistos;

    // A case the viewer should have accepted.
    auto rejeitado = [&](const Trabalho& t, const Edicao* e, const Veredito& v, const std::vector<std::string>& novas,
                         std::size_t tamanho) {
        if (++mostradas <= falhas_mostradas)
            ADD_FAILURE() << "o visualizador rejeitou um arquivo bom\n"
                          << reproducao(t, e, v) << (t.origem == "sorteado" ? p.ambiente_de(t.indice) + "\n" : "");
        Classes::Caso caso{t, e != nullptr, e != nullptr ? *e : Edicao{}, v, novas, tamanho};
        for (const std::string& k : novas) classes.anotar(k, caso);
    };
    // The file and each operator's edit of it: what each adds to the classes of the file as written.
    auto conferir = [&](const Trabalho& t, const std::string& arquivo, const std::vector<Edicao>& edicoes) {
        const Veredito v = visualizar(t.nome_arquivo(), arquivo);
        const std::vector<std::string> proprias = v.classes();
        std::string r = "aceito";
        if (!aceito(v)) {
            ++rejeitados;
            rejeitado(t, nullptr, v, com_prefixo("gerado", proprias), arquivo.size());
            r = "rejeitado (" + juntar_classes(proprias) + ")";
        }
        for (const Edicao& e : edicoes) {
            ++ajustes_feitos[e.nome];
            const Veredito ve = visualizar(t.nome_arquivo(), e.aplicar(arquivo));
            if (aceito(ve)) continue;
            ++ajustes_rejeitados[e.nome];
            // Only what the edit adds to the file's own failures is the edit's.
            const std::vector<std::string> novas = com_prefixo("ajustado", ve.classes(), proprias);
            r += "; " + e.nome + ": rejeitado" + (novas.empty() ? "" : " (" + juntar_classes(ve.classes(), proprias) + ")");
            rejeitado(t, &e, ve, novas, arquivo.size());
        }
        return r;
    };

    if (p.primeiro == 0) {
        for (const Conhecido& k : conhecidos) {
            Trabalho t = trabalho_de(k.resumo, k.furos);
            t.origem = "conhecido";
            const Geracao g = gerar(t);
            ASSERT_EQ(g.status, 0) << k.resumo << "\n" << g.erros;
            std::vector<Edicao> edicoes;
            if (k.milesimos != 0) edicoes.push_back(*mudar_diametro(t, g.arquivo, k.milesimos, "Df editado"));
            std::string furos = k.furos;
            std::replace(furos.begin(), furos.end(), '\n', ';');
            conhecidos_vistos += "- `" + t.resumo() + "`" + (furos.empty() ? "" : " furos.txt `" + furos + "`") +
                                 (k.milesimos != 0 ? " com Df editado" : "") + ": " + conferir(t, g.arquivo, edicoes) +
                                 "\n";
        }
    }
    for (std::uint64_t i = p.primeiro; c.validos < p.quantos && i < p.primeiro + 20 * p.quantos + 100; ++i) {
        const Trabalho t = sortear_trabalho(p.semente, i);
        const std::optional<std::string> arquivo = arquivo_valido(t, c, p);
        if (!arquivo) continue;
        ++c.validos;
        vistas.insert("--comando " + t.comando());
        if (t.origem != "sorteado") vistas.insert("--medidas");
        for (const std::string& o : t.opcoes)
            if (o.starts_with("--")) vistas.insert(o.substr(0, o.find('=')));
        Sorteio s = sorteio_das_edicoes(p, t);
        conferir(t, *arquivo, edicoes_de_ajuste(t, *arquivo, s));
    }
    EXPECT_EQ(c.validos, p.quantos) << c.texto();
    if (mostradas > falhas_mostradas) {
        std::string resumo;
        for (const auto& [classe, n] : classes.contagens()) resumo += "  " + std::to_string(n) + "  " + classe + "\n";
        ADD_FAILURE() << mostradas - falhas_mostradas << " rejeicoes mais; por classe:\n" << resumo;
    }
    // Every dialect and every option of --help among the valid jobs of the default sweep.
    if (p.primeiro == 0 && p.quantos >= 150) {
        for (const char* o : opcoes_do_help) EXPECT_TRUE(vistas.count(o)) << o;
        for (const char* d : {"padrao", "linuxcnc", "grbl", "fanuc", "heidenhain", "siemens"})
            EXPECT_TRUE(vistas.count(std::string("--comando ") + d)) << d;
        EXPECT_TRUE(vistas.count("--medidas"));
    }
    std::size_t ajustes = 0, ajustes_recusados = 0;
    std::string tabela = "| ajuste | feitos | rejeitados |\n|---|---:|---:|\n";
    for (const auto& [nome, n] : ajustes_feitos) {
        ajustes += n;
        ajustes_recusados += ajustes_rejeitados[nome];
        tabela += "| " + nome + " | " + std::to_string(n) + " | " + std::to_string(ajustes_rejeitados[nome]) + " |\n";
    }
    const std::string resumo = c.texto() + "; " + std::to_string(rejeitados) + " arquivos rejeitados pelo visualizador; " +
                               std::to_string(ajustes) + " ajustes do operador, " + std::to_string(ajustes_recusados) +
                               " rejeitados; " + segundos_desde(inicio);
    std::printf("[ sorteio  ] %s\n", resumo.c_str());

    if (!p.relatorio.empty()) {
        classes.reduzir(
            [&](const Trabalho& menor, const Classes::Caso& original) -> std::optional<Classes::Caso> {
                const Geracao g = gerar(menor);
                if (g.status != 0) return std::nullopt;
                const Veredito v = visualizar(menor.nome_arquivo(), g.arquivo);
                if (!original.com_edicao) return Classes::Caso{menor, false, {}, v, com_prefixo("gerado", v.classes()), g.arquivo.size()};
                Sorteio s = sorteio_das_edicoes(p, menor);
                for (const Edicao& e : edicoes_de_ajuste(menor, g.arquivo, s)) {
                    if (e.nome != original.edicao.nome) continue;
                    const Veredito ve = visualizar(menor.nome_arquivo(), e.aplicar(g.arquivo));
                    return Classes::Caso{menor, true, e, ve, com_prefixo("ajustado", ve.classes(), v.classes()), g.arquivo.size()};
                }
                return std::nullopt;
            },
            2, 30);
        acrescentar_ao_relatorio(
            p, "## Arquivos bons e ajustes do operador\n\n" + resumo + " (semente " + std::to_string(p.semente) +
                   ").\n\n" + tabela +
                   "\nCada classe e uma verificacao do visualizador com a forma da sua mensagem (os numeros como #, sem"
                   " o que vem depois de \";\"), para o arquivo como foi gerado ou depois de um ajuste do operador; um"
                   " arquivo conta em cada classe em que cai, um ajuste so no que acrescenta as falhas do arquivo gerado."
                   " Os casos abaixo de cada classe sao os menores achados, reduzidos (opcoes tiradas, respostas"
                   " simplificadas) enquanto ficam na classe.\n\n### Casos conhecidos\n\n" +
                   conhecidos_vistos + "\n### Classes\n\n" + classes.markdown() + "\n");
    }
}

TEST(VisualizarPropriedadesPontaAPonta, EdicoesQueEstragamOArquivoFalhamNaSuaLinha) {
    const Parametros p = parametros("ROSCA_SORTEIO_EDICOES", 40);
    const auto inicio = Relogio::now();
    Contagem c;
    Classes classes;
    struct PorEdicao {
        std::size_t feitas = 0, nomeadas = 0, passam = 0;
        std::map<std::string, std::size_t> como;  // the failures that name the line
    };
    std::map<std::string, PorEdicao> por_edicao;
    int mostradas = 0;
    std::size_t edicoes = 0;

    // Empty when the viewer fails the edit at its line; else the edit's
    // kind and what the viewer did: let it pass (status 0, or only the
    // failures the file had before the edit), or failed elsewhere, with the
    // first failure the edit brought.
    auto julgar = [](const Edicao& e, const Veredito& v, const std::vector<std::string>& do_arquivo) {
        bool nomeada = false;
        for (std::size_t l : e.linhas_esperadas) nomeada = nomeada || v.nomeia(l);
        if (v.status == 1 && nomeada) return std::string();
        std::vector<std::string> novas;
        for (const std::string& c : v.classes())
            if (std::find(do_arquivo.begin(), do_arquivo.end(), c) == do_arquivo.end()) novas.push_back(c);
        if (v.status == 0 || (v.status == 1 && novas.empty())) return e.nome + " | passa";
        if (v.status == 1) return e.nome + " | falha noutra linha: " + novas[0];
        return e.nome + " | status " + std::to_string(v.status);
    };
    // The check that names the edit's line, when one does.
    auto como_falhou = [](const Edicao& e, const Veredito& v) {
        for (const Veredito::Falha& f : v.falhas) {
            bool nomeia = false;
            for (std::size_t l : e.linhas_esperadas)
                nomeia = nomeia || std::find(f.linhas.begin(), f.linhas.end(), l) != f.linhas.end();
            if (!nomeia) continue;
            Veredito so;
            so.falhas = {f};
            return so.classes().empty() ? std::string("linhas que nao se leem") : so.classes()[0];
        }
        return std::string();
    };
    for (std::uint64_t i = p.primeiro; c.validos < p.quantos && i < p.primeiro + 20 * p.quantos + 100; ++i) {
        const Trabalho t = sortear_trabalho(p.semente, i);
        const std::optional<std::string> arquivo = arquivo_valido(t, c, p);
        if (!arquivo) continue;
        ++c.validos;
        Sorteio s = sorteio_das_edicoes(p, t);
        const std::vector<std::string> do_arquivo = visualizar(t.nome_arquivo(), *arquivo).classes();
        for (const Edicao& e : edicoes_ruins(t, *arquivo, s)) {
            ++edicoes;
            const Veredito v = visualizar(t.nome_arquivo(), e.aplicar(*arquivo));
            PorEdicao& n = por_edicao[e.nome];
            ++n.feitas;
            const std::string classe = julgar(e, v, do_arquivo);
            n.passam += classe.ends_with(" | passa");
            if (classe.empty()) {
                ++n.nomeadas;
                ++n.como[como_falhou(e, v)];
                continue;
            }
            if (++mostradas <= falhas_mostradas)
                ADD_FAILURE() << "o visualizador nao falhou a edicao na sua linha\n"
                              << reproducao(t, &e, v) << p.ambiente_de(t.indice) << "\n";
            classes.anotar(classe, {t, true, e, v, {classe}, arquivo->size()});
        }
    }
    EXPECT_EQ(c.validos, p.quantos) << c.texto();
    std::string tabela =
        "| edicao | feitas | falhadas na linha | passam | como falham na linha |\n|---|---:|---:|---:|---|\n";
    for (const auto& [nome, n] : por_edicao) {
        std::string como;
        for (const auto& [forma, vezes] : n.como) como += (como.empty() ? "" : "; ") + std::to_string(vezes) + " `" + forma + "`";
        tabela += "| " + nome + " | " + std::to_string(n.feitas) + " | " + std::to_string(n.nomeadas) + " | " +
                  std::to_string(n.passam) + " | " + como + " |\n";
    }
    if (mostradas > falhas_mostradas)
        ADD_FAILURE() << mostradas - falhas_mostradas << " edicoes mais sem falha na sua linha:\n" << tabela;
    const std::string resumo = c.texto() + "; " + std::to_string(edicoes) + " edicoes ruins; " + segundos_desde(inicio);
    std::printf("[ sorteio  ] %s\n", resumo.c_str());

    if (!p.relatorio.empty()) {
        classes.reduzir(
            [&](const Trabalho& menor, const Classes::Caso& original) -> std::optional<Classes::Caso> {
                const Geracao g = gerar(menor);
                if (g.status != 0) return std::nullopt;
                Sorteio s = sorteio_das_edicoes(p, menor);
                const std::vector<std::string> do_arquivo = visualizar(menor.nome_arquivo(), g.arquivo).classes();
                for (const Edicao& e : edicoes_ruins(menor, g.arquivo, s)) {
                    if (e.nome != original.edicao.nome) continue;
                    const Veredito v = visualizar(menor.nome_arquivo(), e.aplicar(g.arquivo));
                    return Classes::Caso{menor, true, e, v, {julgar(e, v, do_arquivo)}, g.arquivo.size()};
                }
                return std::nullopt;
            },
            2, 30);
        acrescentar_ao_relatorio(
            p, "## Edicoes que estragam o arquivo\n\n" + resumo + " (semente " + std::to_string(p.semente) + ").\n\n" +
                   tabela +
                   "\nUma edicao passa quando o visualizador da status 0, ou so as falhas que o arquivo gerado ja "
                   "tinha; falha noutra linha quando traz falhas novas, nenhuma na linha editada (a classe diz a "
                   "primeira).\n\n### Classes\n\n" + classes.markdown() + "\n");
    }
}

}  // namespace
