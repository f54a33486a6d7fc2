// The thread side of the platform layer: a second thread and the semaphore
// two pipeline stages hand work over with, on the spinning and on the
// sleeping side of a wait.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <thread>

#include "nucleo/tarefa.hpp"

namespace {

// A ring of slots between a producer on a Tarefa and this thread, as the
// viewer's reading thread uses it.
struct Anel {
    static constexpr unsigned tamanho = 4;
    std::array<std::uint64_t, tamanho> valores{};
    Semaforo livres{tamanho}, cheios{0};
    std::uint64_t quantos = 0;
    bool pausar = false;  // the producer stops now and then, so that the consumer sleeps

    static void produzir(void* p) {
        Anel& a = *static_cast<Anel*>(p);
        for (std::uint64_t i = 0; i < a.quantos; ++i) {
            a.livres.esperar();
            if (a.pausar && i % 1000 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            a.valores[i % tamanho] = i * 7 + 1;
            a.cheios.liberar();
        }
    }
};

void passar(std::uint64_t quantos, bool pausar) {
    Anel a;
    a.quantos = quantos;
    a.pausar = pausar;
    ASSERT_TRUE(a.livres.valido());
    ASSERT_TRUE(a.cheios.valido());
    Tarefa t(&Anel::produzir, &a);
    ASSERT_TRUE(t.iniciada());
    for (std::uint64_t i = 0; i < quantos; ++i) {
        a.cheios.esperar();
        ASSERT_EQ(a.valores[i % Anel::tamanho], i * 7 + 1) << i;
        a.livres.liberar();
    }
    t.juntar();
}

TEST(Tarefa, CadaValorPassaUmaVezEmOrdem) {
    EXPECT_GE(processadores(), 1u);
    passar(200000, false);
    // Waits long past the spin: the sleeping side of the semaphore.
    passar(5000, true);
}

TEST(Tarefa, SemaforoContaAsLiberacoes) {
    Semaforo s(2);
    s.esperar();
    s.esperar();
    EXPECT_FALSE(s.tentar());
    s.liberar(3);
    EXPECT_TRUE(s.tentar());
    for (int i = 0; i < 2; ++i) s.esperar();
    EXPECT_FALSE(s.tentar());
    // A release from another thread wakes a wait that found none.
    Tarefa t([](void* p) { static_cast<Semaforo*>(p)->liberar(); }, &s);
    s.esperar();
    t.juntar();
}

}  // namespace
