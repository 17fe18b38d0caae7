#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "project/program_state.h"
#include "rom/build_report.h"
#include "rom/config_block.h"
#include "util/result.h"

// The ROM image ".BIN": the GLB at offset 0, the configuration block in the last 4096 bytes and
// the fill pattern in between (the byte at offset i is the CRC-8/MAXIM table entry i & 0xFF).
namespace tvx {

std::uint8_t RomFillByte(std::size_t offset);

// The memory a GLB takes in the image: the GLB and the configuration block.
constexpr std::uint64_t RomMemoryUsed(std::uint64_t glbSize) {
  return glbSize + kConfigBlockSize;
}

// Assembles an image of capacity bytes; the configuration block gets its header CRC. The GLB
// must leave room for the block.
std::vector<std::uint8_t> AssembleRomImage(std::span<const std::uint8_t> glb, ConfigBlock block,
                                           std::size_t capacity);

struct RomImageResult {
  bool written = false;  // false: the GLB does not fit the indicator's memory (logged)
  std::uint64_t memoryUsed = 0;
};

// Reads the GLB file (and deletes it), logs the memory used, checks it against the memory size
// of the settings and writes the image to romImagePath. The image goes to a temporary file that
// replaces romImagePath only when complete, so a failed write never leaves a cut image behind.
// Files that cannot be read or written end the build with an error naming them.
Result<RomImageResult> MakeRomImage(const std::string& glbPath, const ConfigBlock& block,
                                    const AppSettings& settings, const std::string& romImagePath,
                                    const BuildReporter& reporter);

}  // namespace tvx
