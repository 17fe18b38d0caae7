#include "util/c_locale.h"

namespace YVclUtil {

locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
  return locale;
}

}  // namespace YVclUtil
