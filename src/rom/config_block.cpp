#include "rom/config_block.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "image/little_endian.h"
#include "image/rgb565.h"
#include "project/choices.h"

namespace tvx {

namespace {

std::uint8_t byteOf(int value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

// The integer shown by a list entry ("0" .. "600" of the backlight list).
int backlightSeconds(int index) {
  if (index < 0 || index >= static_cast<int>(kBacklightChoices.size())) {
    return 0;
  }
  const std::string_view text = kBacklightChoices[static_cast<std::size_t>(index)];
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// A lamp output: 0 unused, else the slot of the message the list entry names.
std::uint8_t hallLamp(int index) {
  return index <= 0 ? 0 : byteOf(kFirstMessageSlot - 1 + index);
}

std::uint8_t backgroundMode(int autoSlideShow) {
  switch (autoSlideShow) {
    case kSlideshowInTurn:
      return kBackgroundModeSlideShow;
    case kSlideshowFixedPicture0:
      return kBackgroundModeFixed;
    default:
      return kBackgroundModePerFloor;
  }
}

bool verticalArrangement(int layout) {
  return layout == kLayoutArrangement2 || layout == kLayoutArrangement4;
}

}  // namespace

std::uint16_t ColourToRgb565(Colour colour) {
  return Rgb565FromRgb888(static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                          static_cast<std::uint8_t>(colour >> 16));
}

ConfigBlock MakeConfigBlock(Project& project, const ConfigBlockInputs& inputs) {
  namespace at = config_offset;
  ConfigBlock block{};
  std::uint8_t* b = block.data();

  std::memcpy(b + at::kSignature, kConfigSignature.data(), kConfigSignature.size());
  const ResourceCheck& protocol = inputs.checks[ResourceIndex(0, kProtocolResourceSlot)];
  b[at::kProtocolCrc] = protocol.crc;
  b[at::kProtocolCrcComplement] = static_cast<std::uint8_t>(255 - protocol.crc);
  b[at::kProtocolSize] = byteOf(static_cast<int>(protocol.size));
  b[at::kProtocolSize + 1] = byteOf(static_cast<int>(protocol.size >> 8));
  b[at::kProtocolSize + 2] = byteOf(static_cast<int>(protocol.size >> 16));
  std::copy(inputs.tables.backgrounds.begin(), inputs.tables.backgrounds.end(),
            b + at::kBackgroundTable);
  for (int code = 0; code < kFloorCodeCount; ++code) {
    PutU16(b + at::kDisplayCodeTable + 2 * static_cast<std::size_t>(code),
           inputs.tables.displayCodes[code]);
  }

  b[at::kNodeAddress] = byteOf(project.NODEADDR);
  b[at::kDirectionStyle] = byteOf(project.DIR_STYLE - 1);
  b[at::kFloorStyle] = byteOf(project.FL_STYLE);
  PutU16(b + at::kBackgroundColour, ColourToRgb565(project.BKG_COLOR));
  PutU16(b + at::kFloorColour, ColourToRgb565(project.FL_COLOR));
  PutU16(b + at::kMessageBackgroundColour, ColourToRgb565(project.MSGBKG_COLOR));
  b[at::kUseBackgroundPictures] = project.USE_BACKGROUNDBMP != 0 ? 1 : 0;
  b[at::kBackgroundMode] = backgroundMode(project.AUTOSLIDESHOW);
  PutU16(b + at::kSlideShowInterval, static_cast<std::uint32_t>(project.SLIDESHOWTIMEGAP + 1));

  // A protocol without a clock turns the date and time display off.
  const bool dateTimeShown = project.USE_DATETIME != 0 && inputs.settings.DateTimeSupported;
  b[at::kDateStyle] = dateTimeShown ? byteOf(project.DATE_STYLE) : 0;
  b[at::kArrivalBlink] = byteOf(project.ARRIVALBLINK);
  b[at::kMessageStyle] = byteOf(project.MSG_STYLE);
  b[at::kDateTimeDisplay] = dateTimeShown ? 1 : 0;

  const BuildTime& time = inputs.time;
  b[at::kBuildDate] = byteOf(time.year + 48);
  b[at::kBuildDate + 1] = byteOf(time.month);
  b[at::kBuildDate + 2] = byteOf(time.day);
  b[at::kBuildTime] = byteOf(time.hour);
  b[at::kBuildTime + 1] = byteOf(time.minute);
  b[at::kBuildTime + 2] = byteOf(time.second);

  b[at::kHallLamps] = hallLamp(project.HLAMP1);
  b[at::kHallLamps + 1] = hallLamp(project.HLAMP2);
  b[at::kHallLamps + 2] = hallLamp(project.HLAMP3);
  b[at::kStandbyLogo] = project.USE_STANDBYLOGO != 0 ? 1 : 0;
  b[at::kStandbyTime] = byteOf(project.STANDBYTIME + 1);
  PutU16(b + at::kBacklightSaving,
         static_cast<std::uint32_t>(backlightSeconds(project.BACKLIGHTSAVE)));

  if (verticalArrangement(project.Layout)) {
    project.LayoutVariant = 0;
  }
  b[at::kArrangement] = byteOf(project.Layout | project.LayoutVariant);
  b[at::kFixedTwo] = 2;
  PutU16(b + at::kClockColour, ColourToRgb565(project.CLOCK_COLOR));
  b[at::kBacklightControlMode] = byteOf(project.LCDBLCTRLMODE);
  b[at::kTriggerMode] = byteOf(project.PS_MODE);

  std::copy(inputs.backgroundSequence.begin(), inputs.backgroundSequence.end(),
            b + at::kBackgroundSequence);
  // A later message wins a controller input chosen twice.
  for (int message = 0; message < kLiftStateRowCount; ++message) {
    const int input = project.LiftMsgIdx[message];
    if (input >= 1 && input <= static_cast<int>(kMessageCodeTableSize)) {
      b[at::kMessageCodeTable + static_cast<std::size_t>(input - 1)] =
          byteOf(kFirstMessageSlot + message);
    }
  }
  return block;
}

}  // namespace tvx
