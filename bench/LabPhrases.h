#pragma once

#include "LogTextWriter.h"
#include "Random.h"

// Bits of text that scripts and messages share, so that both speak of the lab the same way.

// "125 µl"
LogTextWriter& WriteVolume(LogTextWriter& out, int microliters);
// "36.8 °C"
LogTextWriter& WriteTemperature(LogTextWriter& out, int tenthsOfDegree);
// A well of a 96-well plate, "Plate:C7"
LogTextWriter& WriteWell(LogTextWriter& out, Random& random);
