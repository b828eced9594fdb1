#include "HeadlessModes.h"

#include <QCoreApplication>
#include <QSettings>
#include <filesystem>
#include <iostream>

#include "AlertLineMatcher.h"
#include "BaselineRow.h"
#include "FileReadError.h"
#include "FolderSearch.h"
#include "HighlightRulesJson.h"
#include "LogFileError.h"
#include "LogStore.h"
#include "RegexMatcher.h"
#include "RunComparison.h"
#include "RunSearch.h"
#include "StoreDump.h"
#include "UnifiedDiff.h"
#include "Version.h"

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

RunsTableOptions TableOptions(const CommandLine& command, const LogStore& store,
                              const std::optional<THighlightRules>& rules) {
  RunsTableOptions options;
  options.AllColumns = command.allColumns;
  if (rules) {
    const auto highlighter = std::make_shared<const LineHighlighter>(*rules);
    options.Alerts = RowMatchCounts(store, *AlertMatchersFor(highlighter).For(store.TextEncoding));
  }
  if (command.find) {
    options.Matches =
        RowMatchCounts(store, *MatchersFor(command.FindPattern()).For(store.TextEncoding));
  }
  return options;
}

void UseBinaryOutput() {
#ifdef Q_OS_WIN
  // The table and the JSON are the same bytes on every system, so scripts that read them need
  // not care which one wrote them.
  _setmode(_fileno(stdout), _O_BINARY);
#else
  // Not on Windows: there std::cout writes through a buffer of its own (ConsoleOutput.h), which
  // this would replace.
  std::ios::sync_with_stdio(false);
#endif
}

FolderSearchRequest SearchRequest(const CommandLine& command) {
  FolderSearchRequest request;
  request.Folder = std::filesystem::path(command.folder.toStdU16String());
  request.Recursive = command.recursive;
  request.Pattern = command.pattern.toStdString();
  request.Text = command.find.value_or(QString()).toStdString();
  request.MatchCase = command.matchCase;
  request.Matchers = MatchersFor(command.FindPattern());
  request.Encoding = command.encoding;
  return request;
}

void AppendFileMatches(std::string& text, const FileMatches& found) {
  const std::string file = DisplayName(found.File);
  for (const RunMatch& run : found.Runs) {
    AppendTableField(text, file);
    text += '\t' + std::to_string(run.Row + 1) + '\t';
    AppendTableField(text, run.DateTime);
    text += '\t';
    AppendTableField(text, run.Script);
    text += '\t';
    text += OutcomeName(run.Outcome);
    text += '\t' + std::to_string(run.Matches) + '\n';
  }
}

// Loads the file into `store`; false, with the reason on stderr, when it cannot be read.
bool LoadForPrinting(LogStore& store, const CommandLine& command) {
  const std::filesystem::path path(command.file.toStdU16String());
  try {
    LoadLogFile(store, path, command.encoding);
  } catch (const LogFileError& error) {
    std::cerr << error.what() << '\n';
    return false;
  } catch (const std::bad_alloc&) {
    std::cerr << NoMemoryMessage(path) << '\n';
    return false;
  }
  return true;
}

// The row to compare row `row` (from 0) with, from 0; nothing, with the reason on stderr, when
// there is none.
std::optional<size_t> BaselineOf(const LogStore& store, const CommandLine& command, size_t row) {
  if (command.baselineRow) {
    const auto baseline = static_cast<size_t>(*command.baselineRow - 1);
    if (baseline < store.RowToRun.size()) return baseline;
    std::cerr << "There is no row " << *command.baselineRow << ": the table has "
              << store.RowToRun.size() << " rows.\n";
    return std::nullopt;
  }
  const std::optional<size_t> baseline = PreviousFinishedRow(store, row);
  if (!baseline) {
    std::cerr << "No row above row " << row + 1
              << " holds a finished run of the same script to compare it with.\n";
  }
  return baseline;
}

// The masking rules the viewer keeps in its settings.
MaskRules ViewerMaskRules() {
  QCoreApplication::setOrganizationName(QStringLiteral(MLD_ORGANIZATION_NAME));
  QCoreApplication::setApplicationName(QStringLiteral(MLD_APPLICATION_NAME));
  return MaskRules::Saved();
}

UnifiedSides SidesOf(const RunComparison& comparison) {
  const Encoding encoding = comparison.TextEncoding;
  const auto printed = [encoding](const RunLines& lines) {
    return [&lines, encoding](size_t line) { return Decode(lines.Line(line), encoding); };
  };
  return {comparison.Baseline.Title.toStdString(), comparison.Run.Title.toStdString(),
          comparison.Baseline.Log.Count(),         comparison.Run.Log.Count(),
          printed(comparison.Baseline.Log),        printed(comparison.Run.Log)};
}

}  // namespace

int RunCompare(const CommandLine& command) {
  constexpr int kCannotCompare = 2;
  LogStore store;
  if (!LoadForPrinting(store, command)) return kCannotCompare;
  const auto row = static_cast<size_t>(command.row - 1);
  if (row >= store.RowToRun.size()) {
    std::cerr << "There is no row " << command.row << ": the table has " << store.RowToRun.size()
              << " rows.\n";
    return kCannotCompare;
  }
  const std::optional<size_t> baseline = BaselineOf(store, command, row);
  if (!baseline) return kCannotCompare;
  const std::atomic<bool> stop = false;
  std::optional<RunComparison> comparison;
  try {
    comparison = CompareRuns(ComparisonRequest::For(store, static_cast<int>(row),
                                                    static_cast<int>(*baseline), ViewerMaskRules()),
                             stop);
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return kCannotCompare;
  }
  UseBinaryOutput();
  if (!comparison->Log.Diff().Exact) {
    std::cerr << "The runs are too large or too different for the fewest differences: their "
                 "lines are aligned line by line.\n";
  }
  WriteUnifiedDiff(std::cout, comparison->Log.Diff(), SidesOf(*comparison));
  std::cout.flush();
  if (!std::cout) return kCannotCompare;
  return CountDifferences(comparison->Log.Diff()).Any() ? 1 : 0;
}

namespace {

// The rules of --highlight-rules, none without it; false, with the reason on stderr, when they
// cannot be read.
bool ReadRules(const CommandLine& command, std::optional<THighlightRules>& rules) {
  if (!command.highlightRules) return true;
  try {
    rules = ReadHighlightRulesFile(*command.highlightRules);
  } catch (const HighlightRulesError& error) {
    std::cerr << error.what() << '\n';
    return false;
  }
  return true;
}

}  // namespace

int RunHeadlessMode(const CommandLine& command) {
  std::optional<THighlightRules> rules;
  if (!ReadRules(command, rules)) return 1;
  LogStore store;
  if (!LoadForPrinting(store, command)) return 1;
  UseBinaryOutput();
  if (command.mode == CommandLine::Mode::Dump) {
    WriteStoreJson(std::cout, store);
  } else {
    WriteRunsTable(std::cout, store, TableOptions(command, store, rules));
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}

int RunFindInLogs(const CommandLine& command) {
  const FolderSearchRequest request = SearchRequest(command);
  std::vector<std::filesystem::path> files;
  try {
    files = FilesToSearch(request);
  } catch (const LogFileError& error) {
    std::cerr << error.what() << '\n';
    return 2;
  }
  UseBinaryOutput();
  std::cout << "File\tRun\tDate/Time\tScript\tOutcome\tMatches\n";
  bool matched = false;
  std::string text;
  // Each file's lines go out as soon as it is searched, so that a long search shows its way.
  for (const std::filesystem::path& file : files) {
    const FileMatches found = SearchLogFile(request, file);
    if (!found.Skipped.empty()) std::cerr << found.Skipped << '\n';
    matched = matched || !found.Runs.empty();
    text.clear();
    AppendFileMatches(text, found);
    std::cout << text << std::flush;
  }
  return matched ? 0 : 1;
}
