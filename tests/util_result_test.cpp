#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "util/error_text.h"
#include "util/result.h"

namespace tvx {
namespace {

Result<int> parsePositive(int value) {
  if (value <= 0) {
    return Error::Invalid("value " + std::to_string(value), "must be positive");
  }
  return value;
}

Result<void> checkBoth(int first, int second) {
  TVX_TRY(parsePositive(first));
  TVX_TRY(parsePositive(second));
  return {};
}

TEST(ResultTest, CarriesAValueOrTheFirstError) {
  const Result<int> good = parsePositive(3);
  ASSERT_TRUE(good.ok());
  EXPECT_EQ(*good, 3);
  EXPECT_TRUE(checkBoth(1, 2).ok());
  const Result<void> bad = checkBoth(1, -2);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().subject, "value -2");
}

TEST(ResultTest, ErrorsAreWordedInBothLanguages) {
  const Error missing = Error::Of(ErrorCode::kNoSuchFile, "/p/a.BIN");
  EXPECT_EQ(ErrorText(missing, 0), "/p/a.BIN: no such file");
  EXPECT_EQ(ErrorText(missing, 1), "/p/a.BIN: 檔案不存在");
  const Error denied = Error::System("/p/%d.ql3", EACCES).withAction(error_action::kRead);
  EXPECT_EQ(ErrorText(denied, 0), "cannot read \"/p/%d.ql3\": Permission denied");
  EXPECT_EQ(ErrorText(denied, 1), "無法讀取 \"/p/%d.ql3\": 沒有存取權限");
  // A reason without Chinese words keeps the system's own.
  EXPECT_EQ(ErrorReason(Error::System("x", EXDEV), 1), "Invalid cross-device link");
  EXPECT_EQ(ErrorText(Error::Invalid("", "bad signature"), 1), "bad signature");
}

TEST(ResultTest, AStatedErrorIsItsSentenceAndACauseBecomesTheReason) {
  constexpr BilingualText kNotAPort{"\"%s\" 不是連接埠", "\"%s\" is no port"};
  EXPECT_EQ(ErrorText(Error::Stated("COMx", kNotAPort), 0), "\"COMx\" is no port");
  EXPECT_EQ(ErrorText(Error::Stated("COMx", kNotAPort), 1), "\"COMx\" 不是連接埠");
  const Error full = Error::System("/p/a.glp", ENOSPC).withAction(error_action::kWrite);
  constexpr BilingualText kNotSaved{"未儲存 %s", "not saved %s"};
  EXPECT_EQ(ErrorText(ErrorBecause(full, 0, "list", kNotSaved), 0),
            "not saved list: cannot write \"/p/a.glp\": No space left on device");
  EXPECT_EQ(ErrorText(ErrorBecause(full, 1, "list", kNotSaved), 1),
            "未儲存 list: 無法寫入 \"/p/a.glp\": 磁碟空間不足");
}

}  // namespace
}  // namespace tvx
