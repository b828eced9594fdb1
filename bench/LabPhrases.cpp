#include "LabPhrases.h"

#include "LabCatalogue.h"

LogTextWriter& WriteVolume(LogTextWriter& out, int microliters) {
  return out.Number(microliters).Text(" ").Text(LabCatalogue::kMicroliters);
}

LogTextWriter& WriteTemperature(LogTextWriter& out, int tenthsOfDegree) {
  return out.Tenths(tenthsOfDegree).Text(" ").Text(LabCatalogue::kDegreesCelsius);
}

LogTextWriter& WriteWell(LogTextWriter& out, Random& random) {
  const char row[] = {static_cast<char>('A' + random.Between(0, 7)), '\0'};
  return out.Text("Plate:").Text(row).Number(random.Between(1, 12));
}
