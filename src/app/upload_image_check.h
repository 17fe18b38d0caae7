#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tvx {

// What keeps a ROM image the user picked from being sent as it is: the checks `tvx880 inspect`
// makes of the signature, the header CRC, the fill pattern and the configuration block's
// signature, that it is a whole 4 MiB or 8 MiB image, and that its size is the memory setting's
// (MEM 64: 8 MiB). One log line each, in the language of lang; none for a sound image.
std::vector<std::string> UploadImageProblems(std::span<const std::uint8_t> image, unsigned mem,
                                             unsigned lang);

}  // namespace tvx
