#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "project/named_field.h"
#include "project/program_state.h"
#include "project/project.h"
#include "util/result.h"

// Changes of a project given as "NAME=VALUE" texts, as scripts write them: all of them are
// taken, or none.
namespace tvx {

struct FieldSetting {
  std::string name;
  std::string value;
  NamedField field;
};

// The field a name stands for; the error, worded in the language lang, says that none has it.
Result<NamedField> FieldNamed(std::string_view name, unsigned lang);

// Splits text at its first "=" and finds the field the name stands for. The error, worded in
// the language lang, is a mistake of the command line: no "=", or no field of that name.
Result<FieldSetting> ParseFieldSetting(std::string_view text, unsigned lang);

// Applies the settings in their order and then checks that the project keeps each of them. When
// any is refused the project is left as it was and every refusal is answered; otherwise the
// answer is empty.
std::vector<Error> ApplyFieldSettings(Project& project, std::span<const FieldSetting> settings,
                                      const AppSettings& appSettings, unsigned lang);

// "NODEADDR=3, FL_COLOR=#FF0000": the settings as they were given, for a log line.
std::string FieldSettingsText(std::span<const FieldSetting> settings);

}  // namespace tvx
