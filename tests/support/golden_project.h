#pragma once

#include <string>

#include "project/catalogue.h"
#include "project/project.h"
#include "support/rom_home.h"

// The small project of the golden ROM image: every kind of resource, some settings away from
// their defaults, and a few things the build must cancel or warn about.
namespace tvx::test {

// The clock of the golden image: SOURCE_DATE_EPOCH=1362578709 is 2013-03-06 14:05:09 UTC.
inline constexpr const char* kGoldenEpoch = "1362578709";

// The golden program home: the ROM test home (KWXPS, 32 Mb, English), all forty lift-state
// pictures (the earthquake's first Chinese one has an odd width, which the truncating converter
// refuses), two vertical and one horizontal background and a standby logo.
inline void FillGoldenHome(TestHome& home) {
  FillRomHome(home);
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    for (int column = 0; column < kLiftStateColumnCount; ++column) {
      const bool refused = row == 1 && column == 0;
      home.put("DefaultImageR1/LiftState/" + DefaultLiftStateFileName(row, column),
               ReadFileBytes(RomPicture(refused ? "odd_width.bmp" : "message.bmp")));
    }
  }
  home.put("DefaultImageR1/Background/V/v1.bmp", ReadFileBytes(RomPicture("background_v1.bmp")));
  home.put("DefaultImageR1/Background/V/v2.bmp", ReadFileBytes(RomPicture("background_v2.bmp")));
  home.put("DefaultImageR1/Background/H/h1.bmp", ReadFileBytes(RomPicture("background_h1.bmp")));
  home.put("logo.bmp", ReadFileBytes(RomPicture("logo.bmp")));
}

// Sets the golden design on a project fresh from start-up on the golden home.
inline void DesignGoldenProject(Project& p, const std::string& homeDir) {
  p.FloorTable[0] = "B1";
  p.FloorTable[1] = "1";
  p.FloorTable[2] = "02";
  p.FloorTable[3] = "12";
  p.FloorTable[4] = "lobby";
  p.FloorTable[5] = "ROOF";  // no picture: cancelled with a warning
  p.FloorBkgImage[1] = "x";  // warned about twice
  p.FloorBkgImage[2] = "1";
  p.FloorBkgImage[4] = "300";
  p.UserBkGndImage[0] = homeDir + "DefaultImageR1/Background/V/v1.bmp";
  p.UserBkGndImage[1] = homeDir + "DefaultImageR1/Background/V/gone.bmp";
  p.UserBkGndImage[2] = homeDir + "DefaultImageR1/Background/V/v2.bmp";
  p.UserBkGndImage2[1] = homeDir + "DefaultImageR1/Background/H/h1.bmp";
  p.USE_BACKGROUNDBMP = 1;
  p.AUTOSLIDESHOW = 0;
  p.FL_COLOR = 0x0000A5FF;
  p.BKG_COLOR = 0x00402010;
  p.CLOCK_COLOR = 0x0000FF00;
  p.USE_DATETIME = 1;
  p.DATE_STYLE = 1;
  p.HLAMP1 = 1;
  p.HLAMP2 = 10;
  p.USE_STANDBYLOGO = 1;
  p.STANDBYLOGOBMP = homeDir + "logo.bmp";
  p.STANDBYTIME = 4;
  p.NODEADDR = 7;
  p.DIR_STYLE = 2;
  SelectLayout(p, kLayoutArrangement1);
  p.LayoutVariant = 1;
  p.LiftMsgIdx = {1, 0, 0, 1, 0, 0, 0, 0, 0, 7};
  p.BACKLIGHTSAVE = 8;
  p.LCDBLCTRLMODE = 1;
  p.PS_MODE = 2;
  p.ARRIVALBLINK = 1;
  p.MSG_STYLE = 5;
}

}  // namespace tvx::test
