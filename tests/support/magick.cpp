#include "support/magick.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace tvx::test {

namespace {

const TempDir& folder() {
  static const TempDir pictures;
  return pictures;
}

void run(const std::string& command) {
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

std::string captured(const std::string& command) {
  std::string out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
      out.append(buffer, n);
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
  }
  return out;
}

}  // namespace

std::string MagickPicture(const std::string& name, const std::string& arguments) {
  const std::string path = (folder() / name).string();
  if (!std::filesystem::exists(path)) {
    const bool formatGiven = !arguments.empty() && arguments.back() == ':';
    run("convert " + arguments + (formatGiven ? "" : " ") + ShellQuoted(path));
  }
  return path;
}

MagickPixels MagickRead(const std::string& picture) {
  MagickPixels pixels;
  const std::string size = captured("identify -format '%w %h' " + ShellQuoted(picture + "[0]"));
  if (std::sscanf(size.c_str(), "%d %d", &pixels.width, &pixels.height) != 2) {
    ADD_FAILURE() << "identify " << picture << ": " << size;
    return pixels;
  }
  const std::string rgba = captured("convert " + ShellQuoted(picture) + " -depth 8 RGBA:-");
  const std::size_t count = static_cast<std::size_t>(pixels.width) * pixels.height;
  if (rgba.size() != count * 4) {
    ADD_FAILURE() << "convert " << picture << " gave " << rgba.size() << " bytes";
    return pixels;
  }
  pixels.argb.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto byte = [&](std::size_t k) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(rgba[i * 4 + k]));
    };
    pixels.argb[i] = byte(3) << 24 | byte(0) << 16 | byte(1) << 8 | byte(2);
  }
  return pixels;
}

}  // namespace tvx::test
