#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "GeneratedLogs.h"
#include "LogFileFixture.h"
#include "LogFileSource.h"
#include "LogFollow.h"
#include "RunText.h"
#include "SharedFile.h"
#include "StoreLimit.h"
#include "StoreText.h"

#ifdef _WIN32
#include <windows.h>
#endif

// Another program's lock on a log is not a change of the log: a brief one is waited out, a
// lasting one is told as such, and following tries again later. The system cannot be made to
// lock a file at will (Wine does not enforce locks), so reads are made to fail with the system's
// own error codes.

namespace {

struct Fault {
  const char* name;
  int code;
  bool isLock;
};

const Fault kFaults[] = {
#ifdef _WIN32
    {"lock violation", ERROR_LOCK_VIOLATION, true},
    {"sharing violation", ERROR_SHARING_VIOLATION, true},
    {"read fault", ERROR_READ_FAULT, false},
#else
    {"mandatory lock", EAGAIN, true},
    {"input/output error", EIO, false},
#endif
};

class LockedFile : public LogFileTest {
 protected:
  void SetUp() override {
    LogFileTest::SetUp();
    text_ = Generated(3);
    path_ = Write("a.log", text_);
  }
  void TearDown() override {
    SetFileFaultHook({});
    SetInMemoryLimit(std::nullopt);
    SetIndexedPieceBytes(std::nullopt);
    LogFileTest::TearDown();
  }

  // The next `times` opens and reads of the log fail with `code`.
  void FailNext(FileStep step, int code, int times) {
    auto left = std::make_shared<std::atomic<int>>(times);
    SetFileFaultHook([=](FileStep now, const std::filesystem::path&) {
      return now == step && left->fetch_sub(1) > 0 ? code : 0;
    });
  }
  void Append(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary | std::ios::app) << bytes;
  }

  std::string text_;
  std::filesystem::path path_;
};

constexpr int kForever = 1 << 30;

}  // namespace

TEST_F(LockedFile, ABriefLockIsWaitedOutAndALastingOneIsToldAsALock) {
  const int brief = 3;
  for (const Fault& fault : kFaults) {
    for (const FileStep step : {FileStep::Open, FileStep::Read}) {
      SCOPED_TRACE(std::string(fault.name) + (step == FileStep::Open ? " on open" : " on read"));
      FailNext(step, fault.code, brief);
      if (fault.isLock) {
        LogStore store;
        LoadLogFile(store, path_);
        EXPECT_EQ(Snapshot(store), Snapshot(Parsed(text_)));
      } else {
        EXPECT_EQ(FailureMessage(path_).find("locked"), std::string::npos);
      }
      FailNext(step, fault.code, kForever);
      const std::string message = FailureMessage(path_);
      EXPECT_EQ(message.find("it is locked by another program") != std::string::npos, fault.isLock)
          << message;
      EXPECT_NE(message.find("a.log"), std::string::npos) << message;
    }
  }
}

TEST_F(LockedFile, FollowingALockedFileTakesItsGrowthInOnceTheLockIsGone) {
  for (const uint64_t inMemory : {UINT64_MAX, uint64_t{0}}) {
    for (const Fault& fault : kFaults) {
      SCOPED_TRACE(std::string(fault.name) + (inMemory == 0 ? ", indexed" : ", in memory"));
      SetInMemoryLimit(inMemory);
      Write("a.log", text_);
      LogStore store;
      LoadLogFile(store, path_);
      const std::string before = Snapshot(store);
      const std::string added = Generated(4);
      Append(added);
      FailNext(FileStep::Read, fault.code, kForever);
      const FollowUpdate locked = FollowLogFile(store, path_, EncodingChoice::Auto);
      EXPECT_EQ(locked.Locked, fault.isLock);
      EXPECT_EQ(locked.What,
                fault.isLock ? FollowUpdate::Kind::Unchanged : FollowUpdate::Kind::NeedsFullLoad);
      SetFileFaultHook({});
      EXPECT_EQ(Snapshot(store), before);
      EXPECT_EQ(FollowLogFile(store, path_, EncodingChoice::Auto).What,
                FollowUpdate::Kind::Appended);
      LogStore whole;
      LoadLogFile(whole, path_);
      EXPECT_EQ(Snapshot(store), Snapshot(whole));
    }
  }
}

TEST_F(LockedFile, ARunOfAnIndexedStoreThatIsLockedIsNotTakenForAChangedFile) {
  SetInMemoryLimit(0);
  LogStore store;
  LoadLogFile(store, path_);
  ASSERT_TRUE(store.Indexed());
  ASSERT_FALSE(store.RowToRun.empty());
  const RunsInfo& run = store.RunOfRow(0);
  for (const Fault& fault : kFaults) {
    SCOPED_TRACE(fault.name);
    FailNext(FileStep::Read, fault.code, kForever);
    bool locked = false;
    bool changed = false;
    try {
      const RunText text(store, run);
    } catch (const FileLockedError&) {
      locked = true;
    } catch (const FileChangedError&) {
      changed = true;
    }
    EXPECT_EQ(locked, fault.isLock);
    EXPECT_EQ(changed, !fault.isLock);
  }
}

TEST_F(LockedFile, AFileReplacedBetweenPiecesOfAReadFailsTheRead) {
  // The writer rotates its log while it is read: that it can at all is what opening the file
  // anew for each piece gives on Windows; the read must not mix the two files.
  SetReadPieceBytes(1000);
  ASSERT_GT(text_.size(), 3000u);
  const std::filesystem::path next = Write("next.log", Generated(5));
  std::string message;
  try {
    TextBuffer::ReadFile(path_, SIZE_MAX, [&](uint64_t bytesRead) {
      if (bytesRead == 1000) std::filesystem::rename(next, path_);
      return true;
    });
  } catch (const LogFileError& error) {
    message = error.what();
  }
  SetReadPieceBytes(std::nullopt);
  EXPECT_NE(message.find("replaced or rewritten while it was read"), std::string::npos) << message;
}
