#include "StoreDump.h"

#include <array>
#include <string>

#include "SpanReader.h"

namespace {

void AppendJsonString(std::string& out, std::string_view utf8) {
  static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  out += '"';
  for (const char ch : utf8) {
    const auto byte = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 0xF];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
}

class JsonWriter {
 public:
  JsonWriter(std::ostream& out, Encoding encoding) : out_(out), encoding_(encoding) {}
  ~JsonWriter() { Flush(); }
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  void Raw(std::string_view text) {
    buffer_ += text;
    if (buffer_.size() > kFlushSize) Flush();
  }
  void Text(std::string_view bytes) {
    decoded_.clear();
    AppendDecoded(decoded_, bytes, encoding_);
    AppendJsonString(buffer_, decoded_);
    if (buffer_.size() > kFlushSize) Flush();
  }
  void Number(int64_t value) { Raw(std::to_string(value)); }
  void Key(std::string_view name) {
    AppendJsonString(buffer_, name);
    Raw(": ");
  }

 private:
  static constexpr size_t kFlushSize = 1 << 20;
  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

  std::ostream& out_;
  Encoding encoding_;
  std::string buffer_;
  std::string decoded_;
};

template <typename Range, typename WriteItem>
void WriteArray(JsonWriter& json, const Range& items, std::string_view separator,
                WriteItem writeItem) {
  json.Raw("[");
  bool first = true;
  for (const auto& item : items) {
    if (!first) json.Raw(separator);
    first = false;
    writeItem(item);
  }
  json.Raw("]");
}

void WriteLineLists(JsonWriter& json, const LogStore& store, const std::vector<LineSpan>& lists) {
  SpanReader reader(store);
  WriteArray(json, lists, ",\n  ", [&](const LineSpan& list) {
    WriteArray(json, reader.Lines(list), ", ", [&](std::string_view line) { json.Text(line); });
  });
}

void WriteRun(JsonWriter& json, const RunsInfo& run, RunOutcome outcome) {
  static constexpr std::array<std::string_view, 4> kTextNames = {"dateTime", "script", "scriptType",
                                                                 "scriptFilename"};
  const auto texts = TableTexts(run);
  json.Raw("{");
  for (size_t i = 0; i < texts.size(); ++i) {
    json.Key(kTextNames[i]);
    json.Text(*texts[i]);
    json.Raw(", ");
  }
  json.Key("scriptIndex");
  json.Number(run.ScriptIndex);
  json.Raw(", ");
  json.Key("logIndex");
  json.Number(run.LogIndex);
  json.Raw(", ");
  json.Key("outcome");
  json.Text(OutcomeName(outcome));
  json.Raw("}");
}

}  // namespace

void WriteStoreJson(std::ostream& out, const LogStore& store) {
  JsonWriter json(out, store.TextEncoding);
  json.Raw("{");
  json.Key("scriptParts");
  WriteLineLists(json, store, store.ScriptParts);
  json.Raw(",\n ");
  json.Key("runLogs");
  WriteLineLists(json, store, store.RunLogs);
  json.Raw(",\n ");
  json.Key("runs");
  WriteArray(json, store.Runs, ",\n  ", [&](const RunsInfo& run) {
    WriteRun(json, run, store.Outcomes[static_cast<size_t>(&run - store.Runs.data())]);
  });
  json.Raw(",\n ");
  json.Key("rowToRun");
  WriteArray(json, store.RowToRun, ", ", [&](int32_t run) { json.Number(run); });
  json.Raw(",\n ");
  json.Key("encoding");
  json.Text(EncodingName(store.TextEncoding));
  json.Raw("}\n");
}

void AppendTableField(std::string& out, std::string_view text) {
  if (text.find_first_of("\t\r\n\"") == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void WriteRunsTable(std::ostream& out, const LogStore& store, const RunsTableOptions& options) {
  std::string text = "Run\tDate/Time\tScript\tScript Type\tScript Filename";
  const bool alerts = options.AllColumns && options.Alerts;
  if (options.AllColumns) text += "\tOutcome\tLines";
  if (alerts) text += "\tAlerts";
  if (options.Matches) text += "\tMatches";
  text += '\n';
  std::string decoded;
  for (size_t row = 0; row < store.RowToRun.size(); ++row) {
    if (options.Matches && options.Matches->at(row) == 0) continue;
    const RunsInfo& run = store.RunOfRow(row);
    text += std::to_string(row + 1);
    for (const std::string* field : TableTexts(run)) {
      text += '\t';
      decoded.clear();
      AppendDecoded(decoded, *field, store.TextEncoding);
      AppendTableField(text, decoded);
    }
    if (options.AllColumns) {
      text += '\t';
      text += OutcomeName(store.OutcomeOfRow(row));
      text += '\t' + std::to_string(store.LogOf(run).Count);
    }
    if (alerts) text += '\t' + std::to_string((*options.Alerts)[row]);
    if (options.Matches) text += '\t' + std::to_string((*options.Matches)[row]);
    text += '\n';
  }
  out << text;
}
