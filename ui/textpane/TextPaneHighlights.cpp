#include "TextPaneHighlights.h"

#include <QTextCharFormat>
#include <algorithm>
#include <string>

#include "TextPaneText.h"

namespace {

// A few screens of lines.
constexpr qsizetype kCachedLines = 2000;

QTextCharFormat FormatOf(const THighlightRule& rule) {
  const THighlightShades shades = ShadesOf(rule.Colour);
  QTextCharFormat format;
  format.setForeground(QColor::fromRgb(shades.Text));
  format.setBackground(QColor::fromRgb(shades.Background));
  // A whole line shows as a band across the pane, not only behind its characters.
  if (rule.WholeLine) format.setProperty(QTextFormat::FullWidthSelection, true);
  return format;
}

}  // namespace

TPaneHighlights::TPaneHighlights(const TPaneLines& lines) : lines_(lines), cache_(kCachedLines) {}

void TPaneHighlights::SetHighlighter(std::shared_ptr<const LineHighlighter> highlighter) {
  highlighter_ = std::move(highlighter);
  cache_.clear();
}

void TPaneHighlights::ForgetFrom(size_t line) {
  for (const size_t key : cache_.keys()) {
    if (key >= line) cache_.remove(key);
  }
}

const TPaneHighlights::TLineColours& TPaneHighlights::At(size_t line) const {
  if (const TLineColours* cached = cache_.object(line)) return *cached;
  auto* colours = new TLineColours;
  colours->ChunkStarts.push_back(0);
  for (int chunk = 1; chunk < lines_.ChunkCount(line); ++chunk) {
    const auto before = static_cast<int>(DecodedChunk(lines_, {line, chunk - 1}).size());
    colours->ChunkStarts.push_back(colours->ChunkStarts.back() + before);
  }
  const QString text = QString::fromStdString(Decode(lines_.Line(line), lines_.LineEncoding(line)));
  colours->Highlight = highlighter_->Highlight(text);
  colours->ChunkStarts.push_back(static_cast<int>(text.size()));
  cache_.insert(line, colours);
  return *colours;
}

QList<QTextLayout::FormatRange> TPaneHighlights::Formats(TChunkRef ref) const {
  if (!highlighter_ || highlighter_->Rules().empty()) return {};
  const TLineColours& colours = At(ref.Line);
  if (!colours.Highlight) return {};
  const THighlightRule& rule = highlighter_->Rules()[colours.Highlight->Rule];
  const QTextCharFormat format = FormatOf(rule);
  const int chunkStart = colours.ChunkStarts[ref.Chunk];
  const int chunkEnd = colours.ChunkStarts[ref.Chunk + 1];
  // A band across the pane's width reaches past the last row's end only for a range that does.
  if (rule.WholeLine) return {{0, chunkEnd - chunkStart + 1, format}};
  QList<QTextLayout::FormatRange> formats;
  for (const auto& [start, length] : colours.Highlight->Parts) {
    const int from = std::max(start, chunkStart);
    const int to = std::min(start + length, chunkEnd);
    if (from < to) formats.append({from - chunkStart, to - from, format});
  }
  return formats;
}
