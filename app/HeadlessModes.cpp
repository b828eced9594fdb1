#include "HeadlessModes.h"

#include <filesystem>
#include <iostream>

#include "FileReadError.h"
#include "FolderSearch.h"
#include "LogFileError.h"
#include "LogStore.h"
#include "RunSearch.h"
#include "StoreDump.h"

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

RunsTableOptions TableOptions(const CommandLine& command, const LogStore& store) {
  RunsTableOptions options;
  options.AllColumns = command.allColumns;
  if (command.find) {
    const TextSearch search(command.find->toStdString(), store.TextEncoding, command.matchCase);
    options.Matches = RowMatchCounts(store, search);
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

}  // namespace

int RunHeadlessMode(const CommandLine& command) {
  const std::filesystem::path path(command.file.toStdU16String());
  LogStore store;
  try {
    LoadLogFile(store, path, command.encoding);
  } catch (const LogFileError& error) {
    std::cerr << error.what() << '\n';
    return 1;
  } catch (const std::bad_alloc&) {
    std::cerr << NoMemoryMessage(path) << '\n';
    return 1;
  }
  UseBinaryOutput();
  if (command.mode == CommandLine::Mode::Dump) {
    WriteStoreJson(std::cout, store);
  } else {
    WriteRunsTable(std::cout, store, TableOptions(command, store));
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
