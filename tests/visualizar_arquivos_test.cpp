// The viewer run on files the generator writes, and on altered copies: a
// whole good file gives 0, a fault gives 1 and names its line, and what is
// not a run at all gives 2 and leaves no picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>

#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"
#include "visualizar/desenho_svg.hpp"

namespace fs = std::filesystem;

namespace {

// The line "<needle>" of a file (CR LF, or LF for grbl) replaced by `novo`;
// its 1-based number.
std::size_t trocar_linha(std::string& arquivo, const std::string& antiga, const std::string& nova) {
    const std::string fim = arquivo.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    const std::size_t onde = arquivo.find(fim + antiga + fim);
    EXPECT_NE(onde, std::string::npos) << antiga;
    if (onde == std::string::npos) return 0;
    arquivo.replace(onde + fim.size(), antiga.size(), nova);
    return static_cast<std::size_t>(
               std::count(arquivo.begin(), arquivo.begin() + static_cast<std::ptrdiff_t>(onde + fim.size()), '\n')) +
           1;
}

struct Rodada {
    ExecucaoVisualizador r;
    bool imagem = false;
};

Rodada visualizar(const std::string& tap) {
    DiretorioTemporario d;
    gravar_arquivo(d / "ROSCA-HELICOIDAL_PARALELA.TAP", tap);
    Rodada x;
    x.r = executar_visualizador(d.caminho(), {});
    x.imagem = fs::exists(d / "ROSCA-HELICOIDAL_PARALELA.svg");
    return x;
}

const char* const interna_um_passe = "I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n";

TEST(VisualizarArquivos, ArquivosDoGeradorConferem) {
    const char* const trabalhos[] = {
        interna_um_passe,
        "E\n20\n24\n0.5\n0.2\n10\n2\n1\nD\n0\n1000\n200\n",       // five passes, finishing
        "I\n20\n17\n0.5\n0.1\n10\n2\n1\nE\n359.5\n1000\n200\n",  // left hand, fractional start
        "E\n30\n36\n1\n0.3\n8\n5\n1.5\nE\n45.3\n1500\n250\n",
        "I\n20\n15\n1\n0\n10\n2\n1\nD\n0\n1000\n200\n",          // the finishing-step warning
        "I\n20\n18\n1\n0\n10\n2.5\n1\nD\n90\n1000\n200\n",       // finishing pass only
        "I\n20\n0\n10\n1.001\n1\nD\n0\n1000\n200\n",             // one step past L
        "I\n20\n0\n10\n1.95\n0.65\nD\n0\n1000\n200\n",
        "E\n20\n24\n0.5\n0.2\n10\n2\n1\nD\n270\n1000\n200\n",
    };
    for (const char* respostas : trabalhos) {
        const Rodada x = visualizar(arquivo_do_gerador(respostas));
        EXPECT_EQ(x.r.status, 0) << respostas << x.r.saida;
        EXPECT_TRUE(x.imagem) << respostas;
        EXPECT_NE(x.r.saida.find("Resultado: arquivo inteiro, tudo confere."), std::string::npos);
        for (std::size_t i = 0, fim; i < x.r.saida.size(); i = fim + 1) {
            fim = x.r.saida.find('\n', i);
            ASSERT_LE(fim - i, 79u) << x.r.saida.substr(i, fim - i);
        }
    }
}

// Exit 1, the picture still written, and the failure at `linha` under check `numero`.
void espera_falha(const std::string& tap, int numero, std::size_t linha, const char* contexto) {
    const Rodada x = visualizar(tap);
    EXPECT_EQ(x.r.status, 1) << contexto << x.r.saida;
    EXPECT_TRUE(x.imagem) << contexto;
    const std::regex falha(" " + std::to_string(numero) + "\\. [^\n]* FALHA\n     linha " + std::to_string(linha) + ":");
    EXPECT_TRUE(std::regex_search(x.r.saida, falha)) << contexto << "\n" << x.r.saida;
}

TEST(VisualizarArquivos, CopiasAlteradasFalhamNaLinhaCerta) {
    const std::string original = arquivo_do_gerador(interna_um_passe);
    {
        // 0.05 mm outward, off the pass's circle.
        std::string t = original;
        const std::size_t n = trocar_linha(t, "g01 x4.963 y-0.609 z-0.019", "g01 x5.013 y-0.615 z-0.019");
        espera_falha(t, 2, n, "fora do circulo");
    }
    {
        // 0.05 mm along the circle: the advance is no longer one degree.
        std::string t = original;
        const std::size_t n = trocar_linha(t, "g01 x4.963 y-0.609 z-0.019", "g01 x4.970 y-0.559 z-0.019");
        espera_falha(t, 4, n, "ao longo do circulo");
    }
    {
        std::string t = original;
        const std::size_t n = trocar_linha(t, "g01 x-3.886 y-3.147 z-1.392", "g01 x-3.886 y-3.147 z-1.442");
        espera_falha(t, 4, n, "profundidade");
    }
    {
        std::string t = original;
        const std::size_t n = trocar_linha(t, "M30", "");
        espera_falha(t, 1, n, "sem M30");
    }
    {
        // The first line; the pass (its first move is line 40) no longer matches it.
        std::string t = original;
        ASSERT_EQ(t.rfind(";Df-Diametro final da rosca: 20.00 [mm]", 0), 0u);
        t[33] = '1';  // 20.01
        espera_falha(t, 3, 40, "Df do cabecalho");
    }
    {
        std::string t = original;
        const std::size_t n = trocar_linha(t, "g01 x4.999 y-0.087 z-1.003", "g01 x4.999 y-0.087 z-1.003 lixo");
        espera_falha(t, 1, n, "linha ilegivel");
    }
    {
        // A refused bore, as the generator forms it before giving it up: the
        // file ends at its machined-diameter comment.
        const std::string recusa = executar_em_memoria("I\n2097153\n0\n0.125\n1\n1\nD\n0\n1000\n200\n").arquivo;
        const auto linhas = static_cast<std::size_t>(std::count(recusa.begin(), recusa.end(), '\n')) + 1;
        espera_falha(recusa, 5, linhas, "furo recusado");
        espera_falha(recusa, 1, linhas, "furo recusado: incompleto");
    }
    {
        // Cut in the middle of a line.
        const std::string cortado = original.substr(0, original.find("g01 x-5.000 y-0.000 z-0.500") + 8);
        const auto linhas = static_cast<std::size_t>(std::count(cortado.begin(), cortado.end(), '\n')) + 1;
        espera_falha(cortado, 1, linhas, "cortado");
        // Without the extents comments the bore cannot be judged.
        espera_falha(cortado, 5, linhas, "cortado: diametro usinado");
    }
    {
        // A header that contradicts its path: Df 21 over a path to 20.
        std::string t = arquivo_do_gerador("I\n20\n17\n0.5\n0.1\n10\n15\n1.5\nD\n0\n1000\n100\n");
        ASSERT_EQ(t.rfind(";Df-Diametro final da rosca: 20.00 [mm]", 0), 0u);
        t[30] = '1';
        espera_falha(t, 3, 1, "Df 21 no cabecalho");
    }
    {
        // The preamble's feed set to zero: nothing moves, whatever the header says.
        std::string t = original;
        const std::size_t n = trocar_linha(t, "f200", "f0");
        std::size_t onde = t.find("Feed-Rate (fn): 200.0");
        ASSERT_NE(onde, std::string::npos);
        t.replace(onde + 16, 5, "0.0  ");
        espera_falha(t, 6, n, "f0");
    }
    {
        // A header value beyond a float: the check that needs it fails, naming it.
        std::string t = original;
        trocar_linha(t, ";L-Comprimento da rosca: 2.00 [mm]",
                     ";L-Comprimento da rosca: 1000000000000000000000000000000000000000.00 [mm]");
        const Rodada x = visualizar(t);
        EXPECT_EQ(x.r.status, 1);
        EXPECT_NE(x.r.saida.find("L do cabecalho ilegivel (1e+39): o fim em L nao pode ser"), std::string::npos)
            << x.r.saida;
    }
}

// The file the generator writes with `argumentos` for `respostas`.
std::string arquivo_com(const std::string& argumentos, const std::string& respostas) {
    const Execucao e = executar_com_argumentos(argumentos + " --saida f.nc", respostas);
    EXPECT_EQ(e.status, 0) << argumentos;
    const auto f = e.outros_conteudos.find("f.nc");
    return f == e.outros_conteudos.end() ? std::string() : f->second;
}

// Today's file edited by hand as machinists do: "%" first and last, a
// program number, and block numbers before the G, M, S and F lines.
std::string editado_a_mao(const std::string& tap) {
    std::string r = "%\r\nO1000\r\n";
    int n = 0;
    for (std::size_t i = 0, fim; i < tap.size(); i = fim + 2) {
        fim = tap.find("\r\n", i);
        if (fim == std::string::npos) fim = tap.size();
        const std::string linha = tap.substr(i, fim - i);
        if (!linha.empty() && std::string("gGmMsSfF").find(linha[0]) != std::string::npos) {
            r += 'N';
            r += std::to_string(n += 10);
            r += ' ';
        }
        r += linha;
        r += "\r\n";
    }
    r += "%\r\n";
    return r;
}

TEST(VisualizarArquivos, CadaComandoReconhecidoEPausaNaSuaUnidade) {
    for (const char* comando : {"padrao", "linuxcnc", "grbl", "fanuc"}) {
        const Rodada x = visualizar(arquivo_com(std::string("--comando ") + comando, interna_um_passe));
        EXPECT_EQ(x.r.status, 0) << comando << x.r.saida;
        EXPECT_NE(x.r.saida.find(std::string("\nComando: ") + comando + "\n"), std::string::npos) << x.r.saida;
    }
    const std::string hoje = arquivo_do_gerador(interna_um_passe);
    const std::string editado = editado_a_mao(hoje);
    ASSERT_NE(editado.find("\r\nN20 g00 x0 y0\r\n"), std::string::npos);
    const Rodada x = visualizar(editado);
    EXPECT_EQ(x.r.status, 0) << x.r.saida;
    EXPECT_NE(x.r.saida.find("\nComando: padrao (editado: %, O, N)\n"), std::string::npos) << x.r.saida;

    // The same digits are milliseconds in one dialect and seconds in another.
    {
        std::string t = arquivo_com("--comando fanuc", interna_um_passe);
        const std::size_t n = trocar_linha(t, "G04 P3000", "G04 P3");
        espera_falha(t, 6, n, "fanuc G04 P3");
        EXPECT_NE(visualizar(t).r.saida.find("pausa P3: no comando fanuc P e em milissegundos, 0.003 s"),
                  std::string::npos);
    }
    {
        std::string t = arquivo_com("--comando linuxcnc", interna_um_passe);
        const std::size_t n = trocar_linha(t, "G4 P3", "G4 P3000");
        espera_falha(t, 6, n, "linuxcnc G4 P3000");
    }
    {
        // Edited by hand, the dwell is still read in the unit of the dialect
        // the rest of the file shows.
        std::string t = hoje;
        const std::size_t n = trocar_linha(t, "G04 P3", "G04 P3000");
        espera_falha(editado_a_mao(t), 6, n + 2, "padrao editado G04 P3000");
    }
}

// What a profile does not explain is named; the nearest profile is kept.
TEST(VisualizarArquivos, EdicoesQueOComandoNaoExplica) {
    struct Caso {
        const char* comando;
        const char* de;
        const char* para;
        const char* nome;
    } casos[] = {
        {"grbl", "G0 Z3", "%\nG0 Z3", "grbl (editado: %)"},
        {"linuxcnc", "G4 P3", "G04 P3", "linuxcnc (editado: G04)"},
        {"fanuc", "O0001", "", "fanuc (editado: sem O)"},
        {"fanuc", "G04 P3000", "(PAUSA) G04 P3000 ; DO FUSO", "fanuc (editado: comentarios ;)"},
        {"padrao", "g51 x1.00 y1.00", "", "padrao (editado: sem g51)"},
    };
    for (const Caso& c : casos) {
        std::string t = arquivo_com(std::string("--comando ") + c.comando, interna_um_passe);
        trocar_linha(t, c.de, c.para);
        EXPECT_EQ(analisar_bytes(t)->modelo.dialeto.nome(), c.nome) << c.comando << " " << c.para;
    }
    // Today's file all in upper case is still today's file, its dwell in seconds.
    std::string maiusculo = arquivo_do_gerador(interna_um_passe);
    std::transform(maiusculo.begin(), maiusculo.end(), maiusculo.begin(),
                   [](char ch) { return static_cast<char>(std::toupper(static_cast<unsigned char>(ch))); });
    const auto a = analisar_bytes(maiusculo);
    EXPECT_EQ(a->modelo.dialeto.nome(), "padrao (editado: maiusculas)");
    EXPECT_TRUE(a->verificacoes.todas_ok());
    EXPECT_EQ(analisar_bytes("\r\n\r\n")->modelo.dialeto.nome(), "nao reconhecido");
}

// The ways of cutting the header records, under the title of the report
// (wrapped within the screen) and of the picture.
TEST(VisualizarArquivos, ModosDeCortarSobOTitulo) {
    const std::string opcoes = "--comando linuxcnc --ferramenta 1 --arcos --concordante --entrada-tangencial "
                               "--compensacao --repetir-acabamento 2 --avanco-na-aresta";
    DiretorioTemporario d;
    gravar_arquivo(d / "f.ngc", arquivo_com(opcoes, interna_um_passe));
    const auto r = executar_visualizador(d.caminho(), {"f.ngc"});
    std::string inicio = r.saida.substr(0, r.saida.find("\nLidas "));
    for (std::size_t i = 0, fim; i < inicio.size(); i = fim + 1) {
        fim = inicio.find('\n', i);
        if (fim == std::string::npos) fim = inicio.size();
        EXPECT_LE(fim - i, 79u) << inicio.substr(i, fim - i);
    }
    std::replace(inicio.begin(), inicio.end(), '\n', ' ');
    const std::string modos = "Modos de cortar: arcos helicoidais; concordante, de baixo para cima; entrada e saida "
                              "tangenciais; compensacao D1; ultimo passe mais 2 vez(es); avanco na aresta";
    EXPECT_NE(inicio.find("Comando: linuxcnc Modos de cortar:"), std::string::npos) << r.saida;
    EXPECT_NE(inicio.find(modos), std::string::npos) << r.saida;
    const std::string svg = ler_arquivo(d / "f.svg");
    EXPECT_NE(svg.find(">Comando: linuxcnc - Modos de cortar: arcos helicoidais; concordante,"), std::string::npos);

    // The taper alone; and a file without options has no such line.
    const auto conica = analisar_bytes(arquivo_com("--conica", interna_um_passe));
    EXPECT_EQ(relatorio_de(*conica, "f.nc").find("Modos de cortar: conica 1:16\n") != std::string::npos, true);
    const std::string hoje = relatorio_de(*analisar_bytes(arquivo_do_gerador(interna_um_passe)), "f.tap");
    EXPECT_EQ(hoje.find("Modos de cortar"), std::string::npos);
    EXPECT_NE(hoje.find("\nComando: padrao\nLidas "), std::string::npos) << hoje;
}

TEST(VisualizarArquivos, EntradasHostisNaoTravamNemDeixamImagem) {
    const std::string bom = arquivo_do_gerador(interna_um_passe);
    std::string binario(300000, '\0');
    for (std::size_t i = 0; i < binario.size(); ++i) binario[i] = static_cast<char>((i * 2654435761u) >> 13);
    struct Caso {
        std::string bytes;
        bool imagem;
    } casos[] = {
        {"", false},
        {binario, false},
        {std::string(3000000, 'x') + "\n" + bom, true},  // a huge first line, then a whole file
        {std::regex_replace(bom, std::regex("g01[^\r]*\r\n"), ""), false},
    };
    for (const Caso& c : casos) {
        const Rodada x = visualizar(c.bytes);
        EXPECT_EQ(x.r.status, 1) << x.r.saida;
        EXPECT_EQ(x.imagem, c.imagem);
    }
    // Eleven garbage lines: the first ten are shown, then a count.
    std::string lixo = bom;
    for (int i = 0; i < 11; ++i) lixo.insert(lixo.find("\r\ng00 z3"), "\r\n%lixo");
    const Rodada x = visualizar(lixo);
    EXPECT_NE(x.r.saida.find("Linhas que nao se leem: 11\n"), std::string::npos) << x.r.saida;
    EXPECT_NE(x.r.saida.find("  ... e mais 1\n"), std::string::npos);
}

TEST(VisualizarArquivos, UsoEErrosDeArquivoSaemComDoisSemImagem) {
    DiretorioTemporario d;
    auto r = executar_visualizador(d.caminho(), {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.saida, "rosca-visualizar 1.0.7\n");
    r = executar_visualizador(d.caminho(), {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.saida.rfind("Uso: rosca-visualizar [ARQUIVO [IMAGEM]]\n", 0), 0u);
    for (const auto& args : std::vector<std::vector<std::string>>{{"--nada"}, {"a", "b", "c"}, {"x.svg"}, {}}) {
        r = executar_visualizador(d.caminho(), args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.saida.empty());
        EXPECT_EQ(r.erros.rfind("rosca-visualizar: ", 0), 0u) << r.erros;
    }
    EXPECT_TRUE(fs::is_empty(d.caminho()));
    // A picture that cannot be written: a directory in its place, a missing folder.
    gravar_arquivo(d / "f.tap", arquivo_do_gerador(interna_um_passe));
    fs::create_directory(d / "f.svg");
    r = executar_visualizador(d.caminho(), {"f.tap"});
    EXPECT_EQ(r.status, 2);
    r = executar_visualizador(d.caminho(), {"f.tap", "nao/existe.svg"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.erros.find("nao foi possivel gravar a imagem"), std::string::npos);
    fs::remove(d / "f.svg");
    EXPECT_EQ(std::distance(fs::directory_iterator(d.caminho()), fs::directory_iterator()), 1);
}

TEST(VisualizarArquivos, NaoGravaSobreOArquivoLidoNemAtravesDeLigacoes) {
    DiretorioTemporario d;
    const std::string tap = arquivo_do_gerador(interna_um_passe);
    gravar_arquivo(d / "f.tap", tap);
    // The same file by another name: refused, the G-code intact.
    auto r = executar_visualizador(d.caminho(), {"f.tap", d / "f.tap"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.erros.find("a imagem nao pode ser o proprio arquivo lido"), std::string::npos) << r.erros;
    EXPECT_EQ(ler_arquivo(d / "f.tap"), tap);

    // A link planted at the temporary file's name: never written through.
    gravar_arquivo(d / "vitima", "intacta");
    fs::create_symlink(d / "vitima", d / "f.svg.tmp0");
    r = executar_visualizador(d.caminho(), {"f.tap"});
    EXPECT_EQ(r.status, 0) << r.saida << r.erros;
    EXPECT_EQ(ler_arquivo(d / "vitima"), "intacta");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(d / "f.svg")));
    EXPECT_TRUE(fs::is_symlink(d / "f.svg.tmp0"));

    // The picture's own name a link: it is not replaced.
    fs::create_symlink(d / "vitima", d / "g.svg");
    r = executar_visualizador(d.caminho(), {"f.tap", "g.svg"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(ler_arquivo(d / "vitima"), "intacta");
    EXPECT_TRUE(fs::is_symlink(d / "g.svg"));

    // A device that never ends: refused at once, in one line.
    r = executar_visualizador(d.caminho(), {"/dev/zero", "z.svg"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.erros, "rosca-visualizar: \"/dev/zero\" nao e um arquivo comum nem um pipe.\n");
    EXPECT_FALSE(fs::exists(d / "z.svg"));
}

TEST(VisualizarArquivos, ImagemLimitadaParaPercursosLongos) {
    // 1000 turns in one pass, and 200 passes of one turn.
    for (const char* respostas : {"I\n20\n0\n10\n500\n0.5\nD\n0\n1000\n200\n", "I\n100\n60\n0.1\n0\n10\n1\n1\nD\n0\n1000\n200\n"}) {
        DiretorioTemporario d;
        gravar_arquivo(d / "f.tap", arquivo_do_gerador(respostas));
        const auto r = executar_visualizador(d.caminho(), {"f.tap"});
        EXPECT_EQ(r.status, 0) << r.saida;
        EXPECT_LE(fs::file_size(d / "f.svg"), max_bytes_svg);
    }
}

}  // namespace
