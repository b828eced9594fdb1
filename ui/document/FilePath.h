#pragma once

#include <QString>
#include <filesystem>

// The path the model opens for a file name the window holds: through UTF-16, so that every name
// Windows can spell reaches the system as it is.
inline std::filesystem::path PathOf(const QString& fileName) {
  return std::filesystem::path(fileName.toStdU16String());
}
