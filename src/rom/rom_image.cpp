#include "rom/rom_image.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "rom/build_texts.h"
#include "rom/file_bytes.h"
#include "util/crc8.h"
#include "util/file_replace.h"

namespace tvx {

std::uint8_t RomFillByte(std::size_t offset) {
  return YVclUtil::kCrc8MaximTable[offset & 0xFF];
}

std::vector<std::uint8_t> AssembleRomImage(std::span<const std::uint8_t> glb, ConfigBlock block,
                                           std::size_t capacity) {
  std::vector<std::uint8_t> image(capacity);
  const std::size_t glbEnd = std::min(glb.size(), capacity - kConfigBlockSize);
  std::copy(glb.begin(), glb.begin() + static_cast<std::ptrdiff_t>(glbEnd), image.begin());
  for (std::size_t i = glbEnd; i < capacity - kConfigBlockSize; ++i) {
    image[i] = RomFillByte(i);
  }
  block[config_offset::kHeaderCrc] =
      YVclUtil::Crc8Maxim(image.data(), std::min(kHeaderCrcLength, capacity));
  std::copy(block.begin(), block.end(), image.end() - kConfigBlockSize);
  return image;
}

RomImageResult MakeRomImage(const std::string& glbPath, const ConfigBlock& block,
                            const AppSettings& settings, const std::string& romImagePath,
                            const BuildReporter& reporter) {
  std::vector<std::uint8_t> glb;
  std::string error;
  const bool read = ReadFileBytes(glbPath, glb, error);
  std::error_code ignored;
  std::filesystem::remove(glbPath, ignored);
  if (!read) {
    throw EBuildError(reporter.pick(build_text::kCannotReadHead) + glbPath + ": " + error);
  }

  RomImageResult result;
  result.memoryUsed = RomMemoryUsed(glb.size());
  reporter.log(reporter.pick(build_text::kUseMemoryHead) + std::to_string(result.memoryUsed) +
               std::string(build_text::kUseMemoryTail));
  const std::size_t capacity = settings.romImageSize();
  if (result.memoryUsed > capacity) {
    reporter.log(build_text::kOutOfMemory);
    return result;
  }
  reporter.log(reporter.pick(build_text::kUseSizeHead) + (settings.memory64() ? "64Mb" : "32Mb") +
               reporter.pick(build_text::kUseSizeTail));

  const std::vector<std::uint8_t> image = AssembleRomImage(glb, block, capacity);
  glb = {};
  const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
  if (!YVclUtil::ReplaceFileContents(romImagePath, bytes, error)) {
    throw EBuildError(reporter.pick(build_text::kCannotWriteHead) + romImagePath + ": " + error);
  }
  result.written = true;
  return result;
}

}  // namespace tvx
