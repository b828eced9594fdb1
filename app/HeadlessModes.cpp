#include "HeadlessModes.h"

#include <QFile>
#include <iostream>

#include "LogFileError.h"
#include "LogStore.h"
#include "RunSearch.h"
#include "StoreDump.h"

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
  const std::string path = QFile::encodeName(command.file).toStdString();
  LogStore store;
  try {
    LoadLogFile(store, path, command.encoding);
  } catch (const LogFileError& error) {
    std::cerr << error.what() << '\n';
    return 1;
  } catch (const std::bad_alloc&) {
    std::cerr << "Cannot read \"" << path << "\": not enough memory\n";
    return 1;
  }
  std::ios::sync_with_stdio(false);
  if (command.mode == CommandLine::Mode::Dump) {
    WriteStoreJson(std::cout, store);
  } else {
    WriteRunsTable(std::cout, store, TableOptions(command, store));
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}
