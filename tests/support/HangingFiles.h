#pragma once

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>

#include "SharedFile.h"

// A share whose server has stopped answering: from now on every open and read of a file waits
// until Release, as the system's calls wait until the server answers or the system gives up.
// What the waiting threads use lives as long as the last of them.
class HangingFiles {
 public:
  HangingFiles() : state_(std::make_shared<State>()) {
    SetFileFaultHook([state = state_](FileStep, const std::filesystem::path&) {
      std::unique_lock lock(state->lock);
      ++state->waiting;
      state->answered.wait(lock, [&state] { return state->released; });
      --state->waiting;
      return 0;
    });
  }
  ~HangingFiles() {
    SetFileFaultHook({});
    Release();
  }
  HangingFiles(const HangingFiles&) = delete;
  HangingFiles& operator=(const HangingFiles&) = delete;

  // Whether some thread waits for a file now.
  bool Hanging() const {
    const std::lock_guard lock(state_->lock);
    return state_->waiting > 0;
  }
  void Release() {
    const std::lock_guard lock(state_->lock);
    state_->released = true;
    state_->answered.notify_all();
  }

 private:
  struct State {
    std::mutex lock;
    std::condition_variable answered;
    int waiting = 0;
    bool released = false;
  };
  std::shared_ptr<State> state_;
};
