#include "LogTextWriter.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& path) {
  throw std::runtime_error(std::string(what) + " \"" + path + "\": " + std::strerror(errno));
}

}  // namespace

LogTextWriter::LogTextWriter(const std::string& path)
    : path_(path), file_(std::fopen(path.c_str(), "wb")) {
  if (!file_) Fail("Cannot create", path);
  buffer_.reserve(kFlushSize + (1 << 16));
}

LogTextWriter::LogTextWriter() = default;

LogTextWriter::~LogTextWriter() {
  if (file_) std::fclose(file_);
}

LogTextWriter& LogTextWriter::Number(int value) {
  return Padded(value, 0);
}

LogTextWriter& LogTextWriter::Tenths(int tenths) {
  if (tenths < 0) {
    buffer_ += '-';
    tenths = -tenths;
  }
  Number(tenths / 10);
  buffer_ += '.';
  buffer_ += static_cast<char>('0' + tenths % 10);
  return *this;
}

LogTextWriter& LogTextWriter::Padded(int value, int width) {
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const auto count = static_cast<int>(end - digits);
  if (count < width) buffer_.append(static_cast<size_t>(width - count), '0');
  buffer_.append(digits, end);
  return *this;
}

void LogTextWriter::EndLine() {
  buffer_ += "\r\n";
  ++lines_;
  if (buffer_.size() >= kFlushSize) Flush();
}

void LogTextWriter::Flush() {
  if (!file_) return;
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    Fail("Cannot write", path_);
  }
  flushed_ += buffer_.size();
  buffer_.clear();
}

void LogTextWriter::Close() {
  if (!file_) return;
  Flush();
  const int result = std::fclose(file_);
  file_ = nullptr;
  if (result != 0) Fail("Cannot write", path_);
}
