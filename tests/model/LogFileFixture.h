#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "LogFileError.h"
#include "StoreText.h"

// A fresh folder for each test's log files, and a way to see how loading a file fails.
class LogFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("mld-store-test-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path Write(const std::filesystem::path& name, const std::string& bytes) {
    std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // Loads `path` into a store that already holds a file, expecting a failure that leaves the
  // store empty.
  static std::string FailureMessage(const std::filesystem::path& path) {
    LogStore store;
    LoadLogText(store, LogText({"------ NextPart = Script", "s", "------ NextPart = LogMessage",
                                "==>loading script", "-", "d"}));
    try {
      LoadLogFile(store, path);
    } catch (const LogFileError& error) {
      EXPECT_TRUE(store.Runs.empty() && store.RunLogs.empty() && store.ScriptParts.empty());
      EXPECT_EQ(store.Text.Size(), 0u);
      return error.what();
    }
    ADD_FAILURE() << "no error for " << path;
    return {};
  }

  std::filesystem::path dir_;
};
