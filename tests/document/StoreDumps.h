#pragma once

#include <QString>
#include <sstream>
#include <string>

#include "FilePath.h"
#include "LogStore.h"
#include "StoreDump.h"
#include "TextEncoding.h"

// Everything a store holds that shows: the dump, the outcomes, the text's size, and whether it
// can follow the file.
inline std::string Dump(const LogStore& store) {
  std::ostringstream out;
  WriteStoreJson(out, store);
  out << "\noutcomes";
  for (const RunOutcome outcome : store.Outcomes) out << ' ' << static_cast<int>(outcome);
  out << "\nsize " << store.Text.End() << " follows " << store.Checkpoint.Valid;
  return out.str();
}

// What a fresh whole load of the file `path` shows.
inline std::string WholeLoad(const QString& path, EncodingChoice encoding) {
  LogStore store;
  LoadLogFile(store, PathOf(path), encoding);
  return Dump(store);
}
