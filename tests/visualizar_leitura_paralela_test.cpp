// The reader on a second thread against the reader alone, and the chord
// lines taken straight from the bytes against the same lines cut one by
// one: the same lines with the same contents, whatever the batches and the
// blocks the bytes come in, and whether chords are taken several at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "nucleo/tarefa.hpp"
#include "visualizar/arco.hpp"
#include "visualizar/fonte.hpp"
#include "visualizar/leitura_paralela.hpp"

namespace {

std::string hexa(double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%a", v);
    return b;
}

// All a line says, in words; a move's centre, direction and sweep only for
// an arc, where they mean something.
std::string descrever(const Linha& l) {
    std::string s = std::to_string(l.numero) + " t" + std::to_string(static_cast<int>(l.tipo)) +
                    (l.sem_fim_de_linha ? " sem-fim" : "") + " m" + std::to_string(l.m) + " c" +
                    std::to_string(l.compensacao) + " tr" + std::to_string(l.tracos);
    if (l.tem_s) s += " s" + hexa(l.s);
    if (l.tem_f) s += " f" + hexa(l.f);
    if (l.escala) s += " esc" + hexa(l.escala_x) + "," + hexa(l.escala_y);
    if (l.pausa) s += " pausa" + (l.tem_p ? hexa(l.p) : std::string("-"));
    for (std::size_t i = 0; i < l.quantidade_comentarios; ++i) s += " [" + std::string(l.comentarios[i]) + "]";
    if (l.tipo == TipoLinha::ilegivel)
        s += " ilegivel{" + std::string(l.texto) + "|" + std::string(l.motivo) + "|" + std::to_string(l.bytes) +
             (l.longa ? "|longa" : "") + "}";
    if (l.tipo == TipoLinha::movimento) {
        const Movimento& m = l.movimento;
        s += " mv" + std::to_string(static_cast<int>(m.tipo)) + " " + std::to_string(m.linha) + "<" +
             std::to_string(m.linha_de) + " " + hexa(m.de.x) + "," + hexa(m.de.y) + "," + hexa(m.de.z) + ">" +
             hexa(m.para.x) + "," + hexa(m.para.y) + "," + hexa(m.para.z) + " k" + std::to_string(m.de_conhecido) +
             std::to_string(m.z_conhecido) + std::to_string(m.tem_x) + std::to_string(m.tem_y) +
             std::to_string(m.tem_z) + " comp" + std::to_string(m.compensacao) +
             (m.avanco_no_contorno ? " contorno" : "") + " comprimento " + hexa(comprimento_do_movimento(m));
        if (m.tipo == TipoMovimento::arco)
            s += " arco " + hexa(m.centro_x) + "," + hexa(m.centro_y) + (m.horario ? " h " : " a ") + hexa(m.varredura);
    }
    return s;
}

std::vector<std::string> ler_sozinho(const std::string& texto, std::size_t bloco) {
    FonteMemoria fonte(texto);
    LeitorGcode leitor(fonte, bloco);
    std::vector<std::string> r;
    Linha l;
    while (leitor.proxima(l)) r.push_back(descrever(l));
    r.push_back("linhas " + std::to_string(leitor.linhas()));
    return r;
}

// With `cordas`, the chords taken several at a time where they come, each
// told as the line it is; every other call, so that some go one by one.
std::vector<std::string> ler_em_paralelo(const std::string& texto, std::size_t bloco, std::size_t lote,
                                         bool paralela, bool cordas = false) {
    FonteMemoria fonte(texto);
    LeituraParalela leitura(fonte, bloco, lote, paralela);
    if (paralela && processadores() > 1) {
        EXPECT_TRUE(leitura.paralela());
    }
    std::vector<std::string> r;
    Linha corda;
    corda.tipo = TipoLinha::movimento;
    corda.so_corda = true;
    for (bool juntas = false;; juntas = !juntas) {
        std::uint16_t tracos = 0;
        const std::span<const Movimento> ms = cordas && juntas ? leitura.cordas(tracos) : std::span<const Movimento>{};
        for (const Movimento& m : ms) {
            corda.numero = m.linha;
            corda.tracos = tracos;
            corda.movimento = m;
            r.push_back(descrever(corda));
        }
        if (!ms.empty()) continue;
        const Linha* l = leitura.proxima();
        if (l == nullptr) break;
        r.push_back(descrever(*l));
    }
    r.push_back("linhas " + std::to_string(leitura.linhas()));
    return r;
}

// Chords as the writer spells them, and lines close to them that are not:
// each kind of line that a batch carries whole, between runs of chords.
std::string arquivo_misto() {
    std::string t = ";cabecalho\n(outro comentario)\n%\nG21 G90\nM3 S1000\nF200\nG0 X0 Y0 Z5\nG1 Z0\n";
    auto cordas = [&t](int n, double z0, const char* fim) {
        char b[80];
        for (int i = 0; i < n; ++i) {
            std::snprintf(b, sizeof b, "g01 x%.3f y%.3f z%.3f%s", 10.0 + i * 0.011, -3.0 + i * 0.007,
                          z0 - i * 0.001, fim);
            t += b;
        }
    };
    cordas(3000, 0, "\n");
    t += "G41 D1\n";  // the compensation changes between two chords
    cordas(50, -3.1, "\r\n");
    t += "G40\nG01 X1.000 Y2.000 Z-0.500\ng01 x1.000 y2.000 z-0.500 ;nota\ng01  x1.000 y2.000 z-0.500\n";
    t += "g01 x1.5 y2 z-.5\ng01 x+1.000 y2.000 z-0.500\ng01 x1.000 y2.000\ng01 x1.000 y2.000 z-0.500 \n";
    t += "g01 x1.000 y2.000 z-0.500\r\r\n";
    t += "g02 x-1.000 y2.000 z-0.600 i-1.000 j0.000\ng01 x1.000 y2.000 z-0.700 f150\nQ5\n\n";
    t += std::string(5000, 'x') + "\n";
    t += "g01 x1.000 y2.000 z-0.800\n";
    cordas(1000, -0.9, "\n");
    t += "G4 P0.5\nM5\n";
    cordas(2, -2, "\n");
    t.pop_back();  // the last chord without its line end
    return t;
}

TEST(VisualizarLeituraParalela, MesmasLinhasQueOLeitorSozinho) {
    const std::string texto = arquivo_misto();
    // One byte at a time, no chord is ever taken straight from the bytes.
    const auto esperado = ler_sozinho(texto, 1);
    ASSERT_GT(esperado.size(), 4000u);
    EXPECT_EQ(ler_sozinho(texto, LeitorLinhas::bloco_padrao), esperado);
    EXPECT_EQ(ler_sozinho(texto, 100), esperado);
    for (std::size_t bloco : {std::size_t{1}, std::size_t{37}, LeitorLinhas::bloco_padrao})
        for (std::size_t lote : {std::size_t{1}, std::size_t{7}, std::size_t{64}, std::size_t{2048}}) {
            EXPECT_EQ(ler_em_paralelo(texto, bloco, lote, true), esperado) << "bloco " << bloco << " lote " << lote;
            EXPECT_EQ(ler_em_paralelo(texto, bloco, lote, false), esperado) << "bloco " << bloco << " lote " << lote;
            for (bool paralela : {true, false})
                EXPECT_EQ(ler_em_paralelo(texto, bloco, lote, paralela, true), esperado)
                    << "bloco " << bloco << " lote " << lote << " paralela " << paralela << " cordas juntas";
        }
}

// Runs of chord lines of one shape, each followed by a line that differs
// from them in one byte (a digit's neighbours in the code table, a sign, a
// point, a blank, a letter's case, a line end) or in its length, twice, so
// that the second is read by the first's shape if it has one: whether or
// not the other line is a chord, the same lines as each read in full.
TEST(VisualizarLeituraParalela, CordasDaFormaDaAnteriorComoLidasInteiras) {
    if (processadores() < 2) GTEST_SKIP() << "one processor: no chord is taken by its shape";
    std::string texto = "G21 G90\nG0 X0 Y0 Z5\nG1 Z0\n";
    for (const char* molde : {"g01 x10.125 y-3.500 z-0.001\n", "G01 X-1234.567 Y0.250 Z-12.345\r\n",
                              "g01 x-0.001 y-999.999 z-100.000\r\n", "g01 x1234567.891 y0.000 z-0.500\n"}) {
        const std::string linha = molde;
        const std::size_t fim = linha.size() - (linha[linha.size() - 2] == '\r' ? 2 : 1);
        auto cordas = [&texto, &linha] {
            for (int i = 0; i < 3; ++i) texto += linha;
        };
        for (std::size_t i = 0; i <= fim; ++i) {
            for (char c : {'/', ':', '0', '9', '-', '+', '.', ' ', '\r', 'y', 'Y'}) {
                cordas();
                std::string outra = linha;
                outra[i] = c;
                texto += outra + outra;
            }
            cordas();
            const std::string mais = linha.substr(0, i) + "5" + linha.substr(i);
            const std::string menos = linha.substr(0, i) + linha.substr(i + 1);
            texto += mais + mais;
            cordas();
            texto += menos + menos;
        }
    }
    texto += "M30\n";
    // Chords taken together have their traits OR-ed, and here the case
    // changes: those are left out where they are.
    auto sem_tracos = [](std::vector<std::string> linhas) {
        for (std::string& l : linhas) {
            const std::size_t i = l.find(" tr");
            if (i != std::string::npos) l.erase(i, l.find(' ', i + 1) - i);
        }
        return linhas;
    };
    const auto esperado = ler_sozinho(texto, 1);
    for (int modo = 0; modo < 3; ++modo) {
        const bool juntas = modo > 0, paralela = modo < 2;
        const auto lidas = juntas ? sem_tracos(ler_em_paralelo(texto, LeitorLinhas::bloco_padrao, 5, paralela, true))
                                  : ler_em_paralelo(texto, LeitorLinhas::bloco_padrao, 5, paralela);
        const auto linhas = juntas ? sem_tracos(esperado) : esperado;
        ASSERT_EQ(lidas.size(), linhas.size()) << "modo " << modo;
        for (std::size_t i = 0; i < lidas.size(); ++i)
            ASSERT_EQ(lidas[i], linhas[i]) << "modo " << modo;  // the first line that differs
    }
}

// Bytes that fail to read after `falha` of them, as a disk might.
class FonteQueFalha final : public Fonte {
public:
    FonteQueFalha(std::string_view bytes, std::size_t falha) : bytes_(bytes), falha_(falha) {}
    std::size_t ler(char* destino, std::size_t n) override {
        const std::size_t k = std::min(n, std::min(bytes_.size(), falha_) - lidos_);
        std::memcpy(destino, bytes_.data() + lidos_, k);
        lidos_ += k;
        erro_ = erro_ || (k < n && lidos_ == falha_ && falha_ < bytes_.size());
        return k;
    }
    bool erro() const override { return erro_; }

private:
    std::string_view bytes_;
    std::size_t falha_, lidos_ = 0;
    bool erro_ = false;
};

std::vector<std::string> linhas_de(Fonte& fonte, std::size_t bloco, bool antecipavel, bool outra_tarefa) {
    LeitorLinhas leitor(fonte, bloco, antecipavel);
    // Another thread reads ahead all the while, as the model's thread does.
    std::atomic<bool> fim{false};
    struct Ambos {
        LeitorLinhas* leitor;
        std::atomic<bool>* fim;
    } ambos{&leitor, &fim};
    std::unique_ptr<Tarefa> t;
    if (outra_tarefa)
        t = std::make_unique<Tarefa>(
            [](void* p) {
                auto* a = static_cast<Ambos*>(p);
                while (!a->fim->load()) a->leitor->antecipar();
            },
            &ambos);
    std::vector<std::string> r;
    LinhaTexto l;
    while (leitor.proxima(l))
        r.push_back(std::to_string(l.numero) + (l.sem_fim_de_linha ? " sem-fim " : " ") + std::to_string(l.bytes) +
                    (l.longa ? " longa " : " ") + std::string(l.texto));
    r.push_back("erro " + std::to_string(leitor.erro_leitura()));
    fim = true;
    return r;
}

TEST(VisualizarLeituraParalela, BlocosLidosAFrenteDaoAsMesmasLinhas) {
    std::string texto = arquivo_misto();
    // A line as long as a block and then some, and a file whose end falls on a block's.
    texto += "\n" + std::string(LeitorLinhas::max_linha + 3, 'y') + "\nM30\n";
    for (std::size_t bloco : {std::size_t{1}, std::size_t{37}, std::size_t{4096}, LeitorLinhas::bloco_padrao})
        for (std::size_t tamanho : {texto.size(), texto.size() - texto.size() % bloco}) {
            const std::string_view bytes(texto.data(), tamanho);
            FonteMemoria sozinha(bytes);
            const auto esperado = linhas_de(sozinha, bloco, false, false);
            for (bool outra : {false, true}) {
                FonteMemoria fonte(bytes);
                EXPECT_EQ(linhas_de(fonte, bloco, true, outra), esperado) << "bloco " << bloco << " outra " << outra;
            }
        }
    // A read that fails midway is told, with the lines before it.
    for (bool antecipavel : {false, true}) {
        FonteQueFalha fonte(texto, 70000);
        const auto linhas = linhas_de(fonte, 4096, antecipavel, antecipavel);
        EXPECT_EQ(linhas.back(), "erro 1");
        EXPECT_GT(linhas.size(), 2000u);
    }
}

TEST(VisualizarLeituraParalela, ParaNoMeioSemEsperarPeloResto) {
    std::string texto;
    for (int i = 0; i < 200000; ++i) texto += "g01 x1.000 y2.000 z-0.500\n";
    const auto inicio = std::chrono::steady_clock::now();
    for (int vez = 0; vez < 20; ++vez) {
        FonteMemoria fonte(texto);
        LeituraParalela leitura(fonte, 4096, 16);
        for (int i = 0; i < 100; ++i) ASSERT_NE(leitura.proxima(), nullptr);
    }
    // The reader left waiting for a batch back is let go, not waited for.
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(20));
}

}  // namespace
