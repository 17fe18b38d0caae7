#pragma once

#include <cstddef>
#include <string>

namespace tvx::test {

// A ROM image that passes the checks an upload makes of it: a GLB of the directory alone, the
// fill pattern, and a configuration block with its signature and header CRC.
std::string SoundRomImage(std::size_t capacity = 4194304);

// Where the configuration block keeps the header CRC in an image of that size.
std::size_t HeaderCrcOffset(std::size_t capacity = 4194304);

}  // namespace tvx::test
