#pragma once

#include <stdexcept>
#include <string>

// A log file that cannot be opened or read. The message names the file and the reason, ready to
// be shown to the user as it stands.
class LogFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file is too large for the memory that can be had for it; indexing it still works.
class FileTooLargeError : public LogFileError {
 public:
  using LogFileError::LogFileError;
};
