#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "LineMatcher.h"
#include "RunOutcome.h"
#include "TextEncoding.h"

// Find in logs: Find in runs over every log of a folder, one file at a time, so that memory is
// bounded by the largest file and not by the folder.

struct FolderSearchRequest {
  std::filesystem::path Folder;
  bool Recursive = false;         // the subfolders too, all the way down, none through a link
  std::string Pattern = "*.log";  // the file names to search (FileNamePattern.h), UTF-8
  std::string Text;               // UTF-8
  bool MatchCase = false;
  // What to find in a file of each encoding, when not the text itself (an expression).
  LineMatchers Matchers;
  EncodingChoice Encoding = EncodingChoice::Auto;
};

// The files of the folder whose names fit the pattern, relative to the folder, in file order (as
// paths compare, a folder's files and subfolders by name). Anything but a folder counts as a
// file, so that a pipe or a device with a fitting name is reported rather than passed over; a
// link to a file is a file, a link to a folder (a junction, a mount point) is not entered. A
// folder that cannot be listed throws LogFileError.
std::vector<std::filesystem::path> FilesToSearch(const FolderSearchRequest& request);

// A table row whose run logs the text. The texts are decoded to UTF-8.
struct RunMatch {
  size_t Row = 0;  // from 0, as the table of the file counts them
  std::string DateTime;
  std::string Script;
  RunOutcome Outcome = RunOutcome::Open;
  size_t Matches = 0;  // the lines of the run's log that hold the text
  bool operator==(const RunMatch&) const = default;
};

// What searching one file found.
struct FileMatches {
  std::filesystem::path File;  // relative to the folder
  uint64_t Bytes = 0;          // its size as read (0 when skipped)
  std::vector<RunMatch> Runs;
  std::string Skipped;  // why the file could not be read, naming it; empty when it was read
};

// Loads `file` (relative to the request's folder) as Open does, searches its rows as Find in
// runs does and lets go of it again. A file that cannot be read, or that lacks the memory it
// needs, comes back skipped with the reason; one that changes under its index while its rows are
// searched is loaded and searched again, and skipped only when it keeps changing. Nothing else
// is thrown but what the standard library throws for a broken program. `stop`, when given and
// set, ends the search of the file within a piece of its read, parse, index or row search, and
// what comes back is then of no use.
FileMatches SearchLogFile(const FolderSearchRequest& request, const std::filesystem::path& file,
                          const std::atomic<bool>* stop = nullptr);

// For tests: called with each file's path after it is loaded and before its rows are searched,
// so that a test can change the file there, or throw; an empty one turns it off.
void SetSearchLoadedHook(std::function<void(const std::filesystem::path&)> hook);

// Where a search of a file may stop.
enum class SearchStep { Load, Rows };
// For tests: called where the search of a file with a stop asks it (after each piece of the
// load, before each row and between the pieces of a long run, on any of the search's threads),
// so that a test can hold the search there until it is stopped; an empty one turns it off.
void SetSearchStepHook(std::function<void(SearchStep, const std::atomic<bool>& stop)> hook);
