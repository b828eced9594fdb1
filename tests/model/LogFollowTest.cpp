// Following a growing log: taking in appended bytes must give exactly the store that a full
// load of the same bytes gives. The differential test below cuts generated logs at thousands of
// places and compares after every piece; the cases after it are the ways a file can change that
// are not growth.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "GeneratedLogs.h"
#include "LogFileFixture.h"
#include "LogFileSource.h"
#include "LogFollow.h"
#include "LogGenerator.h"
#include "RunText.h"
#include "StoreDump.h"
#include "StoreInvariants.h"
#include "StoreLimit.h"

namespace {

// Where two snapshots part, with a little of each around it.
std::string Difference(const std::string& got, const std::string& expected) {
  const auto [at, unused] = std::ranges::mismatch(got, expected);
  const auto from = static_cast<size_t>(std::max<std::ptrdiff_t>(0, at - got.begin() - 120));
  return "incremental: ..." + got.substr(from, 300) + "\nfull load:   ..." +
         expected.substr(from, 300);
}

// Places to cut `text`: inside and around the marker and header lines, between CR and LF, and
// at random.
std::vector<size_t> CutPoints(const std::string& text, std::mt19937_64& random, size_t count) {
  std::vector<size_t> cuts;
  const auto inside = [&](size_t start, size_t length) {
    return start + (length == 0 ? 0 : random() % (length + 1));
  };
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    const std::string_view line(text.data() + start, end - start);
    const bool marker = line.starts_with("==>") || line.starts_with("------") ||
                        line.starts_with("Started:") || line.starts_with("User:") ||
                        line.starts_with("File name");
    if (marker && random() % 4 == 0) {
      cuts.push_back(start);
      cuts.push_back(inside(start, line.size()));
      cuts.push_back(end);
    }
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' && random() % 8 == 0) {
      cuts.push_back(end + 1);
    }
    start = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
  }
  std::ranges::shuffle(cuts, random);
  cuts.resize(std::min(cuts.size(), count / 2));
  while (cuts.size() < count) cuts.push_back(random() % (text.size() + 1));
  cuts.push_back(text.size());
  std::ranges::sort(cuts);
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  return cuts;
}

struct Tally {
  size_t cuts = 0;
  size_t fullLoads = 0;
};

// Feeds `text` to a store piece by piece, cut at `cuts`, and compares it after every piece with
// a full load of the bytes so far. Also checks that what the update says is unchanged is.
void FeedInPieces(const std::string& text, const std::vector<size_t>& cuts, EncodingChoice encoding,
                  Tally& tally, const std::string& name) {
  LogStore store;
  LoadLogText(store, "", encoding);
  size_t done = 0;
  for (const size_t cut : cuts) {
    const std::vector<int32_t> rowsBefore = store.RowToRun;
    const std::vector<RunsInfo> runsBefore = store.Runs;
    const FollowUpdate update = AppendLogText(store, text.substr(done, cut - done), encoding);
    done = cut;
    const std::string_view sofar(text.data(), done);
    ++tally.cuts;
    if (update.What == FollowUpdate::Kind::NeedsFullLoad) {
      ++tally.fullLoads;
      LoadLogText(store, sofar, encoding);
    } else {
      for (size_t row = 0; row < update.FirstChangedRow; ++row) {
        ASSERT_EQ(store.RowToRun.at(row), rowsBefore.at(row)) << name << " row " << row;
      }
      for (size_t run = 0; run < update.FirstChangedRun; ++run) {
        ASSERT_EQ(store.Runs.at(run).DateTime, runsBefore.at(run).DateTime) << name;
      }
    }
    LogStore full;
    LoadLogText(full, sofar, encoding);
    ASSERT_EQ(store.Text.View(), full.Text.View()) << name << " cut at " << cut;
    const std::string got = Snapshot(store);
    const std::string expected = Snapshot(full);
    ASSERT_TRUE(got == expected) << name << ", cut at " << cut << " of " << text.size() << "\n"
                                 << Difference(got, expected);
    ASSERT_EQ(CheckStoreInvariants(store), "") << name << " cut at " << cut;
  }
}

TEST(LogFollow, AppendedPiecesGiveWhatAFullLoadGives) {
  const struct {
    Variant variant;
    const char* name;
    EncodingChoice encoding;
    bool growsInPlace;  // every piece is taken in without a full load
  } variants[] = {
      {Variant::CrLf, "CR LF", EncodingChoice::Auto, true},
      {Variant::Lf, "LF", EncodingChoice::Auto, true},
      {Variant::MixedLineEnds, "mixed line ends", EncodingChoice::Windows1252, true},
      {Variant::SharedStartTimes, "shared start times", EncodingChoice::Auto, true},
      {Variant::Utf8Late, "UTF-8 late", EncodingChoice::Auto, false},
      {Variant::Windows1252InUtf8, "Windows-1252 in UTF-8", EncodingChoice::Auto, false},
      {Variant::Windows1252InUtf8, "Windows-1252 in UTF-8, read as UTF-8", EncodingChoice::Utf8,
       true},
  };
  Tally tally;
  for (uint64_t seed = 1; seed <= 6; ++seed) {
    std::mt19937_64 random(seed);
    const std::string generated = Generated(seed);
    for (const auto& variant : variants) {
      const std::string text = Varied(generated, variant.variant, random);
      const std::string name = std::string(variant.name) + ", seed " + std::to_string(seed);
      const size_t fullLoadsBefore = tally.fullLoads;
      FeedInPieces(text, CutPoints(text, random, 120), variant.encoding, tally, name);
      if (HasFatalFailure()) return;
      if (variant.growsInPlace) {
        EXPECT_EQ(tally.fullLoads, fullLoadsBefore) << name;
      }
    }
  }
  EXPECT_GE(tally.cuts, 4000u);
  EXPECT_LT(tally.fullLoads * 20, tally.cuts);  // the incremental way is the one that is tested
}

// Loads `text` in pieces ending at `cuts` (the last one its end) and compares the store after
// every piece with a full load of the bytes so far, and after the last with a full load of the
// whole text; then follows it as it grows by `more`.
void LoadInPieces(const std::string& text, const std::vector<size_t>& cuts, EncodingChoice encoding,
                  const std::string& more, const std::string& name) {
  // The text the pieces are taken from is all there: its size is not what they are compared by.
  const auto afterSize = [](const std::string& snapshot) {
    return snapshot.substr(snapshot.find('\n'));
  };
  LogStore store;
  BeginLoadInPieces(store, TextBuffer::FromBytes(text), encoding);
  for (const size_t cut : cuts) {
    const std::vector<int32_t> rowsBefore = store.RowToRun;
    const FollowUpdate update = TakeInPiece(store, cut);
    ASSERT_EQ(update.What, FollowUpdate::Kind::Appended) << name;
    for (size_t row = 0; row < update.FirstChangedRow; ++row) {
      ASSERT_EQ(store.RowToRun.at(row), rowsBefore.at(row)) << name << " row " << row;
    }
    LogStore sofar;
    LoadLogText(sofar, std::string_view(text).substr(0, cut), encoding);
    const std::string got = afterSize(Snapshot(store));
    const std::string expected = afterSize(Snapshot(sofar));
    ASSERT_TRUE(got == expected) << name << ", piece up to " << cut << "\n"
                                 << Difference(got, expected);
    ASSERT_EQ(store.Checkpoint.Valid, cut == text.size()) << name;
  }
  LogStore whole;
  LoadLogText(whole, text + more, encoding);
  const FollowUpdate followed = AppendLogText(store, more, encoding);
  if (followed.What == FollowUpdate::Kind::NeedsFullLoad) LoadLogText(store, text + more, encoding);
  ASSERT_EQ(Snapshot(store), Snapshot(whole)) << name << " followed after the load";
  ASSERT_EQ(CheckStoreInvariants(store), "") << name;
}

TEST(LogFollow, ALoadInPiecesGivesWhatAWholeLoadGives) {
  const Variant variants[] = {Variant::CrLf,          Variant::Lf,
                              Variant::MixedLineEnds, Variant::SharedStartTimes,
                              Variant::Utf8Late,      Variant::Windows1252InUtf8};
  const EncodingChoice encodings[] = {EncodingChoice::Auto, EncodingChoice::Windows1252,
                                      EncodingChoice::Utf8};
  size_t pieces = 0;
  for (uint64_t seed = 1; seed <= 4; ++seed) {
    std::mt19937_64 random(seed);
    const std::string generated = Generated(seed);
    for (const Variant variant : variants) {
      const std::string text = Varied(generated, variant, random);
      const EncodingChoice encoding = encodings[random() % 3];
      const std::vector<size_t> cuts = CutPoints(text, random, 60);
      const size_t split = random() % text.size();
      const std::string name =
          "variant " + std::to_string(static_cast<int>(variant)) + ", seed " + std::to_string(seed);
      LoadInPieces(text.substr(0, split), CutPoints(text.substr(0, split), random, 60), encoding,
                   text.substr(split), name + ", followed");
      if (HasFatalFailure()) return;
      LoadInPieces(text, cuts, encoding, "", name);
      if (HasFatalFailure()) return;
      pieces += cuts.size();
    }
  }
  EXPECT_GE(pieces, 1000u);
}

TEST(LogFollow, ByteByByteGivesWhatAFullLoadGives) {
  std::vector<std::filesystem::path> files = {MLD_EXAMPLE_LOG};
  for (const auto& entry : std::filesystem::directory_iterator(MLD_FUZZ_CORPUS)) {
    files.push_back(entry.path());
  }
  Tally tally;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<size_t> cuts(text.size());
    for (size_t k = 0; k < cuts.size(); ++k) cuts[k] = k + 1;
    FeedInPieces(text, cuts, EncodingChoice::Auto, tally, file.filename().string());
    if (HasFatalFailure()) return;
    LoadInPieces(text, cuts, EncodingChoice::Auto, "", file.filename().string() + " loaded");
    if (HasFatalFailure()) return;
  }
  EXPECT_GE(tally.cuts, 8000u);
}

// The ends of a log that the generated ones rarely cut at, each fed in the pieces shown.
TEST(LogFollow, EachWayALogCanEndGoesOnAsAFullLoad) {
  const std::string entry = "------ NextPart = Script\r\ns\r\n------ NextPart = LogMessage\r\n";
  const std::string header =
      "==>loading script \"Script A\".\r\nUser: x\r\nStarted: 2026-12-01 10:00:00\r\n"
      "==>script type: Method\r\nFile name of script: C:\\a.vsc\r\n";
  // Ten lines of a run's log before each end, so that the parse goes on from inside the run.
  std::string run = header;
  for (int k = 0; k < 10; ++k) run += "message " + std::to_string(k) + "\r\n";
  const std::string finished = "==>script execution finished.\r\n";
  const struct {
    const char* name;
    std::vector<std::string> pieces;
  } cases[] = {
      {"a header cut at the old end",
       {entry + run + finished + header.substr(0, 40), header.substr(40) + "m\r\n"}},
      {"a header cut inside its type line",
       {entry + run + finished + header.substr(0, 90), header.substr(90) + "m\r\n"}},
      {"a run ends and a new one starts", {entry + run, finished + header + "n\r\n"}},
      {"a new entry", {entry + run, "------ NextEntry\r\n" + entry + header}},
      {"a CR whose LF comes later", {entry + run + "m\r", "\nn\r\n"}},
      {"a CR that stays lone", {entry + run + "m\r", "n\r\n"}},
      {"a last line that goes on", {entry + run + "me", "ssage\r\n"}},
      {"an end line that goes on", {entry + run + "==>script execution finished.", "x\r\nm\r\n"}},
      {"an end line that gets its line end",
       {entry + run + "==>script execution stopped by user.", "\r\n" + header}},
      {"a marker cut short", {entry + run + "------ Next", "Entry\r\n" + entry}},
      {"an entry without runs yet", {entry.substr(0, 30), entry.substr(30) + "x\r\n", header}},
  };
  for (const auto& [name, pieces] : cases) {
    std::string text;
    std::vector<size_t> cuts;
    for (const std::string& piece : pieces) {
      text += piece;
      cuts.push_back(text.size());
    }
    Tally tally;
    FeedInPieces(text, cuts, EncodingChoice::Auto, tally, name);
    EXPECT_EQ(tally.fullLoads, 0u) << name;
  }
}

// A writer that flushes in blocks of a fixed size leaves the first bytes of a character at the
// end of the file now and then: the UTF-8 log goes on growing in place, read as UTF-8.
TEST(LogFollow, AUtf8CharacterCutByTheWriterGoesOnInPlace) {
  const std::string start =
      "------ NextPart = Script\r\ns\r\n------ NextPart = LogMessage\r\n"
      "==>loading script \"Mix 5 \xc2\xb5l\".\r\n-\r\nStarted: 2026-12-01 10:00\r\nheat to ";
  for (const std::string character : {"\xc2\xb0", "\xe2\x82\xac", "\xf0\x9f\x98\x80"}) {
    std::string text = start;
    std::vector<size_t> cuts = {text.size()};
    for (const char byte : character) {
      text += byte;
      cuts.push_back(text.size());
    }
    text += "C\r\n";
    cuts.push_back(text.size());
    Tally tally;
    FeedInPieces(text, cuts, EncodingChoice::Auto, tally, character);
    EXPECT_EQ(tally.fullLoads, 1u) << character;  // the first piece: UTF-8 after an empty text
  }
}

TEST(LogFollow, RowsAfterTheChangeAreNamed) {
  std::string messages;
  std::vector<std::string> log;
  for (int k = 1; k <= 9; ++k) {
    messages += "m" + std::to_string(k) + "\r\n";
    log.push_back("m" + std::to_string(k));
  }
  LogStore store;
  LoadLogText(store,
              "------ NextPart = Script\r\ns\r\n------ NextPart = LogMessage\r\n"
              "==>loading script \"A\".\r\n-\r\nStarted: 2026-12-01 10:00\r\nm0\r\n");
  ASSERT_EQ(store.RowToRun, std::vector<int32_t>{0});
  FollowUpdate update =
      AppendLogText(store, "==>script execution finished.\r\n==>loading script \"B\".\r\n-\r\n",
                    EncodingChoice::Auto);
  EXPECT_EQ(update.What, FollowUpdate::Kind::Appended);
  EXPECT_EQ(store.RowToRun, (std::vector<int32_t>{0, 1}));  // B's start is not there yet
  // B started in the same second as A, so it folds into A's row, which now shows it.
  update = AppendLogText(store, "Started: 2026-12-01 10:00\r\n" + messages, EncodingChoice::Auto);
  EXPECT_EQ(update.FirstChangedRow, 0u);
  EXPECT_EQ(store.RowToRun, std::vector<int32_t>{1});
  // As B's log grows, only B and its row change.
  update = AppendLogText(store, "m10\r\n", EncodingChoice::Auto);
  EXPECT_EQ(update.FirstChangedRun, 1u);
  EXPECT_EQ(update.FirstChangedRow, 0u);
  log.push_back("m10");
  EXPECT_EQ(Lines(store, store.LogOf(store.RunOfRow(0))), log);
}

TEST(LogFollow, ATextWithoutRoomToGrowOrAnotherChoiceNeedsAFullLoad) {
  LogStore store;
  LoadLogText(store, "abc\r\n");
  const std::string before = Snapshot(store);
  EXPECT_EQ(AppendLogText(store, "d", EncodingChoice::Windows1252).What,
            FollowUpdate::Kind::NeedsFullLoad);
  const std::string tooMuch(TextBuffer::kGrowthRoom + (1 << 20), 'x');
  EXPECT_EQ(AppendLogText(store, tooMuch, EncodingChoice::Auto).What,
            FollowUpdate::Kind::NeedsFullLoad);
  // ASCII so far, read as Windows-1252; UTF-8 from now on would change how all of it reads.
  EXPECT_EQ(AppendLogText(store, "\xc2\xb5", EncodingChoice::Auto).What,
            FollowUpdate::Kind::NeedsFullLoad);
  EXPECT_EQ(Snapshot(store), before);
  EXPECT_EQ(AppendLogText(store, "", EncodingChoice::Auto).What, FollowUpdate::Kind::Unchanged);
  LogStore empty;
  EXPECT_EQ(AppendLogText(empty, "x", EncodingChoice::Auto).What,
            FollowUpdate::Kind::NeedsFullLoad);
}

// The same for a file on disk, and the ways it can change that are not growth, with the store
// holding the text (false) or indexed (true).
class LogFollowFile : public LogFileTest, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    LogFileTest::SetUp();
    if (GetParam()) SetInMemoryLimit(0);
    text_ = Generated(7);
    path_ = Write("f.log", text_.substr(0, text_.size() / 2));
    LoadLogFile(store_, path_);
  }

  void TearDown() override {
    SetInMemoryLimit(std::nullopt);
    LogFileTest::TearDown();
  }

  FollowUpdate Follow() { return FollowLogFile(store_, path_, EncodingChoice::Auto); }

  void Append(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary | std::ios::app) << bytes;
  }

  void ExpectAsLoaded() {
    LogStore full;
    LoadLogFile(full, path_);
    EXPECT_EQ(Snapshot(store_), Snapshot(full));
  }

  std::string text_;
  std::filesystem::path path_;
  LogStore store_;
};

TEST_P(LogFollowFile, ReadsOnlyWhatWasAppended) {
  EXPECT_EQ(Follow().What, FollowUpdate::Kind::Unchanged);
  Append(text_.substr(text_.size() / 2, 1000));
  EXPECT_EQ(Follow().What, FollowUpdate::Kind::Appended);
  ExpectAsLoaded();
  Append(text_.substr(text_.size() / 2 + 1000));
  EXPECT_EQ(Follow().What, FollowUpdate::Kind::Appended);
  ExpectAsLoaded();
  EXPECT_EQ(store_.Text.End(), text_.size());
  EXPECT_EQ(store_.Indexed(), GetParam());
}

TEST_P(LogFollowFile, AnythingButGrowthNeedsAFullLoad) {
  const std::string half = text_.substr(0, text_.size() / 2);
  const std::string more = text_.substr(text_.size() / 2, 500);
  std::string rewrittenStart = half + more;
  rewrittenStart[10] ^= 1;
  std::string rewrittenEnd = half + more;
  rewrittenEnd[half.size() - 10] ^= 1;
  const struct {
    const char* name;
    std::function<void()> change;
  } changes[] = {
      {"shrunk", [&] { Write("f.log", half.substr(0, half.size() - 1)); }},
      {"rewritten at its start", [&] { Write("f.log", rewrittenStart); }},
      {"rewritten before its old end", [&] { Write("f.log", rewrittenEnd); }},
      {"replaced by another file",
       [&] {
         Write("new.log", half + more);
         std::filesystem::rename(dir_ / "new.log", path_);
       }},
      {"deleted and created again",
       [&] {
         std::filesystem::remove(path_);
         Write("f.log", "------ NextPart = Script\r\n" + half + more);
       }},
      {"deleted", [&] { std::filesystem::remove(path_); }},
  };
  for (const auto& [name, change] : changes) {
    Write("f.log", half);
    LoadLogFile(store_, path_);
    ASSERT_FALSE(store_.RowToRun.empty());
    const std::string before = Layout(store_);
    change();
    EXPECT_EQ(Follow().What, FollowUpdate::Kind::NeedsFullLoad) << name;
    EXPECT_EQ(Layout(store_), before) << name;
    // Lines read on demand are never the changed file's.
    if (store_.Indexed()) {
      EXPECT_THROW(RunText(store_, store_.RunOfRow(0)), FileChangedError) << name;
    }
  }
}

TEST_P(LogFollowFile, AnotherEncodingChoiceNeedsAFullLoad) {
  Append("x\r\n");
  EXPECT_EQ(FollowLogFile(store_, path_, EncodingChoice::Utf8).What,
            FollowUpdate::Kind::NeedsFullLoad);
  LoadLogFile(store_, path_, EncodingChoice::Utf8);
  Append("y\r\n");
  EXPECT_EQ(FollowLogFile(store_, path_, EncodingChoice::Utf8).What, FollowUpdate::Kind::Appended);
}

TEST_P(LogFollowFile, AStoreNotLoadedFromAFileNeedsAFullLoad) {
  LoadLogText(store_, text_.substr(0, text_.size() / 2));
  EXPECT_EQ(Follow().What, FollowUpdate::Kind::NeedsFullLoad);
}

INSTANTIATE_TEST_SUITE_P(HeldOrIndexed, LogFollowFile, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& held) {
                           return held.param ? "Indexed" : "InMemory";
                         });

}  // namespace
