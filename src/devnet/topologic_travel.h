#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace KwxCtrl {

// One module declared in a topology file, as in
//   Travel_000= Device( "TVX_4i4o" ) , NetNodeId( 0x01 )
struct TravelDeclaration {
  std::string Device;
  unsigned NetNodeId = 0;
};

// The node id that marks a key as unused.
inline constexpr unsigned kTravelUnusedNodeId = 0xFF;
// Device names are read into a 256-byte buffer: longer ones are invalid.
inline constexpr std::size_t kTravelMaxDeviceName = 255;

// Reads a declaration the way the indicator's tools have always scanned it, with the pattern
//   " Device( \"%[^\"]\" ) , NetNodeId( 0x%X )"
// (blanks match any run of white space, none included). The value is valid once both the
// device name and the node id have been read; what follows the node id is not looked at.
std::optional<TravelDeclaration> ParseTravelValue(std::string_view value);

}  // namespace KwxCtrl
