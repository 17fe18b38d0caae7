#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devnet/bridge_line.h"

using namespace KwxCtrl;

namespace {

BridgeLine parse(const std::string& line) {
  return ParseBridgeLine(line.data(), line.size());
}

std::vector<std::uint8_t> packetBytes(const _SHCNRXDPACKET& packet) {
  std::vector<std::uint8_t> bytes = {packet.HcnSegId, packet.HcnNodeId, packet.BytesOfDatas};
  for (int i = 0; i < packet.BytesOfDatas; ++i) {
    bytes.push_back(packet.Datas[i]);
  }
  return bytes;
}

}  // namespace

TEST(BridgeLineTest, RegisterAnswersOfEveryAnsweringRegister) {
  for (char reg : std::string("013456789EF")) {
    const BridgeLine line = parse(std::string("*R") + reg + "=a5\r\n");
    ASSERT_EQ(line.Kind, BridgeLineKind::RegisterAnswer) << reg;
    EXPECT_EQ(line.Register, reg);
    EXPECT_EQ(line.Value, 0xA5);
  }
  EXPECT_EQ(parse("*R1=0F\n").Value, 0x0F);
  EXPECT_EQ(parse("*R1=0F").Kind, BridgeLineKind::RegisterAnswer);
}

TEST(BridgeLineTest, MalformedRegisterAnswersAreIgnored) {
  const char* malformed[] = {
      "*R1=5\r\n",    // one digit
      "*R1=051\r\n",  // three digits
      "*R1=\r\n",     // no digit
      "*r1=05\r\n",   // lower-case r
      "*R2=05\r\n",   // a register that does not answer
      "*RA=05\r\n",   // another one
      "*Re=05\r\n",   // register letters are upper case only
      "*R1:05\r\n",   // other fourth character
      "*R1=0G\r\n",   // not a hexadecimal digit
      "*R1=05 \r\n",  // anything after the value
      "*R1=05\r\nx",  // anything after the line end
      " *R1=05\r\n",  // leading blank
      "*R1",          // cut short
      "*",           "R1=05\r\n",
  };
  for (const char* text : malformed) {
    EXPECT_EQ(parse(text).Kind, BridgeLineKind::Ignored) << text;
  }
  EXPECT_EQ(ParseBridgeLine(nullptr, 0).Kind, BridgeLineKind::Ignored);
  EXPECT_EQ(parse(std::string("*R1=0\0\r\n", 8)).Kind, BridgeLineKind::Ignored);
}

TEST(BridgeLineTest, FramesCarryWholePackets) {
  BridgeLine line = parse("@0512028101\r\n");
  ASSERT_EQ(line.Kind, BridgeLineKind::PacketFrame);
  EXPECT_EQ(packetBytes(line.Packet), (std::vector<std::uint8_t>{0x05, 0x12, 0x02, 0x81, 0x01}));

  line = parse("@80010114\n");
  ASSERT_EQ(line.Kind, BridgeLineKind::PacketFrame);
  EXPECT_EQ(packetBytes(line.Packet), (std::vector<std::uint8_t>{0x80, 0x01, 0x01, 0x14}));

  // The largest packet: 17 bytes of data.
  std::string longest = "@FF7F11";
  for (int i = 0; i < 17; ++i) {
    longest += "AB";
  }
  line = parse(longest + "\r\n");
  ASSERT_EQ(line.Kind, BridgeLineKind::PacketFrame);
  EXPECT_EQ(line.Packet.BytesOfDatas, 17);
  EXPECT_EQ(line.Packet.Datas[16], 0xAB);
}

TEST(BridgeLineTest, MalformedFramesAreIgnored) {
  std::string tooLong = "@FF7F12";
  for (int i = 0; i < 18; ++i) {
    tooLong += "00";
  }
  const std::string malformed[] = {
      "@05120281\r\n",      // 4 bytes, but 02 + 3 = 5
      "@051202810102\r\n",  // one byte more than announced
      "@051200\r\n",        // fewer than 4 bytes
      "@\r\n",
      "@0512028101",       // no line end
      "@05120281010\r\n",  // odd number of digits
      "@0512028101x\r\n",  // stops at something other than a line end
      "@05120281 01\r\n",
      "@0512028a01\r\n",  // lower-case digits are not frame digits
      tooLong + "\r\n",   // more than the packet record holds
      ">0512028101\r\n",  // our own direction
      " @0512028101\r\n",
      "",
  };
  for (const std::string& text : malformed) {
    EXPECT_EQ(parse(text).Kind, BridgeLineKind::Ignored) << text;
  }
}

TEST(BridgeLineTest, ReplyMaskBitsFollowTheRegisterNumber) {
  EXPECT_EQ(BridgeReplyMaskBit('0'), 0x0001);
  EXPECT_EQ(BridgeReplyMaskBit('1'), 0x0002);
  EXPECT_EQ(BridgeReplyMaskBit('3'), 0x0008);
  EXPECT_EQ(BridgeReplyMaskBit('9'), 0x0200);
  EXPECT_EQ(BridgeReplyMaskBit('E'), 0x4000);
  EXPECT_EQ(BridgeReplyMaskBit('F'), 0x8000);
  std::uint16_t mask = 0;
  for (char reg : std::string("345678901")) {
    mask |= BridgeReplyMaskBit(reg);
  }
  EXPECT_EQ(mask, kBridgeConnectedReplyMask);
  EXPECT_EQ(std::string(kBridgeConnectBurst).size(), 56U);
}

TEST(BridgeLineTest, CommandsAndFramesAreUpperCaseHex) {
  _SHCNTXDPACKET packet;
  packet.HcnSegId = 0x05;
  packet.HcnNodeId = 0x12;
  packet.BytesOfDatas = 2;
  packet.Datas[0] = 0x84;
  packet.Datas[1] = 0x0F;
  EXPECT_EQ(BuildPacketFrame(packet), ">051202840F\r\n");
  packet.HcnSegId = 0xAB;
  packet.BytesOfDatas = 1;
  EXPECT_EQ(BuildPacketFrame(packet), ">AB120184\r\n");
  EXPECT_EQ(BuildRegisterWrite('0', 0xa5), " +R0=A5\r\n");
  EXPECT_EQ(BuildRegisterWrite('F', 0x00), " +RF=00\r\n");
  EXPECT_EQ(BuildRegisterQuery('E'), " ?RE\r\n");
}
