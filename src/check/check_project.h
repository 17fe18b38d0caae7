#pragma once

#include "check/check_report.h"
#include "project/program_state.h"
#include "project/project.h"

// The pre-flight check: everything that would make the build put a wrong or incomplete screen
// on the indicator, found before anything is built, from the pictures' headers only (nothing
// is converted, nothing is written, the project is not changed).
namespace tvx {

struct CheckOptions {
  // Also report notes: what the build handles by itself.
  bool verbose = false;
  // How the words quote the user's texts (floor texts, file and folder names), which are Big5
  // bytes where they are not ASCII; without it they are quoted byte for byte.
  TextToUtf8 userTextToUtf8;
};

// Checks the slots the build would fill (exactly those the resource list would name), the floor
// code table, the background numbers, the picture library and the memory budget.
CheckReport CheckProject(const Project& project, const ProgramState& state,
                         const CheckOptions& options = {});

}  // namespace tvx
