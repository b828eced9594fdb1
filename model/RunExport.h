#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "LineSpan.h"
#include "SpanReader.h"
#include "TextEncoding.h"
#include "TextLease.h"

struct LogStore;

// What a saved run is written in: the log's own encoding keeps every byte of its lines as the
// log has them; UTF-8 decodes them, for a reader that knows no other.
enum class SaveEncoding { LogOwn, Utf8 };

// The run of one table row as a text of its own, to send to somebody: a header that names the
// log file, the run's number, date and time, script and outcome; then the run's log lines; then
// the script text of its entry. Lines end as the log ends them; the lines of our own, and a last
// line of the log that has no line end, end in CR LF, as text files on Windows do. Taken from the
// store on the thread that owns it and written on any, a piece at a time, so that a run of
// gigabytes costs a few blocks of memory.
class RunExport {
 public:
  // Writes the next bytes of the text; false stops the writing.
  using Write = std::function<bool(std::string_view bytes)>;

  // `logFile`: the log's name as the user knows it, in UTF-8. `readBytes`: tests read a few
  // bytes at a time. Throws std::out_of_range for a row that the table lacks.
  RunExport(const LogStore& store, size_t row, std::string_view logFile, SaveEncoding encoding,
            size_t readBytes = SpanReader::kReadBytes);

  // Hands the whole text to `write`, a piece at a time, none much larger than the read size;
  // false when `write` stopped it. A store held in memory is read inside `lease`: false too,
  // with the text cut short, once the lease has been taken back. The file of an indexed store
  // is read without it, and may throw as SpanReader does.
  bool WriteTo(const Write& write, TextLease& lease);
  // The text comes from the store's memory, not from a file, so the lease matters.
  bool ReadsStore() const { return readsStore_; }
  Encoding WrittenIn() const { return decode_ ? Encoding::Utf8 : from_; }

 private:
  std::string Header(const LogStore& store, size_t row, std::string_view logFile) const;
  // A text of the log, in the encoding written.
  std::string LogText(std::string_view bytes) const;
  bool WriteLines(const LineSpan& span, const Write& write, TextLease& lease);
  // Makes `piece_` the bytes to write for `block`, the next bytes of a span; `last` for its
  // last block.
  void Convert(std::string_view block, bool last);

  std::string header_;
  std::string scriptHeading_;
  LineSpan log_;
  LineSpan script_;
  SpanReader reader_;
  Encoding from_;
  bool decode_;
  bool readsStore_;
  std::string piece_;
  std::string carried_;  // the start of a UTF-8 sequence that the next block completes
  char lastByte_ = '\n';
};

// A name for the file of the run of table row `row`, in UTF-8: the run's script and number, as
// "Pump test - run 4.txt", with what a file name cannot hold on Windows replaced by "_".
std::string SuggestedRunFileName(const LogStore& store, size_t row);
