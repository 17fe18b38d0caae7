#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace tvx {

// The window program's command line.
struct StudioOptions {
  std::optional<std::string> home;        // --home DIR
  std::optional<std::string> port;        // --port COMn | PATH: the port selected at start
  std::vector<std::string> portMappings;  // --map COMn=PATH, put into the port map first
  std::optional<std::string> project;     // a project file loaded at start
  bool helpShown = false;                 // --help / --version answered; nothing to run
};

struct StudioOptionsResult {
  std::optional<StudioOptions> options;
  std::string error;   // why the command line was refused
  std::string output;  // help or version text
};

// Reads the arguments (the program name first). Ports and mappings are checked here.
StudioOptionsResult ParseStudioOptions(const QStringList& arguments);

}  // namespace tvx
