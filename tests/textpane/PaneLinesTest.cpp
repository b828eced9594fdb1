#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "LogFollow.h"
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

std::vector<std::string_view> LinesOf(const LogStore& store, const std::vector<LineSpan>& lists) {
  std::vector<std::string_view> lines;
  for (const LineSpan& list : lists) {
    for (const std::string_view line : store.LinesOf(list)) lines.push_back(line);
  }
  return lines;
}

// The pane's own record of its lines against the store's lines, for many random texts appended
// run by run: the same lines, chunks that put each line back together without splitting a
// character, scroll units that map one to one onto chunks, and every byte found in its line.
TEST(PaneLines, AgreeWithTheStoreOnRandomText) {
  std::mt19937 random(20261207);
  size_t checkedLines = 0;
  for (int round = 0; round < 200; ++round) {
    // Two entries, so that the pane takes more than one list, each holding the random lines.
    const std::string entry = "------ NextPart = Script\r\n";
    const std::string entryEnd = "------ NextPart = LogMessage\r\n------ NextEntry\r\n";
    LogStore store;
    LoadLogText(store, entry + RandomText(random) + entryEnd + entry + RandomText(random));
    ASSERT_EQ(store.ScriptParts.size(), 2u);
    TPaneLines pane;
    for (const LineSpan& lines : store.ScriptParts)
      pane.Append(store.LinesOf(lines), Encoding::Utf8);
    const std::vector<std::string_view> expected = LinesOf(store, store.ScriptParts);
    ASSERT_EQ(pane.Count(), expected.size());
    checkedLines += expected.size();

    size_t unit = 0;
    for (size_t line = 0; line < expected.size(); ++line) {
      ASSERT_EQ(pane.Line(line), expected[line]) << "round " << round << ", line " << line;
      std::string joined;
      for (int chunk = 0; chunk < pane.ChunkCount(line); ++chunk, ++unit) {
        const std::string_view bytes = pane.ChunkBytes({line, chunk});
        // A cut moves back by at most 256 bytes to a blank or a character start.
        EXPECT_LE(bytes.size(), kChunkBytes + 256);
        EXPECT_TRUE(bytes.size() > 0 || expected[line].empty());
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
  EXPECT_GT(checkedLines, 2000u);  // the rounds did compare lines, long ones among them
}

// A pane that shows a list and takes in what it gained as the log grows holds what a pane that
// shows the grown list from the start holds: the script of an entry still being written, cut
// anywhere (also inside the line that ends it, which then leaves the script).
TEST(PaneLines, ExtendedEqualsAppendedWhole) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 200; ++round) {
    const std::string text = "------ NextPart = Script\r\n" + RandomText(random) +
                             "------ NextPart = LogMessage\r\nafter\r\n";
    const size_t cut = std::uniform_int_distribution<size_t>(26, text.size())(random);
    LogStore store;
    LoadLogText(store, text.substr(0, cut), EncodingChoice::Utf8);
    TPaneLines extended;
    extended.Append(store.LinesOf(store.ScriptParts.at(0)), Encoding::Utf8);
    ASSERT_EQ(AppendLogText(store, text.substr(cut), EncodingChoice::Utf8).What,
              FollowUpdate::Kind::Appended);
    ASSERT_TRUE(extended.Extend(store.LinesOf(store.ScriptParts.at(0)), Encoding::Utf8));
    TPaneLines whole;
    whole.Append(store.LinesOf(store.ScriptParts.at(0)), Encoding::Utf8);

    ASSERT_EQ(extended.Count(), whole.Count()) << "round " << round << ", cut at " << cut;
    ASSERT_EQ(extended.UnitCount(), whole.UnitCount()) << "round " << round;
    for (size_t line = 0; line < whole.Count(); ++line) {
      ASSERT_EQ(extended.Line(line), whole.Line(line)) << "round " << round << ", line " << line;
      ASSERT_EQ(extended.ChunkCount(line), whole.ChunkCount(line));
      ASSERT_EQ(extended.UnitOf({line, 0}), whole.UnitOf({line, 0}));
      if (!whole.Line(line).empty()) {
        const char* last = whole.Line(line).data() + whole.Line(line).size() - 1;
        ASSERT_EQ(extended.LineOfByte(last), whole.LineOfByte(last));
      }
    }
  }
}

TEST(PaneLines, ExtendRefusesAnotherList) {
  LogStore store;
  LoadLogText(store,
              "------ NextPart = Script\r\na\r\n------ NextPart = LogMessage\r\n"
              "------ NextEntry\r\n------ NextPart = Script\r\nb\r\nc\r\n");
  TPaneLines pane;
  pane.Append(store.LinesOf(store.ScriptParts.at(0)), Encoding::Windows1252);
  EXPECT_FALSE(pane.Extend(store.LinesOf(store.ScriptParts.at(1)), Encoding::Windows1252));
  EXPECT_EQ(pane.Count(), 1u);
  EXPECT_EQ(pane.Line(0), "a");
}

}  // namespace
