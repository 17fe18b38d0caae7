#include "rom/rom_floor_readback.h"

#include <map>

#include "project/project.h"
#include "rom/config_block.h"
#include "rom/floor_code_table.h"
#include "rom/resource_list.h"
#include "rom/rom_layout.h"
#include "rom/rom_slot_roles.h"
#include "rom/stored_picture.h"
#include "util/printf_format.h"

namespace tvx {

namespace {

using YVclUtil::FormatPrintf;

constexpr int kArrangementMask = 0xF0;  // the low nibble is the variant

class ResourceStates {
 public:
  ResourceStates(std::span<const std::uint8_t> image,
                 const std::vector<InspectedResource>& resources) {
    for (const InspectedResource& r : resources) {
      const bool picture =
          r.inside && ReadStoredPictureHeader(image.subspan(r.offset, r.size)).ok();
      m_states[ResourceIndex(r.bank, r.slot)] =
          picture ? ResourceState::kPresent : ResourceState::kNotAPicture;
    }
  }

  FloorNeed need(int bank, int slot) const {
    const auto found = m_states.find(ResourceIndex(bank, slot));
    return {bank, slot, DescribeRomSlot(bank, slot).name,
            found == m_states.end() ? ResourceState::kEmpty : found->second};
  }

 private:
  std::map<int, ResourceState> m_states;
};

std::string characterText(int code) {
  return code >= 0x20 && code < 0x7F ? std::string(1, static_cast<char>(code))
                                     : FormatPrintf("<0x%02X>", code);
}

BackgroundUse backgroundUse(const std::uint8_t* block) {
  if (block[config_offset::kUseBackgroundPictures] == 0) {
    return BackgroundUse::kOff;
  }
  switch (block[config_offset::kBackgroundMode]) {
    case kBackgroundModePerFloor:
      return BackgroundUse::kPerFloor;
    case kBackgroundModeFixed:
      return BackgroundUse::kFixed;
    default:
      return BackgroundUse::kSlideShow;
  }
}

FloorUse readFloor(int code, std::uint16_t displayCode, const ResourceStates& states) {
  FloorUse floor;
  floor.code = code;
  floor.displayCode = displayCode;
  if ((displayCode & 0xFF00) == kCodeTablePictureMark) {
    floor.shows = FloorShows::kPicture;
    floor.needs.push_back(states.need(kCodeTablePictureBank, displayCode & 0xFF));
    return floor;
  }
  const int first = displayCode >> 8;
  const int second = displayCode & 0xFF;
  if (first != 0) {
    floor.text += characterText(first);
    floor.needs.push_back(states.need(kFloorCharacterBank, first));
  }
  floor.text += characterText(second);
  floor.needs.push_back(states.need(kFloorCharacterBank, second));
  return floor;
}

// "floor codes 0x00, 0x07".
std::string codeList(const std::vector<int>& codes) {
  std::string text = codes.size() == 1 ? "floor code" : "floor codes";
  for (std::size_t i = 0; i < codes.size(); ++i) {
    text += FormatPrintf("%s 0x%02X", i == 0 ? "" : ",", codes[i]);
  }
  return text;
}

void collectProblems(FloorReadback& readback) {
  std::map<std::pair<int, int>, std::pair<FloorNeed, std::vector<int>>> missing;
  std::map<int, std::vector<int>> beyond;
  for (const FloorUse& floor : readback.floors) {
    for (const FloorNeed& need : floor.needs) {
      // An empty slot that every build fills is reported as such already.
      const bool reported =
          need.state == ResourceState::kEmpty && DescribeRomSlot(need.bank, need.slot).alwaysFilled;
      if (need.state != ResourceState::kPresent && !reported) {
        auto& entry = missing[{need.bank, need.slot}];
        entry.first = need;
        entry.second.push_back(floor.code);
      }
    }
    if (floor.background && !BackgroundSlot(*floor.background)) {
      beyond[*floor.background].push_back(floor.code);
    }
  }
  for (const auto& [slot, entry] : missing) {
    const FloorNeed& need = entry.first;
    readback.problems.push_back(FormatPrintf(
        "bank %d slot %d (%s) is %s; %s show%s it", need.bank, need.slot, need.role.c_str(),
        need.state == ResourceState::kEmpty ? "empty" : "not a picture",
        codeList(entry.second).c_str(), entry.second.size() == 1 ? "s" : ""));
  }
  for (const auto& [number, codes] : beyond) {
    readback.problems.push_back(FormatPrintf("background %d does not exist (a screen has 128); %s",
                                             number, codeList(codes).c_str()) +
                                (codes.size() == 1 ? " shows it" : " show it"));
  }
}

}  // namespace

const char* ResourceStateName(ResourceState state) {
  switch (state) {
    case ResourceState::kPresent:
      return "present";
    case ResourceState::kEmpty:
      return "empty";
    case ResourceState::kNotAPicture:
      break;
  }
  return "not a picture";
}

const char* BackgroundUseName(BackgroundUse use) {
  switch (use) {
    case BackgroundUse::kOff:
      return "off";
    case BackgroundUse::kPerFloor:
      return "per floor";
    case BackgroundUse::kFixed:
      return "fixed picture 0";
    case BackgroundUse::kSlideShow:
      break;
  }
  return "slide show";
}

std::optional<int> BackgroundSlot(int number) {
  if (number < 0 || number >= kFirstHorizontalBackgroundSlot) {
    return std::nullopt;
  }
  return number;
}

FloorReadback ReadFloorUse(std::span<const std::uint8_t> image,
                           const std::vector<InspectedResource>& resources) {
  FloorReadback readback;
  if (image.size() < kConfigBlockSize) {
    return readback;
  }
  const std::uint8_t* block = image.data() + image.size() - kConfigBlockSize;
  const int arrangement = block[config_offset::kArrangement] & kArrangementMask;
  readback.horizontal = arrangement == kLayoutArrangement1 || arrangement == kLayoutArrangement3;
  readback.backgrounds = backgroundUse(block);
  const ResourceStates states(image, resources);
  for (int code = 0; code < kFloorCodeCount; ++code) {
    const std::size_t at = config_offset::kDisplayCodeTable + 2 * static_cast<std::size_t>(code);
    const auto displayCode = static_cast<std::uint16_t>(block[at] | block[at + 1] << 8);
    if (displayCode == 0) {
      continue;
    }
    FloorUse floor = readFloor(code, displayCode, states);
    if (readback.backgrounds == BackgroundUse::kFixed) {
      floor.background = 0;
    } else if (readback.backgrounds == BackgroundUse::kPerFloor) {
      floor.background = block[config_offset::kBackgroundTable + static_cast<std::size_t>(code)];
    }
    if (floor.background) {
      if (const std::optional<int> slot = BackgroundSlot(*floor.background)) {
        floor.needs.push_back(states.need(kBackgroundBank, *slot));
      }
    }
    readback.floors.push_back(std::move(floor));
  }
  collectProblems(readback);
  return readback;
}

}  // namespace tvx
