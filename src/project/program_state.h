#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "project/protocols.h"
#include "project/window_state.h"
#include "util/rom_image_format.h"

// The values that belong to the running program rather than to the project: the program home,
// the application settings and what follows from them, the picture library and the title.
namespace tvx {

inline constexpr std::string_view kSettingsFileName = "DPW880.INI";
inline constexpr std::string_view kLibraryFileName = "T880_PCGLB.GLB";

// From the settings file "DPW880.INI"; fixed until it is read again.
struct AppSettings {
  unsigned LANG = 1;        // 0 English, anything else Chinese; also names the caption section
  unsigned MEM = 0;         // 64 = 64 Mb image, else 32 Mb
  std::string OemProtocol;  // name of the matched protocol, empty when none ever matched
  bool DateTimeSupported = false;
  bool LiftMsgIdxUsed = false;
  int ProtocolResource32 = kDefaultProtocolResource32;
  int ProtocolResource64 = kDefaultProtocolResource64;

  bool english() const { return LANG == 0; }
  bool memory64() const { return MEM == 64; }
  std::size_t romImageSize() const { return memory64() ? kRomImageSize64 : kRomImageSize32; }
  int protocolResource() const { return memory64() ? ProtocolResource64 : ProtocolResource32; }
};

struct ProgramState {
  std::string ProgramDir;  // the program home, ending in a separator
  AppSettings settings;
  WindowState window;

  bool LibraryLoaded = false;
  std::vector<std::uint8_t> LibraryImage;  // the whole "T880_PCGLB.GLB"
  std::string LibraryDate = "000000";      // its modification date as YYMMDD

  std::string TitleBase;  // empty when the library was not found
  std::string Title{kDesignCaption};

  std::string settingsPath() const { return ProgramDir + std::string(kSettingsFileName); }
  std::string libraryPath() const { return ProgramDir + std::string(kLibraryFileName); }
};

}  // namespace tvx
