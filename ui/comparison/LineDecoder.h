#pragma once

#include <QString>
#include <string_view>

#include "TextEncoding.h"

// Decodes line after line into one string, which keeps its memory from line to line: masking
// the lines of two large runs decodes every one of them.
class LineDecoder {
 public:
  explicit LineDecoder(Encoding encoding) : encoding_(encoding) {}

  // The text of `line`, valid until the next call.
  const QString& Decode(std::string_view line);

 private:
  Encoding encoding_;
  QString text_;
};

// The decoded text of a line, to show or print.
QString DecodedLine(std::string_view line, Encoding encoding);
