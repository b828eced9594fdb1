#pragma once

#include "LineList.h"
#include "LineSpan.h"
#include "RunsInfo.h"
#include "TextBuffer.h"

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

  const LineList& Script() const { return script_; }
  const LineList& Log() const { return log_; }

  // Takes in what the log of `run` has gained in `store` since: true when these are still the
  // lines of the run, now as the store has them. False, with nothing changed, when the store's
  // lines of `run` are other lines than these, the store holds its text in another way than when
  // these were read, or the growth does not fit the room left (read the run anew then). Throws
  // as the constructor does.
  bool Extend(const LogStore& store, const RunsInfo& run);

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
