#include <gtest/gtest.h>

#include "ui/window/studio_options.h"
#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

StudioOptionsResult parse(QStringList arguments) {
  EnsureApplication();
  arguments.prepend("tvx880-studio");
  return ParseStudioOptions(arguments);
}

TEST(StudioOptionsTest, HomePortMappingsAndAProject) {
  const StudioOptionsResult result =
      parse({"--home", "/opt/tvx", "--port", "COM 3", "--map", "COM3=/dev/ttyUSB1", "--map",
             "COM4=/tmp/indicator", "tower.ql3"});
  ASSERT_TRUE(result.options) << result.error;
  EXPECT_EQ(result.options->home, "/opt/tvx");
  EXPECT_EQ(result.options->port, "COM 3");
  EXPECT_EQ(result.options->portMappings,
            (std::vector<std::string>{"COM3=/dev/ttyUSB1", "COM4=/tmp/indicator"}));
  EXPECT_EQ(result.options->project, "tower.ql3");
  EXPECT_FALSE(result.options->helpShown);

  const StudioOptionsResult plain = parse({});
  ASSERT_TRUE(plain.options);
  EXPECT_FALSE(plain.options->home);
  EXPECT_FALSE(plain.options->project);
}

TEST(StudioOptionsTest, WhatCannotBeUsedIsRefusedWithTheReason) {
  EXPECT_NE(parse({"--port", "banana"}).error.find("banana"), std::string::npos);
  EXPECT_FALSE(parse({"--map", "COM3"}).options);
  EXPECT_NE(parse({"a.ql3", "b.ql3"}).error.find("b.ql3"), std::string::npos);
  EXPECT_FALSE(parse({"--colour", "red"}).options);
  const StudioOptionsResult help = parse({"--help"});
  ASSERT_TRUE(help.options);
  EXPECT_TRUE(help.options->helpShown);
  EXPECT_NE(help.output.find("--home"), std::string::npos);
}

}  // namespace
}  // namespace tvx::test
