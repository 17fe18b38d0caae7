#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "upload/upload_header.h"

namespace tvx {

// What the indicator made of one transfer (from the tool opening the line to closing it).
struct UploadTransferSummary {
  unsigned packetsGood = 0;
  unsigned packetsBad = 0;
  bool clockSet = false;  // a clock packet, or a first image packet with the clock marker
  LocalDateTime clock;
  std::uint64_t bytesReceived = 0;
  std::vector<std::uint8_t> image;  // the payloads in the order they came
  std::vector<std::string> problems;

  bool allGood() const { return packetsBad == 0 && (packetsGood > 0 || clockSet); }
  // "1024 packets good, 0 bad; clock set to 2012-10-21 09:05:07 Sun; 4259840 bytes received".
  std::string describe() const;
};

// Checks the byte stream of an upload as the indicator receives it: 64-byte headers with their
// fixed bytes, packets numbered from 0, the CRC-8 of every 4096-byte payload, and the clock
// fields (marker 0xA5 and a valid date in the first packet, 0xFF and the same date later). A
// lone header at the end of a transfer is a clock packet. Reports one line per packet.
class UploadStreamChecker {
 public:
  using Print = std::function<void(const std::string&)>;

  explicit UploadStreamChecker(Print print = {}) : m_print(std::move(print)) {}

  void feed(const std::uint8_t* data, std::size_t bytes);
  // The transfer is over (the line closed): judges what is left and answers the summary.
  UploadTransferSummary finish();

 private:
  void headerComplete();
  void packetComplete();
  void print(const std::string& line) {
    if (m_print) {
      m_print(line);
    }
  }

  Print m_print;
  UploadTransferSummary m_summary;
  std::array<std::uint8_t, kUploadHeaderBytes> m_header{};
  std::size_t m_headerFill = 0;
  ParsedUploadHeader m_parsed;
  std::vector<std::uint8_t> m_payload;
  bool m_inPayload = false;
  std::uint32_t m_expectedNumber = 0;
  bool m_firstClockSeen = false;
  LocalDateTime m_firstClock;
};

}  // namespace tvx
