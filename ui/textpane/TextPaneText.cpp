#include "TextPaneText.h"

#include <string>

QString DecodedChunk(const TPaneLines& lines, TChunkRef ref) {
  return QString::fromStdString(Decode(lines.ChunkBytes(ref), lines.LineEncoding(ref.Line)));
}

QString TextBetween(const TPaneLines& lines, TTextPos from, TTextPos to) {
  // Whole chunks are decoded straight into one UTF-8 string, so that copying a million lines
  // makes one QString rather than a million.
  std::string utf8;
  for (TChunkRef ref = from.Ref;; ref = *lines.Next(ref)) {
    if (ref.Chunk == 0 && ref != from.Ref) utf8 += '\n';
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
