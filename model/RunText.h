#pragma once

#include <optional>
#include <string_view>

#include "LineList.h"
#include "LineSpan.h"
#include "RunsInfo.h"
#include "TextBuffer.h"

class LogFileSource;
struct LogStore;

// The script and log lines of the run a window shows, ready to read: views of the store's text,
// or, for an indexed store, read from the file into a buffer of their own (the script's lines,
// then the log's). Either way the log's lines can grow in place as the run goes on, so a pane
// that shows them keeps its place.
class RunText {
 public:
  RunText() = default;
  // Throws FileChangedError when an indexed store's file is not the store's any more.
  RunText(const LogStore& store, const RunsInfo& run);
  // The lines at `script` and `log` in the file of an indexed store, read through `source`, so
  // that another thread can read them while the store changes. Throws as LogFileSource::Read.
  RunText(const LogFileSource& source, const LineSpan& script, const LineSpan& log);

  const LineList& Script() const { return script_; }
  const LineList& Log() const { return log_; }

  // Takes in what the log of `run` has gained in `store` since: true when these are still the
  // lines of the run, now as the store has them. False, with nothing changed, when the store's
  // lines of `run` are other lines than these, the store holds its text in another way than when
  // these were read, or the growth does not fit the room left (read the run anew then). Throws
  // as the constructor does.
  bool Extend(const LogStore& store, const RunsInfo& run);
  // Where the log of `run` lies in `store` now, when these are its lines as they were before and
  // Extend can take in what it has gained; nothing otherwise.
  std::optional<LineSpan> GrownLog(const LogStore& store, const RunsInfo& run) const;
  // Takes in `added`, the bytes of the file from the end of these log lines to the end of `log`,
  // which GrownLog gave; false, with nothing changed, when they do not fit the room left.
  bool TakeIn(const LineSpan& log, std::string_view added);
  const LineSpan& LogSpan() const { return logSpan_; }

 private:
  void ViewStoreText(const LogStore& store);
  void ViewOwnBytes();

  LineSpan scriptSpan_;
  LineSpan logSpan_;
  bool fromFile_ = false;  // read from the file of an indexed store into `bytes_`
  TextBuffer bytes_;
  LineList script_;
  LineList log_;
};
