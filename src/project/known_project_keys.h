#pragma once

#include <string>

// The keys this version reads or writes in the project file's own sections. Any other key of
// those sections is the technician's (or a newer tool's) and is kept as it was.
namespace tvx {

// Whether the key of section is one this version knows, read in this state of the project or
// not (SLIDESHOWTIMEGAP, the older LeftState_ spelling, Month_0, Protocol are known keys).
bool IsKnownProjectKey(const std::string& section, const std::string& key);

}  // namespace tvx
