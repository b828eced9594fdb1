#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// What the POSIX and the Windows file readers say when a log cannot be read, kept in one place
// so that the user reads the same words on both systems.

enum class NonRegularFile { Directory, Device, Pipe, Socket, Other };

// Why a read of a file in pieces stopped: between two pieces, its name came to lead to another
// file, or to none.
inline constexpr const char* kReplacedWhileRead =
    "the file was replaced or rewritten while it was read";

// Why a file cannot be read for now: another program keeps it, or the bytes we read, locked.
inline constexpr const char* kLockedReason = "it is locked by another program";

// The reason shown for refusing something that is not a regular file.
const char* RefusalReason(NonRegularFile kind);

// The path as the user would type it, in UTF-8 on every system.
std::string DisplayName(const std::filesystem::path& path);

// "<verb> "<path>": <reason>".
std::string FileMessage(std::string_view verb, const std::filesystem::path& path,
                        std::string_view reason);
// "Cannot read "<path>": not enough memory": what a load or a search that lacks memory says.
std::string NoMemoryMessage(const std::filesystem::path& path);
// Throws LogFileError with that message.
[[noreturn]] void FailOnFile(std::string_view verb, const std::filesystem::path& path,
                             std::string_view reason);
