#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "upload/upload_header.h"
#include "upload/upload_stream_checker.h"
#include "util/crc8.h"

using namespace tvx;

namespace {

const LocalDateTime kSunday{2012, 10, 21, 7, 9, 5, 7};

std::vector<std::uint8_t> bytesOf(const UploadHeader& header) {
  return {header.bytes().begin(), header.bytes().end()};
}

// One packet as the tool sends it: header then payload.
std::vector<std::uint8_t> packet(UploadHeader& header, std::uint32_t number,
                                 const std::vector<std::uint8_t>& payload) {
  header.setPacketNumber(number);
  header.setCrc(YVclUtil::Crc8Maxim(payload.data(), payload.size()));
  std::vector<std::uint8_t> bytes = bytesOf(header);
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

std::vector<std::uint8_t> payloadOf(std::uint8_t seed) {
  std::vector<std::uint8_t> payload(kUploadPayloadBytes);
  for (std::size_t i = 0; i < payload.size(); ++i) {
    payload[i] = static_cast<std::uint8_t>(seed + i * 7);
  }
  return payload;
}

}  // namespace

TEST(UploadHeaderTest, FixedBytesPacketNumberAndClockFields) {
  UploadHeader header;
  EXPECT_EQ(bytesOf(header), std::vector<std::uint8_t>(64, 0));
  EXPECT_FALSE(header.fixedBytesWritten());
  header.writeFixedBytes();
  header.setPacketNumber(0x3FF);
  header.setCrc(0x3C);
  header.setClock(kSunday);
  header.setClockMarker(kClockMarkerSet);
  const std::vector<std::uint8_t> expected = {0x02, 0x00, 0x6A, 0x53, 0xFF, 0x03, 0x00, 0x00, 0x00,
                                              0x10, 0x00, 0x00, 0x3C, 0x00, 0x02, 0x03, 0x00, 0x00,
                                              0x00, 0xA5, 0x12, 0x10, 0x21, 0x07, 0x09, 0x05, 0x07};
  std::vector<std::uint8_t> bytes = bytesOf(header);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 27), expected);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 27, bytes.end()),
            std::vector<std::uint8_t>(37, 0));

  const ParsedUploadHeader parsed = ParseUploadHeader(header.bytes());
  EXPECT_TRUE(parsed.fixedBytesValid);
  EXPECT_EQ(parsed.packetNumber, 0x3FFu);
  EXPECT_EQ(parsed.crc, 0x3C);
  EXPECT_TRUE(parsed.clockValid);
  EXPECT_EQ(parsed.clock, kSunday);
  EXPECT_EQ(FormatDateTime(parsed.clock), "2012-10-21 09:05:07 Sun");
}

TEST(UploadHeaderTest, BcdAndPayloadCrc) {
  EXPECT_EQ(ToBcd(0), 0x00);
  EXPECT_EQ(ToBcd(59), 0x59);
  EXPECT_EQ(FromBcd(0x59), 59);
  EXPECT_EQ(FromBcd(0x5A), -1);

  std::vector<std::uint8_t> block(4096, 0);
  EXPECT_EQ(YVclUtil::Crc8Maxim(block.data(), block.size()), 0x00);
  std::memcpy(block.data(), "123456789", 9);
  EXPECT_EQ(YVclUtil::Crc8Maxim(block.data(), block.size()), 0xAE);
}

TEST(UploadHeaderTest, ParsingRejectsWrongFixedBytesAndClockDigits) {
  UploadHeader header;
  header.writeFixedBytes();
  header.setClock(kSunday);
  auto bytes = header.bytes();
  bytes[14] = 0x07;
  EXPECT_FALSE(ParseUploadHeader(bytes).fixedBytesValid);
  bytes = header.bytes();
  bytes[40] = 1;
  EXPECT_FALSE(ParseUploadHeader(bytes).fixedBytesValid);
  bytes = header.bytes();
  bytes[21] = 0x13;  // month 13
  EXPECT_FALSE(ParseUploadHeader(bytes).clockValid);
  bytes = header.bytes();
  bytes[23] = 0;  // no weekday 0
  EXPECT_FALSE(ParseUploadHeader(bytes).clockValid);
}

class StreamCheckerTest : public ::testing::Test {
 protected:
  StreamCheckerTest() : m_checker([this](const std::string& line) { m_lines.push_back(line); }) {
    m_header.writeFixedBytes();
    m_header.setClock(kSunday);
    m_header.setClockMarker(kClockMarkerSet);
  }

  void feed(const std::vector<std::uint8_t>& bytes, std::size_t piece = 1000) {
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      m_checker.feed(bytes.data() + at, std::min(piece, bytes.size() - at));
    }
  }

  UploadHeader m_header;
  std::vector<std::string> m_lines;
  UploadStreamChecker m_checker;
};

TEST_F(StreamCheckerTest, GoodPacketsInPiecesOfAnySize) {
  feed(packet(m_header, 0, payloadOf(1)), 7);
  m_header.setClockMarker(kClockMarkerKeep);
  feed(packet(m_header, 1, payloadOf(2)), 4160);
  const UploadTransferSummary summary = m_checker.finish();
  EXPECT_EQ(summary.packetsGood, 2u);
  EXPECT_EQ(summary.packetsBad, 0u);
  EXPECT_TRUE(summary.allGood());
  EXPECT_TRUE(summary.clockSet);
  EXPECT_EQ(summary.clock, kSunday);
  EXPECT_EQ(summary.bytesReceived, 2u * 4160);
  std::vector<std::uint8_t> image = payloadOf(1);
  const auto second = payloadOf(2);
  image.insert(image.end(), second.begin(), second.end());
  EXPECT_EQ(summary.image, image);
  ASSERT_EQ(m_lines.size(), 2u);
  EXPECT_EQ(m_lines[0].substr(0, 12), "packet 0000 ");
  EXPECT_EQ(m_lines[1].substr(m_lines[1].size() - 2), "ok");
  EXPECT_EQ(summary.describe(),
            "2 packets good, 0 bad; clock set to 2012-10-21 09:05:07 Sun; 8320 bytes received");
}

TEST_F(StreamCheckerTest, BadCrcNumberingAndClockAreEachReported) {
  auto first = packet(m_header, 0, payloadOf(1));
  first[100] ^= 0xFF;  // a damaged data byte
  feed(first);
  m_header.setClockMarker(kClockMarkerKeep);
  feed(packet(m_header, 2, payloadOf(2)));  // packet 1 went missing
  m_header.setClockMarker(kClockMarkerSet);
  feed(packet(m_header, 3, payloadOf(3)));  // marker of a first packet later on
  const UploadTransferSummary summary = m_checker.finish();
  EXPECT_EQ(summary.packetsGood, 0u);
  EXPECT_EQ(summary.packetsBad, 3u);
  EXPECT_FALSE(summary.allGood());
  ASSERT_EQ(summary.problems.size(), 3u);
  EXPECT_NE(summary.problems[0].find("CRC of the data is"), std::string::npos);
  EXPECT_NE(summary.problems[1].find("numbered 0002, expected 0001"), std::string::npos);
  EXPECT_NE(summary.problems[2].find("clock fields differ"), std::string::npos);
}

TEST_F(StreamCheckerTest, AFirstPacketWithoutClockIsBad) {
  m_header.setClockMarker(kClockMarkerKeep);
  feed(packet(m_header, 0, payloadOf(1)));
  const UploadTransferSummary summary = m_checker.finish();
  EXPECT_EQ(summary.packetsBad, 1u);
  EXPECT_FALSE(summary.clockSet);
}

TEST_F(StreamCheckerTest, ALoneHeaderIsTheClockPacketAndCutOffDataIsBad) {
  feed(bytesOf(m_header));
  UploadTransferSummary summary = m_checker.finish();
  EXPECT_TRUE(summary.clockSet);
  EXPECT_TRUE(summary.allGood());
  EXPECT_EQ(summary.bytesReceived, 64u);

  // The checker starts afresh after finish().
  auto cut = packet(m_header, 0, payloadOf(1));
  cut.resize(64 + 1000);
  feed(cut);
  summary = m_checker.finish();
  EXPECT_EQ(summary.packetsBad, 1u);
  EXPECT_NE(summary.problems[0].find("cut off after 1000 of 4096"), std::string::npos);

  feed(std::vector<std::uint8_t>(10, 0x02));
  summary = m_checker.finish();
  EXPECT_EQ(summary.packetsBad, 1u);
  EXPECT_NE(summary.problems[0].find("header cut off after 10"), std::string::npos);

  // A zero header (fixed bytes never written) is no clock packet.
  feed(std::vector<std::uint8_t>(64, 0));
  summary = m_checker.finish();
  EXPECT_FALSE(summary.clockSet);
  EXPECT_EQ(summary.packetsBad, 1u);
}
