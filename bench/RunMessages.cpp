#include "RunMessages.h"

#include "LabCatalogue.h"
#include "LabPhrases.h"

namespace {

using namespace LabCatalogue;

void WritePipetting(LogTextWriter& out, Random& random) {
  const int volume = random.Between(5, 300);
  out.Text("Channel ").Number(random.Between(1, 8)).Text(": ");
  if (random.Percent(50)) {
    out.Text("aspirate ");
    WriteVolume(out, volume).Text(" from ").Text(random.Pick(kReservoirs)).Text(" at ");
    WriteVolume(out, random.Between(50, 400)).Text("/s.");
  } else {
    out.Text("dispense ");
    WriteVolume(out, volume).Text(" to ");
    WriteWell(out, random).Text(".");
  }
}

void WriteTemperatureReading(LogTextWriter& out, Random& random) {
  const int target = random.Pick(std::array{40, 370, 650});
  out.Text(random.Pick(kIncubators)).Text(": ");
  WriteTemperature(out, target + random.Between(-8, 8)).Text(" (target ");
  WriteTemperature(out, target).Text(").");
}

void WriteStep(LogTextWriter& out, Random& random, RunProgress progress) {
  out.Text("Step ").Number(progress.step).Text("/").Number(progress.steps).Text(": ");
  out.Text(random.Pick(kStepNames)).Text(" ");
  WriteWell(out, random).Text(", ").Number(random.Between(1, 5)).Text(" cycles of ");
  WriteVolume(out, random.Between(10, 200)).Text(".");
}

void WritePlateMove(LogTextWriter& out, Random& random) {
  const auto [from, to] = random.PickTwo(kDecks);
  out.Text("Plate BC-").Number(random.Between(100000, 199999)).Text(": ");
  out.Text(from).Text(" -> ").Text(to).Text(".");
}

void WriteDeviceStatus(LogTextWriter& out, Random& random) {
  switch (random.Between(0, 2)) {
    case 0:
      out.Text("Pump A: pressure 0.").Padded(random.Between(10, 99), 2).Text(" bar - OK.");
      break;
    case 1:
      out.Text("Arm: moved to ").Text(random.Pick(kDecks)).Text(" in ");
      out.Number(random.Between(150, 2500)).Text(" ms.");
      break;
    default:
      out.Text("Channels 1-8: liquid level detected at ").Tenths(random.Between(20, 400));
      out.Text(" mm.");
  }
}

void WriteWarning(LogTextWriter& out, Random& random) {
  out.Text("WARNING: Channel ").Number(random.Between(1, 8)).Text(": liquid level low in ");
  out.Text(random.Pick(kReservoirs)).Text(" (");
  WriteVolume(out, random.Between(100, 2000)).Text(" left).");
}

}  // namespace

void WriteRunMessage(LogTextWriter& out, Random& random, RunProgress progress) {
  const int kind = random.Between(1, 100);
  if (kind <= 45) {
    WritePipetting(out, random);
  } else if (kind <= 60) {
    WriteTemperatureReading(out, random);
  } else if (kind <= 80) {
    WriteStep(out, random, progress);
  } else if (kind <= 88) {
    WritePlateMove(out, random);
  } else if (kind <= 98) {
    WriteDeviceStatus(out, random);
  } else {
    WriteWarning(out, random);
  }
  out.EndLine();
}
