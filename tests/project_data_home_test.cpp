// Checks the program home shipped in data/: every picture the catalogue rules and the build
// name exists and is a BMP both converters accept, the picture library's directory is sound and
// holds every resource the build copies, and the settings file carries every caption key.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace fs = std::filesystem;
using tvx::test::ReadFileBytes;

namespace {

const fs::path kHome = fs::path(TVX_SOURCE_DIR) / "data";
const fs::path kCatalogue = kHome / "DefaultImageR1";

std::uint32_t Le32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t Le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}

std::uint32_t Be32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

struct BmpShape {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A 24-bit, uncompressed, bottom-up BMP whose header counts exactly its pixels, and whose rows
// need no padding (the truncating converter reads the pixel block unpadded). Returns an error
// text, empty when the file is sound.
std::string Check24BitBmp(const fs::path& path, BmpShape& shape) {
  const std::string b = ReadFileBytes(path);
  if (b.size() < 54 || b.compare(0, 2, "BM") != 0)
    return "no BMP header";
  shape.width = static_cast<std::int32_t>(Le32(b, 18));
  shape.height = static_cast<std::int32_t>(Le32(b, 22));
  if (Le32(b, 14) != 40 || Le16(b, 26) != 1 || Le16(b, 28) != 24 || Le32(b, 30) != 0)
    return "not a 24-bit uncompressed BMP with a 40-byte header";
  if (shape.width <= 0 || shape.height <= 0)
    return "not bottom-up";
  if (shape.width % 4 != 0)
    return "width is not a multiple of 4";
  const std::uint32_t pixels = static_cast<std::uint32_t>(shape.width * shape.height * 3);
  if (Le32(b, 10) != 54 || Le32(b, 2) != 54 + pixels || b.size() != 54 + pixels ||
      Le32(b, 34) != pixels)
    return "sizes in the header do not match the file";
  return "";
}

// Every catalogue and sample path that the catalogue rules, the previews and the default
// project name, relative to the program home.
std::vector<std::string> NamedPictures() {
  std::vector<std::string> paths;
  const char* states[] = {"FIRE",        "EARTHQUAKE", "ALARM", "PWR.FAILURE", "OVERLOAD",
                          "MAINTENANCE", "FULL",       "VIP",   "PARKING",     "IND"};
  for (const char* state : states)
    for (const char* variant : {"0_CHT", "1_CHT", "0_EG", "1_EG"})
      paths.push_back(std::string("DefaultImageR1/LiftState/") + state + variant + "_240x48.bmp");
  const char* days[] = {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"};
  const char* months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  for (const std::string lang : {"EN", "CHT"})
    for (const char* day : days)
      paths.push_back("DefaultImageR1/UserDefine/DateTime/" + lang + "/" + day + "_" + lang +
                      "_80x40.bmp");
  for (const char* month : months)
    paths.push_back(std::string("DefaultImageR1/UserDefine/DateTime/EN/") + month +
                    "_EN_80x40.bmp");
  std::string characters = "-";
  for (char c = '0'; c <= '9'; ++c)
    characters += c;
  for (char c = 'A'; c <= 'Z'; ++c)
    characters += c;
  for (int style = 0; style < 5; ++style) {
    const std::string floor = "DefaultImageR1/UserDefine/Floor/Style" + std::to_string(style);
    for (char c : characters) {
      char name[16];
      std::snprintf(name, sizeof name, "/0x%02X.bmp", static_cast<unsigned>(c));
      paths.push_back(floor + name);
    }
    paths.push_back(floor + "/LOBBY.bmp");
    const std::string dir = "DefaultImageR1/UserDefine/DIR/Style" + std::to_string(style);
    for (const char* arrow : {"UP0", "UP1", "DN0", "DN1"})
      paths.push_back(dir + "/DIR_" + arrow + "_104x128.bmp");
    paths.push_back("GUI_Widget_SE/style" + std::to_string(style) + ".bmp");
  }
  for (const char* sample :
       {"Arial_8.BMP", "BorCard_8.BMP", "LiChiBlack_8.BMP", "LiSu_8.BMP", "Impact_8.BMP",
        "day-type1_240x40.bmp", "day-type2_240x40.bmp", "day-type3_240x40.bmp",
        "time-type1_240x40.bmp", "time-type2_240x40.bmp"})
    paths.push_back(std::string("GUI_Widget_SE/") + sample);
  return paths;
}

TEST(DataHomeTest, CatalogueAndSamplesHoldEveryNamedPicture) {
  for (const std::string& relative : NamedPictures())
    EXPECT_TRUE(fs::is_regular_file(kHome / relative)) << relative;
  // The Chinese folder has weekdays only, so months fall back to English.
  EXPECT_FALSE(fs::exists(kCatalogue / "UserDefine/DateTime/CHT/JAN_CHT_80x40.bmp"));
  for (const char* folder : {"Background/V", "Background/H"}) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(kCatalogue / folder))
      count += entry.path().extension() == ".bmp";
    EXPECT_GE(count, 2) << folder;
  }
}

// Reads the size from a name ending in "_<width>x<height>.bmp" (any case of the extension).
bool SizeInName(const std::string& name, int& width, int& height) {
  const std::size_t dot = name.rfind('.');
  const std::size_t cut = name.rfind('_', dot);
  if (dot == std::string::npos || cut == std::string::npos)
    return false;
  return std::sscanf(name.substr(cut).c_str(), "_%dx%d.", &width, &height) == 2;
}

TEST(DataHomeTest, EveryPictureIsA24BitBmpOfTheSizeItsNameOrFolderSays) {
  int checked = 0;
  std::map<std::string, std::pair<int, int>> floorCells;
  for (const auto& entry : fs::recursive_directory_iterator(kHome)) {
    std::string ext = entry.path().extension().string();
    for (char& c : ext)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!entry.is_regular_file() || ext != ".bmp")
      continue;
    const std::string relative = fs::relative(entry.path(), kHome).generic_string();
    BmpShape shape;
    const std::string error = Check24BitBmp(entry.path(), shape);
    EXPECT_EQ(error, "") << relative;
    if (!error.empty())
      continue;
    ++checked;
    const std::string name = entry.path().filename().string();
    int width = 0, height = 0;
    if (SizeInName(name, width, height)) {
      EXPECT_EQ(shape.width, width) << relative;
      EXPECT_EQ(shape.height, height) << relative;
    }
    if (relative.starts_with("DefaultImageR1/Background/V/")) {
      EXPECT_TRUE(shape.width == 240 && shape.height == 320) << relative;
    }
    if (relative.starts_with("DefaultImageR1/Background/H/")) {
      EXPECT_TRUE(shape.width == 320 && shape.height == 240) << relative;
    }
    // The characters of one floor style share a cell size, so two of them line up.
    if (relative.starts_with("DefaultImageR1/UserDefine/Floor/") && name.starts_with("0x")) {
      const std::string style = entry.path().parent_path().filename().string();
      const auto it = floorCells.try_emplace(style, shape.width, shape.height).first;
      EXPECT_EQ(it->second, std::make_pair(shape.width, shape.height)) << relative;
    }
  }
  EXPECT_GE(checked, static_cast<int>(NamedPictures().size()));
  EXPECT_EQ(floorCells.size(), 5u);
}

// Library slots the build copies: fixed resources and every protocol's resource for both
// memory sizes.
std::vector<int> ReferencedLibrarySlots() {
  std::vector<int> slots;
  for (int n = 47; n <= 58; ++n)
    slots.push_back(n);
  for (int n = 123; n <= 126; ++n)
    slots.push_back(n);
  slots.push_back(255);
  for (int n :
       {98, 99, 100, 117, 118, 107, 108, 111, 136, 129, 130, 128, 134, 135, 133, 132, 131, 137})
    slots.push_back(n);
  return slots;
}

TEST(DataHomeTest, LibraryDirectoryIsSoundAndCoversEveryReferencedSlot) {
  const std::string lib = ReadFileBytes(kHome / "T880_PCGLB.GLB");
  constexpr std::size_t kDataStart = 8 + 8 * 256 * 8;
  ASSERT_GT(lib.size(), kDataStart);
  std::size_t expectedOffset = kDataStart;
  std::map<int, std::uint32_t> sizes;
  for (int index = 0; index < 8 * 256; ++index) {
    const std::uint32_t offset = Be32(lib, 8 + static_cast<std::size_t>(index) * 8);
    const std::uint32_t size = Be32(lib, 12 + static_cast<std::size_t>(index) * 8);
    if (size == 0) {
      EXPECT_EQ(offset, 0u) << "slot " << index;
      continue;
    }
    // Resources lie back to back in slot order, inside the file.
    EXPECT_EQ(offset, expectedOffset) << "slot " << index;
    ASSERT_LE(std::size_t{offset} + size, lib.size()) << "slot " << index;
    expectedOffset = std::size_t{offset} + size;
    sizes[index] = size;
    // Each is a 16-bit 5-6-5 BMP laid out as the truncating converter writes one.
    const std::string res = lib.substr(offset, size);
    ASSERT_GE(res.size(), 66u);
    EXPECT_EQ(res.substr(0, 2), "BM") << "slot " << index;
    EXPECT_EQ(Le32(res, 2), size) << "slot " << index;
    EXPECT_EQ(Le32(res, 10), 66u);
    EXPECT_EQ(Le16(res, 28), 16) << "slot " << index;
    EXPECT_EQ(Le32(res, 30), 3u) << "slot " << index;
    EXPECT_EQ(Le32(res, 54), 0xF800u);
    EXPECT_EQ(Le32(res, 58), 0x07E0u);
    EXPECT_EQ(Le32(res, 62), 0x001Fu);
    EXPECT_EQ(std::size_t{Le32(res, 18)} * Le32(res, 22) * 2 + 66, size) << "slot " << index;
  }
  EXPECT_EQ(expectedOffset, lib.size()) << "bytes after the last resource";
  for (int slot : ReferencedLibrarySlots())
    EXPECT_TRUE(sizes.contains(slot)) << "slot " << slot;
  EXPECT_EQ(sizes.size(), ReferencedLibrarySlots().size());
}

using Sections =
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>;

// Splits the settings file as the settings store writes it: "[name]" lines, "key=value" lines,
// an empty line closing each section, CR LF everywhere.
Sections ParseWrittenIni(const std::string& text) {
  Sections sections;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      ADD_FAILURE() << "line without CR LF at byte " << pos;
      break;
    }
    const std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "bare CR or LF in " << line;
    if (line.empty())
      continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::size_t start = pos - line.size() - 2;
      EXPECT_TRUE(sections.empty() || (start >= 4 && text.compare(start - 4, 4, "\r\n\r\n") == 0))
          << "no empty line before " << line;
      sections.emplace_back(line.substr(1, line.size() - 2), decltype(sections[0].second){});
      continue;
    }
    const std::size_t eq = line.find('=');
    EXPECT_TRUE(!sections.empty() && eq != std::string::npos && eq + 1 < line.size() &&
                line.back() != ' ')
        << line;
    if (!sections.empty() && eq != std::string::npos)
      sections.back().second.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  EXPECT_TRUE(text.ends_with("\r\n\r\n"));
  return sections;
}

// Big5: ASCII, or a lead byte 0x81..0xFE followed by 0x40..0x7E or 0xA1..0xFE.
bool IsBig5WithChinese(const std::string& s) {
  bool chinese = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
      continue;
    if (c < 0x81 || c == 0xFF || i + 1 == s.size())
      return false;
    const auto t = static_cast<unsigned char>(s[++i]);
    if (!((t >= 0x40 && t <= 0x7E) || (t >= 0xA1 && t <= 0xFE)))
      return false;
    chinese = true;
  }
  return chinese;
}

TEST(DataHomeTest, SettingsCarryOptionsCaptionsFloorsAndExistingLiftPictures) {
  const Sections sections = ParseWrittenIni(ReadFileBytes(kHome / "DPW880.INI"));
  std::map<std::string, std::map<std::string, std::string>> ini;
  std::vector<std::string> order;
  for (const auto& [name, keys] : sections) {
    order.push_back(name);
    for (const auto& [key, value] : keys)
      ini[name][key] = value;
  }
  EXPECT_EQ(order, (std::vector<std::string>{"Option", "LANG0", "LANG1", "FloorTable", "LiftMsg",
                                             "LiftMsgIdx"}));
  EXPECT_EQ(ini["Option"],
            (std::map<std::string, std::string>{{"LANG", "0"}, {"MEM", "32"}, {"OEM", "STEP"}}));

  std::vector<std::string> controls = {"SpeedButton1", "SpeedButton2", "SpeedButton3",
                                       "SpeedButton5"};
  for (int n = 1; n <= 6; ++n)
    controls.push_back("TabSheet" + std::to_string(n));
  for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14, 15, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 28})
    controls.push_back("RadioButton" + std::to_string(n));
  for (int n : {1, 2, 3, 4, 9})
    controls.push_back("GroupBox" + std::to_string(n));
  for (int n : {1, 2, 3, 4, 5, 7})
    controls.push_back("Label" + std::to_string(n));
  for (int n : {1, 2, 8, 9})
    controls.push_back("CheckBox" + std::to_string(n));
  for (int n : {1, 2, 4, 5, 7})
    controls.push_back("N" + std::to_string(n));
  for (const std::string& control : controls) {
    const std::string key = control + ".Caption";
    EXPECT_FALSE(ini["LANG0"][key].empty()) << key;
    for (char c : ini["LANG0"][key])
      EXPECT_GT(c, 0) << key << " is not plain English";
    EXPECT_TRUE(IsBig5WithChinese(ini["LANG1"][key])) << key;
  }
  EXPECT_EQ(ini["LANG0"].size(), controls.size());
  EXPECT_EQ(ini["LANG1"].size(), controls.size());

  // Fifteen stops; every character of a one- or two-character floor has its picture in the
  // default floor style, so the default project builds.
  EXPECT_EQ(ini["FloorTable"].size(), 15u);
  for (const auto& [code, text] : ini["FloorTable"]) {
    EXPECT_TRUE(code.size() == 4 && code.starts_with("0x") &&
                code.find_first_not_of("0123456789ABCDEF", 2) == std::string::npos)
        << code;
    ASSERT_LE(text.size(), 2u) << code;
    for (char c : text) {
      char name[16];
      std::snprintf(name, sizeof name, "0x%02X.bmp", static_cast<unsigned>(c));
      EXPECT_TRUE(fs::exists(kCatalogue / "UserDefine/Floor/Style0" / name)) << code << text;
    }
  }

  EXPECT_EQ(ini["LiftMsg"]["Used"], "1");
  for (int row = 0; row < 10; ++row)
    for (int column = 0; column < 4; ++column) {
      const std::string key = "LiftMsg_" + std::to_string(row) + "_" + std::to_string(column);
      EXPECT_TRUE(fs::is_regular_file(kCatalogue / "LiftState" / ini["LiftMsg"][key])) << key;
    }
}

}  // namespace
