#pragma once

#include <string_view>

// The marker lines and column rules of the control software's message log files. Positions are
// counted from 1, as the format's columns are.
namespace LogFormat {

inline constexpr std::string_view kEntryStart = "------ NextPart = Script";
inline constexpr std::string_view kLogStart = "------ NextPart = LogMessage";
inline constexpr std::string_view kNextEntry = "------ NextEntry";
inline constexpr std::string_view kLoadingScript = "==>loading script";
inline constexpr std::string_view kScriptType = "==>script type";
inline constexpr std::string_view kRunFinished = "==>script execution finished.";
inline constexpr std::string_view kRunStopped = "==>script execution stopped by user.";

// Where each field starts in its line, and how many characters at the line's end it leaves out
// (the count is the line length minus this).
inline constexpr size_t kDateTimeStart = 10;
inline constexpr size_t kDateTimeCountOffset = 9;
inline constexpr size_t kScriptStart = 20;
inline constexpr size_t kScriptCountOffset = 21;
inline constexpr size_t kScriptTypeStart = 17;
inline constexpr size_t kScriptTypeCountOffset = 16;
inline constexpr size_t kFilenameStart = 22;
inline constexpr size_t kFilenameCountOffset = 21;
// A file-name line no longer than this holds no file name; the line after it is the name.
inline constexpr size_t kShortFilenameLine = 21;

// The characters of `line` from position `start` on, at most `count` of them, where count is
// the line's length minus `countOffset`; empty when the line is shorter than `start` or the
// count is below 1.
inline std::string_view Cut(std::string_view line, size_t start, size_t countOffset) {
  if (line.size() < start || line.size() <= countOffset) return {};
  return line.substr(start - 1, line.size() - countOffset);
}

}  // namespace LogFormat
