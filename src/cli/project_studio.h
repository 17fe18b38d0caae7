#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "app/studio.h"
#include "util/result.h"

// The program as the window would have it, headless, for the commands that work on a project:
// started on its program home with the project loaded.
namespace tvx::cli {

// "--home DIR", the program home (settings, picture catalogue and library).
void addHomeOption(CLI::App& command, std::optional<std::string>& home);

// The messages of a studio on the command line (stderr, as the console shows them).
Host& ConsoleMessages();

// Finds the program home (home when given), starts the studio on it with host for its messages
// (ConsoleMessages() when null), applies lang ("--lang") and loads project. The error says
// which of these failed.
Result<std::unique_ptr<Studio>> StudioWithProject(const std::string& project,
                                                  const std::optional<std::string>& home,
                                                  Host* host = nullptr,
                                                  const std::optional<std::string>& lang = {});

// "--lang en|zh" over the settings' language.
void applyLanguage(Studio& studio, const std::optional<std::string>& lang);

}  // namespace tvx::cli
