#include "HighlightRule.h"

#include <QStringList>

namespace {

const QStringList kNames = {QStringLiteral("red"),    QStringLiteral("amber"),
                            QStringLiteral("green"),  QStringLiteral("blue"),
                            QStringLiteral("violet"), QStringLiteral("grey")};

}  // namespace

// Each text colour reaches a contrast of at least 4.5 to 1 on its background, and each
// background stands apart from white and from the dark greys of dark window colours.
THighlightShades ShadesOf(THighlightColour colour) {
  switch (colour) {
    case THighlightColour::Red:
      return {0xFFFFFF, 0xC62828};
    case THighlightColour::Amber:
      return {0x000000, 0xFF8F00};
    case THighlightColour::Green:
      return {0xFFFFFF, 0x2E7D32};
    case THighlightColour::Blue:
      return {0xFFFFFF, 0x1565C0};
    case THighlightColour::Violet:
      return {0xFFFFFF, 0x7B1FA2};
    case THighlightColour::Grey:
      return {0x000000, 0xBDBDBD};
  }
  return {};
}

QString ColourName(THighlightColour colour) {
  return kNames.value(static_cast<int>(colour));
}

std::optional<THighlightColour> ColourNamed(const QString& name) {
  const qsizetype index = kNames.indexOf(name);
  if (index < 0) return std::nullopt;
  return static_cast<THighlightColour>(index);
}

THighlightRules DefaultHighlightRules() {
  const auto words = [](const char* expression) {
    return TLinePattern{QString::fromLatin1(expression), true, false, true};
  };
  return {
      {words("error|fail|abort|timeout"), THighlightColour::Red, true, true, true},
      {words("warning"), THighlightColour::Amber, true, false, true},
  };
}
