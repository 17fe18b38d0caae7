#include "upload/upload_header.h"

#include <ctime>

#include "util/printf_format.h"

namespace tvx {
namespace {

constexpr std::uint8_t kFixedStart[] = {0x02, 0x00, 0x6A, 0x53};
constexpr std::uint8_t kFixedMiddle[] = {0x00, 0x02, 0x03, 0x00, 0x00, 0x00};  // bytes 13-18

}  // namespace

LocalDateTime CurrentLocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  LocalDateTime time;
  time.year = static_cast<unsigned>(local.tm_year + 1900);
  time.month = static_cast<unsigned>(local.tm_mon + 1);
  time.day = static_cast<unsigned>(local.tm_mday);
  time.weekday = local.tm_wday == 0 ? 7u : static_cast<unsigned>(local.tm_wday);
  time.hour = static_cast<unsigned>(local.tm_hour);
  time.minute = static_cast<unsigned>(local.tm_min);
  time.second = static_cast<unsigned>(local.tm_sec);
  return time;
}

std::string FormatDateTime(const LocalDateTime& time) {
  static const char* const kDays[] = {"?", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  return YVclUtil::FormatPrintf("%04u-%02u-%02u %02u:%02u:%02u %s", time.year, time.month, time.day,
                                time.hour, time.minute, time.second,
                                kDays[time.weekday <= 7 ? time.weekday : 0]);
}

std::uint8_t ToBcd(unsigned value) {
  return static_cast<std::uint8_t>((value / 10 % 10) * 16 + value % 10);
}

int FromBcd(std::uint8_t bcd) {
  const int high = bcd >> 4;
  const int low = bcd & 0x0F;
  return high > 9 || low > 9 ? -1 : high * 10 + low;
}

void UploadHeader::writeFixedBytes() {
  for (std::size_t i = 0; i < sizeof kFixedStart; ++i) {
    m_bytes[i] = kFixedStart[i];
  }
  m_bytes[8] = static_cast<std::uint8_t>(kUploadPayloadBytes & 0xFF);
  m_bytes[9] = static_cast<std::uint8_t>(kUploadPayloadBytes >> 8 & 0xFF);
  m_bytes[10] = 0;
  m_bytes[11] = 0;
  for (std::size_t i = 0; i < sizeof kFixedMiddle; ++i) {
    m_bytes[13 + i] = kFixedMiddle[i];
  }
}

void UploadHeader::setPacketNumber(std::uint32_t number) {
  for (std::size_t i = 0; i < 4; ++i) {
    m_bytes[kPacketNumberOffset + i] = static_cast<std::uint8_t>(number >> (8 * i));
  }
}

void UploadHeader::setClock(const LocalDateTime& time) {
  std::uint8_t* clock = m_bytes.data() + kClockOffset;
  clock[0] = ToBcd(time.year % 100);
  clock[1] = ToBcd(time.month);
  clock[2] = ToBcd(time.day);
  clock[3] = static_cast<std::uint8_t>(time.weekday);
  clock[4] = ToBcd(time.hour);
  clock[5] = ToBcd(time.minute);
  clock[6] = ToBcd(time.second);
}

ParsedUploadHeader ParseUploadHeader(std::span<const std::uint8_t, kUploadHeaderBytes> bytes) {
  auto le32 = [&](std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
  };
  ParsedUploadHeader header;
  header.packetNumber = le32(UploadHeader::kPacketNumberOffset);
  header.payloadLength = le32(8);
  header.crc = bytes[UploadHeader::kCrcOffset];
  header.clockMarker = bytes[UploadHeader::kClockMarkerOffset];

  bool fixed = header.payloadLength == kUploadPayloadBytes;
  for (std::size_t i = 0; i < sizeof kFixedStart; ++i) {
    fixed = fixed && bytes[i] == kFixedStart[i];
  }
  for (std::size_t i = 0; i < sizeof kFixedMiddle; ++i) {
    fixed = fixed && bytes[13 + i] == kFixedMiddle[i];
  }
  for (std::size_t i = 27; i < kUploadHeaderBytes; ++i) {
    fixed = fixed && bytes[i] == 0;
  }
  header.fixedBytesValid = fixed;

  const std::uint8_t* clock = bytes.data() + UploadHeader::kClockOffset;
  const int year = FromBcd(clock[0]);
  const int month = FromBcd(clock[1]);
  const int day = FromBcd(clock[2]);
  const int hour = FromBcd(clock[4]);
  const int minute = FromBcd(clock[5]);
  const int second = FromBcd(clock[6]);
  header.clockValid = year >= 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
                      clock[3] >= 1 && clock[3] <= 7 && hour >= 0 && hour <= 23 && minute >= 0 &&
                      minute <= 59 && second >= 0 && second <= 59;
  if (header.clockValid) {
    header.clock = LocalDateTime{2000 + static_cast<unsigned>(year), static_cast<unsigned>(month),
                                 static_cast<unsigned>(day),         clock[3],
                                 static_cast<unsigned>(hour),        static_cast<unsigned>(minute),
                                 static_cast<unsigned>(second)};
  }
  return header;
}

}  // namespace tvx
