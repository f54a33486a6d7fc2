#pragma once

#include <string>
#include <vector>

// Runs the built viewer in `dir` with `argumentos` (each quoted), standard
// input from the null device. What it printed on each stream and its status.
struct ExecucaoVisualizador {
    std::string saida, erros;
    int status = -1;
};
ExecucaoVisualizador executar_visualizador(const std::string& dir, const std::vector<std::string>& argumentos);

// A fresh temporary directory, removed with the object.
class DiretorioTemporario {
public:
    DiretorioTemporario();
    ~DiretorioTemporario();
    DiretorioTemporario(const DiretorioTemporario&) = delete;
    DiretorioTemporario& operator=(const DiretorioTemporario&) = delete;
    const std::string& caminho() const { return caminho_; }
    std::string operator/(const std::string& nome) const { return caminho_ + "/" + nome; }

private:
    std::string caminho_;
};

void gravar_arquivo(const std::string& caminho, const std::string& bytes);

// The G-code file the generator writes for `respostas` (see executar_binario).
std::string arquivo_do_gerador(const std::string& respostas);
