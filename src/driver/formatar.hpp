#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

// printf formatting into a small local buffer, growing only for the rare long
// text (values near the float maximum print with dozens of digits).
class Formatado {
public:
    std::string_view operator()(const char* formato, va_list args);

private:
    char local_[256];
    std::string grande_;
};
