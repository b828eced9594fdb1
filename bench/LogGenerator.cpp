#include "LogGenerator.h"

#include <algorithm>
#include <string_view>

#include "LogFormat.h"
#include "RunMessages.h"
#include "ScriptText.h"

namespace {

using namespace LabCatalogue;
using namespace LogFormat;

// The header lines as the control software writes them. Their lengths put each field exactly
// where the viewer's column rules cut it.
constexpr std::string_view kLoadingPrefix = " \"";
constexpr std::string_view kLoadingSuffix = "\".";
constexpr std::string_view kStartedLabel = "Started: ";
constexpr std::string_view kTypeSeparator = ": ";
constexpr std::string_view kFileNameLabel = "File name of script:";
static_assert(kLoadingScript.size() + kLoadingPrefix.size() + 1 == kScriptStart);
static_assert(kLoadingSuffix.size() == kScriptCountOffset - kScriptStart + 1);
static_assert(kStartedLabel.size() + 1 == kDateTimeStart);
static_assert(kScriptType.size() + kTypeSeparator.size() + 1 == kScriptTypeStart);
static_assert(kFileNameLabel.size() + 2 == kFilenameStart);
static_assert(kFileNameLabel.size() <= kShortFilenameLine);

bool IsNetworkPath(std::string_view path) {
  return path.starts_with("\\\\");
}

}  // namespace

LogGenerator::LogGenerator(LogTextWriter& out, uint64_t seed) : out_(out), random_(seed) {
  WriteFileHeader();
}

void LogGenerator::WriteUntilSize(uint64_t bytes) {
  while (out_.Size() < bytes) {
    WriteEntry(random_.Percent(5) ? 0 : random_.Between(1, 6), {50, 1500});
  }
}

void LogGenerator::WriteShortRuns(int64_t runs) {
  while (runs_ < runs) {
    WriteEntry(static_cast<int>(std::min<int64_t>(random_.Between(1, 6), runs - runs_)), {2, 6});
  }
}

void LogGenerator::WriteOneRun(int messages) {
  WriteEntry(1, {messages, messages});
}

void LogGenerator::WriteFileHeader() {
  out_.Line("Vantrel Control Software 4.2.1 - Message Log");
  out_.Line("Instrument: VX-2040  Serial: 20417  Site: Lab 2.14");
  out_.Text("Log opened: ");
  clock_.WriteDateTime(out_);
  out_.EndLine();
  out_.EndLine();
}

void LogGenerator::WriteEntry(int runs, RunLength length) {
  const Script& script = random_.Pick(kScripts);
  out_.Line(kEntryStart);
  WriteScriptText(out_, random_, script);
  out_.Line(kLogStart);
  NextMessage().Text("Script \"").Text(script.name).Line("\" checked: 0 errors, 0 warnings.");
  for (int run = 1; run <= runs; ++run) {
    WriteRun(script, random_.Between(length.fewest, length.most), run == runs);
  }
  out_.Line(kNextEntry);
  out_.EndLine();
  ++entries_;
}

void LogGenerator::WriteRun(const Script& script, int messages, bool lastOfEntry) {
  WriteRunHeader(script);
  for (int step = 1; step <= messages; ++step) {
    WriteRunMessage(NextMessage(), random_, {step, messages});
  }
  WriteRunEnd(lastOfEntry);
  ++runs_;
}

void LogGenerator::WriteRunHeader(const Script& script) {
  out_.Text(kLoadingScript).Text(kLoadingPrefix).Text(script.name).Line(kLoadingSuffix);
  out_.Text("User: ").Line(random_.Pick(kOperators));
  clock_.AdvanceToNextSecond(random_.Between(5, 900));
  out_.Text(kStartedLabel);
  clock_.WriteDateTime(out_);
  out_.EndLine();
  if (random_.Percent(10)) out_.Line(random_.Pick(kHeaderWarnings));
  out_.Text(kScriptType).Text(kTypeSeparator).Line(script.type);
  // A network path is too long for the label's line, so the software logs it on the next one.
  if (IsNetworkPath(script.path)) {
    out_.Line(kFileNameLabel);
    out_.Line(script.path);
  } else {
    out_.Text(kFileNameLabel).Text(" ").Line(script.path);
  }
}

void LogGenerator::WriteRunEnd(bool lastOfEntry) {
  // When the instrument drops off, no end line is written and the entry's end closes the run.
  if (lastOfEntry && random_.Percent(5)) {
    NextMessage().Line("ERROR: connection to instrument VX-2040 lost (timeout after 5000 ms).");
    return;
  }
  if (random_.Percent(10)) {
    NextMessage().Line("Run paused; the operator chose \"Stop\".");
    out_.Line(kRunStopped);
  } else {
    out_.Line(kRunFinished);
  }
  if (random_.Percent(50)) {
    NextMessage().Text("Tips used: ").Number(random_.Between(1, 96)).Text(", tips left: ");
    out_.Number(random_.Between(0, 96)).Line(".");
  }
}

LogTextWriter& LogGenerator::NextMessage() {
  clock_.AdvanceMilliseconds(random_.Between(5, 4000));
  return clock_.StartMessage(out_);
}
