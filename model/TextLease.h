#pragma once

#include <mutex>

// Lets a worker read a store's text, which lives in memory, until the store's owner takes the
// text back before changing or freeing it. Taking it back waits only for the read under way (a
// copy of one piece in memory), never for what the worker does with the piece, such as writing
// it to a file on a share that has stopped answering.
class TextLease {
 public:
  // Runs `read` unless the text has been taken back; false when it has.
  template <class Read>
  bool Use(Read read) {
    const std::lock_guard lock(lock_);
    if (takenBack_) return false;
    read();
    return true;
  }
  // From now on no read runs; one under way has ended when this returns.
  void TakeBack() {
    const std::lock_guard lock(lock_);
    takenBack_ = true;
  }

 private:
  std::mutex lock_;
  bool takenBack_ = false;
};
