#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "LogStore.h"
#include "TextPaneChunks.h"
#include "TextPaneLines.h"

namespace {

// Random lines of every length class a pane meets: empty, short, and longer than a chunk, with
// and without blanks to cut at, with multi-byte characters, and every kind of line end.
std::string RandomText(std::mt19937& random) {
  const std::string pieces[] = {"a", " ", "\xc3\xa4", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "\t"};
  const std::string ends[] = {"\r\n", "\n", "\r"};
  std::string text;
  const int lines = std::uniform_int_distribution(0, 40)(random);
  for (int line = 0; line < lines; ++line) {
    const int lengthClass = std::uniform_int_distribution(0, 9)(random);
    const size_t length = lengthClass == 0  ? 0
                          : lengthClass < 8 ? std::uniform_int_distribution(1, 80)(random)
                                            : std::uniform_int_distribution(8000, 30000)(random);
    const bool withBlanks = std::bernoulli_distribution(0.5)(random);
    std::string bytes;
    while (bytes.size() < length) {
      bytes += pieces[std::uniform_int_distribution<size_t>(withBlanks ? 0 : 2, 5)(random)];
    }
    text += bytes + ends[std::uniform_int_distribution(0, 2)(random)];
  }
  return text;
}

std::vector<std::string_view> LinesOf(const std::vector<LineList>& lists) {
  std::vector<std::string_view> lines;
  for (const LineList& list : lists) {
    for (const std::string_view line : list) lines.push_back(line);
  }
  return lines;
}

// The pane's own record of its lines against the store's lines, for many random texts appended
// run by run: the same lines, chunks that put each line back together without splitting a
// character, scroll units that map one to one onto chunks, and every byte found in its line.
TEST(PaneLines, AgreeWithTheStoreOnRandomText) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 200; ++round) {
    LogStore store;
    LoadLogText(store, RandomText(random));
    TPaneLines pane;
    for (const LineList& lines : store.ScriptParts) pane.Append(lines, Encoding::Utf8);
    const std::vector<std::string_view> expected = LinesOf(store.ScriptParts);
    ASSERT_EQ(pane.Count(), expected.size());

    size_t unit = 0;
    for (size_t line = 0; line < expected.size(); ++line) {
      ASSERT_EQ(pane.Line(line), expected[line]) << "round " << round << ", line " << line;
      std::string joined;
      for (int chunk = 0; chunk < pane.ChunkCount(line); ++chunk, ++unit) {
        const std::string_view bytes = pane.ChunkBytes({line, chunk});
        EXPECT_LE(bytes.size(), kChunkBytes);
        EXPECT_TRUE(chunk == 0 || (static_cast<unsigned char>(bytes.front()) & 0xC0) != 0x80);
        EXPECT_EQ(pane.UnitOf({line, chunk}), unit);
        EXPECT_EQ(pane.ChunkAtUnit(unit), (TChunkRef{line, chunk}));
        joined += bytes;
      }
      EXPECT_EQ(joined, expected[line]);
      if (!expected[line].empty()) {
        const size_t last = expected[line].size() - 1;
        EXPECT_EQ(pane.LineOfByte(expected[line].data() + last), std::pair(line, last));
      }
    }
    EXPECT_EQ(pane.UnitCount(), unit);
  }
}

}  // namespace
