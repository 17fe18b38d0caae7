#include "support/rom_home.h"

namespace tvx::test {

namespace {

const std::string kPictures = std::string(TVX_TEST_DATA_DIR) + "/rom/pictures/";

}  // namespace

std::string RomPicture(const std::string& name) {
  return kPictures + name;
}

std::string RomFixtureLibraryBytes() {
  return ReadFileBytes(std::string(TVX_TEST_DATA_DIR) + "/rom/library.glb");
}

void FillRomHome(TestHome& home, const RomHomeSettings& settings) {
  home.writeSettings(IniText({"[Option]", "LANG=" + std::to_string(settings.lang),
                              "MEM=" + std::to_string(settings.mem), "OEM=" + settings.oem, "",
                              "[LiftMsg]", "Used=0"}));
  if (settings.library) {
    home.writeLibrary(RomFixtureLibraryBytes());
  }
  const auto copy = [&home](const std::string& picture, const std::string& to) {
    home.put(to, ReadFileBytes(RomPicture(picture)));
  };
  for (const char* style : {"Style0", "Style1"}) {
    const std::string folder = std::string("DefaultImageR1/UserDefine/DIR/") + style + "/DIR_";
    copy("arrow_up0.bmp", folder + "UP0_104x128.bmp");
    copy("arrow_up1.bmp", folder + "UP1_104x128.bmp");
    copy("arrow_dn0.bmp", folder + "DN0_104x128.bmp");
    copy("arrow_dn1.bmp", folder + "DN1_104x128.bmp");
  }
  const std::string floor = "DefaultImageR1/UserDefine/Floor/Style0/";
  for (char digit = '0'; digit <= '9'; ++digit) {
    copy(std::string("digit_") + digit + ".bmp", floor + "0x3" + digit + ".bmp");
  }
  copy("letter_S.bmp", floor + "0x53.bmp");
  copy("letter_B.bmp", floor + "0x42.bmp");
  copy("lobby.bmp", floor + "LOBBY.bmp");
  for (const char* name : {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN", "JAN", "FEB", "MAR",
                           "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"}) {
    copy("date.bmp",
         std::string("DefaultImageR1/UserDefine/DateTime/EN/") + name + "_EN_80x40.bmp");
  }
}

}  // namespace tvx::test
