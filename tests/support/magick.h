#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pictures written by ImageMagick's convert while the tests run, the way pictures from other
// programs reach the tool.
namespace tvx::test {

// The file `name`, made once per test program by "convert ARGUMENTS" and its path, in a folder
// that lasts as long as the program. ARGUMENTS ends with the output format ("... BMP3:"), or
// the extension of name picks it.
std::string MagickPicture(const std::string& name, const std::string& arguments);

// The picture as ImageMagick reads it: width × height pixels 0xAARRGGBB, rows top-down.
struct MagickPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
};
MagickPixels MagickRead(const std::string& picture);

}  // namespace tvx::test
