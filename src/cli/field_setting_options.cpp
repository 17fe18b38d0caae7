#include "cli/field_setting_options.h"

#include "util/error_text.h"

namespace tvx::cli {

CLI::Validator FieldNameValidator() {
  return {[](const std::string& name) {
            const Result<NamedField> field = FieldNamed(name, 0);
            return field ? std::string() : ErrorText(field.error(), 0);
          },
          "NAME"};
}

CLI::Validator FieldSettingValidator() {
  return {[](const std::string& text) {
            const Result<FieldSetting> setting = ParseFieldSetting(text, 0);
            return setting ? std::string() : ErrorText(setting.error(), 0);
          },
          "NAME=VALUE"};
}

std::vector<FieldSetting> ParsedFieldSettings(const std::vector<std::string>& texts) {
  std::vector<FieldSetting> settings;
  for (const std::string& text : texts) {
    settings.push_back(ParseFieldSetting(text, 0).value());
  }
  return settings;
}

}  // namespace tvx::cli
