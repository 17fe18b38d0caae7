#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "rom/byte_buffer.h"

// Whole-file reads and writes of the build, with the system's reason on failure.
namespace tvx {

// The whole file, or false with the reason in error.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Appends the file's first size bytes to buffer; false with the reason (and buffer as it was)
// when the file cannot be read or is shorter.
bool AppendFileBytes(const std::string& path, std::uint64_t size, ByteBuffer& buffer,
                     std::string& error);

// Writes the pieces one after the other into a new file (replacing any file of that name);
// false with the reason in error, and no file left behind.
bool WriteFileBytes(const std::string& path,
                    std::initializer_list<std::span<const std::uint8_t>> pieces,
                    std::string& error);

}  // namespace tvx
