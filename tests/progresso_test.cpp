// The progress line of long jobs: what it writes, when, and that it is only
// ever written to a terminal and never changes the file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "apoio/execucao.hpp"
#include "nucleo/numerico.hpp"
#include "trabalho/parada_critica.hpp"
#include "emissao/emissor.hpp"
#include "percurso/construir.hpp"
#include "emissao/progresso.hpp"

namespace {

using namespace std::chrono_literals;

std::string conteudo(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string s;
    for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
    return s;
}

TEST(Progresso, DesenhaNaLinhaDeBaixoRedesenhaEApagaVoltandoParaCima) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        Progresso p(2000000, f, 0ms);
        p.avancar(1000000);
        p.avancar(999999);
        // The estimate fell short: the count goes on, the percentage stops at 99.
        p.avancar(1000001);
    }
    const std::string linha0 = "Gravando o percurso:   0% (0 de 2000000 linhas)";
    const std::string linha1 = "Gravando o percurso:  50% (1000000 de 2000000 linhas)";
    const std::string linha2 = "Gravando o percurso:  99% (1999999 de 2000000 linhas)";
    const std::string linha3 = "Gravando o percurso:  99% (3000000 de 3000000 linhas)";
    // A shorter text is padded over the longer one before it; erasing blanks the widest.
    const std::string branco(linha3.size(), ' ');
    EXPECT_EQ(conteudo(f), "\n" + linha0 + "\r" + linha1 + "\r" + linha2 + "\r" + linha3 + "\r" +
                               branco + "\r\033[A");
    std::fclose(f);
}

TEST(Progresso, RedesenhaNoMaximoUmaVezPorIntervaloEApagaUmaVezSo) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        Progresso p(5000000, f, 1h);
        for (int i = 0; i < 1000; ++i) p.avancar(364);
        p.apagar();
        p.avancar(364);
    }
    const std::string linha0 = "Gravando o percurso:   0% (0 de 5000000 linhas)";
    EXPECT_EQ(conteudo(f), "\n" + linha0 + "\r" + std::string(linha0.size(), ' ') + "\r\033[A");
    std::fclose(f);
}

TEST(Progresso, NumTerminalSoDeErrosNaoSaiDaLinhaDoCursor) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        Progresso p(2000000, f, 0ms, TerminalErros::proprio);
        p.avancar(1000000);
    }
    const std::string linha0 = "Gravando o percurso:   0% (0 de 2000000 linhas)";
    const std::string linha1 = "Gravando o percurso:  50% (1000000 de 2000000 linhas)";
    EXPECT_EQ(conteudo(f), "\r" + linha0 + "\r" + linha1 + "\r" + std::string(linha1.size(), ' ') + "\r");
    std::fclose(f);
}

// A standard descriptor replaced by another for the life of the object.
class Redirecionado {
public:
    Redirecionado(int descritor, int destino) : descritor_(descritor), salvo_(dup(descritor)) {
        std::fflush(nullptr);
        dup2(destino, descritor);
    }
    ~Redirecionado() {
        std::fflush(nullptr);
        dup2(salvo_, descritor_);
        close(salvo_);
    }

private:
    int descritor_;
    int salvo_;
};

// Standard output and error on one terminal, as in an interactive run.
struct SaidaEErros {
    explicit SaidaEErros(int destino) : saida(STDOUT_FILENO, destino), erros(STDERR_FILENO, destino) {}
    Redirecionado saida;
    Redirecionado erros;
};

// A pseudo-terminal with no output processing, so its bytes read back as written.
class Pty {
public:
    Pty() {
        if (openpty(&mestre, &escravo, nullptr, nullptr, nullptr) != 0) return;
        termios modo;
        tcgetattr(escravo, &modo);
        cfmakeraw(&modo);
        tcsetattr(escravo, TCSANOW, &modo);
        fcntl(mestre, F_SETFL, fcntl(mestre, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() {
        if (mestre >= 0) close(mestre);
        if (escravo >= 0) close(escravo);
    }
    std::string ler() {
        std::string s;
        char bloco[4096];
        for (ssize_t n; (n = read(mestre, bloco, sizeof bloco)) > 0;) s.append(bloco, static_cast<std::size_t>(n));
        return s;
    }
    int mestre = -1;
    int escravo = -1;
};

// TERM as a test needs it (null: unset), restored afterwards.
class Term {
public:
    explicit Term(const char* valor) {
        if (const char* antes = std::getenv("TERM")) antes_ = antes;
        if (valor) setenv("TERM", valor, 1);
        else unsetenv("TERM");
    }
    ~Term() {
        if (antes_) setenv("TERM", antes_->c_str(), 1);
        else unsetenv("TERM");
    }

private:
    std::optional<std::string> antes_;
};

TEST(Progresso, SoNumTerminalESoEmTrabalhoLongo) {
    Term term("xterm");
    Pty pty;
    ASSERT_GE(pty.mestre, 0);
    std::string no_terminal;
    std::string curto;
    {
        SaidaEErros r(pty.escravo);
        {
            Progresso p(Progresso::linhas_minimas);
            p.avancar(364);
        }
        curto = pty.ler();
        {
            Progresso p(2 * Progresso::linhas_minimas);
            p.avancar(364);
        }
        no_terminal = pty.ler();
    }
    EXPECT_EQ(curto, "");
    EXPECT_EQ(no_terminal.rfind("\nGravando o percurso:   0% (0 de 2000000 linhas)", 0), 0u) << no_terminal;
    EXPECT_TRUE(no_terminal.ends_with("\r\033[A"));

    // Standard output elsewhere: the line never leaves the cursor's line.
    std::FILE* f = std::tmpfile();
    {
        Redirecionado saida(STDOUT_FILENO, fileno(f));
        Redirecionado erros(STDERR_FILENO, pty.escravo);
        Progresso p(2 * Progresso::linhas_minimas);
        p.avancar(364);
    }
    const std::string so_erros = pty.ler();
    EXPECT_EQ(so_erros.rfind("\rGravando o percurso:   0% (0 de 2000000 linhas)", 0), 0u) << so_erros;
    EXPECT_TRUE(so_erros.ends_with(std::string(10, ' ') + "\r")) << so_erros;
    EXPECT_EQ(so_erros.find_first_of("\n\033"), std::string::npos) << so_erros;
    EXPECT_EQ(conteudo(f), "");

    // A dumb terminal, or one nothing is known of, cannot move the cursor
    // back, and a file is no terminal.
    for (const char* tipo : {"dumb", static_cast<const char*>(nullptr)}) {
        Term term_tipo(tipo);
        SaidaEErros r(pty.escravo);
        Progresso p(2 * Progresso::linhas_minimas);
        p.avancar(364);
    }
    EXPECT_EQ(pty.ler(), "");
    {
        Redirecionado r(STDERR_FILENO, fileno(f));
        Progresso p(2 * Progresso::linhas_minimas);
        p.avancar(364);
    }
    EXPECT_EQ(conteudo(f), "");
    std::fclose(f);
}

// Keeps only a digest of the bytes: a long job's file is tens of megabytes.
class DestinoResumo final : public DestinoArquivo {
public:
    explicit DestinoResumo(std::uint64_t* resumo) : resumo_(resumo) {}
    bool gravar(const char* dados, std::size_t n) override {
        for (std::size_t i = 0; i < n; ++i)
            *resumo_ = (*resumo_ ^ static_cast<unsigned char>(dados[i])) * 0x100000001b3ull;
        return true;
    }
    bool fechar() override { return true; }

private:
    std::uint64_t* resumo_;
};

std::uint64_t gerar_resumo(const DadosRosca& d, OpcoesEmissao opcoes = {}) {
    std::uint64_t resumo = 0xcbf29ce484222325ull;
    SaidaArquivo arquivo(std::make_unique<DestinoResumo>(&resumo));
    Emissor(vocabulario::padrao, arquivo, opcoes).passes(construir_percurso(d));
    arquivo.fechar();
    return resumo;
}

TEST(Progresso, TrabalhoLongoMostraNoTerminalEOArquivoNaoMuda) {
    // One pass of 3000 turns: about 1.1 million lines.
    DadosRosca d;
    d.tipo_rosca = 'I';
    d.Diametro_final = d.Diametro_final_total = 20;
    d.D_ferramenta = 10;
    d.comprimento_rosca = 3000;
    d.passo_rosca = 1;
    d.passo_z_grau = armazenar(estender(1.0f) / 360);
    d.sentido_rosca = 'D';
    ASSERT_GT(linhas_previstas(construir_percurso(d)), Progresso::linhas_minimas);

    // The plain writer, which draws no progress, gives the bytes to expect.
    const std::uint64_t simples = gerar_resumo(d, OpcoesEmissao{.escrita_simples = true});

    Term term("xterm");
    Pty pty;
    ASSERT_GE(pty.mestre, 0);
    std::uint64_t com_terminal;
    {
        SaidaEErros r(pty.escravo);
        com_terminal = gerar_resumo(d);
    }
    const std::string mostrado = pty.ler();
    EXPECT_EQ(com_terminal, simples);
    EXPECT_EQ(mostrado.rfind("\nGravando o percurso:   0% (0 de 1092005 linhas)", 0), 0u) << mostrado;
    EXPECT_TRUE(mostrado.ends_with("\r\033[A"));
}

TEST(Progresso, ApagadoTambemQuandoUmaParadaInterrompeOArquivo) {
    DadosRosca d;
    d.tipo_rosca = 'I';
    d.Diametro_final = d.Diametro_final_total = 20;
    d.D_ferramenta = 10;
    d.comprimento_rosca = 3000;
    d.passo_rosca = 1;
    d.passo_z_grau = armazenar(estender(1.0f) / 360);
    d.sentido_rosca = 'D';

    Term term("xterm");
    Pty pty;
    ASSERT_GE(pty.mestre, 0);
    bool parou = false;
    {
        SaidaEErros r(pty.escravo);
        std::string bytes;
        try {
            // The destination refuses what passes its first megabyte.
            SaidaArquivo arquivo(std::make_unique<DestinoMemoria>(&bytes, 1 << 20));
            Emissor(vocabulario::padrao, arquivo).passes(construir_percurso(d));
        } catch (const ParadaCritica&) {
            parou = true;
        }
    }
    EXPECT_TRUE(parou);
    const std::string mostrado = pty.ler();
    EXPECT_EQ(mostrado.rfind("\nGravando o percurso:", 0), 0u) << mostrado;
    EXPECT_TRUE(mostrado.ends_with("\r\033[A"));
}

}  // namespace
