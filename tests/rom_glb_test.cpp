#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/error_diffusion.h"
#include "image/truncate_converter.h"
#include "rom/build_report.h"
#include "rom/glb_builder.h"
#include "rom/picture_library.h"
#include "support/rom_home.h"
#include "util/crc8.h"
#include "util/ini_file.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

std::uint32_t le32(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

// (offset, size) of the directory entry of bank, slot.
std::pair<std::uint32_t, std::uint32_t> entry(const std::string& glb, int bank, int slot) {
  const std::size_t at = 8 + static_cast<std::size_t>(bank * 256 + slot) * 8;
  return {le32(glb, at), le32(glb, at + 4)};
}

std::string withTagReplaced(std::string bytes) {
  const std::size_t size = bytes.size();
  bytes[0] = static_cast<char>((size >> 2) & 0xFF);
  bytes[1] = static_cast<char>(((size >> 2) + (size >> 3)) & 0xFF);
  return bytes;
}

std::string fromVector(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

// A library whose bank 0 slot holds the given bytes; other slots empty.
std::vector<std::uint8_t> libraryWith(int slot, const std::string& resource) {
  std::vector<std::uint8_t> library(16392, 0);
  const std::size_t at = 8 + static_cast<std::size_t>(slot) * 8;
  const std::uint32_t offset = 16392;
  const auto size = static_cast<std::uint32_t>(resource.size());
  for (int i = 0; i < 4; ++i) {
    library[at + i] = static_cast<std::uint8_t>(offset >> (24 - 8 * i));
    library[at + 4 + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
  }
  library.insert(library.end(), resource.begin(), resource.end());
  return library;
}

class GlbTest : public ::testing::Test {
 protected:
  void setSlot(int bank, int slot, const std::string& value) {
    YVclUtil::TYIniFile list(listPath);
    list.WriteString("BANK" + std::to_string(bank), "RESFN_" + std::to_string(slot), value);
    list.WriteString("GLOBAL", "ROMFILENAME", work.path().string() + "/Temp.glb");
  }
  // An assembly that is not to fail (a failure fails the test).
  GlbResult make() {
    Result<GlbResult> result = assemble();
    if (!result) {
      ADD_FAILURE() << ErrorText(result.error(), 0);
      return {};
    }
    return std::move(result).value();
  }
  Result<GlbResult> assemble(const BuildReporter* language = nullptr) {
    options.workFolder = work.path().string();
    return MakeGLB(listPath, options, language != nullptr ? *language : reporter);
  }
  // The text of the error that ends the assembly, in English.
  std::string failure() {
    const Result<GlbResult> result = assemble();
    return result ? "(assembled)" : ErrorText(result.error(), 0);
  }
  std::string glbBytes() const { return test::ReadFileBytes(work / "Temp.GLB"); }
  // What remains in the work folder besides the list and the GLB.
  std::vector<std::string> leftovers() const {
    std::vector<std::string> names;
    for (const auto& file : fs::directory_iterator(work.path())) {
      const std::string name = file.path().filename().string();
      if (name != "tempt880.glp" && name != "Temp.GLB") {
        names.push_back(name);
      }
    }
    return names;
  }

  test::TempDir work;
  std::string listPath = (work / "tempt880.glp").string();
  GlbOptions options;
  std::vector<std::string> log;
  BuildReporter reporter{0, [this](const std::string& line) { log.push_back(line); }};
};

std::vector<std::uint8_t> fixtureLibrary() {
  const std::string bytes = test::RomFixtureLibraryBytes();
  return {bytes.begin(), bytes.end()};
}

TEST_F(GlbTest, ALibraryResourceAloneIsCopiedWithItsTagReplaced) {
  const std::vector<std::uint8_t> library = fixtureLibrary();
  options.library = library;
  const LibraryResource resource = FindLibraryResource(library, 0, 117);
  ASSERT_EQ(resource.status, LibraryLookup::kFound);
  const std::string original = fromVector({resource.bytes.begin(), resource.bytes.end()});
  ASSERT_EQ(original.substr(0, 2), "BM");

  setSlot(0, 98, "@B0F117");
  const GlbResult result = make();
  ASSERT_TRUE(result.written);
  EXPECT_EQ(result.glbPath, (work / "Temp.GLB").string()) << "the extension becomes .GLB";
  const std::string glb = glbBytes();
  ASSERT_EQ(glb.size(), 16392 + original.size());
  EXPECT_EQ(result.glbSize, glb.size());
  EXPECT_EQ(glb.substr(0, 8), "KWXGLB2L");
  EXPECT_EQ(entry(glb, 0, 98), std::make_pair(16392u, static_cast<std::uint32_t>(original.size())));
  EXPECT_EQ(le32(glb, 792), 16392u) << "entry of bank 0 slot 98 at offset 792";
  EXPECT_EQ(glb.find_first_not_of('\0', 8), 792u);
  EXPECT_EQ(glb.find_first_not_of('\0', 800), 16392u) << "every other entry is empty";
  EXPECT_EQ(glb.substr(16392), withTagReplaced(original));

  const ResourceCheck check = result.checks[ResourceIndex(0, 98)];
  EXPECT_EQ(check.size, original.size());
  EXPECT_EQ(check.crc, YVclUtil::Crc8Maxim(glb.data() + 16392, original.size()));
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(leftovers().empty()) << "KWX_TEMPBMP.BMP is removed";
}

TEST(BmTagTest, ReplacedBySizeBytes) {
  std::vector<std::uint8_t> small(74, 0);
  small[0] = 'B';
  small[1] = 'M';
  ReplaceBmTag(small);
  EXPECT_EQ(small[0], 18);
  EXPECT_EQ(small[1], 27);
  std::vector<std::uint8_t> large(1200, 'M');
  large[0] = 'B';
  ReplaceBmTag(large);
  EXPECT_EQ(large[0], 44);
  EXPECT_EQ(large[1], 194);
  std::vector<std::uint8_t> other{'M', 'B', 1, 2};
  ReplaceBmTag(other);
  EXPECT_EQ(other, (std::vector<std::uint8_t>{'M', 'B', 1, 2}));
  std::vector<std::uint8_t> one{'B'};
  ReplaceBmTag(one);
  EXPECT_EQ(one[0], 'B');
}

TEST_F(GlbTest, PicturesAreConvertedByBankAndStoredInSlotOrder) {
  const std::string arrow = test::RomPicture("arrow_up0.bmp");
  const std::string background = test::RomPicture("background_v1.bmp");
  setSlot(7, 3, background);
  setSlot(0, 200, arrow);
  setSlot(1, 0x31, arrow);
  const GlbResult result = make();
  ASSERT_TRUE(result.written);
  const std::string glb = glbBytes();

  const std::string arrowFile = test::ReadFileBytes(arrow);
  const auto truncated = TranslateBmpBytesRgb888ToRgb565(
      std::span(reinterpret_cast<const std::uint8_t*>(arrowFile.data()), arrowFile.size()));
  ASSERT_TRUE(truncated) << truncated.error().detail;
  const std::string backgroundFile = test::ReadFileBytes(background);
  const std::string diffused = fromVector(ErrorDiffuseBmpBytes(std::span(
      reinterpret_cast<const std::uint8_t*>(backgroundFile.data()), backgroundFile.size())));

  const std::string arrowStored = withTagReplaced(fromVector(*truncated));
  const auto [offset0, size0] = entry(glb, 0, 200);
  const auto [offset1, size1] = entry(glb, 1, 0x31);
  const auto [offset7, size7] = entry(glb, 7, 3);
  EXPECT_EQ(offset0, 16392u);
  EXPECT_EQ(offset1, offset0 + size0);
  EXPECT_EQ(offset7, offset1 + size1);
  EXPECT_EQ(glb.size(), offset7 + size7);
  EXPECT_EQ(glb.substr(offset0, size0), arrowStored);
  EXPECT_EQ(glb.substr(offset1, size1), arrowStored);
  EXPECT_EQ(glb.substr(offset7, size7), withTagReplaced(diffused))
      << "backgrounds are diffused, not truncated";
  EXPECT_NE(
      diffused,
      fromVector(*TranslateBmpBytesRgb888ToRgb565(std::span(
          reinterpret_cast<const std::uint8_t*>(backgroundFile.data()), backgroundFile.size()))));
  EXPECT_EQ(result.checks[ResourceIndex(7, 3)].crc,
            YVclUtil::Crc8Maxim(glb.data() + offset7, size7));
  EXPECT_EQ(test::ReadFileBytes(arrow), arrowFile) << "the user's picture is never touched";
  EXPECT_TRUE(leftovers().empty()) << "TempBmp.bmp is removed";
}

TEST_F(GlbTest, LibraryReferencesThatFindNothingLeaveEmptySlotsWithAWarning) {
  setSlot(0, 47, "@B0F47");
  const GlbResult none = make();
  ASSERT_TRUE(none.written);
  EXPECT_EQ(glbBytes().size(), 16392u);
  EXPECT_EQ(log, std::vector<std::string>{
                     "[Warning] BANK0-47=@B0F47 library resource not found (no picture library "
                     "T880_PCGLB.GLB loaded) --> empty slot !!!"});

  std::vector<std::uint8_t> library = fixtureLibrary();
  // Slot 58 reaches beyond the end once the library is cut just before its last byte.
  const LibraryResource last = FindLibraryResource(library, 0, 255);
  ASSERT_EQ(last.status, LibraryLookup::kFound);
  library.pop_back();
  options.library = library;
  log.clear();
  setSlot(0, 126, "@B0F126");
  setSlot(0, 255, "@B0F255");
  setSlot(0, 2, "@B9F1");
  setSlot(0, 3, "@B0F256");
  setSlot(0, 4, "@B0F-1");
  const GlbResult partial = make();
  ASSERT_TRUE(partial.written);
  EXPECT_EQ(entry(glbBytes(), 0, 47).second, 82u) << "slot 47 is found";
  EXPECT_EQ(log, (std::vector<std::string>{
                     "[Warning] BANK0-2=@B9F1 library resource not found (bank or number out of "
                     "range) --> empty slot !!!",
                     "[Warning] BANK0-3=@B0F256 library resource not found (bank or number out "
                     "of range) --> empty slot !!!",
                     "[Warning] BANK0-4=@B0F-1 library resource not found (bank or number out of "
                     "range) --> empty slot !!!",
                     "[Warning] BANK0-126=@B0F126 library resource not found (the library slot "
                     "is empty) --> empty slot !!!",
                     "[Warning] BANK0-255=@B0F255 library resource not found (the entry reaches "
                     "beyond the library file) --> empty slot !!!"}));
}

TEST(PictureLibraryTest, ALibraryShorterThanItsDirectoryIsNeverReadBeyondItsEnd) {
  const std::vector<std::uint8_t> full = libraryWith(200, "resource");
  // Cut inside the directory, before and within slot 200's entry.
  for (std::size_t length : {std::size_t{8}, std::size_t{1607}, std::size_t{1611}}) {
    const std::vector<std::uint8_t> cut(full.begin(), full.begin() + length);
    EXPECT_EQ(FindLibraryResource(cut, 0, 200).status, LibraryLookup::kEmptySlot) << length;
  }
  EXPECT_EQ(FindLibraryResource(full, 0, 200).status, LibraryLookup::kFound);
  EXPECT_EQ(FindLibraryResource(full, 7, 255).status, LibraryLookup::kEmptySlot);
  EXPECT_EQ(FindLibraryResource({}, 0, 200).status, LibraryLookup::kNoLibrary);
  // An offset near 4 GiB must not wrap around.
  std::vector<std::uint8_t> forged = full;
  forged[8 + 200 * 8] = 0xFF;
  forged[8 + 200 * 8 + 1] = 0xFF;
  forged[8 + 200 * 8 + 2] = 0xFF;
  EXPECT_EQ(FindLibraryResource(forged, 0, 200).status, LibraryLookup::kPastEnd);
}

TEST_F(GlbTest, APictureTheTruncatingConverterRefusesIsAnEmptySlotWithAWarning) {
  const std::string odd = test::RomPicture("odd_width.bmp");
  setSlot(0, 176, odd);
  setSlot(0, 177, test::RomPicture("message.bmp"));
  ASSERT_TRUE(make().written);
  EXPECT_EQ(entry(glbBytes(), 0, 176), std::make_pair(0u, 0u));
  EXPECT_EQ(entry(glbBytes(), 0, 177).first, 16392u);
  EXPECT_EQ(log, std::vector<std::string>{"[Warning] BANK0-176=" + odd +
                                          " picture not converted ((bmpInfo.biWidth & 1)==0) --> "
                                          "empty slot !!!"});

  log.clear();
  const BuildReporter chinese(1, [this](const std::string& line) { log.push_back(line); });
  const Result<GlbResult> inChinese = assemble(&chinese);
  ASSERT_TRUE(inChinese);
  ASSERT_TRUE(inChinese->written);
  EXPECT_EQ(log, std::vector<std::string>{"[警告] BANK0-176=" + odd +
                                          " 圖檔無法轉換 ((bmpInfo.biWidth & 1)==0) --> "
                                          "保留空白 !!!"});
}

TEST_F(GlbTest, ErrorsThatEndTheBuildNameTheFile) {
  const test::TempDir pictures;
  const std::string notBmp = (pictures / "background.bmp").string();
  test::WriteFileBytes(notBmp, "not a picture");
  setSlot(7, 0, notBmp);
  const std::string pictureError = failure();
  EXPECT_NE(pictureError.find("Err: picture " + notBmp + ": "), std::string::npos)
      << "the background converter's error ends the build: " << pictureError;
  EXPECT_FALSE(fs::exists(work / "Temp.GLB"));

  fs::remove(listPath);
  setSlot(0, 21, "/nowhere/MON_EN_80x40.bmp");
  EXPECT_EQ(failure(),
            "Err: BANK0-21=/nowhere/MON_EN_80x40.bmp is neither a picture file nor a "
            "library resource")
      << "a value that is neither a picture nor a library reference ends the build";
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(GlbTest, ResourcesBeyondTheSizeLimitAreRefusedBeforeAnythingIsWritten) {
  const std::vector<std::uint8_t> library = libraryWith(98, std::string(1000, 'x'));
  options.library = library;
  setSlot(0, 98, "@B0F98");
  setSlot(0, 97, test::RomPicture("digit_1.bmp"));  // 16-bit: 66 + 8 * 10 * 2 = 226 bytes

  options.sizeLimit = 16392 + 226 + 1000;
  const GlbResult fits = make();
  ASSERT_TRUE(fits.written);
  EXPECT_EQ(fits.glbSize, 16392u + 226 + 1000);
  fs::remove(work / "Temp.GLB");

  options.sizeLimit = 16392 + 226 + 999;
  const GlbResult overflow = make();
  EXPECT_FALSE(overflow.written);
  EXPECT_FALSE(fs::exists(work / "Temp.GLB"));
  EXPECT_TRUE(leftovers().empty());
  EXPECT_TRUE(log.empty()) << "the caller logs the out-of-memory line";

  options.sizeLimit = 16392 + 225;
  EXPECT_FALSE(make().written) << "a converted picture is measured before it is stored";
}

TEST_F(GlbTest, TheDataAreaHoldsAtMostSixteenMebibytes) {
  const std::vector<std::uint8_t> library = libraryWith(98, std::string(16777217, 'x'));
  options.library = library;
  setSlot(0, 98, "@B0F98");
  EXPECT_FALSE(make().written);
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(GlbTest, WithoutAGlbNameTheDefaultGoesToTheWorkFolder) {
  YVclUtil::TYIniFile(listPath).WriteString("BANK0", "RESFN_1", "");
  const GlbResult result = make();
  ASSERT_TRUE(result.written);
  EXPECT_EQ(result.glbPath, (work / "KWX.GLB").string());
  EXPECT_EQ(test::ReadFileBytes(result.glbPath).size(), 16392u);
}

TEST(ChangeFileExtTest, ReplacesOnlyTheFileNamesExtension) {
  EXPECT_EQ(ChangeFileExt("/a/b/Temp.glb", ".GLB"), "/a/b/Temp.GLB");
  EXPECT_EQ(ChangeFileExt("/a/b.d/project", ".BIN"), "/a/b.d/project.BIN");
  EXPECT_EQ(ChangeFileExt("C:\\x.y\\p.ql3", ".BIN"), "C:\\x.y\\p.BIN");
  EXPECT_EQ(ChangeFileExt("p.tar.ql3", ".BIN"), "p.tar.BIN");
}

}  // namespace
}  // namespace tvx
