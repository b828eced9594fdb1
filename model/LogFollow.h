#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "FileCheck.h"
#include "LogStore.h"

// Following a log that is being written: the store takes in what the file gained at its end,
// at the cost of those bytes and a few lines before them, instead of loading the whole file
// again. The store is then exactly what a full load of the file would make.

// What bringing a store up to date did.
struct FollowUpdate {
  enum class Kind {
    Unchanged,      // the file is as the store has it
    Appended,       // the store took in the bytes the file gained at its end
    NeedsFullLoad,  // anything else; the store is as it was, and only a full load is right
  };
  Kind What = Kind::Unchanged;
  // With Appended: the runs and table rows from these on are new or have changed (Runs and
  // RowToRun may also have become shorter from here on). Earlier ones are as they were, and
  // every byte that a line list pointed to is still there, unchanged, at the same address.
  size_t FirstChangedRun = 0;
  size_t FirstChangedRow = 0;
  // Another program kept the file, or the bytes it gained, locked: what came before the lock is
  // taken in, and a later look takes in the rest.
  bool Locked = false;
};

// Brings `store`, which LoadLogFile filled from `path` with `encoding`, up to date with the
// file. Appended when the file has only grown (see TextBuffer::StageGrowth); NeedsFullLoad when
// it is another file, shorter or rewritten, when `encoding` is not the choice the store was
// loaded with, when Auto would now pick another encoding, or when the store's room for growth
// is used up. The growth is taken in a piece at a time (FollowPieceBytes), so some pieces may
// have been taken in before it finds that it needs a full load.
FollowUpdate FollowLogFile(LogStore& store, const std::filesystem::path& path,
                           EncodingChoice encoding);

// What the file gained beyond the end of a store's text, read with no more than what the store
// knows of its file (TextBuffer::Check), so that another thread can read it while the store is
// shown and changed.
struct GrowthPiece {
  TextBuffer::Growth What = TextBuffer::Growth::Unchanged;
  uint64_t From = 0;     // the text's end, where `Bytes` stood in the file
  std::string Bytes;     // with Grown: what the file has gained, or the first bytes of that
  bool More = false;     // with Grown: the file has gained more than `Bytes`
  bool Missing = false;  // with NotGrown: no file has the name
  bool Shorter = false;  // with NotGrown: the file is shorter than the text
};
// Whether `store`, loaded with `encoding`, can take in what its file gains at all.
bool CanFollow(const LogStore& store, EncodingChoice encoding);
// Reads at most `most` bytes that the file `path` has gained beyond the text `check` stands for.
// Nothing here throws: what cannot be read is NotGrown.
GrowthPiece ReadGrowth(const FileCheck& check, const std::filesystem::path& path, size_t most);
// How many bytes a piece of growth takes in at most: what an indexed store holds stays small.
size_t FollowPieceBytes(const LogStore& store);
// Takes in `piece`, which ReadGrowth read for `store` as it is now, as FollowLogFile does; the
// bytes of a piece read for another text than the store's are not taken in (NeedsFullLoad).
FollowUpdate TakeInGrowth(LogStore& store, const GrowthPiece& piece, EncodingChoice encoding);

// The same for `bytes` appended to the text in memory.
FollowUpdate AppendLogText(LogStore& store, std::string_view bytes, EncodingChoice encoding);

// Loading in pieces is following a log from its first byte: the parse takes in the text a piece
// at a time, and the store after the last piece is what LoadLogText of the whole text makes.
// Empties `store` and gives it `text` to take in, none of it yet.
void BeginLoadInPieces(LogStore& store, TextBuffer text, EncodingChoice encoding);
// Takes in the text up to the file's byte `end`, which is not less than the last piece's end. With
// Auto, the encoding is that of the text so far, and may change with a later piece. The store is
// ready to follow the file once `end` is the end of the text.
FollowUpdate TakeInPiece(LogStore& store, uint64_t end);

// Loads `path` into `store` indexed (LogStore.h): the file is read a piece at a time, and only
// the last lines of each stay. Throws LogFileError as LoadLogFile does, and when the file is
// replaced or rewritten while it is read. `goOn`, when given, hears after each piece how far the
// load has got, and stops it by answering false; the store is then of no use.
void IndexLogFile(LogStore& store, const std::filesystem::path& path, EncodingChoice encoding,
                  const std::function<bool(uint64_t bytesTaken)>& goOn = {});

// What the store's texts read as with the choice `choice`: an indexed store answers Auto from
// what its load found, since it holds too little of the text to look again.
Encoding EncodingFor(const LogStore& store, EncodingChoice choice);
