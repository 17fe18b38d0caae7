#include "rom/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace tvx {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string systemReason() {
  return std::strerror(errno);
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = systemReason();
    return false;
  }
  std::error_code sizeError;
  const std::uintmax_t size = std::filesystem::file_size(path, sizeError);
  if (sizeError) {
    error = sizeError.message();
    return false;
  }
  bytes.resize(static_cast<std::size_t>(size));
  if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    error = std::ferror(file.get()) != 0 ? systemReason() : "the file became shorter";
    return false;
  }
  return true;
}

bool AppendFileBytes(const std::string& path, std::uint64_t size, ByteBuffer& buffer,
                     std::string& error) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = systemReason();
    return false;
  }
  const std::size_t start = buffer.size();
  buffer.resize(start + static_cast<std::size_t>(size));
  if (size > 0 &&
      std::fread(buffer.data() + start, 1, static_cast<std::size_t>(size), file.get()) != size) {
    error = std::ferror(file.get()) != 0 ? systemReason() : "the file became shorter";
    buffer.resize(start);
    return false;
  }
  return true;
}

bool WriteFileBytes(const std::string& path,
                    std::initializer_list<std::span<const std::uint8_t>> pieces,
                    std::string& error) {
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = systemReason();
    return false;
  }
  bool ok = true;
  for (std::span<const std::uint8_t> piece : pieces) {
    if (!piece.empty() && std::fwrite(piece.data(), 1, piece.size(), file.get()) != piece.size()) {
      ok = false;
      break;
    }
  }
  if (!ok || std::fclose(file.release()) != 0) {
    error = systemReason();
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
  }
  return true;
}

}  // namespace tvx
