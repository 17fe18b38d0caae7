#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "util/file_bytes.h"

namespace tvx {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST(FileBytesTest, ReadsWholeFilesAndNamesTheFileItCannotRead) {
  const test::TempDir dir;
  test::WriteFileBytes(dir / "a.BIN", std::string("KWX\0GLB", 7));
  const Result<std::vector<std::uint8_t>> read = ReadFileBytes((dir / "a.BIN").string());
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(*read, bytesOf(std::string("KWX\0GLB", 7)));

  const Result<std::vector<std::uint8_t>> missing = ReadFileBytes((dir / "b.BIN").string());
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, ErrorCode::kNoSuchFile);
  EXPECT_EQ(missing.error().subject, (dir / "b.BIN").string());
  const Result<std::vector<std::uint8_t>> folder = ReadFileBytes(dir.path().string());
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().code, ErrorCode::kNotAFile);
}

TEST(FileBytesTest, FailedAppendsAndWritesLeaveNothingHalfDone) {
  const test::TempDir dir;
  test::WriteFileBytes(dir / "short.glb", "abc");
  ByteBuffer buffer{'x'};
  const Result<void> tooShort = AppendFileBytes((dir / "short.glb").string(), 4, buffer);
  ASSERT_FALSE(tooShort);
  EXPECT_EQ(tooShort.error().code, ErrorCode::kShortened);
  EXPECT_EQ(buffer, ByteBuffer{'x'});
  ASSERT_TRUE(AppendFileBytes((dir / "short.glb").string(), 2, buffer).ok());
  EXPECT_EQ(buffer, (ByteBuffer{'x', 'a', 'b'}));

  const std::vector<std::uint8_t> head = bytesOf("KWXGLB2L");
  const std::vector<std::uint8_t> tail = bytesOf("data");
  ASSERT_TRUE(WriteFileBytes((dir / "out.glb").string(), {head, tail}).ok());
  EXPECT_EQ(test::ReadFileBytes(dir / "out.glb"), "KWXGLB2Ldata");
  const Result<void> nowhere = WriteFileBytes((dir / "no/out.glb").string(), {head});
  ASSERT_FALSE(nowhere);
  EXPECT_EQ(nowhere.error().code, ErrorCode::kSystem);
  EXPECT_EQ(nowhere.error().subject, (dir / "no/out.glb").string());
}

}  // namespace
}  // namespace tvx
