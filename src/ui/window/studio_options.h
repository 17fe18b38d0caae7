#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "util/result.h"

namespace tvx {

// The window program's command line.
struct StudioOptions {
  std::optional<std::string> home;        // --home DIR
  std::optional<std::string> port;        // --port COMn | PATH: the port selected at start
  std::vector<std::string> portMappings;  // --map COMn=PATH, put into the port map first
  std::optional<std::string> project;     // a project file loaded at start
  bool helpShown = false;                 // --help / --version answered; nothing to run
  std::string helpText;                   // the help or version text then
};

// Reads the arguments (the program name first). Ports and mappings are checked here; an error
// says what is wrong with the command line.
Result<StudioOptions> ParseStudioOptions(const QStringList& arguments);

}  // namespace tvx
