#include "LogParser.h"

#include <array>

#include "LineScanner.h"
#include "LogFormat.h"
#include "LogStore.h"

namespace {

using namespace LogFormat;

// The line the parser stands on. Past the last line of the file it holds no line.
class Cursor {
 public:
  Cursor() : Cursor(nullptr, nullptr, {}) {}
  // `withoutLineEnd` holds no CR or LF.
  Cursor(const char* begin, const char* end, ByteStretch withoutLineEnd)
      : scanner_(begin, end, withoutLineEnd) {
    Advance();
  }

  bool AtEnd() const { return atEnd_; }
  std::string_view Line() const { return line_; }
  const char* LineStart() const { return start_; }
  // Where the line after this one starts: the end of this line's line end.
  const char* LineNext() const { return scanner_.Position(); }

  void Advance() {
    start_ = scanner_.Position();
    atEnd_ = scanner_.AtEnd();
    line_ = atEnd_ ? std::string_view() : scanner_.Next();
  }

 private:
  LineScanner scanner_;
  const char* start_ = nullptr;
  bool atEnd_ = true;
  std::string_view line_;
};

// The loading line of a run and the six lines after it, read by position. A line beyond the end
// of the file reads as empty: a log that is still being written often ends inside a header, and its
// earlier runs and the fields that are there must still show.
class HeaderLines {
 public:
  static constexpr size_t kCount = 7;

  explicit HeaderLines(const Cursor& loadingLine) {
    at_[0] = loadingLine;
    for (size_t k = 1; k < kCount; ++k) {
      at_[k] = at_[k - 1];
      if (!at_[k].AtEnd()) at_[k].Advance();
    }
  }
  bool Exists(size_t k) const { return !at_[k].AtEnd(); }
  std::string_view Line(size_t k) const { return at_[k].Line(); }
  const Cursor& At(size_t k) const { return at_[k]; }

 private:
  std::array<Cursor, kCount> at_;
};

bool StartsWith(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}
bool Contains(std::string_view line, std::string_view part) {
  return line.find(part) != std::string_view::npos;
}
bool IsRunEnd(std::string_view line) {
  return line == kRunFinished || line == kRunStopped;
}

// Where the line starts whose content ends at `contentEnd`; `known` holds no line end.
const char* StartOfLineEndingAt(const char* begin, const char* contentEnd, ByteStretch known) {
  const char* start = contentEnd;
  while (start != begin && start[-1] != '\n' && start[-1] != '\r') {
    start = start == known.To && known.From < known.To ? known.From : start - 1;
  }
  return start;
}

// The content of the last line when appended bytes could still change it (it has no line end,
// or only a CR that an LF may join); empty at `end` otherwise.
ByteStretch OpenLine(const char* begin, const char* end, ByteStretch known) {
  if (end == begin || end[-1] == '\n') return {end, end};
  const char* contentEnd = end[-1] == '\r' ? end - 1 : end;
  return {StartOfLineEndingAt(begin, contentEnd, known), contentEnd};
}

// `line` (the start of a line) moved back `margin` whole lines.
const char* LinesBefore(const char* begin, const char* line, size_t margin, ByteStretch known) {
  for (size_t k = 0; k < margin && line != begin; ++k) {
    // The line before ends just before `line`, with CR LF, a lone CR or a lone LF.
    const char* contentEnd = line - 1;
    if (*contentEnd == '\n' && contentEnd != begin && contentEnd[-1] == '\r') --contentEnd;
    line = StartOfLineEndingAt(begin, contentEnd, known);
  }
  return line;
}

// The open line an earlier parse of the store found, where it lies within [text, end).
ByteStretch KnownOpenLine(const LogStore& store, const char* end) {
  const ParseCheckpoint& point = store.Checkpoint.Parse;
  const uint64_t start = store.Text.Start();
  const char* text = store.Text.Data();
  if (point.OpenLineFrom < start || point.OpenLineTo <= point.OpenLineFrom ||
      point.OpenLineTo - start > static_cast<uint64_t>(end - text)) {
    return {};
  }
  return {text + (point.OpenLineFrom - start), text + (point.OpenLineTo - start)};
}

class LogParser {
 public:
  using State = ParseState;

  // A parse of the store's text from `line` (the start of a line) on, in `state`, as if the text
  // ended at `end`.
  LogParser(LogStore& store, State state, const char* line, const char* end)
      : LogParser(store, state, line, end, KnownOpenLine(store, end)) {}

  // Where in the file the byte at `at` of the store's text stands.
  uint64_t FileOffset(const char* at) const {
    return store_.Text.Start() + static_cast<uint64_t>(at - store_.Text.Data());
  }

  void Parse() {
    while (state_ != State::Stopped) {
      // Every step before this one read only lines that appended bytes cannot change, since no
      // step reads further ahead than a run's header.
      if (!checkpointTaken_ && line_.LineStart() >= unsettled_) TakeCheckpoint();
      state_ = Step(state_);
    }
  }

 private:
  // `known`: the open line an earlier parse found, which holds no line end.
  LogParser(LogStore& store, State state, const char* line, const char* end, ByteStretch known)
      : store_(store),
        state_(state),
        openLine_(OpenLine(store.Text.Data(), end, known)),
        line_(line, end, openLine_),
        unsettled_(LinesBefore(store.Text.Data(), openLine_.From, HeaderLines::kCount, known)) {
    store_.Checkpoint.Parse.OpenLineFrom = FileOffset(openLine_.From);
    store_.Checkpoint.Parse.OpenLineTo = FileOffset(openLine_.To);
  }

  // Steps change only the last script, run log and run and append new ones, which is what the
  // checkpoint keeps; a step that changes more must have it kept there too.
  void TakeCheckpoint() {
    checkpointTaken_ = true;
    ParseCheckpoint& point = store_.Checkpoint.Parse;
    point.State = state_;
    point.Offset = FileOffset(line_.LineStart());
    point.ScriptParts = store_.ScriptParts.size();
    point.RunLogs = store_.RunLogs.size();
    point.Runs = store_.Runs.size();
    point.LastScript = store_.ScriptParts.empty() ? LineSpan() : store_.ScriptParts.back();
    point.LastLog = store_.RunLogs.empty() ? LineSpan() : store_.RunLogs.back();
    point.LastRun = store_.Runs.empty() ? RunsInfo() : store_.Runs.back();
    point.LastOutcome = store_.Outcomes.empty() ? RunOutcome::Open : store_.Outcomes.back();
  }

  State Step(State state) {
    switch (state) {
      case State::SeekingEntry:
        return SeekingEntry();
      case State::ScriptText:
        return ScriptText();
      case State::BetweenRuns:
        return BetweenRuns();
      case State::RunHeader:
        return RunHeader();
      case State::RunLog:
        return RunLog();
      case State::Stopped:
        break;
    }
    return State::Stopped;
  }

  // Moves to the next line; past the last line the parse stops, otherwise it goes on in `next`.
  State AdvanceOr(State next) {
    line_.Advance();
    return line_.AtEnd() ? State::Stopped : next;
  }

  State SeekingEntry() {
    if (line_.AtEnd()) return State::Stopped;
    if (line_.Line() == kEntryStart) {
      store_.ScriptParts.push_back(LineSpan::At(FileOffset(line_.LineNext())));
      return AdvanceOr(State::ScriptText);
    }
    line_.Advance();
    return State::SeekingEntry;
  }

  State ScriptText() {
    if (line_.Line() == kLogStart) return State::BetweenRuns;
    store_.ScriptParts.back().AppendLineEndingAt(FileOffset(line_.LineNext()));
    return AdvanceOr(State::ScriptText);
  }

  State BetweenRuns() {
    if (line_.Line() == kNextEntry) {
      line_.Advance();
      return State::SeekingEntry;
    }
    line_.Advance();
    if (line_.AtEnd()) return State::Stopped;
    return StartsWith(line_.Line(), kLoadingScript) ? State::RunHeader : State::BetweenRuns;
  }

  State RunHeader() {
    const HeaderLines header(line_);
    if (!header.Exists(1)) return State::Stopped;  // a loading line as the last line is no run

    size_t typeLine = 0;  // 0: the run has no type line
    size_t logStart = 3;
    if (Contains(header.Line(3), kScriptType)) {
      typeLine = 3;
      logStart = 2;
    } else if (Contains(header.Line(4), kScriptType)) {
      typeLine = 4;
    }

    store_.RunLogs.push_back(LineSpan::At(FileOffset(header.At(logStart).LineStart())));
    RunsInfo& run = store_.Runs.emplace_back();
    store_.Outcomes.push_back(RunOutcome::Open);
    run.DateTime = Cut(header.Line(2), kDateTimeStart, kDateTimeCountOffset);
    run.Script = Cut(header.Line(0), kScriptStart, kScriptCountOffset);
    run.ScriptIndex = static_cast<int32_t>(store_.ScriptParts.size() - 1);
    run.LogIndex = static_cast<int32_t>(store_.RunLogs.size() - 1);
    if (typeLine != 0) {
      run.ScriptType = Cut(header.Line(typeLine), kScriptTypeStart, kScriptTypeCountOffset);
      const std::string_view filenameLine = header.Line(typeLine + 1);
      run.ScriptFilename = filenameLine.size() > kShortFilenameLine
                               ? Cut(filenameLine, kFilenameStart, kFilenameCountOffset)
                               : header.Line(typeLine + 2);
    }
    line_ = header.At(logStart);
    return State::RunLog;
  }

  State RunLog() {
    if (line_.AtEnd()) return State::Stopped;
    if (IsRunEnd(line_.Line())) {
      store_.Outcomes.back() =
          line_.Line() == kRunFinished ? RunOutcome::Finished : RunOutcome::Stopped;
      return State::BetweenRuns;
    }
    store_.RunLogs.back().AppendLineEndingAt(FileOffset(line_.LineNext()));
    if (line_.Line() == kNextEntry) {
      line_.Advance();
      return State::SeekingEntry;
    }
    return AdvanceOr(State::RunLog);
  }

  LogStore& store_;
  State state_;
  ByteStretch openLine_;   // the last line, which appended bytes may still change
  Cursor line_;            // the line being parsed
  const char* unsettled_;  // a step at a line from here on may read what appended bytes change
  bool checkpointTaken_ = false;
};

// Puts the store back as it stood at `point`.
void RestoreCheckpoint(LogStore& store, const ParseCheckpoint& point) {
  store.ScriptParts.resize(point.ScriptParts);
  store.RunLogs.resize(point.RunLogs);
  store.Runs.resize(point.Runs);
  store.Outcomes.resize(point.Runs);
  if (!store.ScriptParts.empty()) store.ScriptParts.back() = point.LastScript;
  if (!store.RunLogs.empty()) store.RunLogs.back() = point.LastLog;
  if (!store.Runs.empty()) store.Runs.back() = point.LastRun;
  if (!store.Outcomes.empty()) store.Outcomes.back() = point.LastOutcome;
}

}  // namespace

void ParseLog(LogStore& store) {
  store.Checkpoint.Parse = ParseCheckpoint();
  ResumeParse(store);
}

void ResumeParse(LogStore& store) {
  ResumeParseUpTo(store, store.Text.End());
}

void ResumeParseUpTo(LogStore& store, uint64_t end) {
  const ParseCheckpoint point = store.Checkpoint.Parse;
  RestoreCheckpoint(store, point);
  const char* text = store.Text.Data();
  const uint64_t start = store.Text.Start();
  LogParser(store, point.State, text + (point.Offset - start), text + (end - start)).Parse();
}
