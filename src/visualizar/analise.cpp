#include "visualizar/analise.hpp"

#include "visualizar/leitor.hpp"

void analisar(std::FILE* arquivo, Modelo& modelo) {
    LeitorGcode leitor(arquivo);
    Linha linha;
    while (leitor.proxima(linha)) modelo.acumular(linha);
    modelo.terminar(leitor.linhas(), leitor.erro_leitura());
}
