#pragma once

#include <windows.h>

#include <memory>

// A Windows handle that is closed when it goes out of scope. CreateFileW reports failure with
// INVALID_HANDLE_VALUE, not null, so that one is never closed either.
struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;
