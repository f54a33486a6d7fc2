#include "nucleo/tarefa.hpp"

#include <climits>

#include <windows.h>

unsigned processadores() {
    DWORD_PTR processo = 0, sistema = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &processo, &sistema) && processo != 0) {
        unsigned n = 0;
        for (; processo != 0; processo &= processo - 1) ++n;
        return n;
    }
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? static_cast<unsigned>(info.dwNumberOfProcessors) : 1;
}

struct Semaforo::Dados {
    HANDLE h = nullptr;
};

Semaforo::Semaforo(unsigned inicial) : contagem_(static_cast<int>(inicial)), d_(std::make_unique<Dados>()) {
    d_->h = CreateSemaphoreW(nullptr, 0, LONG_MAX, nullptr);
}
Semaforo::~Semaforo() {
    if (d_->h != nullptr) CloseHandle(d_->h);
}
bool Semaforo::valido() const { return d_->h != nullptr; }
void Semaforo::liberar_sistema() { ReleaseSemaphore(d_->h, 1, nullptr); }
void Semaforo::esperar_sistema() { WaitForSingleObject(d_->h, INFINITE); }

namespace {

struct Chamada {
    void (*funcao)(void*) = nullptr;
    void* argumento = nullptr;
};

DWORD WINAPI executar(LPVOID p) {
    const Chamada* c = static_cast<const Chamada*>(p);
    c->funcao(c->argumento);
    return 0;
}

}  // namespace

struct Tarefa::Dados {
    Chamada chamada;
    HANDLE h = nullptr;
};

Tarefa::Tarefa(void (*funcao)(void*), void* argumento) : d_(std::make_unique<Dados>()) {
    d_->chamada = Chamada{funcao, argumento};
    d_->h = CreateThread(nullptr, 0, executar, &d_->chamada, 0, nullptr);
}

Tarefa::~Tarefa() { juntar(); }
bool Tarefa::iniciada() const { return d_->h != nullptr; }
void Tarefa::juntar() {
    if (d_->h == nullptr) return;
    WaitForSingleObject(d_->h, INFINITE);
    CloseHandle(d_->h);
    d_->h = nullptr;
}
