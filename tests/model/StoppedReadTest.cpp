#include <gtest/gtest.h>

#include "GeneratedLogs.h"
#include "LogFileFixture.h"
#include "StoreLimit.h"
#include "StoreText.h"

// A read or a load that is told to stop ends after the piece it is reading: what it read is
// the file's first pieces and no more.

namespace {

constexpr size_t kPiece = 1000;

class StoppedRead : public LogFileTest {
 protected:
  void SetUp() override {
    LogFileTest::SetUp();
    SetReadPieceBytes(kPiece);
    text_ = Generated(7);
    path_ = Write("a.log", text_);
  }
  void TearDown() override {
    SetReadPieceBytes(std::nullopt);
    SetInMemoryLimit(std::nullopt);
    SetIndexedPieceBytes(std::nullopt);
    LogFileTest::TearDown();
  }

  std::string text_;
  std::filesystem::path path_;
};

}  // namespace

TEST_F(StoppedRead, EndsAfterThePieceItWasReading) {
  ASSERT_GT(text_.size(), 5 * kPiece);
  // How many times the read is told to go on before it is told to stop.
  for (const size_t goOnAnswers : {size_t{0}, size_t{2}, text_.size()}) {
    const size_t expected = std::min((goOnAnswers + 1) * kPiece, text_.size());
    size_t asked = 0;
    std::vector<uint64_t> heard;
    const TextBuffer read = TextBuffer::ReadFile(path_, SIZE_MAX, [&](uint64_t bytesRead) {
      heard.push_back(bytesRead);
      return asked++ < goOnAnswers;
    });
    ASSERT_EQ(read.Size(), expected) << goOnAnswers;
    EXPECT_TRUE(read.View() == std::string_view(text_).substr(0, expected)) << goOnAnswers;
    EXPECT_EQ(heard.size(), (expected + kPiece - 1) / kPiece) << goOnAnswers;
    EXPECT_EQ(heard.back(), expected) << goOnAnswers;
  }
}

TEST_F(StoppedRead, AStoppedLoadReadsOnlyItsFirstPiece) {
  for (const uint64_t limit : {UINT64_MAX, uint64_t{0}}) {
    SetInMemoryLimit(limit);
    SetIndexedPieceBytes(kPiece);
    uint64_t furthest = 0;
    LogStore store;
    LoadLogFile(store, path_, EncodingChoice::Auto, [&](uint64_t bytesTaken) {
      furthest = std::max(furthest, bytesTaken);
      return false;
    });
    EXPECT_LE(furthest, kPiece) << "limit " << limit;
    EXPECT_LE(store.Text.End(), kPiece) << "limit " << limit;
  }
}

TEST_F(StoppedRead, ALoadThatGoesOnMakesTheStoreOfAWholeLoad) {
  for (const Variant variant : {Variant::CrLf, Variant::MixedLineEnds, Variant::Utf8Late}) {
    std::mt19937_64 random(static_cast<uint64_t>(variant));
    Write("a.log", Varied(text_, variant, random));
    LogStore whole;
    LoadLogFile(whole, path_);
    LogStore inPieces;
    LoadLogFile(inPieces, path_, EncodingChoice::Auto, [](uint64_t) { return true; });
    EXPECT_EQ(Snapshot(inPieces), Snapshot(whole));
  }
}
