#include "upload/upload_stream_checker.h"

#include <algorithm>

#include "util/crc8.h"
#include "util/printf_format.h"

namespace tvx {

using YVclUtil::FormatPrintf;

std::string UploadTransferSummary::describe() const {
  return FormatPrintf("%u packets good, %u bad; clock %s; %llu bytes received", packetsGood,
                      packetsBad,
                      clockSet ? ("set to " + FormatDateTime(clock)).c_str() : "not set",
                      static_cast<unsigned long long>(bytesReceived));
}

void UploadStreamChecker::feed(const std::uint8_t* data, std::size_t bytes) {
  m_summary.bytesReceived += bytes;
  while (bytes > 0) {
    if (!m_inPayload) {
      const std::size_t take = std::min(bytes, kUploadHeaderBytes - m_headerFill);
      std::copy(data, data + take, m_header.begin() + static_cast<std::ptrdiff_t>(m_headerFill));
      m_headerFill += take;
      data += take;
      bytes -= take;
      if (m_headerFill == kUploadHeaderBytes) {
        headerComplete();
      }
    } else {
      const std::size_t take = std::min(bytes, kUploadPayloadBytes - m_payload.size());
      m_payload.insert(m_payload.end(), data, data + take);
      data += take;
      bytes -= take;
      if (m_payload.size() == kUploadPayloadBytes) {
        packetComplete();
      }
    }
  }
}

void UploadStreamChecker::headerComplete() {
  m_parsed = ParseUploadHeader(m_header);
  m_inPayload = true;
  m_payload.clear();
}

void UploadStreamChecker::packetComplete() {
  std::vector<std::string> problems;
  if (!m_parsed.fixedBytesValid) {
    problems.push_back("fixed header bytes wrong");
  }
  if (m_parsed.packetNumber != m_expectedNumber) {
    problems.push_back(
        FormatPrintf("numbered %04X, expected %04X", m_parsed.packetNumber, m_expectedNumber));
  }
  const std::uint8_t crc = YVclUtil::Crc8Maxim(m_payload.data(), m_payload.size());
  if (crc != m_parsed.crc) {
    problems.push_back(FormatPrintf("CRC of the data is %02X", crc));
  }
  if (!m_firstClockSeen) {
    if (m_parsed.clockMarker != kClockMarkerSet || !m_parsed.clockValid) {
      problems.push_back("first packet carries no valid clock");
    } else {
      m_firstClockSeen = true;
      m_firstClock = m_parsed.clock;
      m_summary.clockSet = true;
      m_summary.clock = m_parsed.clock;
    }
  } else if (m_parsed.clockMarker != kClockMarkerKeep || !m_parsed.clockValid ||
             !(m_parsed.clock == m_firstClock)) {
    problems.push_back("clock fields differ from the first packet's");
  }

  std::string verdict = "ok";
  if (!problems.empty()) {
    verdict = "BAD:";
    for (const std::string& problem : problems) {
      verdict += " " + problem + ";";
    }
    verdict.pop_back();
    ++m_summary.packetsBad;
    m_summary.problems.push_back(FormatPrintf("packet %04X: ", m_parsed.packetNumber) +
                                 verdict.substr(5));
  } else {
    ++m_summary.packetsGood;
  }
  print(FormatPrintf("packet %04X  crc %02X  %s", m_parsed.packetNumber, m_parsed.crc,
                     verdict.c_str()));
  m_summary.image.insert(m_summary.image.end(), m_payload.begin(), m_payload.end());
  m_expectedNumber = m_parsed.packetNumber + 1;
  m_inPayload = false;
  m_headerFill = 0;
  m_payload.clear();
}

UploadTransferSummary UploadStreamChecker::finish() {
  const bool nothingElse = m_summary.packetsGood == 0 && m_summary.packetsBad == 0;
  if (m_inPayload && m_payload.empty() && nothingElse) {
    // A header alone: the clock packet.
    if (m_parsed.fixedBytesValid && m_parsed.clockMarker == kClockMarkerSet &&
        m_parsed.clockValid) {
      m_summary.clockSet = true;
      m_summary.clock = m_parsed.clock;
      print("clock packet  " + FormatDateTime(m_parsed.clock) + "  ok");
    } else {
      ++m_summary.packetsBad;
      m_summary.problems.push_back("clock packet: header or clock fields wrong");
      print("clock packet  BAD: header or clock fields wrong");
    }
  } else if (m_inPayload) {
    ++m_summary.packetsBad;
    const std::string problem = FormatPrintf("packet %04X: cut off after %zu of 4096 data bytes",
                                             m_parsed.packetNumber, m_payload.size());
    m_summary.problems.push_back(problem);
    print(problem);
  } else if (m_headerFill > 0) {
    ++m_summary.packetsBad;
    const std::string problem = FormatPrintf("header cut off after %zu of 64 bytes", m_headerFill);
    m_summary.problems.push_back(problem);
    print(problem);
  }
  UploadTransferSummary summary = std::move(m_summary);
  *this = UploadStreamChecker(std::move(m_print));
  return summary;
}

}  // namespace tvx
