#pragma once

#include <QString>

#include "LinePattern.h"

// A text that every match of `pattern` holds, for a fast search to find the lines worth giving to
// the expression engine; empty when none is known. Looked for only in the expression's leading
// run of plain characters and repeats, and never in one with alternatives, groups or inline
// options, so that what is found is surely in every match. Without regard to case, only ASCII
// letters other than s and k count: the engine folds others (and s and k, to ſ and the Kelvin
// sign) as a byte search does not.
QString RequiredText(const TLinePattern& pattern);
