#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "LineScanner.h"

namespace {

// The line-end rule written the plain way, one byte at a time.
std::vector<std::string> ReferenceLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::vector<std::string> ScannedLines(const std::string& text) {
  std::vector<std::string> lines;
  LineScanner scanner(text.data(), text.data() + text.size());
  while (!scanner.AtEnd()) lines.emplace_back(scanner.Next());
  return lines;
}

TEST(LineScanner, AgreesWithThePlainRuleOnRandomText) {
  // Few distinct bytes, so that CR LF pairs, empty lines and line ends on both sides of every
  // 64-byte block boundary all occur.
  std::mt19937 random(7);
  const char alphabet[] = {'\r', '\n', 'a', 'b', '\0', '\xff'};
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 300, ' ');
    for (char& c : text) c = alphabet[random() % sizeof alphabet];
    ASSERT_EQ(ScannedLines(text), ReferenceLines(text)) << "round " << round;
  }
}

TEST(LineScanner, CrLfAcrossABlockBoundaryIsOneLineEnd) {
  for (size_t crAt = 60; crAt < 70; ++crAt) {
    const std::string text = std::string(crAt, 'x') + "\r\n" + "next";
    EXPECT_EQ(ScannedLines(text), (std::vector<std::string>{std::string(crAt, 'x'), "next"}));
  }
}

}  // namespace
