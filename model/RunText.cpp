#include "RunText.h"

#include <string>

#include "LogFileSource.h"
#include "LogStore.h"

RunText::RunText(const LogStore& store, const RunsInfo& run)
    : scriptSpan_(store.ScriptOf(run)), logSpan_(store.LogOf(run)) {
  if (store.Indexed()) {
    *this = RunText(LogFileSource(store), scriptSpan_, logSpan_);
  } else {
    ViewStoreText(store);
  }
}

RunText::RunText(const LogFileSource& source, const LineSpan& script, const LineSpan& log)
    : scriptSpan_(script), logSpan_(log), fromFile_(true) {
  bytes_ = TextBuffer::Filled(scriptSpan_.Size() + logSpan_.Size(), [&](char* into) {
    source.Read(scriptSpan_.Begin, into, scriptSpan_.Size());
    source.Read(logSpan_.Begin, into + scriptSpan_.Size(), logSpan_.Size());
  });
  ViewOwnBytes();
}

std::optional<LineSpan> RunText::GrownLog(const LogStore& store, const RunsInfo& run) const {
  const LineSpan& log = store.LogOf(run);
  if (store.Indexed() != fromFile_ || store.ScriptOf(run) != scriptSpan_ ||
      log.Begin != logSpan_.Begin || log.End < logSpan_.End) {
    return std::nullopt;
  }
  return log;
}

bool RunText::Extend(const LogStore& store, const RunsInfo& run) {
  const std::optional<LineSpan> log = GrownLog(store, run);
  if (!log) return false;
  if (!fromFile_) {
    logSpan_ = *log;
    ViewStoreText(store);
    return true;
  }
  std::string added(log->End - logSpan_.End, '\0');
  LogFileSource(store).Read(logSpan_.End, added.data(), added.size());
  return TakeIn(*log, added);
}

bool RunText::TakeIn(const LineSpan& log, std::string_view added) {
  if (!bytes_.Stage(added)) return false;
  bytes_.TakeStaged();
  logSpan_ = log;
  ViewOwnBytes();
  return true;
}

void RunText::ViewStoreText(const LogStore& store) {
  script_ = store.LinesOf(scriptSpan_);
  log_ = store.LinesOf(logSpan_);
}

void RunText::ViewOwnBytes() {
  const char* bytes = bytes_.Data();
  const char* logStart = bytes + scriptSpan_.Size();
  script_ = LineList(bytes, logStart, scriptSpan_.Count);
  log_ = LineList(logStart, logStart + logSpan_.Size(), logSpan_.Count);
}
