#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Texts with numbers for the messages: "%.3f" and the like, in one call.
std::string formatar(const char* formato, ...) __attribute__((format(printf, 1, 2)));

// `texto` as ASCII the console and the picture can show, cut after `max`
// characters with "...".
std::string texto_visivel(std::string_view texto, std::size_t max);
