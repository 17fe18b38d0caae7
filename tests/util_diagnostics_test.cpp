#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "util/component.h"
#include "util/crc8.h"
#include "util/diagnostic_sink.h"
#include "util/ey_general.h"
#include "util/hex.h"
#include "util/messages.h"
#include "util/virtual_mem.h"

using namespace YVclUtil;

TEST(EYGeneralTest, FormatsMessageAndKeepsCode) {
  EYGeneral plain("Err: %s !!!", "x");
  EXPECT_STREQ(plain.what(), "Err: x !!!");
  EXPECT_EQ(plain.ErrorCode, -1);

  EYGeneral coded(7, "Err");
  EXPECT_EQ(coded.Message(), "Err");
  EXPECT_EQ(coded.ErrorCode, 7);

  const std::string longText(20000, 'a');
  EYGeneral longOne("%s", longText.c_str());
  EXPECT_EQ(longOne.Message().size(), longText.size());
}

TEST(MessageBoxTest, CaptionFromTextOrOwnerName) {
  RecordingDiagnosticSink sink;
  ScopedDiagnosticSink guard(sink);

  EXPECT_EQ(ShowErrMsgBox_Printf("TYIniFile", "Err: Can not open file \n \"%s\" ", "a.ini"), 33);
  tvx::platform::TComponent unnamed;
  ShowErrMsgBox_Printf(&unnamed, "Err: %d", 5);
  tvx::platform::TComponent named;
  named.pw_Name("PcUart1");
  ShowErrMsgBox_Printf(&named, "Err");
  EXPECT_EQ(SendDbgString_Printf("trace %02X", 0xAB), 8);

  const auto boxes = sink.boxes();
  ASSERT_EQ(boxes.size(), 3U);
  EXPECT_EQ(boxes[0].caption, "TYIniFile");
  EXPECT_EQ(boxes[0].text, "Err: Can not open file \n \"a.ini\" ");
  EXPECT_EQ(boxes[1].caption, "");
  EXPECT_EQ(boxes[1].text, "Err: 5");
  EXPECT_EQ(boxes[2].caption, "PcUart1");
  ASSERT_EQ(sink.debugLines().size(), 1U);
  EXPECT_EQ(sink.debugLines()[0], "trace AB");
}

TEST(ComponentTest, OwnerReleasesOwnedComponents) {
  auto* owner = new tvx::platform::TComponent;
  auto* child = new tvx::platform::TComponent(owner);
  new tvx::platform::TComponent(child);
  EXPECT_EQ(owner->pr_Components().size(), 1U);
  delete child;  // leaves the owner's list, releasing its own child
  EXPECT_TRUE(owner->pr_Components().empty());
  new tvx::platform::TComponent(owner);
  delete owner;  // AddressSanitizer reports a leak or double free if ownership is wrong
}

TEST(BinToHexAsciiTest, WritesTwoUpperCaseDigitsOnly) {
  for (auto [value, expected] : {std::pair<std::uint8_t, const char*>{0x00, "00"},
                                 {0x9F, "9F"},
                                 {0xA5, "A5"},
                                 {0xFF, "FF"}}) {
    char out[3] = {'?', '?', '#'};
    BinToHexAscii(value, out);
    EXPECT_EQ(std::string(out, 2), expected);
    EXPECT_EQ(out[2], '#');
  }
}

TEST(VirtualMemTest, BlocksAreZeroedAlignedAndFreedOnce) {
  void* blocks[8];
  for (void*& block : blocks) {
    block = YAllocVirtualMem(8192);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 8192, 0U);
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (int i = 0; i < 8192; ++i) {
      ASSERT_EQ(bytes[i], 0);
    }
    std::memset(block, 0x5A, 8192);
  }
  void* big = YAllocVirtualMem(65536);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(big) % 65536, 0U);
  EXPECT_TRUE(YFreeVirtualMem(big));

  EXPECT_FALSE(YFreeVirtualMem(static_cast<char*>(blocks[0]) + 32));
  for (void* block : blocks) {
    EXPECT_TRUE(YFreeVirtualMem(block));
  }
  EXPECT_FALSE(YFreeVirtualMem(blocks[0]));
  EXPECT_EQ(YAllocVirtualMem(0), nullptr);
}

TEST(Crc8MaximTest, PublishedCheckValueAndTable) {
  const char digits[] = "123456789";
  EXPECT_EQ(Crc8Maxim(digits, 9), 0xA1);
  EXPECT_EQ(kCrc8MaximTable[0], 0x00);
  EXPECT_EQ(kCrc8MaximTable[1], 0x5E);
  EXPECT_EQ(kCrc8MaximTable[255], 0x35);
  // Continuing a CRC over a second piece equals one pass over the whole.
  EXPECT_EQ(Crc8Maxim(digits + 4, 5, Crc8Maxim(digits, 4)), 0xA1);
  EXPECT_EQ(Crc8Maxim(digits, 0), 0);
}

TEST(Crc8MaximTest, FastPathAgreesWithTheBytewiseDefinitionAtEveryLengthAndStart) {
  std::vector<std::uint8_t> data(600);
  std::uint32_t seed = 12345;
  for (auto& byte : data) {
    seed = seed * 1103515245U + 12345U;
    byte = static_cast<std::uint8_t>(seed >> 16);
  }
  for (std::size_t start = 0; start < 9; ++start) {
    for (std::size_t length = 0; length + start <= data.size(); length += 7) {
      std::uint8_t expected = 0x3C;
      for (std::size_t i = start; i < start + length; ++i) {
        expected = kCrc8MaximTable[expected ^ data[i]];
      }
      ASSERT_EQ(Crc8Maxim(data.data() + start, length, 0x3C), expected) << start << "+" << length;
    }
  }
}
