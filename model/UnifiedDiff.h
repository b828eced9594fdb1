#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "LineDiff.h"

// What a unified diff prints of the two sides: their header texts and their lines' texts.
struct UnifiedSides {
  std::string BaselineHeader;  // after "--- "
  std::string RunHeader;       // after "+++ "
  size_t BaselineLines = 0;
  size_t RunLines = 0;
  std::function<std::string(size_t line)> BaselineLine;
  std::function<std::string(size_t line)> RunLine;
};

// Writes `diff` in the unified format, with `context` lines around each stretch of differences,
// hunks that are that close joined. A context line is the same on both sides as the diff
// compared them, and shows the run's text. Writes nothing for a diff without differences.
void WriteUnifiedDiff(std::ostream& out, const LineDiff& diff, const UnifiedSides& sides,
                      size_t context = 3);
