#pragma once

#include <sstream>
#include <string>

#include "LogStore.h"
#include "StoreDump.h"
#include "StoreInvariants.h"

// Loads and dumps `bytes` in every decoding, as the viewer would; returns what broke, or an
// empty string.
inline std::string ParseAndCheck(std::string_view bytes) {
  for (const EncodingChoice encoding : {EncodingChoice::Auto, EncodingChoice::Utf8}) {
    LogStore store;
    LoadLogText(store, bytes, encoding);
    std::string problem = CheckStoreInvariants(store);
    if (problem.empty() && store.RowToRun.empty() != store.Runs.empty()) {
      problem = "runs without rows";
    }
    if (!problem.empty()) return problem;
    std::ostringstream sink;
    WriteStoreJson(sink, store);
  }
  return {};
}
