#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "LogStore.h"
#include "SpanReader.h"
#include "StoreDump.h"

// Builds log text from lines, joined by `lineEnd` and ended by it.
inline std::string LogText(const std::vector<std::string>& lines,
                           const std::string& lineEnd = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + lineEnd;
  return text;
}

inline std::vector<std::string> Lines(const LineList& list) {
  std::vector<std::string> lines;
  for (std::string_view line : list) lines.emplace_back(line);
  return lines;
}

inline std::vector<std::string> Lines(const LogStore& store, const LineSpan& span) {
  return Lines(SpanReader(store).Lines(span));
}

inline std::vector<std::vector<std::string>> Lines(const LogStore& store,
                                                   const std::vector<LineSpan>& spans) {
  std::vector<std::vector<std::string>> all;
  SpanReader reader(store);
  for (const LineSpan& span : spans) all.push_back(Lines(reader.Lines(span)));
  return all;
}

// A run's record as one comparable value.
struct RunFields {
  std::string DateTime, Script, ScriptType, ScriptFilename;
  int ScriptIndex = 0, LogIndex = 0;
  bool operator==(const RunFields&) const = default;
};

inline std::vector<RunFields> Fields(const std::vector<RunsInfo>& runs) {
  std::vector<RunFields> fields;
  for (const RunsInfo& run : runs) {
    fields.push_back({run.DateTime, run.Script, run.ScriptType, run.ScriptFilename, run.ScriptIndex,
                      run.LogIndex});
  }
  return fields;
}

inline LogStore Parsed(const std::string& text) {
  LogStore store;
  LoadLogText(store, text);
  return store;
}

#include <ostream>
inline void PrintTo(const RunFields& run, std::ostream* out) {
  *out << "{\"" << run.DateTime << "\", \"" << run.Script << "\", \"" << run.ScriptType << "\", \""
       << run.ScriptFilename << "\", " << run.ScriptIndex << ", " << run.LogIndex << "}";
}

// What a store holds but the bytes of its lines, as text: each line list as where it lies in the
// file and how many lines it counts, the outcomes, the runs and the rows.
inline std::string Layout(const LogStore& store) {
  std::ostringstream out;
  const auto place = [&](const LineSpan& span) {
    out << span.Begin << '+' << span.Size() << '#' << span.Count << ' ';
  };
  out << "size " << store.Text.End() << "\nscripts ";
  for (const LineSpan& span : store.ScriptParts) place(span);
  out << "\nlogs ";
  for (const LineSpan& span : store.RunLogs) place(span);
  out << "\noutcomes ";
  for (const RunOutcome outcome : store.Outcomes) out << OutcomeName(outcome) << ' ';
  out << "\nruns ";
  for (const RunFields& run : Fields(store.Runs)) PrintTo(run, &out);
  out << "\nrows ";
  for (const int32_t run : store.RowToRun) out << run << ' ';
  out << '\n';
  return out.str();
}

// Everything a store holds, as text: its layout and the dump with every line, run and the
// encoding.
inline std::string Snapshot(const LogStore& store) {
  std::ostringstream out;
  out << Layout(store);
  WriteStoreJson(out, store);
  return out.str();
}
