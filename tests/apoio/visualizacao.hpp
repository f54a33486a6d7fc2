#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "visualizar/analise.hpp"

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

// The viewer's analysis of `bytes`, fetched in blocks of `bloco` bytes.
std::unique_ptr<Analise> analisar_bytes(const std::string& bytes, std::size_t bloco = LeitorLinhas::bloco_padrao);

// Each check that did not pass: "N: linha L: detail", a line each.
std::string falhas_por_linha(const Analise& analise);

// The console report of an analysis, closing lines included, as the viewer
// prints it for the file `nome` and the picture `nome`.svg.
std::string relatorio_de(const Analise& analise, const std::string& nome);
