#include "HeadlessModes.h"

#include <filesystem>
#include <iostream>

#include "FileReadError.h"
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
    std::cerr << "Cannot read \"" << DisplayName(path) << "\": not enough memory\n";
    return 1;
  }
#ifdef Q_OS_WIN
  // The table and the JSON are the same bytes on every system, so scripts that read them need
  // not care which one wrote them.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  if (command.mode == CommandLine::Mode::Dump) {
    WriteStoreJson(std::cout, store);
  } else {
    WriteRunsTable(std::cout, store, TableOptions(command, store));
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}
