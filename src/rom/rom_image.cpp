#include "rom/rom_image.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "rom/build_texts.h"
#include "util/byte_buffer.h"
#include "util/crc8.h"
#include "util/file_bytes.h"
#include "util/file_replace.h"

namespace tvx {

namespace {

// Fills image[from, to) with the pattern and puts the block, with its header CRC, at the end.
void finishImage(std::uint8_t* image, std::size_t capacity, std::size_t from, ConfigBlock block) {
  const std::size_t to = capacity - kConfigBlockSize;
  const std::uint8_t* table = YVclUtil::kCrc8MaximTable.data();
  std::size_t i = from;
  for (; i < to && i % 256 != 0; ++i) {
    image[i] = RomFillByte(i);
  }
  for (; i + 256 <= to; i += 256) {
    std::memcpy(image + i, table, 256);
  }
  for (; i < to; ++i) {
    image[i] = RomFillByte(i);
  }
  block[config_offset::kHeaderCrc] =
      YVclUtil::Crc8Maxim(image, std::min(kHeaderCrcLength, capacity));
  std::memcpy(image + to, block.data(), kConfigBlockSize);
}

}  // namespace

std::uint8_t RomFillByte(std::size_t offset) {
  return YVclUtil::kCrc8MaximTable[offset & 0xFF];
}

std::vector<std::uint8_t> AssembleRomImage(std::span<const std::uint8_t> glb, ConfigBlock block,
                                           std::size_t capacity) {
  std::vector<std::uint8_t> image(capacity);
  const std::size_t glbEnd = std::min(glb.size(), capacity - kConfigBlockSize);
  std::copy(glb.begin(), glb.begin() + static_cast<std::ptrdiff_t>(glbEnd), image.begin());
  finishImage(image.data(), capacity, glbEnd, block);
  return image;
}

Result<RomImageResult> MakeRomImage(const std::string& glbPath, const ConfigBlock& block,
                                    const AppSettings& settings, const std::string& romImagePath,
                                    const BuildReporter& reporter) {
  // The GLB is read straight into the image buffer, and deleted whatever happens.
  struct RemoveGlb {
    const std::string& path;
    ~RemoveGlb() {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  } removeGlb{glbPath};
  std::error_code sizeError;
  const std::uintmax_t glbSize = std::filesystem::file_size(glbPath, sizeError);
  if (sizeError) {
    return Error::System(glbPath, sizeError.value()).withAction(build_text::kCannotRead);
  }

  RomImageResult result;
  result.memoryUsed = RomMemoryUsed(glbSize);
  reporter.log(reporter.pick(build_text::kUseMemoryHead) + std::to_string(result.memoryUsed) +
               std::string(build_text::kUseMemoryTail));
  const std::size_t capacity = settings.romImageSize();
  if (result.memoryUsed > capacity) {
    reporter.log(build_text::kOutOfMemory);
    return result;
  }
  reporter.log(reporter.pick(build_text::kUseSizeHead) + (settings.memory64() ? "64Mb" : "32Mb") +
               reporter.pick(build_text::kUseSizeTail));

  ByteBuffer image;
  image.reserve(capacity);
  if (Result<void> read = AppendFileBytes(glbPath, glbSize, image); !read) {
    return std::move(read).error().withAction(build_text::kCannotRead);
  }
  image.resize(capacity);
  finishImage(image.data(), capacity, static_cast<std::size_t>(glbSize), block);
  const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
  if (Result<void> written = YVclUtil::ReplaceFileContents(romImagePath, bytes); !written) {
    return ErrorBecause(written.error(), reporter.lang(), romImagePath, build_text::kCannotWrite);
  }
  result.written = true;
  return result;
}

}  // namespace tvx
