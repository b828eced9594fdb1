#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "LogGenerator.h"
#include "LogTextWriter.h"

// Generated logs for the differential tests, and ways to vary them so that every line end,
// folded rows and both encodings come by.

inline std::string Generated(uint64_t seed) {
  LogTextWriter out;
  LogGenerator generator(out, seed);
  generator.WriteShortRuns(10);
  generator.WriteOneRun(30);
  generator.WriteShortRuns(20);
  return out.Written();
}

using TextLines = std::vector<std::string>;

inline TextLines SplitAtCrLf(const std::string& text) {
  TextLines lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

enum class Variant { CrLf, Lf, MixedLineEnds, SharedStartTimes, Utf8Late, Windows1252InUtf8 };

inline std::string Varied(const std::string& generated, Variant variant, std::mt19937_64& random) {
  const auto chance = [&random](int percent) { return static_cast<int>(random() % 100) < percent; };
  std::string text;
  std::string lastStart;
  const TextLines lines = SplitAtCrLf(generated);
  for (size_t k = 0; k < lines.size(); ++k) {
    std::string line = lines[k];
    std::string end = "\r\n";
    switch (variant) {
      case Variant::CrLf:
        break;
      case Variant::Lf:
        end = "\n";
        break;
      case Variant::MixedLineEnds: {
        const char* ends[] = {"\r\n", "\n", "\r"};
        end = ends[random() % 3];
        break;
      }
      case Variant::SharedStartTimes:
        // Runs that start in the same second as the one before fold into its row.
        if (line.starts_with("Started: ")) {
          if (!lastStart.empty() && chance(40)) line = lastStart;
          lastStart = line;
        }
        break;
      case Variant::Utf8Late:
        // Plain ASCII (read as Windows-1252) until "µ" in UTF-8 comes, late in the log.
        if (k > lines.size() * 3 / 4 && chance(10)) line += "\xc2\xb5";
        break;
      case Variant::Windows1252InUtf8:
        if (chance(10)) line += k > lines.size() * 4 / 5 ? "\xb5" : "\xe2\x82\xac";
        break;
    }
    text += line;
    if (k + 1 < lines.size() || generated.ends_with("\r\n")) text += end;
  }
  return text;
}
