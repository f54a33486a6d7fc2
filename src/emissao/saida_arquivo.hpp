#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>


// Where the G-code bytes end up: a file on disk or, in tests, memory.
class DestinoArquivo {
public:
    virtual ~DestinoArquivo() = default;
    // False when the bytes could not all be written.
    virtual bool gravar(const char* dados, std::size_t n) = 0;
    // The bytes become the file. False when that failed (the last bytes may
    // be lost).
    virtual bool fechar() = 0;
    // The writing is given up. True when nothing of it is left anywhere, so
    // the previous file is as it was.
    virtual bool descartar() { return false; }
    // The bytes the file may still take where it is written; false when
    // that is not known (a device, a pipe).
    virtual bool espaco_livre(std::uint64_t& bytes) const {
        (void)bytes;
        return false;
    }
};

// The file `nome` on disk, written under a temporary name in the same folder
// and moved over `nome` only when it is whole and closed: a failed or stopped
// writing, or Ctrl-C, leaves the previous file as it was. A link to a file
// replaces the file it points to; a device or a pipe is written directly.
// Null when it cannot be written (a directory in the way, a folder that is
// not there or not writable).
std::unique_ptr<DestinoArquivo> abrir_arquivo_disco(const char* nome);

using AbridorArquivo = std::function<std::unique_ptr<DestinoArquivo>(const char* nome)>;

// The buffered writer of the G-code file. Lines end as the dialect ends them
// (CR LF unless told otherwise), on every platform: the text pieces use "\n"
// and `texto` writes it as such; the pass writers, which form their bytes
// themselves, take the line end from here. Bytes reach the
// destination in large blocks. A failed write takes the write-failure critical
// stop. A writing not closed by `fechar` is given up: `descartar`, or the
// destructor when a stop unwinds, hands the destination what is left and
// discards it.
class SaidaArquivo {
public:
    // Bytes go out in whole pieces of `peca`, at offsets that are whole
    // pieces too: a file written in odd pieces at odd offsets is slower to
    // write and to read back. What does not fill a piece waits for the next.
    static constexpr std::size_t peca = std::size_t{1} << 16;
    static constexpr std::size_t capacidade = std::size_t{1} << 18;
    // The most `reservar` may ask for.
    static constexpr std::size_t max_reserva = capacidade - peca;

    explicit SaidaArquivo(std::unique_ptr<DestinoArquivo> destino);
    ~SaidaArquivo();
    SaidaArquivo(const SaidaArquivo&) = delete;
    SaidaArquivo& operator=(const SaidaArquivo&) = delete;

    void usar_fim_de_linha(std::string_view fim) { fim_de_linha_ = fim; }
    // Every line a numbered block, from 0, for controls that number each
    // block of a program: from here on `texto` writes the number and a blank
    // before each line and leaves blank lines out (a block without a number
    // is no block). `bruto` and `reservar` still write bytes as they are.
    void numerar_blocos() { numerar_ = true; }
    std::string_view fim_de_linha() const { return fim_de_linha_; }
    // `texto` with each "\n" turned into the line end: for pieces formed
    // once and copied as bytes many times.
    std::string em_linhas(std::string_view texto) const;

    void texto(std::string_view pedaco);
    void imprimir(const char* formato, ...) __attribute__((format(printf, 2, 3)));
    // Bytes as they are, line ends included.
    void bruto(const char* dados, std::size_t n);
    // Room for `n` bytes (at most `max_reserva`) to format into; `avancar` keeps what was used.
    char* reservar(std::size_t n) {
        if (capacidade - usado_ < n) descarregar();
        return buffer_.get() + usado_;
    }
    void avancar(std::size_t n) { usado_ += n; }

    // Writes what is left and closes; the write-failure stop when either fails.
    void fechar();
    // Gives the writing up; true when nothing of it is left (see DestinoArquivo).
    bool descartar();

private:
    // The whole pieces written; what is left of the last one moves to the
    // front. With `tudo`, everything.
    void descarregar(bool tudo = false);
    void texto_numerado(std::string_view pedaco);

    std::unique_ptr<DestinoArquivo> destino_;
    std::unique_ptr<char[]> buffer_;
    std::size_t usado_ = 0;
    bool descartado_ = false;
    std::string_view fim_de_linha_ = "\r\n";
    bool numerar_ = false;
    bool linha_aberta_ = false;  // the current line has its number
    std::uint64_t bloco_ = 0;
};
