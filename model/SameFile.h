#pragma once

#include <filesystem>

// Whether the names `a` and `b` lead to the same file: by the system's identity of the file when
// both are there, whatever the spelling, a link or a hard link; else by the name, with the links
// in its folders followed, since a log that is gone for now comes back under its name. What
// writes a file asks this first, so that it never writes over the log it took its text from.
bool NameTheSameFile(const std::filesystem::path& a, const std::filesystem::path& b);
