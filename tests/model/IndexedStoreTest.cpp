// An indexed store must agree with a store that holds the text: whatever the size of the pieces
// it reads the file in, it makes the same store, gives each row the same lines, counts the same
// matches, and follows a growing file to the same store.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "GeneratedLogs.h"
#include "LogFileFixture.h"
#include "LogFollow.h"
#include "RunSearch.h"
#include "RunText.h"
#include "SpanMatchCount.h"
#include "SpanReader.h"
#include "StoreLimit.h"

namespace {

class IndexedStore : public LogFileTest {
 protected:
  void TearDown() override {
    SetInMemoryLimit(std::nullopt);
    SetIndexedPieceBytes(std::nullopt);
    LogFileTest::TearDown();
  }

  void Append(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary | std::ios::app) << bytes;
  }

  // `indexed` against a store in memory of `text`, on every row and for a few searches.
  // `inBlocks`: also read and count in tiny blocks, a read of the file each, which under Wine
  // costs too much to do after every step.
  static void ExpectAgree(const LogStore& indexed, const std::string& text, EncodingChoice choice,
                          const std::string& name, bool inBlocks = true) {
    LogStore held;
    LoadLogText(held, text, choice);
    ASSERT_TRUE(indexed.Indexed()) << name;
    ASSERT_EQ(Snapshot(indexed), Snapshot(held)) << name;
    for (size_t row = 0; row < held.RowToRun.size(); ++row) {
      const RunText fromFile(indexed, indexed.RunOfRow(row));
      const RunText fromMemory(held, held.RunOfRow(row));
      ASSERT_EQ(Lines(fromFile.Log()), Lines(fromMemory.Log())) << name << " row " << row;
      ASSERT_EQ(Lines(fromFile.Script()), Lines(fromMemory.Script())) << name << " row " << row;
    }
    // Read a few bytes at a time: the logs one after the other, as a search reads them, and with
    // the scripts too, ahead and back again (the runs of an entry share its script), without
    // reading ahead.
    const size_t readBytes = 2048 + held.Runs.size() * 97 % 8192;
    SpanReader logs(indexed, readBytes);
    SpanReader both(indexed, readBytes, SpanReader::ReadAhead::Off);
    SpanReader fromMemory(held);
    for (const RunsInfo& run : held.Runs) {
      ASSERT_EQ(logs.Bytes(held.LogOf(run)), fromMemory.Bytes(held.LogOf(run))) << name;
      for (const LineSpan& span : {held.ScriptOf(run), held.LogOf(run)}) {
        ASSERT_EQ(both.Bytes(span), fromMemory.Bytes(span)) << name;
      }
    }
    // Counted in parts on threads of their own, as one reader counts them row by row.
    for (const char* needle : {"e", "step 1", "TIMEOUT"}) {
      const TextLineMatcher search(needle, held.TextEncoding, false);
      std::vector<size_t> rowByRow;
      for (const LineSpan& log : RowLogSpans(held)) {
        rowByRow.push_back(search.CountMatchingLines(fromMemory.Bytes(log)));
      }
      ASSERT_EQ(RowMatchCounts(indexed, search), rowByRow) << name << needle;
      ASSERT_EQ(RowMatchCounts(held, search), rowByRow) << name << needle;
      if (inBlocks) ExpectBlocksCountAsTheWhole(indexed, held, search, rowByRow, name + needle);
    }
  }

  // Read in blocks smaller than many lines and than some of the needles, both stores give each
  // row's log as the whole, never more than a block at a time, and count it as the whole.
  static void ExpectBlocksCountAsTheWhole(const LogStore& indexed, const LogStore& held,
                                          const LineMatcher& search,
                                          const std::vector<size_t>& rowByRow,
                                          const std::string& name) {
    for (const size_t blockBytes : {4, 61}) {
      // A block of the indexed store is a read of the file, which under Wine costs much more than
      // on Linux: blocks smaller than the needles are read from memory only.
      for (const LogStore* store : {&indexed, &held}) {
        if (store == &indexed && blockBytes < 8) continue;
        SpanReader reader(*store, blockBytes, SpanReader::ReadAhead::Off);
        SpanReader whole(held);
        const std::vector<LineSpan> logs = RowLogSpans(*store);
        for (size_t row = 0; row < logs.size(); ++row) {
          std::string bytes;
          for (uint64_t at = logs[row].Begin; at < logs[row].End;
               at = logs[row].Begin + bytes.size()) {
            const std::string_view block = reader.BlockOf(logs[row], at);
            ASSERT_LE(block.size(), blockBytes) << name;
            ASSERT_FALSE(block.empty()) << name;
            bytes += block;
          }
          ASSERT_EQ(bytes, whole.Bytes(logs[row])) << name << " row " << row;
          ASSERT_EQ(CountMatchingLines(search, reader, logs[row]), rowByRow[row])
              << name << " row " << row;
        }
      }
    }
  }

  std::filesystem::path path_;
};

TEST_F(IndexedStore, AgreesWithTheStoreInMemoryAsTheFileGrows) {
  const Variant variants[] = {Variant::CrLf, Variant::MixedLineEnds, Variant::SharedStartTimes,
                              Variant::Utf8Late, Variant::Windows1252InUtf8};
  SetInMemoryLimit(0);
  size_t follows = 0;
  for (uint64_t seed = 1; seed <= 3; ++seed) {
    std::mt19937_64 random(seed);
    for (const Variant variant : variants) {
      // The generated logs are Windows-1252; turned into UTF-8 they are read as UTF-8 whole.
      const std::string varied = Varied(Generated(seed), variant, random);
      const bool utf8 = random() % 2 == 0;
      const std::string text = utf8 ? Decode(varied, Encoding::Windows1252) : varied;
      const EncodingChoice choice = random() % 3 == 0 ? EncodingChoice::Utf8 : EncodingChoice::Auto;
      const std::string name = "variant " + std::to_string(static_cast<int>(variant)) +
                               (utf8 ? " in UTF-8" : "") + ", seed " + std::to_string(seed);
      // Pieces from a byte to a few lines, so that each load and follow takes many.
      SetIndexedPieceBytes(1 + random() % 600);
      size_t done = random() % text.size();
      path_ = Write("grows.log", text.substr(0, done));
      LogStore store;
      LoadLogFile(store, path_, choice);
      ExpectAgree(store, text.substr(0, done), choice, name + ", loaded");
      if (HasFatalFailure()) return;
      const size_t shownRow = store.RowToRun.empty() ? 0 : store.RowToRun.size() - 1;
      RunText shown = store.RowToRun.empty() ? RunText() : RunText(store, store.RunOfRow(shownRow));
      while (done < text.size()) {
        const size_t cut = std::min(text.size(), done + 1 + random() % 3000);
        Append(text.substr(done, cut - done));
        done = cut;
        if (FollowLogFile(store, path_, choice).What == FollowUpdate::Kind::NeedsFullLoad) {
          LoadLogFile(store, path_, choice);
        }
        ExpectAgree(store, text.substr(0, done), choice,
                    name + ", followed to " + std::to_string(done), done == text.size());
        if (HasFatalFailure()) return;
        // The lines a pane shows grow in place with the run, as a fresh read has them.
        if (shownRow < store.RowToRun.size() && shown.Extend(store, store.RunOfRow(shownRow))) {
          const RunText fresh(store, store.RunOfRow(shownRow));
          ASSERT_EQ(Lines(shown.Log()), Lines(fresh.Log())) << name;
        }
        ++follows;
      }
    }
  }
  EXPECT_GE(follows, 100u);
}

// A window shows a run from the first piece of a file, held in memory, until the file's index is
// done: those lines are read anew then, even where the run has not grown.
TEST_F(IndexedStore, LinesHeldInMemoryAreNotExtendedFromAnIndex) {
  path_ = Write("both.log", Generated(3));
  LogStore held;
  LoadLogFile(held, path_);
  SetInMemoryLimit(0);
  LogStore indexed;
  LoadLogFile(indexed, path_);
  ASSERT_FALSE(held.RowToRun.empty());
  RunText shown(held, held.RunOfRow(0));
  EXPECT_FALSE(shown.Extend(indexed, indexed.RunOfRow(0)));
  RunText fromFile(indexed, indexed.RunOfRow(0));
  EXPECT_FALSE(fromFile.Extend(held, held.RunOfRow(0)));
  EXPECT_EQ(Lines(shown.Log()), Lines(fromFile.Log()));
}

}  // namespace
