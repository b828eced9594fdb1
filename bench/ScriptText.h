#pragma once

#include "LabCatalogue.h"
#include "LogTextWriter.h"
#include "Random.h"

// Writes the text of `script` as an entry holds it: a comment, the opening keyword, 20 to 80
// lines in all.
void WriteScriptText(LogTextWriter& out, Random& random, const LabCatalogue::Script& script);
