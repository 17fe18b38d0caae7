#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rom/rom_readback.h"

// The floor code table of a ROM image read back: for each floor code in use, what the
// configuration block tells the indicator to show and whether the image holds every picture
// that takes.
namespace tvx {

enum class ResourceState {
  kPresent,     // stored, and a picture the indicator can show
  kEmpty,       // the slot is empty
  kNotAPicture  // stored, but not as a 16-bit 5-6-5 picture (or beyond the end of the file)
};

const char* ResourceStateName(ResourceState state);  // "present", "empty", "not a picture"

struct FloorNeed {
  int bank = 0;
  int slot = 0;
  std::string role;  // "floor character 'B'"
  ResourceState state = ResourceState::kEmpty;
};

enum class FloorShows { kCharacters, kPicture };

struct FloorUse {
  int code = 0;
  std::uint16_t displayCode = 0;
  FloorShows shows = FloorShows::kCharacters;
  std::string text;               // the characters: "B1"; a code outside printable ASCII as <0xA4>
  std::optional<int> background;  // its background number, unless the slide show or no
                                  // background is used
  std::vector<FloorNeed> needs;   // characters or picture first, then the background
};

enum class BackgroundUse { kOff, kPerFloor, kFixed, kSlideShow };

struct FloorReadback {
  bool horizontal = false;  // the arrangement is one of the 320 x 240 screens
  BackgroundUse backgrounds = BackgroundUse::kOff;
  std::vector<FloorUse> floors;  // floor codes whose display code is not 0, ascending
  // One sentence per resource a floor needs that the image does not hold as a picture.
  std::vector<std::string> problems;
};

const char* BackgroundUseName(BackgroundUse use);  // "off", "per floor", ...

// Reads the configuration block at the end of image (a whole ROM image) against its directory.
FloorReadback ReadFloorUse(std::span<const std::uint8_t> image,
                           const std::vector<InspectedResource>& resources);

// The bank 7 slot of a floor's background number: the floor table numbers the vertical
// backgrounds (slots 0..127) on either layout. None beyond 127.
std::optional<int> BackgroundSlot(int number);

}  // namespace tvx
