#pragma once

#include <array>
#include <string_view>

// The made-up lab that generated logs describe: its scripts, operators, labware and devices.
// The control software writes Windows-1252, so "µ" and "°" are the single bytes 0xB5 and 0xB0.
namespace LabCatalogue {

inline constexpr std::string_view kMicroliters = "\xB5l";
inline constexpr std::string_view kDegreesCelsius =
    "\xB0"
    "C";

struct Script {
  std::string_view name;
  std::string_view type;  // also the keyword that opens and closes its text
  std::string_view path;  // a network path (starting with "\\") is logged on a line of its own
};

inline constexpr std::array<Script, 10> kScripts = {{
    {"Prime Pump A", "Method", R"(C:\Vantrel\Scripts\prime_pump_a.vsc)"},
    {"Incubate Plate", "Protocol", R"(C:\Vantrel\Scripts\incubate_plate.vsc)"},
    {"Serial Dilution 1:2", "Sequence",
     R"(\\labserver\vantrel\methods\dilution\serial_dilution_1-2.vsc)"},
    {"ELISA Wash and Read", "Protocol", R"(C:\Vantrel\Scripts\elisa_wash_read.vsc)"},
    {"Normalize DNA 10 ng/\xB5l", "Method",
     R"(\\labserver\vantrel\methods\genomics\normalize_dna_10ng.vsc)"},
    {"Cherry Picking", "Sequence", R"(C:\Vantrel\Scripts\cherry_picking.vsc)"},
    {"Plate Replication 96 to 384", "Method", R"(C:\Vantrel\Scripts\replicate_96_384.vsc)"},
    {"Daily Startup", "Maintenance", R"(C:\Vantrel\Scripts\daily_startup.vsc)"},
    {"Thaw Reagents 4 \xB0"
     "C",
     "Protocol", R"(C:\Vantrel\Scripts\thaw_reagents.vsc)"},
    {"Shutdown", "Maintenance", R"(C:\Vantrel\Scripts\shutdown.vsc)"},
}};

inline constexpr std::array<std::string_view, 5> kOperators = {
    "jmeyer (Lab technician)", "akowalski (Scientist)", "tnguyen (Lab technician)",
    "rsilva (Lab manager)", "service (Vantrel service)"};

// Reasons for a line between the user line and the type line, which moves the type line down.
inline constexpr std::array<std::string_view, 4> kHeaderWarnings = {
    "WARNING: Pump A seal service due in 3 days.",
    "WARNING: Simulation mode is on: no hardware is moved.",
    "WARNING: Tip rack on Deck4 not scanned since the last run.",
    "WARNING: Incubator1 door was opened during the last run."};

inline constexpr std::array<std::string_view, 6> kDecks = {"Deck1", "Deck2",  "Deck3",
                                                           "Deck4", "Hotel1", "Washer1"};
inline constexpr std::array<std::string_view, 4> kReservoirs = {"Reservoir1", "Reservoir2", "PBS",
                                                                "Diluent"};
inline constexpr std::array<std::string_view, 3> kIncubators = {"Incubator1", "Incubator2",
                                                                "Cooler1"};
inline constexpr std::array<std::string_view, 8> kStepNames = {
    "Mix", "Transfer", "Aspirate", "Dispense", "Shake", "Wait", "Read absorbance", "Wash"};

}  // namespace LabCatalogue
