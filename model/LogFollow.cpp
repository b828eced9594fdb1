#include "LogFollow.h"

#include <algorithm>

#include "LogParser.h"

namespace {

FollowUpdate NeedsFullLoad() {
  return {FollowUpdate::Kind::NeedsFullLoad};
}

bool CanGoOn(const LogStore& store, EncodingChoice encoding) {
  return store.Checkpoint.Valid && store.Checkpoint.Choice == encoding;
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

// Parses on from the checkpoint up to byte `end` of the text.
FollowUpdate ParseOnTo(LogStore& store, size_t end) {
  // The runs before the checkpoint's last one are final, header and all; that one's log and
  // outcome may still change.
  const size_t settledRuns = store.Checkpoint.Parse.Runs;
  ResumeParseUpTo(store, end);
  FollowUpdate update{FollowUpdate::Kind::Appended};
  update.FirstChangedRun = settledRuns > 0 ? settledRuns - 1 : 0;
  update.FirstChangedRow = RefoldRowsFrom(store, update.FirstChangedRun);
  return update;
}

FollowUpdate TakeInStaged(LogStore& store) {
  LoadCheckpoint& checkpoint = store.Checkpoint;
  if (checkpoint.Choice == EncodingChoice::Auto) {
    const std::string_view text(store.Text.Data(), store.Text.Size() + store.Text.Staged().size());
    const Utf8Scan scan = ContinueUtf8Scan(checkpoint.Utf8, text);
    if (AutoEncoding(scan) != store.TextEncoding) return NeedsFullLoad();
    checkpoint.Utf8 = scan;
  }
  store.Text.TakeStaged();
  return ParseOnTo(store, store.Text.Size());
}

}  // namespace

FollowUpdate FollowLogFile(LogStore& store, const std::filesystem::path& path,
                           EncodingChoice encoding) {
  if (!CanGoOn(store, encoding)) return NeedsFullLoad();
  switch (store.Text.StageGrowth(path)) {
    case TextBuffer::Growth::Unchanged:
      return {};
    case TextBuffer::Growth::NotGrown:
      return NeedsFullLoad();
    case TextBuffer::Growth::Grown:
      break;
  }
  return TakeInStaged(store);
}

FollowUpdate AppendLogText(LogStore& store, std::string_view bytes, EncodingChoice encoding) {
  if (!CanGoOn(store, encoding)) return NeedsFullLoad();
  if (bytes.empty()) return {};
  if (!store.Text.Stage(bytes)) return NeedsFullLoad();
  return TakeInStaged(store);
}

void BeginLoadInPieces(LogStore& store, TextBuffer text, EncodingChoice encoding) {
  store.Clear();
  store.Text = std::move(text);
  store.Checkpoint.Choice = encoding;
  store.TextEncoding = encoding == EncodingChoice::Auto
                           ? AutoEncoding(store.Checkpoint.Utf8)
                           : ResolveEncoding(encoding, store.Text.View());
}

FollowUpdate TakeInPiece(LogStore& store, size_t end) {
  LoadCheckpoint& checkpoint = store.Checkpoint;
  if (checkpoint.Choice == EncodingChoice::Auto) {
    checkpoint.Utf8 = ContinueUtf8Scan(checkpoint.Utf8, store.Text.View().substr(0, end));
    store.TextEncoding = AutoEncoding(checkpoint.Utf8);
  }
  FollowUpdate update = ParseOnTo(store, end);
  checkpoint.Valid = end == store.Text.Size();
  return update;
}
