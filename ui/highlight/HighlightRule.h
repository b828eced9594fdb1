#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <vector>

#include "LinePattern.h"

// The colours a rule may take: each a text colour on a background, chosen to read on light and
// dark window colours alike.
enum class THighlightColour { Red, Amber, Green, Blue, Violet, Grey };

inline constexpr std::array kHighlightColours = {THighlightColour::Red,    THighlightColour::Amber,
                                                 THighlightColour::Green,  THighlightColour::Blue,
                                                 THighlightColour::Violet, THighlightColour::Grey};

// A colour's text and background as 0xRRGGBB. Kept as numbers, not QColor, so that the rules stay
// Qt Core only for the command line.
struct THighlightShades {
  quint32 Text = 0;
  quint32 Background = 0;
};
THighlightShades ShadesOf(THighlightColour colour);
// The colour's name as the rules' JSON spells it ("red", "amber", ...).
QString ColourName(THighlightColour colour);
std::optional<THighlightColour> ColourNamed(const QString& name);

// A highlight rule: lines (or only the matches in them) that its pattern matches take its
// colour. Rules apply in order: the first enabled rule that matches a line colours it. An alert
// rule's lines are what the Alerts column counts and F8 steps to.
struct THighlightRule {
  TLinePattern Pattern;
  THighlightColour Colour = THighlightColour::Red;
  bool WholeLine = true;
  bool Alert = false;
  bool Enabled = true;
  bool operator==(const THighlightRule&) const = default;
};

using THighlightRules = std::vector<THighlightRule>;

// The rules of a fresh installation: trouble in red (an alert), warnings in amber.
THighlightRules DefaultHighlightRules();
