#pragma once

#include <string>
#include <string_view>

namespace tvx::test {

// The SHA-256 of bytes as 64 lower-case hexadecimal digits (what sha256sum prints).
std::string Sha256Hex(std::string_view bytes);

}  // namespace tvx::test
