#pragma once

#include <cstdint>
#include <span>

// The picture library "T880_PCGLB.GLB", loaded whole into memory at start-up: the GLB
// directory layout, but with offset and size big-endian. Its content is data delivered with
// the tool, so every entry is checked against the file's real length.
namespace tvx {

enum class LibraryLookup {
  kFound,
  kNoLibrary,   // the library file was not loaded
  kOutOfRange,  // bank above 7 or number above 255 (or negative)
  kEmptySlot,   // size 0, or the directory itself is cut short before the entry
  kPastEnd,     // offset and size reach beyond the end of the file
};

struct LibraryResource {
  LibraryLookup status = LibraryLookup::kNoLibrary;
  std::span<const std::uint8_t> bytes;  // the resource when found
};

// Looks up resource (bank, slot) in a loaded library; an empty span means no library.
LibraryResource FindLibraryResource(std::span<const std::uint8_t> library, int bank, int slot);

}  // namespace tvx
