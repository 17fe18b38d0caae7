#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace YVclUtil {

// CRC-8/MAXIM (Dallas 1-Wire): x^8 + x^5 + x^4 + 1 reflected (0x8C), initial value 0, no final
// XOR. The table is also the fill pattern of the indicator's ROM image.
extern const std::array<std::uint8_t, 256> kCrc8MaximTable;

// Continues a CRC over data: crc = table[crc ^ byte] for each byte.
std::uint8_t Crc8Maxim(std::span<const std::uint8_t> data, std::uint8_t crc = 0);
std::uint8_t Crc8Maxim(const void* data, std::size_t size, std::uint8_t crc = 0);

}  // namespace YVclUtil
