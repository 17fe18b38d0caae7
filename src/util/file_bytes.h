#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "util/byte_buffer.h"
#include "util/result.h"

// Whole-file reads and writes; a failure names the file and says why (util/error_text.h words
// it).
namespace tvx {

// The whole regular file: kNoSuchFile, kNotAFile, kSystem, or kShortened when it became shorter
// while it was read.
Result<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path);

// Appends the file's first size bytes to buffer; on failure buffer stays as it was.
Result<void> AppendFileBytes(const std::string& path, std::uint64_t size, ByteBuffer& buffer);

// Writes the pieces one after the other into a new file (replacing any file of that name); on
// failure no file is left behind.
Result<void> WriteFileBytes(const std::string& path,
                            std::initializer_list<std::span<const std::uint8_t>> pieces);

}  // namespace tvx
