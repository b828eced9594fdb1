#include <sys/stat.h>

#include "LogFileFixture.h"

namespace {

TEST_F(LogFileTest, UnreadableInputFailsWithTheNameAndTheReason) {
  const std::string missing = (dir_ / "missing.log").string();
  EXPECT_EQ(FailureMessage(missing), "Cannot open \"" + missing + "\": No such file or directory");
  EXPECT_EQ(FailureMessage(dir_),
            "Cannot open \"" + dir_.string() + "\": it is a directory, not a file");
  EXPECT_EQ(FailureMessage("/dev/zero"),
            "Cannot open \"/dev/zero\": it is a device, not a regular file");

  // A FIFO without a writer must be refused at once, not waited on.
  const std::string fifo = (dir_ / "pipe.log").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(FailureMessage(fifo), "Cannot open \"" + fifo + "\": it is a pipe, not a regular file");
}

}  // namespace
