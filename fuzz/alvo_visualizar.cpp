// libFuzzer target for the viewer: the input bytes as a G-code file, read,
// checked and drawn as the program does, in blocks of a few bytes so that
// short inputs cross block boundaries.
//
// Every input must end as the viewer promises: the same report whatever the
// block size, a report of ASCII lines within 80 columns, a picture (when a
// move was read) that is one SVG document within its size bound. Anything
// else traps, and so does any sanitizer finding.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "nucleo/console.hpp"
#include "visualizar/analise.hpp"
#include "visualizar/desenho_svg.hpp"
#include "visualizar/relatorio.hpp"

namespace {

void exigir(bool condicao) {
    if (!condicao) __builtin_trap();
}

std::string relatorio(const Analise& a) {
    auto console = Console::em_memoria("");
    imprimir_relatorio(*console, a, "f.tap");
    imprimir_conclusao(*console, a, "f.svg", a.modelo.movimentos > 0);
    return console->capturado();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t n) {
    const std::string_view bytes(reinterpret_cast<const char*>(dados), n);
    FonteMemoria pequena(bytes);
    auto a = std::make_unique<Analise>();
    analisar(pequena, *a, 7);
    const std::string texto = relatorio(*a);

    // Where the blocks end must not show.
    FonteMemoria inteira(bytes);
    auto b = std::make_unique<Analise>();
    analisar(inteira, *b);
    exigir(relatorio(*b) == texto);

    std::size_t coluna = 0;
    for (char c : texto) {
        const auto u = static_cast<unsigned char>(c);
        exigir(u == '\n' || (u >= 0x20 && u < 0x7f));
        coluna = c == '\n' ? 0 : coluna + 1;
        exigir(coluna <= 79);
    }
    exigir(!texto.empty() && texto.back() == '\n');
    const bool ok = a->verificacoes.todas_ok();
    exigir(texto.find(ok ? "tudo confere." : "ATENCAO") != std::string::npos);

    if (a->modelo.movimentos > 0) {
        const std::string svg = desenhar_svg(*a, "f.tap");
        exigir(svg.size() <= max_bytes_svg);
        exigir(svg.rfind("<?xml", 0) == 0);
        exigir(svg.size() >= 7 && svg.compare(svg.size() - 7, 7, "</svg>\n") == 0);
    }
    return 0;
}
