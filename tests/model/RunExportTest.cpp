// A run saved to send on: its header, then every byte of its log lines and its script text as
// the log has them, or all of it decoded to UTF-8; the same from an indexed store and whatever
// the size of the reads.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>

#include "GeneratedLogs.h"
#include "LogFileFixture.h"
#include "RunExport.h"
#include "StoreLimit.h"

namespace {

std::string Saved(const LogStore& store, size_t row, std::string_view logFile,
                  SaveEncoding encoding, size_t readBytes = SpanReader::kReadBytes) {
  RunExport run(store, row, logFile, encoding, readBytes);
  TextLease lease;
  std::string text;
  EXPECT_TRUE(run.WriteTo(
      [&](std::string_view bytes) {
        text += bytes;
        return true;
      },
      lease));
  return text;
}

// One run whose name, date and log line hold "é", in the log's bytes `e`; lines end in
// `lineEnd`, and the last one has none.
std::string OneRun(const std::string& e, const std::string& lineEnd) {
  return "------ NextPart = Script" + lineEnd + "script caf" + e + lineEnd +
         "------ NextPart = LogMessage" + lineEnd + "==>loading script \"Caf" + e + " test\"." +
         lineEnd + "-" + lineEnd + "Started: 2026-12-01 10:0" + e + lineEnd +
         "==>script type: Method" + lineEnd + "File name of script: C:\\s0.vsc" + lineEnd +
         "valve " + e + " open";
}

struct SavedCase {
  const char* name;
  std::string log;
  SaveEncoding encoding;
  std::string expected;
};

std::string Header(const std::string& logFile, const std::string& e, const std::string& encoding) {
  return "Log file:        " + logFile +
         "\r\n"
         "Run:             1\r\n"
         "Date/Time:       2026-12-01 10:0" +
         e +
         "\r\n"
         "Script:          Caf" +
         e +
         " test\r\n"
         "Script Type:     Method\r\n"
         "Script Filename: C:\\s0.vsc\r\n"
         "Outcome:         open\r\n"
         "Encoding:        " +
         encoding + "\r\n\r\n";
}

// The log's lines end as the log ends them; its last line, which has none, gets CR LF.
std::string Body(const std::string& e, const std::string& lineEnd) {
  return "--- Log, 4 lines ---\r\nStarted: 2026-12-01 10:0" + e + lineEnd +
         "==>script type: Method" + lineEnd + "File name of script: C:\\s0.vsc" + lineEnd +
         "valve " + e + " open\r\n--- Script, 1 line ---\r\nscript caf" + e + lineEnd;
}

// The log's name is the user's, in UTF-8: "café ☃😀.log".
const std::string kLogFile = "C:\\logs\\caf\xc3\xa9 \xe2\x98\x83\xf0\x9f\x98\x80.log";

void PrintTo(const SavedCase& saved, std::ostream* out) {
  *out << saved.name;
}

class SavedRun : public testing::TestWithParam<SavedCase> {};

TEST_P(SavedRun, IsTheHeaderAndTheBytesOfTheRun) {
  const SavedCase& saved = GetParam();
  LogStore store;
  LoadLogText(store, saved.log);
  EXPECT_EQ(Saved(store, 0, kLogFile, saved.encoding), saved.expected);
}

const std::string kE1252 = "\xe9";
const std::string kEUtf8 = "\xc3\xa9";

INSTANTIATE_TEST_SUITE_P(
    Table, SavedRun,
    testing::Values(
        // What Windows-1252 has no byte for is written so that the reader still sees it.
        SavedCase{"Windows1252KeptWithMarkedName", OneRun(kE1252, "\r\n"), SaveEncoding::LogOwn,
                  Header("C:\\logs\\caf\xe9 <U+2603><U+1F600>.log", kE1252, "windows-1252") +
                      Body(kE1252, "\r\n")},
        SavedCase{"Windows1252ToUtf8", OneRun(kE1252, "\n"), SaveEncoding::Utf8,
                  Header(kLogFile, kEUtf8, "utf-8") + Body(kEUtf8, "\n")},
        SavedCase{"Utf8Kept", OneRun(kEUtf8, "\r"), SaveEncoding::LogOwn,
                  Header(kLogFile, kEUtf8, "utf-8") + Body(kEUtf8, "\r")},
        SavedCase{"Utf8ToUtf8", OneRun(kEUtf8, "\r\n"), SaveEncoding::Utf8,
                  Header(kLogFile, kEUtf8, "utf-8") + Body(kEUtf8, "\r\n")}),
    [](const testing::TestParamInfo<SavedCase>& info) { return info.param.name; });

// The log section of a run saved in the log's own encoding, as the store's bytes give it.
std::string ExpectedBody(const LogStore& store, size_t row) {
  const auto part = [&](const char* name, const LineSpan& span) {
    std::string text = "--- " + std::string(name) + ", " + std::to_string(span.Count) +
                       (span.Count == 1 ? " line" : " lines") + " ---\r\n";
    text += SpanReader(store).Bytes(span);
    if (!text.ends_with('\n') && !text.ends_with('\r')) text += "\r\n";
    return text;
  };
  const RunsInfo& run = store.RunOfRow(row);
  return part("Log", store.LogOf(run)) + part("Script", store.ScriptOf(run));
}

class SavedRuns : public LogFileTest {
 protected:
  void TearDown() override {
    SetInMemoryLimit(std::nullopt);
    LogFileTest::TearDown();
  }
};

// In the log's own encoding every byte of the run stays as it is; in UTF-8 the text is that
// decoded, even where reads of a few bytes cut a character in two.
TEST_F(SavedRuns, AgreeInAnyReadSizeFromEitherStore) {
  const Variant variants[] = {Variant::MixedLineEnds, Variant::SharedStartTimes, Variant::Utf8Late,
                              Variant::Windows1252InUtf8};
  size_t rows = 0;
  for (uint64_t seed = 1; seed <= 2; ++seed) {
    std::mt19937_64 random(seed);
    for (const Variant variant : variants) {
      const std::string varied = Varied(Generated(seed), variant, random);
      const std::string text = random() % 2 == 0 ? Decode(varied, Encoding::Windows1252) : varied;
      const EncodingChoice choice = random() % 3 == 0 ? EncodingChoice::Utf8 : EncodingChoice::Auto;
      LogStore held;
      LoadLogText(held, text, choice);
      SetInMemoryLimit(0);
      LogStore indexed;
      LoadLogFile(indexed, Write("saved.log", text), choice);
      SetInMemoryLimit(std::nullopt);
      ASSERT_TRUE(indexed.Indexed());
      for (size_t row = 0; row < held.RowToRun.size(); ++row, ++rows) {
        const std::string name = "seed " + std::to_string(seed) + " variant " +
                                 std::to_string(static_cast<int>(variant)) + " row " +
                                 std::to_string(row);
        const size_t readBytes = 1 + random() % 13;
        // Each read of the file is a system call, which costs much under Wine: reads of a few
        // bytes from the file are kept to one row in eight; longer ones still cut characters.
        const size_t fileReadBytes = row % 8 == 0 ? readBytes : 64 + random() % 512;
        const std::string own = Saved(held, row, "a.log", SaveEncoding::LogOwn);
        ASSERT_TRUE(own.ends_with(ExpectedBody(held, row))) << name;
        ASSERT_EQ(Saved(indexed, row, "a.log", SaveEncoding::LogOwn, fileReadBytes), own) << name;
        // Only the line that names the encoding written differs.
        std::string utf8 = Decode(own, held.TextEncoding);
        const std::string ownEncoding =
            "Encoding:        " + std::string(EncodingName(held.TextEncoding));
        utf8.replace(utf8.find(ownEncoding), ownEncoding.size(), "Encoding:        utf-8");
        ASSERT_EQ(Saved(held, row, "a.log", SaveEncoding::Utf8, readBytes), utf8) << name;
        ASSERT_EQ(Saved(indexed, row, "a.log", SaveEncoding::Utf8, fileReadBytes), utf8) << name;
      }
    }
  }
  EXPECT_GE(rows, 100u);
}

// A store in memory is read no more once its text is taken back; an indexed one reads its file.
TEST_F(SavedRuns, StopWhenTheTextIsTakenBackOrTheWriteFails) {
  const std::string text = Generated(4);
  for (const bool indexed : {false, true}) {
    SetInMemoryLimit(indexed ? 0 : kDefaultInMemory);
    LogStore store;
    LoadLogFile(store, Write("stop.log", text));
    ASSERT_EQ(store.Indexed(), indexed);
    RunExport run(store, 0, "stop.log", SaveEncoding::LogOwn, 16);
    EXPECT_EQ(run.ReadsStore(), !indexed);
    TextLease lease;
    lease.TakeBack();
    std::string written;
    const bool whole = run.WriteTo(
        [&](std::string_view bytes) {
          written += bytes;
          return true;
        },
        lease);
    EXPECT_EQ(whole, indexed);
    EXPECT_EQ(written.ends_with(ExpectedBody(store, 0)), indexed);

    size_t writes = 0;
    RunExport failing(store, 0, "stop.log", SaveEncoding::LogOwn, 16);
    TextLease kept;
    EXPECT_FALSE(failing.WriteTo([&](std::string_view) { return ++writes < 3; }, kept));
    EXPECT_EQ(writes, 3u);
  }
}

struct NameCase {
  const char* script;
  const char* scriptFilename;
  const char* expected;
};

class SuggestedName : public testing::TestWithParam<NameCase> {};

TEST_P(SuggestedName, ComesFromTheScriptAndTheRunNumber) {
  const NameCase& name = GetParam();
  LogStore store;
  LoadLogText(store, "x");
  store.Runs.resize(3);
  store.RowToRun = {0, 1, 2};
  store.Runs[2].Script = name.script;
  store.Runs[2].ScriptFilename = name.scriptFilename;
  EXPECT_EQ(SuggestedRunFileName(store, 2), name.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SuggestedName,
    testing::Values(NameCase{"Prime Pump A", "C:\\s.vsc", "Prime Pump A - run 3.txt"},
                    NameCase{"a/b\\c:d*e?\"f\"<g>|h\t", "", "a_b_c_d_e__f__g__h_ - run 3.txt"},
                    NameCase{" Dots... ", "", "Dots - run 3.txt"},
                    NameCase{"", "C:\\Scripts\\prime_a.vsc", "prime_a - run 3.txt"},
                    NameCase{"Caf\xe9", "", "Caf\xc3\xa9 - run 3.txt"},
                    NameCase{"...", "", "run 3.txt"}, NameCase{"", "", "run 3.txt"}));

}  // namespace
