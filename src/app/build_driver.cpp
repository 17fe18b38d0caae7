#include "app/build_driver.h"

#include "project/choices.h"
#include "project/paths.h"
#include "project/project_file.h"
#include "rom/build_texts.h"
#include "rom/config_block.h"
#include "rom/glb_builder.h"
#include "rom/resource_list.h"
#include "rom/rom_image.h"
#include "rom/scratch_folder.h"

namespace tvx {

namespace {

bool hasFloorCodes(const Project& project) {
  for (const std::string& text : project.FloorTable) {
    if (!IsBlank(text)) {
      return true;
    }
  }
  return false;
}

BuildResult stopped(BuildOutcome outcome) {
  BuildResult result;
  result.outcome = outcome;
  return result;
}

// Hourglass for as long as it lives.
class BusyCursor {
 public:
  explicit BusyCursor(BuildHost& host) : m_host(host) { m_host.setBusy(true); }
  ~BusyCursor() { m_host.setBusy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  BuildHost& m_host;
};

}  // namespace

std::string RomImagePathForProject(const std::string& projectPath) {
  return ChangeFileExt(projectPath, ".BIN");
}

BuildDriver::BuildDriver(Studio& studio, BuildHost& host)
    : m_studio(studio), m_host(host), m_clock(SystemBuildClock()) {}

BuildResult BuildDriver::BuildAndUpload() {
  m_studio.log().clear();
  m_host.repaint();
  if (m_host.uploadOnlyChecked()) {
    m_host.runUploadOnly();
    return stopped(BuildOutcome::kUploadOnly);
  }
  BuildResult result;
  try {
    result = build();
  } catch (const std::exception& error) {
    result = stopped(BuildOutcome::kFailed);
    result.error = error.what();
    m_studio.host().showMessage(kProjectMessageCaption, result.error);
    return result;
  }
  if (result.outcome == BuildOutcome::kBuilt) {
    m_host.trace("+Do upload function");
    m_host.startUpload(result.romImagePath);
  }
  return result;
}

BuildResult BuildDriver::build() {
  const BuildReporter reporter(
      m_studio.language(), [this](const std::string& line) { m_studio.log().add(line); },
      [this](const std::string& text) { m_host.trace(text); });
  Project& project = m_studio.project();
  const ProgramState& state = m_studio.state();

  if (!hasFloorCodes(project)) {
    reporter.log(build_text::kUndefinedFloorCode);
    return stopped(BuildOutcome::kNoFloorCodes);
  }
  reporter.log(build_text::kMake);
  reporter.log(build_text::kForceSave);
  const std::optional<std::string> projectPath = m_studio.chooseProjectToSave();
  if (!projectPath || !m_studio.SaveProject(*projectPath)) {
    reporter.log(build_text::kNoProjectSaved);
    return stopped(BuildOutcome::kNotSaved);
  }
  m_host.repaint();
  const std::string romImagePath =
      m_romImagePath.value_or(RomImagePathForProject(project.ProjectPath));

  const ScratchFolder scratch(m_scratchParent, reporter.pick(build_text::kNoScratchFolder));
  const std::string listPath = scratch.file(kResourceListFileName);
  ResourceListResult list =
      WriteResourceList(listPath, scratch.file(kGlbTempFileName), project, state, reporter);
  if (!list.written) {
    return stopped(BuildOutcome::kMissingArrow);
  }
  if (project.AUTOSLIDESHOW == kSlideshowFixedPicture0) {
    list.tables.backgrounds.fill(0);
  }

  reporter.trace("+Do MakeGLB()");
  GlbOptions options;
  options.library = state.LibraryImage;
  options.workFolder = scratch.path();
  options.sizeLimit = state.settings.romImageSize() - kConfigBlockSize;
  GlbResult glb;
  {
    const BusyCursor busy(m_host);
    glb = MakeGLB(listPath, options, reporter);
  }
  m_checks = glb.checks;
  if (!glb.written) {
    reporter.log(build_text::kOutOfMemory);
    return stopped(BuildOutcome::kOutOfMemory);
  }

  reporter.trace("+Make CFB file");
  const ConfigBlock block = MakeConfigBlock(
      project, {state.settings, list.tables, list.backgroundSequence, m_checks, m_clock()});

  reporter.trace("+Create ROM image file");
  const RomImageResult image =
      MakeRomImage(glb.glbPath, block, state.settings, romImagePath, reporter);
  if (!image.written) {
    return {BuildOutcome::kOutOfMemory, {}, {}, image.memoryUsed};
  }
  return {BuildOutcome::kBuilt, romImagePath, {}, image.memoryUsed};
}

}  // namespace tvx
