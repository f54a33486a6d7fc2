#include "nucleo/tarefa.hpp"

#include <climits>
#include <semaphore>
#include <system_error>
#include <thread>

#include <sched.h>

unsigned processadores() {
    cpu_set_t conjunto;
    if (sched_getaffinity(0, sizeof conjunto, &conjunto) == 0) {
        const int n = CPU_COUNT(&conjunto);
        if (n > 0) return static_cast<unsigned>(n);
    }
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? n : 1;
}

struct Semaforo::Dados {
    std::counting_semaphore<INT_MAX> s{0};
};

Semaforo::Semaforo(unsigned inicial) : contagem_(static_cast<int>(inicial)), d_(std::make_unique<Dados>()) {}
Semaforo::~Semaforo() = default;
bool Semaforo::valido() const { return true; }
void Semaforo::liberar_sistema() { d_->s.release(); }
void Semaforo::esperar_sistema() { d_->s.acquire(); }

struct Tarefa::Dados {
    std::thread t;
};

Tarefa::Tarefa(void (*funcao)(void*), void* argumento) : d_(std::make_unique<Dados>()) {
    try {
        d_->t = std::thread(funcao, argumento);
    } catch (const std::system_error&) {
        // No thread to be had: the caller works alone.
    }
}

Tarefa::~Tarefa() { juntar(); }
bool Tarefa::iniciada() const { return d_->t.joinable(); }
void Tarefa::juntar() {
    if (d_->t.joinable()) d_->t.join();
}
