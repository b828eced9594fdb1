#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "LinePattern.h"
#include "TextEncoding.h"

// What the program was asked to do. Options count only when the first argument starts with
// "--"; otherwise every argument belongs to the one file name the viewer opens.
struct CommandLine {
  enum class Mode { Viewer, Dump, List, FindInLogs, Compare, SelectRun, Help, Version, WrongUsage };

  Mode mode = Mode::Viewer;
  QString file;  // the viewer's startup file, or the file of --dump, --list or --compare
  bool fileAfterDoubleDash = false;  // the viewer's file came after "--"
  bool follow = false;               // --follow: the viewer follows its file, for this window only
  EncodingChoice encoding = EncodingChoice::Auto;
  // --list: "Outcome" and "Lines" too, and only the rows whose runs log the text to find, with
  // "Matches" (and the letter case kept for --match-case).
  bool allColumns = false;
  std::optional<QString> find;  // also the text of --find-in-logs
  bool matchCase = false;
  bool regex = false;                     // --regex: the text to find is a regular expression
  std::optional<QString> highlightRules;  // --highlight-rules: the rules' file, for "Alerts"
  // --find-in-logs: the folder, its subfolders too, and the names of the files to search.
  QString folder;
  bool recursive = false;
  QString pattern = QStringLiteral("*.log");
  qint32 row = 0;                     // --select-run; --compare: the row to compare, from 1
  std::optional<qint32> baselineRow;  // --compare: the row to compare with, from 1
  std::optional<qint64> pid;          // --pid
  // --in-memory-limit: files larger than this are indexed, not held in memory.
  std::optional<uint64_t> inMemoryLimit;
  QString error;  // what is wrong, for WrongUsage

  // What --find or --find-in-logs looks for.
  TLinePattern FindPattern() const { return {find.value_or(QString()), regex, matchCase, false}; }
};

// `arguments` excludes the program name.
CommandLine ParseCommandLine(const QStringList& arguments);
QString UsageText();
QString VersionText();
