#pragma once

#include <string>

#include "project/program_state.h"
#include "project/project.h"

namespace tvx {

// Reads the application settings file: language, memory size and protocol (with the panels the
// protocol shows), captions of the language section, default floor display texts, default
// lift-state pictures and, for input-raised protocols, the default message inputs. A missing or
// unreadable file sets LANG to 1 and changes nothing else; the answer is whether it was read.
bool ReadAppSettings(const std::string& path, ProgramState& state, Project& project);

// Applies the protocol named by an OEM value; a name that matches nothing changes nothing.
void ApplyProtocol(const std::string& oem, ProgramState& state);

}  // namespace tvx
