#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The shape of a chord line as the writer spells it, "g01 x-12.345 y6.789
// z-0.123\r\n": where its digits are and what every other byte is. The lines
// of a helix keep one shape for dozens at a time, until a coordinate changes
// sign or gains a digit; a line of the same shape is checked against it in
// a few vector operations and its numbers read at known places, so that the
// next line's start is known without reading this one's digits first.
//
// A shape is taken only from a line that ler_linha_corda read: its three
// numbers with an optional "-", one to four whole digits and three decimals.
// A line that matches it byte for byte outside those digits, with a digit
// at each of them, reads as ler_linha_corda would read it, to the same
// doubles. Anything else is left to ler_linha_corda, as every line is on a
// processor without SSE2.
class FormaCorda {
public:
    // Bytes a line of a shape may have, and that must be readable from its start.
    static constexpr std::size_t janela = 48;

    // Taken from the chord line from `p` to `depois` (past its "\n"); false,
    // and no shape, when that line is of another spelling.
    bool tomar(const char* p, const char* depois) {
        valida_ = false;
#if defined(__SSE2__)
        const auto tamanho = static_cast<std::size_t>(depois - p);
        if (tamanho > janela) return false;
        const char* n = p + 5;  // after "g01 x"
        for (int k = 0; k < 3; ++k) {
            if (k > 0) n += 2;  // " y", " z"
            negativo_[k] = *n == '-';
            if (*n == '+') return false;
            n += negativo_[k];
            const char* d = n;
            while (static_cast<unsigned char>(*d - '0') < 10) ++d;
            const auto inteiros = static_cast<std::size_t>(d - n);
            if (inteiros < 1 || inteiros > 4 || d[0] != '.') return false;
            // Exactly three decimals.
            for (int i = 1; i <= 4; ++i)
                if ((static_cast<unsigned char>(d[i] - '0') < 10) != (i < 4)) return false;
            inicio_[k] = static_cast<std::uint8_t>(n - p);
            inteiros_[k] = static_cast<std::uint8_t>(inteiros);
            n = d + 4;
        }
        // Digits from the "x" on are the numbers'; every other byte of the line is as it is.
        alignas(16) unsigned char posicoes[janela];
        for (std::size_t i = 0; i < janela; ++i) posicoes[i] = static_cast<unsigned char>(i);
        const __m128i fim = _mm_set1_epi8(static_cast<char>(tamanho));
        const __m128i antes_do_x = _mm_set1_epi8(4);
        for (std::size_t j = 0; j < vetores; ++j) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j));
            const __m128i i = _mm_load_si128(reinterpret_cast<const __m128i*>(posicoes + 16 * j));
            const __m128i dentro = _mm_cmplt_epi8(i, fim);
            const __m128i digito = _mm_and_si128(_mm_and_si128(digitos(v), dentro), _mm_cmpgt_epi8(i, antes_do_x));
            digito_[j] = digito;
            fixo_[j] = _mm_andnot_si128(digito, dentro);
            esperado_[j] = _mm_and_si128(v, fixo_[j]);
        }
        letras_ = static_cast<unsigned char>(p[0] | p[4] | p[inicio_[1] - 1 - negativo_[1]] |
                                             p[inicio_[2] - 1 - negativo_[2]]);
        const double menos = -0.0;
        sinais_[0] = _mm_set_pd(negativo_[1] ? menos : 0.0, negativo_[0] ? menos : 0.0);
        sinais_[1] = _mm_set_pd(0.0, negativo_[2] ? menos : 0.0);
        tamanho_ = static_cast<std::uint8_t>(tamanho);
        valida_ = true;
        return true;
#else
        (void)p;
        (void)depois;
        return false;
#endif
    }

    // The line from `p`, with `janela` bytes readable, when it has this
    // shape: its numbers, its letters' bytes OR-ed, and where the next line
    // starts; null otherwise.
    const char* ler(const char* p, double& x, double& y, double& z, unsigned char& letras) const {
#if defined(__SSE2__)
        if (!valida_) return nullptr;
        __m128i errado = _mm_setzero_si128();
        for (std::size_t j = 0; j < vetores; ++j) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j));
            errado = _mm_or_si128(errado, _mm_andnot_si128(digitos(v), digito_[j]));
            errado = _mm_or_si128(errado, _mm_and_si128(_mm_xor_si128(v, esperado_[j]), fixo_[j]));
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(errado, _mm_setzero_si128())) != 0xFFFF) return nullptr;
        // Divided by a thousand two at a time, each exactly as one division
        // alone; the signs put on without a branch (-0.000 is -0.0 either way).
        const __m128i m = _mm_set_epi32(0, inteiro(p, 2), inteiro(p, 1), inteiro(p, 0));
        const __m128d mil = _mm_set1_pd(1000.0);
        const __m128d xy = _mm_xor_pd(_mm_div_pd(_mm_cvtepi32_pd(m), mil), sinais_[0]);
        const __m128d zz = _mm_xor_pd(_mm_div_sd(_mm_cvtepi32_pd(_mm_srli_si128(m, 8)), mil), sinais_[1]);
        _mm_storel_pd(&x, xy);
        _mm_storeh_pd(&y, xy);
        _mm_storel_pd(&z, zz);
        letras = letras_;
        return p + tamanho_;
#else
        (void)p;
        (void)x;
        (void)y;
        (void)z;
        (void)letras;
        return nullptr;
#endif
    }

private:
#if defined(__SSE2__)
    static constexpr std::size_t vetores = janela / 16;
    // 0xFF at each byte that is a digit.
    static __m128i digitos(__m128i v) {
        const __m128i d = _mm_xor_si128(v, _mm_set1_epi8('0'));
        return _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d);
    }
    // The digits of number `k`, known to be there, as one integer (at most
    // seven digits): a thousand times its value, as ler_numero gathers it.
    int inteiro(const char* p, int k) const {
        const char* d = p + inicio_[k];
        int m = 0;
        for (unsigned i = 0; i < inteiros_[k]; ++i) m = m * 10 + (d[i] - '0');
        d += inteiros_[k] + 1;
        return m * 1000 + (d[0] - '0') * 100 + (d[1] - '0') * 10 + (d[2] - '0');
    }

    __m128i esperado_[vetores], fixo_[vetores], digito_[vetores];
    __m128d sinais_[2];  // the sign bits of X and Y, and of Z
#endif
    bool valida_ = false;
    std::uint8_t tamanho_ = 0;
    std::uint8_t inicio_[3] = {}, inteiros_[3] = {};
    bool negativo_[3] = {};
    unsigned char letras_ = 0;
};
