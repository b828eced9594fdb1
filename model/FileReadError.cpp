#include "FileReadError.h"

#include "LogFileError.h"

const char* RefusalReason(NonRegularFile kind) {
  switch (kind) {
    case NonRegularFile::Directory:
      return "it is a directory, not a file";
    case NonRegularFile::Device:
      return "it is a device, not a regular file";
    case NonRegularFile::Pipe:
      return "it is a pipe, not a regular file";
    case NonRegularFile::Socket:
      return "it is a socket, not a regular file";
    case NonRegularFile::Other:
      break;
  }
  return "it is not a regular file";
}

std::string DisplayName(const std::filesystem::path& path) {
  // Windows users read backslashes, whichever separator the name came with.
  const std::u8string name = std::filesystem::path(path).make_preferred().u8string();
  return {name.begin(), name.end()};
}

std::string FileMessage(std::string_view verb, const std::filesystem::path& path,
                        std::string_view reason) {
  std::string message(verb);
  message += " \"" + DisplayName(path) + "\": ";
  message += reason;
  return message;
}

std::string NoMemoryMessage(const std::filesystem::path& path) {
  return FileMessage("Cannot read", path, "not enough memory");
}

void FailOnFile(std::string_view verb, const std::filesystem::path& path, std::string_view reason) {
  throw LogFileError(FileMessage(verb, path, reason));
}
