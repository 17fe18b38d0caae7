#include "rom/rom_readback.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "project/program_state.h"
#include "rom/config_block.h"
#include "rom/rom_floor_readback.h"
#include "rom/rom_image.h"
#include "rom/rom_layout.h"
#include "rom/rom_slot_roles.h"
#include "rom/stored_picture.h"
#include "util/crc8.h"

namespace tvx {

namespace {

constexpr std::string_view kLibrarySignature = "KWXGLB2B";

std::uint32_t readU32(const std::uint8_t* p, bool bigEndian) {
  if (bigEndian) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
  }
  return static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[2]) << 16 |
         static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

std::uint32_t readLittle(const std::uint8_t* p, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = size; i > 0; --i) {
    value = value << 8 | p[i - 1];
  }
  return value;
}

std::string hexByte(std::uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

// False when the directory is cut short.
bool readDirectory(std::span<const std::uint8_t> bytes, bool bigEndian, RomInspection& result) {
  result.glbSize = std::min<std::uint64_t>(bytes.size(), kGlbDataOffset);
  for (int bank = 0; bank < kBankCount; ++bank) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const std::size_t entry = GlbEntryOffset(bank, slot);
      if (entry + kGlbEntrySize > bytes.size()) {
        result.problems.push_back("the directory is cut short at bank " + std::to_string(bank) +
                                  " slot " + std::to_string(slot));
        return false;
      }
      InspectedResource resource;
      resource.bank = bank;
      resource.slot = slot;
      resource.offset = readU32(bytes.data() + entry, bigEndian);
      resource.size = readU32(bytes.data() + entry + 4, bigEndian);
      if (resource.offset == 0 && resource.size == 0) {
        continue;
      }
      const std::uint64_t end = static_cast<std::uint64_t>(resource.offset) + resource.size;
      resource.inside = end <= bytes.size();
      if (resource.inside) {
        resource.crc = YVclUtil::Crc8Maxim(bytes.subspan(resource.offset, resource.size));
        result.glbSize = std::max(result.glbSize, end);
      } else {
        result.problems.push_back("bank " + std::to_string(bank) + " slot " + std::to_string(slot) +
                                  " reaches beyond the end of the file");
      }
      result.resources.push_back(resource);
    }
  }
  return true;
}

class FieldReader {
 public:
  FieldReader(const std::uint8_t* block, std::vector<InspectedField>& fields,
              std::vector<bool>& covered)
      : m_block(block), m_fields(fields), m_covered(covered) {}

  void number(const char* name, std::size_t offset, std::size_t size = 1) {
    add(name, offset, size, {readLittle(m_block + offset, size)}, false, "");
  }
  void bytes(const char* name, std::size_t offset, std::size_t count) {
    std::vector<std::uint32_t> values(m_block + offset, m_block + offset + count);
    add(name, offset, count, std::move(values), true, "");
  }
  void words(const char* name, std::size_t offset, std::size_t count) {
    std::vector<std::uint32_t> values;
    for (std::size_t i = 0; i < count; ++i) {
      values.push_back(readLittle(m_block + offset + 2 * i, 2));
    }
    add(name, offset, 2 * count, std::move(values), true, "");
  }
  void text(const char* name, std::size_t offset, std::size_t size) {
    std::string value;
    for (std::size_t i = 0; i < size; ++i) {
      const char c = static_cast<char>(m_block[offset + i]);
      value += c >= 0x20 && c < 0x7F ? c : '.';
    }
    add(name, offset, size, {}, false, value);
  }
  void triple(const char* name, std::size_t offset, const char* format, int firstBias) {
    const std::uint8_t* p = m_block + offset;
    char value[32];
    std::snprintf(value, sizeof value, format, p[0] + firstBias, static_cast<int>(p[1]),
                  static_cast<int>(p[2]));
    add(name, offset, 3, {p[0], p[1], p[2]}, true, value);
  }

 private:
  void add(const char* name, std::size_t offset, std::size_t size,
           std::vector<std::uint32_t> values, bool list, std::string text) {
    std::fill(m_covered.begin() + static_cast<std::ptrdiff_t>(offset),
              m_covered.begin() + static_cast<std::ptrdiff_t>(offset + size), true);
    m_fields.push_back({name, offset, size, std::move(values), list, std::move(text)});
  }

  const std::uint8_t* m_block;
  std::vector<InspectedField>& m_fields;
  std::vector<bool>& m_covered;
};

void readConfigBlock(std::span<const std::uint8_t> image, RomInspection& result) {
  namespace at = config_offset;
  const std::uint8_t* block = image.data() + image.size() - kConfigBlockSize;
  std::vector<bool> covered(kConfigBlockSize, false);
  FieldReader read(block, result.fields, covered);
  read.text("signature", at::kSignature, kConfigSignature.size());
  read.number("header_crc", at::kHeaderCrc);
  read.number("protocol_crc", at::kProtocolCrc);
  read.number("protocol_crc_complement", at::kProtocolCrcComplement);
  read.number("protocol_size", at::kProtocolSize, 3);
  read.bytes("background_table", at::kBackgroundTable, 256);
  read.words("display_code_table", at::kDisplayCodeTable, 256);
  read.number("node_address", at::kNodeAddress);
  read.number("direction_style", at::kDirectionStyle);
  read.number("floor_style", at::kFloorStyle);
  read.number("background_colour", at::kBackgroundColour, 2);
  read.number("floor_colour", at::kFloorColour, 2);
  read.number("message_background_colour", at::kMessageBackgroundColour, 2);
  read.number("use_background_pictures", at::kUseBackgroundPictures);
  read.number("background_mode", at::kBackgroundMode);
  read.number("slide_show_interval", at::kSlideShowInterval, 2);
  read.number("date_style", at::kDateStyle);
  read.number("arrival_blink", at::kArrivalBlink);
  read.number("message_style", at::kMessageStyle);
  read.number("date_time_display", at::kDateTimeDisplay);
  read.triple("build_date", at::kBuildDate, "%04d-%02d-%02d", 2000);
  read.triple("build_time", at::kBuildTime, "%02d:%02d:%02d", 0);
  read.bytes("hall_lamps", at::kHallLamps, 3);
  read.number("standby_logo", at::kStandbyLogo);
  read.number("standby_time", at::kStandbyTime);
  read.number("backlight_saving", at::kBacklightSaving, 2);
  read.number("arrangement", at::kArrangement);
  read.number("fixed_two", at::kFixedTwo);
  read.number("clock_colour", at::kClockColour, 2);
  read.number("backlight_control_mode", at::kBacklightControlMode);
  read.number("trigger_mode", at::kTriggerMode);
  read.bytes("background_sequence", at::kBackgroundSequence, 256);
  read.bytes("message_code_table", at::kMessageCodeTable, kMessageCodeTableSize);

  result.configSignatureOk =
      std::equal(kConfigSignature.begin(), kConfigSignature.end(), block,
                 [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
  if (!result.configSignatureOk) {
    result.problems.push_back("the configuration block does not begin with \"KWXDPLCD88\"");
  }
  for (std::size_t i = 0; i < kConfigBlockSize; ++i) {
    if (!covered[i] && block[i] != 0) {
      ++result.reservedNonZero;
    }
  }
  if (result.reservedNonZero != 0) {
    result.problems.push_back(std::to_string(result.reservedNonZero) +
                              " reserved bytes of the configuration block are not 0");
  }

  result.headerCrcStored = block[at::kHeaderCrc];
  result.headerCrcComputed = YVclUtil::Crc8Maxim(image.data(), kHeaderCrcLength);
  if (result.headerCrcStored != result.headerCrcComputed) {
    result.problems.push_back("header CRC " + hexByte(result.headerCrcStored) +
                              " differs from the image's " + hexByte(result.headerCrcComputed));
  }

  ResourceCheck protocol;
  for (const InspectedResource& resource : result.resources) {
    if (resource.bank == 0 && resource.slot == kProtocolResourceSlot && resource.inside) {
      protocol = {resource.crc, resource.size};
    }
  }
  result.protocolChecksOk = block[at::kProtocolCrc] == protocol.crc &&
                            block[at::kProtocolCrcComplement] == 255 - protocol.crc &&
                            readLittle(block + at::kProtocolSize, 3) == protocol.size;
  if (!result.protocolChecksOk) {
    result.problems.push_back(
        "the protocol resource's CRC or size (bytes 11 to 15) do not match "
        "bank 0 slot 98");
  }
}

void checkFill(std::span<const std::uint8_t> image, RomInspection& result) {
  const std::uint64_t fillEnd = image.size() - kConfigBlockSize;
  if (result.glbSize > fillEnd) {
    result.problems.push_back("the GLB reaches into the configuration block");
    return;
  }
  result.fillOk = true;
  for (std::uint64_t i = result.glbSize; i < fillEnd; ++i) {
    if (image[i] != RomFillByte(i)) {
      result.fillOk = false;
      result.firstFillMismatch = i;
      result.problems.push_back("the fill pattern differs at offset " + std::to_string(i));
      return;
    }
  }
}

std::string slotName(int bank, int slot, const SlotDescription& role) {
  return "bank " + std::to_string(bank) + " slot " + std::to_string(slot) + " (" + role.name + ")";
}

// Slots every build fills left empty, pictures that are none, and the picture library's
// resources all missing (a build without the library file).
void checkRoles(std::span<const std::uint8_t> bytes, RomInspection& result) {
  std::vector<bool> stored(kResourceCount, false);
  for (const InspectedResource& resource : result.resources) {
    stored[static_cast<std::size_t>(ResourceIndex(resource.bank, resource.slot))] = true;
    const SlotDescription role = DescribeRomSlot(resource.bank, resource.slot);
    if (role.content != SlotContent::kPicture || !resource.inside) {
      continue;
    }
    const Result<StoredPictureHeader> header =
        ReadStoredPictureHeader(bytes.subspan(resource.offset, resource.size));
    if (!header) {
      result.problems.push_back(
          slotName(resource.bank, resource.slot, role) +
          " is not a picture the indicator can show: " + header.error().detail);
    }
  }
  bool libraryFound = false;
  for (int bank = 0; bank < kBankCount; ++bank) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const SlotDescription role = DescribeRomSlot(bank, slot);
      const bool isStored = stored[static_cast<std::size_t>(ResourceIndex(bank, slot))];
      libraryFound = libraryFound || (role.content == SlotContent::kLibrary && isStored);
      if (role.alwaysFilled && !isStored) {
        result.emptyAlwaysFilled.push_back({bank, slot});
        result.problems.push_back(slotName(bank, slot, role) +
                                  " is empty, though every build fills it");
      }
    }
  }
  if (!libraryFound) {
    result.problems.push_back(
        "the picture library's resources (bank 0 slots 47 to 58, 123 to 126 and 255) are all "
        "empty: was the image built without the picture library?");
  }
}

}  // namespace

const char* RomFileKindName(RomFileKind kind) {
  switch (kind) {
    case RomFileKind::kRomImage:
      return "ROM image";
    case RomFileKind::kGlb:
      return "GLB";
    case RomFileKind::kLibrary:
      return "picture library";
    case RomFileKind::kUnknown:
      break;
  }
  return "unknown";
}

RomFileKind RomFileKindOf(std::span<const std::uint8_t> head, std::uint64_t fileSize) {
  const std::size_t tagLength = std::min(head.size(), kGlbSignature.size());
  const std::string_view tag(reinterpret_cast<const char*>(head.data()), tagLength);
  if (tag == kGlbSignature) {
    const bool romSized = fileSize == kRomImageSize32 || fileSize == kRomImageSize64;
    return romSized ? RomFileKind::kRomImage : RomFileKind::kGlb;
  }
  return tag == kLibrarySignature ? RomFileKind::kLibrary : RomFileKind::kUnknown;
}

RomInspection InspectRomFile(std::span<const std::uint8_t> bytes) {
  RomInspection result;
  result.fileSize = bytes.size();
  const std::size_t tagLength = std::min(bytes.size(), kGlbSignature.size());
  result.signature.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(tagLength));
  for (char& c : result.signature) {
    if (c < 0x20 || c >= 0x7F) {
      c = '.';
    }
  }
  result.kind = RomFileKindOf(bytes.first(tagLength), bytes.size());
  if (result.kind == RomFileKind::kUnknown) {
    result.problems.push_back("the file begins with neither \"KWXGLB2L\" nor \"KWXGLB2B\"");
    return result;
  }
  const bool directoryComplete = readDirectory(bytes, result.kind == RomFileKind::kLibrary, result);
  const bool checkSlots = directoryComplete && result.kind != RomFileKind::kLibrary;
  if (result.kind != RomFileKind::kRomImage) {
    if (checkSlots) {
      checkRoles(bytes, result);
    }
    return result;
  }
  result.capacity = bytes.size();
  result.memoryUsed = RomMemoryUsed(result.glbSize);
  result.memoryLeft =
      result.memoryUsed <= result.capacity ? result.capacity - result.memoryUsed : 0;
  readConfigBlock(bytes, result);
  checkFill(bytes, result);
  if (checkSlots) {
    checkRoles(bytes, result);
    const FloorReadback floors = ReadFloorUse(bytes, result.resources);
    result.problems.insert(result.problems.end(), floors.problems.begin(), floors.problems.end());
  }
  return result;
}

}  // namespace tvx
