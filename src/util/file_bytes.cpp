#include "util/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace tvx {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

Result<FilePtr> openForReading(const std::string& path) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    return Error::System(path, errno);
  }
  return file;
}

// Reads exactly size bytes into place.
Result<void> readExactly(std::FILE* file, const std::string& path, std::uint8_t* place,
                         std::size_t size) {
  if (size > 0 && std::fread(place, 1, size, file) != size) {
    return std::ferror(file) != 0 ? Error::System(path, errno)
                                  : Error::Of(ErrorCode::kShortened, path);
  }
  return {};
}

}  // namespace

Result<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path) {
  std::error_code code;
  const std::filesystem::file_status status = std::filesystem::status(path, code);
  if (!std::filesystem::exists(status)) {
    return Error::Of(ErrorCode::kNoSuchFile, path);
  }
  if (!std::filesystem::is_regular_file(status)) {
    return Error::Of(ErrorCode::kNotAFile, path);
  }
  Result<FilePtr> file = openForReading(path);
  if (!file) {
    return std::move(file).error();
  }
  const std::uintmax_t size = std::filesystem::file_size(path, code);
  if (code) {
    return Error::System(path, code.value());
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  TVX_TRY(readExactly(file->get(), path, bytes.data(), bytes.size()));
  return bytes;
}

Result<void> AppendFileBytes(const std::string& path, std::uint64_t size, ByteBuffer& buffer) {
  Result<FilePtr> file = openForReading(path);
  if (!file) {
    return std::move(file).error();
  }
  const std::size_t start = buffer.size();
  buffer.resize(start + static_cast<std::size_t>(size));
  Result<void> read = readExactly(file->get(), path, buffer.data() + start, buffer.size() - start);
  if (!read) {
    buffer.resize(start);
  }
  return read;
}

Result<void> WriteFileBytes(const std::string& path,
                            std::initializer_list<std::span<const std::uint8_t>> pieces) {
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    return Error::System(path, errno);
  }
  bool failed = false;
  int errorNumber = 0;
  for (std::span<const std::uint8_t> piece : pieces) {
    if (!piece.empty() && std::fwrite(piece.data(), 1, piece.size(), file.get()) != piece.size()) {
      failed = true;
      errorNumber = errno;
      break;
    }
  }
  // Closing flushes: a full disk may show only here.
  if (std::fclose(file.release()) != 0 && !failed) {
    failed = true;
    errorNumber = errno;
  }
  if (failed) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return Error::System(path, errorNumber);
  }
  return {};
}

}  // namespace tvx
