#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Runs the viewer window until it is closed; `startupFile` (possibly empty) is opened when the
// window is first shown, and followed as it grows when `follow` is set. Files larger than
// `inMemoryLimit` are indexed; without it, the setting "Store/InMemoryLimit" (a size such as
// 2G) or the model's default holds. Returns the program's exit code.
int RunViewer(int& argc, char** argv, const QString& startupFile, bool follow = false,
              std::optional<uint64_t> inMemoryLimit = std::nullopt);
