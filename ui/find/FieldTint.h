#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPalette>

// Behind what to find when it matches nothing, or is an expression the engine refuses.
inline constexpr QColor kNoMatchBase(0xFF, 0xD6, 0xD6);

// Tints `field` for a needle that finds nothing, or gives it back the colours it inherits.
inline void TintField(QLineEdit& field, bool noMatch) {
  QPalette palette;
  if (noMatch) palette.setColor(QPalette::Base, kNoMatchBase);
  field.setPalette(palette);
}
