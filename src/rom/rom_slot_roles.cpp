#include "rom/rom_slot_roles.h"

#include <array>
#include <string_view>

#include "rom/floor_code_table.h"
#include "rom/resource_list.h"
#include "rom/rom_layout.h"
#include "util/printf_format.h"

namespace tvx {

namespace {

using YVclUtil::FormatPrintf;

constexpr std::array<std::string_view, 10> kMessageNames{
    "fire",        "earthquake", "alarm", "power failure", "overload",
    "maintenance", "full load",  "VIP",   "parking",       "independent service"};
constexpr std::array<std::string_view, 7> kWeekdayNames{
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
constexpr std::array<std::string_view, 12> kMonthNames{
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 4> kArrowNames{"arrow up 0", "arrow up 1", "arrow down 0",
                                                      "arrow down 1"};

// The four groups of ten message slots, and which of a message's pictures each holds (the
// default pictures put the Chinese ones in columns A and B, the English ones in C and D).
struct MessageGroup {
  int firstSlot;
  std::string_view picture;
};
constexpr std::array<MessageGroup, 4> kMessageGroups{{
    {kMessageSlotColumnA, "first Chinese picture"},
    {kMessageSlotColumnB, "second Chinese picture"},
    {kMessageSlotColumnC, "first English picture"},
    {kMessageSlotColumnD, "second English picture"},
}};

// Library resources the build copies into bank 0 at the same slot: clock characters and the
// picture shown while no floor signal arrives.
constexpr int kFirstClockDigitSlot = 47;
constexpr std::array<std::string_view, 6> kClockSignNames{
    "clock character ':'",   "clock character '/'", "clock character year",
    "clock character month", "clock character day", "clock blank cell"};
constexpr std::array<int, 6> kClockSignSlots{57, 58, 123, 124, 125, 126};
constexpr int kNoSignalSlot = 255;

SlotDescription picture(std::string name, bool alwaysFilled) {
  return {std::move(name), SlotContent::kPicture, alwaysFilled};
}

SlotDescription bankZeroRole(int slot) {
  if (slot >= kFirstWeekdaySlot && slot < kFirstWeekdaySlot + 7) {
    return picture("weekday " + std::string(kWeekdayNames[slot - kFirstWeekdaySlot]), true);
  }
  if (slot >= kFirstMonthSlot && slot < kFirstMonthSlot + 12) {
    return picture("month " + std::string(kMonthNames[slot - kFirstMonthSlot]), true);
  }
  if (slot >= kFirstClockDigitSlot && slot < kFirstClockDigitSlot + 10) {
    return {FormatPrintf("clock character '%d'", slot - kFirstClockDigitSlot),
            SlotContent::kLibrary, false};
  }
  for (std::size_t i = 0; i < kClockSignSlots.size(); ++i) {
    if (slot == kClockSignSlots[i]) {
      return {std::string(kClockSignNames[i]), SlotContent::kLibrary, false};
    }
  }
  if (slot == kNoSignalSlot) {
    return {"no-signal picture", SlotContent::kLibrary, false};
  }
  if (slot == kStandbyLogoSlot) {
    return picture("standby logo", false);
  }
  if (slot == kProtocolResourceSlot) {
    return {"protocol resource", SlotContent::kProtocol, true};
  }
  if (slot >= kFirstArrowSlot && slot < kFirstArrowSlot + 4) {
    return picture(std::string(kArrowNames[slot - kFirstArrowSlot]), true);
  }
  for (const MessageGroup& group : kMessageGroups) {
    if (slot >= group.firstSlot && slot < group.firstSlot + 10) {
      return picture(std::string(kMessageNames[slot - group.firstSlot]) + " message, " +
                         std::string(group.picture),
                     true);
    }
  }
  return {"not used by the build", SlotContent::kUnused, false};
}

// "'B'" for a printable ASCII character, "0xA4" for any other code.
std::string characterName(int code) {
  if (code >= 0x20 && code < 0x7F) {
    return FormatPrintf("'%c'", code);
  }
  return FormatPrintf("0x%02X", code);
}

bool alwaysInUseCharacter(int code) {
  return (code >= '0' && code <= '9') || code == 'S';
}

}  // namespace

SlotDescription DescribeRomSlot(int bank, int slot) {
  if (bank == 0) {
    return bankZeroRole(slot);
  }
  if (bank == kFloorCharacterBank) {
    return picture("floor character " + characterName(slot), alwaysInUseCharacter(slot));
  }
  if (bank == kCodeTablePictureBank) {
    return picture(FormatPrintf("picture of floor code 0x%02X", slot), false);
  }
  if (bank == kBackgroundBank) {
    return slot < kFirstHorizontalBackgroundSlot
               ? picture(FormatPrintf("vertical background %d", slot), false)
               : picture(FormatPrintf("horizontal background %d",
                                      slot - kFirstHorizontalBackgroundSlot),
                         false);
  }
  return {"not used by the build", SlotContent::kUnused, false};
}

SlotDescription DescribeLibrarySlot(int slot) {
  return {FormatPrintf("library resource %d", slot), SlotContent::kLibrary, false};
}

}  // namespace tvx
