#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "util/rom_image_format.h"

// The layout of what the indicator's flash memory receives: a GLB (a directory of 8 banks of
// 256 resources, then their data), the fill pattern, and a 4096-byte configuration block at the
// very end. The indicator's firmware reads these bytes and cannot be changed.
namespace tvx {

inline constexpr int kBankCount = 8;
inline constexpr int kSlotCount = 256;
inline constexpr int kResourceCount = kBankCount * kSlotCount;

inline constexpr std::size_t kGlbEntrySize = 8;
inline constexpr std::size_t kGlbDirectoryOffset = kGlbSignature.size();
inline constexpr std::size_t kGlbDirectorySize = kResourceCount * kGlbEntrySize;  // 16384
inline constexpr std::size_t kGlbDataOffset = kGlbDirectoryOffset + kGlbDirectorySize;
// The resources of one GLB never take more than this (the assembler's data area).
inline constexpr std::size_t kGlbDataCapacity = 16777216;
inline constexpr std::size_t kGlbMaxSize = kGlbDataOffset + kGlbDataCapacity;

inline constexpr std::size_t kConfigBlockSize = 4096;
// The header CRC of the configuration block covers the image's first 16 KiB.
inline constexpr std::size_t kHeaderCrcLength = 16384;

// Where the entry of bank b, slot n lies in a GLB (the picture library uses the same place).
constexpr std::size_t GlbEntryOffset(int bank, int slot) {
  return kGlbDirectoryOffset +
         (static_cast<std::size_t>(bank) * kSlotCount + static_cast<std::size_t>(slot)) *
             kGlbEntrySize;
}

constexpr int ResourceIndex(int bank, int slot) {
  return bank * kSlotCount + slot;
}

// CRC-8/MAXIM and size of one stored resource; both 0 for an empty slot.
struct ResourceCheck {
  std::uint8_t crc = 0;
  std::uint32_t size = 0;
  bool operator==(const ResourceCheck&) const = default;
};

// The check values of every bank and slot, indexed by ResourceIndex.
using ResourceChecks = std::array<ResourceCheck, kResourceCount>;

// Bank 0 slot 98 holds the controller protocol's resource; the configuration block carries its
// check values.
inline constexpr int kProtocolResourceSlot = 98;

}  // namespace tvx
