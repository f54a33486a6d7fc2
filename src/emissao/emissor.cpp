#include "emissao/emissor.hpp"

#include "emissao/escritor_heidenhain.hpp"
#include "emissao/escritor_iso.hpp"
#include "emissao/linearizacao.hpp"

namespace {

// The verbs to the dialect's writer and to a listener beside it.
class Repassa final : public Verbos {
public:
    Repassa(Verbos& escritor, Verbos& ouvinte) : escritor_(escritor), ouvinte_(ouvinte) {}
    void rapido(const Alvo& a, bool saindo) override {
        ouvinte_.rapido(a, saindo);
        escritor_.rapido(a, saindo);
    }
    void reta(const Alvo& a, Compensacao c) override {
        ouvinte_.reta(a, c);
        escritor_.reta(a, c);
    }
    void arco(const Alvo& fim, Ponto centro, double varredura) override {
        ouvinte_.arco(fim, centro, varredura);
        escritor_.arco(fim, centro, varredura);
    }
    void volta(std::int64_t n) override {
        ouvinte_.volta(n);
        escritor_.volta(n);
    }

private:
    Verbos& escritor_;
    Verbos& ouvinte_;
};

// The dialect's writer: the ISO one from the table, or a language's own.
std::unique_ptr<EscritorDialeto> escritor_do_dialeto(const vocabulario::Dialeto& d, SaidaArquivo& arquivo,
                                                     const OpcoesEmissao& opcoes) {
    switch (d.linguagem) {
        case vocabulario::Linguagem::texto_claro: return criar_escritor_heidenhain(d, arquivo, opcoes.arquivo);
        case vocabulario::Linguagem::iso: break;
    }
    return std::make_unique<EscritorIso>(d, arquivo);
}

}  // namespace

Emissor::Emissor(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo, OpcoesEmissao opcoes)
    : dialeto_(dialeto), escritor_(escritor_do_dialeto(dialeto, arquivo, opcoes)), opcoes_(std::move(opcoes)) {}

Emissor::~Emissor() = default;

void Emissor::inicio(const Percurso& percurso) { escritor_->inicio(percurso); }

void Emissor::preambulo(const Percurso& percurso) { escritor_->preambulo(percurso); }

void Emissor::final(const Percurso& percurso) { escritor_->final(percurso); }

void Emissor::passe(const Percurso& percurso, const PasseTrajeto& t, Verbos& verbos) {
    for (const Segmento& s : t.segmentos) {
        switch (s.tipo) {
            case TipoSegmento::rapido: verbos.rapido(s.alvo, s.saindo); break;
            case TipoSegmento::reta: verbos.reta(s.alvo, s.compensacao); break;
            case TipoSegmento::arco: linearizar_arco(s, percurso.modos.arcos, verbos); break;
            case TipoSegmento::volta: verbos.volta(1); break;
            case TipoSegmento::helice:
                // Today's pass keeps today's layout, and the fast way of writing it.
                if (t.hoje)
                    escritor_->helice_de_hoje(t, opcoes_.escrita_simples || opcoes_.ouvinte ? &verbos : nullptr);
                else
                    linearizar_helice(t.helice, verbos, dialeto_.graus_por_arco);
                break;
        }
    }
}

void Emissor::passes(const Percurso& percurso, Console* console) {
    // Erased when this returns or a stop unwinds, before the console goes on.
    Progresso progresso(linhas_previstas(percurso), console);
    escritor_->usar_progresso(&progresso);
    struct Sem {
        EscritorDialeto& escritor;
        ~Sem() { escritor.usar_progresso(nullptr); }
    } sem{*escritor_};
    std::unique_ptr<Repassa> repassa;
    if (opcoes_.ouvinte) repassa = std::make_unique<Repassa>(*escritor_, *opcoes_.ouvinte);
    Verbos& verbos = repassa ? static_cast<Verbos&>(*repassa) : static_cast<Verbos&>(*escritor_);

    SequenciaPasses sequencia(percurso);
    PassePercurso p;
    PasseTrajeto t;
    while (sequencia.proximo(p)) {
        tracar_passe(percurso, p, t);
        extremos_.juntar(t.extremos);
        escritor_->abrir_passe(t);
        passe(percurso, t, verbos);
        escritor_->fechar_passe();
    }
    std::vector<Segmento> fim;
    tracar_fim(percurso, fim);
    if (!fim.empty()) {
        for (const Segmento& s : fim) verbos.rapido(s.alvo, s.saindo);
        escritor_->fechar_passe();
    }
}
