#include "image/bmp_probe.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "image/bmp_file.h"
#include "image/image_error.h"
#include "image/little_endian.h"
#include "image/truncate_converter.h"

namespace tvx {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kLargestKnownHeader = 124;
constexpr std::uint32_t kBitFields = 3;
// Headers from version 3 on carry an alpha mask in their bytes 52 to 55.
constexpr std::uint32_t kHeaderWithAlphaMask = 56;

// The fields of the header at p (n bytes from the file's start) as the header size lays them
// out: the core header's 16-bit fields, or the info header's and those of its successors.
BmpHeaderSummary summarise(const std::uint8_t* p, std::size_t n, std::uint64_t fileSize) {
  BmpHeaderSummary h;
  if (n < kFileHeaderSize + 4) {
    return h;
  }
  const std::uint8_t* info = p + kFileHeaderSize;
  h.headerSize = GetU32(info);
  h.complete = fileSize >= kFileHeaderSize + static_cast<std::uint64_t>(h.headerSize);
  const std::size_t available = std::min<std::size_t>(n - kFileHeaderSize, h.headerSize);
  const auto has = [available](std::size_t end) { return available >= end; };
  if (h.headerSize == kTruncateCoreHeaderSize) {
    h.width = has(6) ? GetU16(info + 4) : 0;
    h.height = has(8) ? GetU16(info + 6) : 0;
    h.planes = has(10) ? GetU16(info + 8) : 0;
    h.bitCount = has(12) ? GetU16(info + 10) : 0;
    return h;
  }
  h.width = has(8) ? GetI32(info + 4) : 0;
  const std::int64_t height = has(12) ? GetI32(info + 8) : 0;
  h.topDown = height < 0;
  h.height = height < 0 ? -height : height;
  h.planes = has(14) ? GetU16(info + 12) : 0;
  h.bitCount = has(16) ? GetU16(info + 14) : 0;
  h.compression = has(20) ? GetU32(info + 16) : 0;
  const bool alphaMask =
      h.headerSize >= kHeaderWithAlphaMask && has(kHeaderWithAlphaMask) && GetU32(info + 52) != 0;
  const bool carriesAlpha = h.bitCount == 16 || h.bitCount == 32;
  h.hasAlpha = (h.bitCount == 32 && h.compression == 0) ||
               (carriesAlpha && h.compression == kBitFields && alphaMask);
  return h;
}

// The rule a converter's header check finds broken, or empty.
template <typename Check>
std::string refusalOf(TInputStream& in, Check check) {
  try {
    in.Seek(0);
    check(in);
  } catch (const EImageError& error) {
    return error.what();
  }
  return {};
}

}  // namespace

PictureFileKind PictureFileKindOf(std::span<const std::uint8_t> firstBytes) {
  const std::uint8_t* p = firstBytes.data();
  const std::size_t n = firstBytes.size();
  const auto startsWith = [p, n](std::initializer_list<std::uint8_t> magic) {
    return n >= magic.size() && std::equal(magic.begin(), magic.end(), p);
  };
  if (n >= 2 && (p[0] == 'B' || p[0] == 'b') && (p[1] == 'M' || p[1] == 'm')) {
    return PictureFileKind::kBmp;
  }
  if (startsWith({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) {
    return PictureFileKind::kPng;
  }
  if (startsWith({0xFF, 0xD8, 0xFF})) {
    return PictureFileKind::kJpeg;
  }
  if (startsWith({'G', 'I', 'F', '8'})) {
    return PictureFileKind::kGif;
  }
  return PictureFileKind::kOther;
}

std::uint64_t BmpProbe::convertedSize() const {
  return BitFieldBmpFileSize(static_cast<std::uint64_t>(std::max<std::int64_t>(header.width, 0)),
                             static_cast<std::uint64_t>(header.height), 16);
}

BmpProbe ProbeBmp(TInputStream& in) {
  BmpProbe probe;
  probe.fileSize = in.Size();
  const std::size_t head = static_cast<std::size_t>(
      std::min<std::uint64_t>(probe.fileSize, kFileHeaderSize + kLargestKnownHeader));
  in.Seek(0);
  const std::uint8_t* bytes = in.ReadBuffer(head);
  probe.kind = PictureFileKindOf({bytes, head});
  if (probe.kind == PictureFileKind::kBmp) {
    probe.header = summarise(bytes, head, probe.fileSize);
  }
  probe.truncateRefusal = refusalOf(in, ReadTruncateSource);
  probe.diffuseRefusal = refusalOf(in, ReadCheckedBmpHeaders);
  return probe;
}

Result<BmpProbe> ProbeBmpFile(const std::string& path) {
  std::error_code status;
  const std::filesystem::file_status file = std::filesystem::status(path, status);
  if (file.type() == std::filesystem::file_type::not_found) {
    return Error::Of(ErrorCode::kNoSuchFile, path);
  }
  if (status) {
    return Error::System(path, status.value());
  }
  if (!std::filesystem::is_regular_file(file)) {
    return Error::Of(ErrorCode::kNotAFile, path);
  }
  // Opened once here for the system's reason when it cannot be read at all.
  std::FILE* opened = std::fopen(path.c_str(), "rb");
  if (opened == nullptr) {
    return Error::System(path, errno);
  }
  std::fclose(opened);
  try {
    TFileInputStream in(path);
    return ProbeBmp(in);
  } catch (const EImageError& error) {
    return Error::Invalid(path, error.what());
  }
}

}  // namespace tvx
