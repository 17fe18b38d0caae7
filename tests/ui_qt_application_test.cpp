#include <gtest/gtest.h>

#include <QApplication>

#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

// One application for the whole test program, gone before the program exits.
class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { EnsureApplication(); }
  void TearDown() override { delete QApplication::instance(); }
};

const ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

TEST(QtApplicationTest, RunsOnTheOffscreenPlatformUnlessToldOtherwise) {
  ASSERT_NE(QApplication::instance(), nullptr);
  if (qEnvironmentVariable("QT_QPA_PLATFORM") == "offscreen") {
    EXPECT_EQ(QGuiApplication::platformName(), "offscreen");
  }
}

}  // namespace
}  // namespace tvx::test
