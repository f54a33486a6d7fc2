// The picture as a person sees it: rendered by a real SVG renderer
// (rsvg-convert) and read back pixel by pixel; and as a parser sees it.
#include <gtest/gtest.h>

#include <expat.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "apoio/execucao.hpp"
#include "apoio/visualizacao.hpp"
#include "visualizar/analise.hpp"
#include "visualizar/desenho_svg.hpp"

namespace {

struct Imagem {
    unsigned largura = 0, altura = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* pixel(double x, double y) const {
        const auto px = static_cast<unsigned>(std::lround(x)), py = static_cast<unsigned>(std::lround(y));
        return &rgba[(static_cast<std::size_t>(py) * largura + px) * 4];
    }
};

// Renders at the page's natural width (one SVG unit, one pixel).
Imagem renderizar(const std::string& svg, const DiretorioTemporario& d) {
    if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) {
        ADD_FAILURE() << "rsvg-convert nao encontrado: instale o pacote librsvg2-bin (.ci/run o instala)";
        return {};
    }
    gravar_arquivo(d / "f.svg", svg);
    const std::string comando = "rsvg-convert -w 1000 '" + (d / "f.svg") + "' -o '" + (d / "f.png") + "'";
    EXPECT_EQ(std::system(comando.c_str()), 0);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    Imagem r;
    if (!png_image_begin_read_from_file(&png, (d / "f.png").c_str())) {
        ADD_FAILURE() << "PNG ilegivel";
        return r;
    }
    png.format = PNG_FORMAT_RGBA;
    r.largura = png.width;
    r.altura = png.height;
    r.rgba.resize(PNG_IMAGE_SIZE(png));
    EXPECT_TRUE(png_image_finish_read(&png, nullptr, r.rgba.data(), 0, nullptr));
    return r;
}

std::unique_ptr<Analise> analisar_texto(const std::string& tap) {
    FonteMemoria fonte(tap);
    auto a = std::make_unique<Analise>();
    analisar(fonte, *a);
    return a;
}

// Well-formed XML whose root is svg, with no script and no external reference.
void conferir_xml(const std::string& svg) {
    struct Estado {
        int elementos = 0;
        bool raiz_svg = false, proibido = false;
    } estado;
    XML_Parser p = XML_ParserCreate(nullptr);
    XML_SetUserData(p, &estado);
    XML_SetStartElementHandler(p, [](void* dados, const XML_Char* nome, const XML_Char** atributos) {
        auto* e = static_cast<Estado*>(dados);
        if (e->elementos++ == 0) e->raiz_svg = std::string(nome) == "http://www.w3.org/2000/svg svg" || std::string(nome) == "svg";
        if (std::string(nome).find("script") != std::string::npos) e->proibido = true;
        for (int i = 0; atributos[i] != nullptr; i += 2)
            if (std::string(atributos[i]).find("href") != std::string::npos) e->proibido = true;
    });
    EXPECT_EQ(XML_Parse(p, svg.data(), static_cast<int>(svg.size()), 1), XML_STATUS_OK)
        << XML_ErrorString(XML_GetErrorCode(p)) << " na linha " << XML_GetCurrentLineNumber(p);
    XML_ParserFree(p);
    EXPECT_TRUE(estado.raiz_svg);
    EXPECT_FALSE(estado.proibido);
}

// The darkest pixel within a pixel of (x, y), anti-aliasing aside.
const unsigned char* mais_escuro(const Imagem& im, double x, double y) {
    const unsigned char* melhor = im.pixel(x, y);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const unsigned char* p = im.pixel(x + dx, y + dy);
            if (p[0] + p[1] + p[2] < melhor[0] + melhor[1] + melhor[2]) melhor = p;
        }
    return melhor;
}

TEST(VisualizarDesenho, PasseDeAcabamentoDesenhadoEFundoEmBranco) {
    DiretorioTemporario d;
    const auto a = analisar_texto(arquivo_do_gerador("E\n20\n24\n0.5\n0.2\n10\n2\n1\nD\n0\n1000\n200\n"));
    const Modelo* m = &a->modelo;
    const std::string svg = desenhar_svg(*a, "f.tap");
    conferir_xml(svg);
    const Imagem im = renderizar(svg, d);
    ASSERT_EQ(im.largura, 1000u);
    const Vista v = vista_de_cima(*m);
    // The finishing pass: path radius 15 mm, the strongest colour (#08306b).
    for (double graus : {30.0, 100.0, 160.0, 210.0, 300.0}) {
        const double a = graus * 3.14159265358979 / 180;
        const unsigned char* p = mais_escuro(im, v.pagina_x(15 * std::cos(a)), v.pagina_y(15 * std::sin(a)));
        EXPECT_TRUE(p[0] < 60 && p[1] < 90 && p[2] > 70) << graus << " graus: " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
    }
    // Inside the final diameter, and in the empty quadrant: nothing drawn.
    for (auto [x, y] : {std::pair{-5.0, -5.0}, {-20.0, 20.0}, {4.0, -6.0}}) {
        const unsigned char* p = im.pixel(v.pagina_x(x), v.pagina_y(y));
        EXPECT_TRUE(p[0] > 240 && p[1] > 240 && p[2] > 240) << x << "," << y;
    }
}

TEST(VisualizarDesenho, FalhaMarcadaNoPonto) {
    DiretorioTemporario d;
    std::string tap = arquivo_do_gerador("I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n");
    tap.replace(tap.find("g01 x-3.886 y-3.147"), 19, "g01 x-3.936 y-3.147");
    const auto a = analisar_texto(tap);
    const Modelo* m = &a->modelo;
    ASSERT_FALSE(a->verificacoes.todas_ok());
    const std::string svg = desenhar_svg(*a, "f.tap");
    conferir_xml(svg);
    const Imagem im = renderizar(svg, d);
    ASSERT_GT(im.largura, 0u);
    const Vista v = vista_de_cima(*m);
    // A red ring around the moved point: look along its radius.
    bool vermelho = false;
    for (double r = 6; r <= 12 && !vermelho; r += 0.5)
        for (double a = 0; a < 6.3; a += 0.2) {
            const unsigned char* p = im.pixel(v.pagina_x(-3.936) + r * std::cos(a), v.pagina_y(-3.147) + r * std::sin(a));
            if (p[0] > 180 && p[1] < 80 && p[2] < 80) vermelho = true;
        }
    EXPECT_TRUE(vermelho);
}

}  // namespace
