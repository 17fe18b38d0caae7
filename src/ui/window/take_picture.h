#pragma once

#include <optional>
#include <string>

#include "image/picture_slot.h"

class QWidget;

namespace tvx {

class Studio;

// The one way a picture the technician chooses, drops or types gets into a slot of the window.
// A file that cannot be decoded is refused with a message naming it and why; one the slot does
// not take as it is comes with the offer to fit it (FitOfferDialog), shown over parent. The
// answer is the path the slot is to hold: the fitted copy's, or the original's when the offer
// is declined; nothing leaves the slot as it was.
std::optional<std::string> TakePicture(Studio& studio, const std::string& path, PictureSlot slot,
                                       QWidget* parent);

}  // namespace tvx
