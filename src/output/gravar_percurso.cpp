#include "output/gravar_percurso.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "trabalho/parada_critica.hpp"
#include "emissao/emissor.hpp"
#include "emissao/nome_programa.hpp"
#include "output/opcoes_percurso.hpp"
#include "output/relatorio_diametro_usinado.hpp"
#include "output/resumo.hpp"
#include "percurso/construir.hpp"
#include "percurso/guias.hpp"
#include "vocabulario/geometria.hpp"
#include "vocabulario/regras.hpp"

namespace {

// Every part of the file in order, by `emissor` into its file; the extents into `d`.
void emitir(DadosRosca& d, const OpcoesGeracao& opcoes, const ExtrasResumo& extras, Emissor& emissor,
            SaidaArquivo& arquivo, Console& console, Percurso& percurso) {
    percurso = construir_percurso(d, opcoes);

    emissor.inicio(percurso);
    gravar_resumo(d, emissor.escrita(), extras);
    gravar_opcoes_percurso(percurso, opcoes.alguma, emissor.escrita());
    emissor.preambulo(percurso);
    emissor.passes(percurso, &console);
    const gerador::Extremos& e = emissor.extremos();
    d.x_max = e.x_max;
    d.x_min = e.x_min;
    d.y_max = e.y_max;
    d.y_min = e.y_min;
    relatorio_diametro_usinado(d, emissor.escrita(), console);
    emissor.final(percurso);
    // Only a file that reached the disk whole is reported as saved.
    arquivo.fechar();
}

// The bytes of a writing counted into `bytes` and dropped, up to `limite`:
// past it the writing fails, as on a full disk, and stops there.
class Contagem final : public DestinoArquivo {
public:
    Contagem(std::uint64_t& bytes, std::uint64_t limite) : bytes_(bytes), limite_(limite) {}
    bool gravar(const char*, std::size_t n) override {
        bytes_ += n;
        return bytes_ <= limite_;
    }
    bool fechar() override { return true; }

private:
    std::uint64_t& bytes_;
    std::uint64_t limite_;
};

// "449.3 MB", "45.0 GB": decimal units, as disks are sold.
std::string tamanho(double bytes) {
    char texto[64];
    if (bytes >= 1e9)
        std::snprintf(texto, sizeof texto, "%.1f GB", bytes / 1e9);
    else
        std::snprintf(texto, sizeof texto, "%.1f MB", bytes / 1e6);
    return texto;
}

[[noreturn]] void recusar(const std::string& texto) { parada_critica("\n\a" + texto + "\n\a" + msg_nenhum_arquivo); }

// The file's size, known before its first byte by writing it once into a
// count: every part as the file will have it, the same code. Beyond the
// limit the count stops, and the file is refused with about how large it
// would be, from the share of its passes counted. A stop of the writing
// itself is left to the writing, which says it as always.
std::uint64_t tamanho_do_arquivo(const DadosRosca& d, const OpcoesGeracao& opcoes, OpcoesEmissao emissao,
                                 const ExtrasResumo& extras) {
    emissao.ouvinte = nullptr;
    emissao.progresso = false;
    DadosRosca copia = d;
    auto console = Console::em_memoria("");
    std::uint64_t bytes = 0;
    SaidaArquivo arquivo(std::make_unique<Contagem>(bytes, emissao.max_bytes));
    Emissor emissor(*opcoes.dialeto, arquivo, emissao);
    Percurso percurso;
    try {
        emitir(copia, opcoes, extras, emissor, arquivo, *console, percurso);
        return bytes;
    } catch (const ParadaCritica&) {
        if (bytes <= emissao.max_bytes) return 0;
    }
    const double parte = emissor.parte_escrita(percurso);
    char limite[160];
    std::snprintf(limite, sizeof limite, "%s (%llu bytes)", tamanho(static_cast<double>(emissao.max_bytes)).c_str(),
                  static_cast<unsigned long long>(emissao.max_bytes));
    const std::string texto =
        parte > 0 ? "ERRO! O arquivo do percurso teria cerca de " + tamanho(static_cast<double>(bytes) / parte) +
                        ", mais que o limite de " + limite
                  : "ERRO! O arquivo do percurso teria mais que o limite de " + std::string(limite);
    recusar(texto + ", que nenhum trabalho real precisa. Confira o passo, o comprimento e os furos.");
}

// Centres nearer each other than two threads and the cutter between them
// take: inside a bore the cutter stays within the thread's diameter, so two
// holes must be that far apart; outside a blank it goes round beside it, so
// the next blank must also clear the cutter.
void conferir_furos(const DadosRosca& d, const OpcoesGeracao& opcoes) {
    const bool interna = rosca_interna(d);
    const double diametro =
        interna ? static_cast<double>(d.Diametro_final_total)
                : vocabulario::diametro_blank(d.Diametro_inicial, d.Diametro_final_total, d.passo_rosca);
    const double ferramenta = interna ? 0.0 : static_cast<double>(d.D_ferramenta);
    std::size_t a = 0, b = 0;
    if (!furos_proximos(opcoes.furos, diametro + ferramenta, a, b)) return;
    const Furo& f = opcoes.furos[a];
    const Furo& g = opcoes.furos[b];
    char texto[512];
    if (interna)
        std::snprintf(texto, sizeof texto,
                      "ERRO! Os furos das linhas %zu e %zu de %s estao a %.3f mm um do outro, menos que o diametro "
                      "da rosca (%.3f mm): as roscas se cortariam.",
                      f.linha, g.linha, opcoes.arquivo_furos.c_str(), std::hypot(g.x - f.x, g.y - f.y), diametro);
    else
        std::snprintf(texto, sizeof texto,
                      "ERRO! Os furos das linhas %zu e %zu de %s estao a %.3f mm um do outro, menos que o diametro "
                      "externo da rosca mais o da fresa (%.3f + %.3f mm): a fresa cortaria a rosca vizinha.",
                      f.linha, g.linha, opcoes.arquivo_furos.c_str(), std::hypot(g.x - f.x, g.y - f.y), diametro,
                      ferramenta);
    recusar(texto);
}

// A taper that narrows a bore's passes by more than their radius over the
// path's depth would take the cutter's centre across the axis and into the
// wall on the other side. The first pass is the nearest the axis: a bore's
// passes grow, and all narrow alike; outside a blank every pass widens.
void conferir_conicidade(const DadosRosca& d, const OpcoesGeracao& opcoes) {
    if (opcoes.modos.conicidade == 0) return;
    const Percurso p = construir_percurso(d, opcoes);
    SequenciaPasses sequencia(p);
    PassePercurso passe;
    if (sequencia.proximo(passe)) {
        const double fundo = profundidade_maxima(p, p.modos.arcos);
        const Helice& h = passe.helice;
        if (h.raio_em(fundo) > 0 || !(h.raio > 0)) return;
        char texto[512];
        std::snprintf(texto, sizeof texto,
                      "ERRO! Com a conicidade 1:%d e L = %.3f mm o raio do percurso do passe de diametro %.3f vai de "
                      "%.3f mm na face a %.3f mm no fundo (Z%.3f): o centro da fresa passaria pelo eixo da rosca. Use "
                      "uma conicidade, um L ou uma fresa menor.",
                      static_cast<int>(opcoes.modos.conicidade), static_cast<double>(d.comprimento_rosca),
                      static_cast<double>(passe.diametro), h.raio, h.raio_em(fundo), -fundo);
        recusar(texto);
    }
}

}  // namespace

// An upper bound of the file's size, cheap beside counting it: the passes'
// from their moves (emissor.hpp), and the lines around them (the header,
// the preamble, the extents, the trailer: a few dozen, and one a pass in the
// header's list, counted with the passes) each as wide as any of their
// numbers could make it. Past `limite`, only that is known. Where the path
// stops the run, no bound: the count then meets the stop as the writing would.
double cota_do_arquivo(const DadosRosca& d, const OpcoesGeracao& opcoes, double limite) {
    constexpr double linhas_fixas = 200, largura_fixa = 512;
    try {
        const Percurso percurso = construir_percurso(d, opcoes);
        return linhas_fixas * largura_fixa + cota_bytes_passes(percurso, *opcoes.dialeto, limite);
    } catch (const ParadaCritica&) {
        return std::numeric_limits<double>::infinity();
    }
}

void gravar_percurso(DadosRosca& d, const OpcoesGeracao& opcoes, const AbridorArquivo& abrir, Console& console,
                     OpcoesEmissao emissao, const ExtrasResumo& extras) {
    const std::string nome_arquivo = nome_do_arquivo(opcoes);
    emissao.arquivo = nome_arquivo;
    // With options, nothing is written that cannot be whole or cut sound.
    // The file's size is counted exactly only when a bound of it reaches
    // the limit or the folder's free space: counting takes about as long as
    // writing.
    std::uint64_t bytes = 0;
    double cota = 0;
    bool contado = false;
    if (opcoes.alguma) {
        conferir_conicidade(d, opcoes);
        conferir_furos(d, opcoes);
        cota = cota_do_arquivo(d, opcoes, static_cast<double>(emissao.max_bytes));
        if (cota > static_cast<double>(emissao.max_bytes)) {
            bytes = tamanho_do_arquivo(d, opcoes, emissao, extras);
            contado = true;
        }
    }
    auto destino = abrir(nome_arquivo.c_str());
    if (!destino) parada_critica(msg_abrir_arquivo);
    std::uint64_t livres = 0;
    const bool livres_conhecidos = opcoes.alguma && destino->espaco_livre(livres);
    if (livres_conhecidos && !contado && cota > static_cast<double>(livres)) {
        // Within the limit: the count stops nothing of its own.
        bytes = tamanho_do_arquivo(d, opcoes, emissao, extras);
        contado = true;
    }
    if (livres_conhecidos && contado && bytes > livres) {
        destino->descartar();
        char texto[512];
        std::snprintf(texto, sizeof texto,
                      "ERRO! O arquivo %s teria %llu bytes (%s) e a sua pasta tem %llu bytes livres (%s).",
                      nome_arquivo.c_str(), static_cast<unsigned long long>(bytes),
                      tamanho(static_cast<double>(bytes)).c_str(), static_cast<unsigned long long>(livres),
                      tamanho(static_cast<double>(livres)).c_str());
        recusar(texto);
    }
    SaidaArquivo arquivo(std::move(destino));
    Percurso percurso;
    try {
        Emissor emissor(*opcoes.dialeto, arquivo, emissao);
        emitir(d, opcoes, extras, emissor, arquivo, console, percurso);
    } catch (ParadaCritica& parada) {
        // A program cut short looks runnable to a control: none is left.
        if (arquivo.descartar()) parada.mensagem += msg_nenhum_arquivo;
        throw;
    }

    imprimir_opcoes_percurso(percurso, opcoes.alguma, *opcoes.dialeto, console);
    // A name the control would not take, and the one it would.
    if (const std::string aviso = aviso_nome_programa(*opcoes.dialeto, nome_arquivo); !aviso.empty())
        console.escrever("\n" + aviso);
    console.escrever("\n\n-------------------------------------------------------------");
    // The file may be elsewhere than the current directory once it is named.
    if (opcoes.alguma)
        console.imprimir("\nO PERCURSO da ferramenta foi salvo no arquivo: %s - com sucesso!\n\n\n",
                         nome_arquivo.c_str());
    else
        console.imprimir(
            "\nO PERCURSO da ferramenta foi salvo no diretorio atual, no arquivo: %s - com sucesso!\n\n\n",
            nome_arquivo.c_str());
}
