#include "driver/console.hpp"
#include "driver/programa.hpp"

int main() {
    auto console = Console::padrao();
    return executar_programa(*console);
}
