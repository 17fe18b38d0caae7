#pragma once

#include "util/platform_exception.h"

namespace YVclUtil {

// The exception of the utility and device libraries: a printf-formatted message and an
// error code (-1 unless the raiser gives one).
class EYGeneral : public tvx::platform::Exception {
 public:
  explicit EYGeneral(const char* format, ...) __attribute__((format(printf, 2, 3)));
  EYGeneral(int code, const char* format, ...) __attribute__((format(printf, 3, 4)));

  int ErrorCode = -1;
};

}  // namespace YVclUtil
