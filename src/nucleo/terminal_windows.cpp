#include "nucleo/terminal.hpp"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// The program's text is Windows-1252; the console shows it as such only with this page.
constexpr UINT pagina_1252 = 1252;

// The console's output code page before the run, 0 when it was not changed.
// The console outlives the process (it is the user's command window), so the
// page goes back at exit and also when Ctrl-C or closing the window ends the
// run; the latter come on a thread of their own, hence the atomic.
std::atomic<UINT> pagina_original{0};

void restaurar_pagina() {
    UINT pagina = pagina_original.exchange(0);
    if (pagina != 0) SetConsoleOutputCP(pagina);
}

BOOL WINAPI ao_encerrar_console(DWORD evento) {
    restaurar_pagina();
    // An interrupted run ends as Windows ends it, with STATUS_CONTROL_C_EXIT:
    // never with status 0, which some consoles' default handler gives.
    if (evento == CTRL_C_EVENT || evento == CTRL_BREAK_EVENT) ExitProcess(STATUS_CONTROL_C_EXIT);
    return FALSE;  // closing the window: the default handler ends the process
}

HANDLE manipulador(std::FILE* fluxo) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(fluxo)));
}

// isatty() is true for any character device, the NUL device included; only a
// real console answers GetConsoleMode.
bool eh_console(std::FILE* fluxo) {
    DWORD modo;
    return GetConsoleMode(manipulador(fluxo), &modo) != 0;
}

}  // namespace

void preparar_console() {
    static bool pronto = false;
    if (pronto) return;
    pronto = true;

    _setmode(_fileno(stdin), _O_BINARY);

#if defined(__i386__)
    // long double formulas are evaluated on the x87 unit, which must carry
    // the 64-bit significand of the numeric rule; a 32-bit process is not
    // promised that precision at start.
    unsigned short controle;
    __asm__ volatile("fnstcw %0" : "=m"(controle));
    controle = static_cast<unsigned short>(controle | 0x0300);
    __asm__ volatile("fldcw %0" : : "m"(controle));
#endif

    SetConsoleCtrlHandler(ao_encerrar_console, TRUE);
    if (!eh_console(stdout)) return;
    UINT atual = GetConsoleOutputCP();
    if (atual == 0 || atual == pagina_1252) return;
    if (!SetConsoleOutputCP(pagina_1252)) return;
    pagina_original = atual;
    std::atexit(restaurar_pagina);
}

bool entrada_terminal() { return eh_console(stdin); }

// The console shows Windows-1252 for the whole run (preparar_console).
bool saida_terminal_utf8() { return false; }

// A console hands over the whole line typed, CR LF included (binary mode).
std::size_t ler_entrada(char* destino, std::size_t n) {
    int lidos = _read(_fileno(stdin), destino, static_cast<unsigned>(n));
    return lidos > 0 ? static_cast<std::size_t>(lidos) : 0;
}

void descartar_digitado() { FlushConsoleInputBuffer(manipulador(stdin)); }

int ler_tecla_terminal(bool eco) {
    int c = eco ? _getche() : _getch();
    if (c == 0 || c == 0xE0) {
        // A function or arrow key: its code follows the prefix and is not a
        // key press of its own. The prefix alone is what the question rejects.
        _getch();
        return c;
    }
    if (c == 3) {
        // Ctrl-C arrives as a character while a key is read; it ends the run
        // as it does anywhere else, and as it does on a Unix terminal.
        restaurar_pagina();
        ExitProcess(STATUS_CONTROL_C_EXIT);
    }
    return c == EOF ? -1 : c;
}

// A command window has its interpreter attached too; a window made for the
// program alone has only the program.
bool janela_console_propria() {
    DWORD processos[2];
    return GetConsoleProcessList(processos, 2) == 1;
}

void pausa_terminal() {
    std::fflush(stdout);
    std::system("pause");
}

const bool pausa_terminal_com_aviso = true;

namespace {

// Standard error's console mode before the progress line switched it, for
// giving it back: the console window outlives the run.
DWORD modo_erros_original = 0;
bool modo_erros_mudado = false;

// No call tells whether two console handles write to one screen buffer (two
// opens of CONOUT$ are two objects), but a buffer made aside with
// CreateConsoleScreenBuffer has its own size, cursor and window.
bool mesma_tela(HANDLE a, HANDLE b) {
    CONSOLE_SCREEN_BUFFER_INFO ia;
    CONSOLE_SCREEN_BUFFER_INFO ib;
    if (!GetConsoleScreenBufferInfo(a, &ia) || !GetConsoleScreenBufferInfo(b, &ib)) return false;
    return ia.dwSize.X == ib.dwSize.X && ia.dwSize.Y == ib.dwSize.Y &&
           ia.dwCursorPosition.X == ib.dwCursorPosition.X && ia.dwCursorPosition.Y == ib.dwCursorPosition.Y &&
           ia.srWindow.Left == ib.srWindow.Left && ia.srWindow.Top == ib.srWindow.Top &&
           ia.srWindow.Right == ib.srWindow.Right && ia.srWindow.Bottom == ib.srWindow.Bottom;
}

}  // namespace

TerminalErros preparar_terminal_erros() {
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
    constexpr DWORD ENABLE_VIRTUAL_TERMINAL_PROCESSING = 0x0004;
#endif
    HANDLE erros = manipulador(stderr);
    DWORD modo;
    // Only a real console answers; a file, a pipe or the NUL device does not.
    if (GetConsoleMode(erros, &modo) == 0) return TerminalErros::nenhum;
    const TerminalErros onde = eh_console(stdout) && mesma_tela(manipulador(stdout), erros)
                                   ? TerminalErros::mesmo_da_saida
                                   : TerminalErros::proprio;
    if ((modo & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return onde;
    // Consoles too old for the cursor sequence get no progress line.
    if (SetConsoleMode(erros, modo | ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0) return TerminalErros::nenhum;
    modo_erros_original = modo;
    modo_erros_mudado = true;
    return onde;
}

void devolver_terminal_erros() {
    if (!modo_erros_mudado) return;
    SetConsoleMode(manipulador(stderr), modo_erros_original);
    modo_erros_mudado = false;
}
