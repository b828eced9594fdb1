#pragma once

#include <QString>

#include "TextPaneLines.h"
#include "TextPanePositions.h"

// The characters of a chunk, decoded with its line's encoding.
QString DecodedChunk(const TPaneLines& lines, TChunkRef ref);

// The text from `from` to `to` (from <= to), lines joined by '\n', every character as decoded,
// control characters included: what a copy puts on the clipboard.
QString TextBetween(const TPaneLines& lines, TTextPos from, TTextPos to);
// The same with each line that it holds some of led by the line's number, counted from 1 as a
// reader counts the lines of a run or a script, right-aligned to the widest one and followed by
// ": ", so that the lines stay in step in a fixed-width font: " 9: text" and "10: text".
QString NumberedTextBetween(const TPaneLines& lines, TTextPos from, TTextPos to);
