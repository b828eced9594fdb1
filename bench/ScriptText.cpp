#include "ScriptText.h"

#include "LabPhrases.h"

namespace {

using namespace LabCatalogue;

void WriteCommand(LogTextWriter& out, Random& random) {
  out.Text("  ");
  switch (random.Between(0, 5)) {
    case 0:
      out.Text("Aspirate Channel=").Number(random.Between(1, 8));
      out.Text(" Source=").Text(random.Pick(kReservoirs)).Text(" Volume=");
      WriteVolume(out, random.Between(5, 300)).Text(" Speed=");
      WriteVolume(out, random.Between(50, 400)).Text("/s");
      break;
    case 1:
      out.Text("Dispense Channel=").Number(random.Between(1, 8)).Text(" Target=");
      WriteWell(out, random).Text(" Volume=");
      WriteVolume(out, random.Between(5, 300)).Text(" Mix=").Number(random.Between(0, 5));
      break;
    case 2:
      out.Text("SetTemperature ").Text(random.Pick(kIncubators)).Text(" Target=");
      WriteTemperature(out, random.Pick(std::array{40, 200, 220, 370, 650, 950}));
      break;
    case 3: {
      const auto [from, to] = random.PickTwo(kDecks);
      out.Text("MovePlate From=").Text(from).Text(" To=").Text(to);
      break;
    }
    case 4:
      out.Text("Wait Seconds=").Number(random.Between(5, 600));
      break;
    default:
      out.Text("Param Volume").Number(random.Between(1, 9)).Text(" = ");
      WriteVolume(out, random.Between(5, 1000));
  }
  out.EndLine();
}

}  // namespace

void WriteScriptText(LogTextWriter& out, Random& random, const Script& script) {
  out.Text("; ").Line(script.name);
  out.Line("; Written for the VX-2040. Change volumes only after a dry run.");
  out.Text(script.type).Text(" \"").Text(script.name).Line("\"");
  const int commands = random.Between(20, 80) - 4;
  for (int i = 0; i < commands; ++i) WriteCommand(out, random);
  out.Text("End").Line(script.type);
}
