#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Writes a log file line by line through one large buffer, so that a gigabyte costs a few
// hundred write calls. Lines end in CR LF, as the control software writes them.
class LogTextWriter {
 public:
  // Creates or truncates `path`; throws std::runtime_error naming the file and the reason.
  explicit LogTextWriter(const std::string& path);
  // Keeps the log in memory instead, where Written() has it (tests).
  LogTextWriter();
  LogTextWriter(const LogTextWriter&) = delete;
  LogTextWriter& operator=(const LogTextWriter&) = delete;
  ~LogTextWriter();

  LogTextWriter& Text(std::string_view text) {
    buffer_.append(text);
    return *this;
  }
  LogTextWriter& Number(int value);
  // `tenths` / 10 with one decimal, as in "36.6".
  LogTextWriter& Tenths(int tenths);
  // `value` with at least `width` digits, zero-padded.
  LogTextWriter& Padded(int value, int width);
  void EndLine();
  void Line(std::string_view text) {
    Text(text);
    EndLine();
  }

  // The whole log of a writer that keeps it in memory.
  const std::string& Written() const { return buffer_; }
  // Bytes written so far, buffered ones included.
  uint64_t Size() const { return flushed_ + buffer_.size(); }
  uint64_t Lines() const { return lines_; }
  // Writes out the buffer and closes the file; throws on a write error.
  void Close();

 private:
  static constexpr size_t kFlushSize = 16 << 20;
  void Flush();

  std::string path_;
  std::FILE* file_ = nullptr;
  std::string buffer_;
  uint64_t flushed_ = 0;
  uint64_t lines_ = 0;
};
