#include <gtest/gtest.h>

#include <string>

#include "devnet/topologic_travel.h"

using namespace KwxCtrl;

TEST(TravelValueTest, BlanksOfThePatternMatchAnyRunOfWhiteSpace) {
  for (const char* text :
       {" Device( \"TVX_4i4o\" ) , NetNodeId( 0x01 )", "Device(\"TVX_4i4o\"),NetNodeId(0x01)",
        "Device(  \t\"TVX_4i4o\"\t)  ,\tNetNodeId(   0x 01   )",
        "Device( \"TVX_4i4o\" ) , NetNodeId( 0x1"}) {
    const auto declaration = ParseTravelValue(text);
    ASSERT_TRUE(declaration) << text;
    EXPECT_EQ(declaration->Device, "TVX_4i4o");
    EXPECT_EQ(declaration->NetNodeId, 0x01U);
  }
  const auto spaced = ParseTravelValue("Device( \" my device \" ) , NetNodeId( 0xfF ) trailing");
  ASSERT_TRUE(spaced);
  EXPECT_EQ(spaced->Device, " my device ");
  EXPECT_EQ(spaced->NetNodeId, 0xFFU);
  EXPECT_EQ(ParseTravelValue("Device(\"x\"),NetNodeId(0xFFFFFFFFFFFF)")->NetNodeId, 0xFFFFFFFFU);
}

TEST(TravelValueTest, ValuesWithoutBothFieldsAreInvalid) {
  for (const char* text : {
           "",
           "Device( \"\" ) , NetNodeId( 0x01 )",          // empty name
           "device( \"TVX_4i4o\" ) , NetNodeId( 0x01 )",  // the words are case-sensitive
           "Device( TVX_4i4o ) , NetNodeId( 0x01 )",      // no quotation marks
           "Device( \"TVX_4i4o ) , NetNodeId( 0x01 )",    // unterminated name
           "Device( \"TVX_4i4o\" ) NetNodeId( 0x01 )",    // no comma
           "Device( \"TVX_4i4o\" ) , NetNodeId( 01 )",    // no 0x
           "Device( \"TVX_4i4o\" ) , NetNodeId( 0X01 )",  // upper-case X
           "Device( \"TVX_4i4o\" ) , NetNodeId( 0xZZ )",  // no digits
           "Device( \"TVX_4i4o\" ) , NetNodeId( 0x-1 )",  // no sign
           "Device( \"TVX_4i4o\" ) , NetNodeId( 0x",
           "Device( \"TVX_4i4o\" ) , NodeId( 0x01 )",
       }) {
    EXPECT_FALSE(ParseTravelValue(text)) << text;
  }
}

TEST(TravelValueTest, DeviceNamesLongerThanTheirBufferAreInvalid) {
  const auto value = [](std::size_t length) {
    return "Device( \"" + std::string(length, 'n') + "\" ) , NetNodeId( 0x01 )";
  };
  EXPECT_TRUE(ParseTravelValue(value(255)));
  EXPECT_FALSE(ParseTravelValue(value(256)));
}
