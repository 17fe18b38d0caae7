#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Reads a ROM image, a GLB or the picture library back: the directory with each resource's CRC,
// the configuration block field by field, and whether the image's own checks hold: also that
// every slot a build always fills holds something, that what the indicator shows as a picture
// is one, and that each floor code in use finds its pictures. Every offset is checked against
// the real length, so any file can be looked at.
namespace tvx {

enum class RomFileKind {
  kRomImage,  // "KWXGLB2L" and exactly 4 MiB or 8 MiB
  kGlb,       // "KWXGLB2L", another length
  kLibrary,   // "KWXGLB2B": the picture library, directory entries big-endian
  kUnknown,
};

struct InspectedResource {
  int bank = 0;
  int slot = 0;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  bool inside = false;   // the resource lies within the file
  std::uint8_t crc = 0;  // CRC-8/MAXIM of its bytes, when inside
};

// One field of the configuration block: a number, a list of numbers, or a text.
struct InspectedField {
  std::string name;  // snake_case
  std::size_t offset = 0;
  std::size_t size = 0;
  std::vector<std::uint32_t> values;  // one value for plain numbers
  bool list = false;
  std::string text;  // text fields, and a readable form of dates and times
};

struct SlotAddress {
  int bank = 0;
  int slot = 0;
};

struct RomInspection {
  RomFileKind kind = RomFileKind::kUnknown;
  std::uint64_t fileSize = 0;
  std::string signature;                     // the first eight bytes as text
  std::vector<InspectedResource> resources;  // the non-empty directory entries
  std::uint64_t glbSize = 0;  // end of the last resource, at least the directory's end
  // ROM images and GLBs: the slots every build fills that this one leaves empty.
  std::vector<SlotAddress> emptyAlwaysFilled;

  // ROM images only.
  std::uint64_t capacity = 0;
  std::uint64_t memoryUsed = 0;
  std::uint64_t memoryLeft = 0;
  bool configSignatureOk = false;
  std::uint8_t headerCrcStored = 0;
  std::uint8_t headerCrcComputed = 0;
  bool fillOk = false;
  std::optional<std::uint64_t> firstFillMismatch;
  bool protocolChecksOk = false;    // bytes 11..15 match the resource in bank 0 slot 98
  std::size_t reservedNonZero = 0;  // reserved bytes of the block that are not 0
  std::vector<InspectedField> fields;

  // Problems found, one sentence each; empty when every check holds.
  std::vector<std::string> problems;
};

RomInspection InspectRomFile(std::span<const std::uint8_t> bytes);

// The kind by the file's first bytes (eight are enough) and its length alone.
RomFileKind RomFileKindOf(std::span<const std::uint8_t> head, std::uint64_t fileSize);

const char* RomFileKindName(RomFileKind kind);

}  // namespace tvx
