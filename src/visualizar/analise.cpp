#include "visualizar/analise.hpp"

#include "visualizar/conferencias.hpp"
#include "visualizar/leitor_gcode.hpp"

void analisar(Fonte& fonte, Analise& a, std::size_t tamanho_bloco) {
    Modelo& m = a.modelo;
    Verificacoes& v = a.verificacoes;
    ConferenciaArquivo arquivo(m, v);
    ConferenciaCirculo circulo(m, v);
    ConferenciaPasses passes(m, v);
    ConferenciaProfundidade profundidade(m, v);
    ConferenciaDiametro diametro(m, v);
    ConferenciaPreambulo preambulo(m, v);
    ConferenciaCaminhos caminhos(m, v);
    for (Observador* o : std::initializer_list<Observador*>{&arquivo, &circulo, &passes, &profundidade, &diametro,
                                                             &preambulo, &caminhos})
        m.observar(*o);

    LeitorGcode leitor(fonte, tamanho_bloco);
    Linha linha;
    while (leitor.proxima(linha)) m.acumular(linha);
    m.terminar(leitor.linhas(), leitor.erro_leitura());
}
