// Every input the fuzzer was seeded with or has found a fault with stays a test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ParseAndCheck.h"

TEST(FuzzCorpus, EveryInputParsesAndKeepsTheInvariants) {
  int inputs = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(MLD_FUZZ_CORPUS)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream file(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    EXPECT_EQ(ParseAndCheck(bytes), "") << entry.path();
    ++inputs;
  }
  EXPECT_GT(inputs, 0);
}
