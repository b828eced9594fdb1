#include "ConsoleOutput.h"

#include <windows.h>

#include <QStringDecoder>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string_view>

namespace {

class Utf8Output : public std::streambuf {
 public:
  // A GUI program started without handles has none: GetStdHandle then gives no handle, where
  // the C library's _get_osfhandle would call its invalid parameter handler.
  Utf8Output(std::FILE* file, DWORD handle) : file_(file), console_(GetStdHandle(handle)) {
    DWORD mode = 0;
    if (!GetConsoleMode(console_, &mode)) console_ = nullptr;
    setp(buffer_, buffer_ + sizeof buffer_);
  }

 protected:
  int overflow(int c) override {
    if (sync() != 0) return traits_type::eof();
    if (c != traits_type::eof()) sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }

  int sync() override {
    const bool written = Write({pbase(), static_cast<size_t>(pptr() - pbase())});
    setp(buffer_, buffer_ + sizeof buffer_);
    return written ? 0 : -1;
  }

 private:
  // The C library's stream keeps its mode: binary for the headless modes' tables, text for the
  // messages on stderr.
  bool Write(std::string_view bytes) {
    if (!console_) {
      return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() &&
             std::fflush(file_) == 0;
    }
    // The decoder keeps a character cut between two writes for the next.
    const QString text = decoder_(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    DWORD written = 0;
    return WriteConsoleW(console_, text.utf16(), DWORD(text.size()), &written, nullptr) != 0;
  }

  std::FILE* file_;
  HANDLE console_;
  QStringDecoder decoder_{QStringDecoder::Utf8};
  char buffer_[16 * 1024];
};

}  // namespace

void PrintUtf8OnConsoles() {
  // Never destroyed: the streams are flushed at exit, after the static objects have gone.
  std::cout.rdbuf(new Utf8Output(stdout, STD_OUTPUT_HANDLE));
  std::cerr.rdbuf(new Utf8Output(stderr, STD_ERROR_HANDLE));
}
