#include <gtest/gtest.h>

#include <sstream>

#include "StoreDump.h"
#include "StoreText.h"

namespace {

std::string Json(const LogStore& store) {
  std::ostringstream out;
  WriteStoreJson(out, store);
  return out.str();
}

TEST(StoreDump, EscapesEveryControlCharacterQuoteAndBackslash) {
  std::string hostile("q\"b\\n\0c\x01\x1f\t\x7f", 11);
  LogStore store = Parsed(LogText({"------ NextPart = Script", hostile}));
  EXPECT_EQ(Json(store),
            "{\"scriptParts\": [[\"q\\\"b\\\\n\\u0000c\\u0001\\u001f\\t\x7f\"]],\n"
            " \"runLogs\": [],\n \"runs\": [],\n \"rowToRun\": [],\n"
            " \"encoding\": \"windows-1252\"}\n");
}

TEST(StoreDump, WritesRunsAndRowsDecoded) {
  LogStore store = Parsed(
      LogText({"------ NextPart = Script", "------ NextPart = LogMessage",
               "==>loading script \"Mix 5 \xb5l\".", "-", "Started: 12:00", "==>script type: Macro",
               "File name of script: C:\\s.scr", "m", "==>script execution finished."}));
  EXPECT_EQ(Json(store),
            "{\"scriptParts\": [[]],\n"
            " \"runLogs\": [[\"Started: 12:00\", \"==>script type: Macro\", "
            "\"File name of script: C:\\\\s.scr\", \"m\"]],\n"
            " \"runs\": [{\"dateTime\": \"12:00\", \"script\": \"Mix 5 \xc2\xb5l\", "
            "\"scriptType\": \"Macro\", \"scriptFilename\": \"C:\\\\s.scr\", \"scriptIndex\": 0, "
            "\"logIndex\": 0, \"outcome\": \"finished\"}],\n"
            " \"rowToRun\": [0],\n \"encoding\": \"windows-1252\"}\n");

  std::ostringstream table;
  WriteRunsTable(table, store);
  EXPECT_EQ(table.str(),
            "Run\tDate/Time\tScript\tScript Type\tScript Filename\n"
            "1\t12:00\tMix 5 \xc2\xb5l\tMacro\tC:\\s.scr\n");
}

// Fields are written as they are; one that holds a tab or a double quote is put in double
// quotes, with the inner ones doubled, as spreadsheets read tab-separated text.
TEST(StoreDump, RunsTableQuotesOnlyFieldsWithTabsOrQuotes) {
  LogStore store = Parsed(LogText({"------ NextPart = Script", "------ NextPart = LogMessage",
                                   "==>loading script \"a\tb\\c\".", "-", "Started: say \"hi\"",
                                   "==>script type: \"odd", "File name of script: \\\\pc\\s\\x.vsc",
                                   "==>script execution finished."}));
  std::ostringstream table;
  WriteRunsTable(table, store);
  EXPECT_EQ(table.str(),
            "Run\tDate/Time\tScript\tScript Type\tScript Filename\n"
            "1\t\"say \"\"hi\"\"\"\t\"a\tb\\c\"\t\"\"\"odd\"\t\\\\pc\\s\\x.vsc\n");
}

}  // namespace
