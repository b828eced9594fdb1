#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

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
};

// Brings `store`, which LoadLogFile filled from `path` with `encoding`, up to date with the
// file. Appended when the file has only grown (see TextBuffer::StageGrowth); NeedsFullLoad when
// it is another file, shorter or rewritten, when `encoding` is not the choice the store was
// loaded with, when Auto would now pick another encoding, or when the store's room for growth
// is used up.
FollowUpdate FollowLogFile(LogStore& store, const std::filesystem::path& path,
                           EncodingChoice encoding);

// The same for `bytes` appended to the text in memory.
FollowUpdate AppendLogText(LogStore& store, std::string_view bytes, EncodingChoice encoding);

// Loading in pieces is following a log from its first byte: the parse takes in the text a piece
// at a time, and the store after the last piece is what LoadLogText of the whole text makes.
// Empties `store` and gives it `text` to take in, none of it yet.
void BeginLoadInPieces(LogStore& store, TextBuffer text, EncodingChoice encoding);
// Takes in the text up to byte `end`, which is not less than the last piece's end. With Auto, the
// encoding is that of the text so far, and may change with a later piece. The store is ready
// to follow the file once `end` is the end of the text.
FollowUpdate TakeInPiece(LogStore& store, size_t end);
