#pragma once

#include <string>

#include "support/test_home.h"

// Program homes for ROM image builds, made from the pictures of tests/data/rom (24-bit BMPs
// written by ImageMagick) and its small picture library.
namespace tvx::test {

// The full path of a fixture picture of tests/data/rom/pictures ("digit_1.bmp").
std::string RomPicture(const std::string& name);
// The fixture library (bank 0: 47..58, 117, 123..125, 134, 255; 126 empty).
std::string RomFixtureLibraryBytes();

struct RomHomeSettings {
  int lang = 0;
  int mem = 32;
  std::string oem = "KWXPS";
  bool library = true;
};

// Fills home with the settings, the library, the arrows of arrow styles Style0 and Style1, the
// floor characters "0".."9", "S", "B" and the picture "LOBBY" of floor style Style0, and the
// English weekday and month pictures.
void FillRomHome(TestHome& home, const RomHomeSettings& settings = {});

}  // namespace tvx::test
