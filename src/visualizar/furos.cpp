#include "visualizar/furos.hpp"

#include <algorithm>
#include <cmath>

#include "visualizar/mensagem.hpp"
#include "vocabulario/comentarios.hpp"
#include "vocabulario/geometria.hpp"

namespace {

double distancia(double ax, double ay, double bx, double by) { return std::hypot(ax - bx, ay - by); }

}  // namespace

void FurosArquivo::falha(std::uint64_t linha, const std::string& texto) {
    v_.falha(Verificacoes::arquivo_completo, linha, texto);
}

void FurosArquivo::cabecalho(const Linha& l) {
    for (std::size_t i = 0; i < l.quantidade_comentarios; ++i) {
        const Comentario c = interpretar_comentario(l.comentarios[i]);
        if (c.tipo == TipoComentario::furos) {
            declarados_ = c.i;
            minutos_cada_ = c.a;
            linha_declarados_ = l.numero;
        } else if (c.tipo == TipoComentario::furo) {
            if (furos_.size() >= max_furos) {
                falha(l.numero, formatar("mais de %llu furos no cabecalho", static_cast<unsigned long long>(max_furos)));
                continue;
            }
            if (c.i != static_cast<std::int64_t>(furos_.size()) + 1)
                falha(l.numero, formatar("Furo %lld fora de ordem: o cabecalho esperava o furo %llu",
                                         static_cast<long long>(c.i), static_cast<unsigned long long>(furos_.size() + 1)));
            furos_.push_back({c.a.v, c.b.v, l.numero, 0, true});
        }
    }
}

void FurosArquivo::fechar_furo() {
    if (atual_ < 2 || furos_[atual_ - 1].linha_inicio == 0) return;
    if (cortes_atual_ < cortes_primeiro_ && !falhou_atual_) {
        FuroVisto& f = furos_[atual_ - 1];
        f.confere = false;
        falha(f.linha_inicio, formatar("furo %llu (X%.3f Y%.3f): %llu movimentos de corte, o furo 1 tem %llu",
                                       static_cast<unsigned long long>(atual_),
                                       f.x, f.y, static_cast<unsigned long long>(cortes_atual_),
                                       static_cast<unsigned long long>(cortes_primeiro_)));
    }
}

void FurosArquivo::entrar(std::size_t furo, std::uint64_t linha) {
    if (atual_ == 1) cortes_primeiro_ = cortes_atual_;
    if (atual_ >= 1) {
        cortes_furo_.resize(furos_.size(), 0);
        cortes_furo_[atual_ - 1] = cortes_atual_;
    }
    fechar_furo();
    atual_ = furo;
    cortes_atual_ = 0;
    falhou_atual_ = false;
    furos_[furo - 1].linha_inicio = linha;
}

void FurosArquivo::comparar(const Movimento& m) {
    const std::uint64_t i = cortes_atual_++;
    if (atual_ == 1) {
        if (modelo_.size() < max_cortes) modelo_.push_back({m.tipo, m.tem_z, m.para, m.centro_x, m.centro_y, m.linha});
        return;
    }
    if (falhou_atual_) return;
    FuroVisto& f = furos_[atual_ - 1];
    const double dx = f.x - furos_[0].x, dy = f.y - furos_[0].y;
    if (i >= modelo_.size()) {
        if (i < cortes_primeiro_) return;  // past what was kept of the first
        f.confere = falhou_atual_ = true;
        f.confere = false;
        falha(m.linha, formatar("furo %llu (X%.3f Y%.3f): mais movimentos de corte que o furo 1 (um furo a mais?)",
                                static_cast<unsigned long long>(atual_), f.x, f.y));
        return;
    }
    const Corte& c = modelo_[i];
    const bool arco = c.tipo == TipoMovimento::arco;
    const bool igual = c.tipo == m.tipo && std::fabs(c.para.x + dx - m.para.x) <= tolerancia &&
                       std::fabs(c.para.y + dy - m.para.y) <= tolerancia &&
                       c.tem_z == m.tem_z && (!m.tem_z || std::fabs(c.para.z - m.para.z) <= tolerancia) &&
                       (!arco || (std::fabs(c.cx + dx - m.centro_x) <= tolerancia &&
                                  std::fabs(c.cy + dy - m.centro_y) <= tolerancia));
    if (igual) return;
    f.confere = false;
    falhou_atual_ = true;
    falha(m.linha, formatar("furo %llu (X%.3f Y%.3f): o corte nao repete o do furo 1 (linha %llu) no centro do furo; "
                            "vai a X%.3f Y%.3f Z%.3f",
                            static_cast<unsigned long long>(atual_), f.x, f.y, static_cast<unsigned long long>(c.linha), m.para.x, m.para.y, m.para.z));
}

bool FurosArquivo::filtrar_furo(Linha& l) {
    if (!movido_) {
        if (l.quantidade_comentarios > 0) cabecalho(l);
        if (l.tipo != TipoLinha::movimento) return true;
        movido_ = true;
        conferir_separacao();
    }
    if (furos_.empty()) return true;
    if (l.tipo == TipoLinha::movimento) {
        Movimento& m = l.movimento;
        // The path goes from hole to hole by rapids above the part: a move
        // below the face (a retract to the corner) is its hole's, wherever it goes.
        const double acima = -1e-6;
        const bool no_alto = m.tipo == TipoMovimento::rapido && (!m.z_conhecido || (m.de.z >= acima && m.para.z >= acima));
        if ((m.tem_x || m.tem_y) && no_alto) {
            const double x = m.para.x, y = m.para.y;
            if (atual_ == 0) {
                // Before the first hole the path stands at the program's zero.
                const double d = distancia(x, y, furos_[0].x, furos_[0].y);
                if (d <= 1e-9 || std::hypot(x, y) > 1e-9) entrar(1, m.linha);
            } else if (atual_ < furos_.size()) {
                const FuroVisto &a = furos_[atual_ - 1], &b = furos_[atual_];
                if (distancia(x, y, b.x, b.y) < distancia(x, y, a.x, a.y)) entrar(atual_ + 1, m.linha);
            }
        }
        if (atual_ >= 1 && m.corte()) comparar(m);
        if (atual_ == 1) {
            const double cx = furos_[0].x, cy = furos_[0].y;
            m.de.x -= cx;
            m.de.y -= cy;
            m.para.x -= cx;
            m.para.y -= cy;
            m.centro_x -= cx;
            m.centro_y -= cy;
            return true;
        }
        if (atual_ == 0) return true;
        // A later hole's block that ends the program still ends it for the checks.
        if (l.m < 0) return false;
        l.tipo = TipoLinha::comando;
        return true;
    }
    if (atual_ < 2) return true;
    // A later hole's turn comments are the first's again.
    for (std::size_t i = 0; i < l.quantidade_comentarios; ++i) {
        const TipoComentario t = interpretar_comentario(l.comentarios[i]).tipo;
        if (t == TipoComentario::volta || t == TipoComentario::diametro_volta) {
            l.quantidade_comentarios = 0;
            return l.tipo != TipoLinha::comentario;
        }
    }
    return true;
}

void FurosArquivo::conferir_separacao() {
    // Inside a bore the cutter stays within the thread's diameter; outside a
    // blank it goes round beside it, and the next blank must clear it too.
    if (!c_.Df.presente() || (c_.externa() && (!c_.ferramenta.presente() || !c_.p.presente()))) return;
    const double di = c_.Di.presente() && !c_.Di_desabilitado ? c_.Di.v : 0;
    const double separacao =
        c_.externa() ? vocabulario::diametro_blank(di, c_.Df.v, c_.p.v) + c_.ferramenta.v : c_.Df.v;
    if (!std::isfinite(separacao)) return;
    // Sorted along X, each centre against those less than `separacao` after it.
    std::vector<std::size_t> ordem(furos_.size());
    for (std::size_t i = 0; i < ordem.size(); ++i) ordem[i] = i;
    std::sort(ordem.begin(), ordem.end(), [this](std::size_t a, std::size_t b) { return furos_[a].x < furos_[b].x; });
    for (std::size_t i = 0; i < ordem.size() && separacao > 0; ++i)
        for (std::size_t j = i + 1; j < ordem.size() && furos_[ordem[j]].x - furos_[ordem[i]].x < separacao; ++j) {
            const FuroVisto &a = furos_[std::min(ordem[i], ordem[j])], &b = furos_[std::max(ordem[i], ordem[j])];
            const double d = distancia(a.x, a.y, b.x, b.y);
            if (d >= separacao - tolerancia) continue;
            falha(b.linha, formatar("furos %llu e %llu (linhas %llu e %llu) a %.3f mm um do outro: menos que %.3f mm "
                                    "(%s), um corta o outro",
                                    static_cast<unsigned long long>(std::min(ordem[i], ordem[j]) + 1),
                                    static_cast<unsigned long long>(std::max(ordem[i], ordem[j]) + 1),
                                    static_cast<unsigned long long>(a.linha), static_cast<unsigned long long>(b.linha),
                                    d, separacao, c_.externa() ? "o blank e a fresa" : "o diametro da rosca"));
        }
}

void FurosArquivo::fim() {
    if (furos_.empty()) return;
    if (atual_ == 1) cortes_primeiro_ = cortes_atual_;
    fechar_furo();
    if (declarados_ >= 0 && static_cast<std::uint64_t>(declarados_) != furos_.size())
        falha(linha_declarados_, formatar("o cabecalho diz %lld furos e lista %llu", static_cast<long long>(declarados_),
                                          static_cast<unsigned long long>(furos_.size())));
    for (std::size_t k = atual_; k < furos_.size(); ++k) {
        furos_[k].confere = false;
        falha(furos_[k].linha, formatar("furo %llu (X%.3f Y%.3f) sem percurso: o programa nao chega a ele",
                                        static_cast<unsigned long long>(k + 1),
                                        furos_[k].x, furos_[k].y));
    }
}

void FurosArquivo::inicio_chamada(std::uint64_t numero, double dx, double dy) {
    if (chamadas_.size() < numero) chamadas_.resize(numero);
    Chamada& c = chamadas_[numero - 1];
    c.dx = dx;
    c.dy = dy;
    c.furo = atual_;
    c.cortes_antes = cortes_atual_;
}

void FurosArquivo::fim_chamada(std::uint64_t numero) {
    if (numero == 0 || chamadas_.size() < numero) return;
    Chamada& c = chamadas_[numero - 1];
    c.cortes = c.furo == atual_ ? cortes_atual_ - c.cortes_antes : 0;
}

bool FurosArquivo::pode_repetir(std::uint64_t numero) const {
    if (numero == 0 || chamadas_.size() < numero || atual_ < 2 || cortes_atual_ != 0) return false;
    const Chamada& c = chamadas_[numero - 1];
    return c.furo >= 1 && c.furo < atual_ && c.cortes_antes == 0 && c.cortes > 0 && cortes_furo_.size() >= c.furo &&
           cortes_furo_[c.furo - 1] == c.cortes;
}

void FurosArquivo::repetir(std::uint64_t numero, double dx, double dy, std::uint64_t linha) {
    const Chamada& c = chamadas_[numero - 1];
    const FuroVisto& de = furos_[c.furo - 1];
    FuroVisto& f = furos_[atual_ - 1];
    cortes_atual_ = c.cortes;
    if (falhou_atual_) return;
    // The hole's cut is the other's moved by the shifts' difference: it
    // repeats the first hole's at its centre when the other's does at its own
    // and the shifts are the centres' difference apart.
    const bool centro =
        std::fabs(dx - c.dx - (f.x - de.x)) <= tolerancia && std::fabs(dy - c.dy - (f.y - de.y)) <= tolerancia;
    if (centro && de.confere) return;
    f.confere = false;
    falhou_atual_ = true;
    falha(linha, centro ? formatar("furo %llu (X%.3f Y%.3f): repete o corte do furo %llu, que nao repete o do furo 1",
                                   static_cast<unsigned long long>(atual_), f.x, f.y,
                                   static_cast<unsigned long long>(c.furo))
                        : formatar("furo %llu (X%.3f Y%.3f): o corte nao repete o do furo 1 no centro do furo; o "
                                   "deslocamento o leva a X%.3f Y%.3f",
                                   static_cast<unsigned long long>(atual_), f.x, f.y, de.x + dx - c.dx,
                                   de.y + dy - c.dy));
}
