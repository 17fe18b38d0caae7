#include "cli/rom_image_destination.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "rom/rom_readback.h"
#include "util/byte_buffer.h"
#include "util/error_text.h"
#include "util/file_bytes.h"

namespace tvx::cli {

namespace {

namespace fs = std::filesystem;

constexpr BilingualText kIsTheProject{
    "\"%s\" 就是要建置的專案, ROM 映像檔不能寫在它上面 (請用另一個 --out)",
    "\"%s\" is the project being built; the ROM image is not written over it (give another "
    "--out)"};
constexpr BilingualText kNoRomImage{
    "\"%s\" 已存在且不是 ROM 映像檔, 不會被覆寫 (請用另一個 --out)",
    "\"%s\" exists and is not a ROM image; it is not overwritten (give another --out)"};
// Enough of the file to tell its signature.
constexpr std::uint64_t kHeadSize = 8;

}  // namespace

Result<void> CheckRomImageDestination(const std::string& imagePath,
                                      const std::string& projectPath) {
  std::error_code code;
  const fs::file_status status = fs::status(imagePath, code);
  if (!fs::exists(status)) {
    return {};
  }
  if (fs::equivalent(imagePath, projectPath, code)) {
    return Error::Stated(imagePath, kIsTheProject);
  }
  if (!fs::is_regular_file(status)) {
    return Error::Stated(imagePath, kNoRomImage);
  }
  const std::uint64_t size = fs::file_size(imagePath, code);
  ByteBuffer head;
  if (Result<void> read = AppendFileBytes(imagePath, std::min(size, kHeadSize), head); !read) {
    return std::move(read).error().withAction(error_action::kRead);
  }
  if (RomFileKindOf(head, size) != RomFileKind::kRomImage) {
    return Error::Stated(imagePath, kNoRomImage);
  }
  return {};
}

}  // namespace tvx::cli
