// The name a run is saved under is refused when it leads to the log, however it is spelled.
#include <gtest/gtest.h>

#include "LogFileFixture.h"
#include "SameFile.h"

namespace {

class SameFile : public LogFileTest {};

TEST_F(SameFile, IsTheLogHoweverItsNameIsSpelled) {
  const std::filesystem::path log = Write("run.log", "text");
  const std::filesystem::path other = Write("other.log", "text");
  std::filesystem::create_directories(dir_ / "sub");
  const struct {
    std::filesystem::path name;
    bool same;
  } cases[] = {
      {log, true},    {dir_ / "." / "run.log", true}, {dir_ / "sub" / ".." / "run.log", true},
      {other, false}, {dir_ / "missing.log", false},  {dir_ / "sub" / "run.log", false},
      {dir_, false},
  };
  for (const auto& [name, same] : cases) EXPECT_EQ(NameTheSameFile(name, log), same) << name;
  // A log that is gone for now is still refused by its name, which its writer may use again.
  std::filesystem::remove(log);
  EXPECT_TRUE(NameTheSameFile(dir_ / "sub" / ".." / "run.log", log));
  EXPECT_FALSE(NameTheSameFile(other, log));
}

#ifndef _WIN32
TEST_F(SameFile, IsTheLogThroughALink) {
  const std::filesystem::path log = Write("run.log", "text");
  std::filesystem::create_symlink(log, dir_ / "link.log");
  std::filesystem::create_hard_link(log, dir_ / "hard.log");
  std::filesystem::create_directory_symlink(dir_, dir_ / "folder");
  EXPECT_TRUE(NameTheSameFile(dir_ / "link.log", log));
  EXPECT_TRUE(NameTheSameFile(dir_ / "hard.log", log));
  EXPECT_TRUE(NameTheSameFile(dir_ / "folder" / "run.log", log));
  std::filesystem::remove(log);
  EXPECT_TRUE(NameTheSameFile(dir_ / "folder" / "run.log", log));
  EXPECT_FALSE(NameTheSameFile(dir_ / "hard.log", log));
}
#endif

}  // namespace
