#include "visualizar/analise.hpp"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "visualizar/conferencias.hpp"
#include "visualizar/execucao.hpp"
#include "visualizar/leitor_gcode.hpp"
#include "visualizar/mensagem.hpp"
#include "visualizar/tolerancias.hpp"
#include "vocabulario/dialeto.hpp"

namespace {

// The values the operator may have changed at the top of the file, in any
// dialect's variables.
bool ajustar(Modelo& m, const ExecucaoPrograma& e) {
    for (const vocabulario::Dialeto* d : vocabulario::dialetos) {
        double diametro = 0, desbastes = 1;
        if (d->variavel_diametro.empty() || !e.variavel(d->variavel_diametro, diametro)) continue;
        e.variavel(d->variavel_desbastes, desbastes);
        m.ajustar(diametro, desbastes != 0, e.linha_variavel(d->variavel_diametro));
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

// Lines kept as LeitorLinhas cut them, to be read later.
struct LinhasGuardadas {
    std::string texto;  // each line and "\n" (none after a last line that has none)
    std::vector<std::pair<std::uint64_t, std::uint64_t>> longas;
    std::uint64_t primeira = 0;
    std::size_t quantas = 0;

    void guardar(const LinhaTexto& t) {
        if (quantas++ == 0) primeira = t.numero;
        texto.append(t.texto);
        if (!t.sem_fim_de_linha) texto += '\n';
        if (t.longa) longas.emplace_back(t.numero, t.bytes);
    }
    // Each line again, as it was cut.
    template <class F>
    void reler(F&& usar) {
        texto.append(LeitorLinhas::folga, '\0');
        std::string_view resto(texto.data(), texto.size() - LeitorLinhas::folga);
        std::size_t longa = 0;
        for (std::uint64_t numero = primeira; !resto.empty(); ++numero) {
            const std::size_t e = resto.find('\n');
            LinhaTexto t;
            t.numero = numero;
            t.texto = resto.substr(0, e);
            t.bytes = t.texto.size();
            t.sem_fim_de_linha = e == std::string_view::npos;
            if (longa < longas.size() && longas[longa].first == numero) {
                t.longa = true;
                t.bytes = longas[longa++].second;
            }
            resto.remove_prefix(t.sem_fim_de_linha ? resto.size() : e + 1);
            usar(t);
        }
    }
};

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
    FurosArquivo furos(v, m.cabecalho);
    LeitorGcode leitor(fonte, tamanho_bloco);
    Linha linha;
    auto dobrar = [&](Linha& l) {
        if (furos.filtrar(l))
            m.acumular(l);
        else
            m.acumular_fora(l);
    };
    // A line given, and the parts of an arc it splits.
    auto ler = [&](const LinhaTexto& t) {
        leitor.ler_dada(t, linha);
        for (dobrar(linha); leitor.pendente(); dobrar(linha)) leitor.parte_pendente(linha);
    };
    auto terminar = [&](std::uint64_t linhas, bool erro_leitura) {
        if (leitor.programa_aberto())
            v.falha(Verificacoes::arquivo_completo, linhas, "sem END PGM no fim: o comando nao toma o programa inteiro");
        furos.fim();
        // The checks see one hole: the path's time is each hole's, and the
        // whole path's is that many holes'.
        Cabecalho& c = m.cabecalho;
        const Valor& cada = furos.minutos_cada();
        if (furos.ativo() && cada.presente() && c.tempo_percurso.presente()) {
            const double n = static_cast<double>(furos.furos().size()), total = n * cada.v;
            if (!(std::fabs(c.tempo_percurso.v - total) <=
                  0.01 * total + meia_unidade(c.tempo_percurso.decimais) + n * meia_unidade(cada.decimais)))
                v.falha(Verificacoes::entradas_e_saidas,
                        c.linha_de[static_cast<std::size_t>(TipoComentario::tempo_percurso)],
                        formatar("o cabecalho diz %.1f minutos de corte pelo percurso; %.0f furos de %.1f minutos "
                                 "dao %.1f",
                                 c.tempo_percurso.v, n, cada.v, total));
            c.tempo_percurso = cada;
        }
        a.furos = furos.furos();
        m.terminar(linhas, erro_leitura);
    };

    // The header's comments go straight in. From the first block on, the
    // lines are kept until they tell whether the file must be run: the
    // variables and calls come within its first blocks. No more than a
    // bounded start of the file is kept for that.
    constexpr std::size_t max_guardado = std::size_t{4} << 20;
    LinhasGuardadas guardadas;
    LinhaTexto t;
    bool executar = false, mais = true;
    for (int blocos = 0; blocos < blocos_para_decidir && guardadas.texto.size() < max_guardado;) {
        if (!(mais = leitor.proxima_texto(t))) break;
        const ClasseBloco c = t.longa ? ClasseBloco::simples : classificar_bloco(t.texto);
        if (c == ClasseBloco::nenhum && guardadas.quantas == 0) {
            ler(t);
            continue;
        }
        guardadas.guardar(t);
        if (c == ClasseBloco::executar) {
            executar = true;
            break;
        }
        if (c == ClasseBloco::simples) ++blocos;
    }

    if (!executar) {
        guardadas.reler(ler);
        guardadas = LinhasGuardadas{};
        if (mais)
            while (leitor.proxima(linha)) dobrar(linha);
        terminar(leitor.linhas(), leitor.erro_leitura());
        return;
    }

    // The program is run from its first block, held whole.
    bool grande = false;
    while (leitor.proxima_texto(t)) {
        guardadas.guardar(t);
        if (guardadas.texto.size() > ExecucaoPrograma::max_bytes) {
            grande = true;
            break;
        }
    }
    const bool erro_leitura = leitor.erro_leitura();
    if (grande) {
        v.falha(Verificacoes::arquivo_completo, 0,
                formatar("programa com variaveis, subprogramas ou deslocamentos maior que %llu MB: nao executado",
                         static_cast<unsigned long long>(ExecucaoPrograma::max_bytes >> 20)));
        terminar(leitor.linhas(), erro_leitura);
        return;
    }
    ExecucaoPrograma execucao(std::move(guardadas.texto), guardadas.primeira, std::move(guardadas.longas),
                              furos.furos().size());
    // Hole after hole, a call that repeats a whole earlier hole's is not run again.
    execucao.repetir_chamadas([&furos](std::uint64_t c) { return furos.pode_repetir(c); });
    BlocoExecutado b;
    bool ajustado = false;
    std::uint64_t chamada = 0;
    while (execucao.proximo(b)) {
        if (b.chamada != chamada) {
            furos.fim_chamada(chamada);
            if (b.chamada != 0) furos.inicio_chamada(b.chamada, b.dx, b.dy);
            chamada = b.chamada;
        }
        if (b.repete != 0) {
            furos.repetir(b.repete, b.dx, b.dy, b.linha.numero);
            continue;
        }
        leitor.ler_dada(b.linha, linha);
        // The variables are set after the preamble's rapids, before the first pass.
        if (!ajustado && linha.tipo == TipoLinha::movimento)
            ajustado = ajustar(m, execucao) || linha.movimento.corte();
        for (;;) {
            deslocar(linha, b.dx, b.dy);
            dobrar(linha);
            if (!leitor.pendente()) break;
            leitor.parte_pendente(linha);
        }
    }
    for (const auto& [numero, motivo] : execucao.problemas()) v.falha(Verificacoes::arquivo_completo, numero, motivo);
    if (!execucao.erro().empty())
        v.falha(Verificacoes::arquivo_completo, execucao.linha_erro(), "o programa nao se executa: " + execucao.erro());
    terminar(execucao.linhas(), erro_leitura);
}
