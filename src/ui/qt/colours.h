#pragma once

#include <QColor>

#include "project/project.h"

namespace tvx {

// Project colours are 0x00BBGGRR, red in the least significant byte.
inline QColor ToQColor(Colour colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

inline Colour FromQColor(const QColor& colour) {
  return static_cast<Colour>(colour.red()) | (static_cast<Colour>(colour.green()) << 8) |
         (static_cast<Colour>(colour.blue()) << 16);
}

// A background that keeps a text of the given colour readable: dark behind light colours.
inline QColor ContrastingBackground(const QColor& text) {
  return text.lightness() > 160 ? QColor(64, 64, 64) : QColor(240, 240, 240);
}

}  // namespace tvx
