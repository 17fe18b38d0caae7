#include "project/field_settings.h"

namespace tvx {

namespace {

constexpr BilingualText kNoEquals{"\"%s\" 不是 NAME=VALUE 的形式", "\"%s\" is not NAME=VALUE"};
constexpr BilingualText kNoSuchField{"沒有名為 \"%s\" 的欄位 (見 project set --help)",
                                     "no field is named \"%s\" (see project set --help)"};

}  // namespace

Result<NamedField> FieldNamed(std::string_view name, unsigned lang) {
  const std::optional<NamedField> field = FindNamedField(name);
  if (!field) {
    return Error::Invalid({}, FillIn(kNoSuchField.forLanguage(lang), {std::string(name)}));
  }
  return *field;
}

Result<FieldSetting> ParseFieldSetting(std::string_view text, unsigned lang) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    return Error::Invalid({}, FillIn(kNoEquals.forLanguage(lang), {std::string(text)}));
  }
  FieldSetting setting{
      std::string(text.substr(0, equals)), std::string(text.substr(equals + 1)), {}};
  Result<NamedField> field = FieldNamed(setting.name, lang);
  if (!field) {
    return std::move(field).error();
  }
  setting.field = *field;
  return setting;
}

std::vector<Error> ApplyFieldSettings(Project& project, std::span<const FieldSetting> settings,
                                      const AppSettings& appSettings, unsigned lang) {
  Project changed = project;
  std::vector<Error> refusals;
  for (const FieldSetting& setting : settings) {
    Result<void> set =
        SetNamedField(changed, setting.field, setting.name, setting.value, appSettings, lang);
    if (!set) {
      refusals.push_back(std::move(set).error());
    }
  }
  if (!refusals.empty()) {
    return refusals;
  }
  // Only now, when every field has its new value: a later setting may undo an earlier one.
  for (const FieldSetting& setting : settings) {
    Result<void> kept =
        CheckNamedFieldKept(changed, setting.field, setting.name, setting.value, lang);
    if (!kept) {
      refusals.push_back(std::move(kept).error());
    }
  }
  if (refusals.empty()) {
    project = std::move(changed);
  }
  return refusals;
}

std::string FieldSettingsText(std::span<const FieldSetting> settings) {
  std::string text;
  for (const FieldSetting& setting : settings) {
    text += (text.empty() ? "" : ", ") + setting.name + "=" + setting.value;
  }
  return text;
}

}  // namespace tvx
