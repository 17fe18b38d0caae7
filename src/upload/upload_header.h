#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tvx {

// Bytes of image in one packet, and of the header in front of each.
inline constexpr std::size_t kUploadPayloadBytes = 4096;
inline constexpr std::size_t kUploadHeaderBytes = 64;
// The clock marker: take the clock fields (first image packet, clock packet), or ignore them.
inline constexpr std::uint8_t kClockMarkerSet = 0xA5;
inline constexpr std::uint8_t kClockMarkerKeep = 0xFF;

// A local date and time as the indicator's clock takes it.
struct LocalDateTime {
  unsigned year = 2000;  // full year
  unsigned month = 1;    // 1..12
  unsigned day = 1;      // 1..31
  unsigned weekday = 6;  // Monday 1 ... Saturday 6, Sunday 7
  unsigned hour = 0;
  unsigned minute = 0;
  unsigned second = 0;

  bool operator==(const LocalDateTime&) const = default;
};

// The PC's local date and time now.
LocalDateTime CurrentLocalDateTime();
// "2012-10-21 09:05:07 Sun".
std::string FormatDateTime(const LocalDateTime& time);

// v (0..99) as two BCD digits: 21 gives 0x21.
std::uint8_t ToBcd(unsigned value);
// The value of two BCD digits, or -1 when they are not both decimal digits.
int FromBcd(std::uint8_t bcd);

// The 64-byte record in front of every packet (little-endian fields):
//   0-3 02 00 6A 53 | 4-7 packet number | 8-11 payload length 4096 | 12 CRC-8 of the payload
//   13-15 00 02 03 | 16-18 0 | 19 clock marker | 20-26 year of century, month, day (BCD),
//   weekday (binary), hour, minute, second (BCD) | 27-63 0
class UploadHeader {
 public:
  static constexpr std::size_t kPacketNumberOffset = 4;
  static constexpr std::size_t kCrcOffset = 12;
  static constexpr std::size_t kClockMarkerOffset = 19;
  static constexpr std::size_t kClockOffset = 20;

  // All zero until the fixed bytes are written.
  UploadHeader() { m_bytes.fill(0); }

  void writeFixedBytes();
  bool fixedBytesWritten() const { return m_bytes[0] == 0x02; }
  void setPacketNumber(std::uint32_t number);
  void setCrc(std::uint8_t crc) { m_bytes[kCrcOffset] = crc; }
  void setClockMarker(std::uint8_t marker) { m_bytes[kClockMarkerOffset] = marker; }
  void setClock(const LocalDateTime& time);

  const std::array<std::uint8_t, kUploadHeaderBytes>& bytes() const { return m_bytes; }
  const std::uint8_t* data() const { return m_bytes.data(); }

 private:
  std::array<std::uint8_t, kUploadHeaderBytes> m_bytes;
};

// The fields of a received header, for checking it.
struct ParsedUploadHeader {
  bool fixedBytesValid = false;  // every byte outside the variable fields as the tool sends it
  std::uint32_t packetNumber = 0;
  std::uint32_t payloadLength = 0;
  std::uint8_t crc = 0;
  std::uint8_t clockMarker = 0;
  bool clockValid = false;  // BCD digits and ranges of the clock fields
  LocalDateTime clock;
};
ParsedUploadHeader ParseUploadHeader(std::span<const std::uint8_t, kUploadHeaderBytes> bytes);

}  // namespace tvx
