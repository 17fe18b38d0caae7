#pragma once

#include <string>

#include "util/platform_exception.h"

namespace tvx {

// A refused picture or a failed picture file operation. The text is the system's own, for
// example "bmp file \"BM\" tag error!" or "bmpInfo.biPlanes==1"; callers add the file name.
class EImageError : public tvx::platform::Exception {
 public:
  explicit EImageError(std::string message) : Exception(std::move(message)) {}
};

// Refuses a picture that breaks a header rule; the rule is the text.
inline void RequireImageRule(bool holds, const char* rule) {
  if (!holds) {
    throw EImageError(rule);
  }
}

}  // namespace tvx
