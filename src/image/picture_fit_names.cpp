#include "image/picture_fit_names.h"

#include <array>
#include <cstdio>
#include <utility>

#include "util/hex.h"

namespace tvx {
namespace {

constexpr std::array<std::pair<PictureSlot, std::string_view>, 7> kSlotNames{{
    {PictureSlot::kMessage, "message"},
    {PictureSlot::kDate, "date"},
    {PictureSlot::kArrow, "arrow"},
    {PictureSlot::kBackgroundVertical, "background-v"},
    {PictureSlot::kBackgroundHorizontal, "background-h"},
    {PictureSlot::kLogo, "logo"},
    {PictureSlot::kFloor, "floor"},
}};

constexpr std::array<std::pair<FitMode, std::string_view>, 3> kFitNames{{
    {FitMode::kPad, "pad"},
    {FitMode::kCrop, "crop"},
    {FitMode::kStretch, "stretch"},
}};

template <typename Value, std::size_t N>
std::optional<Value> Find(const std::array<std::pair<Value, std::string_view>, N>& names,
                          std::string_view name) {
  for (const auto& [value, text] : names) {
    if (text == name) {
      return value;
    }
  }
  return std::nullopt;
}

template <typename Value, std::size_t N>
std::string_view NameOf(const std::array<std::pair<Value, std::string_view>, N>& names,
                        Value value) {
  for (const auto& [known, text] : names) {
    if (known == value) {
      return text;
    }
  }
  return {};
}

}  // namespace

std::optional<PictureSlot> ParsePictureSlot(std::string_view name) {
  return Find(kSlotNames, name);
}

std::string_view PictureSlotName(PictureSlot slot) {
  return NameOf(kSlotNames, slot);
}

std::optional<FitMode> ParseFitMode(std::string_view name) {
  return Find(kFitNames, name);
}

std::string_view FitModeName(FitMode mode) {
  return NameOf(kFitNames, mode);
}

std::optional<std::uint32_t> ParseRgbColour(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') {
    return std::nullopt;
  }
  std::uint32_t rgb = 0;
  for (char c : text.substr(1)) {
    const int digit = YVclUtil::HexDigitValue(c);
    if (digit < 0) {
      return std::nullopt;
    }
    rgb = rgb << 4 | static_cast<std::uint32_t>(digit);
  }
  return rgb;
}

std::string FormatRgbColour(std::uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFFU));
  return text;
}

}  // namespace tvx
