#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

// Where the bytes of a G-code file come from: an open file, or bytes already
// in memory (the tests and the fuzzer).
class Fonte {
public:
    virtual ~Fonte() = default;
    // Up to `n` bytes into `destino`; fewer only at the end of the bytes or
    // on an error.
    virtual std::size_t ler(char* destino, std::size_t n) = 0;
    // True when reading failed, not merely ended.
    virtual bool erro() const { return false; }
};

class FonteArquivo final : public Fonte {
public:
    // `arquivo` is open for reading in binary mode; it is not closed here.
    explicit FonteArquivo(std::FILE* arquivo) : arquivo_(arquivo) {}
    std::size_t ler(char* destino, std::size_t n) override;
    bool erro() const override;

private:
    std::FILE* arquivo_;
};

class FonteMemoria final : public Fonte {
public:
    explicit FonteMemoria(std::string_view bytes) : resto_(bytes) {}
    std::size_t ler(char* destino, std::size_t n) override;

private:
    std::string_view resto_;
};
