#pragma once

#include <string>

#include "util/result.h"

// A pseudo-terminal that stands in for a serial line: whoever opens devicePath talks to the
// holder of master as through a cable.
namespace tvx {

struct PseudoTerminal {
  int master = -1;         // the far end of the line, non-blocking, closed on exec
  std::string devicePath;  // the device a program opens like a serial port
};

// A new pseudo-terminal, both sides raw (no echo, no line editing) until the program that opens
// the device sets its own line. The caller owns master and closes it.
Result<PseudoTerminal> OpenRawPseudoTerminal();

}  // namespace tvx
