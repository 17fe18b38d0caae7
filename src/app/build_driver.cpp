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
  Result<BuildResult> built = buildCatching();
  if (!built) {
    BuildResult failed = stopped(BuildOutcome::kFailed);
    failed.error = std::move(built).error();
    m_studio.host().showMessage(kProjectMessageCaption,
                                ErrorText(*failed.error, m_studio.language()));
    return failed;
  }
  BuildResult result = std::move(built).value();
  if (result.outcome == BuildOutcome::kBuilt) {
    m_host.trace("+Do upload function");
    m_host.startUpload(result.romImagePath);
  }
  return result;
}

Result<BuildResult> BuildDriver::buildCatching() {
  try {
    return build();
  } catch (const std::exception& error) {
    return Error::Invalid({}, error.what());
  }
}

Result<BuildResult> BuildDriver::build() {
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

  Result<ScratchFolder> scratchFolder = ScratchFolder::Create(m_scratchParent);
  if (!scratchFolder) {
    return std::move(scratchFolder).error();
  }
  const ScratchFolder& scratch = *scratchFolder;
  const std::string listPath = scratch.file(kResourceListFileName);
  Result<ResourceListResult> written =
      WriteResourceList(listPath, scratch.file(kGlbTempFileName), project, state, reporter);
  if (!written) {
    return std::move(written).error();
  }
  ResourceListResult& list = *written;
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
  Result<GlbResult> assembled = [&] {
    const BusyCursor busy(m_host);
    return MakeGLB(listPath, options, reporter);
  }();
  if (!assembled) {
    return std::move(assembled).error();
  }
  const GlbResult& glb = *assembled;
  m_checks = glb.checks;
  if (!glb.written) {
    reporter.log(build_text::kOutOfMemory);
    return stopped(BuildOutcome::kOutOfMemory);
  }

  reporter.trace("+Make CFB file");
  const Result<BuildTime> now = m_clock();
  if (!now) {
    return now.error();
  }
  const ConfigBlock block = MakeConfigBlock(
      project, {state.settings, list.tables, list.backgroundSequence, m_checks, *now});

  reporter.trace("+Create ROM image file");
  const Result<RomImageResult> image =
      MakeRomImage(glb.glbPath, block, state.settings, romImagePath, reporter);
  if (!image) {
    return image.error();
  }
  if (!image->written) {
    return BuildResult{BuildOutcome::kOutOfMemory, {}, {}, image->memoryUsed};
  }
  return BuildResult{BuildOutcome::kBuilt, romImagePath, {}, image->memoryUsed};
}

}  // namespace tvx
