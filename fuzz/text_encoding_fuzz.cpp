// Texts of settings and project files as the window decodes them: any bytes must decode to
// valid UTF-8, and a decoded text that Big5 can write must decode again to itself.
//
// The window's library needs Qt, which the fuzz build leaves out; its Qt-free encoding file is
// compiled in here directly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../src/util/text_encoding.cpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool utf8 = tvx::IsValidUtf8(bytes);
  const std::string decoded = tvx::Big5ToUtf8(bytes);
  if (!tvx::IsValidUtf8(decoded)) {
    std::abort();
  }
  if (const auto big5 = tvx::Utf8ToBig5(decoded)) {
    if (tvx::Big5ToUtf8(*big5) != decoded) {
      std::abort();
    }
  }
  if (utf8) {
    // Valid UTF-8 read as UTF-8 and written as Big5 never yields bytes that decode differently.
    if (const auto big5 = tvx::Utf8ToBig5(bytes)) {
      if (tvx::Big5ToUtf8(*big5) != bytes) {
        std::abort();
      }
    }
  }
  return 0;
}
