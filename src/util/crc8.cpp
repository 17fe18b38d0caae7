#include "util/crc8.h"

namespace YVclUtil {
namespace {

constexpr std::array<std::uint8_t, 256> makeTable() {
  std::array<std::uint8_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned crc = i;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1U) != 0 ? (crc >> 1) ^ 0x8CU : crc >> 1;
    }
    table[i] = static_cast<std::uint8_t>(crc);
  }
  return table;
}

constexpr std::array<std::uint8_t, 256> kTable = makeTable();

// Slicing by eight: kSlices[k][x] is the CRC of byte x followed by k zero bytes, so eight bytes
// fold in with eight independent lookups instead of a chain of eight dependent ones.
constexpr std::array<std::array<std::uint8_t, 256>, 8> makeSlices() {
  std::array<std::array<std::uint8_t, 256>, 8> slices{};
  slices[0] = kTable;
  for (int k = 1; k < 8; ++k) {
    for (unsigned x = 0; x < 256; ++x) {
      slices[k][x] = kTable[slices[k - 1][x]];
    }
  }
  return slices;
}

constexpr std::array<std::array<std::uint8_t, 256>, 8> kSlices = makeSlices();

}  // namespace

const std::array<std::uint8_t, 256> kCrc8MaximTable = kTable;

std::uint8_t Crc8Maxim(std::span<const std::uint8_t> data, std::uint8_t crc) {
  const std::uint8_t* p = data.data();
  std::size_t n = data.size();
  while (n >= 8) {
    crc = static_cast<std::uint8_t>(kSlices[7][crc ^ p[0]] ^ kSlices[6][p[1]] ^ kSlices[5][p[2]] ^
                                    kSlices[4][p[3]] ^ kSlices[3][p[4]] ^ kSlices[2][p[5]] ^
                                    kSlices[1][p[6]] ^ kSlices[0][p[7]]);
    p += 8;
    n -= 8;
  }
  while (n-- > 0) {
    crc = kTable[crc ^ *p++];
  }
  return crc;
}

std::uint8_t Crc8Maxim(const void* data, std::size_t size, std::uint8_t crc) {
  return Crc8Maxim(std::span(static_cast<const std::uint8_t*>(data), size), crc);
}

}  // namespace YVclUtil
