#include <gtest/gtest.h>

#include "ui/window/studio_options.h"
#include "ui_window_fixture.h"
#include "util/error_text.h"

namespace tvx::test {
namespace {

Result<StudioOptions> parse(QStringList arguments) {
  EnsureApplication();
  arguments.prepend("tvx880-studio");
  return ParseStudioOptions(arguments);
}

TEST(StudioOptionsTest, HomePortMappingsAndAProject) {
  const Result<StudioOptions> result =
      parse({"--home", "/opt/tvx", "--port", "COM 3", "--map", "COM3=/dev/ttyUSB1", "--map",
             "COM4=/tmp/indicator", "tower.ql3"});
  ASSERT_TRUE(result) << ErrorText(result.error(), 0);
  EXPECT_EQ(result->home, "/opt/tvx");
  EXPECT_EQ(result->port, "COM 3");
  EXPECT_EQ(result->portMappings,
            (std::vector<std::string>{"COM3=/dev/ttyUSB1", "COM4=/tmp/indicator"}));
  EXPECT_EQ(result->project, "tower.ql3");
  EXPECT_FALSE(result->helpShown);

  const Result<StudioOptions> plain = parse({});
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->home);
  EXPECT_FALSE(plain->project);
}

TEST(StudioOptionsTest, WhatCannotBeUsedIsRefusedWithTheReason) {
  const auto refusal = [](const Result<StudioOptions>& parsed) {
    return parsed ? std::string("(accepted)") : ErrorText(parsed.error(), 0);
  };
  EXPECT_NE(refusal(parse({"--port", "banana"})).find("banana"), std::string::npos);
  EXPECT_FALSE(parse({"--map", "COM3"}));
  EXPECT_NE(refusal(parse({"a.ql3", "b.ql3"})).find("b.ql3"), std::string::npos);
  EXPECT_FALSE(parse({"--colour", "red"}));
  const Result<StudioOptions> help = parse({"--help"});
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->helpShown);
  EXPECT_NE(help->helpText.find("--home"), std::string::npos);
}

}  // namespace
}  // namespace tvx::test
