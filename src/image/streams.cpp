#include "image/streams.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>
#include <system_error>

#include "image/image_error.h"

namespace tvx {
namespace {

constexpr const char* kOpenReadError = "TFileInputStream _file_open_read ERROR!";
constexpr const char* kReadError = "TFileInputStream::read ERROR!";
constexpr const char* kSkipError = "TFileInputStream::skip ERROR!";
constexpr const char* kCreateError = "TFileOutputStream _file_create ERROR!";
constexpr const char* kWriteError = "TFileOutputStream::write ERROR!";
constexpr const char* kMemoryReadError = "TMemoryInputStream::read ERROR!";
constexpr const char* kMemorySkipError = "TMemoryInputStream::skip ERROR!";

bool seekTo(std::FILE* file, std::uint64_t pos) {
  return fseeko(file, static_cast<off_t>(pos), SEEK_SET) == 0;
}

std::uint64_t tellOf(std::FILE* file) {
  const off_t pos = ftello(file);
  return pos < 0 ? 0 : static_cast<std::uint64_t>(pos);
}

// Opens "<path>.<random>.part" exclusively (never someone else's file) with the usual
// permissions of a new file.
std::pair<std::FILE*, std::string> createTemporaryBeside(const std::string& path) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = path + "." + std::to_string(random() % 1000000U) + ".part";
    if (std::FILE* file = std::fopen(candidate.c_str(), "wbx")) {
      return {file, std::move(candidate)};
    }
    if (errno != EEXIST) {
      break;
    }
  }
  throw EImageError(kCreateError);
}

}  // namespace

void WriteAll(TOutputStream& out, const void* data, std::size_t n) {
  if (out.Write(data, n) != n) {
    throw EImageError(kWriteError);
  }
}

// ---- TFileInputStream ----

TFileInputStream::TFileInputStream(const std::string& path) {
  // Directories and devices open on some systems but have no length to check reads against.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw EImageError(kOpenReadError);
  }
  m_file = std::fopen(path.c_str(), "rb");
  if (m_file == nullptr) {
    throw EImageError(kOpenReadError);
  }
  if (fseeko(m_file, 0, SEEK_END) != 0) {
    std::fclose(m_file);
    throw EImageError(kOpenReadError);
  }
  m_size = tellOf(m_file);
  seekTo(m_file, 0);
}

TFileInputStream::~TFileInputStream() {
  std::fclose(m_file);
}

const std::uint8_t* TFileInputStream::ReadBuffer(std::size_t n) {
  // Checked before growing, so a claimed size larger than the file allocates nothing.
  if (n > Remaining()) {
    throw EImageError(kReadError);
  }
  if (n > m_capacity) {
    m_scratch.reset();
    m_capacity = 0;
    m_scratch = std::make_unique_for_overwrite<std::uint8_t[]>(n);
    m_capacity = n;
  }
  Read(m_scratch.get(), n);
  return m_scratch.get();
}

void TFileInputStream::Read(void* dst, std::size_t n) {
  if (n > Remaining() || std::fread(dst, 1, n, m_file) != n) {
    throw EImageError(kReadError);
  }
}

bool TFileInputStream::Peek(void* dst, std::size_t n) {
  const std::uint64_t pos = Position();
  if (n > Remaining()) {
    return false;
  }
  const bool complete = std::fread(dst, 1, n, m_file) == n;
  seekTo(m_file, pos);
  return complete;
}

void TFileInputStream::Skip(std::uint64_t n) {
  if (n > Remaining() || !seekTo(m_file, Position() + n)) {
    throw EImageError(kSkipError);
  }
}

std::uint64_t TFileInputStream::Position() {
  return tellOf(m_file);
}

void TFileInputStream::Seek(std::uint64_t pos) {
  if (!seekTo(m_file, pos)) {
    throw EImageError(kSkipError);
  }
}

// ---- TFileOutputStream ----

TFileOutputStream::TFileOutputStream(const std::string& path)
    : m_file(std::fopen(path.c_str(), "wb")) {
  if (m_file == nullptr) {
    throw EImageError(kCreateError);
  }
}

TFileOutputStream::~TFileOutputStream() {
  if (m_file != nullptr) {
    std::fclose(m_file);
  }
}

std::size_t TFileOutputStream::Write(const void* data, std::size_t n) {
  if (m_file == nullptr) {
    m_failed = true;
    return 0;
  }
  const std::size_t written = std::fwrite(data, 1, n, m_file);
  if (written != n) {
    m_failed = true;
  }
  return written;
}

void TFileOutputStream::Close() {
  if (m_file == nullptr) {
    return;
  }
  const bool flushed = std::fflush(m_file) == 0 && std::ferror(m_file) == 0;
  const bool closed = std::fclose(m_file) == 0;
  m_file = nullptr;
  if (m_failed || !flushed || !closed) {
    m_failed = true;
    throw EImageError(kWriteError);
  }
}

// ---- TReplacingFileOutputStream ----

TReplacingFileOutputStream::TReplacingFileOutputStream(const std::string& path)
    : TReplacingFileOutputStream(path, createTemporaryBeside(path)) {}

TReplacingFileOutputStream::TReplacingFileOutputStream(const std::string& path,
                                                       std::pair<std::FILE*, std::string> temp)
    : TFileOutputStream(temp.first), m_path(path), m_tempPath(std::move(temp.second)) {}

TReplacingFileOutputStream::~TReplacingFileOutputStream() {
  if (!m_committed) {
    try {
      Close();
    } catch (const EImageError&) {
      // The file is being thrown away anyway.
    }
    std::remove(m_tempPath.c_str());
  }
}

void TReplacingFileOutputStream::Commit() {
  Close();
  std::error_code ec;
  std::filesystem::rename(m_tempPath, m_path, ec);
  if (ec) {
    throw EImageError(kCreateError);
  }
  m_committed = true;
}

// ---- memory streams ----

const std::uint8_t* TMemoryInputStream::ReadBuffer(std::size_t n) {
  if (n > Remaining()) {
    throw EImageError(kMemoryReadError);
  }
  const std::uint8_t* data = m_data.data() + m_pos;
  m_pos += n;
  return data;
}

void TMemoryInputStream::Read(void* dst, std::size_t n) {
  if (n > Remaining()) {
    throw EImageError(kMemoryReadError);
  }
  if (n != 0) {
    std::memcpy(dst, m_data.data() + m_pos, n);
  }
  m_pos += n;
}

bool TMemoryInputStream::Peek(void* dst, std::size_t n) {
  if (n > Remaining()) {
    return false;
  }
  if (n != 0) {
    std::memcpy(dst, m_data.data() + m_pos, n);
  }
  return true;
}

void TMemoryInputStream::Skip(std::uint64_t n) {
  if (n > Remaining()) {
    throw EImageError(kMemorySkipError);
  }
  m_pos += n;
}

std::size_t TMemoryOutputStream::Write(const void* data, std::size_t n) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  m_bytes.insert(m_bytes.end(), bytes, bytes + n);
  return n;
}

}  // namespace tvx
