#pragma once

#include <cstddef>
#include <string_view>

// What the build, the upload and the settings know of the indicator's ROM image. The image
// begins with its GLB, so both start with the same signature; it fills the whole flash memory
// of a 32 Mb or a 64 Mb indicator.
namespace tvx {

inline constexpr std::string_view kGlbSignature = "KWXGLB2L";
inline constexpr std::size_t kRomImageSize32 = 4194304;  // 32 Mb indicator
inline constexpr std::size_t kRomImageSize64 = 8388608;  // 64 Mb indicator

}  // namespace tvx
