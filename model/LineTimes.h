#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

// The time of day a log line starts with ("hh:mm:ss", with a fraction after a point or a comma
// or without), in milliseconds since midnight; nothing for a line without one.
std::optional<int64_t> LeadingTimeOfDay(std::string_view line);

// The times of a run's lines, fed one after the other: how long after the run's first time
// stamp each line was written, and how long after the line with a time stamp before it. A log
// that runs past midnight goes on counting.
class RunClock {
 public:
  static constexpr int32_t kNoTime = std::numeric_limits<int32_t>::min();
  struct LineTime {
    int32_t SinceStart = kNoTime;  // milliseconds
    int32_t SincePrevious = kNoTime;
  };

  LineTime Next(std::string_view line);

 private:
  std::optional<int64_t> start_;
  int64_t previous_ = 0;  // since the start, in milliseconds
  int64_t days_ = 0;      // midnights passed since the start
  int64_t lastOfDay_ = 0;
};
