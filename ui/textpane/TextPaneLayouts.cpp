#include "TextPaneLayouts.h"

#include <QFontMetricsF>
#include <QTextLine>
#include <algorithm>

#include "TextPaneChunks.h"
#include "TextPaneText.h"

namespace {

// Room for a few screens of the longest chunks; a chunk costs its characters plus a little for
// the layout itself, so short lines are kept by the thousand.
constexpr qsizetype kCacheCharacters = 64 * kChunkBytes;
constexpr qsizetype kCostPerLayout = 64;
constexpr int kTabColumns = 8;

// Control characters would move the text (CR, backspace), break the row (U+2028) or show as
// nothing, so each is shown as a character of its own: C0 controls and DEL as the Unicode
// control pictures, the rest as the replacement character.
QChar Visible(QChar c) {
  const char16_t code = c.unicode();
  if (code < 0x20 && code != u'\t') return QChar(0x2400 + code);
  if (code == 0x7F) return QChar(0x2421);
  const bool c1 = code >= 0x80 && code <= 0x9F;
  if (c1 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
    return QChar::ReplacementCharacter;
  }
  return c;
}

QString VisibleText(QString text) {
  std::ranges::transform(text, text.begin(), Visible);
  return text;
}

}  // namespace

TPaneLayouts::TPaneLayouts(const TPaneLines& lines) : lines_(lines), cache_(kCacheCharacters) {
  option_.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void TPaneLayouts::Reset(const QFont& font, int width) {
  font_ = font;
  width_ = width;
  option_.setTabStopDistance(kTabColumns * QFontMetricsF(font).horizontalAdvance(u' '));
  cache_.clear();
}

void TPaneLayouts::ForgetFrom(size_t line) {
  for (const auto& key : cache_.keys()) {
    if (key.first >= line) cache_.remove(key);
  }
}

const TChunkLayout& TPaneLayouts::At(TChunkRef ref) const {
  const std::pair key(ref.Line, ref.Chunk);
  if (const TChunkLayout* cached = cache_.object(key)) return *cached;
  TChunkLayout* made = Make(ref);
  // A chunk never costs more than the cache holds, so the insert keeps it.
  cache_.insert(key, made, made->Text.size() + kCostPerLayout);
  return *made;
}

TChunkLayout* TPaneLayouts::Make(TChunkRef ref) const {
  auto* chunk = new TChunkLayout;
  chunk->Text = DecodedChunk(lines_, ref);
  QTextLayout& layout = chunk->Layout;
  layout.setText(VisibleText(chunk->Text));
  layout.setFont(font_);
  layout.setTextOption(option_);
  layout.setCacheEnabled(true);
  layout.beginLayout();
  for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
    row.setLineWidth(width_);
    row.setPosition(QPointF(0, chunk->Height));
    chunk->Height += row.height();
  }
  layout.endLayout();
  return chunk;
}
