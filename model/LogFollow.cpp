#include "LogFollow.h"

#include <algorithm>
#include <new>
#include <optional>

#include "FileReadError.h"
#include "LogParser.h"
#include "StoreLimit.h"

namespace {

FollowUpdate NeedsFullLoad() {
  return {FollowUpdate::Kind::NeedsFullLoad};
}

// Folds anew the rows from the one whose stretch holds run `run` on, since the runs after it
// may now share its date and time; the rows before stay. Returns how many stayed.
size_t RefoldRowsFrom(LogStore& store, size_t run) {
  std::vector<int32_t>& rows = store.RowToRun;
  while (!rows.empty() && static_cast<size_t>(rows.back()) >= run) rows.pop_back();
  const size_t kept = rows.size();
  AppendFoldedRows(rows, store.Runs, rows.empty() ? 0 : static_cast<size_t>(rows.back()) + 1);
  return kept;
}

// Parses on from the checkpoint up to the file's byte `end`. An indexed store then lets go of the
// text before the new checkpoint, which no parse reads again.
FollowUpdate ParseOnTo(LogStore& store, uint64_t end) {
  // The runs before the checkpoint's last one are final, header and all; that one's log and
  // outcome may still change.
  const size_t settledRuns = store.Checkpoint.Parse.Runs;
  ResumeParseUpTo(store, end);
  if (store.Indexed()) {
    store.Text.KeepFrom(store.Checkpoint.Parse.Offset - store.Text.Start());
  }
  FollowUpdate update{FollowUpdate::Kind::Appended};
  update.FirstChangedRun = settledRuns > 0 ? settledRuns - 1 : 0;
  update.FirstChangedRow = RefoldRowsFrom(store, update.FirstChangedRun);
  return update;
}

// An indexed store keeps the look at its text for Auto whatever the choice, since it cannot look
// at the whole text again when Auto is chosen later.
bool KeepsUtf8Scan(const LogStore& store) {
  return store.Checkpoint.Choice == EncodingChoice::Auto || store.Indexed();
}

// `scan` of the file's bytes before `text` taken on over `text`, the file's bytes from `start` on
// (an indexed store holds no more); the scan has not stopped before `start` unless it is broken.
Utf8Scan ScanOn(Utf8Scan scan, std::string_view text, uint64_t start) {
  if (scan.Broken) return scan;
  scan.Valid -= start;
  scan = ContinueUtf8Scan(scan, text);
  scan.Valid += start;
  return scan;
}

// Takes in the staged bytes. A load may find another encoding with them; a store that follows
// its file needs a full load then.
FollowUpdate TakeInStaged(LogStore& store, bool loading) {
  if (loading) {
    store.Text.TakeStaged();
    return TakeInPiece(store, store.Text.End());
  }
  LoadCheckpoint& checkpoint = store.Checkpoint;
  if (KeepsUtf8Scan(store)) {
    const std::string_view text(store.Text.Data(), store.Text.Size() + store.Text.Staged().size());
    const Utf8Scan scan = ScanOn(checkpoint.Utf8, text, store.Text.Start());
    const bool isAuto = checkpoint.Choice == EncodingChoice::Auto;
    if (isAuto && AutoEncoding(scan) != store.TextEncoding) return NeedsFullLoad();
    checkpoint.Utf8 = scan;
  }
  store.Text.TakeStaged();
  return ParseOnTo(store, store.Text.End());
}

// Takes in the next piece of the file that an index is made of.
FollowUpdate TakeInNextPiece(LogStore& store, const std::filesystem::path& path) {
  // An index keeps the text from the start of the line being parsed, which a line without end
  // makes grow past any room reserved.
  store.Text.MakeRoom(IndexedPieceBytes());
  switch (store.Text.StageGrowth(path, IndexedPieceBytes())) {
    case TextBuffer::Growth::Unchanged:
      return {};
    case TextBuffer::Growth::Locked:
      throw FileLockedError(FileMessage("Cannot read", path, kLockedReason));
    case TextBuffer::Growth::NotGrown:
      return NeedsFullLoad();
    case TextBuffer::Growth::Grown:
      break;
  }
  return TakeInStaged(store, true);
}

void Merge(FollowUpdate& into, const FollowUpdate& update) {
  into.What = update.What == FollowUpdate::Kind::NeedsFullLoad ? update.What : into.What;
  into.FirstChangedRun = std::min(into.FirstChangedRun, update.FirstChangedRun);
  into.FirstChangedRow = std::min(into.FirstChangedRow, update.FirstChangedRow);
}

}  // namespace

GrowthPiece ReadGrowth(const FileCheck& check, const std::filesystem::path& path, size_t most) {
  GrowthPiece piece;
  piece.From = check.End;
  try {
    std::optional<SharedFile> file;
    piece.What = TextBuffer::LookBeyond(check, path, file);
    if (piece.What == TextBuffer::Growth::NotGrown) {
      piece.Missing = file->GetState() == SharedFile::State::Missing;
      piece.Shorter = file->IsOpen() && file->Facts().Size < check.End;
    }
    if (piece.What != TextBuffer::Growth::Grown) return piece;
    const uint64_t size = file->Facts().Size;
    piece.Bytes.resize(static_cast<size_t>(std::min<uint64_t>(size - check.End, most)));
    // A file that shrinks meanwhile gives fewer bytes; those it gives are still its end.
    piece.Bytes.resize(file->Read(check.End, piece.Bytes.data(), piece.Bytes.size()));
    piece.More = check.End + piece.Bytes.size() < size;
    if (piece.Bytes.empty()) piece.What = TextBuffer::Growth::NotGrown;
  } catch (const FileLockedError&) {
    piece.What = TextBuffer::Growth::Locked;
    piece.Bytes.clear();
  } catch (const std::bad_alloc&) {
    piece.What = TextBuffer::Growth::NotGrown;
    piece.Bytes.clear();
  }
  return piece;
}

bool CanFollow(const LogStore& store, EncodingChoice encoding) {
  return store.Checkpoint.Valid && store.Checkpoint.Choice == encoding;
}

size_t FollowPieceBytes(const LogStore& store) {
  return store.Indexed() ? IndexedPieceBytes() : TextBuffer::kGrowthRoom;
}

FollowUpdate TakeInGrowth(LogStore& store, const GrowthPiece& piece, EncodingChoice encoding) {
  switch (piece.What) {
    case TextBuffer::Growth::Unchanged:
      return {};
    case TextBuffer::Growth::Locked: {
      FollowUpdate update;
      update.Locked = true;
      return update;
    }
    case TextBuffer::Growth::NotGrown:
      return NeedsFullLoad();
    case TextBuffer::Growth::Grown:
      break;
  }
  if (piece.From != store.Text.End()) return NeedsFullLoad();
  return AppendLogText(store, piece.Bytes, encoding);
}

FollowUpdate FollowLogFile(LogStore& store, const std::filesystem::path& path,
                           EncodingChoice encoding) {
  if (!CanFollow(store, encoding)) return NeedsFullLoad();
  GrowthPiece piece = ReadGrowth(store.Text.Check(), path, FollowPieceBytes(store));
  FollowUpdate update = TakeInGrowth(store, piece, encoding);
  while (update.What == FollowUpdate::Kind::Appended && piece.More) {
    piece = ReadGrowth(store.Text.Check(), path, FollowPieceBytes(store));
    const FollowUpdate next = TakeInGrowth(store, piece, encoding);
    update.Locked = next.Locked;
    if (next.What == FollowUpdate::Kind::Unchanged) break;
    Merge(update, next);
  }
  return update;
}

FollowUpdate AppendLogText(LogStore& store, std::string_view bytes, EncodingChoice encoding) {
  if (!CanFollow(store, encoding)) return NeedsFullLoad();
  if (bytes.empty()) return {};
  // An index keeps the text from the start of the line being parsed, which a line without end
  // makes grow past any room reserved; nothing points into what it keeps.
  if (store.Indexed()) store.Text.MakeRoom(bytes.size());
  if (!store.Text.Stage(bytes)) return NeedsFullLoad();
  return TakeInStaged(store, false);
}

void BeginLoadInPieces(LogStore& store, TextBuffer text, EncodingChoice encoding) {
  store.Clear();
  store.Text = std::move(text);
  store.Checkpoint.Choice = encoding;
  store.TextEncoding = encoding == EncodingChoice::Auto
                           ? AutoEncoding(store.Checkpoint.Utf8)
                           : ResolveEncoding(encoding, store.Text.View());
}

FollowUpdate TakeInPiece(LogStore& store, uint64_t end) {
  LoadCheckpoint& checkpoint = store.Checkpoint;
  const uint64_t start = store.Text.Start();
  if (KeepsUtf8Scan(store)) {
    checkpoint.Utf8 = ScanOn(checkpoint.Utf8, store.Text.View().substr(0, end - start), start);
  }
  if (checkpoint.Choice == EncodingChoice::Auto) store.TextEncoding = AutoEncoding(checkpoint.Utf8);
  checkpoint.Valid = end == store.Text.End();
  return ParseOnTo(store, end);
}

void IndexLogFile(LogStore& store, const std::filesystem::path& path, EncodingChoice encoding,
                  const std::function<bool(uint64_t bytesTaken)>& goOn) {
  BeginLoadInPieces(store, TextBuffer::ReadFile(path, IndexedPieceBytes()), encoding);
  store.IndexedFile = path;
  TakeInPiece(store, store.Text.End());
  while (!goOn || goOn(store.Text.End())) {
    switch (TakeInNextPiece(store, path).What) {
      case FollowUpdate::Kind::Unchanged:
        return;
      case FollowUpdate::Kind::NeedsFullLoad:
        store.Clear();
        FailOnFile("Cannot read", path, kReplacedWhileRead);
      case FollowUpdate::Kind::Appended:
        break;
    }
  }
}

Encoding EncodingFor(const LogStore& store, EncodingChoice choice) {
  if (store.Indexed() && choice == EncodingChoice::Auto) return AutoEncoding(store.Checkpoint.Utf8);
  return ResolveEncoding(choice, store.Text.View());
}
