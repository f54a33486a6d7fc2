#pragma once

#include <cstddef>
#include <string>

#include "nucleo/formato_fixo.hpp"

// SVG written as text: elements and attributes appended to one string,
// every number through the project's three-decimal formatter, so that the
// bytes are the same on every platform.
class Svg {
public:
    std::string s;

    void num(double v) {
        // Far outside the page is as good as its edge, and stays a float.
        if (!(v > -1e7)) v = -1e7;
        if (v > 1e7) v = 1e7;
        char texto[max_fixo3];
        const std::size_t n = formatar_fixo3(texto, static_cast<float>(v));
        s.append(texto, n);
    }
    void abrir(const char* elemento) {
        s += '<';
        s += elemento;
    }
    void atributo(const char* nome, double v) {
        s += ' ';
        s += nome;
        s += "=\"";
        num(v);
        s += '"';
    }
    void atributo(const char* nome, const char* v) {
        abrir_atributo(nome);
        s += v;
        fechar_atributo();
    }
    void atributo(const char* nome, const std::string& v) { atributo(nome, v.c_str()); }
    // An attribute whose value is written in pieces (points, transform).
    void abrir_atributo(const char* nome) {
        s += ' ';
        s += nome;
        s += "=\"";
    }
    void fechar_atributo() { s += '"'; }
    // Ends an element without content.
    void fechar() { s += "/>\n"; }
    void par(double x, double y) {
        num(x);
        s += ',';
        num(y);
    }
    void texto(double x, double y, const char* classe, const std::string& conteudo, const char* ancora = nullptr) {
        abrir("text");
        atributo("x", x);
        atributo("y", y);
        atributo("class", classe);
        if (ancora != nullptr) atributo("text-anchor", ancora);
        s += '>';
        escapar(conteudo);
        s += "</text>\n";
    }
    // Text turned a quarter counter-clockwise about its anchor (x, y).
    void texto_vertical(double x, double y, const char* classe, const std::string& conteudo) {
        abrir("text");
        atributo("class", classe);
        atributo("text-anchor", "middle");
        abrir_atributo("transform");
        s += "translate(";
        par(x, y);
        s += ") rotate(-90)";
        fechar_atributo();
        s += '>';
        escapar(conteudo);
        s += "</text>\n";
    }
    // A line; `traco` and `largura`, when given, its own stroke.
    void linha(double x1, double y1, double x2, double y2, const char* classe, const char* traco = nullptr,
               const char* largura = nullptr) {
        abrir("line");
        atributo("x1", x1);
        atributo("y1", y1);
        atributo("x2", x2);
        atributo("y2", y2);
        if (classe != nullptr) atributo("class", classe);
        if (traco != nullptr) atributo("stroke", traco);
        if (largura != nullptr) atributo("stroke-width", largura);
        fechar();
    }
    void circulo(double cx, double cy, double r, const char* classe, const char* estilo = nullptr) {
        abrir("circle");
        atributo("cx", cx);
        atributo("cy", cy);
        atributo("r", r);
        atributo("class", classe);
        if (estilo != nullptr) atributo("style", estilo);
        fechar();
    }
    void retangulo(double x, double y, double w, double h, const char* classe, const std::string& estilo = "") {
        abrir("rect");
        atributo("x", x);
        atributo("y", y);
        atributo("width", w);
        atributo("height", h);
        atributo("class", classe);
        if (!estilo.empty()) atributo("style", estilo);
        fechar();
    }
    // A filled band without a class: its colour and opacity.
    void faixa(double x, double y, double w, double h, const std::string& cor, const char* opacidade) {
        abrir("rect");
        atributo("fill", cor);
        atributo("fill-opacity", opacidade);
        atributo("x", x);
        atributo("y", y);
        atributo("width", w);
        atributo("height", h);
        fechar();
    }
    // An open polyline; its points follow through `par`, then `fechar_pontos`.
    void abrir_polilinha(const std::string& cor, const char* largura) {
        abrir("polyline");
        atributo("fill", "none");
        atributo("stroke", cor);
        atributo("stroke-width", largura);
        atributo("stroke-linejoin", "round");
        abrir_atributo("points");
    }
    void fechar_pontos() {
        fechar_atributo();
        fechar();
    }
    void escapar(const std::string& t) {
        for (char c : t) {
            switch (c) {
                case '&': s += "&amp;"; break;
                case '<': s += "&lt;"; break;
                case '>': s += "&gt;"; break;
                case '"': s += "&quot;"; break;
                default:
                    // ASCII only: a file name in another encoding must not break the XML.
                    s += (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) ? '?' : c;
            }
        }
    }
};
