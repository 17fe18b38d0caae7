#include "support/sound_rom_image.h"

#include <algorithm>
#include <vector>

#include "rom/config_block.h"
#include "rom/rom_image.h"
#include "rom/rom_layout.h"

namespace tvx::test {

std::string SoundRomImage(std::size_t capacity) {
  std::vector<std::uint8_t> glb(kGlbDataOffset, 0);
  std::copy(kGlbSignature.begin(), kGlbSignature.end(), glb.begin());
  ConfigBlock block{};
  std::copy(kConfigSignature.begin(), kConfigSignature.end(), block.begin());
  const std::vector<std::uint8_t> image = AssembleRomImage(glb, block, capacity);
  return std::string(image.begin(), image.end());
}

std::size_t HeaderCrcOffset(std::size_t capacity) {
  return capacity - kConfigBlockSize + config_offset::kHeaderCrc;
}

}  // namespace tvx::test
