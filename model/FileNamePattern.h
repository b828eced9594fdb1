#pragma once

#include <string_view>

// Whether a file name fits a pattern as a shell or Explorer reads one: "*" stands for any run of
// characters, "?" for one character, and everything else for itself. Names and patterns are
// UTF-8, and "?" takes a whole character however many bytes it has. Windows ignores the case of
// ASCII letters in file names, so the pattern does there too.
bool FitsFileNamePattern(std::string_view name, std::string_view pattern);
