#include "TextPaneText.h"

#include <string>

namespace {

// The text from `from` to `to`, with `lineStart` writing what goes before each line that the
// text holds some of: not before a line that the text only reaches the start of.
template <class LineStart>
QString TextOf(const TPaneLines& lines, TTextPos from, TTextPos to, LineStart lineStart) {
  // Whole chunks are decoded straight into one UTF-8 string, so that copying a million lines
  // makes one QString rather than a million.
  std::string utf8;
  for (TChunkRef ref = from.Ref;; ref = *lines.Next(ref)) {
    if (ref.Chunk == 0 && ref != from.Ref) utf8 += '\n';
    const bool reachedOnlyTheStart = ref == to.Ref && to.Column == 0 && ref != from.Ref;
    if ((ref.Chunk == 0 || ref == from.Ref) && !reachedOnlyTheStart) lineStart(utf8, ref.Line);
    if (ref != from.Ref && ref != to.Ref) {
      AppendDecoded(utf8, lines.ChunkBytes(ref), lines.LineEncoding(ref.Line));
      continue;
    }
    const QString text = DecodedChunk(lines, ref);
    const int begin = ref == from.Ref ? from.Column : 0;
    const int end = ref == to.Ref ? to.Column : static_cast<int>(text.size());
    utf8 += text.sliced(begin, end - begin).toStdString();
    if (ref == to.Ref) break;
  }
  return QString::fromStdString(utf8);
}

}  // namespace

QString DecodedChunk(const TPaneLines& lines, TChunkRef ref) {
  return QString::fromStdString(Decode(lines.ChunkBytes(ref), lines.LineEncoding(ref.Line)));
}

QString TextBetween(const TPaneLines& lines, TTextPos from, TTextPos to) {
  return TextOf(lines, from, to, [](std::string&, size_t) {});
}

QString NumberedTextBetween(const TPaneLines& lines, TTextPos from, TTextPos to) {
  const bool endsAtALineStart = to.Ref.Chunk == 0 && to.Column == 0 && to.Ref != from.Ref;
  const size_t width = std::to_string(to.Ref.Line + (endsAtALineStart ? 0 : 1)).size();
  return TextOf(lines, from, to, [width](std::string& utf8, size_t line) {
    const std::string number = std::to_string(line + 1);
    utf8.append(width - number.size(), ' ');
    utf8 += number;
    utf8 += ": ";
  });
}
