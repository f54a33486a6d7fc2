#pragma once

#include <atomic>
#include <memory>

// The thread side of the platform layer: a second thread of the process and
// a counting semaphore, enough for a pipeline of two stages. One side per
// platform: tarefa_posix.cpp, tarefa_windows.cpp (the Windows toolchain's
// C++ library has no std::thread).

// How many processors the process may run on; 1 when the system does not say.
unsigned processadores();

// Waits spin a while before they sleep: a thread put to sleep is woken on
// the waker's processor, and two stages that keep waking each other end up
// sharing one. On cache lines of its own, since a waiting thread keeps
// reading it.
class alignas(128) Semaforo {
public:
    explicit Semaforo(unsigned inicial = 0);
    ~Semaforo();
    Semaforo(const Semaforo&) = delete;
    Semaforo& operator=(const Semaforo&) = delete;

    // False when the system gave no semaphore: it must not be used.
    bool valido() const;
    void liberar(unsigned n = 1) {
        for (; n > 0; --n)
            if (contagem_.fetch_add(1, std::memory_order_acq_rel) < 0) liberar_sistema();
    }
    // Takes a release if one is there; never waits.
    bool tentar() {
        int c = contagem_.load(std::memory_order_relaxed);
        return c > 0 && contagem_.compare_exchange_strong(c, c - 1, std::memory_order_acquire,
                                                          std::memory_order_relaxed);
    }
    void esperar() {
        for (int i = 0; i < giros; ++i) {
            int c = contagem_.load(std::memory_order_relaxed);
            if (c > 0 && contagem_.compare_exchange_weak(c, c - 1, std::memory_order_acquire,
                                                         std::memory_order_relaxed))
                return;
            pausar();
        }
        if (contagem_.fetch_sub(1, std::memory_order_acq_rel) <= 0) esperar_sistema();
    }

private:
    static constexpr int giros = 200000;
    static void pausar() {
#if defined(__i386__) || defined(__x86_64__)
        __builtin_ia32_pause();
#endif
    }
    // The system's semaphore, for the waits that sleep.
    void liberar_sistema();
    void esperar_sistema();

    // Releases not yet taken; negative, the threads asleep.
    std::atomic<int> contagem_;
    struct Dados;
    std::unique_ptr<Dados> d_;
};

// Runs `funcao(argumento)` on a thread of its own from construction; the
// destructor waits for it to end. `iniciada()` is false when the system gave
// no thread: the caller then does the work itself.
class Tarefa {
public:
    Tarefa(void (*funcao)(void*), void* argumento);
    ~Tarefa();
    Tarefa(const Tarefa&) = delete;
    Tarefa& operator=(const Tarefa&) = delete;

    bool iniciada() const;
    // Waits for the thread to end; once.
    void juntar();

private:
    struct Dados;
    std::unique_ptr<Dados> d_;
};
