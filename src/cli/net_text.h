#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tvx::cli {

// How tvx880 net writes numbers and addresses and reads the numbers typed to it.

// Two upper-case hexadecimal digits.
std::string hex2(unsigned value);
// A module address as "SEG/NODE", e.g. "05/12".
std::string address(unsigned seg, unsigned node);
// The four low bits of byte as "X0=1 X1=0 X2=1 X3=0" for name 'X'.
std::string bits(std::uint8_t byte, char name);
// Library messages are framed by line breaks; one line reads better here.
std::string oneLine(const std::string& message);
// Prints text and a line break on standard output at once, between what the bridge reports.
void say(const std::string& text);

// One or two hexadecimal digits, "0x" optional, up to max.
std::optional<unsigned> parseHex(const std::string& text, unsigned max);
// Decimal digits up to max.
std::optional<unsigned> parseDecimal(const std::string& text, unsigned max);

}  // namespace tvx::cli
