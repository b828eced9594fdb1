#include "RunExport.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "LogStore.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsLineEnd(char c) {
  return c == '\n' || c == '\r';
}

std::string CountOfLines(size_t count) {
  return std::to_string(count) + (count == 1 ? " line" : " lines");
}

std::string Heading(std::string_view part, size_t lines) {
  return "--- " + std::string(part) + ", " + CountOfLines(lines) + " ---" + std::string(kLineEnd);
}

// Where the bytes of a block can be cut so that no UTF-8 sequence is cut: before the last byte
// that can only start one, when it stands among the last three. Every such byte starts a part
// of its own when the whole text is decoded, so decoding the two sides apart gives the same.
size_t Utf8Cut(std::string_view bytes) {
  for (size_t back = 1; back <= std::min<size_t>(3, bytes.size()); ++back) {
    if (static_cast<unsigned char>(bytes[bytes.size() - back]) >= 0xC0) return bytes.size() - back;
  }
  return bytes.size();
}

// What a file name cannot hold on Windows, the system the log comes from.
bool UnfitForFileName(char c) {
  return static_cast<unsigned char>(c) < 0x20 ||
         std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

// The file name of `path`, whichever of the two separators it uses, without its extension.
std::string_view BaseName(std::string_view path) {
  path.remove_prefix(std::min(path.size(), path.find_last_of("/\\") + 1));
  return path.substr(0, path.find_last_of('.'));
}

std::string FitForFileName(std::string name) {
  std::ranges::replace_if(name, UnfitForFileName, '_');
  // Windows drops dots and blanks at the end of a name, and blanks at its start are easily
  // missed.
  const size_t last = name.find_last_not_of(". ");
  name.erase(last == std::string::npos ? 0 : last + 1);
  name.erase(0, name.find_first_not_of(' '));
  return name;
}

}  // namespace

RunExport::RunExport(const LogStore& store, size_t row, std::string_view logFile,
                     SaveEncoding encoding, size_t readBytes)
    : log_(store.LogOf(store.RunOfRow(row))),
      script_(store.ScriptOf(store.RunOfRow(row))),
      reader_(store, readBytes, SpanReader::ReadAhead::Off),
      from_(store.TextEncoding),
      decode_(encoding == SaveEncoding::Utf8),
      readsStore_(!store.Indexed()) {
  header_ = Header(store, row, logFile);
  scriptHeading_ = Heading("Script", script_.Count);
}

std::string RunExport::LogText(std::string_view bytes) const {
  return decode_ ? Decode(bytes, from_) : std::string(bytes);
}

std::string RunExport::Header(const LogStore& store, size_t row, std::string_view logFile) const {
  const RunsInfo& run = store.RunOfRow(row);
  // The name comes from the user's system, not from the log: Windows-1252 may lack some of its
  // characters, which are then written so that a reader still sees what they were.
  const std::string fileName = WrittenIn() == Encoding::Windows1252
                                   ? EncodeWindows1252Marked(logFile)
                                   : std::string(logFile);
  const std::array<std::pair<std::string_view, std::string>, 8> fields = {{
      {"Log file", fileName},
      {"Run", std::to_string(row + 1)},
      {"Date/Time", LogText(run.DateTime)},
      {"Script", LogText(run.Script)},
      {"Script Type", LogText(run.ScriptType)},
      {"Script Filename", LogText(run.ScriptFilename)},
      {"Outcome", std::string(OutcomeName(store.OutcomeOfRow(row)))},
      {"Encoding", std::string(EncodingName(WrittenIn()))},
  }};
  constexpr size_t kValueColumn = 17;
  std::string header;
  for (const auto& [label, value] : fields) {
    header += label;
    header += ':';
    header.append(kValueColumn - label.size() - 1, ' ');
    header += value;
    header += kLineEnd;
  }
  header += kLineEnd;
  return header + Heading("Log", log_.Count);
}

bool RunExport::WriteTo(const Write& write, TextLease& lease) {
  return write(header_) && WriteLines(log_, write, lease) && write(scriptHeading_) &&
         WriteLines(script_, write, lease);
}

bool RunExport::WriteLines(const LineSpan& span, const Write& write, TextLease& lease) {
  lastByte_ = '\n';
  for (uint64_t from = span.Begin; from < span.End;) {
    const auto take = [&] {
      const std::string_view block = reader_.BlockOf(span, from);
      from += block.size();
      Convert(block, from == span.End);
    };
    if (readsStore_) {
      if (!lease.Use(take)) return false;
    } else {
      take();
    }
    if (!write(piece_)) return false;
  }
  return IsLineEnd(lastByte_) || write(kLineEnd);
}

void RunExport::Convert(std::string_view block, bool last) {
  lastByte_ = block.back();
  if (!decode_) {
    piece_.assign(block);
    return;
  }
  piece_.clear();
  if (from_ == Encoding::Windows1252) {
    AppendDecoded(piece_, block, from_);
    return;
  }
  // A line longer than a block is cut into blocks anywhere, even inside a character.
  std::string joined;
  if (!carried_.empty()) {
    joined = std::exchange(carried_, std::string()).append(block);
    block = joined;
  }
  const size_t cut = last ? block.size() : Utf8Cut(block);
  AppendDecoded(piece_, block.substr(0, cut), from_);
  carried_.assign(block.substr(cut));
}

std::string SuggestedRunFileName(const LogStore& store, size_t row) {
  const RunsInfo& run = store.RunOfRow(row);
  const std::string script = FitForFileName(
      Decode(run.Script.empty() ? BaseName(run.ScriptFilename) : run.Script, store.TextEncoding));
  const std::string number = "run " + std::to_string(row + 1) + ".txt";
  return script.empty() ? number : script + " - " + number;
}
