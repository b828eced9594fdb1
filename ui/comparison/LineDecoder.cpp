#include "LineDecoder.h"

#include <array>

namespace {

// Each byte's character in Windows-1252, as the model decodes it.
const std::array<char16_t, 256>& Windows1252Characters() {
  static const std::array<char16_t, 256> characters = [] {
    std::array<char16_t, 256> table{};
    for (size_t byte = 0; byte < table.size(); ++byte) {
      const std::string one(1, static_cast<char>(byte));
      table[byte] = QString::fromStdString(::Decode(one, Encoding::Windows1252)).at(0).unicode();
    }
    return table;
  }();
  return characters;
}

}  // namespace

const QString& LineDecoder::Decode(std::string_view line) {
  if (encoding_ == Encoding::Utf8) {
    text_ = QString::fromStdString(::Decode(line, encoding_));
    return text_;
  }
  const std::array<char16_t, 256>& characters = Windows1252Characters();
  text_.resize(static_cast<qsizetype>(line.size()));
  QChar* into = text_.data();
  for (const char byte : line) *into++ = QChar(characters[static_cast<unsigned char>(byte)]);
  return text_;
}

QString DecodedLine(std::string_view line, Encoding encoding) {
  return LineDecoder(encoding).Decode(line);
}
