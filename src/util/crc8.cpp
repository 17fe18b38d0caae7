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

}  // namespace

const std::array<std::uint8_t, 256> kCrc8MaximTable = makeTable();

std::uint8_t Crc8Maxim(std::span<const std::uint8_t> data, std::uint8_t crc) {
  for (std::uint8_t byte : data) {
    crc = kCrc8MaximTable[crc ^ byte];
  }
  return crc;
}

std::uint8_t Crc8Maxim(const void* data, std::size_t size, std::uint8_t crc) {
  return Crc8Maxim(std::span(static_cast<const std::uint8_t*>(data), size), crc);
}

}  // namespace YVclUtil
