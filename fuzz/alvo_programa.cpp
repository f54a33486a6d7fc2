// libFuzzer target: one whole run (dialogue, plan, estimates, summary, file)
// with the input bytes as everything the machinist types. An input that
// starts with '#' takes its next two bytes as the file's options (dialect,
// ways of cutting, taper), so those writers meet hostile answers too.
//
// Every input must end as the program promises: status 0 with a whole file,
// or status 1 after a critical stop, with no file opened before the file
// phase. Anything else traps, and so does any sanitizer finding.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "nucleo/console.hpp"
#include "trabalho/parada_critica.hpp"
#include "driver/programa.hpp"
#include "emissao/saida_arquivo.hpp"
#include "trabalho/opcoes_geracao.hpp"

namespace {

// A job may legitimately ask for billions of lines; past these limits the
// input has shown all it can and the run is cut short.
constexpr std::size_t limite_arquivo = std::size_t{1} << 20;
constexpr std::size_t limite_console = std::size_t{1} << 20;

// A file in memory that refuses bytes past the limit, so the run ends through
// the program's own write-failure stop (status 1).
class ArquivoLimitado final : public DestinoArquivo {
public:
    explicit ArquivoLimitado(std::string* bytes) : bytes_(bytes) {}
    bool gravar(const char* dados, std::size_t n) override {
        if (n > limite_arquivo - bytes_->size()) return false;
        bytes_->append(dados, n);
        return true;
    }
    bool fechar() override { return true; }

private:
    std::string* bytes_;
};

bool termina_com(std::string_view texto, std::string_view fim) {
    return texto.size() >= fim.size() && texto.substr(texto.size() - fim.size()) == fim;
}

void exigir(bool condicao) {
    if (!condicao) __builtin_trap();
}

const std::string pausa = std::string(texto_pausa) + "\n";

// The options two bytes choose; combinations the command line refuses are left out.
OpcoesGeracao opcoes_de(std::uint8_t a, std::uint8_t b) {
    OpcoesGeracao o;
    // Two bits of `a` and one of `b`: every dialect, the first two twice.
    o.dialeto = vocabulario::dialetos[((a & 3) | ((b & 0x40) >> 4)) % std::size(vocabulario::dialetos)];
    vocabulario::ModosCorte& m = o.modos;
    m.arcos = a & 4;
    m.fresamento = (a & 8)    ? vocabulario::Fresamento::concordante
                   : (a & 16) ? vocabulario::Fresamento::discordante
                              : vocabulario::Fresamento::hoje;
    m.tangencial = a & 32;
    o.ferramenta = (b >> 4) % 3;
    if ((a & 64) && o.dialeto != &vocabulario::grbl)
        m.corretor = o.dialeto->corretor_fixo > 0 ? o.dialeto->corretor_fixo : o.ferramenta > 0 ? o.ferramenta : 1;
    if ((a & 128) && !m.arcos && !m.compensacao()) m.conicidade = 3 + b % 98;
    m.repeticoes = (b >> 1) % 6;
    m.avanco_na_aresta = b & 1;
    o.alguma = true;
    return o;
}
constexpr std::string_view sucesso = " - com sucesso!\n\n\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t n) {
    OpcoesGeracao opcoes;
    if (n >= 3 && dados[0] == '#') {
        opcoes = opcoes_de(dados[1], dados[2]);
        dados += 3;
        n -= 3;
    }
    auto console = Console::em_memoria(std::string(reinterpret_cast<const char*>(dados), n), limite_console);
    std::string arquivo;
    bool aberto = false;
    int status;
    try {
        // With options a file past the limit is refused before it is opened,
        // once its size has been counted that far.
        status = executar_programa(*console, [&](const char*) {
            exigir(!aberto);
            aberto = true;
            return std::make_unique<ArquivoLimitado>(&arquivo);
        }, opcoes, OpcoesEmissao{.max_bytes = limite_arquivo});
    } catch (const ConsoleCheia&) {
        return 0;
    }
    const std::string& saida = console->capturado();

    exigir(status == 0 || status == 1);
    // Every run, whatever its end, finishes with the pause.
    exigir(termina_com(saida, pausa));
    if (status == 0) {
        exigir(aberto);
        const vocabulario::Dialeto& d = *opcoes.dialeto;
        const std::string fim(d.fim_de_linha);
        if (d.linguagem == vocabulario::Linguagem::texto_claro) {
            // Numbered blocks between BEGIN PGM and END PGM.
            exigir(arquivo.starts_with("0 BEGIN PGM "));
            exigir(arquivo.find(" END PGM ") != std::string::npos && termina_com(arquivo, " MM" + fim));
            exigir(arquivo.find(fim + fim) == std::string::npos);
        } else {
            const bool enquadrado = d.enquadramento;
            exigir(!arquivo.empty() &&
                   arquivo.front() == (enquadrado ? '%' : d.comentario == vocabulario::EstiloComentario::parenteses ? '(' : ';'));
            exigir(termina_com(arquivo, enquadrado ? fim + "M30" + fim + "%" + fim : fim + "M30" + fim));
        }
        exigir(termina_com(saida, std::string(sucesso) + pausa));
    } else {
        exigir(saida.find(sucesso) == std::string::npos);
        // Answers that ran out never reach the file.
        if (termina_com(saida, std::string(msg_entrada_encerrada) + pausa)) exigir(!aberto);
    }
    // The G-code file is ASCII with the dialect's line ends only: CR LF, or LF alone.
    const bool cr_lf = opcoes.dialeto->fim_de_linha == "\r\n";
    for (std::size_t i = 0; i < arquivo.size(); ++i) {
        const auto c = static_cast<unsigned char>(arquivo[i]);
        exigir(c < 0x80);
        if (c == '\n') exigir(!cr_lf || (i > 0 && arquivo[i - 1] == '\r'));
        // A file cut short by a failed write may end between the two.
        if (c == '\r') exigir(cr_lf && (i + 1 == arquivo.size() || arquivo[i + 1] == '\n'));
    }
    return 0;
}
