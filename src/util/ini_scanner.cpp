#include "util/ini_scanner.h"

#include <cerrno>
#include <cstring>

namespace YVclUtil {
namespace {

constexpr std::size_t kBufferSize = std::size_t{32} * 1024;

bool isSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

std::size_t skipSpaces(std::string_view text, std::size_t at) {
  while (at < text.size() && isSpace(text[at])) {
    ++at;
  }
  return at;
}

std::string_view trimTrailingSpaces(std::string_view text) {
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

IniLine ScanIniLine(std::string_view piece) {
  if (const void* zero = std::memchr(piece.data(), '\0', piece.size())) {
    piece =
        piece.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - piece.data()));
  }
  IniLine line;
  if (piece.empty() || piece[0] == '\n' || piece[0] == '\r' || piece[0] == '#') {
    return line;
  }
  const std::size_t start = skipSpaces(piece, 0);
  if (start < piece.size() && piece[start] == '[') {
    const std::size_t nameStart = skipSpaces(piece, start + 1);
    const std::size_t close = piece.find(']', nameStart);
    if (close != std::string_view::npos && close > nameStart) {
      line.kind = IniLine::Kind::Section;
      line.name = trimTrailingSpaces(piece.substr(nameStart, close - nameStart));
      return line;
    }
  }
  const std::size_t equals = piece.find('=', start);
  if (equals == std::string_view::npos || equals == start) {
    return line;
  }
  const std::size_t valueStart = skipSpaces(piece, equals + 1);
  const std::size_t valueEnd = piece.find_first_of("\r\n", valueStart);
  const std::size_t valueLength =
      (valueEnd == std::string_view::npos ? piece.size() : valueEnd) - valueStart;
  if (valueLength == 0) {
    return line;
  }
  line.kind = IniLine::Kind::Key;
  line.name = trimTrailingSpaces(piece.substr(start, equals - start));
  line.value = trimTrailingSpaces(piece.substr(valueStart, valueLength));
  return line;
}

IniPieceReader::IniPieceReader(std::FILE* file)
    : m_file(file), m_buffer(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

void IniPieceReader::refill() {
  if (m_begin > 0) {
    std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_end - m_begin);
    m_end -= m_begin;
    m_begin = 0;
  }
  while (!m_atEof && m_end < kBufferSize) {
    const std::size_t got = std::fread(m_buffer.get() + m_end, 1, kBufferSize - m_end, m_file);
    m_end += got;
    if (got == 0) {
      m_atEof = true;
      m_failed = std::ferror(m_file) != 0;
      m_error = m_failed ? errno : 0;
    }
  }
}

bool IniPieceReader::next(std::string_view& piece) {
  if (m_end - m_begin < kIniPieceSize && !m_atEof) {
    refill();
  }
  const std::size_t available = m_end - m_begin;
  if (available == 0 || m_failed) {
    return false;
  }
  const std::size_t window = available < kIniPieceSize ? available : kIniPieceSize;
  const char* begin = m_buffer.get() + m_begin;
  const void* lineFeed = std::memchr(begin, '\n', window);
  const std::size_t length =
      lineFeed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - begin) + 1
                          : window;
  piece = std::string_view(begin, length);
  m_begin += length;
  return true;
}

}  // namespace YVclUtil
