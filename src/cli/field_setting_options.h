#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "project/field_settings.h"

// The command-line side of named fields: a name or a "NAME=VALUE" that names no field is a
// usage error of the parser, before any file is read.
namespace tvx::cli {

// Accepts the name of a field ("NODEADDR", "FloorTable[5]").
CLI::Validator FieldNameValidator();
// Accepts "NAME=VALUE" with the name of a field; the value is checked later, against the field.
CLI::Validator FieldSettingValidator();

// The settings of texts FieldSettingValidator accepted, in their order.
std::vector<FieldSetting> ParsedFieldSettings(const std::vector<std::string>& texts);

}  // namespace tvx::cli
