#include "visualizar/analise.hpp"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>

#include "visualizar/conferencias.hpp"
#include "visualizar/execucao.hpp"
#include "visualizar/leitor_gcode.hpp"
#include "visualizar/leitura_paralela.hpp"
#include "visualizar/mensagem.hpp"
#include "vocabulario/dialeto.hpp"

namespace {

// The first bytes, already read to look at, then the rest of the file.
class FonteRetomada final : public Fonte {
public:
    FonteRetomada(std::string_view inicio, Fonte& resto) : inicio_(inicio), resto_(resto) {}
    std::size_t ler(char* destino, std::size_t n) override {
        const std::size_t k = std::min(n, inicio_.size());
        if (k > 0) std::memcpy(destino, inicio_.data(), k);
        inicio_.remove_prefix(k);
        return k == n ? k : k + resto_.ler(destino + k, n - k);
    }
    bool erro() const override { return resto_.erro(); }

private:
    std::string_view inicio_;
    Fonte& resto_;
};

// Up to `n` bytes more of `fonte` onto `texto`; false when it holds no more.
bool ler_mais(Fonte& fonte, std::string& texto, std::size_t n) {
    const std::size_t antes = texto.size();
    texto.resize(antes + n);
    const std::size_t lidos = fonte.ler(texto.data() + antes, n);
    texto.resize(antes + lidos);
    return lidos == n;
}

// The values the operator may have changed at the top of the file, in any
// dialect's variables.
bool ajustar(Modelo& m, const ExecucaoPrograma& e) {
    for (const vocabulario::Dialeto* d : vocabulario::dialetos) {
        double diametro = 0, desbastes = 1;
        if (d->variavel_diametro.empty() || !e.variavel(d->variavel_diametro, diametro)) continue;
        e.variavel(d->variavel_desbastes, desbastes);
        m.ajustar(diametro, desbastes != 0);
        return true;
    }
    return false;
}

void deslocar(Linha& l, double dx, double dy) {
    if (l.tipo != TipoLinha::movimento || (dx == 0 && dy == 0)) return;
    Movimento& m = l.movimento;
    m.de.x += dx;
    m.de.y += dy;
    m.para.x += dx;
    m.para.y += dy;
    m.centro_x += dx;
    m.centro_y += dy;
}

}  // namespace

void analisar(Fonte& fonte, Analise& a, std::size_t tamanho_bloco) {
    Modelo& m = a.modelo;
    Verificacoes& v = a.verificacoes;
    ConferenciaArquivo arquivo(m, v);
    ConferenciaCirculo circulo(m, v);
    ConferenciaPasses passes(m, v);
    ConferenciaProfundidade profundidade(m, v);
    ConferenciaDiametro diametro(m, v);
    ConferenciaPreambulo preambulo(m, v);
    ConferenciaCaminhos caminhos(m, v);
    for (Observador* o : std::initializer_list<Observador*>{&arquivo, &circulo, &passes, &profundidade, &diametro,
                                                             &preambulo, &caminhos})
        m.observar(*o);
    FurosArquivo furos(v);
    auto terminar = [&](std::uint64_t linhas, bool erro_leitura) {
        furos.fim();
        // The checks see one hole: the path's time is each hole's.
        if (furos.ativo() && furos.minutos_cada().presente() && m.cabecalho.tempo_percurso.presente())
            m.cabecalho.tempo_percurso = furos.minutos_cada();
        a.furos = furos.furos();
        m.terminar(linhas, erro_leitura);
    };

    // The variables and calls come right after the header, which a list of
    // holes makes long.
    constexpr std::size_t amostra = std::size_t{64} << 10;
    std::string inicio;
    bool decidido = false, executar = false;
    for (bool mais = true; mais && !decidido && inicio.size() <= ExecucaoPrograma::max_bytes;) {
        mais = ler_mais(fonte, inicio, amostra);
        executar = precisa_executar(inicio, &decidido);
    }
    Linha linha;
    if (executar) {
        std::string& texto = inicio;
        bool grande = false;
        while (ler_mais(fonte, texto, amostra))
            if (texto.size() > ExecucaoPrograma::max_bytes) {
                grande = true;
                break;
            }
        const bool erro_leitura = fonte.erro();
        ExecucaoPrograma execucao(std::move(texto));
        LeitorGcode leitor(fonte, tamanho_bloco);
        if (grande) {
            v.falha(Verificacoes::arquivo_completo, 0,
                    formatar("programa com variaveis, subprogramas ou deslocamentos maior que %llu MB: nao executado",
                             static_cast<unsigned long long>(ExecucaoPrograma::max_bytes >> 20)));
        } else {
            BlocoExecutado b;
            bool ajustado = false;
            while (execucao.proximo(b)) {
                leitor.ler_dada(b.texto, b.numero, b.sem_fim_de_linha, linha);
                // The variables are set after the preamble's rapids, before the first pass.
                if (!ajustado && linha.tipo == TipoLinha::movimento)
                    ajustado = ajustar(m, execucao) || linha.movimento.corte();
                for (;;) {
                    deslocar(linha, b.dx, b.dy);
                    if (furos.filtrar(linha)) m.acumular(linha);
                    if (!leitor.pendente()) break;
                    leitor.parte_pendente(linha);
                }
            }
            if (!execucao.erro().empty())
                v.falha(Verificacoes::arquivo_completo, execucao.linha_erro(),
                        "o programa nao se executa: " + execucao.erro());
        }
        terminar(execucao.linhas(), erro_leitura);
        return;
    }
    FonteRetomada retomada(inicio, fonte);
    LeituraParalela leitor(retomada, tamanho_bloco);
    for (;;) {
        if (furos.transparente() && m.toma_cordas()) [[likely]] {
            std::uint16_t tracos = 0;
            const std::span<const Movimento> cordas = leitor.cordas(tracos);
            if (!cordas.empty()) [[likely]] {
                m.acumular_cordas(cordas.data(), cordas.size(), tracos);
                continue;
            }
        }
        const Linha* l = leitor.proxima();
        if (l == nullptr) break;
        if (furos.transparente()) [[likely]] {
            m.acumular(*l);
            continue;
        }
        // The holes' filter moves the first hole's moves to its centre.
        linha = *l;
        if (furos.filtrar(linha)) m.acumular(linha);
    }
    terminar(leitor.linhas(), leitor.erro_leitura());
}
