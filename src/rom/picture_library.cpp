#include "rom/picture_library.h"

#include "rom/rom_layout.h"

namespace tvx {

namespace {

std::uint32_t getBigEndianU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

}  // namespace

LibraryResource FindLibraryResource(std::span<const std::uint8_t> library, int bank, int slot) {
  if (library.empty()) {
    return {LibraryLookup::kNoLibrary, {}};
  }
  if (bank < 0 || bank >= kBankCount || slot < 0 || slot >= kSlotCount) {
    return {LibraryLookup::kOutOfRange, {}};
  }
  const std::size_t entry = GlbEntryOffset(bank, slot);
  if (entry + kGlbEntrySize > library.size()) {
    return {LibraryLookup::kEmptySlot, {}};
  }
  const std::uint64_t offset = getBigEndianU32(library.data() + entry);
  const std::uint64_t size = getBigEndianU32(library.data() + entry + 4);
  if (size == 0) {
    return {LibraryLookup::kEmptySlot, {}};
  }
  if (offset + size > library.size()) {
    return {LibraryLookup::kPastEnd, {}};
  }
  return {LibraryLookup::kFound, library.subspan(offset, size)};
}

}  // namespace tvx
