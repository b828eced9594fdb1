#include "LineTimes.h"

#include <algorithm>

namespace {

constexpr int64_t kDayMs = int64_t{24} * 60 * 60 * 1000;
// A stamp this much earlier than the one before is of the next day, not a clock set back.
constexpr int64_t kDayChangeMs = kDayMs / 2;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number of the two digits at `at`, or -1.
int TwoDigits(std::string_view text, size_t at) {
  if (at + 2 > text.size() || !IsDigit(text[at]) || !IsDigit(text[at + 1])) return -1;
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// Milliseconds of the fraction that starts after its point at `at`.
int64_t FractionMs(std::string_view text, size_t at) {
  int64_t ms = 0;
  int64_t scale = 100;
  for (size_t k = at; k < text.size() && IsDigit(text[k]); ++k, scale /= 10) {
    ms += (text[k] - '0') * scale;
  }
  return ms;
}

}  // namespace

std::optional<int64_t> LeadingTimeOfDay(std::string_view line) {
  // One digit of the hour is allowed: some writers leave the zero out.
  const size_t hourDigits = line.size() > 1 && line[1] == ':' ? 1 : 2;
  const int hours = hourDigits == 1 ? (IsDigit(line[0]) ? line[0] - '0' : -1) : TwoDigits(line, 0);
  if (hours < 0 || hours > 23 || line.size() < hourDigits + 6) return std::nullopt;
  if (line[hourDigits] != ':' || line[hourDigits + 3] != ':') return std::nullopt;
  const int minutes = TwoDigits(line, hourDigits + 1);
  const int seconds = TwoDigits(line, hourDigits + 4);
  if (minutes < 0 || minutes > 59 || seconds < 0 || seconds > 60) return std::nullopt;
  const size_t end = hourDigits + 6;
  if (end < line.size() && IsDigit(line[end])) return std::nullopt;
  int64_t ms = ((hours * 60 + minutes) * 60 + seconds) * int64_t{1000};
  if (end + 1 < line.size() && (line[end] == '.' || line[end] == ',') && IsDigit(line[end + 1])) {
    ms += FractionMs(line, end + 1);
  }
  return ms;
}

RunClock::LineTime RunClock::Next(std::string_view line) {
  const std::optional<int64_t> time = LeadingTimeOfDay(line);
  if (!time) return {};
  if (!start_) {
    start_ = *time;
    lastOfDay_ = *time;
  }
  if (*time < lastOfDay_ - kDayChangeMs) ++days_;
  lastOfDay_ = *time;
  const int64_t since = *time + days_ * kDayMs - *start_;
  const auto clamp = [](int64_t ms) {
    return static_cast<int32_t>(std::clamp<int64_t>(ms, -kDayMs * 24, kDayMs * 24));
  };
  LineTime result{clamp(since), clamp(since - previous_)};
  previous_ = since;
  return result;
}
