#pragma once

#include <string>

#include "util/result.h"

namespace tvx::cli {

// Whether "build --out" may write the ROM image at imagePath: never over the project being
// built (whatever the spelling, through links too), never over an existing file that is no ROM
// image; a missing file is fine. Asked before anything is checked, saved or built.
Result<void> CheckRomImageDestination(const std::string& imagePath, const std::string& projectPath);

}  // namespace tvx::cli
