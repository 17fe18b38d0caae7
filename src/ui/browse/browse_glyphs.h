#pragma once

#include <QImage>
#include <QPixmap>
#include <string_view>

namespace YVclCtrl {

// The check-box glyphs of the button-like list box, 16 x 16 pixels in 16 colours:
//   "GP_GRAY0" disabled, not selected: grey frame, empty
//   "GP_Gray1" disabled, selected: grey frame, green check mark
//   "GP_Sel0"  enabled, not selected: purple frame, empty
//   "GP_Sel1"  enabled, selected: purple frame, cyan inside, red check mark
// The bottom-left pixel holds the colour that is drawn transparently.
inline constexpr int kBrowseGlyphSize = 16;

// The 16-colour bitmap of a glyph; a null image for an unknown name.
QImage BrowseGlyphBitmap(std::string_view name);
// The glyph ready to draw: its bottom-left pixel's colour made transparent.
QPixmap BrowseGlyph(std::string_view name);

}  // namespace YVclCtrl
