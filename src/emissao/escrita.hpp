#pragma once

#include <string>
#include <string_view>

#include "emissao/saida_arquivo.hpp"
#include "vocabulario/dialeto.hpp"

// The dialect's spelling of the smallest pieces of a file: a comment, a word
// with its number. Pieces follow the file's convention: each starts with the
// line breaks before it and leaves its line open.
class Escrita {
public:
    Escrita(const vocabulario::Dialeto& dialeto, SaidaArquivo& arquivo) : dialeto_(dialeto), arquivo_(arquivo) {}

    const vocabulario::Dialeto& dialeto() const { return dialeto_; }
    SaidaArquivo& arquivo() { return arquivo_; }

    // A comment as the dialect writes it, without line breaks.
    std::string comentario(std::string_view texto) const;
    // The same split where a number goes in its text, `antes` ending before
    // it and `depois` starting after it, for comments formed once and
    // completed many times.
    void comentario_partido(std::string_view antes, std::string_view depois, std::string& inicio,
                            std::string& fim) const;
    // A number with `casas` decimals, as printf "%.Nf" prints the double.
    std::string numero(double valor, int casas) const;
    // A coordinate or a feed: the same, with a decimal point where the
    // dialect wants one on every such number ("X0." on Fanuc-style controls).
    std::string coordenada(double valor, int casas) const;
    // The same, appended to `destino`: for lines formed by the thousand.
    void acrescentar_coordenada(std::string& destino, double valor, int casas) const;
    // The same written at `destino`, which has room for `max_coordenada`
    // bytes; returns the end.
    static constexpr std::size_t max_coordenada = 400;
    char* escrever_coordenada(char* destino, double valor, int casas) const;

    void quebras(int n);
    std::string em_linhas(std::string_view texto) const { return arquivo_.em_linhas(texto); }
    void texto(std::string_view pedaco) { arquivo_.texto(pedaco); }
    // `n` line breaks, then the comment.
    void linha_comentario(int n, std::string_view texto);
    // The same with the comment's text formatted as printf does.
    void linha_comentario_formatada(int n, const char* formato, ...) __attribute__((format(printf, 3, 4)));

private:
    const vocabulario::Dialeto& dialeto_;
    SaidaArquivo& arquivo_;
};
