// The file's bytes go to the destination in whole pieces at whole-piece
// offsets, all but the last, and arrive as they were written, whatever mix
// of copies and reserved room wrote them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "emissao/saida_arquivo.hpp"

namespace {

class DestinoPedacos final : public DestinoArquivo {
public:
    DestinoPedacos(std::string* bytes, std::vector<std::size_t>* pedacos) : bytes_(bytes), pedacos_(pedacos) {}
    bool gravar(const char* dados, std::size_t n) override {
        bytes_->append(dados, n);
        pedacos_->push_back(n);
        return true;
    }
    bool fechar() override { return true; }

private:
    std::string* bytes_;
    std::vector<std::size_t>* pedacos_;
};

TEST(SaidaArquivo, PedacosInteirosEOsMesmosBytes) {
    std::string bytes, esperado;
    std::vector<std::size_t> pedacos;
    {
        SaidaArquivo s(std::make_unique<DestinoPedacos>(&bytes, &pedacos));
        // Runs of every length up to the largest room, so that the part of a
        // piece left over lands anywhere in the buffer.
        std::size_t n = 1;
        for (int i = 0; esperado.size() < 6 * SaidaArquivo::capacidade; ++i) {
            const std::string bloco(n, static_cast<char>('a' + i % 26));
            if (i % 2 == 0) {
                s.bruto(bloco.data(), bloco.size());
            } else {
                char* p = s.reservar(n);
                std::memcpy(p, bloco.data(), n);
                s.avancar(n);
            }
            esperado += bloco;
            n = n * 7 % SaidaArquivo::max_reserva + 1;
        }
        s.fechar();
    }
    EXPECT_TRUE(bytes == esperado);
    ASSERT_GT(pedacos.size(), 6u);
    std::size_t ate = 0;
    for (std::size_t i = 0; i + 1 < pedacos.size(); ++i) {
        EXPECT_EQ(pedacos[i] % SaidaArquivo::peca, 0u) << i;
        ate += pedacos[i];
    }
    EXPECT_EQ(ate % SaidaArquivo::peca, 0u);
}

}  // namespace
