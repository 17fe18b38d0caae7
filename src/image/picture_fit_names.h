#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/picture_fit.h"
#include "image/picture_slot.h"

// The words the command line uses for slots, fit modes and colours.
namespace tvx {

// message, date, arrow, background-v, background-h, logo, floor.
std::optional<PictureSlot> ParsePictureSlot(std::string_view name);
std::string_view PictureSlotName(PictureSlot slot);

// pad, crop, stretch.
std::optional<FitMode> ParseFitMode(std::string_view name);
std::string_view FitModeName(FitMode mode);

// "#RRGGBB" in either case to 0xRRGGBB, and back in upper case.
std::optional<std::uint32_t> ParseRgbColour(std::string_view text);
std::string FormatRgbColour(std::uint32_t rgb);

}  // namespace tvx
