// The generator and the viewer are linked into one test program: a type of
// the same name in both, in the same namespace, would be one definition
// broken in two. Both headers in one file make such a clash a compile error.
#include <gtest/gtest.h>

#include "percurso/trajeto.hpp"
#include "visualizar/modelo.hpp"

TEST(Nomes, ExtremosDoGeradorNoSeuProprioNamespace) {
    gerador::Extremos e;
    e.alargar(2, -3);
    e.juntar({0, -1, 4, 0});
    EXPECT_EQ(e.x_max, 2.0f);
    EXPECT_EQ(e.x_min, -1.0f);
    EXPECT_EQ(e.y_max, 4.0f);
    EXPECT_EQ(e.y_min, -3.0f);
}
