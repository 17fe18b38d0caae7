// The "NAME=VALUE" lines of project set and build --set over the default project: parsing and
// applying must never crash, a refusal must leave the project as it was, and whatever is taken
// must save and load back as it was set (paths aside: loading looks missing pictures up in the
// catalogue).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "project/field_settings.h"
#include "project/project_file.h"
#include "project/startup.h"
#include "project_fuzz_fixture.h"

namespace {

bool isPath(const tvx::NamedField& field) {
  using Kind = tvx::NamedFieldKind;
  return field.kind == Kind::kVerticalBackground || field.kind == Kind::kHorizontalBackground ||
         field.kind == Kind::kLiftState ||
         (field.kind == Kind::kPlain && field.field->kind == tvx::FieldKind::kPicture);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tvx::fuzz::ProjectFuzzFixture fixture("field-settings");
  const std::string output = fixture.file("set.ql3");
  if (size == 0) {
    return 0;
  }
  // The first byte picks the settings that decide what some fields may hold.
  tvx::ProgramState state;
  state.ProgramDir = fixture.home();
  state.settings.LiftMsgIdxUsed = (data[0] & 1) != 0;
  state.settings.DateTimeSupported = (data[0] & 2) != 0;
  tvx::Project project;
  tvx::NewProject(state, project);

  std::vector<tvx::FieldSetting> settings;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (tvx::Result<tvx::FieldSetting> setting =
            tvx::ParseFieldSetting(text.substr(start, end - start), data[0] >> 7);
        setting) {
      settings.push_back(std::move(setting).value());
    }
    start = end + 1;
  }

  const tvx::Project before = project;
  if (!tvx::ApplyFieldSettings(project, settings, state.settings, 0).empty()) {
    tvx::fuzz::Check(project == before);
    return 0;
  }
  std::filesystem::remove(output);
  fixture.host.clear();
  tvx::fuzz::Check(tvx::SaveProject(output, project, state, fixture.host));
  tvx::Project reloaded;
  tvx::fuzz::Check(tvx::LoadProject(output, reloaded, state, fixture.host));
  for (const tvx::FieldSetting& setting : settings) {
    if (!isPath(setting.field)) {
      tvx::fuzz::Check(tvx::NamedFieldValue(reloaded, setting.field) ==
                       tvx::NamedFieldValue(project, setting.field));
    }
  }
  return 0;
}
