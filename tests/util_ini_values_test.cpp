#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "util/date_time.h"
#include "util/ini_file.h"
#include "util/platform_exception.h"

using namespace YVclUtil;
using tvx::platform::EConvertError;
using tvx::platform::TDateTime;

namespace {

class IniValuesTest : public ::testing::Test {
 protected:
  // Stores value under S/k and answers the raw text.
  std::string stored() { return m_ini.ReadString("S", "k", "<none>"); }
  void set(const std::string& text) { m_ini.WriteString("S", "k", text); }

  tvx::test::TempDir m_dir;
  TYIniFile m_ini{(m_dir / "values.ini").string()};
};

template <typename Read>
std::string conversionError(Read read) {
  try {
    read();
  } catch (const EConvertError& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace

TEST_F(IniValuesTest, Integers) {
  m_ini.WriteInteger("S", "k", -42);
  EXPECT_EQ(stored(), "-42");
  EXPECT_EQ(m_ini.ReadInteger("S", "k", 0), -42);
  for (const auto& [text, value] :
       std::initializer_list<std::pair<const char*, int>>{{"  +17", 17},
                                                          {"$1F", 31},
                                                          {"x1f", 31},
                                                          {"0X10", 16},
                                                          {"-0x10", -16},
                                                          {"2147483647", 2147483647},
                                                          {"-2147483648", -2147483647 - 1},
                                                          {"$FFFFFFFF", -1}}) {
    set(text);
    EXPECT_EQ(m_ini.ReadInteger("S", "k", 0), value) << text;
  }
  for (const char* bad : {"12a", "12 ", "", "0x", "2147483648", "1.5", "$1FFFFFFFF"}) {
    set(bad);
    if (*bad == '\0') {
      continue;  // an empty value is no value
    }
    EXPECT_EQ(conversionError([&] { m_ini.ReadInteger("S", "k", 0); }),
              std::string("'") + bad + "' is not a valid integer value");
  }
  EXPECT_EQ(m_ini.ReadInteger("S", "absent", 7), 7);
  EXPECT_EQ(m_ini.ReadInteger("Absent", "k", 7), 7);
}

TEST_F(IniValuesTest, UnsignedAndHexNumbers) {
  m_ini.WriteUnsigned("S", "k", 4294967295U);
  EXPECT_EQ(stored(), "-1");
  EXPECT_EQ(m_ini.ReadUnsigned("S", "k", 0), 4294967295U);
  m_ini.WriteUnsigned("S", "k", 2147483648U);
  EXPECT_EQ(stored(), "-2147483648");
  EXPECT_EQ(m_ini.ReadUnsigned("S", "k", 0), 2147483648U);

  m_ini.WriteHexNum("S", "k", 255);
  EXPECT_EQ(stored(), "0xFF");
  EXPECT_EQ(m_ini.ReadHexNum("S", "k", 0), 255U);
  m_ini.WriteHexNum("S", "k", 0);
  EXPECT_EQ(stored(), "0x0");

  for (const auto& [text, value] : std::initializer_list<std::pair<const char*, std::uint32_t>>{
           {"0XFF", 0},     // upper-case X is no prefix: decimal "0", then it stops
           {"0x", 0},       // too short for the prefix
           {"12", 12},      // plain decimal
           {"0x0x1F", 31},  // the hexadecimal conversion takes its own "0x" too
           {" \t-2", 4294967294U},
           {"99999999999", 4294967295U},  // out of range saturates
           {"7abc", 7}}) {
    set(text);
    EXPECT_EQ(m_ini.ReadHexNum("S", "k", 1234), value) << text;
    EXPECT_EQ(m_ini.ReadUnsigned("S", "k", 1234), value) << text;
  }
  for (const char* nothing : {"0xZZ", "zz", "-"}) {
    set(nothing);
    EXPECT_EQ(m_ini.ReadHexNum("S", "k", 1234), 1234U) << nothing;
  }
  EXPECT_EQ(m_ini.ReadUnsigned("S", "absent", 5), 5U);
  EXPECT_EQ(m_ini.ReadHexNum("S", "absent", 5), 5U);
}

TEST_F(IniValuesTest, FloatsUseTheCLocaleWhateverTheUserLocale) {
  m_ini.WriteFloat("S", "k", 1.5);
  EXPECT_EQ(stored(), "1.500000");
  EXPECT_DOUBLE_EQ(m_ini.ReadFloat("S", "k", 9), 1.5);
  set("0");
  EXPECT_DOUBLE_EQ(m_ini.ReadFloat("S", "k", 9), 0.0);
  set("abc");
  EXPECT_DOUBLE_EQ(m_ini.ReadFloat("S", "k", 9), 9.0);
  set("2.5e3xyz");
  EXPECT_DOUBLE_EQ(m_ini.ReadFloat("S", "k", 9), 2500.0);
  EXPECT_DOUBLE_EQ(m_ini.ReadFloat("S", "absent", 9), 9.0);
}

// A window toolkit switches the process to the user's locale; a decimal comma must not reach
// the files, nor stop them being read.
TEST_F(IniValuesTest, NumbersIgnoreTheUserLocale) {
  const std::string folder = (m_dir / "locale").string();
  std::filesystem::create_directory(folder);
  const std::string build =
      "localedef -i de_DE -f ISO-8859-1 '" + folder + "/de_DE' >/dev/null 2>&1";
  if (std::system(build.c_str()) == -1 || setenv("LOCPATH", folder.c_str(), 1) != 0 ||
      std::setlocale(LC_ALL, "de_DE") == nullptr) {
    GTEST_SKIP() << "cannot build a German locale (Debian package locales)";
  }
  char sample[16];
  std::snprintf(sample, sizeof(sample), "%.1f", 0.5);
  EXPECT_STREQ(sample, "0,5");  // the locale is in force

  m_ini.WriteFloat("S", "k", 0.25);
  m_ini.Printf("S", "p", "%.1f", 0.5);
  EXPECT_EQ(stored(), "0.250000");
  EXPECT_EQ(m_ini.ReadString("S", "p", ""), "0.5");
  EXPECT_DOUBLE_EQ(m_ini.ReadFloat("S", "k", 9), 0.25);

  std::setlocale(LC_ALL, "C");
  unsetenv("LOCPATH");
}

TEST_F(IniValuesTest, Booleans) {
  const std::pair<int, std::pair<const char*, const char*>> styles[] = {
      {0, {"0", "1"}},     {1, {"False", "True"}}, {2, {"Low", "High"}},
      {3, {"Not", "Yes"}}, {7, {"0", "1"}},        {-1, {"0", "1"}}};
  for (const auto& [style, texts] : styles) {
    m_ini.WriteBool("S", "k", false, style);
    EXPECT_EQ(stored(), texts.first) << style;
    m_ini.WriteBool("S", "k", true, style);
    EXPECT_EQ(stored(), texts.second) << style;
  }
  for (const char* yes : {"yes", "TRUE", "High", "1", "t", "h"}) {
    set(yes);
    EXPECT_TRUE(m_ini.ReadBool("S", "k", false)) << yes;
  }
  for (const char* no : {"no", "Low", "0", "False", "l", "N"}) {
    set(no);
    EXPECT_FALSE(m_ini.ReadBool("S", "k", true)) << no;
  }
  for (const char* other : {"2", "?", "on", "\xA4\xA4"}) {
    set(other);
    EXPECT_TRUE(m_ini.ReadBool("S", "k", true)) << other;
    EXPECT_FALSE(m_ini.ReadBool("S", "k", false)) << other;
  }
  EXPECT_TRUE(m_ini.ReadBool("S", "absent", true));
}

TEST_F(IniValuesTest, DatesAndTimes) {
  const TDateTime date = tvx::platform::EncodeDate(2024, 3, 7);
  const TDateTime time = tvx::platform::EncodeTime(7, 5, 9);
  const TDateTime both{date.Value + time.Value};

  m_ini.WriteTime("S", "k", both);
  EXPECT_EQ(stored(), "07:05:09");
  EXPECT_EQ(m_ini.ReadTime("S", "k", TDateTime{}), time);
  m_ini.WriteDate("S", "k", both);
  EXPECT_EQ(stored(), "03/07/2024");
  EXPECT_EQ(m_ini.ReadDate("S", "k", TDateTime{}), date);
  m_ini.WriteDateTime("S", "k", both);
  EXPECT_EQ(stored(), "03/07/2024 07:05:09");
  EXPECT_EQ(m_ini.ReadDateTime("S", "k", TDateTime{}), both);

  set(" 7:05 ");
  EXPECT_EQ(m_ini.ReadTime("S", "k", TDateTime{}), tvx::platform::EncodeTime(7, 5, 0));
  set("3/7/24");
  EXPECT_EQ(m_ini.ReadDate("S", "k", TDateTime{}), date);
  set("12/30/1899");
  EXPECT_EQ(m_ini.ReadDate("S", "k", TDateTime{1}).Value, 0.0);

  set("24:00:00");
  EXPECT_EQ(conversionError([&] { m_ini.ReadTime("S", "k", TDateTime{}); }),
            "'24:00:00' is not a valid time");
  set("02/30/2024");
  EXPECT_EQ(conversionError([&] { m_ini.ReadDate("S", "k", TDateTime{}); }),
            "'02/30/2024' is not a valid date");
  set("03/07/2024 7");
  EXPECT_EQ(conversionError([&] { m_ini.ReadDateTime("S", "k", TDateTime{}); }),
            "'03/07/2024 7' is not a valid date and time");

  const TDateTime fallback{12.5};
  EXPECT_EQ(m_ini.ReadTime("S", "absent", fallback), fallback);
  EXPECT_EQ(m_ini.ReadDate("S", "absent", fallback), fallback);
  EXPECT_EQ(m_ini.ReadDateTime("S", "absent", fallback), fallback);

  m_ini.WriteCurrentDateTime("S", "now");
  const TDateTime now = m_ini.ReadDateTime("S", "now", TDateTime{});
  EXPECT_LT(std::abs(now.Value - tvx::platform::Now().Value), 2.0 / 86400);
}

TEST_F(IniValuesTest, PrintfFormatsByTheCRules) {
  m_ini.Printf("S", "k", "%s-%03d-%c", "FL", 7, 'x');
  EXPECT_EQ(stored(), "FL-007-x");
  m_ini.Printf("S", "k", "%s", "");
  EXPECT_TRUE(m_ini.KeyExists("S", "k"));
  EXPECT_FALSE(m_ini.ValueExists("S", "k"));
}
