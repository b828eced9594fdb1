#pragma once

#include <QString>

#include "TextPaneLines.h"
#include "TextPanePositions.h"

// The characters of a chunk, decoded with its line's encoding.
QString DecodedChunk(const TPaneLines& lines, TChunkRef ref);

// The text from `from` to `to` (from <= to), lines joined by '\n', every character as decoded,
// control characters included: what a copy puts on the clipboard.
QString TextBetween(const TPaneLines& lines, TTextPos from, TTextPos to);
