#pragma once

#include <locale.h>

namespace YVclUtil {

// The C locale as an object, for conversions whose text must not depend on the user's locale
// (a window toolkit may switch the process to the user's decimal comma).
locale_t CLocale();

// Makes the calling thread use the C locale until the guard goes away.
class ScopedCLocale {
 public:
  ScopedCLocale() : m_previous(uselocale(CLocale())) {}
  ~ScopedCLocale() { uselocale(m_previous); }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  locale_t m_previous;
};

}  // namespace YVclUtil
